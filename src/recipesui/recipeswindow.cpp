// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipesui/recipeswindow.h"

#include <algorithm>
#include <array>

#include <QAbstractTableModel>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "database/forkwellfiles.h"
#include "recipes/recipesheet.h"

using namespace Qt::StringLiterals;

namespace FoodResults {

// The foods the search found, as the result list shows them.
class Model : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setMatches(std::vector<FoodMatch> matches)
    {
        beginResetModel();
        m_matches = std::move(matches);
        endResetModel();
    }
    const FoodMatch &match(int row) const { return m_matches[std::size_t(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_matches.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(Headers.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role == Qt::TextAlignmentRole && index.column() >= 2)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const FoodMatch &food = match(index.row());
        const QString *texts[] = {&food.name, &food.measure, &food.calories, &food.fatGrams, &food.carbGrams,
                                  &food.proteinGrams};
        return *texts[index.column()];
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return Headers[std::size_t(section)];
    }

private:
    static inline const std::array<QString, 6> Headers{u"Food"_s, u"Measure"_s, u"Calories"_s, u"Fat g"_s,
                                                      u"Carbohydrates g"_s, u"Proteins g"_s};
    std::vector<FoodMatch> m_matches;
};

} // namespace FoodResults

namespace {

// As many results as a screen shows and more: typing narrows them.
constexpr int ResultLimit = 100;
constexpr int ResizedRows = 30;
// The open recipe is written this long after the last change.
constexpr int SaveDelayMilliseconds = 600;
// File notices come in bursts while "diet" is replaced; one read follows them.
constexpr int FoodsDelayMilliseconds = 150;

// The ingredients' columns.
enum Column { FoodColumn, AmountColumn, UnitColumn, MeasureColumn, CaloriesColumn, FatColumn, CarbColumn,
              ProteinColumn, NoteColumn, ColumnCount };
const QString IngredientHeaders[ColumnCount] = {u"Food"_s,  u"Amount"_s, u"Unit"_s,
                                                u"Measure"_s, u"Calories"_s, u"Fat g"_s,
                                                u"Carbohydrates g"_s, u"Proteins g"_s, u"Note"_s};

// The totals' columns, the Amounts in their order.
const QString TotalHeaders[] = {u"Calories"_s, u"Fat g"_s, u"Sat. fat g"_s, u"Carbohydrates g"_s,
                                u"Proteins g"_s, u"Cholesterol mg"_s, u"Grams"_s};

const QColor ProblemColour(192, 0, 0);
const QColor ChangedColour(176, 96, 0);

QStringList amountTexts(const RecipeSheet::AmountTexts &amounts)
{
    return {amounts.calories,  amounts.fatGrams,      amounts.satFatGrams, amounts.carbGrams,
            amounts.proteinGrams, amounts.cholesterolMg, amounts.grams};
}

QTableWidgetItem *readOnlyItem(const QString &text, bool number)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QPushButton *button(const QString &text, const QString &name)
{
    auto *pushButton = new QPushButton(text);
    pushButton->setObjectName(name);
    return pushButton;
}

// The text with a red background while it holds no value the field takes.
void markField(QLineEdit *field, bool wrong)
{
    field->setStyleSheet(wrong ? u"QLineEdit { background: #ffd7d7; }"_s : QString());
}

} // namespace

RecipesWindow::RecipesWindow(const QString &folder, QWidget *parent)
    : QMainWindow(parent)
    , m_folder(folder)
{
    setWindowTitle(u"Forkwell Recipes"_s);
    setWindowIcon(QIcon::fromTheme(u"forkwell"_s));

    auto *splitter = new QSplitter;
    splitter->addWidget(buildRecipeList());
    auto *right = new QSplitter(Qt::Vertical);
    right->addWidget(buildSearch());
    right->addWidget(buildRecipe());
    right->setStretchFactor(1, 2);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({fontMetrics().averageCharWidth() * 30, width()});
    setCentralWidget(splitter);
    statusBar();
    // Room for the ingredients' columns at the font's size, on a screen that has it.
    resize(QSize(fontMetrics().averageCharWidth() * 200, fontMetrics().lineSpacing() * 56)
               .boundedTo(screen()->availableSize() * 0.92));

    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMilliseconds);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] { saveRecipe(true); });
    m_foodsTimer.setSingleShot(true);
    m_foodsTimer.setInterval(FoodsDelayMilliseconds);
    connect(&m_foodsTimer, &QTimer::timeout, this, &RecipesWindow::checkFiles);
    const auto noticed = [this] { m_foodsTimer.start(); };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, noticed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, noticed);
    m_watcher.addPath(m_folder);

    loadFoods();
    showBook(RecipeBook::read(m_folder));
    if (m_book.recipes.empty()) {
        m_recipe.name = RecipeBook::freeName(m_book, u"New recipe"_s);
        m_name->setText(m_recipe.name);
        m_servings->setText(Recipes::numberText(m_recipe.servings));
        showIngredients();
    } else {
        openRecipe(m_book.recipes.front().name);
    }
    m_search->setFocus();
}

