#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "childprocess.h"
#include "daylist.h"
#include "daytally.h"
#include "foodtable.h"
#include "itemeditor.h"
#include "itemvalues.h"
#include "logview.h"
#include "textfile.h"
#include "totalsfile.h"

using namespace Qt::StringLiterals;

// Files a user could really have, each handed to the operation that reads
// it. Every case runs in a child process, so that a crash, a hang or a
// runaway use of memory fails its row instead of ending the suite.

namespace {

enum class Operation {
    Load,          // the main window's load of "diet"
    ShowLog,       // the log viewer's "Open My File"
    OpenTotals,    // "Open" with today's totals file
    SaveNewItem,   // the item editor saving "butter" twice
    SaveNamed,     // the item editor saving an item named by the file's content
    AddNamed,      // adding an item named by the content to the day, then viewing the log
    PortionChange, // typing the content into the portion box with Apple chosen
};

const Clock fixedClock{[] { return QDate(2026, 12, 4); }, [] { return QTime(19, 45, 10); }};
const QString today = u"12-04-2026"_s;

const FoodRecord apple{u"Apple"_s, u"1 medium"_s, u"0.3"_s, u"95"_s, u"25"_s,
                       u"0.5"_s, u"0"_s, u"182"_s, u"0.1"_s};

// The three-item database most cases start from.
QByteArray smallDatabase()
{
    QByteArray bytes;
    for (const char *name : {"Apple", "Bread", "Cheese"})
        bytes += QByteArray(name) + "\r\n1 cup\r\n1\r\n100\r\n10\r\n2\r\n0\r\n50\r\n0.5\r\n";
    return bytes;
}

// A text short enough to read in a row's expected outcome: control
// characters as \xNN, and a long text by its start and its length.
QString shown(const QString &text)
{
    constexpr qsizetype Shown = 40;
    QString out;
    for (const QChar c : text.first(std::min(text.size(), Shown))) {
        if (c.unicode() < 0x20)
            out += u"\\x%1"_s.arg(int(c.unicode()), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    out = u'"' + out + u'"';
    if (text.size() > Shown)
        out += u"...(%1 characters)"_s.arg(text.size());
    return out;
}

QString itemNames(const QString &path)
{
    FoodTable table;
    const FoodLoad load = loadFoodTable(path, table);
    if (!load.opened)
        return u"missing"_s;
    QStringList names;
    for (const QString &name : load.names)
        names += shown(name);
    return names.join(u", "_s) + (load.complete ? QString() : u" (cut short)"_s);
}

QString loadOutcome(const QString &folder)
{
    FoodTable table;
    table.row(FoodTable::RowCount - 1)[Food::Name] = u"kept"_s;
    const FoodLoad load = loadFoodTable(QDir(folder).filePath(u"diet"_s), table);
    if (!load.opened)
        return u"not opened"_s;
    QString outcome = u"%1 items, %2"_s.arg(load.names.size())
                          .arg(load.complete ? u"complete"_s : u"cut short"_s);
    if (!load.names.isEmpty())
        outcome += u", first "_s + shown(load.names.first()) + u", last "_s + shown(load.names.last());
    if (load.names.size() < FoodTable::RowCount && table.row(FoodTable::RowCount - 1)[Food::Name] != u"kept"_s)
        outcome += u", and a row past the end was overwritten"_s;
    return outcome;
}

QString logOutcome(const QString &folder)
{
    const LogLoad load = LogView::showLog(folder);
    if (!load.opened)
        return u"not opened"_s;
    const qsizetype lines = load.text.count(u"\r\n"_s);
    QString outcome = u"%1 lines, %2"_s.arg(lines).arg(load.complete ? u"complete"_s : u"cut short"_s);
    if (lines > 0)
        outcome += u", first "_s + shown(load.text.first(load.text.indexOf(u"\r\n"_s)));
    if (!load.text.isEmpty() && !load.text.endsWith(u"\r\n"_s))
        outcome += u", without a last line end"_s;
    return outcome;
}

constexpr std::array CellNames{
    u"TotalFatCalories", u"TotalSatFatCalories", u"TotalCarbCalories", u"TotalProteinCalories",
    u"TotalFatGrams", u"TotalSatFatGrams", u"TotalCarbGrams", u"TotalProteinGrams",
    u"TotalCholesterolMg", u"TotalFibreGrams", u"TodayCalories", u"FatPercent",
    u"SatFatPercent", u"CarbPercent", u"ProteinPercent", u"CholesterolPercent"};

QString colourName(CellColour colour)
{
    switch (colour) {
    case CellColour::Standard: return u"standard"_s;
    case CellColour::Red: return u"red"_s;
    case CellColour::Green: return u"green"_s;
    case CellColour::DarkBlue: return u"dark blue"_s;
    }
    return {};
}

// The cells that differ from a new day's, as "cell text colour".
QString tallyChanges(const DayTally &tally)
{
    const DayTally start;
    QStringList changes;
    for (int i = 0; i < DayTally::CellCount; ++i) {
        const auto cell = static_cast<DayTally::Cell>(i);
        if (tally.cell(cell) != start.cell(cell))
            changes += u"%1 %2 %3"_s.arg(CellNames[std::size_t(i)], shown(tally.text(cell)),
                                         colourName(tally.colour(cell)));
    }
    return changes.isEmpty() ? u"nothing changes"_s : changes.join(u"; "_s);
}

QString openTotalsOutcome(const QString &folder)
{
    DayTally tally;
    openTotals(tally, fixedClock, folder);
    return tallyChanges(tally);
}

QString saveOutcome(const ItemEditor::SaveResult &result)
{
    using ItemEditor::SaveFailure;
    if (result.saved())
        return u"saved as "_s + result.backupName;
    switch (result.failure) {
    case SaveFailure::BackupNotMade: return u"not saved, the backup name "_s + result.backupName + u" is taken"_s;
    case SaveFailure::CounterOutOfRange: return u"not saved, the counter is out of range"_s;
    case SaveFailure::CounterEmpty: return u"not saved, the counter is empty"_s;
    default: return u"not saved (%1)"_s.arg(int(result.failure));
    }
}

// Every file of the folder: a database by its item names, another file by
// its text.
QString folderContents(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (name.startsWith(u"diet"_s))
            files += name + u": "_s + itemNames(path);
        else
            files += name + u": "_s + shown(TextFile::read(path).value_or(u"unreadable"_s));
    }
    return files.join(u"; "_s);
}

QString saveTwiceOutcome(const QString &folder)
{
    FoodTable table;
    FoodRecord butter = apple;
    butter[Food::Name] = u"butter"_s;
    const QString first = saveOutcome(ItemEditor::saveNewItem(folder, butter, table));
    const QString second = saveOutcome(ItemEditor::saveNewItem(folder, butter, table));
    return first + u", then "_s + second + u" | "_s + folderContents(folder);
}

QString saveNamedOutcome(const QString &folder, const QString &name)
{
    FoodTable table;
    FoodRecord item = apple;
    item[Food::Name] = name;
    const QString saved = saveOutcome(ItemEditor::saveNewItem(folder, item, table));
    const FoodLoad load = loadFoodTable(QDir(folder).filePath(u"diet"_s), table);
    return saved + u" | "_s + folderContents(folder)
        + (load.names.contains(name) ? u" | the name reads back whole"_s : u" | the name is lost"_s);
}

QString addNamedOutcome(const QString &folder, const QString &name)
{
    ItemEntry item;
    item.fields = ItemValues::select(apple, ItemFields{});
    item.portion = u"1"_s;
    item.itemBox = name;
    DayTally tally;
    const QString log = QDir(folder).filePath(u"mylist"_s);
    addToList(tally, item, fixedClock, log);
    const QStringList lines = TextFile::read(log).value_or(QString()).split(u"\r\n"_s);
    const LogLoad view = LogView::showLog(folder);
    return u"log: %1 lines, line 4 %2 | viewer: %3 lines, %4"_s
        .arg(lines.size() - 1)
        .arg(lines.value(3) == name ? u"holds the whole name"_s : u"differs"_s)
        .arg(view.text.count(u"\r\n"_s))
        .arg(view.text.contains(name) ? u"showing the whole name"_s : u"not showing it"_s);
}

QString portionOutcome(const QString &portion)
{
    const ItemFields chosen = ItemValues::select(apple, ItemFields{});
    const ItemFields f = ItemValues::portionChange(apple, portion, chosen);
    if (f == chosen)
        return u"nothing changes"_s;
    return QStringList{f.measure, f.weight, f.calories, f.fatGrams, f.satFatGrams, f.carbGrams,
                       f.proteinGrams, f.cholesterolMg, f.fatCalories, f.satFatCalories,
                       f.carbCalories, f.proteinCalories}
        .join(u" | "_s);
}

// Writes the content repeat times in chunks, so that a file of hundreds of
// megabytes never sits in the test's own memory.
bool writeRepeated(const QString &path, const QByteArray &content, qint64 repeat)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 perChunk = std::max<qint64>(1, (1 << 20) / std::max<qsizetype>(content.size(), 1));
    const QByteArray chunk = content.repeated(perChunk);
    for (qint64 left = repeat; left > 0; left -= perChunk) {
        const QByteArray &piece = left >= perChunk ? chunk : content.repeated(left);
        if (file.write(piece) != piece.size())
            return false;
    }
    return file.flush();
}

long residentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray logEntry()
{
    return "12-04-2026    07:45:10 PM\r\n\r\n1 medium (182 Grams) of:\r\nApple\r\nContains:\r\n"
           "95 Calories\r\n0.3 Grams of Total Fat (including Saturated)\r\n"
           "0.1 Grams of Just Saturated Fat\r\n25 Grams of Carbohydrates\r\n0.5 Grams of Proteins\r\n"
           "0 Miligrams of Cholesterol\r\n\r\nYour running total for today to this point is: \r\n"
           "95 Total Calories \r\n3 Total Fat Calories\r\n100 Total Carbohydrate Calories\r\n"
           "2 Total Protein Calories\r\n0.3 Total Grams of All Fats (including Saturated)\r\n"
           "0.1 Total Grams of Just Saturated Fats\r\n25 Total Grams of Carbohydrates\r\n"
           "0.5 Total Grams of Proteins\r\n0 Total Milligrams of Cholesterol\r\n\r\n";
}

QByteArray totalsWith(int line, const QByteArray &value)
{
    QList<QByteArray> lines{"12-04-2026", "332", "N/A", "764", "262", "36.9",
                            "10.6", "191", "65.6", "150", "0"};
    lines[line - 1] = value;
    return lines.join("\r\n") + "\r\n";
}

constexpr qint64 MB = 1024 * 1024;

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void filesAUserCouldHave_data();
    void filesAUserCouldHave();
};

