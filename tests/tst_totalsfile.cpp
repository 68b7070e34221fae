#include <sys/resource.h>
#include <sys/wait.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "textfile.h"
#include "totalsfile.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;
using namespace TallyTesting;

namespace {

const Clock DayClock = fixedClock(QDate(2026, 12, 4), QTime(21, 0, 0));

// A saved day of 300, 500 and 200 calories, as lines 1 to 11.
QStringList savedDay()
{
    return {u"12-04-2026"_s, u"300"_s, u"N/A"_s, u"500"_s, u"200"_s, u"30"_s,
            u"9"_s, u"120"_s, u"50"_s, u"150"_s, u"0"_s};
}

void writeFile(const QString &path, const QStringList &lines)
{
    QVERIFY(TextFile::writeAtomically(path, TextFile::joinLines(lines)));
}

// A day whose every cell shows something, so that any change shows.
DayTally busyDay()
{
    DayTally tally;
    for (int c = 0; c < DayTally::CellCount; ++c)
        tally.setText(static_cast<DayTally::Cell>(c), u"7"_s);
    return tally;
}

} // namespace

class TestTotalsFile : public QObject
{
    Q_OBJECT

private slots:
    void saveThenOpenGivesEveryCellBack();
    void emptyDaySavesAndReopensToZero();
    void reopenedTexts_data();
    void reopenedTexts();
    void reopenedColours_data();
    void reopenedColours();
    void openFailsQuietly_data();
    void openFailsQuietly();
    void failedSaveKeepsTheEarlierFile();
};

