// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "database/forkwellfiles.h"
#include "database/itemeditor.h"
#include "recipesui/recipeswindow.h"
#include "tests/support/filebytes.h"

using namespace Qt::StringLiterals;

class TestRecipesWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        for (const QStringView name : {ForkwellFiles::Database, ForkwellFiles::Counter})
            QVERIFY(QFile::copy(QStringLiteral(FORKWELL_SOURCE_DIR "/data/") + name.toString(), path(name.toString())));
    }

    void findsAndAddsByKeyboard_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("food");
        QTest::addColumn<QString>("calories");
        QTest::newRow("words in any order, Down, Enter: the amount typed over the 1") << u"ched chee"_s << true
                                                                                   << u"2"_s << u"Cheese cheddar"_s << u"228"_s;
        QTest::newRow("Enter in the search adds the shortest name that starts with the word")
            << u"APPLE"_s << false << u"0.5"_s << u"Apple juice"_s << u"57"_s;
        QTest::newRow("an amount that is no number leaves the last one counted")
            << u"almonds"_s << true << u"two"_s << u"Almonds"_s << u"164"_s;
    }

    void findsAndAddsByKeyboard()
    {
        QFETCH(QString, query); QFETCH(bool, down); QFETCH(QString, amount); QFETCH(QString, food); QFETCH(QString, calories);
        RecipesWindow window(m_folder->path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *search = window.findChild<QLineEdit *>(u"search"_s);
        QTRY_COMPARE(QApplication::focusWidget(), search);
        QTest::keyClicks(search, query);
        if (down) {
            QTest::keyClick(search, Qt::Key_Down);
            QTRY_COMPARE(QApplication::focusWidget(), window.findChild<QTableView *>(u"results"_s));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), u"amount0"_s);
        QTest::keyClicks(QApplication::focusWidget(), amount);

        const auto *ingredients = window.findChild<QTableWidget *>(u"ingredients"_s);
        QCOMPARE(ingredients->rowCount(), 1);
        QCOMPARE(ingredients->item(0, 0)->text(), food);
        QCOMPARE(ingredients->item(0, 4)->text(), calories);
        QCOMPARE(window.findChild<QTableWidget *>(u"totals"_s)->item(1, 0)->text(), calories);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // back to the search for the next food
        QTRY_COMPARE(QApplication::focusWidget(), search);
    }

    void savesAServingAsAFoodAndFollowsTheDatabase()
    {
        RecipesWindow window(m_folder->path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *name = window.findChild<QLineEdit *>(u"recipeName"_s);
        name->selectAll();
        QTest::keyClicks(name, u"Apple and almonds"_s);
        QTest::keyClick(name, Qt::Key_Return);
        auto *servings = window.findChild<QLineEdit *>(u"servings"_s);
        servings->selectAll();
        QTest::keyClicks(servings, u"2"_s);
        auto *search = window.findChild<QLineEdit *>(u"search"_s);
        for (const auto &[query, amount] : {std::pair(u"apple raw"_s, u"2"_s), std::pair(u"almonds"_s, u"30"_s)}) {
            search->selectAll();
            QTest::keyClicks(search, query);
            QTest::keyClick(search, Qt::Key_Return);
            QTest::keyClicks(QApplication::focusWidget(), amount);
        }
        auto *grams = window.findChild<QComboBox *>(u"unit1"_s);
        QCOMPARE(grams->count(), 2);
        grams->setCurrentIndex(1);
        emit grams->activated(1);
        QTest::mouseClick(window.findChild<QPushButton *>(u"saveAsFood"_s), Qt::LeftButton);

        QCOMPARE(window.findChild<QLabel *>(u"message"_s)->text(),
                 u"\"Apple and almonds\" is saved in \"diet\", and the food database before it is kept as \"diet1\". "
                 "Forkwell's food list shows it the next time its main window reads \"diet\": on returning to the "
                 "main window from one of its own windows, or at the next start."_s);
        FoodTable table;
        const FoodLoad load = loadFoodTable(path(u"diet"_s), table);
        const qsizetype row = load.names.indexOf(u"Apple and almonds"_s);
        QVERIFY(row > 0);
        QCOMPARE(QStringList(table.row(int(row)).cbegin(), table.row(int(row)).cend()).join(u'|'),
                 u"Apple and almonds|1 serving|7.81322751322755|181.772486772487|28.3275132275132|3.67460317460318|0|"
                 "197|0.682010582010585"_s);
        QVERIFY(Testing::bytesOf(path(u"recipes"_s)).contains("\r\nIngredient,30,g,Almonds,1 oz,"));

        // A food the item editor saves meanwhile is found without a restart.
        FoodRecord dish{u"Apple crumble"_s, u"1 bowl"_s, u"9"_s, u"300"_s, u"45"_s, u"3"_s, u"20"_s, u"150"_s, u"4"_s};
        QVERIFY(ItemEditor::saveNewItem(m_folder->path(), dish, table).saved());
        search->selectAll();
        QTest::keyClicks(search, u"crumble app"_s);
        QTRY_COMPARE(window.findChild<QTableView *>(u"results"_s)->model()->index(0, 0).data().toString(),
                     u"Apple crumble"_s);
    }

    void namesWhatItSkippedAndMarksChangedFoods()
    {
        const QByteArray damaged = "Forkwell recipes,1\r\n\r\nRecipe,Trail mix\r\nServings,1\r\n"
                                   "Ingredient,1,portions,Almonds,1 oz,14,160,6.1,6,0,28.35,1.1\r\n"
                                   "Spice,a pinch\r\nEnd\r\n";
        QFile file(path(u"recipes"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
        file.close();
        RecipesWindow window(m_folder->path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *message = window.findChild<QLabel *>(u"bookMessage"_s);
        const QString skipped = u"Parts of %1 could not be read and are left out:\n• line 6: %2\n"_s.arg(
            path(u"recipes"_s), u"a line of recipe \"Trail mix\" it cannot read"_s);
        QCOMPARE(message->text(), skipped + u"Before the first change is saved, the file is kept as it is under a "
                                            "new name beside it."_s);

        const auto *ingredients = window.findChild<QTableWidget *>(u"ingredients"_s);
        QCOMPARE(ingredients->item(0, 8)->text(), u"changed in \"diet\""_s);
        QCOMPARE(ingredients->item(0, 0)->foreground().color(), QColor(176, 96, 0));
        QTest::mouseClick(window.findChild<QPushButton *>(u"takeCurrentValues"_s), Qt::LeftButton);
        QCOMPARE(ingredients->item(0, 4)->text(), u"164"_s);
        QCOMPARE(ingredients->item(0, 8)->text(), QString());
        QVERIFY(!window.findChild<QPushButton *>(u"takeCurrentValues"_s)->isEnabled());

        QTRY_COMPARE(Testing::bytesOf(path(u"recipes.kept"_s)), damaged); // written a moment after the change
        QCOMPARE(message->text(), skipped + u"The old file, which could not be read whole, was kept as %1."_s.arg(
                                                path(u"recipes.kept"_s)));
    }

    void keepsTheListWithUndo()
    {
        RecipesWindow window(m_folder->path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *list = window.findChild<QListWidget *>(u"recipeList"_s);
        const auto names = [list] {
            QStringList texts;
            for (int row = 0; row < list->count(); ++row)
                texts += list->item(row)->text() + (row == list->currentRow() ? u"*"_s : QString());
            return texts.join(u'|');
        };
        const auto click = [&window](const QString &name) {
            QTest::mouseClick(window.findChild<QPushButton *>(name), Qt::LeftButton);
        };
        click(u"newRecipe"_s);
        click(u"duplicateRecipe"_s);
        QCOMPARE(names(), u"New recipe|New recipe 2*"_s);
        auto *name = window.findChild<QLineEdit *>(u"recipeName"_s);
        click(u"renameRecipe"_s);
        QTest::keyClicks(name, u"Soup"_s);
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(names(), u"New recipe|Soup*"_s);
        list->setCurrentRow(0);
        click(u"deleteRecipe"_s);
        click(u"deleteRecipe"_s);
        QCOMPARE(names(), QString());
        click(u"undoDelete"_s);
        QCOMPARE(names(), u"Soup*"_s);
        click(u"undoDelete"_s);
        QCOMPARE(names(), u"New recipe*|Soup"_s);
        QVERIFY(!window.findChild<QPushButton *>(u"undoDelete"_s)->isEnabled());
        QCOMPARE(RecipeBook::read(m_folder->path()).recipes.size(), 2u);
    }

private:
    QString path(const QString &name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
};

QTEST_MAIN(TestRecipesWindow)
#include "tst_recipeswindow.moc"
