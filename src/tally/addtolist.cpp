// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/daylist.h"

#include <cmath>

#include "nutrients/advisedranges.h"
#include "nutrients/numberrules.h"
#include "tally/logentry.h"
#include "tally/tallysteps.h"

using namespace TallySteps;

namespace {

// total <- whole (item + total)
bool addWhole(DayTally &tally, DayTally::Cell total, const QString &item)
{
    const std::optional<double> value = numberOf(item);
    const std::optional<double> sum = numberOf(tally, total);
    return value && sum && setWhole(tally, total, *value + *sum);
}

// total <- decimal (item + total)
bool addDecimal(DayTally &tally, DayTally::Cell total, const QString &item)
{
    const std::optional<double> value = numberOf(item);
    const std::optional<double> sum = numberOf(tally, total);
    return value && sum && setDecimal(tally, total, *value + *sum);
}

// Everything up to and with the log entry. Returns at the first failure.
void runAddition(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath)
{
    const ItemFields &f = item.fields;
    if (!addWhole(tally, DayTally::TotalFatCalories, f.fatCalories)
        || !addDecimal(tally, DayTally::TotalFatGrams, f.fatGrams)
        || !addDecimal(tally, DayTally::TotalSatFatGrams, f.satFatGrams)
        || !addWhole(tally, DayTally::TotalCarbCalories, f.carbCalories)
        || !addDecimal(tally, DayTally::TotalCarbGrams, f.carbGrams)
        || !addWhole(tally, DayTally::TotalProteinCalories, f.proteinCalories)
        || !addDecimal(tally, DayTally::TotalProteinGrams, f.proteinGrams)
        || !addDecimal(tally, DayTally::TotalCholesterolMg, f.cholesterolMg)
        || !addDecimal(tally, DayTally::TotalFibreGrams, item.fibreGrams))
        return;

    // Setting today's calories recomputes them at once, so the number read
    // back is the tally's whole number.
    const std::optional<CalorieTotals> totals = setTodayCalories(tally);
    if (!totals)
        return;
    const double t = totals->today;

    // Today's colour is decided before the percentages.
    colourToday(tally, t);

    // A day without calories has no shares.
    if (t == 0)
        return;
    const std::optional<Percents> percents = setSharePercents(tally, *totals);
    if (!percents)
        return;

    // The colour pass goes by the shown percents. Its order matters: the
    // standard colour comes first and red overrides it, and a percent of
    // exactly the low end of a band fires no rule at all.
    if (percents->fat < AdvisedRanges::FatShareHigh)
        tally.setColour(DayTally::FatPercent, CellColour::Standard);
    if (percents->carb > AdvisedRanges::ShareLow)
        tally.setColour(DayTally::CarbPercent, CellColour::Standard);
    if (percents->protein > AdvisedRanges::ShareLow)
        tally.setColour(DayTally::ProteinPercent, CellColour::Standard);
    if (percents->carb > AdvisedRanges::ShareHigh)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (percents->carb < AdvisedRanges::ShareLow)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (percents->protein > AdvisedRanges::ShareHigh)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
    if (percents->protein < AdvisedRanges::ShareLow)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
    const std::optional<double> carbGrams = numberOf(tally, DayTally::TotalCarbGrams);
    if (!carbGrams)
        return;
    if (*carbGrams > AdvisedRanges::CarbGramsHigh)
        tally.setColour(DayTally::TotalCarbGrams, CellColour::Red);

    LogEntry::append(logPath, LogEntry::lines(item, tally, clock));
}

} // namespace

void addToList(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath)
{
    runAddition(tally, item, clock, logPath);
    // Also where every failure lands.
    zeroPass(tally);
}