QWidget *RecipesWindow::buildRecipeList()
{
    auto *box = new QGroupBox(u"Recipes"_s);
    auto *layout = new QVBoxLayout(box);
    m_recipeList = new QListWidget;
    m_recipeList->setObjectName(u"recipeList"_s);
    m_recipeList->setAccessibleName(u"Recipes"_s);
    layout->addWidget(m_recipeList);
    connect(m_recipeList, &QListWidget::currentRowChanged, this, &RecipesWindow::openSelected);

    auto *newButton = button(u"&New"_s, u"newRecipe"_s);
    auto *duplicate = button(u"D&uplicate"_s, u"duplicateRecipe"_s);
    auto *rename = button(u"Rena&me"_s, u"renameRecipe"_s);
    auto *remove = button(u"&Delete"_s, u"deleteRecipe"_s);
    m_undoDelete = button(u"Undo De&lete"_s, u"undoDelete"_s);
    m_undoDelete->setEnabled(false);
    connect(newButton, &QPushButton::clicked, this, &RecipesWindow::newRecipe);
    connect(duplicate, &QPushButton::clicked, this, &RecipesWindow::duplicateRecipe);
    connect(rename, &QPushButton::clicked, this, [this] {
        m_name->setFocus();
        m_name->selectAll();
    });
    connect(remove, &QPushButton::clicked, this, &RecipesWindow::deleteRecipe);
    connect(m_undoDelete, &QPushButton::clicked, this, &RecipesWindow::undoDelete);
    auto *buttons = new QGridLayout;
    buttons->addWidget(newButton, 0, 0);
    buttons->addWidget(duplicate, 0, 1);
    buttons->addWidget(rename, 1, 0);
    buttons->addWidget(remove, 1, 1);
    buttons->addWidget(m_undoDelete, 2, 0, 1, 2);
    layout->addLayout(buttons);

    m_bookMessage = new QLabel;
    m_bookMessage->setObjectName(u"bookMessage"_s);
    m_bookMessage->setWordWrap(true);
    m_bookMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_bookMessage->hide();
    layout->addWidget(m_bookMessage);
    return box;
}

QWidget *RecipesWindow::buildSearch()
{
    auto *box = new QGroupBox(u"Foods"_s);
    auto *layout = new QVBoxLayout(box);
    auto *row = new QHBoxLayout;
    m_search = new QLineEdit;
    m_search->setObjectName(u"search"_s);
    m_search->setAccessibleName(u"Find a food"_s);
    m_search->setPlaceholderText(u"Words of a food's name, such as \"ched chee\""_s);
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    auto *label = new QLabel(u"&Find:"_s);
    label->setBuddy(m_search);
    row->addWidget(label);
    row->addWidget(m_search);
    layout->addLayout(row);
    connect(m_search, &QLineEdit::textChanged, this, &RecipesWindow::search);

    m_resultsModel = new FoodResults::Model(this);
    m_results = new QTableView;
    m_results->setObjectName(u"results"_s);
    m_results->setAccessibleName(u"Foods found"_s);
    m_results->setModel(m_resultsModel);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setAlternatingRowColors(true);
    m_results->setWordWrap(false);
    m_results->verticalHeader()->hide();
    m_results->verticalHeader()->setDefaultSectionSize(m_results->fontMetrics().height() + 6);
    m_results->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_results->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // The columns are sized from the first rows only, so that a keystroke
    // costs the same however many foods it finds.
    m_results->horizontalHeader()->setResizeContentsPrecision(ResizedRows);
    m_results->installEventFilter(this);
    layout->addWidget(m_results);
    connect(m_results, &QTableView::activated, this, [this](const QModelIndex &index) { addFood(index.row()); });

    m_foodsMessage = new QLabel;
    m_foodsMessage->setObjectName(u"foodsMessage"_s);
    m_foodsMessage->setWordWrap(true);
    layout->addWidget(m_foodsMessage);
    return box;
}

