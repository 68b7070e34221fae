#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "daylist.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;
using namespace TallyTesting;

namespace {

const Clock EveningClock = fixedClock(QDate(2026, 12, 4), QTime(19, 45, 10));

ItemEntry vegetableSoup()
{
    return itemOf(u"Vegetable soup"_s, u"1|cup|248|98|2.4|0.4|16|3.1|0|21.6|64|12.4"_s);
}

} // namespace

class TestAddToList : public QObject
{
    Q_OBJECT

private slots:
    void vegetableSoupJoinsTheDay();
    void coloursAtTheirLimits_data();
    void coloursAtTheirLimits();
    void dayWithoutCaloriesWritesNoEntry();
    void calorieTotalPast32767StopsTheAddition();
    void unwritableLogStillUpdatesTheCells();
};

void TestAddToList::vegetableSoupJoinsTheDay()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally = dayWith({{DayTally::TotalFatCalories, u"310"_s}, {DayTally::TotalCarbCalories, u"700"_s},
                              {DayTally::TotalProteinCalories, u"250"_s}, {DayTally::TotalFatGrams, u"34.5"_s},
                              {DayTally::TotalSatFatGrams, u"10.2"_s}, {DayTally::TotalCarbGrams, u"175"_s},
                              {DayTally::TotalProteinGrams, u"62.5"_s}, {DayTally::TotalCholesterolMg, u"150"_s}});

    addToList(tally, vegetableSoup(), EveningClock, log);

    QCOMPARE(bytesOf(log), QByteArray("12-04-2026    07:45:10 PM\r\n"
                                      "\r\n"
                                      "1 cup (248 Grams) of:\r\n"
                                      "Vegetable soup\r\n"
                                      "Contains:\r\n"
                                      "98 Calories\r\n"
                                      "2.4 Grams of Total Fat (including Saturated)\r\n"
                                      "0.4 Grams of Just Saturated Fat\r\n"
                                      "16 Grams of Carbohydrates\r\n"
                                      "3.1 Grams of Proteins\r\n"
                                      "0 Miligrams of Cholesterol\r\n"
                                      "\r\n"
                                      "Your running total for today to this point is: \r\n"
                                      "1358 Total Calories \r\n"
                                      "332 Total Fat Calories\r\n"
                                      "764 Total Carbohydrate Calories\r\n"
                                      "262 Total Protein Calories\r\n"
                                      "36.9 Total Grams of All Fats (including Saturated)\r\n"
                                      "10.6 Total Grams of Just Saturated Fats\r\n"
                                      "191 Total Grams of Carbohydrates\r\n"
                                      "65.6 Total Grams of Proteins\r\n"
                                      "150 Total Milligrams of Cholesterol\r\n"
                                      "\r\n"));
    QCOMPARE(describe(tally), cells(u"332 standard, N/A standard, 764 standard, 262 standard, 36.9 standard, "
                                    "10.6 standard, 191 standard, 65.6 standard, 150 standard, 0 standard, 1358 green, "
                                    "24 red, \"\" standard, 56 standard, 19 red, 50 standard"_s));

}

