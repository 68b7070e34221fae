// SPDX-License-Identifier: GPL-3.0-or-later
// The "recipes" file over any bytes: the reader keeps what it can and names
// what it skips; every recipe it keeps can be written, and what is written
// reads back whole, as the same text once written again.

#include <cstddef>
#include <cstdint>

#include "database/textfile.h"
#include "fuzz/fuzzcheck.h"
#include "recipes/recipebook.h"

using Fuzz::require;
using Fuzz::shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = TextFile::decode(Fuzz::bytes(data, size));
    const RecipeBook::Book book = RecipeBook::parse(text);
    for (const Recipes::Recipe &recipe : book.recipes) {
        require(RecipeBook::canName(recipe.name), "a recipe kept has a name the file can carry", shown(recipe.name));
        require(recipe.servings > 0, "a recipe kept makes servings above 0");
        for (const Recipes::Ingredient &ingredient : recipe.ingredients)
            require(ingredient.amount >= 0, "an ingredient kept has an amount of 0 or more");
    }
    QString refused;
    const std::optional<QString> written = RecipeBook::text(book.recipes, &refused);
    require(written.has_value(), "every recipe the reader keeps can be written", shown(refused));
    const RecipeBook::Book again = RecipeBook::parse(*written);
    require(again.whole(), "what is written reads back whole", shown(again.skipped.join(u'\n')));
    require(again.recipes.size() == book.recipes.size(), "what is written keeps every recipe");
    for (std::size_t i = 0; i < book.recipes.size(); ++i) {
        require(again.recipes[i].name == book.recipes[i].name, "the recipes keep their names and order");
        require(again.recipes[i].ingredients.size() == book.recipes[i].ingredients.size(), "and their ingredients");
    }
    // Numbers are written to 15 digits, so the second writing is the first's.
    require(RecipeBook::text(again.recipes) == written, "the text written is stable", shown(*written));
    return 0;
}
