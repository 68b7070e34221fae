// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "database/itemeditor.h"
#include "database/textfile.h"
#include "recipes/foodsearch.h"
#include "recipes/recipebook.h"
#include "recipes/recipecommands.h"
#include "tests/support/filebytes.h"

using namespace Qt::StringLiterals;
using Recipes::Recipe;

namespace {

FoodRecord food(const QString &cells)
{
    FoodRecord record;
    const QStringList parts = cells.split(u'|');
    std::copy(parts.cbegin(), parts.cend(), record.begin());
    return record;
}

FoodCatalog catalogOf(const QStringList &foods)
{
    std::vector<FoodRecord> records;
    for (const QString &cells : foods)
        records.push_back(food(cells));
    FoodCatalog catalog;
    catalog.setFoods(std::move(records));
    return catalog;
}

// Cells as the starter foods have them.
const FoodCatalog Kitchen = catalogOf({u"Apple raw with skin|1 medium|0.3|95|25.1|0.5|0|182|0.1"_s,
                                       u"Almonds|1 oz|14.2|164|6.1|6|0|28.35|1.1"_s,
                                       u"Salt|1 pinch|0|0|0|0|0|none|0"_s,
                                       u"Egg boiled|1 large|5.3|78|0.6|6.3|186|50|1.6"_s});

// A recipe of the kitchen's foods, its ingredients as the command line gives them, "|" between.
Recipe recipeOf(const QString &ingredients, double servings, std::optional<double> cooked = {})
{
    Recipe recipe{u"Dish"_s, {}, servings, cooked};
    for (QString text : ingredients.split(u'|')) {
        QString error;
        std::optional<Recipes::Ingredient> ingredient = RecipeCommands::parseIngredient(text, Kitchen, &error);
        if (!ingredient) { // grams of a food without a weight, which the command line refuses
            ingredient = RecipeCommands::parseIngredient(text.replace(u"g "_s, u" "_s), Kitchen, &error).value();
            ingredient->unit = Recipes::Unit::Grams;
        }
        recipe.ingredients.push_back(*ingredient);
    }
    return recipe;
}

// One serving's cells after the name and measure, "|" between.
QString servingCells(const Recipe &recipe)
{
    const FoodRecord record = Recipes::foodRecord(recipe);
    return QStringList(record.begin() + 2, record.end()).join(u'|');
}

} // namespace

Q_DECLARE_METATYPE(Recipe)

class TestRecipe : public QObject
{
    Q_OBJECT

private slots:
    void serving_data()
    {
        QTest::addColumn<Recipe>("recipe");
        QTest::addColumn<QString>("cells"); // fat|calories|carb|protein|cholesterol|weight|sat fat
        QTest::addColumn<QString>("shares"); // fat|carb|protein
        QTest::newRow("2 apples in 1 serving: twice the apple")
            << recipeOf(u"2 Apple raw with skin"_s, 1) << u"0.6|190|50.2|1|0|364|0.2"_s << u"3|96|2"_s;
        QTest::newRow("56.7 g of almonds are 2 portions of 28.35 g")
            << recipeOf(u"56.7g Almonds"_s, 1) << u"28.4|328|12.2|12|0|56.7|2.2"_s << u"73|14|14"_s;
        QTest::newRow("2 apples and 30 g almonds in 2 servings: half their sum")
            << recipeOf(u"2 Apple raw with skin|30g Almonds"_s, 2)
            << u"7.81322751322755|181.772486772487|28.3275132275132|3.67460317460318|0|197|0.682010582010585"_s
            << u"35|57|7"_s;
        QTest::newRow("cooked down to 300 g in 4 servings: 75 g a serving, the same nutrients")
            << recipeOf(u"4 Egg boiled|2 Apple raw with skin"_s, 4, 300.0) << u"5.45|125.5|13.15|6.55|186|75|1.65"_s
            << u"38|41|20"_s;
        QTest::newRow("grams of a food without a weight count nothing; its portions count")
            << recipeOf(u"5g Salt|1 Salt|1 Egg boiled"_s, 1) << u"5.3|78|0.6|6.3|186|50|1.6"_s << u"63|3|33"_s;
        QTest::newRow("0.5 servings: a serving is twice the dish")
            << recipeOf(u"1 Egg boiled"_s, 0.5) << u"10.6|156|1.2|12.6|372|100|3.2"_s << u"63|3|33"_s;
        QTest::newRow("nothing but salt: no shares") << recipeOf(u"3 Salt"_s, 1) << u"0|0|0|0|0|0|0"_s << u"-|-|-"_s;
    }