void TestBadInput::filesAUserCouldHave_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("file");      // written into the working folder
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("repeat");     // times the content is written
    QTest::addColumn<QString>("outcome");

    const auto row = [](const char *name, Operation operation, const QString &file,
                        const QByteArray &content, qint64 repeat, const QString &outcome) {
        QTest::newRow(name) << int(operation) << file << content << repeat << outcome;
    };

    // Every byte value, in order: the line feed (0x0A) and the comma (0x2C)
    // are the only separators, so each run of 256 bytes gives two fields
    // after the first; 2001 fields make 222 items and a record cut short.
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += char(b);
    row("binary garbage as diet loads the whole records it happens to hold", Operation::Load,
        u"diet"_s, everyByte, 1000,
        u"222 items, cut short, first \"\\x00\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\", "
        "last \"\\x0b\\x0c\\x0d\\x0e\\x0f\\x10\\x11\\x12\\x13\\x14\\x15\\x16\\x17\\x18\\x19\\x1a"
        "\\x1b\\x1c\\x1d\\x1e\\x1f !\"#$%&'()*+\""_s);
    row("a 200 MB diet on one line loads its first 15001 records", Operation::Load, u"diet"_s,
        "Apple,1 medium,0.3,95,25,0.5,0,182,0.1,", 200 * MB / 39,
        u"15001 items, cut short, first \"Apple\", last \"Apple\""_s);
    row("a 200 MB diet of one field loads nothing", Operation::Load, u"diet"_s, "Apple pie ",
        200 * MB / 10, u"0 items, cut short"_s);
    row("a NUL byte is part of a name", Operation::Load, u"diet"_s,
        "Apple" + QByteArray(1, '\0') + " pie\r\n1 medium\r\n0.3\r\n95\r\n25\r\n0.5\r\n0\r\n182\r\n0.1\r\n", 1,
        u"1 items, complete, first \"Apple\\x00 pie\", last \"Apple\\x00 pie\""_s);
    row("a quotation mark never closed at the start loads nothing", Operation::Load, u"diet"_s,
        "\"Apple\r\n1 medium\r\n0.3\r\n95\r\n25\r\n0.5\r\n0\r\n182\r\n0.1\r\n" + smallDatabase(), 1,
        u"0 items, cut short"_s);
    row("lone CR line ends are no line ends: the file is one field", Operation::Load, u"diet"_s,
        "Apple\r1 medium\r0.3\r95\r25\r0.5\r0\r182\r0.1\r", 3, u"0 items, cut short"_s);
    row("bare LF line ends load like CR LF", Operation::Load, u"diet"_s,
        "Apple\n1 medium\n0.3\n95\n25\n0.5\n0\n182\n0.1\n", 2,
        u"2 items, complete, first \"Apple\", last \"Apple\""_s);

    const qint64 entries = 100 * MB / logEntry().size();
    row("a 100 MB log shows whole, oldest entry first", Operation::ShowLog, u"mylist"_s, logEntry(),
        entries, u"%1 lines, complete, first \"12-04-2026    07:45:10 PM\""_s.arg(23 * entries));
    row("a log ending inside a quotation shows the lines before it", Operation::ShowLog,
        u"mylist"_s, logEntry() + "\"Beans, baked\r\n", 1,
        u"23 lines, cut short, first \"12-04-2026    07:45:10 PM\""_s);

    row("1e400 as a calorie total ends the reopening before any cell", Operation::OpenTotals, today,
        totalsWith(2, "1e400"), 1, u"nothing changes"_s);
    row("1e400 as the protein calories keeps the two totals before it", Operation::OpenTotals, today,
        totalsWith(5, "1e400"), 1,
        u"TotalFatCalories \"332\" standard; TotalCarbCalories \"764\" standard"_s);
    row("1e400 as the fat grams is restored as text", Operation::OpenTotals, today,
        totalsWith(6, "1e400"), 1,
        u"TotalFatCalories \"332\" standard; TotalCarbCalories \"764\" standard; "
        "TotalProteinCalories \"262\" standard; TotalFatGrams \"1e400\" standard; "
        "TotalSatFatGrams \"10.6\" standard; TotalCarbGrams \"191\" standard; "
        "TotalProteinGrams \"65.6\" standard; TotalCholesterolMg \"150\" standard; "
        "TotalFibreGrams \"0\" standard; TodayCalories \"1358\" green; FatPercent \"24\" red; "
        "CarbPercent \"56\" standard; ProteinPercent \"19\" standard; CholesterolPercent \"50\" standard"_s);
    row("1e400 as the cholesterol ends at its percent", Operation::OpenTotals, today,
        totalsWith(10, "1e400"), 1,
        u"TotalFatCalories \"332\" standard; TotalCarbCalories \"764\" standard; "
        "TotalProteinCalories \"262\" standard; TotalFatGrams \"36.9\" standard; "
        "TotalSatFatGrams \"10.6\" standard; TotalCarbGrams \"191\" standard; "
        "TotalProteinGrams \"65.6\" standard; TotalCholesterolMg \"1e400\" standard; "
        "TotalFibreGrams \"0\" standard; TodayCalories \"1358\" red; FatPercent \"24\" red; "
        "CarbPercent \"56\" standard; ProteinPercent \"19\" standard"_s);

    row("dblog holding -5 counts on to diet-4 and diet-3", Operation::SaveNewItem, u"dblog"_s,
        "-5\r\n", 1,
        u"saved as diet-4, then saved as diet-3 | dblog: \"-3\\x0d\\x0a\"; "
        "diet: \"Apple\", \"Bread\", \"butter\", \"butter\", \"Cheese\"; "
        "diet-3: \"Apple\", \"Bread\", \"butter\", \"Cheese\"; diet-4: \"Apple\", \"Bread\", \"Cheese\""_s);
    row("dblog holding abc counts as 0", Operation::SaveNewItem, u"dblog"_s, "abc\r\n", 1,
        u"saved as diet1, then saved as diet2 | dblog: \"2\\x0d\\x0a\"; "
        "diet: \"Apple\", \"Bread\", \"butter\", \"butter\", \"Cheese\"; "
        "diet1: \"Apple\", \"Bread\", \"Cheese\"; diet2: \"Apple\", \"Bread\", \"butter\", \"Cheese\""_s);
    row("dblog holding 1E+20 cannot count on: the second backup name is taken",
        Operation::SaveNewItem, u"dblog"_s, "1E+20\r\n", 1,
        u"saved as diet1E+20, then not saved, the backup name diet1E+20 is taken | "
        "dblog: \"1E+20\\x0d\\x0a\"; diet: \"Apple\", \"Bread\", \"butter\", \"Cheese\"; "
        "diet1E+20: \"Apple\", \"Bread\", \"Cheese\""_s);

    row("a portion of 1e308 leaves every value as it was", Operation::PortionChange, QString(),
        "1e308", 1, u"nothing changes"_s);
    row("a portion of -0 shows 0 everywhere", Operation::PortionChange, QString(), "-0", 1,
        u"1 medium | 0 | 0 | 0 | 0 | 0 | 0 | 0 | 0 |  | 0 | 0"_s);

    // Ends in a letter: blanks at the ends of a log line are not shown.
    const QByteArray longName = QByteArray("Bean soup ").repeated(10000).chopped(1) + "s";
    row("a name of 100,000 characters is saved in its place and reads back", Operation::SaveNamed,
        QString(), longName, 1,
        u"saved as diet6 | dblog: \"6\\x0d\\x0a\"; diet: \"Apple\", \"Bean soup Bean soup Bean soup Bean soup \"...(100000 characters), "
        "\"Bread\", \"Cheese\"; diet6: \"Apple\", \"Bread\", \"Cheese\" | the name reads back whole"_s);
    row("a name of 100,000 characters is logged and shown whole", Operation::AddNamed, QString(),
        longName, 1, u"log: 23 lines, line 4 holds the whole name | viewer: 23 lines, showing the whole name"_s);
}

