#include <fcntl.h>
#include <sys/mman.h>

#include <numeric>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "childprocess.h"
#include "faultdriver.h"
#include "form2.h"
#include "logview.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;

// Files a user could really have, each read in a child process of its own,
// so that a crash, a hang or a runaway use of memory fails only its row.

namespace {

// What reads the file: the main window's load of "diet" (from a "diet" whose read fails after
// the content), the log viewer's "Open My File", "Open" with today's totals, the item editor saving
// "butter" twice; or the content as an item's name (saved, added to the day, viewed in the log) or
// as Apple's portion.
enum class Operation { LoadFailingPartWay, Load, LogWindow, OpenTotals, SaveTwice, Named, Portion };

// Control characters as \xNN, a long text by its start and its length.
QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text.first(std::min<qsizetype>(text.size(), 40)))
        out += c.unicode() < 0x20 ? u"\\x%1"_s.arg(c.unicode(), 2, 16, QChar(u'0')) : QString(c);
    return u'"' + out + u'"' + (text.size() > 40 ? u"...(%1 characters)"_s.arg(text.size()) : QString());
}

QString outcomeOf(Operation operation, const QString &folder, const QString &content)
{
    const QDir dir(folder);
    FoodTable table;
    DayTally tally;
    const auto save = [&](const QString &name) {
        FoodRecord item = FaultDriver::apple;
        item[Food::Name] = name;
        const ItemEditor::SaveResult result = ItemEditor::saveNewItem(folder, item, table);
        return result.saved() ? u"saved as "_s + result.backupName : u"not saved: "_s + result.reason;
    };
    switch (operation) {
    case Operation::LoadFailingPartWay: { // "diet" is this process's memory: a first page with the content, then none
        const QByteArray bytes = content.toLatin1();
        const int memory = ::open("/proc/self/mem", O_RDWR);
        const bool placed = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED
            && ::pwrite(memory, bytes.data(), size_t(bytes.size()), 0) == bytes.size();
        ::close(memory);
        if (!placed || !QFile::remove(dir.filePath(u"diet"_s)) || !QFile::link(u"/proc/self/mem"_s, dir.filePath(u"diet"_s)))
            return u"no first page"_s;
        [[fallthrough]];
    }
    case Operation::Load: {
        const FoodLoad load = loadFoodTable(dir.filePath(u"diet"_s), table);
        return u"%1 items%2, first %3, last %4"_s.arg(load.names.size()).arg(load.complete ? u""_s : u", cut short"_s)
            .arg(shown(load.names.value(0)), shown(load.names.value(load.names.size() - 1)));
    }
    case Operation::LogWindow: {
        QDir::setCurrent(folder);
        Form2 window;
        window.show();
        QTest::mouseClick(window.findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
        const QString text = window.findChild<QPlainTextEdit *>(u"Text1"_s)->toPlainText();
        return u"%1 lines, first %2"_s.arg(text.count(u'\n') + 1).arg(shown(text.first(text.indexOf(u'\n'))));
    }
    case Operation::OpenTotals:
        openTotals(tally, FaultDriver::clock, folder);
        return TallyTesting::describe(tally).join(u"; "_s);
    case Operation::SaveTwice: {
        QString out = save(u"butter"_s);
        out += u", then "_s + save(u"butter"_s);
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) // a database by its size, "dblog" by its text
            out += u"; "_s + name + u' ' + (name != u"dblog"_s ? u"%1 items"_s.arg(loadFoodTable(dir.filePath(name), table).names.size())
                                                              : TextFile::read(dir.filePath(name))->trimmed());
        return out;
    }
    case Operation::Named: {
        const QString saved = save(content);
        const qsizetype item = loadFoodTable(dir.filePath(u"diet"_s), table).names.indexOf(content);
        addToList(tally, {ItemValues::select(FaultDriver::apple, {}), {}, u"1"_s, content}, FaultDriver::clock,
                  dir.filePath(u"mylist"_s));
        const qsizetype logged = TextFile::read(dir.filePath(u"mylist"_s))->split(u"\r\n"_s).indexOf(content);
        const qsizetype viewed = LogView::showLog(folder).text.split(u"\r\n"_s).indexOf(content);
        return u"%1, read back whole as item %2, logged whole on line %3, shown whole on line %4"_s.arg(saved)
            .arg(item + 1).arg(logged + 1).arg(viewed + 1);
    }
    case Operation::Portion: {
        const ItemFields chosen = ItemValues::select(FaultDriver::apple, {});
        const ItemFields f = ItemValues::portionChange(FaultDriver::apple, content, chosen);
        return f == chosen ? u"nothing changes"_s
                           : QStringList{f.measure, f.weight, f.calories, f.fatGrams, f.satFatGrams, f.carbGrams,
                                         f.proteinGrams, f.cholesterolMg, f.fatCalories, f.satFatCalories,
                                         f.carbCalories, f.proteinCalories}.join(u" | "_s);
    }
    }
    return {};
}

