// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QTimer>

#include "recipes/foodsearch.h"
#include "recipes/recipe.h"
#include "recipes/recipebook.h"

class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QTableWidget;
class QVBoxLayout;

namespace FoodResults {
class Model;
}

// "Forkwell Recipes": a home-cooked dish built from the foods of "diet" in
// the Forkwell folder. The recipes of the folder's "recipes" on the left;
// the food search, the open recipe's ingredients with their values, the
// servings and the totals on the right; saving one serving as a food of
// "diet". Every change of the open recipe is written to "recipes" a moment
// after the last keystroke, and at once before another recipe opens or the
// window closes. Follows "diet" when it changes on disk.
class RecipesWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit RecipesWindow(const QString &folder, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Deleted
    {
        Recipes::Recipe recipe;
        int position = 0;
    };

    QWidget *buildRecipeList();
    QWidget *buildSearch();
    QWidget *buildRecipe();
    QLayout *buildRecipeFields();
    QWidget *buildIngredients();
    QLayout *buildIngredientButtons();
    void buildTotals(QVBoxLayout *layout);
    void buildSaveRow(QVBoxLayout *layout);

    // "diet" and "recipes" read afresh, each when it changed since it was last read.
    void checkFiles();
    void loadFoods();
    void search();
    void addFood(int resultRow);

    // The book as a change or a read left it: the list, and the messages
    // about a file that could not be read whole.
    void showBook(const RecipeBook::Book &book);
    // Shows a change's outcome; false (with the error shown) when not done.
    bool applyChange(const RecipeBook::Change &change, bool quiet = false);
    void openRecipe(const QString &name);
    void openSelected();
    void newRecipe();
    void duplicateRecipe();
    void deleteRecipe();
    void undoDelete();
    void nameEdited();

    // The open recipe changed: recomputed and shown, and written soon.
    void recipeChanged();
    // Writes the open recipe; false when it could not be, said in a
    // dialog or, quiet, below the recipe.
    bool saveRecipe(bool quiet);
    // The open recipe's changes written, if any: true when none are left.
    bool flush();
    // The row's amount and unit as their fields hold them.
    void amountEdited(int row);
    void servingsEdited();
    void cookedWeightEdited();
    // A field's text was taken into the recipe, or is marked with the problem said.
    void fieldTaken(QWidget *field, bool taken, const QString &problem);
    void removeIngredient();
    void moveIngredient(int step);
    void takeCurrentValues();
    void saveAsFood();

    // The ingredients' rows made anew, for a change of the rows themselves.
    void showIngredients();
    // The values, marks and totals, with the rows' editors left as they are.
    void showValues();
    void fitTotals();
    int currentIngredient() const;
    void focusAmount(int row);
    void setMessage(const QString &text, bool problem);

    QString m_folder;
    FoodCatalog m_catalog;
    FoodLoad m_foodLoad;
    QDateTime m_dietTime;
    qint64 m_dietSize = -1;
    RecipeBook::Book m_book;
    QDateTime m_recipesTime;
    qint64 m_recipesSize = -1;
    Recipes::Recipe m_recipe;
    QString m_openName; // the open recipe's name in "recipes", empty before its first save
    bool m_unsaved = false;
    std::vector<Deleted> m_deleted;
    QString m_keptAs;
    QStringList m_skipped;
    QFileSystemWatcher m_watcher;
    QTimer m_foodsTimer;
    QTimer m_saveTimer;

    QListWidget *m_recipeList = nullptr;
    QPushButton *m_undoDelete = nullptr;
    QLabel *m_bookMessage = nullptr;
    QLineEdit *m_search = nullptr;
    FoodResults::Model *m_resultsModel = nullptr;
    QTableView *m_results = nullptr;
    QLabel *m_foodsMessage = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_servings = nullptr;
    QLineEdit *m_cookedWeight = nullptr;
    QTableWidget *m_ingredients = nullptr;
    QPushButton *m_takeCurrent = nullptr;
    QTableWidget *m_totals = nullptr;
    QLabel *m_shares = nullptr;
    QLineEdit *m_measure = nullptr;
    QLabel *m_message = nullptr;
};
