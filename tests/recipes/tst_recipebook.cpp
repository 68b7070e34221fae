// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "recipes/foodsearch.h"
#include "recipes/recipebook.h"
#include "recipes/recipecommands.h"
#include "recipes/recipesheet.h"
#include "tests/support/childprocess.h"
#include "tests/support/filebytes.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // recipes named, the rest left as they start

using namespace Qt::StringLiterals;
using Recipes::Recipe;

namespace {

const FoodRecord Almonds{u"Almonds"_s, u"1 oz"_s, u"14.2"_s, u"164"_s, u"6.1"_s, u"6"_s, u"0"_s, u"28.35"_s, u"1.1"_s};
const FoodRecord Cheddar{u"Cheese, cheddar"_s, u"1 oz"_s, u"9.4"_s, u"114"_s, u"0.4"_s, u"7"_s, u"29"_s, u"28"_s, u"6"_s};

Recipe snack(const QString &name)
{
    return Recipe{name, {{Almonds, 30, Recipes::Unit::Grams}, {Cheddar, 1.5, Recipes::Unit::Portions}}, 2, 80.0};
}

const QByteArray SnackFile = "Forkwell recipes,1\r\n"
                             "\r\n"
                             "Recipe,Snack\r\n"
                             "Servings,2\r\n"
                             "Cooked weight,80\r\n"
                             "Ingredient,30,g,Almonds,1 oz,14.2,164,6.1,6,0,28.35,1.1\r\n"
                             "Ingredient,1.5,portions,\"Cheese, cheddar\",1 oz,9.4,114,0.4,7,29,28,6\r\n"
                             "End\r\n";

// The recipes' names with their ingredient counts, as "Snack 2|Soup 0".
QString described(const RecipeBook::Book &book)
{
    QStringList names;
    for (const Recipe &recipe : book.recipes)
        names.append(u"%1 %2"_s.arg(recipe.name).arg(recipe.ingredients.size()));
    return names.join(u'|');
}

} // namespace

class TestRecipeBook : public QObject
{
    Q_OBJECT

private slots:
    void writtenBytes()
    {
        QCOMPARE(TextFile::encode(RecipeBook::text({snack(u"Snack"_s)}).value()), SnackFile);
        const RecipeBook::Book book = RecipeBook::parse(TextFile::decode(SnackFile));
        QVERIFY(book.whole());
        QCOMPARE(book.recipes, std::vector<Recipe>{snack(u"Snack"_s)});
        QCOMPARE(RecipeBook::text({Recipe{u"\"Pie, apple\""_s}}), std::nullopt);
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("recipes");
        QTest::addColumn<QString>("skipped");
        const QByteArray snack = SnackFile.sliced(SnackFile.indexOf("Recipe"));
        QTest::newRow("an empty file holds no recipe") << QByteArray() << QString() << QString();
        QTest::newRow("bare line feeds read as CR LF") << QByteArray(SnackFile).replace("\r\n", "\n") << u"Snack 2"_s << QString();
        QTest::newRow("cut short inside an ingredient: the recipe keeps the lines before")
            << SnackFile.first(SnackFile.indexOf("1.5,") + 6) << u"Snack 1"_s
            << u"line 7: a line of recipe \"Snack\" it cannot read\nrecipe \"Snack\" has no End line; kept what was read"_s;
        QTest::newRow("a bad amount and an unknown line skip one line each")
            << "Forkwell recipes,1\r\nRecipe,Soup\r\nServings,many\r\nIngredient,x,g,A,,,,,,,,\r\nColour,red\r\nEnd\r\n" + snack
            << u"Soup 0|Snack 2"_s
            << u"line 3: \"Servings\" of recipe \"Soup\" is not a number above 0\n"
               "line 4: an ingredient of recipe \"Soup\" without an amount it can read\n"
               "line 5: a line of recipe \"Soup\" it cannot read"_s;
        QTest::newRow("a foreign file: its lines named, none read")
            << QByteArray("name,calories\r\nsoup,80\r\n") << QString()
            << u"line 1: no heading \"Forkwell recipes,1\"\nline 1: \"name\" outside a recipe\nline 2: \"soup\" outside a recipe"_s;
        QTest::newRow("a quotation mark never closed ends the file")
            << "Forkwell recipes,1\r\n" + snack + "Recipe,\"Pie\r\nEnd\r\n" << u"Snack 2"_s
            << u"line 8: a quotation mark never closed, and the rest of the file"_s;
        QTest::newRow("a second recipe of a name is left out") << "Forkwell recipes,1\r\n" + snack + snack
            << u"Snack 2"_s << u"a second recipe named \"Snack\""_s;
        QTest::newRow("a recipe without a name is skipped to its End")
            << "Forkwell recipes,2\r\nRecipe,  \r\nServings,3\r\nEnd\r\n" + snack << u"Snack 2"_s
            << u"line 1: a heading of another version, \"2\"\nline 2: a recipe without a name it can carry, and its lines"_s;
    }

