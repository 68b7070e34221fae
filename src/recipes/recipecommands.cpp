// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipes/recipecommands.h"

#include <algorithm>

#include "database/forkwellfiles.h"
#include "recipes/foodsearch.h"
#include "recipes/recipebook.h"
#include "recipes/recipesheet.h"

using namespace Qt::StringLiterals;
using Recipes::Ingredient;
using Recipes::Recipe;

namespace {

constexpr int Failed = 1;

QString quoted(QStringView text)
{
    return u"\"%1\""_s.arg(text);
}

RecipeCommands::Outcome failure(const QString &error)
{
    return {Failed, {}, {error}};
}

// The notes of a book read with lines left out: the command goes on with the rest.
QStringList skippedNotes(const RecipeBook::Book &book)
{
    QStringList notes;
    for (const QString &skipped : book.skipped)
        notes.append(u"%1: skipped %2"_s.arg(quoted(ForkwellFiles::Recipes), skipped));
    return notes;
}

// The recipe of that name, or the outcome that says why there is none.
std::optional<Recipe> findRecipe(const QString &folder, const QString &name, RecipeCommands::Outcome &outcome)
{
    const RecipeBook::Book book = RecipeBook::read(folder);
    if (!book.error.isEmpty()) {
        outcome = failure(u"cannot read %1: %2"_s.arg(quoted(ForkwellFiles::Recipes), book.error));
        return std::nullopt;
    }
    outcome.errors = skippedNotes(book);
    const auto it = std::find_if(book.recipes.cbegin(), book.recipes.cend(), [&](const Recipe &r) { return r.name == name; });
    if (it == book.recipes.cend()) {
        outcome.status = Failed;
        outcome.errors.append(u"no recipe named %1 in %2"_s.arg(quoted(name), quoted(ForkwellFiles::Recipes)));
        return std::nullopt;
    }
    return *it;
}

} // namespace

namespace RecipeCommands {

std::optional<Ingredient> parseIngredient(const QString &text, const FoodCatalog &catalog, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = u"ingredient %1: %2"_s.arg(quoted(text), why);
        return std::nullopt;
    };
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return fail(u"give an amount, a blank and a food's name, as \"2 Apple raw with skin\" or \"30g Almonds\""_s);
    Ingredient ingredient;
    QStringView amount = QStringView(text).first(blank);
    if (amount.endsWith(u'g')) {
        ingredient.unit = Recipes::Unit::Grams;
        amount.chop(1);
    }
    const std::optional<double> number = Recipes::amountFromText(amount);
    if (!number)
        return fail(u"the amount %1 is not a number"_s.arg(quoted(text.first(blank))));
    ingredient.amount = *number;
    const QString name = text.sliced(blank + 1);
    const int index = catalog.indexOf(name);
    if (index < 0)
        return fail(u"no food named %1 in %2"_s.arg(quoted(name), quoted(ForkwellFiles::Database)));
    ingredient.food = catalog.food(index);
    if (ingredient.unit == Recipes::Unit::Grams && !Recipes::portionGrams(ingredient.food))
        return fail(u"%1 has no weight in grams; give its amount in portions"_s.arg(quoted(name)));
    return ingredient;
}

Outcome create(const QString &folder, const QString &name, const QString &servings, const QString &cookedGrams,
               const QStringList &ingredients)
{
    Outcome outcome;
    Recipe recipe{name, {}, 1, std::nullopt};
    const std::optional<double> count = Recipes::amountFromText(servings);
    if (!count || !(*count > 0))
        outcome.errors.append(u"--servings %1 is not a number above 0"_s.arg(quoted(servings)));
    else
        recipe.servings = *count;
    if (!cookedGrams.isEmpty()) {
        recipe.cookedGrams = Recipes::amountFromText(cookedGrams);
        if (!recipe.cookedGrams || !(*recipe.cookedGrams > 0))
            outcome.errors.append(u"--cooked-weight %1 is not a number of grams above 0"_s.arg(quoted(cookedGrams)));
    }
    FoodCatalog catalog;
    if (!catalog.load(folder).opened && !ingredients.isEmpty())
        return failure(u"cannot read %1 in the current folder"_s.arg(quoted(ForkwellFiles::Database)));
    for (const QString &text : ingredients) {
        QString error;
        if (const std::optional<Ingredient> ingredient = parseIngredient(text, catalog, &error))
            recipe.ingredients.push_back(*ingredient);
        else
            outcome.errors.append(error);
    }
    if (!outcome.errors.isEmpty()) {
        outcome.status = Failed;
        outcome.errors.append(u"nothing was written"_s);
        return outcome;
    }
    const RecipeBook::Change change = RecipeBook::put(folder, recipe);
    if (!change.done)
        return failure(change.error);
    if (!change.keptAs.isEmpty())
        outcome.errors.append(u"%1 could not be read whole; the old file is kept as %2"_s.arg(
            quoted(ForkwellFiles::Recipes), quoted(change.keptAs)));
    return outcome;
}

