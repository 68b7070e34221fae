// SPDX-License-Identifier: GPL-3.0-or-later
// A recipe saved as a food of "diet", through the item editor's own save.
#include "recipes/recipebook.h"

#include <algorithm>

#include "database/forkwellfiles.h"

using namespace Qt::StringLiterals;
using Recipes::Recipe;

namespace {

QString quoted(QStringView text)
{
    return u"\"%1\""_s.arg(text);
}

// What the user is told of a save of the item editor that failed.
QString failureText(const ItemEditor::SaveResult &result)
{
    using ItemEditor::SaveFailure;
    const QString database = quoted(ForkwellFiles::Database);
    const QString counter = quoted(ForkwellFiles::Counter);
    const QString reason = result.reason.isEmpty() ? QString() : u": "_s + result.reason;
    switch (result.refusal) {
    case ItemEditor::SaveRefusal::None:
        break;
    case ItemEditor::SaveRefusal::FolderNotLocked:
        return u"The Forkwell folder cannot be locked against another program saving foods%1. Nothing was changed."_s
            .arg(reason);
    case ItemEditor::SaveRefusal::DatabaseFull:
        return u"%1 holds %2 foods, as many as Forkwell reads. Save the recipe in place of a food of the same name, "
               "or make room in %1 first."_s.arg(database).arg(FoodTable::RowCount);
    case ItemEditor::SaveRefusal::ItemMissing:
        return u"The food to replace is no longer in %1."_s.arg(database);
    }
    switch (result.failure) {
    case SaveFailure::None:
        return {};
    case SaveFailure::BoxRefused:
        return u"The food cannot be stored in %1 as it stands: take the quotation marks out of its name and measure."_s
            .arg(database);
    case SaveFailure::CounterUnreadable:
    case SaveFailure::CounterEmpty:
    case SaveFailure::CounterOutOfRange:
    case SaveFailure::CounterUnwritable:
        return u"The backup counter %1 cannot be read, counted up or written%2. Check the file, as Forkwell's item "
               "editor would need it too."_s.arg(counter, reason);
    case SaveFailure::BackupNotMade:
        return u"%1 cannot be kept as its backup %2%3. Nothing was changed."_s.arg(database, quoted(result.backupName), reason);
    case SaveFailure::DatabaseUnreadable:
        return u"%1 cannot be read%2. Nothing was changed."_s.arg(database, reason);
    case SaveFailure::BackupCutShort:
        return u"%1 ends inside a food, so it cannot be saved over without losing it. Nothing was changed."_s.arg(database);
    case SaveFailure::BackupTooLarge:
        return u"%1 holds more than %2 foods, more than Forkwell reads. Nothing was changed."_s.arg(database).arg(FoodTable::RowCount);
    case SaveFailure::DatabaseUnwritable:
        return u"%1 cannot be written%2. It is as it was."_s.arg(database, reason);
    }
    return {};
}

} // namespace

namespace RecipeBook {

FoodSave saveAsFood(const QString &folder, const Recipe &recipe, bool replace, const QString &measure)
{
    FoodSave saved;
    saved.record = Recipes::foodRecord(recipe, measure);
    const QString database = quoted(ForkwellFiles::Database);
    switch (Recipes::foodNameProblem(recipe.name)) {
    case Recipes::NameProblem::Empty:
        saved.message = u"The recipe needs a name before it can become a food: type one."_s;
        return saved;
    case Recipes::NameProblem::NotCarried:
        saved.message = u"A food's name in %1 cannot hold a comma or a line break, nor begin with a quotation mark: "
                        "rename the recipe, for example \"Pie with apples\" for \"Pie, apples\"."_s.arg(database);
        return saved;
    case Recipes::NameProblem::None:
        break;
    }
    int refused = -1;
    if (!recordText(saved.record, &refused)) {
        saved.message = u"The %1 \"%2\" cannot be stored in %3: take out its quotation marks."_s.arg(
            refused == Food::Name ? u"name"_s : u"measure"_s, saved.record[std::size_t(refused)], database);
        return saved;
    }
    const Recipes::Totals totals = Recipes::totals(recipe);
    if (std::none_of(totals.ingredients.cbegin(), totals.ingredients.cend(),
                     [](const Recipes::IngredientValues &v) { return v.counted; })) {
        saved.message = u"The recipe has no ingredient to count yet: add a food and its amount."_s;
        return saved;
    }

    FoodTable table;
    const FoodLoad load = ItemEditor::refill(folder, table);
    bool named = false;
    for (int row = 0; row < load.names.size() && !named; ++row)
        named = table.row(row)[Food::Name] == recipe.name;
    if (named && !replace) {
        saved.status = FoodSaveStatus::NameTaken;
        saved.message = u"A food named \"%1\" is already in %2. Replace it with the recipe's serving?"_s.arg(recipe.name, database);
        return saved;
    }
    ItemEditor::SaveMode mode = named ? ItemEditor::SaveMode::Replace : ItemEditor::SaveMode::AddWhileRoom;
    saved.save = ItemEditor::saveItem(folder, saved.record, table, mode);
    if (saved.save.refusal == ItemEditor::SaveRefusal::ItemMissing) {
        // Taken out by another program since: added instead.
        mode = ItemEditor::SaveMode::AddWhileRoom;
        saved.save = ItemEditor::saveItem(folder, saved.record, table, mode);
    }
    if (!saved.save.saved()) {
        saved.status = saved.save.refusal == ItemEditor::SaveRefusal::DatabaseFull ? FoodSaveStatus::Refused
                                                                                    : FoodSaveStatus::Failed;
        saved.message = failureText(saved.save);
        return saved;
    }
    saved.status = mode == ItemEditor::SaveMode::Replace ? FoodSaveStatus::Replaced : FoodSaveStatus::Saved;
    saved.message = u"\"%1\" is %2 %3, and the food database before it is kept as %4. Forkwell's food list shows "
                    "it the next time its main window reads %3: on returning to the main window from one of its "
                    "own windows, or at the next start."_s
                        .arg(recipe.name, mode == ItemEditor::SaveMode::Replace ? u"replaced in"_s : u"saved in"_s,
                             database, quoted(saved.save.backupName));
    return saved;
}

} // namespace RecipeBook
