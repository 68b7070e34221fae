// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "database/foodtable.h"

// The texts of the main window's item fields: the chosen food item's
// values scaled by the portion.
struct ItemFields
{
    QString measure = QStringLiteral("U.S. Measures"); // household measure, unchanged
    QString weight;                                    // grams of the portion
    QString calories;                                  // calories of the portion
    QString fatGrams;
    QString satFatGrams;
    QString carbGrams;
    QString proteinGrams;
    QString cholesterolMg;
    QString fatCalories;                               // fat grams x 9
    QString satFatCalories = QStringLiteral("N/A");    // never holds a number
    QString carbCalories;                              // carbohydrate grams x 4
    QString proteinCalories;                           // protein grams x 4

    bool operator==(const ItemFields &) const = default;
};

namespace ItemValues {

// The fields after choosing the item in row, with the portion box already
// reset to "1" (resetting it is the window's business and runs
// portionChange first when the box held another text). Leaves the
// saturated-fat calories as they were.
//
// Every step writes one field; a number beyond the range of a double ends
// the update at that step and the later fields keep their old texts.
ItemFields select(const FoodRecord &row, ItemFields fields);

// The fields after the portion text changed. Every value is the row's cell
// times the portion, without its sign; the calories follow from the grams
// as shown. Empties the saturated-fat calories. Same failure rule as select.
ItemFields portionChange(const FoodRecord &row, const QString &portionText, ItemFields fields);

} // namespace ItemValues
