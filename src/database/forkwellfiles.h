// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The names of the files in a Forkwell folder. The program touches no other
// file there, and a companion never writes over one of these.
namespace ForkwellFiles {

inline constexpr QStringView Database = u"diet";       // the food database
inline constexpr QStringView Counter = u"dblog";       // the number the next backup of "diet" takes
inline constexpr QStringView FoodLog = u"mylist";      // every addition and deletion, oldest first
inline constexpr QStringView HelpPage = u"Diethelp.html";
inline constexpr QStringView Recipes = u"recipes";      // Forkwell Recipes' dishes and their ingredients

// The backup the item editor keeps of the database before its save number
// counter: "diet" followed by the counter as "dblog" holds it, "diet7".
inline QString backupName(QStringView counter)
{
    return Database.toString().append(counter);
}

// The n-th copy, from 1, of a "recipes" that could not be read whole, kept
// before it is replaced: "recipes.kept", "recipes.kept2" ...
QString keptRecipesName(int n);

// The totals file of a day: its date as month-day-year, "03-14-2025".
QString totalsName(QDate date);

// Whether name is one of Forkwell's own files: the five above, a backup of
// the database (any counter the number rules read: "diet1", "diet1E+20"),
// a kept copy of "recipes" or a day's totals file.
bool isOwnFile(QStringView name);

} // namespace ForkwellFiles
