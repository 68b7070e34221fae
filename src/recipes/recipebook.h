// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

#include "database/itemeditor.h"
#include "recipes/recipe.h"

// The recipes of a Forkwell folder, kept in its file "recipes", and the
// saving of a recipe as a food of "diet".
//
// "recipes" is Windows-1252 text with CR LF line ends, one field list a
// line, fields separated by commas and read as "diet"'s fields are read
// (a field with a comma, or blanks at either end, in double quotation
// marks):
//
//   Forkwell recipes,1
//
//   Recipe,Apple and almonds
//   Servings,2
//   Cooked weight,320
//   Ingredient,2,portions,Apple raw with skin,1 medium,0.5,81,21,0.3,0,138,0.1
//   Ingredient,30,g,Almonds,1 oz,14,164,6.1,6,0,28.35,1.1
//   End
//
// An ingredient's line holds its amount, its unit ("portions" or "g") and
// its food's nine cells in "diet"'s order. "Cooked weight" is left out when
// the recipe has none. Numbers are written by the number-text rule. A blank
// line separates the recipes.
namespace RecipeBook {

// The recipes of a file, and what was left out of them.
struct Book
{
    std::vector<Recipes::Recipe> recipes; // in file order, each name once
    QStringList skipped;   // what could not be read, one entry each: "line 7: ..."
    bool exists = false;   // false: no "recipes" yet, an empty book
    QString error;         // the system's reason when the file exists but cannot be read

    // Whether the file was read whole: a save over it loses nothing.
    bool whole() const { return skipped.isEmpty() && error.isEmpty(); }
};

// The book in the file's text. Never fails: a line that cannot be read is
// skipped and named; a recipe keeps the lines read before and after it; a
// recipe whose name came before is skipped; a recipe without "End" (a
// file cut short) keeps what it has and is named.
Book parse(QStringView text);

// The file's text for the recipes, as parse() reads it back. A recipe name
// or a food cell holding a double quotation mark and needing quotes (see
// recordText) cannot be written; nullopt then, with *refused naming it.
std::optional<QString> text(const std::vector<Recipes::Recipe> &recipes, QString *refused = nullptr);

// Whether a recipe of that name can be written to "recipes": not empty, no
// line end, and not both quoted and holding a quotation mark.
bool canName(QStringView name);

// The book of "recipes" in folder, read in one go.
Book read(const QString &folder);

// The result of a change of the book.
struct Change
{
    bool done = false;
    QString error;   // what went wrong and what to do, when not done
    QString keptAs;  // the name under which a file not read whole was kept before it was replaced
    Book book;       // the book as it stands after the change (as read, when not done)
};

// Each change reads "recipes", changes what it read and replaces the file
// atomically, all under the folder's lock, so that two windows or
// commands changing recipes at once keep each other's. When the file was
// not read whole, it is first kept beside itself as "recipes.kept",
// "recipes.kept2" and so on, the first free name, and keptAs says which.
// A file that exists but cannot be read is never replaced.

// Puts the recipe into the book: in place of the recipe named replacing
// (a rename when the names differ) or, when replacing is empty or gone, of
// the recipe of the same name, else at the end. Refuses a name canName()
// refuses, and a new name that another recipe already has.
Change put(const QString &folder, const Recipes::Recipe &recipe, const QString &replacing = {});

// Takes the recipe of that name out; Change::done false when there is none.
Change remove(const QString &folder, const QString &name);

// Puts a recipe taken out back at position (clamped to the book), as an
// undo of remove(); refused when its name has been taken meanwhile.
Change restore(const QString &folder, const Recipes::Recipe &recipe, int position);

// Gives the recipe of name the name newName, in its place.
Change rename(const QString &folder, const QString &name, const QString &newName);

// Adds a copy of the recipe of name right after it, named newName.
Change duplicate(const QString &folder, const QString &name, const QString &newName);

// The first of "base", "base 2", "base 3" ... that no recipe of the book has.
QString freeName(const Book &book, const QString &base);

// What saving a recipe as a food did.
enum class FoodSaveStatus {
    Saved,     // added to "diet"
    Replaced,  // put in place of the food of that name
    NameTaken, // a food of that name is there: nothing written; ask, then save with replace
    Refused,   // not written; message says why and what to do
    Failed,    // the item editor's save failed; message says why, save has the details
};
struct FoodSave
{
    FoodSaveStatus status = FoodSaveStatus::Refused;
    QString message;           // for the user: the refusal, the failure, or where the food is seen
    ItemEditor::SaveResult save;
    FoodRecord record;         // what was, or would have been, written

    bool written() const { return status == FoodSaveStatus::Saved || status == FoodSaveStatus::Replaced; }
};

// Writes the recipe as a food (Recipes::foodRecord with measure) into
// "diet" of folder, through the item editor's save. Refused before
// anything is written: a name that is empty or that "diet" cannot carry,
// a measure "diet" cannot carry, a new food when "diet" holds 15001 foods,
// a recipe with no ingredient that counts. With replace false, a name that
// "diet" already has gives NameTaken; with replace true that food is
// replaced in place (and a name not there is added).
FoodSave saveAsFood(const QString &folder, const Recipes::Recipe &recipe, bool replace,
                    const QString &measure = Recipes::ServingMeasure.toString());

} // namespace RecipeBook