// One item added to a fresh day; one cell's text and colour afterwards.
void TestAddToList::coloursAtTheirLimits_data()
{
    QTest::addColumn<ColourCase>("row");

    const auto blue = CellColour::DarkBlue;
    const auto red = CellColour::Red;
    const auto today = DayTally::TodayCalories;
    QTest::newRow("1100 kcal keep today's colour") << ColourCase{u"165 660 275 1 1"_s, today, blue, u"1100"_s, blue};
    QTest::newRow("1101 kcal turn today green") << ColourCase{u"165 661 275 1 1"_s, today, blue, u"1101"_s, CellColour::Green};
    QTest::newRow("1600 kcal keep today's colour") << ColourCase{u"165 1160 275 1 1"_s, today, blue, u"1600"_s, blue};
    QTest::newRow("1601 kcal turn today red") << ColourCase{u"165 1161 275 1 1"_s, today, blue, u"1601"_s, red};

    const auto fat = DayTally::FatPercent;
    QTest::newRow("a fat share of 14.6 % shows 15 and keeps its colour") << ColourCase{u"146 500 354 1 1"_s, fat, blue, u"15"_s, blue};
    QTest::newRow("a fat share of 15.2 % shows 15 in red") << ColourCase{u"152 500 348 1 1"_s, fat, blue, u"15"_s, red};
    QTest::newRow("a fat share of 14.4 % takes back the standard colour") << ColourCase{u"144 500 356 1 1"_s, fat, red, u"14"_s, CellColour::Standard};

    const auto cholesterol = DayTally::CholesterolPercent;
    QTest::newRow("271 mg show 90 % and keep their colour") << ColourCase{u"100 500 400 1 271"_s, cholesterol, blue, u"90"_s, blue};
    QTest::newRow("272 mg show 91 % in red") << ColourCase{u"100 500 400 1 272"_s, cholesterol, blue, u"91"_s, red};
    QTest::newRow("cholesterol never returns to the standard colour") << ColourCase{u"100 500 400 1 30"_s, cholesterol, red, u"10"_s, red};

    const auto carb = DayTally::CarbPercent;
    QTest::newRow("carbohydrates at 24 % turn red") << ColourCase{u"100 240 660 1 1"_s, carb, blue, u"24"_s, red};
    QTest::newRow("carbohydrates at 25 % keep their colour") << ColourCase{u"100 250 650 1 1"_s, carb, blue, u"25"_s, blue};
    QTest::newRow("carbohydrates at 26 % take the standard colour") << ColourCase{u"100 260 640 1 1"_s, carb, red, u"26"_s, CellColour::Standard};
    QTest::newRow("carbohydrates at 65 % take the standard colour") << ColourCase{u"100 650 250 1 1"_s, carb, red, u"65"_s, CellColour::Standard};
    QTest::newRow("carbohydrates at 66 % turn red") << ColourCase{u"100 660 240 1 1"_s, carb, blue, u"66"_s, red};

    const auto protein = DayTally::ProteinPercent;
    QTest::newRow("proteins at 66 % turn red") << ColourCase{u"100 240 660 1 1"_s, protein, blue, u"66"_s, red};

    const auto grams = DayTally::TotalCarbGrams;
    QTest::newRow("200 g of carbohydrates keep their colour") << ColourCase{u"100 500 400 200 1"_s, grams, blue, u"200"_s, blue};
    QTest::newRow("200.1 g of carbohydrates turn red") << ColourCase{u"100 500 400 200.1 1"_s, grams, blue, u"200.1"_s, red};
    QTest::newRow("carbohydrate grams never return to the standard colour") << ColourCase{u"100 500 400 150 1"_s, grams, red, u"150"_s, red};

    QTest::newRow("0.5 fat calories round to the even 0") << ColourCase{u"0.5 500 500 1 1"_s, DayTally::TotalFatCalories, blue, u"0"_s, blue};
}

void TestAddToList::coloursAtTheirLimits()
{
    QFETCH(ColourCase, row);
    const QStringList v = row.values.split(u' ');
    QTemporaryDir dir;
    DayTally tally;
    tally.setColour(row.cell, row.before);
    const ItemEntry item = itemOf(u"Test item"_s, u"1|cup|1|1|1|0|%1|1|%2|%3|%4|%5"_s.arg(v[3], v[4], v[0], v[1], v[2]));
    addToList(tally, item, EveningClock, dir.filePath(u"mylist"_s));
    QCOMPARE(tally.text(row.cell), row.text);
    QCOMPARE(tally.colour(row.cell), row.after);
}

// Nothing can be shared out of no calories: the totals move, the percent
// cells of empty totals show 0, and the log stays untouched.
void TestAddToList::dayWithoutCaloriesWritesNoEntry()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally;
    ItemEntry item;
    item.fields.fatGrams = u"2"_s;
    item.fields.fatCalories = u"0"_s;

    addToList(tally, item, EveningClock, log);

    QVERIFY(!QFileInfo::exists(log));
    QCOMPARE(describe(tally), cells(u"0 standard, N/A standard, 0 standard, 0 standard, 2 standard, 0 standard, "
                                    "0 standard, 0 standard, 0 standard, 0 standard, 0 red, \"\" blue, 0 standard, "
                                    "0 standard, 0 standard, 0 standard"_s));

}

// The carbohydrate calories cannot pass 32767: the totals before them are
// updated, nothing after them is, and only the zero pass still runs.
void TestAddToList::calorieTotalPast32767StopsTheAddition()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally = dayWith({{DayTally::TotalCarbCalories, u"32750"_s}, {DayTally::TotalCarbGrams, u"8175"_s}});
    addToList(tally, vegetableSoup(), EveningClock, log);

    QVERIFY(!QFileInfo::exists(log));
    QCOMPARE(describe(tally), cells(u"22 standard, N/A standard, 32750 standard, \"\" standard, 2.4 standard, "
                                    "0.4 standard, 8175 standard, \"\" standard, \"\" standard, \"\" standard, \"\" red, "
                                    "\"\" blue, \"\" standard, \"\" standard, 0 standard, 0 standard"_s));

}

// A folder standing where the log should be makes it unwritable, even for root.
void TestAddToList::unwritableLogStillUpdatesTheCells()
{
    QTemporaryDir dir;
    const QString blocked = dir.filePath(u"mylist"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"mylist"_s));
    DayTally tally;
    addToList(tally, vegetableSoup(), EveningClock, blocked);

    DayTally logged;
    addToList(logged, vegetableSoup(), EveningClock, dir.filePath(u"elsewhere"_s));
    QCOMPARE(describe(tally), describe(logged));
    QVERIFY(QFileInfo(blocked).isDir());
    QCOMPARE(QDir(blocked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(TestAddToList)
#include "tst_addtolist.moc"
