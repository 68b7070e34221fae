#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "daylist.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;
using namespace TallyTesting;

namespace {

const Clock MorningClock = fixedClock(QDate(2026, 12, 4), QTime(9, 5, 0));

// 90, 120 and 40 calories from fat, carbohydrates and proteins.
ItemEntry cheesePizza()
{
    return itemOf(u"Cheese pizza"_s, u"1|slice|100|250|10|0|30|10|0|90|120|40"_s);
}

} // namespace

class TestDeleteFromList : public QObject
{
    Q_OBJECT

private slots:
    void deletingOnAFreshDayGoesNegative();
    void addingThenDeletingReturnsToZero();
    void deletedCaloriesAreNotRounded();
    void coloursAtTheirLimits_data();
    void coloursAtTheirLimits();
    void percentPast32767StopsBeforeTheColours();
};

void TestDeleteFromList::deletingOnAFreshDayGoesNegative()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally;
    deleteFromList(tally, cheesePizza(), MorningClock, log);

    QCOMPARE(describe(tally), cells(u"-90 standard, 0 standard, -120 standard, -40 standard, -10 standard, "
                                    "0 standard, -30 standard, -10 standard, 0 standard, 0 standard, -250 red, "
                                    "36 blue, 0 standard, 48 standard, 16 red, 0 standard"_s));

    QCOMPARE(bytesOf(log), QByteArray("12-04-2026    09:05:00 AM\r\n"
                                      "\r\n"
                                      "1 slice (100 Grams) of:\r\n"
                                      "Cheese pizza\r\n"
                                      "Contains:\r\n"
                                      "250 Calories\r\n"
                                      "10 Grams of Total Fat (including Saturated)\r\n"
                                      "0 Grams of Just Saturated Fat\r\n"
                                      "30 Grams of Carbohydrates\r\n"
                                      "10 Grams of Proteins\r\n"
                                      "0 Miligrams of Cholesterol\r\n"
                                      "The above was deleted and below is the amended total:\r\n"
                                      "Your running total for today to this point is: \r\n"
                                      "-250 Total Calories \r\n"
                                      "-90 Total Fat Calories\r\n"
                                      "-120 Total Carbohydrate Calories\r\n"
                                      "-40 Total Protein Calories\r\n"
                                      "-10 Total Grams of All Fats (including Saturated)\r\n"
                                      "0 Total Grams of Just Saturated Fats\r\n"
                                      "-30 Total Grams of Carbohydrates\r\n"
                                      "-10 Total Grams of Proteins\r\n"
                                      "0 Total Milligrams of Cholesterol\r\n"
                                      "\r\n"));
}

// Today's total of 0 leaves nothing to share: the deletion writes no entry,
// keeps the colours the addition gave, and the zero pass shows 0 percent.
void TestDeleteFromList::addingThenDeletingReturnsToZero()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally;
    addToList(tally, cheesePizza(), MorningClock, log);
    const QByteArray added = bytesOf(log);
    QCOMPARE(added.count("\r\n"), 23);
    deleteFromList(tally, cheesePizza(), MorningClock, log);

    QCOMPARE(bytesOf(log), added);
    QCOMPARE(describe(tally), cells(u"0 standard, 0 standard, 0 standard, 0 standard, 0 standard, 0 standard, "
                                    "0 standard, 0 standard, 0 standard, 0 standard, 0 red, 0 red, 0 standard, "
                                    "0 standard, 0 red, 0 standard"_s));

}

// Adding rounds the calorie totals and deleting does not, so 40.5 fat
// calories leave a half behind; today's total stays whole, ties to even.
void TestDeleteFromList::deletedCaloriesAreNotRounded()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    ItemEntry butter;
    butter.fields.fatCalories = u"40.5"_s;
    butter.fields.fatGrams = u"4.5"_s;

    DayTally tally;
    addToList(tally, butter, MorningClock, log);
    QCOMPARE(tally.text(DayTally::TotalFatCalories), u"40"_s);
    deleteFromList(tally, butter, MorningClock, log);
    QCOMPARE(tally.text(DayTally::TotalFatCalories), u"-0.5"_s);
    QCOMPARE(tally.text(DayTally::TodayCalories), u"0"_s);

    tally = dayWith({{DayTally::TotalFatCalories, u"90"_s}, {DayTally::TotalCarbCalories, u"299"_s},
                     {DayTally::TotalFatGrams, u"10"_s}});
    deleteFromList(tally, butter, MorningClock, log);
    QCOMPARE(tally.text(DayTally::TotalFatCalories), u"49.5"_s);
    QCOMPARE(tally.text(DayTally::TotalFatGrams), u"5.5"_s);
    QCOMPARE(tally.text(DayTally::TodayCalories), u"348"_s);
}

