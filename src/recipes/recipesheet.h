// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>
#include <QStringView>

#include "recipes/recipe.h"

class FoodCatalog;

// What the recipe window shows of a recipe, as texts, and the edits its
// controls make. The window puts the texts in place and calls one edit per
// event; every number is computed here.
namespace RecipeSheet {

// One ingredient's row.
struct IngredientRow
{
    QString name;
    QString measure;       // the food's measure
    QString amount;        // by the number-text rule
    Recipes::Unit unit = Recipes::Unit::Portions;
    bool gramsOffered = false; // the food has a weight in grams to count them by
    QString calories;      // the values for the amount, as the main window shows them
    QString fatGrams;
    QString carbGrams;
    QString proteinGrams;
    QString mark;          // "" for a food as "diet" has it, else "changed in "diet"" or "not in "diet""
    QString problem;       // why the row adds nothing to the totals, or ""
};

// The values of the whole dish or of one serving. Shares in whole percent
// with a "%" ("35 %"), "-" when there are no calories from the three.
struct AmountTexts
{
    QString calories;
    QString fatGrams;
    QString satFatGrams;
    QString carbGrams;
    QString proteinGrams;
    QString cholesterolMg;
    QString grams;
    QString fatShare;
    QString carbShare;
    QString proteinShare;
};

struct Sheet
{
    std::vector<IngredientRow> rows; // one per ingredient, in order
    AmountTexts dish;
    AmountTexts serving;
    QString servings;                // by the number-text rule
    QString cookedGrams;             // "" when there is none
    int marked = 0;                  // rows whose food changed or is gone
};

// The sheet of the recipe. With a catalog, each row is marked where its
// food in "diet" differs or is gone; without one (nullptr), none is.
Sheet sheet(const Recipes::Recipe &recipe, const FoodCatalog *catalog);

// The edits. index must name an ingredient (0 to size - 1) unless said.

// Adds the food with an amount of 1 portion at the end; returns its index.
int addFood(Recipes::Recipe &recipe, const FoodRecord &food);

// Sets the amount from its text and its unit. False, with the ingredient
// unchanged, when the text is not a number of 0 or more
// (Recipes::amountFromText) or grams are given for a food without a weight.
bool setAmount(Recipes::Recipe &recipe, int index, QStringView text, Recipes::Unit unit);

// Takes the ingredient out.
void removeIngredient(Recipes::Recipe &recipe, int index);

// Moves the ingredient to position to (0 to size - 1), the others keeping their order.
void moveIngredient(Recipes::Recipe &recipe, int index, int to);

// Sets the servings from their text; false, unchanged, unless it is a number above 0.
bool setServings(Recipes::Recipe &recipe, QStringView text);

// Sets the weight after cooking from its text, or clears it for a text of
// blanks only; false, unchanged, unless it is that or a number above 0.
bool setCookedWeight(Recipes::Recipe &recipe, QStringView text);

} // namespace RecipeSheet
