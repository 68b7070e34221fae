#include <algorithm>
#include <cmath>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "foodtable.h"
#include "itemeditor.h"
#include "numberrules.h"

using namespace Qt::StringLiterals;

namespace {

// Drinks whose energy comes partly from alcohol, which fat, carbohydrates and
// proteins do not account for.
const QStringList AlcoholicDrinks = {
    u"Beer"_s,
    u"Beer light"_s,
    u"Cocktail daiquiri"_s,
    u"Cocktail pina colada"_s,
    u"Liqueur coffee"_s,
    u"Spirits gin rum vodka whiskey 80 proof"_s,
    u"Wine dessert sweet"_s,
    u"Wine red"_s,
    u"Wine white"_s,
};

const QList<Food::Column> NumericColumns = {
    Food::FatGrams, Food::Calories, Food::CarbGrams, Food::ProteinGrams,
    Food::CholesterolMg, Food::WeightGrams, Food::SatFatGrams,
};

double valueOf(const QString &text)
{
    return NumberRules::numberPrefix(text).value_or(NAN);
}

} // namespace

class TestStarterData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRecordIsNineLinesEndedByCrLf();
    void numericFieldsArePlainNumbers_data();
    void numericFieldsArePlainNumbers();
    void caloriesAgreeWithFatCarbohydratesAndProteins();
    void portionsHoldWhatTheyWeigh();
    void alcoholicDrinksGetPartOfTheirEnergyFromAlcohol_data();
    void alcoholicDrinksGetPartOfTheirEnergyFromAlcohol();
    void namesAreUniqueAndInTheEditorsOrder();
    void wellKnownFoodsCarryTheirFigures_data();
    void wellKnownFoodsCarryTheirFigures();

private:
    const FoodRecord *find(const QString &name) const;

    FoodTable m_table;
    FoodLoad m_load;
    QByteArray m_bytes;
};

void TestStarterData::initTestCase()
{
    const QString path = QStringLiteral(FORKWELL_SOURCE_DIR "/data/diet");
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    m_bytes = file.readAll();
    m_load = loadFoodTable(path, m_table);
    QVERIFY(m_load.opened);
}

const FoodRecord *TestStarterData::find(const QString &name) const
{
    const qsizetype row = m_load.names.indexOf(name);
    return row < 0 ? nullptr : &m_table.row(int(row));
}

void TestStarterData::everyRecordIsNineLinesEndedByCrLf()
{
    QVERIFY(m_load.complete);
    QVERIFY2(m_load.names.size() >= 300, qPrintable(QString::number(m_load.names.size())));
    QVERIFY(m_bytes.endsWith("\r\n"));
    QCOMPARE(m_bytes.count("\n"), 9 * m_load.names.size());
    QCOMPARE(m_bytes.count("\r\n"), m_bytes.count("\n"));
    QCOMPARE(m_bytes.count("\r"), m_bytes.count("\n"));
    // Nothing in the file needs quotes, so every line is exactly its cell.
    QVERIFY(!m_bytes.contains('"'));
    QVERIFY(!m_bytes.contains(','));
}

void TestStarterData::numericFieldsArePlainNumbers_data()
{
    QTest::addColumn<int>("column");
    QTest::newRow("total fat") << int(Food::FatGrams);
    QTest::newRow("calories") << int(Food::Calories);
    QTest::newRow("carbohydrates") << int(Food::CarbGrams);
    QTest::newRow("proteins") << int(Food::ProteinGrams);
    QTest::newRow("cholesterol") << int(Food::CholesterolMg);
    QTest::newRow("weight") << int(Food::WeightGrams);
    QTest::newRow("saturated fat") << int(Food::SatFatGrams);
}

void TestStarterData::numericFieldsArePlainNumbers()
{
    QFETCH(int, column);
    // A leading number and nothing after it: the item display reads the whole text.
    static const QRegularExpression plainNumber(u"^[0-9]+(\\.[0-9]+)?$"_s);
    QStringList bad;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        const QString &text = m_table.row(int(row))[column];
        if (!plainNumber.match(text).hasMatch())
            bad += m_load.names[row] + u": \""_s + text + u'"';
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
}