QWidget *RecipesWindow::buildRecipe()
{
    auto *box = new QGroupBox(u"Recipe"_s);
    auto *layout = new QVBoxLayout(box);
    layout->addLayout(buildRecipeFields());
    layout->addWidget(buildIngredients(), 1);
    layout->addLayout(buildIngredientButtons());
    buildTotals(layout);
    buildSaveRow(layout);
    return box;
}

// The recipe's name, servings and weight after cooking.
QLayout *RecipesWindow::buildRecipeFields()
{
    auto *fields = new QHBoxLayout;
    const auto field = [&fields](const QString &caption, const QString &name, const QString &accessible) {
        auto *edit = new QLineEdit;
        edit->setObjectName(name);
        edit->setAccessibleName(accessible);
        auto *label = new QLabel(caption);
        label->setBuddy(edit);
        fields->addWidget(label);
        fields->addWidget(edit);
        return edit;
    };
    m_name = field(u"N&ame:"_s, u"recipeName"_s, u"Recipe name"_s);
    m_servings = field(u"&Servings:"_s, u"servings"_s, u"Servings"_s);
    m_cookedWeight = field(u"&Weight cooked, g:"_s, u"cookedWeight"_s, u"Weight after cooking in grams"_s);
    m_cookedWeight->setPlaceholderText(u"none"_s);
    m_cookedWeight->setToolTip(u"The dish's weight after cooking. A serving's grams then come from it, since "
                               "cooking loses water; its nutrients stay the totals divided by the servings."_s);
    const int digits = m_servings->fontMetrics().horizontalAdvance(u"0000000000"_s);
    m_servings->setMaximumWidth(digits);
    m_cookedWeight->setMaximumWidth(digits);
    fields->setStretch(1, 1);
    connect(m_name, &QLineEdit::editingFinished, this, &RecipesWindow::nameEdited);
    connect(m_servings, &QLineEdit::textEdited, this, &RecipesWindow::servingsEdited);
    connect(m_cookedWeight, &QLineEdit::textEdited, this, &RecipesWindow::cookedWeightEdited);
    return fields;
}

// The ingredients' table: a row each, the food's name taking the free width.
QWidget *RecipesWindow::buildIngredients()
{
    m_ingredients = new QTableWidget(0, ColumnCount);
    m_ingredients->setObjectName(u"ingredients"_s);
    m_ingredients->setAccessibleName(u"Ingredients"_s);
    for (int column = 0; column < ColumnCount; ++column)
        m_ingredients->setHorizontalHeaderItem(column, new QTableWidgetItem(IngredientHeaders[column]));
    m_ingredients->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ingredients->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ingredients->setWordWrap(false);
    m_ingredients->verticalHeader()->hide();
    m_ingredients->verticalHeader()->setDefaultSectionSize(m_servings->sizeHint().height() + 2);
    // The values and the notes keep their texts whole; a long food name is
    // cut short where room is short (its tooltip has it).
    QHeaderView *columns = m_ingredients->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::ResizeToContents);
    columns->setSectionResizeMode(FoodColumn, QHeaderView::Stretch);
    columns->setSectionResizeMode(AmountColumn, QHeaderView::Fixed);
    columns->resizeSection(AmountColumn, m_servings->fontMetrics().averageCharWidth() * 10);
    columns->setMinimumSectionSize(m_servings->fontMetrics().averageCharWidth() * 6);

    return m_ingredients;
}