    void serving()
    {
        QFETCH(Recipe, recipe);
        QFETCH(QString, cells);
        QFETCH(QString, shares);
        QCOMPARE(servingCells(recipe), cells);
        const Recipes::Shares got = Recipes::totals(recipe).shares;
        const auto text = [](std::optional<int> share) { return share ? QString::number(*share) : u"-"_s; };
        QCOMPARE(u"%1|%2|%3"_s.arg(text(got.fat), text(got.carb), text(got.protein)), shares);
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("found");
        QTest::newRow("a word inside the name") << u"cheddar"_s << u"Cheddar cheese soup|Cheese, cheddar"_s;
        QTest::newRow("beginnings of words in any order") << u"chee ched"_s << u"Cheese, cheddar|Cheddar cheese soup"_s;
        QTest::newRow("accents ignored in the query and the name") << u"CREME"_s << u"Crème brûlée|Crème fraîche"_s;
        QTest::newRow("every word must appear") << u"creme fraich"_s << u"Crème fraîche"_s;
        QTest::newRow("the first word's beginning ranks first, then the shorter")
            << u"butter"_s << u"Butter, salted|Butter, unsalted|PEANUT BUTTER"_s;
        QTest::newRow("letters the code page adds: Œ folds to œ, Š loses its caron")
            << u"œufs sar"_s << u"Œufs Šarlota"_s;
        QTest::newRow("commas and blanks only: every food, in order") << u" , "_s
            << u"Cheese, cheddar|Cheddar cheese soup|Crème fraîche"_s;
        QTest::newRow("nothing found") << u"cheddar soup milk"_s << QString();
    }

    void search()
    {
        QFETCH(QString, query);
        QFETCH(QString, found);
        const FoodCatalog catalog = catalogOf({u"Cheese, cheddar|1 oz|9.4|114|0.4|7|29|28|6"_s,
                                               u"Cheddar cheese soup|1 cup"_s, u"Crème fraîche|1 tbsp"_s,
                                               u"PEANUT BUTTER|1 tbsp"_s, u"Butter, unsalted|1 pat"_s,
                                               u"Butter, salted|1 pat"_s, u"Crème brûlée|1 cup"_s,
                                               u"Œufs Šarlota|2 eggs"_s});
        QStringList names;
        for (const FoodMatch &match : catalog.matches(query, 3))
            names.append(match.name);
        QCOMPARE(names.join(u'|'), found);
    }

    // The texts a result shows are the main window's for one portion.
    void matchShowsOnePortion()
    {
        const FoodCatalog catalog = catalogOf({u"Cheese, cheddar|1 oz|09.40|114.0|0.4|7|29|28|6"_s});
        QCOMPARE(catalog.match(0), (FoodMatch{0, u"Cheese, cheddar"_s, u"1 oz"_s, u"114"_s, u"9.4"_s, u"0.4"_s, u"7"_s}));
    }

