// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The advised ranges of a day's intake, and the further limits at which the
// day's cells change colour. Every step that colours a figure (adding,
// deleting, reopening a day, the history's days) takes its numbers from
// here; each step keeps its own order of rules, which says what happens at
// a limit itself.
namespace AdvisedRanges {

// A day's calories: green strictly between the two, red outside.
inline constexpr double CaloriesLow = 1100;
inline constexpr double CaloriesHigh = 1600;

// Milligrams of cholesterol a day; the cholesterol share is of this.
inline constexpr double CholesterolMg = 300;
// The cholesterol share, percent, above which adding reddens it and below
// which deleting lifts it back to the standard colour.
inline constexpr int CholesterolShareWarning = 90;

// Shares of the day's calories, percent. Fat is red above its limit;
// carbohydrates and proteins are red outside their band.
inline constexpr double FatShareHigh = 15;
inline constexpr int ShareLow = 25;
inline constexpr int ShareHigh = 65;

// Deleting judges more gently: it lifts a fat share below this back to
// the standard colour, and reddens carbohydrate and protein shares above
// the second.
inline constexpr int DeletionFatShareClear = 20;
inline constexpr int DeletionShareHigh = 60;

// Grams of carbohydrates a day: adding reddens the total above the first,
// deleting lifts it below the first, reopening a day reddens it above the
// second.
inline constexpr double CarbGramsHigh = 200;
inline constexpr double ReopenedCarbGramsHigh = 250;

// Whether a day's calories lie strictly inside the advised range.
constexpr bool withinCalories(double calories)
{
    return calories > CaloriesLow && calories < CaloriesHigh;
}

} // namespace AdvisedRanges