    // What can be read opens; what cannot is named; the first change keeps the old file beside it.
    void damaged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, recipes);
        QFETCH(QString, skipped);
        QTemporaryDir dir;
        QVERIFY(TextFile::writeBytesAtomically(dir.filePath(u"recipes"_s), bytes));
        const RecipeBook::Book book = RecipeBook::read(dir.path());
        QCOMPARE(described(book), recipes);
        QCOMPARE(book.skipped.join(u'\n'), skipped);

        const RecipeBook::Change change = RecipeBook::put(dir.path(), Recipe{u"Tea"_s});
        QVERIFY(change.done);
        QCOMPARE(change.keptAs, skipped.isEmpty() ? QString() : u"recipes.kept"_s);
        if (!skipped.isEmpty())
            QCOMPARE(Testing::bytesOf(dir.filePath(u"recipes.kept"_s)), bytes);
        QCOMPARE(described(RecipeBook::read(dir.path())), recipes.isEmpty() ? u"Tea 0"_s : recipes + u"|Tea 0"_s);
    }

    void changes()
    {
        QTemporaryDir dir;
        const auto names = [&] { return described(RecipeBook::read(dir.path())); };
        QVERIFY(RecipeBook::put(dir.path(), snack(u"Snack"_s)).done);
        QVERIFY(RecipeBook::duplicate(dir.path(), u"Snack"_s, u"Snack 2"_s).done);
        QVERIFY(RecipeBook::put(dir.path(), Recipe{u"Tea"_s}).done);
        QCOMPARE(names(), u"Snack 2|Snack 2 2|Tea 0"_s);
        QCOMPARE(RecipeBook::rename(dir.path(), u"Tea"_s, u"Snack"_s).error, u"A recipe named \"Snack\" is already there: choose another name."_s);
        QVERIFY(RecipeBook::rename(dir.path(), u"Snack 2"_s, u"Lunch"_s).done);
        QVERIFY(RecipeBook::remove(dir.path(), u"Snack"_s).done);
        QCOMPARE(names(), u"Lunch 2|Tea 0"_s);
        QVERIFY(RecipeBook::restore(dir.path(), snack(u"Snack"_s), 0).done);
        QCOMPARE(names(), u"Snack 2|Lunch 2|Tea 0"_s);
        QCOMPARE(RecipeBook::freeName(RecipeBook::read(dir.path()), u"Snack"_s), u"Snack 2"_s);

        QVERIFY(QDir(dir.path()).mkdir(u"elsewhere/recipes"_s) || QDir(dir.path()).mkpath(u"elsewhere/recipes"_s));
        const RecipeBook::Change unreadable = RecipeBook::put(dir.filePath(u"elsewhere"_s), Recipe{u"Tea"_s});
        QVERIFY(!unreadable.done);
        QVERIFY(QFileInfo(dir.filePath(u"elsewhere/recipes"_s)).isDir());
    }

    // Two programs adding recipes at the same moment keep each other's.
    void twoWriters()
    {
        constexpr int Puts = 20;
        QTemporaryDir dir;
        const auto writer = [&](const QString &prefix) {
            return [&, prefix] {
                QByteArray failures;
                for (int i = 0; i < Puts; ++i) {
                    if (!RecipeBook::put(dir.path(), snack(prefix + QString::number(i))).done)
                        failures += "x";
                }
                return failures;
            };
        };
        const pid_t other = ::fork();
        if (other == 0)
            ::_exit(runInChild(writer(u"X"_s)).report.isEmpty() ? 0 : 1);
        QCOMPARE(runInChild(writer(u"Y"_s)).report, QByteArray());
        int status = 0;
        while (::waitpid(other, &status, 0) < 0 && errno == EINTR) {
        }
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const RecipeBook::Book book = RecipeBook::read(dir.path());
        QVERIFY(book.whole());
        QCOMPARE(book.recipes.size(), std::size_t(2 * Puts));
    }

    void foodStates()
    {
        FoodCatalog catalog;
        FoodRecord changed = Cheddar;
        changed[Food::Calories] = u"120"_s;
        catalog.setFoods({changed});
        Recipe recipe = snack(u"Snack"_s);
        QCOMPARE(Recipes::foodState(recipe.ingredients[0], catalog), Recipes::FoodState::Gone);
        QCOMPARE(Recipes::foodState(recipe.ingredients[1], catalog), Recipes::FoodState::Changed);
        QCOMPARE(Recipes::takeCurrentValues(recipe, catalog), 1);
        QCOMPARE(recipe.ingredients[1].food, changed);
        QCOMPARE(recipe.ingredients[1].amount, 1.5);
        QCOMPARE(Recipes::foodState(recipe.ingredients[1], catalog), Recipes::FoodState::Current);
        QCOMPARE(recipe.ingredients[0].food, Almonds);
    }

    // --show over a "diet" whose almonds have changed and which has no cheddar.
    void showMarksFoods()
    {
        QTemporaryDir dir;
        FoodRecord almonds = Almonds;
        almonds[Food::Calories] = u"170"_s;
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), recordText(almonds).value()));
        QVERIFY(RecipeBook::put(dir.path(), snack(u"Snack"_s)).done);
        QCOMPARE(RecipeCommands::show(dir.path(), u"Snack"_s).out,
                 u"Recipe: Snack\nServings: 2\nCooked weight: 80 g\n"
                 "Ingredient: 30 g Almonds: 173.544973544974 calories, 15.0264550264551 g fat, 6.45502645502647 g "
                 "carbohydrates, 6.34920634920636 g proteins (changed in \"diet\")\n"
                 "Ingredient: 1.5 x Cheese, cheddar: 171 calories, 14.1 g fat, 0.6 g carbohydrates, 10.5 g proteins "
                 "(not in \"diet\")\n"
                 "One serving:\n  Calories: 172.272486772487\n  Fat: 14.5632275132275 g\n  Saturated fat: 5.08201058201058 g\n"
                 "  Carbohydrates: 3.52751322751323 g\n  Proteins: 8.42460317460318 g\n  Cholesterol: 21.75 mg\n"
                 "  Weight: 40 g\n  Calories from fat: 73 %\n  Calories from carbohydrates: 8 %\n"
                 "  Calories from proteins: 19 %\n"_s);
        QCOMPARE(RecipeCommands::show(dir.path(), u"Tea"_s).errors, QStringList{u"no recipe named \"Tea\" in \"recipes\""_s});
    }

    void sheetEdits()
    {
        Recipe recipe = snack(u"Snack"_s);
        QVERIFY(!RecipeSheet::setAmount(recipe, 1, u"2 cups", Recipes::Unit::Portions));
        QVERIFY(RecipeSheet::setAmount(recipe, 1, u" 2.5 ", Recipes::Unit::Grams));
        QCOMPARE(RecipeSheet::addFood(recipe, {u"Salt"_s}), 2);
        QVERIFY(!RecipeSheet::setAmount(recipe, 2, u"5", Recipes::Unit::Grams)); // no weight to count grams by
        RecipeSheet::moveIngredient(recipe, 2, 0);
        RecipeSheet::removeIngredient(recipe, 1);
        QVERIFY(!RecipeSheet::setServings(recipe, u"0"));
        QVERIFY(RecipeSheet::setCookedWeight(recipe, u" "));
        const RecipeSheet::Sheet sheet = RecipeSheet::sheet(recipe, nullptr);
        QCOMPARE(sheet.rows.size(), std::size_t(2));
        QCOMPARE(sheet.rows[0].name + u'|' + sheet.rows[0].amount, u"Salt|1"_s);
        QCOMPARE(sheet.rows[1].name + u'|' + sheet.rows[1].amount + u'|' + sheet.rows[1].calories, u"Cheese, cheddar|2.5|10.1785714285714"_s);
        QCOMPARE(sheet.servings + u'|' + sheet.cookedGrams + u'|' + sheet.serving.grams, u"2||1.25"_s);
    }
};

QTEST_GUILESS_MAIN(TestRecipeBook)
#include "tst_recipebook.moc"
