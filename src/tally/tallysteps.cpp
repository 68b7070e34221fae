#include "tallysteps.h"

#include <cmath>
#include <utility>

#include "numberrules.h"

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

void setWhole(DayTally &tally, DayTally::Cell cell, int value)
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
