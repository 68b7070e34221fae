// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QStringView>

#include "tally/daytally.h"

// The building blocks that adding, deleting and reopening share. Every
// function that can fail returns false or nullopt and leaves the cell as it
// was; the operation then stops where it stands.
namespace TallySteps {

// The number at the start of a text; nullopt when it lies beyond the range
// of a double.
std::optional<double> numberOf(QStringView text);
std::optional<double> numberOf(const DayTally &tally, DayTally::Cell cell);

// Writes the value rounded to a whole number, ties to even. False when the
// result lies outside -32768 to 32767.
bool setWhole(DayTally &tally, DayTally::Cell cell, double value);

// Writes a whole number already known to lie in range, as plain digits.
void setWholeText(DayTally &tally, DayTally::Cell cell, int value);

// Writes the value by the number-text rule. False when it is not finite.
bool setDecimal(DayTally &tally, DayTally::Cell cell, double value);

// The three calorie totals as they stand, and today's calories set from
// their sum. Setting that cell rounds the sum to a whole number at once, so
// today is read back from it. nullopt when a number lies beyond a double's
// range.
struct CalorieTotals
{
    double fat = 0;
    double carb = 0;
    double protein = 0;
    double today = 0;
};
std::optional<CalorieTotals> setTodayCalories(DayTally &tally);

// The four percent cells as adding and reopening work them out, in the
// order fat, carbohydrates, proteins, cholesterol: each share without its
// sign, rounded. Fat turns red when its share is above 15 % before
// rounding, cholesterol when its shown percent is above 90. Stops at the
// first percent outside -32768 to 32767; a red set just before stays.
// today must not be 0.
struct Percents
{
    int fat = 0;
    int carb = 0;
    int protein = 0;
    int cholesterol = 0;
};
std::optional<Percents> setSharePercents(DayTally &tally, const CalorieTotals &totals);

// Today's calories turn green above 1100 and below 1600, red above 1600;
// at exactly 1600 and at 1100 or less they keep their colour.
void colourToday(DayTally &tally, double today);

// Every percent cell whose total is exactly 0 shows "0", in the order fat,
// saturated fat, carbohydrates, proteins, cholesterol. Colours stay.
void zeroPass(DayTally &tally);

} // namespace TallySteps