// Deleting nothing from a day re-judges its totals by the deletion rules.
void TestDeleteFromList::coloursAtTheirLimits_data()
{
    QTest::addColumn<ColourCase>("row");

    const auto blue = CellColour::DarkBlue;
    const auto red = CellColour::Red;
    const auto standard = CellColour::Standard;
    const auto carb = DayTally::CarbPercent;
    QTest::newRow("carbohydrates at 60 % take the standard colour") << ColourCase{u"100 600 300 1 1"_s, carb, red, u"60"_s, standard};
    QTest::newRow("carbohydrates at 61 % turn red") << ColourCase{u"100 610 290 1 1"_s, carb, blue, u"61"_s, red};
    QTest::newRow("carbohydrates at 25 % keep their colour") << ColourCase{u"100 250 650 1 1"_s, carb, blue, u"25"_s, blue};
    QTest::newRow("carbohydrates at 24 % turn red") << ColourCase{u"100 240 660 1 1"_s, carb, blue, u"24"_s, red};
    QTest::newRow("a negative carbohydrate share keeps its sign") << ColourCase{u"600 -100 500 1 1"_s, carb, blue, u"-10"_s, red};
    const auto protein = DayTally::ProteinPercent;
    QTest::newRow("proteins at 61 % turn red") << ColourCase{u"100 290 610 1 1"_s, protein, blue, u"61"_s, red};

    const auto fat = DayTally::FatPercent;
    QTest::newRow("fat at 19 % takes the standard colour") << ColourCase{u"190 500 310 1 1"_s, fat, red, u"19"_s, standard};
    QTest::newRow("fat at 20 % keeps an earlier red") << ColourCase{u"200 500 300 1 1"_s, fat, red, u"20"_s, red};
    QTest::newRow("fat at 40 % never turns red") << ColourCase{u"400 300 300 1 1"_s, fat, blue, u"40"_s, blue};
    QTest::newRow("a negative fat share shows without its sign") << ColourCase{u"-100 600 500 1 1"_s, fat, blue, u"10"_s, standard};

    const auto cholesterol = DayTally::CholesterolPercent;
    QTest::newRow("267 mg show 89 % in the standard colour") << ColourCase{u"100 500 400 1 267"_s, cholesterol, red, u"89"_s, standard};
    QTest::newRow("270 mg show 90 % and keep an earlier red") << ColourCase{u"100 500 400 1 270"_s, cholesterol, red, u"90"_s, red};

    const auto today = DayTally::TodayCalories;
    QTest::newRow("1099 kcal turn today red") << ColourCase{u"100 699 300 1 1"_s, today, blue, u"1099"_s, red};
    QTest::newRow("1100 kcal keep today's colour") << ColourCase{u"100 700 300 1 1"_s, today, blue, u"1100"_s, blue};
    QTest::newRow("1599 kcal turn today green") << ColourCase{u"100 1199 300 1 1"_s, today, blue, u"1599"_s, CellColour::Green};
    QTest::newRow("1600 kcal keep today's colour") << ColourCase{u"100 1200 300 1 1"_s, today, blue, u"1600"_s, blue};
    QTest::newRow("1601 kcal turn today red") << ColourCase{u"100 1201 300 1 1"_s, today, blue, u"1601"_s, red};

    const auto grams = DayTally::TotalCarbGrams;
    QTest::newRow("200 g of carbohydrates keep an earlier red") << ColourCase{u"100 500 400 200 1"_s, grams, red, u"200"_s, red};
    QTest::newRow("199.9 g of carbohydrates take the standard colour") << ColourCase{u"100 500 400 199.9 1"_s, grams, red, u"199.9"_s, standard};
    QTest::newRow("carbohydrate grams never turn red") << ColourCase{u"100 500 400 300 1"_s, grams, blue, u"300"_s, blue};
}

void TestDeleteFromList::coloursAtTheirLimits()
{
    QFETCH(ColourCase, row);
    const QStringList v = row.values.split(u' ');
    QTemporaryDir dir;
    DayTally tally = dayWith({{DayTally::TotalFatCalories, v[0]}, {DayTally::TotalCarbCalories, v[1]},
                              {DayTally::TotalProteinCalories, v[2]}, {DayTally::TotalCarbGrams, v[3]},
                              {DayTally::TotalCholesterolMg, v[4]}, {DayTally::TotalFatGrams, u"1"_s},
                              {DayTally::TotalProteinGrams, u"1"_s}});
    tally.setColour(row.cell, row.before);
    deleteFromList(tally, ItemEntry(), MorningClock, dir.filePath(u"mylist"_s));
    QCOMPARE(tally.text(row.cell), row.text);
    QCOMPARE(tally.colour(row.cell), row.after);
}

// Totals gone negative can make a share huge: 400 fat calories of a day of
// 1 calorie. The cells before it keep their new texts; the fat percent,
// every colour and the entry are skipped.
void TestDeleteFromList::percentPast32767StopsBeforeTheColours()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"mylist"_s);
    DayTally tally = dayWith({{DayTally::TotalFatCalories, u"400"_s}, {DayTally::TotalCarbCalories, u"-399"_s},
                              {DayTally::TotalFatGrams, u"40"_s}, {DayTally::FatPercent, u"12"_s}});
    tally.setColour(DayTally::TodayCalories, CellColour::DarkBlue);
    deleteFromList(tally, ItemEntry(), MorningClock, log);

    QVERIFY(!QFileInfo::exists(log));
    QCOMPARE(tally.text(DayTally::TodayCalories), u"1"_s);
    QCOMPARE(tally.colour(DayTally::TodayCalories), CellColour::DarkBlue);
    QCOMPARE(tally.text(DayTally::FatPercent), u"12"_s);
    QCOMPARE(tally.text(DayTally::CarbPercent), u"0"_s);
}

QTEST_GUILESS_MAIN(TestDeleteFromList)
#include "tst_deletefromlist.moc"
