// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/daylist.h"

#include <cmath>

#include "nutrients/advisedranges.h"
#include "nutrients/numberrules.h"
#include "tally/logentry.h"
#include "tally/logformat.h"
#include "tally/tallysteps.h"

using namespace TallySteps;

namespace {

// total <- decimal (total - item), nothing rounded
bool subtract(DayTally &tally, DayTally::Cell total, const QString &item)
{
    const std::optional<double> value = numberOf(item);
    const std::optional<double> from = numberOf(tally, total);
    return value && from && setDecimal(tally, total, *from - *value);
}

// The colour pass after a deletion, by the shown percents and today's calories.
void colourShares(DayTally &tally, double t, const Percents &percents)
{
    // Deleting only ever lifts the fat and cholesterol shares back to the
    // standard colour, it never reddens them; every limit is strict, and
    // today's colour comes after the percents.
    if (percents.fat < AdvisedRanges::DeletionFatShareClear)
        tally.setColour(DayTally::FatPercent, CellColour::Standard);
    if (percents.cholesterol < AdvisedRanges::CholesterolShareWarning)
        tally.setColour(DayTally::CholesterolPercent, CellColour::Standard);
    if (percents.carb > AdvisedRanges::ShareLow)
        tally.setColour(DayTally::CarbPercent, CellColour::Standard);
    if (percents.protein > AdvisedRanges::ShareLow)
        tally.setColour(DayTally::ProteinPercent, CellColour::Standard);
    if (AdvisedRanges::withinCalories(t))
        tally.setColour(DayTally::TodayCalories, CellColour::Green);
    if (t > AdvisedRanges::CaloriesHigh)
        tally.setColour(DayTally::TodayCalories, CellColour::Red);
    if (t < AdvisedRanges::CaloriesLow)
        tally.setColour(DayTally::TodayCalories, CellColour::Red);
    if (percents.carb > AdvisedRanges::DeletionShareHigh)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (percents.carb < AdvisedRanges::ShareLow)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (percents.protein > AdvisedRanges::DeletionShareHigh)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
    if (percents.protein < AdvisedRanges::ShareLow)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
}

// Everything up to and with the log entry. Returns at the first failure.
void runDeletion(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath)
{
    const ItemFields &f = item.fields;
    if (!subtract(tally, DayTally::TotalFatCalories, f.fatCalories)
        || !subtract(tally, DayTally::TotalFatGrams, f.fatGrams)
        || !subtract(tally, DayTally::TotalSatFatCalories, f.satFatCalories)
        || !subtract(tally, DayTally::TotalSatFatGrams, f.satFatGrams)
        || !subtract(tally, DayTally::TotalCarbCalories, f.carbCalories)
        || !subtract(tally, DayTally::TotalCarbGrams, f.carbGrams)
        || !subtract(tally, DayTally::TotalProteinCalories, f.proteinCalories)
        || !subtract(tally, DayTally::TotalProteinGrams, f.proteinGrams)
        || !subtract(tally, DayTally::TotalCholesterolMg, f.cholesterolMg)
        || !subtract(tally, DayTally::TotalFibreGrams, item.fibreGrams))
        return;

    // The calorie totals may hold decimals now; setting today's calories
    // rounds their sum to the whole number read back here.
    const std::optional<CalorieTotals> totals = setTodayCalories(tally);
    if (!totals || totals->today == 0)
        return;
    const double t = totals->today;
    const double fat = totals->fat;
    const double carb = totals->carb;
    const double protein = totals->protein;

    // Each percent is rounded first; only fat then loses its sign, while a
    // negative carbohydrate or protein share stays negative. A magnitude
    // past 32767 fails like any other whole number.
    const std::optional<int> fatRounded = NumberRules::wholeNumber(fat / t * 100);
    const std::optional<int> fatPercent = fatRounded ? NumberRules::wholeNumber(std::abs(*fatRounded)) : std::nullopt;
    if (!fatPercent)
        return;
    setWholeText(tally, DayTally::FatPercent, *fatPercent);
    const std::optional<int> carbPercent = NumberRules::wholeNumber(carb / t * 100);
    if (!carbPercent)
        return;
    setWholeText(tally, DayTally::CarbPercent, *carbPercent);
    const std::optional<int> proteinPercent = NumberRules::wholeNumber(protein / t * 100);
    if (!proteinPercent)
        return;
    setWholeText(tally, DayTally::ProteinPercent, *proteinPercent);
    const std::optional<double> cholesterol = numberOf(tally, DayTally::TotalCholesterolMg);
    if (!cholesterol)
        return;
    // The cholesterol share loses its sign before it is rounded.
    const std::optional<int> cholesterolPercent = NumberRules::wholeNumber(std::abs(*cholesterol / AdvisedRanges::CholesterolMg * 100));
    if (!cholesterolPercent)
        return;
    setWholeText(tally, DayTally::CholesterolPercent, *cholesterolPercent);

    colourShares(tally, t, {*fatPercent, *carbPercent, *proteinPercent, *cholesterolPercent});
    // Nor does it ever redden the carbohydrate grams.
    const std::optional<double> carbGrams = numberOf(tally, DayTally::TotalCarbGrams);
    if (!carbGrams)
        return;
    if (*carbGrams < AdvisedRanges::CarbGramsHigh)
        tally.setColour(DayTally::TotalCarbGrams, CellColour::Standard);

    QStringList lines = LogEntry::lines(item, tally, clock);
    lines[LogFormat::NoteLine] = LogFormat::DeletionNote;
    LogEntry::append(logPath, lines);
}

} // namespace

void deleteFromList(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath)
{
    runDeletion(tally, item, clock, logPath);
    // Also where every failure lands.
    zeroPass(tally);
}