void TestTotalsFile::saveThenOpenGivesEveryCellBack()
{
    QTemporaryDir dir;
    const DayTally saved = dayWith({{DayTally::TotalFatCalories, u"332"_s}, {DayTally::TotalCarbCalories, u"764"_s},
                                    {DayTally::TotalProteinCalories, u"262"_s}, {DayTally::TotalFatGrams, u"36.9"_s},
                                    {DayTally::TotalSatFatGrams, u"10.6"_s}, {DayTally::TotalCarbGrams, u"191"_s},
                                    {DayTally::TotalProteinGrams, u"65.6"_s}, {DayTally::TotalCholesterolMg, u"150"_s},
                                    {DayTally::TotalFibreGrams, u"0"_s}});
    QString error, name;
    QVERIFY(saveTotals(saved, DayClock, dir.path(), &error, &name));
    QCOMPARE(name, u"12-04-2026"_s);
    QCOMPARE(bytesOf(dir.filePath(u"12-04-2026"_s)),
             QByteArray("12-04-2026\r\n332\r\nN/A\r\n764\r\n262\r\n36.9\r\n10.6\r\n191\r\n65.6\r\n150\r\n0\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"12-04-2026"_s});

    DayTally reopened;
    openTotals(reopened, DayClock, dir.path());
    // The protein percent has no colour rule on reopening.
    QCOMPARE(describe(reopened), cells(u"332 standard, N/A standard, 764 standard, 262 standard, 36.9 standard, "
                                       "10.6 standard, 191 standard, 65.6 standard, 150 standard, 0 standard, "
                                       "1358 green, 24 red, \"\" standard, 56 standard, 19 standard, 50 standard"_s));
}

// An empty day gives 0 calories, which ends the reopening before the percents.
void TestTotalsFile::emptyDaySavesAndReopensToZero()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(saveTotals(DayTally(), DayClock, dir.path(), &error));
    QCOMPARE(bytesOf(dir.filePath(u"12-04-2026"_s)),
             QByteArray("12-04-2026\r\n\r\nN/A\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));

    DayTally tally = busyDay();
    tally.setColour(DayTally::CarbPercent, CellColour::Red);
    openTotals(tally, DayClock, dir.path());
    QCOMPARE(describe(tally), cells(u"0 standard, 7 standard, 0 standard, 0 standard, \"\" standard, \"\" standard, "
                                    "\"\" standard, \"\" standard, \"\" standard, \"\" standard, 0 red, 7 blue, "
                                    "7 standard, 7 red, 7 standard, 7 standard"_s));
}

// One line of a saved day replaced; one cell afterwards.
void TestTotalsFile::reopenedTexts_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<DayTally::Cell>("cell");
    QTest::addColumn<QString>("shown");
    QTest::newRow("fat calories of 12.5 reopen as 12") << 2 << u"12.5"_s << DayTally::TotalFatCalories << u"12"_s;
    QTest::newRow("carbohydrate calories of 13.5 reopen as 14") << 4 << u"13.5"_s << DayTally::TotalCarbCalories << u"14"_s;
    QTest::newRow("49.5 left by a deletion reopens as 50") << 5 << u"49.5"_s << DayTally::TotalProteinCalories << u"50"_s;
    QTest::newRow("-0.5 reopens as 0") << 2 << u"-0.5"_s << DayTally::TotalFatCalories << u"0"_s;
    QTest::newRow("fat grams of 12.5 stay 12.5") << 6 << u"12.5"_s << DayTally::TotalFatGrams << u"12.5"_s;
    QTest::newRow("N/A as carbohydrate grams stays N/A") << 8 << u"N/A"_s << DayTally::TotalCarbGrams << u"N/A"_s;
    QTest::newRow("fibre grams come back as written") << 11 << u"0.0"_s << DayTally::TotalFibreGrams << u"0.0"_s;
    QTest::newRow("saturated-fat calories never reach the window") << 3 << u"-4"_s << DayTally::TotalSatFatCalories << u"7"_s;
    QTest::newRow("today is the whole calorie totals added up") << 2 << u"300.4"_s << DayTally::TodayCalories << u"1000"_s;
}

void TestTotalsFile::reopenedTexts()
{
    QFETCH(int, line);
    QFETCH(QString, stored);
    QFETCH(DayTally::Cell, cell);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QStringList lines = savedDay();
    lines[line - 1] = stored;
    writeFile(dir.filePath(u"12-04-2026"_s), lines);
    DayTally tally = busyDay();
    openTotals(tally, DayClock, dir.path());
    QCOMPARE(tally.text(cell), shown);
}

// A saved day of the given calories and grams, reopened; one cell afterwards.
void TestTotalsFile::reopenedColours_data()
{
    QTest::addColumn<ColourCase>("row");

    const auto blue = CellColour::DarkBlue;
    const auto red = CellColour::Red;
    const auto green = CellColour::Green;
    const auto today = DayTally::TodayCalories;
    QTest::newRow("1100 kcal keep today's colour") << ColourCase{u"165 660 275 100 100"_s, today, blue, u"1100"_s, blue};
    QTest::newRow("1101 kcal turn today green") << ColourCase{u"165 661 275 100 100"_s, today, blue, u"1101"_s, green};
    QTest::newRow("1599 kcal turn today green") << ColourCase{u"165 1159 275 100 100"_s, today, blue, u"1599"_s, green};
    QTest::newRow("1600 kcal keep today's colour") << ColourCase{u"165 1160 275 100 100"_s, today, blue, u"1600"_s, blue};
    QTest::newRow("1601 kcal turn today red") << ColourCase{u"165 1161 275 100 100"_s, today, blue, u"1601"_s, red};

    const auto fat = DayTally::FatPercent;
    QTest::newRow("a fat share of 14.6 % shows 15 and keeps its colour") << ColourCase{u"146 500 354 100 100"_s, fat, blue, u"15"_s, blue};
    QTest::newRow("a fat share of 15.2 % shows 15 in red") << ColourCase{u"152 500 348 100 100"_s, fat, blue, u"15"_s, red};
    QTest::newRow("fat at 10 % stays red") << ColourCase{u"100 500 400 100 100"_s, fat, red, u"10"_s, red};

    const auto cholesterol = DayTally::CholesterolPercent;
    QTest::newRow("271 mg show 90 % and keep their colour") << ColourCase{u"100 500 400 100 271"_s, cholesterol, blue, u"90"_s, blue};
    QTest::newRow("272 mg show 91 % in red") << ColourCase{u"100 500 400 100 272"_s, cholesterol, blue, u"91"_s, red};

    const auto carb = DayTally::CarbPercent;
    QTest::newRow("carbohydrates at 24 % turn red") << ColourCase{u"100 240 660 100 100"_s, carb, blue, u"24"_s, red};
    QTest::newRow("carbohydrates at 25 % keep their colour") << ColourCase{u"100 250 650 100 100"_s, carb, blue, u"25"_s, blue};
    QTest::newRow("carbohydrates at 50 % stay red") << ColourCase{u"100 500 400 100 100"_s, carb, red, u"50"_s, red};
    QTest::newRow("carbohydrates at 65 % keep their colour") << ColourCase{u"100 650 250 100 100"_s, carb, blue, u"65"_s, blue};
    QTest::newRow("carbohydrates at 66 % turn red") << ColourCase{u"100 660 240 100 100"_s, carb, blue, u"66"_s, red};

    const auto protein = DayTally::ProteinPercent;
    QTest::newRow("proteins at 10 % keep their colour") << ColourCase{u"100 800 100 100 100"_s, protein, blue, u"10"_s, blue};
    QTest::newRow("proteins at 40 % stay red") << ColourCase{u"100 500 400 100 100"_s, protein, red, u"40"_s, red};

    const auto grams = DayTally::TotalCarbGrams;
    QTest::newRow("220 g of carbohydrates keep their colour") << ColourCase{u"100 500 400 220 100"_s, grams, blue, u"220"_s, blue};
    QTest::newRow("250 g of carbohydrates keep their colour") << ColourCase{u"100 500 400 250 100"_s, grams, blue, u"250"_s, blue};
    QTest::newRow("250.1 g of carbohydrates turn red") << ColourCase{u"100 500 400 250.1 100"_s, grams, blue, u"250.1"_s, red};
}

void TestTotalsFile::reopenedColours()
{
    QFETCH(ColourCase, row);
    const QStringList v = row.values.split(u' ');
    QTemporaryDir dir;
    QStringList lines = savedDay();
    lines[1] = v[0], lines[3] = v[1], lines[4] = v[2], lines[7] = v[3], lines[9] = v[4];
    writeFile(dir.filePath(u"12-04-2026"_s), lines);
    DayTally tally;
    tally.setColour(row.cell, row.before);
    openTotals(tally, DayClock, dir.path());
    QCOMPARE(tally.text(row.cell), row.text);
    QCOMPARE(tally.colour(row.cell), row.after);
}

void TestTotalsFile::openFailsQuietly_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("file"); // the lines of 12-04-2026
    QTest::addColumn<QStringList>("changed");

    const QDateTime evening(QDate(2026, 12, 4), QTime(21, 0, 0));
    QTest::newRow("no file for today") << evening << QStringList() << QStringList();
    QTest::newRow("yesterday's file after midnight") << QDateTime(QDate(2026, 12, 5), QTime(0, 0, 5)) << savedDay()
                                                     << QStringList();
    QTest::newRow("a file of ten fields") << evening << savedDay().mid(0, 10) << QStringList();
    QStringList tooMany = savedDay();
    tooMany[3] = u"40000"_s;
    QTest::newRow("carbohydrate calories past 32767") << evening << tooMany
                                                      << QStringList{u"TotalFatCalories 300 standard"_s};
    QStringList hugeShare = savedDay();
    hugeShare[1] = u"400"_s;
    hugeShare[3] = u"-399"_s;
    hugeShare[4] = u"0"_s;
    QTest::newRow("a fat share past 32767 %")
        << evening << hugeShare
        << QStringList{u"TotalFatCalories 400 standard"_s, u"TotalCarbCalories -399 standard"_s,
                       u"TotalProteinCalories 0 standard"_s, u"TotalFatGrams 30 standard"_s,
                       u"TotalSatFatGrams 9 standard"_s, u"TotalCarbGrams 120 standard"_s,
                       u"TotalProteinGrams 50 standard"_s, u"TotalCholesterolMg 150 standard"_s,
                       u"TotalFibreGrams 0 standard"_s, u"TodayCalories 1 red"_s, u"FatPercent 7 red"_s};
}

// A failed reopening shows nothing; only what it had set before the
// failure differs from the day as it was.
void TestTotalsFile::openFailsQuietly()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, file);
    QFETCH(QStringList, changed);
    QTemporaryDir dir;
    if (!file.isEmpty())
        writeFile(dir.filePath(u"12-04-2026"_s), file);
    DayTally tally = busyDay();
    openTotals(tally, fixedClock(now.date(), now.time()), dir.path());

    QStringList expected = describe(busyDay());
    for (const QString &line : changed)
        expected[CellNames.indexOf(line.section(u' ', 0, 0))] = line;
    QCOMPARE(describe(tally), expected);
}

// A disk that fills up is simulated with a file size limit in a child
// process; a folder standing at the file's name blocks the save for root too.
void TestTotalsFile::failedSaveKeepsTheEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"12-04-2026"_s);
    QString error;
    QVERIFY(saveTotals(busyDay(), DayClock, dir.path(), &error));
    const QByteArray earlier = bytesOf(path);

    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString reason;
        _exit(!saveTotals(DayTally(), DayClock, dir.path(), &reason) && !reason.isEmpty() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(bytesOf(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"12-04-2026"_s});

    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(dir.path()).mkdir(u"12-04-2026"_s));
    QString name;
    QVERIFY(!saveTotals(busyDay(), DayClock, dir.path(), &error, &name));
    QCOMPARE(name, u"12-04-2026"_s);
    QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EISDIR)));
}

QTEST_GUILESS_MAIN(TestTotalsFile)
#include "tst_totalsfile.moc"
