// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

#include "database/foodtable.h"
#include "tally/itemvalues.h"

class FoodCatalog;

// A home-cooked dish: foods and their amounts, the servings it makes, and
// the values of the whole dish and of one serving, computed as the main
// window computes a portion.
namespace Recipes {

// The measure a recipe's food gets unless the user gives another.
inline constexpr QStringView ServingMeasure = u"1 serving";

enum class Unit {
    Portions, // the food's portions, as the main window's portion box takes them
    Grams,    // grams, converted through the food's WeightGrams
};

struct Ingredient
{
    FoodRecord food;        // the food's nine cells as they were when it was added
    double amount = 1;      // finite, 0 or more
    Unit unit = Unit::Portions;

    bool operator==(const Ingredient &) const = default;
};

struct Recipe
{
    QString name;
    std::vector<Ingredient> ingredients;
    double servings = 1;                // above 0
    std::optional<double> cookedGrams;  // the dish's weight after cooking, above 0

    bool operator==(const Recipe &) const = default;
};

// The grams of one portion of the food: its WeightGrams by the number-prefix
// rule, when that is a number above 0; nullopt otherwise, and then the food
// takes no amount in grams.
std::optional<double> portionGrams(const FoodRecord &food);

// The ingredient's amount in the food's portions: the amount itself, or
// grams / WeightGrams. nullopt for grams of a food without portionGrams.
std::optional<double> portionsOf(const Ingredient &ingredient);

// An amount, a number of servings or a weight as typed: a number by the
// number-prefix rule with nothing after it but blanks, finite and 0 or more.
// nullopt for anything else ("", "two", "2 cups", "-1", "1e400").
std::optional<double> amountFromText(QStringView text);

// A number as the window and the file show it: the number-text rule.
QString numberText(double value);

// Calories, grams and milligrams of a dish or of one serving.
struct Amounts
{
    double calories = 0;
    double fatGrams = 0;     // saturated fat included
    double satFatGrams = 0;
    double carbGrams = 0;
    double proteinGrams = 0;
    double cholesterolMg = 0;
    double grams = 0;        // weight
};

// The shares of the calories from fat (grams x 9), carbohydrates and
// proteins (grams x 4) in the three added up, in whole percent, ties to the
// even neighbour. nullopt when the three add up to 0.
struct Shares
{
    std::optional<int> fat;
    std::optional<int> carb;
    std::optional<int> protein;

    bool operator==(const Shares &) const = default;
};

// One ingredient's line: the main window's item fields for its amount in
// portions (ItemValues::portionChange with that portion), and whether it
// counts in the totals. An ingredient that does not count adds nothing and
// says why: grams of a food without a weight, or a value beyond the range
// of a double.
struct IngredientValues
{
    ItemFields fields;
    bool counted = false;
    QString problem;
};
IngredientValues ingredientValues(const Ingredient &ingredient);

// The whole dish and one serving.
struct Totals
{
    std::vector<IngredientValues> ingredients; // one per ingredient, in order
    Amounts dish;    // the counted ingredients' fields added up, as they are shown
    Amounts serving; // the dish divided by the servings; its grams from the
                     // cooked weight when there is one
    Shares shares;   // the same for the dish and a serving
};
// servings must be above 0 (a recipe with none counts as 1).
Totals totals(const Recipe &recipe);

// Why a name cannot become a food's name in "diet", or None.
enum class NameProblem {
    None,
    Empty,      // nothing but blanks
    NotCarried, // a comma, a line end, or a quotation mark first after any blanks
};
NameProblem foodNameProblem(QStringView name);

// The food a recipe becomes: its name, the measure, one serving's values as
// texts by the number-text rule, WeightGrams and SatFatGrams filled.
FoodRecord foodRecord(const Recipe &recipe, const QString &measure = ServingMeasure.toString());

// Where an ingredient's food stands in "diet" now.
enum class FoodState {
    Current, // a food of that name has the same nine cells
    Changed, // a food of that name has other cells
    Gone,    // no food has that name
};
FoodState foodState(const Ingredient &ingredient, const FoodCatalog &catalog);

// Gives every ingredient whose food Changed the food's current cells,
// keeping its amount (an amount in grams of a food that has lost its weight
// no longer counts, and the window says so). Gone foods stay as they were.
// Returns how many ingredients changed.
int takeCurrentValues(Recipe &recipe, const FoodCatalog &catalog);

} // namespace Recipes
