// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/daytally.h"

#include "nutrients/numberrules.h"

using NumberRules::numberPrefix;

DayTally::DayTally()
{
    m_cells[TotalSatFatCalories].text = QStringLiteral("N/A");
    m_cells[TodayCalories].colour = CellColour::Red;
    m_cells[FatPercent].colour = CellColour::DarkBlue;
}

void DayTally::setText(Cell cell, const QString &text)
{
    if (m_cells[cell].text == text)
        return;
    m_cells[cell].text = text;
    if (cell == TodayCalories)
        recomputeTodayCalories();
}

void DayTally::recomputeTodayCalories()
{
    const std::optional<double> fat = numberPrefix(text(TotalFatCalories));
    const std::optional<double> carb = numberPrefix(text(TotalCarbCalories));
    const std::optional<double> protein = numberPrefix(text(TotalProteinCalories));
    if (!fat || !carb || !protein)
        return;
    const std::optional<QString> whole = NumberRules::wholeNumberText((*fat + *carb) + *protein);
    // Writing the sum is itself a change; the run it starts finds the same
    // text and so ends the chain.
    if (whole)
        setText(TodayCalories, *whole);
}