QLayout *RecipesWindow::buildIngredientButtons()
{
    auto *ingredientButtons = new QHBoxLayout;
    auto *remove = button(u"&Remove"_s, u"removeIngredient"_s);
    auto *up = button(u"Move &Up"_s, u"moveUp"_s);
    auto *down = button(u"Move Do&wn"_s, u"moveDown"_s);
    m_takeCurrent = button(u"&Take Current Values"_s, u"takeCurrentValues"_s);
    m_takeCurrent->setToolTip(u"Give every ingredient whose food changed in the food list the food's values "
                              "as they are now."_s);
    connect(remove, &QPushButton::clicked, this, &RecipesWindow::removeIngredient);
    connect(up, &QPushButton::clicked, this, [this] { moveIngredient(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveIngredient(1); });
    connect(m_takeCurrent, &QPushButton::clicked, this, &RecipesWindow::takeCurrentValues);
    for (QPushButton *each : {remove, up, down, m_takeCurrent})
        ingredientButtons->addWidget(each);
    ingredientButtons->addStretch();

    return ingredientButtons;
}

// The totals of the whole dish and of one serving, and the calories' shares.
void RecipesWindow::buildTotals(QVBoxLayout *layout)
{
    m_totals = new QTableWidget(2, int(std::size(TotalHeaders)));
    m_totals->setObjectName(u"totals"_s);
    m_totals->setAccessibleName(u"Totals"_s);
    for (int column = 0; column < m_totals->columnCount(); ++column)
        m_totals->setHorizontalHeaderItem(column, new QTableWidgetItem(TotalHeaders[column]));
    m_totals->setVerticalHeaderItem(0, new QTableWidgetItem(u"Whole dish"_s));
    m_totals->setVerticalHeaderItem(1, new QTableWidgetItem(u"One serving"_s));
    m_totals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_totals->setFocusPolicy(Qt::NoFocus);
    m_totals->setWordWrap(false);
    m_totals->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_totals->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_totals->verticalHeader()->setDefaultSectionSize(m_totals->fontMetrics().height() + 8);
    m_totals->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_totals->installEventFilter(this);
    layout->addWidget(m_totals);
    m_shares = new QLabel;
    m_shares->setObjectName(u"shares"_s);
    m_shares->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_shares);

}

// The measure of the saved food, the button that saves it, and the message
// of the last save or change.
void RecipesWindow::buildSaveRow(QVBoxLayout *layout)
{
    auto *saveRow = new QHBoxLayout;
    m_measure = new QLineEdit(Recipes::ServingMeasure.toString());
    m_measure->setObjectName(u"measure"_s);
    m_measure->setAccessibleName(u"Measure of the saved food"_s);
    m_measure->setMaximumWidth(m_measure->fontMetrics().horizontalAdvance(u"0000000000000000000000"_s));
    auto *measureLabel = new QLabel(u"Mea&sure:"_s);
    measureLabel->setBuddy(m_measure);
    auto *save = button(u"Save as &Food"_s, u"saveAsFood"_s);
    save->setToolTip(u"Write one serving as a food of the food list \"%1\", so that Forkwell can add it "
                     "to a day."_s.arg(ForkwellFiles::Database));
    connect(save, &QPushButton::clicked, this, &RecipesWindow::saveAsFood);
    saveRow->addWidget(measureLabel);
    saveRow->addWidget(m_measure);
    saveRow->addWidget(save);
    saveRow->addStretch();
    layout->addLayout(saveRow);
    m_message = new QLabel;
    m_message->setObjectName(u"message"_s);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);
}

void RecipesWindow::closeEvent(QCloseEvent *event)
{
    if (flush())
        return event->accept();
    const auto answer = QMessageBox::question(this, windowTitle(),
                                              u"The changes of \"%1\" are not saved. Close all the same?"_s.arg(m_recipe.name),
                                              QMessageBox::Close | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Close)
        event->accept();
    else
        event->ignore();
}

