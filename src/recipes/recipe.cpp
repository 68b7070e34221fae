// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipes/recipe.h"

#include <cmath>

#include <QRegularExpression>

#include "nutrients/numberrules.h"
#include "recipes/foodsearch.h"

namespace Recipes {

std::optional<double> portionGrams(const FoodRecord &food)
{
    const std::optional<double> grams = NumberRules::numberPrefix(food[Food::WeightGrams]);
    if (!grams || !(*grams > 0))
        return std::nullopt;
    return grams;
}

std::optional<double> portionsOf(const Ingredient &ingredient)
{
    if (ingredient.unit == Unit::Portions)
        return ingredient.amount;
    const std::optional<double> grams = portionGrams(ingredient.food);
    if (!grams)
        return std::nullopt;
    return ingredient.amount / *grams;
}

std::optional<double> amountFromText(QStringView text)
{
    // Digits with at most one point, and an exponent: what the number-prefix
    // rule reads, without a sign and with nothing after it.
    static const QRegularExpression number(QStringLiteral(R"(^\s*\+?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const std::optional<double> value = NumberRules::numberPrefix(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

QString numberText(double value)
{
    return NumberRules::numberText(value);
}

IngredientValues ingredientValues(const Ingredient &ingredient)
{
    IngredientValues values;
    const std::optional<double> portions = portionsOf(ingredient);
    if (!portions) {
        values.problem = QStringLiteral("no weight to count grams by: give it in portions");
        return values;
    }
    if (!std::isfinite(*portions)) {
        values.problem = QStringLiteral("too large to count");
        return values;
    }
    values.fields = ItemValues::portionChange(ingredient.food, NumberRules::numberText(*portions), ItemFields());
    // An update that stopped at a value beyond a double's range leaves its last fields empty.
    values.counted = !values.fields.proteinCalories.isEmpty();
    if (!values.counted)
        values.problem = QStringLiteral("too large to count");
    return values;
}

Totals totals(const Recipe &recipe)
{
    Totals totals;
    const auto numberOf = [](const QString &text) { return NumberRules::numberPrefix(text).value_or(0); };
    for (const Ingredient &ingredient : recipe.ingredients) {
        IngredientValues values = ingredientValues(ingredient);
        if (values.counted) {
            const ItemFields &f = values.fields;
            totals.dish.calories += numberOf(f.calories);
            totals.dish.fatGrams += numberOf(f.fatGrams);
            totals.dish.satFatGrams += numberOf(f.satFatGrams);
            totals.dish.carbGrams += numberOf(f.carbGrams);
            totals.dish.proteinGrams += numberOf(f.proteinGrams);
            totals.dish.cholesterolMg += numberOf(f.cholesterolMg);
            totals.dish.grams += numberOf(f.weight);
        }
        totals.ingredients.push_back(std::move(values));
    }

    const double servings = recipe.servings > 0 ? recipe.servings : 1;
    const Amounts &dish = totals.dish;
    totals.serving = {dish.calories / servings, dish.fatGrams / servings, dish.satFatGrams / servings,
                      dish.carbGrams / servings, dish.proteinGrams / servings, dish.cholesterolMg / servings,
                      (recipe.cookedGrams ? *recipe.cookedGrams : dish.grams) / servings};

    const double fat = dish.fatGrams * 9;
    const double carb = dish.carbGrams * 4;
    const double protein = dish.proteinGrams * 4;
    const double sum = fat + carb + protein;
    if (sum > 0 && std::isfinite(sum)) {
        totals.shares = {NumberRules::wholeNumber(fat / sum * 100), NumberRules::wholeNumber(carb / sum * 100),
                         NumberRules::wholeNumber(protein / sum * 100)};
    }
    return totals;
}

NameProblem foodNameProblem(QStringView name)
{
    const QStringView trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameProblem::Empty;
    if (name.contains(u',') || name.contains(u'\n') || name.contains(u'\r') || trimmed.startsWith(u'"'))
        return NameProblem::NotCarried;
    return NameProblem::None;
}

FoodRecord foodRecord(const Recipe &recipe, const QString &measure)
{
    const Amounts serving = totals(recipe).serving;
    const auto text = [](double value) { return std::isfinite(value) ? NumberRules::numberText(value) : QString(); };
    FoodRecord record;
    record[Food::Name] = recipe.name;
    record[Food::Measure] = measure;
    record[Food::FatGrams] = text(serving.fatGrams);
    record[Food::Calories] = text(serving.calories);
    record[Food::CarbGrams] = text(serving.carbGrams);
    record[Food::ProteinGrams] = text(serving.proteinGrams);
    record[Food::CholesterolMg] = text(serving.cholesterolMg);
    record[Food::WeightGrams] = text(serving.grams);
    record[Food::SatFatGrams] = text(serving.satFatGrams);
    return record;
}

FoodState foodState(const Ingredient &ingredient, const FoodCatalog &catalog)
{
    const int index = catalog.indexOf(ingredient.food[Food::Name]);
    if (index < 0)
        return FoodState::Gone;
    return catalog.food(index) == ingredient.food ? FoodState::Current : FoodState::Changed;
}

int takeCurrentValues(Recipe &recipe, const FoodCatalog &catalog)
{
    int changed = 0;
    for (Ingredient &ingredient : recipe.ingredients) {
        if (foodState(ingredient, catalog) == FoodState::Changed) {
            ingredient.food = catalog.food(catalog.indexOf(ingredient.food[Food::Name]));
            ++changed;
        }
    }
    return changed;
}

} // namespace Recipes
