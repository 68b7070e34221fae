#include <QTest>

#include "itemvalues.h"

using namespace Qt::StringLiterals;

namespace {

// Calories, fat, carbohydrates, proteins, saturated fat, cholesterol, weight.
FoodRecord apple()
{
    FoodRecord row;
    row[Food::Name] = u"Apple"_s;
    row[Food::Measure] = u"1 medium"_s;
    row[Food::Calories] = u"81"_s;
    row[Food::FatGrams] = u"0.5"_s;
    row[Food::CarbGrams] = u"21"_s;
    row[Food::ProteinGrams] = u"0.3"_s;
    row[Food::SatFatGrams] = u"0.1"_s;
    row[Food::CholesterolMg] = u"0"_s;
    row[Food::WeightGrams] = u"138"_s;
    return row;
}

// The texts in display order: measure, weight, calories, fat, sat fat, carbs,
// proteins, cholesterol, fat kcal, sat fat kcal, carb kcal, protein kcal.
QStringList texts(const ItemFields &f)
{
    return {f.measure, f.weight, f.calories, f.fatGrams, f.satFatGrams, f.carbGrams,
            f.proteinGrams, f.cholesterolMg, f.fatCalories, f.satFatCalories, f.carbCalories,
            f.proteinCalories};
}

} // namespace

class TestItemValues : public QObject
{
    Q_OBJECT

private slots:
    void selectShowsTheItemsOwnValues();
    void portionChange_data();
    void portionChange();
    void productBeyondDoubleStopsTheUpdate();
};

void TestItemValues::selectShowsTheItemsOwnValues()
{
    FoodRecord row = apple();
    row[Food::Calories] = u"81.00"_s;
    row[Food::CholesterolMg] = u"none"_s;
    const ItemFields fields = ItemValues::select(row, ItemFields());
    QCOMPARE(texts(fields),
             (QStringList{u"1 medium"_s, u"138"_s, u"81"_s, u"0.5"_s, u"0.1"_s, u"21"_s, u"0.3"_s,
                          u"0"_s, u"4.5"_s, u"N/A"_s, u"84"_s, u"1.2"_s}));
}

void TestItemValues::portionChange_data()
{
    QTest::addColumn<QString>("portion");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("portion 2 doubles everything and empties sat fat calories")
        << u"2"_s
        << QStringList{u"1 medium"_s, u"276"_s, u"162"_s, u"1"_s, u"0.2"_s, u"42"_s, u"0.6"_s,
                       u"0"_s, u"9"_s, QString(), u"168"_s, u"2.4"_s};
    QTest::newRow("portion 3 shows 0.3, not a binary tail")
        << u"3"_s
        << QStringList{u"1 medium"_s, u"414"_s, u"243"_s, u"1.5"_s, u"0.3"_s, u"63"_s, u"0.9"_s,
                       u"0"_s, u"13.5"_s, QString(), u"252"_s, u"3.6"_s};
    QTest::newRow("an empty box is portion 0")
        << QString()
        << QStringList{u"1 medium"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s,
                       u"0"_s, QString(), u"0"_s, u"0"_s};
    QTest::newRow("a negative portion shows no sign")
        << u"-2"_s
        << QStringList{u"1 medium"_s, u"276"_s, u"162"_s, u"1"_s, u"0.2"_s, u"42"_s, u"0.6"_s,
                       u"0"_s, u"9"_s, QString(), u"168"_s, u"2.4"_s};
    QTest::newRow("a portion of 1.5 on 0.5 g fat")
        << u"1.5 cups"_s
        << QStringList{u"1 medium"_s, u"207"_s, u"121.5"_s, u"0.75"_s, u"0.15"_s, u"31.5"_s,
                       u"0.45"_s, u"0"_s, u"6.75"_s, QString(), u"126"_s, u"1.8"_s};
    QTest::newRow("typing 1 then 2 is portion 12")
        << u"12"_s
        << QStringList{u"1 medium"_s, u"1656"_s, u"972"_s, u"6"_s, u"1.2"_s, u"252"_s, u"3.6"_s,
                       u"0"_s, u"54"_s, QString(), u"1008"_s, u"14.4"_s};
}

void TestItemValues::portionChange()
{
    QFETCH(QString, portion);
    QFETCH(QStringList, shown);
    const ItemFields fields = ItemValues::portionChange(apple(), portion, ItemFields());
    QCOMPARE(texts(fields), shown);
}

// Fields written before the failing step keep their new text; the rest keep the old.
void TestItemValues::productBeyondDoubleStopsTheUpdate()
{
    FoodRecord row = apple();
    row[Food::ProteinGrams] = u"1e300"_s;
    ItemFields before;
    before.proteinGrams = u"old"_s;
    before.cholesterolMg = u"old"_s;
    const ItemFields fields = ItemValues::portionChange(row, u"1e10"_s, before);
    QCOMPARE(fields.carbGrams, u"210000000000"_s);
    QCOMPARE(fields.proteinGrams, u"old"_s);
    QCOMPARE(fields.cholesterolMg, u"old"_s);
    QCOMPARE(fields.satFatCalories, u"N/A"_s);

    // A portion beyond a double stops at the first product, after the
    // measure and the unscaled weight.
    const ItemFields overflow = ItemValues::portionChange(apple(), u"1e400"_s, before);
    QCOMPARE(overflow.measure, u"1 medium"_s);
    QCOMPARE(overflow.weight, u"138"_s);
    QCOMPARE(overflow.calories, before.calories);
}

QTEST_GUILESS_MAIN(TestItemValues)
#include "tst_itemvalues.moc"