bool RecipesWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_totals && event->type() == QEvent::Resize)
        fitTotals();
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (watched == m_search && key == Qt::Key_Down && m_resultsModel->rowCount() > 0) {
        m_results->setFocus();
        m_results->setCurrentIndex(m_resultsModel->index(0, 0));
        return true;
    }
    if (watched == m_search && (key == Qt::Key_Return || key == Qt::Key_Enter) && m_resultsModel->rowCount() > 0) {
        addFood(0);
        return true;
    }
    if (watched == m_results && key == Qt::Key_Up && m_results->currentIndex().row() <= 0) {
        m_search->setFocus();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void RecipesWindow::checkFiles()
{
    const QFileInfo diet(QDir(m_folder).filePath(ForkwellFiles::Database.toString()));
    if (diet.lastModified() != m_dietTime || diet.size() != m_dietSize)
        loadFoods();
    // Another window or a command may have changed the recipes; the open
    // one stays as it is edited here.
    const QFileInfo recipes(QDir(m_folder).filePath(ForkwellFiles::Recipes.toString()));
    if (recipes.lastModified() != m_recipesTime || recipes.size() != m_recipesSize)
        showBook(RecipeBook::read(m_folder));
}

void RecipesWindow::loadFoods()
{
    const QString path = QDir(m_folder).filePath(ForkwellFiles::Database.toString());
    const QFileInfo diet(path);
    m_dietTime = diet.lastModified();
    m_dietSize = diet.exists() ? diet.size() : -1;
    m_foodLoad = m_catalog.load(m_folder);
    // A "diet" replaced by a rename is a new file to watch.
    if (m_foodLoad.opened && !m_watcher.files().contains(path))
        m_watcher.addPath(path);
    if (!m_foodLoad.opened)
        m_foodsMessage->setText(u"There is no food list \"%1\" in %2 to find foods in."_s.arg(
            ForkwellFiles::Database, QDir::toNativeSeparators(m_folder)));
    else if (!m_foodLoad.complete)
        m_foodsMessage->setText(u"The food list \"%1\" ends early, so only its first %2 foods are found, as "
                                "Forkwell finds them."_s.arg(ForkwellFiles::Database).arg(m_catalog.size()));
    m_foodsMessage->setVisible(!m_foodLoad.opened || !m_foodLoad.complete);
    search();
    if (m_ingredients->rowCount() > 0)
        showValues();
}

void RecipesWindow::search()
{
    m_resultsModel->setMatches(m_catalog.matches(m_search->text(), ResultLimit));
}

void RecipesWindow::addFood(int resultRow)
{
    if (resultRow < 0 || resultRow >= m_resultsModel->rowCount())
        return;
    const int added = RecipeSheet::addFood(m_recipe, m_catalog.food(m_resultsModel->match(resultRow).index));
    showIngredients();
    recipeChanged();
    focusAmount(added);
}

void RecipesWindow::showBook(const RecipeBook::Book &book)
{
    const QFileInfo recipes(QDir(m_folder).filePath(ForkwellFiles::Recipes.toString()));
    m_recipesTime = recipes.lastModified();
    m_recipesSize = recipes.exists() ? recipes.size() : -1;
    m_book = book;
    // What a damaged file lost stays named after the file is replaced: the kept copy holds it.
    if (!book.skipped.isEmpty() || m_keptAs.isEmpty())
        m_skipped = book.skipped;
    const QSignalBlocker blocker(m_recipeList);
    m_recipeList->clear();
    for (const Recipes::Recipe &recipe : m_book.recipes) {
        m_recipeList->addItem(recipe.name);
        if (recipe.name == m_openName)
            m_recipeList->setCurrentRow(m_recipeList->count() - 1);
    }

    const QString file = QDir::toNativeSeparators(QDir(m_folder).filePath(ForkwellFiles::Recipes.toString()));
    QStringList lines;
    if (!m_book.error.isEmpty())
        lines += u"The recipes in %1 cannot be read: %2. Nothing is written over that file."_s.arg(file, m_book.error);
    if (!m_skipped.isEmpty()) {
        lines += u"Parts of %1 could not be read and are left out:"_s.arg(file);
        for (const QString &skipped : m_skipped)
            lines += u"• "_s + skipped;
        if (m_keptAs.isEmpty())
            lines += u"Before the first change is saved, the file is kept as it is under a new name beside it."_s;
    }
    if (!m_keptAs.isEmpty())
        lines += u"The old file, which could not be read whole, was kept as %1."_s.arg(QDir::toNativeSeparators(m_keptAs));
    m_bookMessage->setText(lines.join(u'\n'));
    m_bookMessage->setVisible(!lines.isEmpty());
}

bool RecipesWindow::applyChange(const RecipeBook::Change &change, bool quiet)
{
    if (!change.keptAs.isEmpty())
        m_keptAs = QDir(m_folder).filePath(change.keptAs);
    showBook(change.book);
    // Where the old file went stays said above the list, and a failed save
    // while typing is said below the recipe: no dialog stops the typing.
    if (!change.done && quiet)
        setMessage(change.error, true);
    else if (!change.done)
        QMessageBox::warning(this, windowTitle(), change.error);
    return change.done;
}

void RecipesWindow::openRecipe(const QString &name)
{
    if (!flush()) {
        showBook(m_book); // the list shows the recipe that stays open
        return;
    }
    const auto found = std::find_if(m_book.recipes.cbegin(), m_book.recipes.cend(),
                                    [&name](const Recipes::Recipe &recipe) { return recipe.name == name; });
    if (found == m_book.recipes.cend())
        return;
    m_recipe = *found;
    m_openName = name;
    m_name->setText(m_recipe.name);
    m_servings->setText(Recipes::numberText(m_recipe.servings));
    m_cookedWeight->setText(m_recipe.cookedGrams ? Recipes::numberText(*m_recipe.cookedGrams) : QString());
    markField(m_servings, false);
    markField(m_cookedWeight, false);
    m_message->clear();
    showBook(m_book);
    showIngredients();
}

void RecipesWindow::openSelected()
{
    if (const QListWidgetItem *item = m_recipeList->currentItem(); item && item->text() != m_openName)
        openRecipe(item->text());
}

void RecipesWindow::newRecipe()
{
    if (!flush())
        return;
    Recipes::Recipe recipe;
    recipe.name = RecipeBook::freeName(m_book, u"New recipe"_s);
    if (!applyChange(RecipeBook::put(m_folder, recipe)))
        return;
    openRecipe(recipe.name);
    m_name->setFocus();
    m_name->selectAll();
}

void RecipesWindow::duplicateRecipe()
{
    if (!flush() || m_openName.isEmpty())
        return;
    const QString copy = RecipeBook::freeName(m_book, m_openName);
    if (applyChange(RecipeBook::duplicate(m_folder, m_openName, copy)))
        openRecipe(copy);
}

void RecipesWindow::deleteRecipe()
{
    m_saveTimer.stop();
    m_unsaved = false;
    if (m_openName.isEmpty())
        return;
    const auto position = std::find_if(m_book.recipes.cbegin(), m_book.recipes.cend(),
                                       [this](const Recipes::Recipe &recipe) { return recipe.name == m_openName; })
        - m_book.recipes.cbegin();
    Deleted deleted{m_recipe, int(position)};
    deleted.recipe.name = m_openName;
    if (!applyChange(RecipeBook::remove(m_folder, m_openName)))
        return;
    m_deleted.push_back(deleted);
    m_undoDelete->setEnabled(true);
    m_undoDelete->setToolTip(u"Bring back \"%1\""_s.arg(deleted.recipe.name));
    statusBar()->showMessage(u"\"%1\" deleted. Undo Delete brings it back while this window is open."_s.arg(
        deleted.recipe.name));
    m_openName.clear();
    if (m_book.recipes.empty()) {
        m_recipe = {};
        m_recipe.name = RecipeBook::freeName(m_book, u"New recipe"_s);
        m_name->setText(m_recipe.name);
        m_servings->setText(Recipes::numberText(m_recipe.servings));
        m_cookedWeight->clear();
        showIngredients();
    } else {
        openRecipe(m_book.recipes[std::min(std::size_t(position), m_book.recipes.size() - 1)].name);
    }
}

void RecipesWindow::undoDelete()
{
    if (m_deleted.empty())
        return;
    if (!flush())
        return;
    const Deleted deleted = m_deleted.back();
    if (!applyChange(RecipeBook::restore(m_folder, deleted.recipe, deleted.position)))
        return;
    m_deleted.pop_back();
    m_undoDelete->setEnabled(!m_deleted.empty());
    m_undoDelete->setToolTip(m_deleted.empty() ? QString() : u"Bring back \"%1\""_s.arg(m_deleted.back().recipe.name));
    openRecipe(deleted.recipe.name);
}

void RecipesWindow::nameEdited()
{
    if (m_name->text() == m_recipe.name)
        return;
    const QString before = m_recipe.name;
    m_recipe.name = m_name->text();
    m_saveTimer.stop();
    m_unsaved = true;
    if (!saveRecipe(false)) { // refused: the name the recipe has in the file stays
        m_recipe.name = before;
        m_name->setText(before);
    }
}

void RecipesWindow::recipeChanged()
{
    showValues();
    m_unsaved = true;
    m_saveTimer.start();
}

bool RecipesWindow::saveRecipe(bool quiet)
{
    m_saveTimer.stop();
    if (!applyChange(RecipeBook::put(m_folder, m_recipe, m_openName), quiet))
        return false;
    if (quiet && m_message->palette().color(QPalette::WindowText) == ProblemColour)
        m_message->clear(); // an earlier failure is over
    m_unsaved = false;
    m_openName = m_recipe.name;
    showBook(m_book);
    return true;
}

bool RecipesWindow::flush()
{
    return !m_unsaved || saveRecipe(false);
}

void RecipesWindow::amountEdited(int row)
{
    const auto *amount = qobject_cast<QLineEdit *>(m_ingredients->cellWidget(row, AmountColumn));
    const auto *unit = qobject_cast<QComboBox *>(m_ingredients->cellWidget(row, UnitColumn));
    const bool taken = RecipeSheet::setAmount(m_recipe, row, amount->text(), Recipes::Unit(unit->currentData().toInt()));
    fieldTaken(m_ingredients->cellWidget(row, AmountColumn), taken,
               u"\"%1\" is no amount: type a number, such as 2 or 0.5."_s.arg(amount->text()));
}

void RecipesWindow::servingsEdited()
{
    fieldTaken(m_servings, RecipeSheet::setServings(m_recipe, m_servings->text()),
               u"The servings are a number above 0, such as 4."_s);
}

void RecipesWindow::cookedWeightEdited()
{
    fieldTaken(m_cookedWeight, RecipeSheet::setCookedWeight(m_recipe, m_cookedWeight->text()),
               u"The weight after cooking is a number of grams above 0, or nothing."_s);
}

void RecipesWindow::fieldTaken(QWidget *field, bool taken, const QString &problem)
{
    markField(qobject_cast<QLineEdit *>(field), !taken);
    if (!taken)
        return statusBar()->showMessage(problem);
    statusBar()->clearMessage();
    recipeChanged();
}

int RecipesWindow::currentIngredient() const
{
    const int row = m_ingredients->currentRow();
    return row >= 0 && row < int(m_recipe.ingredients.size()) ? row : -1;
}

void RecipesWindow::removeIngredient()
{
    const int row = currentIngredient();
    if (row < 0)
        return;
    RecipeSheet::removeIngredient(m_recipe, row);
    showIngredients();
    recipeChanged();
    m_ingredients->setCurrentCell(std::min(row, m_ingredients->rowCount() - 1), FoodColumn);
}

void RecipesWindow::moveIngredient(int step)
{
    const int row = currentIngredient();
    if (row < 0 || row + step < 0 || row + step >= int(m_recipe.ingredients.size()))
        return;
    RecipeSheet::moveIngredient(m_recipe, row, row + step);
    showIngredients();
    recipeChanged();
    m_ingredients->setCurrentCell(row + step, FoodColumn);
}

void RecipesWindow::takeCurrentValues()
{
    const int changed = Recipes::takeCurrentValues(m_recipe, m_catalog);
    showIngredients();
    recipeChanged();
    statusBar()->showMessage(changed == 1 ? u"1 ingredient takes its food's current values."_s
                                          : u"%1 ingredients take their foods' current values."_s.arg(changed));
}

void RecipesWindow::saveAsFood()
{
    if (!flush())
        return;
    RecipeBook::FoodSave saved = RecipeBook::saveAsFood(m_folder, m_recipe, false, m_measure->text());
    if (saved.status == RecipeBook::FoodSaveStatus::NameTaken) {
        QMessageBox ask(QMessageBox::Question, windowTitle(), saved.message, QMessageBox::Cancel, this);
        const QAbstractButton *replace = ask.addButton(u"&Replace"_s, QMessageBox::AcceptRole);
        ask.setDefaultButton(QMessageBox::Cancel);
        ask.exec();
        if (ask.clickedButton() != replace)
            return;
        saved = RecipeBook::saveAsFood(m_folder, m_recipe, true, m_measure->text());
    }
    if (!saved.written()) {
        setMessage(saved.message, true);
        QMessageBox::warning(this, windowTitle(), saved.message);
        return;
    }
    setMessage(saved.message, false);
    loadFoods();
}

void RecipesWindow::focusAmount(int row)
{
    if (auto *amount = qobject_cast<QLineEdit *>(m_ingredients->cellWidget(row, AmountColumn))) {
        m_ingredients->setCurrentCell(row, AmountColumn);
        amount->setFocus();
        amount->selectAll();
    }
}

void RecipesWindow::setMessage(const QString &text, bool problem)
{
    m_message->setText(text);
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, problem ? ProblemColour : this->palette().color(QPalette::WindowText));
    m_message->setPalette(palette);
}

