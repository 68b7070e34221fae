#include "daylist.h"

#include <cmath>

#include "logentry.h"
#include "numberrules.h"
#include "tallysteps.h"

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

    const std::optional<double> fat = numberOf(tally, DayTally::TotalFatCalories);
    const std::optional<double> carb = numberOf(tally, DayTally::TotalCarbCalories);
    const std::optional<double> protein = numberOf(tally, DayTally::TotalProteinCalories);
    // Setting today's calories recomputes them at once, so the number read
    // back below is the tally's whole number.
    if (!fat || !carb || !protein || !setDecimal(tally, DayTally::TodayCalories, (*fat + *carb) + *protein))
        return;
    const std::optional<double> today = numberOf(tally, DayTally::TodayCalories);
    if (!today)
        return;
    const double t = *today;

    // Today's colour is decided before the percentages.
    if (t > 1100 && t < 1600)
        tally.setColour(DayTally::TodayCalories, CellColour::Green);
    if (t > 1600)
        tally.setColour(DayTally::TodayCalories, CellColour::Red);

    // A day without calories has no shares.
    if (t == 0)
        return;
    const double fatShare = std::abs(*fat / t) * 100;
    // The unrounded share decides red, so 15.2 % turns red yet shows 15.
    if (fatShare > 15)
        tally.setColour(DayTally::FatPercent, CellColour::Red);
    const std::optional<int> fatPercent = NumberRules::wholeNumber(fatShare);
    if (!fatPercent)
        return;
    setWhole(tally, DayTally::FatPercent, *fatPercent);
    const std::optional<int> carbPercent = NumberRules::wholeNumber(std::abs(*carb / t) * 100);
    if (!carbPercent)
        return;
    setWhole(tally, DayTally::CarbPercent, *carbPercent);
    const std::optional<int> proteinPercent = NumberRules::wholeNumber(std::abs(*protein / t) * 100);
    if (!proteinPercent)
        return;
    setWhole(tally, DayTally::ProteinPercent, *proteinPercent);
    const std::optional<double> cholesterol = numberOf(tally, DayTally::TotalCholesterolMg);
    if (!cholesterol)
        return;
    const std::optional<int> cholesterolPercent = NumberRules::wholeNumber(std::abs(*cholesterol / 300 * 100));
    if (!cholesterolPercent)
        return;
    if (*cholesterolPercent > 90)
        tally.setColour(DayTally::CholesterolPercent, CellColour::Red);
    setWhole(tally, DayTally::CholesterolPercent, *cholesterolPercent);

    // The colour pass goes by the shown percents. Its order matters: the
    // standard colour comes first and red overrides it, and a percent of
    // exactly 25 fires no rule at all.
    if (*fatPercent < 15)
        tally.setColour(DayTally::FatPercent, CellColour::Standard);
    if (*carbPercent > 25)
        tally.setColour(DayTally::CarbPercent, CellColour::Standard);
    if (*proteinPercent > 25)
        tally.setColour(DayTally::ProteinPercent, CellColour::Standard);
    if (*carbPercent > 65)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (*carbPercent < 25)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (*proteinPercent > 65)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
    if (*proteinPercent < 25)
        tally.setColour(DayTally::ProteinPercent, CellColour::Red);
    const std::optional<double> carbGrams = numberOf(tally, DayTally::TotalCarbGrams);
    if (!carbGrams)
        return;
    if (*carbGrams > 200)
        tally.setColour(DayTally::TotalCarbGrams, CellColour::Red);

    zeroPass(tally);
    LogEntry::append(logPath, LogEntry::lines(item, tally, clock));
}

} // namespace

void addToList(DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &logPath)
{
    runAddition(tally, item, clock, logPath);
    // Also where every failure lands.
    zeroPass(tally);
}
