// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "tally/clock.h"
#include "tally/daytally.h"
#include "tally/itementry.h"

// Adds the item the main window shows to the day's totals: the calorie
// totals stay whole numbers, the gram totals are written as decimals;
// today's calories, the percent cells and their warning colours follow,
// and an entry goes to the food log at logPath.
//
// Fails quietly: a today's total of 0, a whole number outside -32768 to
// 32767, or a log that cannot be written ends the addition where it
// stands. Cells already set keep their text and colour, and the percent
// cells of totals that are 0 show "0" in every case.
void addToList(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath);

// Takes the item the main window shows off the day's totals: every total,
// the saturated-fat calories too, becomes its old number minus the item's,
// unrounded and possibly negative. Today's calories, the percent cells
// (carbohydrates and proteins with their sign) and the colours follow by
// the rules of deleting, and a deletion entry goes to the food log.
//
// Fails quietly like addToList: today's total 0, a percent outside -32768
// to 32767, or the log.
void deleteFromList(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath);