void RecipesWindow::showIngredients()
{
    const RecipeSheet::Sheet sheet = RecipeSheet::sheet(m_recipe, &m_catalog);
    const int rows = int(sheet.rows.size());
    m_ingredients->setRowCount(0);
    m_ingredients->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const RecipeSheet::IngredientRow &ingredient = sheet.rows[std::size_t(row)];
        auto *amount = new QLineEdit(ingredient.amount);
        amount->setObjectName(u"amount%1"_s.arg(row));
        amount->setAccessibleName(u"Amount of %1"_s.arg(ingredient.name));
        amount->setAlignment(Qt::AlignRight);
        amount->setFrame(false);
        connect(amount, &QLineEdit::textEdited, this, [this, row] { amountEdited(row); });
        // Enter takes the amount and goes back to the search for the next food.
        connect(amount, &QLineEdit::returnPressed, this, [this] {
            m_search->setFocus();
            m_search->selectAll();
        });
        m_ingredients->setCellWidget(row, AmountColumn, amount);

        auto *unit = new QComboBox;
        unit->setObjectName(u"unit%1"_s.arg(row));
        unit->setAccessibleName(u"Unit of %1"_s.arg(ingredient.name));
        unit->addItem(u"portions"_s, int(Recipes::Unit::Portions));
        // Grams only where a portion's weight says how many portions they are;
        // grams kept from before the food lost its weight stay shown.
        if (ingredient.gramsOffered || ingredient.unit == Recipes::Unit::Grams)
            unit->addItem(u"grams"_s, int(Recipes::Unit::Grams));
        unit->setCurrentIndex(unit->findData(int(ingredient.unit)));
        unit->setFrame(false);
        connect(unit, &QComboBox::activated, this, [this, row] { amountEdited(row); });
        m_ingredients->setCellWidget(row, UnitColumn, unit);
    }
    showValues();
}

