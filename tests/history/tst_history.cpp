// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "history/history.h"
#include "history/historymodel.h"
#include "tally/daylist.h"
#include "tally/logentry.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using namespace Testing;

Q_DECLARE_METATYPE(FoodLog::Intake)

static const QString Soup = u"Vegetable soup|1|cup|248|98|2.4|0.4|16|3.1|0|21.6|64|12.4"_s;
static const QString Beans = u"Beans, kidney, canned|2|cup|512|436|1.6|0.2|80|28|0|14.4|320|112"_s;
static const QString Coffee = u"Café au lait, \"grande\"|1|mug|350|150|8|5|12|8|34|72|48|32"_s;
static const QString Pizza = u"Cheese pizza|3|slice|300|750|30|12|90|30|330|270|360|120"_s;

// The soup's entry as the program writes it, at 07:45:10 on 4 December 2026.
static QByteArray soupEntry(const QString &amText = u"AM"_s)
{
    Clock clock = fixedClock(QDate(2026, 12, 4), QTime(7, 45, 10));
    clock.amText = amText;
    DayTally tally;
    return TextFile::encode(TextFile::joinLines(LogEntry::lines(itemOf(Soup), tally, clock)));
}

static QByteArray replaced(QByteArray bytes, const QByteArray &before, const QByteArray &after)
{
    return bytes.replace(before, after);
}

static QString describe(const FoodLog::Log &log)
{
    double calories = 0;
    int times = 0;
    for (const FoodLog::Entry &entry : log.entries) {
        calories += entry.intake.calories;
        times += entry.time ? 1 : 0;
    }
    return u"%1 entries, %2 damaged in %3 bytes, %4 kcal, %5 times"_s.arg(log.entries.size())
        .arg(log.damaged).arg(log.damagedBytes).arg(calories).arg(times);
}

static QString describe(const History::Day &day)
{
    const auto percent = [](std::optional<int> value, CellColour colour) {
        return (value ? QString::number(*value) : u"none"_s) + (colour == CellColour::Red ? u" red"_s : QString());
    };
    return u"%1 %2, fat %3, carbohydrates %4, proteins %5, %6 mg%7"_s.arg(day.intake.calories)
        .arg(ColourNames[int(day.caloriesColour())], percent(day.fatPercent(), day.fatPercentColour()),
             percent(day.carbPercent(), day.carbPercentColour()), percent(day.proteinPercent(), CellColour::Standard))
        .arg(day.intake.cholesterolMg).arg(day.cholesterolColour() == CellColour::Red ? u" red"_s : QString());
}