    // A recipe made and saved from the command line over the starter foods,
    // then "diet" loaded as the main program loads it: the food's values
    // for a portion of 1 are one serving's, half the two ingredients' sum.
    void roundTripThroughDiet()
    {
        QTemporaryDir dir;
        for (const QString &name : {u"diet"_s, u"dblog"_s})
            QVERIFY(QFile::copy(QStringLiteral(FORKWELL_SOURCE_DIR "/data/") + name, dir.filePath(name)));
        const QByteArray counter = Testing::bytesOf(dir.filePath(u"dblog"_s));
        const RecipeCommands::Outcome refused = RecipeCommands::create(
            dir.path(), u"Apple and almonds"_s, u"2"_s, {}, {u"2 Apple raw with skin"_s, u"2x Almonds"_s, u"30g Almond"_s});
        QCOMPARE(refused.errors, QStringList({u"ingredient \"2x Almonds\": the amount \"2x\" is not a number"_s,
                                              u"ingredient \"30g Almond\": no food named \"Almond\" in \"diet\""_s,
                                              u"nothing was written"_s}));
        QVERIFY(!QFile::exists(dir.filePath(u"recipes"_s)));

        QCOMPARE(RecipeCommands::create(dir.path(), u"Apple and almonds"_s, u"2"_s, {},
                                        {u"2 Apple raw with skin"_s, u"30g Almonds"_s}).status, 0);
        QCOMPARE(RecipeCommands::save(dir.path(), u"Apple and almonds"_s).status, 0);
        QCOMPARE(Testing::bytesOf(dir.filePath(u"dblog"_s)), QByteArray::number(counter.trimmed().toInt() + 1) + "\r\n");

        FoodTable table;
        const FoodLoad load = ItemEditor::refill(dir.path(), table);
        const int row = int(load.names.indexOf(u"Apple and almonds"_s));
        QVERIFY(load.complete && row >= 0);
        const ItemFields portion = ItemValues::select(table.row(row), ItemFields());
        QCOMPARE(table.row(row)[Food::Measure], u"1 serving"_s);

        FoodCatalog catalog;
        catalog.load(dir.path());
        const Recipes::Totals totals = Recipes::totals(recipeOf(u"2 Apple raw with skin|30g Almonds"_s, 2));
        const ItemFields &apples = totals.ingredients[0].fields;
        const ItemFields &almonds = totals.ingredients[1].fields;
        const auto half = [](const QString &a, const QString &b) { return Recipes::numberText((a.toDouble() + b.toDouble()) / 2); };
        QCOMPARE(portion.calories, half(apples.calories, almonds.calories));
        QCOMPARE(portion.fatGrams, half(apples.fatGrams, almonds.fatGrams));
        QCOMPARE(portion.satFatGrams, half(apples.satFatGrams, almonds.satFatGrams));
        QCOMPARE(portion.carbGrams, half(apples.carbGrams, almonds.carbGrams));
        QCOMPARE(portion.proteinGrams, half(apples.proteinGrams, almonds.proteinGrams));
        QCOMPARE(portion.cholesterolMg, half(apples.cholesterolMg, almonds.cholesterolMg));
        QCOMPARE(portion.weight, half(apples.weight, almonds.weight));
        QCOMPARE(portion.calories, u"181.772486772487"_s);
    }

    void saveAsFood_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("names"); // "diet" after, "|" between
        using enum RecipeBook::FoodSaveStatus;
        QTest::newRow("a new name goes in its sorted place") << u"Bean stew"_s << false << int(Saved) << u"Almonds|Bean stew|Egg boiled"_s;
        QTest::newRow("a name there: asked first, nothing written") << u"Egg boiled"_s << false << int(NameTaken) << u"Almonds|Egg boiled"_s;
        QTest::newRow("a name there, replace: in its place") << u"Almonds"_s << true << int(Replaced) << u"Almonds|Egg boiled"_s;
        QTest::newRow("replace of a name not there adds it") << u"Stew"_s << true << int(Saved) << u"Almonds|Egg boiled|Stew"_s;
        QTest::newRow("a comma is refused") << u"Stew, beef"_s << false << int(Refused) << u"Almonds|Egg boiled"_s;
        QTest::newRow("a leading quotation mark is refused") << u" \"Stew\""_s << false << int(Refused) << u"Almonds|Egg boiled"_s;
        QTest::newRow("a line end is refused") << u"Stew\r"_s << false << int(Refused) << u"Almonds|Egg boiled"_s;
        QTest::newRow("a name quoted for its blanks cannot hold quotation marks")
            << u" Pie \"deep\""_s << false << int(Refused) << u"Almonds|Egg boiled"_s;
        QTest::newRow("blanks only are refused") << u"  "_s << false << int(Refused) << u"Almonds|Egg boiled"_s;
    }

    void saveAsFood()
    {
        QFETCH(QString, name);
        QFETCH(bool, replace);
        QFETCH(int, status);
        QFETCH(QString, names);
        QTemporaryDir dir;
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), *recordText(Kitchen.food(1)) + *recordText(Kitchen.food(3))));
        Recipe recipe = recipeOf(u"1 Egg boiled"_s, 2);
        recipe.name = name;
        const RecipeBook::FoodSave saved = RecipeBook::saveAsFood(dir.path(), recipe, replace);
        QCOMPARE(int(saved.status), status);
        FoodTable table;
        QCOMPARE(ItemEditor::refill(dir.path(), table).names.join(u'|'), names);
        if (saved.written())
            QCOMPARE(table.row(int(names.split(u'|').indexOf(name))), saved.record);
    }
};

QTEST_GUILESS_MAIN(TestRecipe)
#include "tst_recipe.moc"