void RecipesWindow::showValues()
{
    const RecipeSheet::Sheet sheet = RecipeSheet::sheet(m_recipe, &m_catalog);
    for (int row = 0; row < m_ingredients->rowCount() && row < int(sheet.rows.size()); ++row) {
        const RecipeSheet::IngredientRow &ingredient = sheet.rows[std::size_t(row)];
        QStringList notes{ingredient.mark, ingredient.problem};
        notes.removeAll(QString());
        const std::pair<int, QString> cells[] = {
            {FoodColumn, ingredient.name},         {MeasureColumn, ingredient.measure},
            {CaloriesColumn, ingredient.calories}, {FatColumn, ingredient.fatGrams},
            {CarbColumn, ingredient.carbGrams},    {ProteinColumn, ingredient.proteinGrams},
            {NoteColumn, notes.join(u"; "_s)}};
        // A row that adds nothing is red, a food that "diet" changed or lost orange.
        const QColor colour = !ingredient.problem.isEmpty() ? ProblemColour
            : !ingredient.mark.isEmpty()                     ? ChangedColour
                                                             : QColor();
        for (const auto &[column, text] : cells) {
            QTableWidgetItem *item = readOnlyItem(text, column >= CaloriesColumn && column < NoteColumn);
            if (column == FoodColumn || column == NoteColumn) {
                item->setToolTip(text);
                if (colour.isValid())
                    item->setForeground(colour);
            }
            m_ingredients->setItem(row, column, item);
        }
    }
    m_takeCurrent->setEnabled(sheet.marked > 0);

    const QStringList dish = amountTexts(sheet.dish), serving = amountTexts(sheet.serving);
    for (int column = 0; column < m_totals->columnCount(); ++column) {
        m_totals->setItem(0, column, readOnlyItem(dish[column], true));
        m_totals->setItem(1, column, readOnlyItem(serving[column], true));
    }
    fitTotals();
    m_shares->setText(u"Calories from fat: %1, from carbohydrates: %2, from proteins: %3"_s.arg(
        sheet.dish.fatShare, sheet.dish.carbShare, sheet.dish.proteinShare));
}

