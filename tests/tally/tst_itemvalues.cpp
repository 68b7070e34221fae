// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "tally/itemvalues.h"

using namespace Qt::StringLiterals;

class TestItemValues : public QObject
{
    Q_OBJECT

private slots:
    // Every field starts as "-", so a field the update leaves alone shows.
    void update_data()
    {
        QTest::addColumn<bool>("choose");     // true: the item is chosen, false: the portion changes
        QTest::addColumn<QString>("protein"); // the item's protein cell
        QTest::addColumn<QString>("portion");
        // Measure, weight, calories, grams of fat, saturated fat, carbohydrates and proteins,
        // cholesterol, then the calories of fat, saturated fat, carbohydrates and proteins.
        QTest::addColumn<QString>("shown");

        QTest::newRow("choosing shows the item's own values and leaves saturated-fat calories")
            << true << u"0.3"_s << QString() << u"1 medium|138|81|0.5|0.1|21|0.3|0|4.5|-|84|1.2"_s;
        QTest::newRow("portion 2 doubles everything and empties saturated-fat calories")
            << false << u"0.3"_s << u"2"_s << u"1 medium|276|162|1|0.2|42|0.6|0|9||168|2.4"_s;
        QTest::newRow("a negative portion shows no sign")
            << false << u"0.3"_s << u"-2"_s << u"1 medium|276|162|1|0.2|42|0.6|0|9||168|2.4"_s;
        QTest::newRow("portion 3 on 0.1 g shows 0.3, not a binary tail")
            << false << u"0.3"_s << u"3"_s << u"1 medium|414|243|1.5|0.3|63|0.9|0|13.5||252|3.6"_s;
        QTest::newRow("portion 1.5 on 0.1 g shows 0.15")
            << false << u"0.3"_s << u"1.5 cups"_s << u"1 medium|207|121.5|0.75|0.15|31.5|0.45|0|6.75||126|1.8"_s;
        QTest::newRow("an empty box is portion 0")
            << false << u"0.3"_s << QString() << u"1 medium|0|0|0|0|0|0|0|0||0|0"_s;
        QTest::newRow("a protein cell beyond a double stops the choosing there")
            << true << u"1e400"_s << QString() << u"1 medium|138|81|0.5|-|21|-|-|-|-|-|-"_s;
        QTest::newRow("a product beyond a double stops the portion change there")
            << false << u"1e300"_s << u"1e10"_s << u"1 medium|138|810000000000|5000000000|-|210000000000|-|-|-|-|-|-"_s;
        QTest::newRow("a portion beyond a double stops at the first product")
            << false << u"0.3"_s << u"1e400"_s << u"1 medium|138|-|-|-|-|-|-|-|-|-|-"_s;
    }

    // The item's cells: 81.00 calories, 0.5 g fat, 21 g carbohydrates, 0.1 g
    // saturated fat, no leading number for cholesterol, 138 g a portion.
    void update()
    {
        QFETCH(bool, choose); QFETCH(QString, protein); QFETCH(QString, portion); QFETCH(QString, shown);
        const FoodRecord row{u"Apple"_s, u"1 medium"_s, u"0.5"_s, u"81.00"_s, u"21"_s, protein, u"none"_s, u"138"_s, u"0.1"_s};
        const QString o = u"-"_s;
        const ItemFields old{o, o, o, o, o, o, o, o, o, o, o, o};
        const ItemFields f = choose ? ItemValues::select(row, old) : ItemValues::portionChange(row, portion, old);
        const QStringList texts{f.measure, f.weight, f.calories, f.fatGrams, f.satFatGrams, f.carbGrams,
                                f.proteinGrams, f.cholesterolMg, f.fatCalories, f.satFatCalories, f.carbCalories,
                                f.proteinCalories};
        QCOMPARE(texts.join(u'|'), shown);
    }
};

QTEST_GUILESS_MAIN(TestItemValues)
#include "tst_itemvalues.moc"
