// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tallysteps.h"

#include <cmath>
#include <utility>

#include "nutrients/advisedranges.h"
#include "nutrients/numberrules.h"

namespace TallySteps {

std::optional<double> numberOf(QStringView text)
{
    return NumberRules::numberPrefix(text);
}

std::optional<double> numberOf(const DayTally &tally, DayTally::Cell cell)
{
    return NumberRules::numberPrefix(tally.text(cell));
}

bool setWhole(DayTally &tally, DayTally::Cell cell, double value)
{
    const std::optional<QString> text = NumberRules::wholeNumberText(value);
    if (!text)
        return false;
    tally.setText(cell, *text);
    return true;
}

void setWholeText(DayTally &tally, DayTally::Cell cell, int value)
{
    tally.setText(cell, QString::number(value));
}

bool setDecimal(DayTally &tally, DayTally::Cell cell, double value)
{
    if (!std::isfinite(value))
        return false;
    tally.setText(cell, NumberRules::numberText(value));
    return true;
}

std::optional<CalorieTotals> setTodayCalories(DayTally &tally)
{
    const std::optional<double> fat = numberOf(tally, DayTally::TotalFatCalories);
    const std::optional<double> carb = numberOf(tally, DayTally::TotalCarbCalories);
    const std::optional<double> protein = numberOf(tally, DayTally::TotalProteinCalories);
    if (!fat || !carb || !protein || !setDecimal(tally, DayTally::TodayCalories, (*fat + *carb) + *protein))
        return std::nullopt;
    const std::optional<double> today = numberOf(tally, DayTally::TodayCalories);
    if (!today)
        return std::nullopt;
    return CalorieTotals{*fat, *carb, *protein, *today};
}

std::optional<Percents> setSharePercents(DayTally &tally, const CalorieTotals &totals)
{
    Percents percents;
    const double fatShare = std::abs(totals.fat / totals.today) * 100;
    // The unrounded share decides red, so 15.2 % turns red yet shows 15.
    if (fatShare > AdvisedRanges::FatShareHigh)
        tally.setColour(DayTally::FatPercent, CellColour::Red);
    const std::optional<int> fat = NumberRules::wholeNumber(fatShare);
    if (!fat)
        return std::nullopt;
    setWholeText(tally, DayTally::FatPercent, percents.fat = *fat);
    const std::optional<int> carb = NumberRules::wholeNumber(std::abs(totals.carb / totals.today) * 100);
    if (!carb)
        return std::nullopt;
    setWholeText(tally, DayTally::CarbPercent, percents.carb = *carb);
    const std::optional<int> protein = NumberRules::wholeNumber(std::abs(totals.protein / totals.today) * 100);
    if (!protein)
        return std::nullopt;
    setWholeText(tally, DayTally::ProteinPercent, percents.protein = *protein);
    const std::optional<double> cholesterolMg = numberOf(tally, DayTally::TotalCholesterolMg);
    if (!cholesterolMg)
        return std::nullopt;
    // Divided by the limit first, then made a percent.
    const std::optional<int> cholesterol = NumberRules::wholeNumber(std::abs(*cholesterolMg / AdvisedRanges::CholesterolMg * 100));
    if (!cholesterol)
        return std::nullopt;
    if (*cholesterol > AdvisedRanges::CholesterolShareWarning)
        tally.setColour(DayTally::CholesterolPercent, CellColour::Red);
    setWholeText(tally, DayTally::CholesterolPercent, percents.cholesterol = *cholesterol);
    return percents;
}

void colourToday(DayTally &tally, double today)
{
    if (AdvisedRanges::withinCalories(today))
        tally.setColour(DayTally::TodayCalories, CellColour::Green);
    if (today > AdvisedRanges::CaloriesHigh)
        tally.setColour(DayTally::TodayCalories, CellColour::Red);
}

void zeroPass(DayTally &tally)
{
    static constexpr std::pair<DayTally::Cell, DayTally::Cell> pairs[] = {
        {DayTally::TotalFatGrams, DayTally::FatPercent},
        {DayTally::TotalSatFatGrams, DayTally::SatFatPercent},
        {DayTally::TotalCarbGrams, DayTally::CarbPercent},
        {DayTally::TotalProteinGrams, DayTally::ProteinPercent},
        {DayTally::TotalCholesterolMg, DayTally::CholesterolPercent},
    };
    for (const auto &[total, percent] : pairs) {
        if (numberOf(tally, total) == 0.0)
            tally.setText(percent, QStringLiteral("0"));
    }
}

} // namespace TallySteps