void RecipesWindow::fitTotals()
{
    // Each column as wide as its widest text, and the room left shared out
    // among them; past the window's width a scroll bar takes them in.
    QHeaderView *header = m_totals->horizontalHeader();
    std::vector<int> widths;
    int needed = 0;
    for (int column = 0; column < m_totals->columnCount(); ++column) {
        widths.push_back(std::max(header->sectionSizeHint(column),
                                  static_cast<const QAbstractItemView *>(m_totals)->sizeHintForColumn(column)));
        needed += widths.back();
    }
    // The room beside the row titles, known before the table lays itself out.
    // (The viewport follows the table only after the table's own resize.)
    const QHeaderView *rowTitles = m_totals->verticalHeader();
    const int room = m_totals->width() - 2 * m_totals->frameWidth()
        - std::max(rowTitles->width(), rowTitles->sizeHint().width());
    const int spare = std::max(0, room - needed) / int(widths.size());
    for (int column = 0; column < int(widths.size()); ++column)
        header->resizeSection(column, widths[std::size_t(column)] + spare);
    const bool fits = needed <= room;
    m_totals->setHorizontalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    m_totals->setFixedHeight(header->sizeHint().height() + 2 * m_totals->verticalHeader()->defaultSectionSize()
                             + (fits ? 0 : m_totals->horizontalScrollBar()->sizeHint().height())
                             + 2 * m_totals->frameWidth());
}

