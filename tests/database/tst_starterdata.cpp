// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "database/foodtable.h"
#include "database/itemeditor.h"
#include "nutrients/numberrules.h"

using namespace Qt::StringLiterals;

class TestStarterData : public QObject
{
    Q_OBJECT

private slots:
    // Every record whole, each value a plain number, each name once and in the
    // order the editor saves by, so a new item lands right after its namesake.
    // The calories agree with fat, carbohydrates and proteins: fibre and the
    // USDA's food-specific factors make them differ a little, a column mix-up
    // a lot. Alcohol brings 7 kcal a gram on top, 2 to 50 % of a drink's weight.
    void recordsAreWholeOrderedAndAgree()
    {
        const QStringList alcoholicDrinks = {u"Beer"_s, u"Beer light"_s, u"Cocktail daiquiri"_s, u"Cocktail pina colada"_s,
            u"Liqueur coffee"_s, u"Spirits gin rum vodka whiskey 80 proof"_s, u"Wine dessert sweet"_s, u"Wine red"_s, u"Wine white"_s};
        static const QRegularExpression plainNumber(u"^[0-9]+(\\.[0-9]+)?$"_s);
        FoodTable table;
        const FoodLoad load = loadFoodTable(QStringLiteral(FORKWELL_SOURCE_DIR "/data/diet"), table);
        QVERIFY(load.complete && load.names.size() >= 300);
        QStringList bad;
        QSet<QString> seen;
        for (int row = 0; row < load.names.size(); ++row) {
            const QString &name = load.names[row];
            const auto value = [&](Food::Column column) { return NumberRules::numberPrefix(table.row(row)[column]).value_or(NAN); };
            for (int column = Food::Measure + 1; column < Food::ColumnCount; ++column) {
                if (!plainNumber.match(table.row(row)[column]).hasMatch())
                    bad += name + u" column "_s + QString::number(column);
            }
            if (row > 0 && (seen.contains(name) || !ItemEditor::sortsBefore(load.names[row - 1], name)))
                bad += load.names[row - 1] + u" before "_s + name;
            seen.insert(name);
            const double calories = value(Food::Calories);
            const double fromNutrients = 9 * value(Food::FatGrams) + 4 * value(Food::CarbGrams) + 4 * value(Food::ProteinGrams);
            const double alcohol = (calories - fromNutrients) / 7 / value(Food::WeightGrams);
            if (alcoholicDrinks.contains(name) ? !(alcohol > 0.02 && alcohol < 0.5)
                                               : std::abs(fromNutrients - calories) > std::max(0.15 * calories, 10.0))
                bad += u"%1: %2 kcal, nutrients give %3"_s.arg(name).arg(calories).arg(fromNutrients);
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u"; "_s)));
        QVERIFY(seen.contains(QSet<QString>(alcoholicDrinks.begin(), alcoholicDrinks.end())));
    }
};

QTEST_GUILESS_MAIN(TestStarterData)
#include "tst_starterdata.moc"