Outcome list(const QString &folder)
{
    const RecipeBook::Book book = RecipeBook::read(folder);
    if (!book.error.isEmpty())
        return failure(u"cannot read %1: %2"_s.arg(quoted(ForkwellFiles::Recipes), book.error));
    Outcome outcome{0, {}, skippedNotes(book)};
    for (const Recipe &recipe : book.recipes)
        outcome.out += recipe.name + u'\n';
    return outcome;
}

Outcome show(const QString &folder, const QString &name)
{
    Outcome outcome;
    const std::optional<Recipe> recipe = findRecipe(folder, name, outcome);
    if (!recipe)
        return outcome;
    FoodCatalog catalog;
    const bool current = catalog.load(folder).opened;
    const RecipeSheet::Sheet sheet = RecipeSheet::sheet(*recipe, current ? &catalog : nullptr);
    QString &out = outcome.out;
    out += u"Recipe: %1\nServings: %2\n"_s.arg(recipe->name, sheet.servings);
    if (!sheet.cookedGrams.isEmpty())
        out += u"Cooked weight: %1 g\n"_s.arg(sheet.cookedGrams);
    for (const RecipeSheet::IngredientRow &row : sheet.rows) {
        out += u"Ingredient: %1 %2 %3"_s.arg(row.amount, row.unit == Recipes::Unit::Grams ? u"g"_s : u"x"_s, row.name);
        if (row.problem.isEmpty()) {
            out += u": %1 calories, %2 g fat, %3 g carbohydrates, %4 g proteins"_s.arg(row.calories, row.fatGrams,
                                                                                       row.carbGrams, row.proteinGrams);
        } else {
            out += u": not counted, "_s + row.problem;
        }
        out += row.mark.isEmpty() ? u"\n"_s : u" (%1)\n"_s.arg(row.mark);
    }
    const RecipeSheet::AmountTexts &s = sheet.serving;
    const std::pair<QString, QString> lines[] = {
        {u"Calories"_s, s.calories},
        {u"Fat"_s, s.fatGrams + u" g"_s},
        {u"Saturated fat"_s, s.satFatGrams + u" g"_s},
        {u"Carbohydrates"_s, s.carbGrams + u" g"_s},
        {u"Proteins"_s, s.proteinGrams + u" g"_s},
        {u"Cholesterol"_s, s.cholesterolMg + u" mg"_s},
        {u"Weight"_s, s.grams + u" g"_s},
        {u"Calories from fat"_s, s.fatShare},
        {u"Calories from carbohydrates"_s, s.carbShare},
        {u"Calories from proteins"_s, s.proteinShare},
    };
    out += u"One serving:\n"_s;
    for (const auto &[label, value] : lines)
        out += u"  %1: %2\n"_s.arg(label, value);
    return outcome;
}

Outcome save(const QString &folder, const QString &name)
{
    Outcome outcome;
    const std::optional<Recipe> recipe = findRecipe(folder, name, outcome);
    if (!recipe)
        return outcome;
    const RecipeBook::FoodSave saved = RecipeBook::saveAsFood(folder, *recipe, true);
    if (!saved.written()) {
        outcome.status = Failed;
        outcome.errors.append(saved.message);
        return outcome;
    }
    outcome.out = saved.message + u'\n';
    return outcome;
}

} // namespace RecipeCommands