void TestBadInput::filesAUserCouldHave()
{
    QFETCH(int, operation);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(qint64, repeat);
    QFETCH(QString, outcome);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    QVERIFY(writeRepeated(dir.filePath(u"diet"_s), smallDatabase(), 1));
    QVERIFY(writeRepeated(dir.filePath(u"dblog"_s), "5\r\n", 1));
    if (!file.isEmpty())
        QVERIFY(writeRepeated(dir.filePath(file), content, repeat));
    const qint64 size = file.isEmpty() ? 0 : QFileInfo(dir.filePath(file)).size();

    const auto op = static_cast<Operation>(operation);
    const ChildRun run = runInChild([&]() -> QByteArray {
        switch (op) {
        case Operation::Load: return loadOutcome(folder).toUtf8();
        case Operation::ShowLog: return logOutcome(folder).toUtf8();
        case Operation::OpenTotals: return openTotalsOutcome(folder).toUtf8();
        case Operation::SaveNewItem: return saveTwiceOutcome(folder).toUtf8();
        case Operation::SaveNamed: return saveNamedOutcome(folder, QString::fromLatin1(content)).toUtf8();
        case Operation::AddNamed: return addNamedOutcome(folder, QString::fromLatin1(content)).toUtf8();
        case Operation::PortionChange: return portionOutcome(QString::fromLatin1(content)).toUtf8();
        }
        return {};
    });
    QVERIFY2(run.finished, qPrintable(u"ended by signal %1"_s.arg(run.signal)));
    QCOMPARE(QString::fromUtf8(run.report), outcome);

    // What a case may hold in memory besides what the test process held
    // when it started the child: a few times the file, as text in memory
    // takes two bytes a character.
    long allowedKilobytes = residentKilobytes() + 64 * 1024 + 5 * size / 1024;
#ifdef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps up to 256 MB of freed memory aside and adds an
    // eighth for its shadow.
    allowedKilobytes = allowedKilobytes * 9 / 8 + 256 * 1024;
#endif
    QVERIFY2(run.peakKilobytes <= allowedKilobytes,
             qPrintable(u"%1 MB used for a file of %2 MB"_s.arg(run.peakKilobytes / 1024).arg(size / MB)));
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