void TestStarterData::caloriesAgreeWithFatCarbohydratesAndProteins()
{
    QStringList bad;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        if (AlcoholicDrinks.contains(m_load.names[row]))
            continue;
        const FoodRecord &food = m_table.row(int(row));
        const double calories = valueOf(food[Food::Calories]);
        const double fromNutrients = 9 * valueOf(food[Food::FatGrams])
            + 4 * valueOf(food[Food::CarbGrams]) + 4 * valueOf(food[Food::ProteinGrams]);
        // Fibre and the USDA's food-specific factors make the published
        // figure differ a little; a column mix-up differs a lot.
        if (std::abs(fromNutrients - calories) > std::max(0.15 * calories, 10.0))
            bad += u"%1: %2 kcal, nutrients give %3"_s.arg(m_load.names[row]).arg(calories).arg(fromNutrients);
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
}

void TestStarterData::portionsHoldWhatTheyWeigh()
{
    QStringList bad;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        const FoodRecord &food = m_table.row(int(row));
        const double weight = valueOf(food[Food::WeightGrams]);
        const double fat = valueOf(food[Food::FatGrams]);
        const double nutrients = fat + valueOf(food[Food::CarbGrams]) + valueOf(food[Food::ProteinGrams])
            + valueOf(food[Food::CholesterolMg]) / 1000;
        // Each figure is rounded to a tenth, so pure fat may show a hair more than its weight.
        if (weight <= 0 || nutrients > weight + 0.2 || valueOf(food[Food::SatFatGrams]) > fat)
            bad += m_load.names[row];
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
}

void TestStarterData::alcoholicDrinksGetPartOfTheirEnergyFromAlcohol_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : AlcoholicDrinks)
        QTest::newRow(qPrintable(name)) << name;
}

void TestStarterData::alcoholicDrinksGetPartOfTheirEnergyFromAlcohol()
{
    QFETCH(QString, name);
    const FoodRecord *drink = find(name);
    QVERIFY2(drink, "not in the starter database");
    const double fromNutrients = 9 * valueOf((*drink)[Food::FatGrams])
        + 4 * valueOf((*drink)[Food::CarbGrams]) + 4 * valueOf((*drink)[Food::ProteinGrams]);
    // Alcohol gives 7 kcal a gram; no drink is more than half alcohol by weight.
    const double alcoholGrams = (valueOf((*drink)[Food::Calories]) - fromNutrients) / 7;
    QVERIFY2(alcoholGrams > 0.02 * valueOf((*drink)[Food::WeightGrams]), qPrintable(QString::number(alcoholGrams)));
    QVERIFY2(alcoholGrams < 0.5 * valueOf((*drink)[Food::WeightGrams]), qPrintable(QString::number(alcoholGrams)));
}

void TestStarterData::namesAreUniqueAndInTheEditorsOrder()
{
    QStringList bad;
    QSet<QString> seen;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        const QString &name = m_load.names[row];
        if (seen.contains(name))
            bad += u"twice: "_s + name;
        seen.insert(name);
        // An item saved under any of these names lands right after its namesake.
        if (row > 0 && !ItemEditor::sortsBefore(m_load.names[row - 1], name))
            bad += m_load.names[row - 1] + u" before "_s + name;
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
}

void TestStarterData::wellKnownFoodsCarryTheirFigures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("a medium banana, 118 g, 105 kcal")
        << u"Banana"_s
        << QStringList{u"Banana"_s, u"1 medium"_s, u"0.4"_s, u"105"_s, u"27"_s, u"1.3"_s, u"0"_s, u"118"_s, u"0.1"_s};
    QTest::newRow("a cup of whole milk, 244 g, 149 kcal")
        << u"Milk whole"_s
        << QStringList{u"Milk whole"_s, u"1 cup"_s, u"7.9"_s, u"149"_s, u"11.7"_s, u"7.7"_s, u"24"_s, u"244"_s, u"4.6"_s};
    QTest::newRow("an ounce of cheddar, 28.35 g, 114 kcal")
        << u"Cheese cheddar"_s
        << QStringList{u"Cheese cheddar"_s, u"1 oz"_s, u"9.4"_s, u"114"_s, u"0.4"_s, u"7.1"_s, u"30"_s, u"28.35"_s, u"6"_s};
}

void TestStarterData::wellKnownFoodsCarryTheirFigures()
{
    QFETCH(QString, name);
    QFETCH(QStringList, cells);
    const FoodRecord *food = find(name);
    QVERIFY2(food, "not in the starter database");
    QCOMPARE(QStringList(food->begin(), food->end()), cells);
}

QTEST_GUILESS_MAIN(TestStarterData)
#include "tst_starterdata.moc"
