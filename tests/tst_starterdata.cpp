#include <algorithm>
#include <cmath>

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "foodtable.h"
#include "itemeditor.h"
#include "numberrules.h"

using namespace Qt::StringLiterals;

// Drinks whose energy comes partly from alcohol, which fat, carbohydrates and
// proteins do not account for.
const QStringList AlcoholicDrinks = {u"Beer"_s, u"Beer light"_s, u"Cocktail daiquiri"_s, u"Cocktail pina colada"_s,
    u"Liqueur coffee"_s, u"Spirits gin rum vodka whiskey 80 proof"_s, u"Wine dessert sweet"_s, u"Wine red"_s, u"Wine white"_s};

class TestStarterData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordsAreWholeUniqueAndInTheEditorsOrder();
    void caloriesAgreeWithFatCarbohydratesAndProteins();

private:
    double value(qsizetype row, Food::Column column) const
    {
        return NumberRules::numberPrefix(m_table.row(int(row))[column]).value_or(NAN);
    }

    FoodTable m_table;
    FoodLoad m_load;
};

void TestStarterData::initTestCase()
{
    m_load = loadFoodTable(QStringLiteral(FORKWELL_SOURCE_DIR "/data/diet"), m_table);
    QVERIFY(m_load.opened);
}

// Every record whole, each value a plain number, and each name once, in the
// order the editor saves by, so a new item lands right after its namesake.
void TestStarterData::recordsAreWholeUniqueAndInTheEditorsOrder()
{
    static const QRegularExpression plainNumber(u"^[0-9]+(\\.[0-9]+)?$"_s);
    QVERIFY(m_load.complete);
    QVERIFY2(m_load.names.size() >= 300, qPrintable(QString::number(m_load.names.size())));
    QStringList bad;
    QSet<QString> seen;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        const QString &name = m_load.names[row];
        for (int column = Food::Measure + 1; column < Food::ColumnCount; ++column) {
            if (!plainNumber.match(m_table.row(int(row))[column]).hasMatch())
                bad += name + u" column "_s + QString::number(column);
        }
        if (seen.contains(name))
            bad += u"twice: "_s + name;
        seen.insert(name);
        if (row > 0 && !ItemEditor::sortsBefore(m_load.names[row - 1], name))
            bad += m_load.names[row - 1] + u" before "_s + name;
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
}

void TestStarterData::caloriesAgreeWithFatCarbohydratesAndProteins()
{
    QStringList bad;
    for (qsizetype row = 0; row < m_load.names.size(); ++row) {
        const double calories = value(row, Food::Calories);
        const double fromNutrients = 9 * value(row, Food::FatGrams)
            + 4 * value(row, Food::CarbGrams) + 4 * value(row, Food::ProteinGrams);
        // Fibre and the USDA's food-specific factors make the published
        // figure differ a little; a column mix-up differs a lot. Alcohol
        // brings 7 kcal a gram on top, and is 2 to 50 % of a drink's weight.
        const double alcohol = (calories - fromNutrients) / 7 / value(row, Food::WeightGrams);
        const bool fits = AlcoholicDrinks.contains(m_load.names[row])
            ? alcohol > 0.02 && alcohol < 0.5
            : std::abs(fromNutrients - calories) <= std::max(0.15 * calories, 10.0);
        if (!fits)
            bad += u"%1: %2 kcal, nutrients give %3"_s.arg(m_load.names[row]).arg(calories).arg(fromNutrients);
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
    for (const QString &drink : AlcoholicDrinks)
        QVERIFY2(m_load.names.contains(drink), qPrintable(drink));
}

QTEST_GUILESS_MAIN(TestStarterData)
#include "tst_starterdata.moc"