// A megabyte at a time, so that the file never sits in the test's own memory.
bool writeRepeated(const QString &path, const QByteArray &content, qint64 repeat)
{
    QFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    for (qint64 done = 0, n = 0; written && done < repeat; done += n)
        written = file.write(content.repeated(n = std::min(repeat - done, (1 << 20) / content.size() + 1))) >= 0;
    return written;
}

const QByteArray LogLines = "12-04-2026    07:45:10 PM\r\n\r\n1 1 medium (182 Grams) of:\r\nApple\r\n";

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void filesAUserCouldHave_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("file"); // written into the working folder beside "diet" and "dblog"
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("repeat"); // times the content is written
        QTest::addColumn<QString>("outcome");
        const QByteArray apple = "Apple\r\n1 medium\r\n0.3\r\n95\r\n25\r\n0.5\r\n0\r\n182\r\n0.1\r\n";
        // Each run of the 256 byte values holds a line feed and a comma, the
        // only separators: 2001 fields make 222 items and one cut short.
        QByteArray everyByte(256, 0);
        std::iota(everyByte.begin(), everyByte.end(), 0);
        QTest::newRow("binary garbage as diet loads the whole items it holds") << Operation::Load << u"diet"_s
            << everyByte << 1000LL << u"222 items, cut short, first \"\\x00\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\", last "
               "\"\\x0b\\x0c\\x0d\\x0e\\x0f\\x10\\x11\\x12\\x13\\x14\\x15\\x16\\x17\\x18\\x19\\x1a\\x1b\\x1c\\x1d\\x1e\\x1f !\"#$%&'()*+\""_s;
        QTest::newRow("a 200 MB diet on one line loads its first 15001 items") << Operation::Load << u"diet"_s
            << "Apple,1 medium,0.3,95,25,0.5,0,182,0.1,"_ba << (200LL << 20) / 39
            << u"15001 items, cut short, first \"Apple\", last \"Apple\""_s;
        QTest::newRow("a NUL byte is part of a name") << Operation::Load << u"diet"_s
            << QByteArray("Apple\0 pie", 10) + apple.sliced(5) << 1LL
            << u"1 items, first \"Apple\\x00 pie\", last \"Apple\\x00 pie\""_s;
        QTest::newRow("a read error part way keeps the items read whole before it") << Operation::LoadFailingPartWay << QString()
            << apple + "Bread" + apple.sliced(5) + "Cheese" + apple.sliced(5).chopped(5) << 1LL
            << u"2 items, cut short, first \"Apple\", last \"Bread\""_s;
        QTest::newRow("a quotation mark never closed at the start loads nothing") << Operation::Load << u"diet"_s
            << '"' + apple << 1LL << u"0 items, cut short, first \"\", last \"\""_s;
        QTest::newRow("lone CR line ends make one long field: nothing loads") << Operation::Load << u"diet"_s
            << QByteArray(apple).replace('\n', "") << 3LL << u"0 items, cut short, first \"\", last \"\""_s;
        QTest::newRow("the log viewer shows a 100 MB log whole") << Operation::LogWindow << u"mylist"_s << LogLines
            << (100LL << 20) / LogLines.size()
            << u"%1 lines, first \"12-04-2026    07:45:10 PM\""_s.arg(4 * ((100LL << 20) / LogLines.size()) + 1);
        QTest::newRow("1e400 as a calorie total ends the reopening before any cell") << Operation::OpenTotals
            << u"12-04-2026"_s << "12-04-2026\r\n1e400\r\nN/A\r\n764\r\n262\r\n36.9\r\n10.6\r\n191\r\n65.6\r\n150\r\n0\r\n"_ba
            << 1LL << TallyTesting::cells(u", N/A, , , , , , , , , red, blue"_s).join(u"; "_s);
        QTest::newRow("1e400 as the fat grams is restored as text") << Operation::OpenTotals
            << u"12-04-2026"_s << "12-04-2026\r\n332\r\nN/A\r\n764\r\n262\r\n1e400\r\n10.6\r\n191\r\n65.6\r\n150\r\n0\r\n"_ba
            << 1LL << TallyTesting::cells(u"332, N/A, 764, 262, 1e400, 10.6, 191, 65.6, 150, 0, 1358 green, 24 red, , 56, 19, 50"_s)
                      .join(u"; "_s);
        QTest::newRow("dblog holding -5 counts on to diet-4 and diet-3") << Operation::SaveTwice << u"dblog"_s
            << "-5\r\n"_ba << 1LL << u"saved as diet-4, then saved as diet-3; dblog -3; diet 5 items; diet-3 4 items; diet-4 3 items"_s;
        QTest::newRow("dblog holding abc counts as 0") << Operation::SaveTwice << u"dblog"_s << "abc\r\n"_ba << 1LL
            << u"saved as diet1, then saved as diet2; dblog 2; diet 5 items; diet1 3 items; diet2 4 items"_s;
        QTest::newRow("dblog holding 1E+20 cannot count on: the second backup name is taken") << Operation::SaveTwice
            << u"dblog"_s << "1E+20\r\n"_ba << 1LL
            << u"saved as diet1E+20, then not saved: File exists; dblog 1E+20; diet 4 items; diet1E+20 3 items"_s;
        QTest::newRow("a portion of 1e308 leaves every value as it was") << Operation::Portion << QString()
            << "1e308"_ba << 1LL << u"nothing changes"_s;
        QTest::newRow("a portion of -0 shows 0 everywhere") << Operation::Portion << QString() << "-0"_ba << 1LL
            << u"1 medium | 0 | 0 | 0 | 0 | 0 | 0 | 0 | 0 |  | 0 | 0"_s;
        // Ends in a letter, since blanks at the ends of a log line are not shown.
        QTest::newRow("a name of 100,000 characters is saved in its place, logged and shown whole") << Operation::Named
            << QString() << QByteArray("Bean soup ").repeated(10000).chopped(1) + "s" << 1LL
            << u"saved as diet6, read back whole as item 2, logged whole on line 4, shown whole on line 4"_s;
    }

    void filesAUserCouldHave()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(qint64, repeat);
        QFETCH(QString, outcome);

        QTemporaryDir dir;
        QByteArray database;
        for (const char *name : {"Apple", "Bread", "Cheese"})
            database += name + "\r\n1 cup\r\n1\r\n100\r\n10\r\n2\r\n0\r\n50\r\n0.5\r\n"_ba;
        QVERIFY(writeRepeated(dir.filePath(u"diet"_s), database, 1) && writeRepeated(dir.filePath(u"dblog"_s), "5\r\n", 1));
        if (!file.isEmpty())
            QVERIFY(writeRepeated(dir.filePath(file), content, repeat));
        const ChildRun run = runInChild([&] { return outcomeOf(operation, dir.path(), QString::fromLatin1(content)).toUtf8(); });
        QVERIFY(run.finished);
        if (run.report == "no first page")
            QSKIP("memory at address 0 needs CAP_SYS_RAWIO, which this system does not give");
        QCOMPARE(QString::fromUtf8(run.report), outcome);

        // Beside what the test held at the fork: the file a few times over as text of two bytes a
        // character, a few more in the log window for the layout of its text.
        rusage self{};
        ::getrusage(RUSAGE_SELF, &self);
        const qint64 size = QFileInfo(dir.filePath(file)).size();
        qint64 allowed = self.ru_maxrss + 64 * 1024 + (operation == Operation::LogWindow ? 8 : 5) * size / 1024;
#ifdef __SANITIZE_ADDRESS__
        allowed = allowed * 9 / 8 + 256 * 1024; // the sanitizer's shadow and the freed memory it holds back
#endif
        QVERIFY2(run.peakKilobytes <= allowed, qPrintable(u"%1 MB used for a file of %2 MB"_s.arg(run.peakKilobytes / 1024).arg(size >> 20)));
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
