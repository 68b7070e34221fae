// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "recipes/recipe.h"

class FoodCatalog;

// The command line of Forkwell Recipes: each action works on the Forkwell
// folder it is given and says what it did as text, for scripts.
namespace RecipeCommands {

// Exit status 0 when the action was done, 1 when it could not be (a file
// that cannot be read or written, an unknown recipe or food, a value that
// is not a number); a mistake in the options themselves is the entry
// point's, status 2.
struct Outcome
{
    int status = 0;
    QString out;          // for standard output, each line ended by "\n"
    QStringList errors;   // for standard error, one message each, without the program's name
};

// An ingredient as the command line gives it, "AMOUNT FOOD": a number of
// the food's portions ("2 Apple raw with skin") or a number directly
// followed by "g" for grams ("30g Almonds"), then one blank and a food's
// name exactly as in "diet". nullopt with *error naming the ingredient
// when the food is unknown, the amount is not a number, or grams are given
// for a food without a weight.
std::optional<Recipes::Ingredient> parseIngredient(const QString &text, const FoodCatalog &catalog,
                                                   QString *error);

// --create: the recipe built from "diet" and put into "recipes", replacing
// one of the same name. servings and cookedGrams as typed (cookedGrams
// empty for none); servings must be above 0, cookedGrams above 0. Nothing
// is written when any part is wrong; every wrong ingredient is named.
Outcome create(const QString &folder, const QString &name, const QString &servings,
               const QString &cookedGrams, const QStringList &ingredients);

// --list: the recipes' names, one a line, in file order.
Outcome list(const QString &folder);

// --show: the recipe's ingredients, each with its amount and its values,
// then the whole dish and one serving (calories, fat, saturated fat,
// carbohydrates, proteins, cholesterol, grams, the three shares).
Outcome show(const QString &folder, const QString &name);

// --save: the recipe written as a food into "diet", or in place of the
// food of that name.
Outcome save(const QString &folder, const QString &name);

} // namespace RecipeCommands
