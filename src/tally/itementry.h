// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "tally/itemvalues.h"

// The item rows of the main window exactly as they are shown: what adding
// and deleting read. Values are texts; an empty text counts as 0.
struct ItemEntry
{
    ItemFields fields;  // the chosen item's values for the portion
    QString fibreGrams; // the hidden fibre cell, which nothing fills
    QString portion;    // the portion box's text as typed
    QString itemBox;    // the item box's text, the item's name once one is chosen
};