// Everything the window shows of a log: its entries, damage and days.
static QString describe(const HistoryModel::LoadedLog &loaded)
{
    QString text = u"%1 damaged in %2 bytes;"_s.arg(loaded.log.damaged).arg(loaded.log.damagedBytes);
    for (const FoodLog::Entry &entry : loaded.log.entries)
        text += u" %1 at %2+%3 %4"_s.arg(entry.date.toString(Qt::ISODate)).arg(entry.offset).arg(entry.length).arg(entry.food);
    for (const History::Day &day : loaded.days)
        text += u"; %1 from %2"_s.arg(History::amountText(day.intake.calories)).arg(day.firstEntry);
    return text + QString::fromUtf8(History::daysCsv(loaded.days));
}

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    // Two days written by the program's own adding and deleting, with
    // restarts that start the running totals again, and a clock set back.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(u"mylist"_s);
        const auto write = [&](DayTally &tally, const QString &item, QDate date, QTime time, bool deletion = false) {
            (deletion ? deleteFromList : addToList)(tally, itemOf(item), fixedClock(date, time), log);
        };
        const QDate saturday(2026, 11, 28), sunday(2026, 11, 29), monday(2026, 11, 30);
        DayTally tally;
        write(tally, Soup, sunday, QTime(7, 45, 10));
        write(tally, Beans, sunday, QTime(12, 0, 0));
        write(tally, Soup, sunday, QTime(19, 45, 10), true);
        tally = DayTally();
        write(tally, Coffee, monday, QTime(0, 30, 5));
        tally = DayTally();
        write(tally, Soup, monday, QTime(12, 59, 0));
        write(tally, Pizza, monday, QTime(18, 0, 0));
        write(tally, Beans, monday, QTime(23, 59, 59));
        write(tally, Coffee, sunday, QTime(20, 0, 0));
        write(tally, Soup, saturday, QTime(9, 0, 0));

        const std::optional<FoodLog::Log> parsed = FoodLog::read(log);
        QVERIFY(parsed);
        QCOMPARE(describe(*parsed), u"9 entries, 0 damaged in 0 bytes, 2118 kcal, 9 times"_s);
        const std::vector<History::Day> days = History::days(*parsed);
        QCOMPARE(History::daysCsv(days),
                 "Date,Calories,Fat (g),Saturated fat (g),Carbohydrates (g),Proteins (g),Cholesterol (mg),"
                 "Fat (%),Carbohydrates (%),Proteins (%),Entries\r\n"
                 "2026-11-28,98,2.4,0.4,16,3.1,0,22,65,13,1\r\n"
                 "2026-11-29,586,9.6,5.2,92,36,34,14,61,24,4\r\n"
                 "2026-11-30,1434,42,17.6,198,69.1,364,26,55,19,4\r\n");
        QCOMPARE(History::entriesCsv(*parsed, {monday, monday}).split('\n').mid(0, 2), // one day, from its first minute
                 QByteArrayList({"Date,Time,Food,Portion,Entry,Calories,Fat (g),Saturated fat (g),Carbohydrates (g),Proteins (g),"
                                 "Cholesterol (mg)\r", "2026-11-30,00:30:05,\"Caf\xC3\xA9 au lait, \"\"grande\"\"\",1 mug (350 Grams),added,150,8,5,12,8,34\r"}));
        QCOMPARE(History::entriesCsv(*parsed, {saturday, monday}).split('\n').mid(4, 2),
                 QByteArrayList({"2026-11-29,19:45:10,Vegetable soup,1 cup (248 Grams),deleted,-98,-2.4,-0.4,-16,-3.1,0\r",
                                 "2026-11-29,20:00:00,\"Caf\xC3\xA9 au lait, \"\"grande\"\"\",1 mug (350 Grams),added,150,8,5,12,8,34\r"}));

        const History::Summary summary = History::summary(days);
        QCOMPARE(summary.averageCalories, 706.0);
        QCOMPARE(QList<std::optional<int>>({summary.fatPercent, summary.carbPercent, summary.proteinPercent}),
                 QList<std::optional<int>>({23, 57, 20}));
        QCOMPARE(QList<int>({summary.daysWithEntries, summary.daysWithinCalorieRange, summary.daysOverCholesterol}),
                 QList<int>({3, 1, 1}));
        QString foods; // the soup, added and deleted on Sunday, was not eaten
        for (const History::FoodTotal &food : History::topFoods(*parsed, {sunday, sunday}, 10))
            foods += u"%1: %2 kcal %3 times; "_s.arg(food.food).arg(food.calories).arg(food.times);
        QCOMPARE(foods, u"Beans, kidney, canned: 436 kcal 1 times; Café au lait, \"grande\": 150 kcal 1 times; "_s);
        QCOMPARE(History::entriesOf(*parsed, days[1]), std::vector<int>({0, 1, 2, 7}));

        const std::vector<History::Bar> months = History::bars(days, History::Period::Month);
        QCOMPARE(u"%1 %2 %3 %4"_s.arg(months.size()).arg(months[0].start.toString(Qt::ISODate))
                     .arg(months[0].intake.calories).arg(months[0].days), u"1 2026-11-01 706 3"_s);
    }

    void hostileLogs_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("read");
        const QByteArray soup = soupEntry();
        const auto bytes = [&](qsizetype count) { return u"1 entries, 1 damaged in %1 bytes, 98 kcal, 1 times"_s.arg(count); };
        QTest::newRow("an empty log has no entries") << QByteArray() << u"0 entries, 0 damaged in 0 bytes, 0 kcal, 0 times"_s;
        QTest::newRow("a torn last entry is a damaged run") << soup + soup.left(100) << bytes(100);
        QTest::newRow("an entry appended to a torn one is found inside its line") << soup.left(100) + soup << bytes(100);
        QTest::newRow("NUL bytes: in a name the entry stays, alone they are skipped")
            << QByteArray(7, '\0') + "\r\n" + replaced(soup, "Vegetable soup", QByteArray("Vegetable\0soup", 14))
            << u"1 entries, 1 damaged in 9 bytes, 98 kcal, 1 times"_s;
        QTest::newRow("a lone CR for a line end spoils only its entry")
            << replaced(soup, "AM\r\n\r\n", "AM\r\n\r") + soup << bytes(soup.size() - 1);
        QTest::newRow("a 10 MB line is skipped") << soup + "12-04-2026    07:45:10 " + QByteArray(10'000'000, 'x') + "\r\n"
                                                 << bytes(10'000'025);
        QTest::newRow("13-45-2026 is no date") << replaced(soup, "12-04-2026", "13-45-2026") + soup << bytes(soup.size());
        QTest::newRow("13:45:10 is no time on a 12-hour clock, nor 07:61:10")
            << replaced(soup, "07:45:10", "13:45:10") + replaced(soup, "07:45:10", "07:61:10") + soup << bytes(2 * soup.size());
        QTest::newRow("a stamp that lost its designator and the blank before it keeps its date, not its time")
            << replaced(soup, "07:45:10 AM", "07:45:10") << u"1 entries, 0 damaged in 0 bytes, 98 kcal, 0 times"_s;
        QTest::newRow("an entry whose closing blank line holds text is skipped") << soup.chopped(2) + "x\r\n" + soup
                                                                               << bytes(soup.size() + 1);
        QTest::newRow("an entry missing a line is skipped up to the next")
            << replaced(soup, "Contains:\r\n", "") + soup << bytes(soup.size() - 11);
        QTest::newRow("an edited value counts by its leading number")
            << replaced(soup, "98 Calories", "1 20.5 kcal Calories") << u"1 entries, 0 damaged in 0 bytes, 120.5 kcal, 1 times"_s;
        QTest::newRow("another locale's designator keeps the date, not the time")
            << soupEntry(u"vorm."_s) << u"1 entries, 0 damaged in 0 bytes, 98 kcal, 0 times"_s;
        QTest::newRow("lines ended by LF alone, totals without their closing blank")
            << replaced(replaced(soup, " \r\n", "\r\n"), "\r\n", "\n") << u"1 entries, 0 damaged in 0 bytes, 98 kcal, 1 times"_s;
    }

    void hostileLogs()
    {
        QFETCH(QByteArray, log);
        const FoodLog::Log parsed = FoodLog::parse(log);
        QTEST(describe(parsed), "read");
        qint64 covered = parsed.damagedBytes;
        for (const FoodLog::Entry &entry : parsed.entries)
            covered += entry.length;
        QCOMPARE(covered, log.size());
        if (!parsed.entries.empty())
            QCOMPARE(parsed.entries.back().date, QDate(2026, 12, 4));
    }

    void dayColours_data()
    {
        QTest::addColumn<FoodLog::Intake>("intake");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1099 kcal red, 25 % carbohydrates and 300 mg keep the standard colour")
            << FoodLog::Intake{1099, 0, 0, 25, 75, 300} << u"1099 red, fat 0, carbohydrates 25, proteins 75, 300 mg"_s;
        QTest::newRow("1100 kcal green, 15 % fat and 65 % carbohydrates standard")
            << FoodLog::Intake{1100, 15, 0, 146.25, 45, 0} << u"1100 green, fat 15, carbohydrates 65, proteins 20, 0 mg"_s;
        QTest::newRow("1600 kcal green, 24 % carbohydrates red")
            << FoodLog::Intake{1600, 10, 0, 60, 167.5, 0} << u"1600 green, fat 9, carbohydrates 24 red, proteins 67, 0 mg"_s;
        QTest::newRow("1601 kcal red, 15.2 % fat shows a red 15, 65.99 % carbohydrates a red 66, 301 mg red")
            << FoodLog::Intake{1601, 16.9, 0, 165, 47, 301} << u"1601 red, fat 15 red, carbohydrates 66 red, proteins 19, 301 mg red"_s;
        QTest::newRow("a day whose deletions outweigh it keeps its shares without sign")
            << FoodLog::Intake{-250, -10, 0, -30, -10, -50} << u"-250 red, fat 36 red, carbohydrates 48, proteins 16, -50 mg"_s;
        QTest::newRow("no fat, carbohydrates or proteins: no shares")
            << FoodLog::Intake{50, 0, 0, 0, 0, 0} << u"50 red, fat none, carbohydrates none, proteins none, 0 mg"_s;
    }

    void dayColours()
    {
        QFETCH(FoodLog::Intake, intake);
        QTEST(describe(History::Day{QDate(2026, 12, 4), intake, 1, 0}), "shown");
    }

    // The food as the entries export writes it, and the entry's numbers after it, untouched.
    void formulasExportAsText_data()
    {
        QTest::addColumn<QByteArray>("food");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("=1+1 gets an apostrophe") << QByteArray("=1+1") << QByteArray("'=1+1");
        QTest::newRow("a leading plus") << QByteArray("+1+2") << QByteArray("'+1+2");
        QTest::newRow("a leading minus") << QByteArray("-2+3") << QByteArray("'-2+3");
        QTest::newRow("@ and a tab") << QByteArray("@SUM(A1)\tx") << QByteArray("'@SUM(A1)\tx");
        QTest::newRow("a tab first") << QByteArray("\tSoup") << QByteArray("'\tSoup");
        QTest::newRow("a CR first, quoted for it") << QByteArray("\rSoup") << QByteArray("\"'\rSoup\"");
        QTest::newRow("a formula with commas and quotes, quoted after its apostrophe")
            << QByteArray("=HYPERLINK(\"http://x\",\"y\")") << QByteArray("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
        QTest::newRow("an = inside a name stays as it is") << QByteArray("Soup = good") << QByteArray("Soup = good");
    }

    void formulasExportAsText()
    {
        QFETCH(QByteArray, food);
        QFETCH(QByteArray, field);
        const FoodLog::Log log = FoodLog::parse(replaced(soupEntry(), "Vegetable soup", food));
        QCOMPARE(History::entriesCsv(log, {QDate(2026, 12, 4), QDate(2026, 12, 4)}).split('\n').value(1),
                 "2026-12-04,07:45:10," + field + ",1 cup (248 Grams),added,98,2.4,0.4,16,3.1,0\r");
    }

    // Amounts past where decimals mean anything, or past a double, are never a 0 that looks real.
    void amountTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("from 1E15 as the number-text rule writes it") << 2.5e307 << u"2.5E+307"_s;
        QTest::newRow("a sum past the largest double is the largest double")
            << 1e308 * 10 << u"1.79769313486231E+308"_s;
        QTest::newRow("and below the lowest, negative") << -1e308 * 10 << u"-1.79769313486231E+308"_s;
    }

    void amountTexts()
    {
        QFETCH(double, value);
        QTEST(History::amountText(value), "text");
    }

    // The log read, then the file changed: the update equals a fresh read,
    // and reads only the appended bytes where the old ones stayed.
    void followsTheLog_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("appended");
        const QByteArray entry = soupEntry(), older = replaced(entry, "12-04-2026", "12-03-2026"),
                         later = replaced(entry, "12-04-2026", "12-05-2026");
        QTest::newRow("an entry of a new day appended") << entry << entry + later << true;
        QTest::newRow("an older day's entry goes in among the days") << entry + later << entry + later + older << true;
        QTest::newRow("a torn entry completed by the append") << entry + later.left(100) << entry + later + entry << true;
        QTest::newRow("an entry appended to a torn one") << entry + later.left(100) << entry + later.left(100) + older << true;
        QTest::newRow("an empty log that gets its first entry") << QByteArray() << entry << true;
        QTest::newRow("an entry appended to a log longer than the digest of its end")
            << entry.repeated(20) << entry.repeated(20) + later << true;
        QTest::newRow("an entry changed in the part read is read afresh") << entry + later << entry + older + later << false;
        QTest::newRow("a shorter log is read afresh") << entry + later << entry << false;
    }

    void followsTheLog()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, appended);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"mylist"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size() && file.flush());
        HistoryModel::LoadedLog loaded = HistoryModel::load(file.fileName());
        // In place, as the main program appends, or rewritten where the start differs.
        QVERIFY(after.startsWith(before) ? file.write(after.mid(before.size())) >= 0
                                         : file.resize(0) && file.seek(0) && file.write(after) == after.size());
        file.close();
        QCOMPARE(HistoryModel::update(loaded) == HistoryModel::Update::Appended, appended);
        QCOMPARE(describe(loaded), describe(HistoryModel::load(file.fileName())));
    }

    // The window's model: the period of a chart over a log that spans the
    // range, and its places, never more than 400.
    void chartPeriods_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("places");
        QTest::newRow("92 days, a place each") << QDate(2026, 1, 1) << QDate(2026, 4, 2) << u"92: 1/1/26 to 4/2/26"_s;
        QTest::newRow("400 months by months") << QDate(2000, 1, 15) << QDate(2033, 4, 1) << u"400: Jan 2000 to Apr 2033"_s;
        QTest::newRow("401 months by years") << QDate(2000, 1, 15) << QDate(2033, 5, 1) << u"34: 2000 to 2033"_s;
        QTest::newRow("a thousand years by decades") << QDate(1026, 1, 1) << QDate(2026, 1, 1) << u"101: 1020–1029 to 2020–2029"_s;
        QTest::newRow("years 1 to 9999 by centuries, the first from year 1") << QDate(1, 1, 1) << QDate(9999, 12, 31)
                                                                             << u"100: 1–99 to 9900–9999"_s;
    }

    void chartPeriods()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        HistoryModel::LoadedLog loaded;
        loaded.days = {History::Day{from, {}, 1, 0}, History::Day{to, {}, 1, 1}};
        const HistoryModel::RangeModel view = HistoryModel::forRange(loaded, {from, to});
        QTEST(u"%1: %2 to %3"_s.arg(view.places.size()).arg(view.places.front().label, view.places.back().label), "places");
    }

    void files()
    {
        QTemporaryDir dir;
        const std::optional<FoodLog::Log> missing = FoodLog::read(dir.filePath(u"mylist"_s));
        QVERIFY(missing && missing->entries.empty() && missing->damaged == 0);
        QString error;
        QVERIFY(!FoodLog::read(dir.path(), &error));
        QCOMPARE(error, u"file to open is a directory"_s);

        QVERIFY(History::writeExport(dir.filePath(u"days.csv"_s), "Date\r\n", &error));
        QCOMPARE(bytesOf(dir.filePath(u"days.csv"_s)), "Date\r\n");
        for (const QString &name : {u"mylist"_s, u"diet"_s, u"diet3"_s, u"12-04-2026"_s, u"recipes"_s, u"recipes.kept2"_s}) {
            QVERIFY(!History::writeExport(dir.filePath(name), "Date\r\n", &error));
            QCOMPARE(error, u"Cannot write %1: that name belongs to Forkwell's own files"_s.arg(dir.filePath(name)));
            QVERIFY(!QFileInfo::exists(dir.filePath(name)));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
