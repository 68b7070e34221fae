// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipes/recipesheet.h"

#include "database/forkwellfiles.h"
#include "recipes/foodsearch.h"

using namespace Qt::StringLiterals;
using Recipes::numberText;

namespace {

QString shareText(std::optional<int> share)
{
    return share ? u"%1 %"_s.arg(*share) : u"-"_s;
}

RecipeSheet::AmountTexts textsOf(const Recipes::Amounts &amounts, const Recipes::Shares &shares)
{
    return {numberText(amounts.calories),     numberText(amounts.fatGrams),      numberText(amounts.satFatGrams),
            numberText(amounts.carbGrams),    numberText(amounts.proteinGrams),  numberText(amounts.cholesterolMg),
            numberText(amounts.grams),        shareText(shares.fat),             shareText(shares.carb),
            shareText(shares.protein)};
}

} // namespace

namespace RecipeSheet {

Sheet sheet(const Recipes::Recipe &recipe, const FoodCatalog *catalog)
{
    const Recipes::Totals totals = Recipes::totals(recipe);
    Sheet sheet;
    const QString database = u"\"%1\""_s.arg(ForkwellFiles::Database);
    for (std::size_t i = 0; i < recipe.ingredients.size(); ++i) {
        const Recipes::Ingredient &ingredient = recipe.ingredients[i];
        const Recipes::IngredientValues &values = totals.ingredients[i];
        IngredientRow row{ingredient.food[Food::Name], ingredient.food[Food::Measure], numberText(ingredient.amount),
                          ingredient.unit, Recipes::portionGrams(ingredient.food).has_value(),
                          values.fields.calories, values.fields.fatGrams, values.fields.carbGrams,
                          values.fields.proteinGrams, {}, values.problem};
        switch (catalog ? Recipes::foodState(ingredient, *catalog) : Recipes::FoodState::Current) {
        case Recipes::FoodState::Current:
            break;
        case Recipes::FoodState::Changed:
            row.mark = u"changed in %1"_s.arg(database);
            break;
        case Recipes::FoodState::Gone:
            row.mark = u"not in %1"_s.arg(database);
            break;
        }
        sheet.marked += row.mark.isEmpty() ? 0 : 1;
        sheet.rows.push_back(std::move(row));
    }
    sheet.dish = textsOf(totals.dish, totals.shares);
    sheet.serving = textsOf(totals.serving, totals.shares);
    sheet.servings = numberText(recipe.servings);
    sheet.cookedGrams = recipe.cookedGrams ? numberText(*recipe.cookedGrams) : QString();
    return sheet;
}

int addFood(Recipes::Recipe &recipe, const FoodRecord &food)
{
    recipe.ingredients.push_back({food, 1, Recipes::Unit::Portions});
    return int(recipe.ingredients.size()) - 1;
}

bool setAmount(Recipes::Recipe &recipe, int index, QStringView text, Recipes::Unit unit)
{
    Recipes::Ingredient &ingredient = recipe.ingredients[std::size_t(index)];
    const std::optional<double> amount = Recipes::amountFromText(text);
    if (!amount || (unit == Recipes::Unit::Grams && !Recipes::portionGrams(ingredient.food)))
        return false;
    ingredient.amount = *amount;
    ingredient.unit = unit;
    return true;
}

void removeIngredient(Recipes::Recipe &recipe, int index)
{
    recipe.ingredients.erase(recipe.ingredients.begin() + index);
}

void moveIngredient(Recipes::Recipe &recipe, int index, int to)
{
    Recipes::Ingredient moved = std::move(recipe.ingredients[std::size_t(index)]);
    recipe.ingredients.erase(recipe.ingredients.begin() + index);
    recipe.ingredients.insert(recipe.ingredients.begin() + to, std::move(moved));
}

bool setServings(Recipes::Recipe &recipe, QStringView text)
{
    const std::optional<double> servings = Recipes::amountFromText(text);
    if (!servings || !(*servings > 0))
        return false;
    recipe.servings = *servings;
    return true;
}

bool setCookedWeight(Recipes::Recipe &recipe, QStringView text)
{
    if (text.trimmed().isEmpty()) {
        recipe.cookedGrams.reset();
        return true;
    }
    const std::optional<double> grams = Recipes::amountFromText(text);
    if (!grams || !(*grams > 0))
        return false;
    recipe.cookedGrams = grams;
    return true;
}

} // namespace RecipeSheet
