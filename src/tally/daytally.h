// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

// Text colours of the day's cells. Standard is the desktop's button-text
// colour; the window decides what that is.
enum class CellColour {
    Standard,
    Red,      // RGB (255, 0, 0)
    Green,    // RGB (0, 192, 0)
    DarkBlue, // RGB (0, 0, 128), the fat percent's colour at start
};

struct TallyCell
{
    QString text;
    CellColour colour = CellColour::Standard;

    bool operator==(const TallyCell &) const = default;
};

// The running totals of the day: sixteen cells of text and colour, the only
// store of the day's figures. Every cell's text is read back as a number by
// the number-prefix rule whenever it is computed with.
class DayTally
{
public:
    enum Cell {
        TotalFatCalories,     // kcal, whole number
        TotalSatFatCalories,  // "N/A" until a deletion writes it
        TotalCarbCalories,    // kcal, whole number
        TotalProteinCalories, // kcal, whole number
        TotalFatGrams,        // g, saturated fat included
        TotalSatFatGrams,     // g
        TotalCarbGrams,       // g
        TotalProteinGrams,    // g
        TotalCholesterolMg,   // mg
        TotalFibreGrams,      // g, kept but never shown
        TodayCalories,        // kcal, the three calorie totals added up
        FatPercent,
        SatFatPercent,        // only ever "0"
        CarbPercent,
        ProteinPercent,
        CholesterolPercent,   // share of the day's advised cholesterol
        CellCount
    };

    DayTally();

    const TallyCell &cell(Cell cell) const { return m_cells[cell]; }
    const QString &text(Cell cell) const { return m_cells[cell].text; }
    CellColour colour(Cell cell) const { return m_cells[cell].colour; }

    // Setting today's calories to a new text recomputes it at once: it
    // becomes the three calorie totals added up and rounded to a whole
    // number, ties to even. When that sum lies outside -32768 to 32767 the
    // cell keeps the text just set.
    void setText(Cell cell, const QString &text);
    void setColour(Cell cell, CellColour colour) { m_cells[cell].colour = colour; }

    bool operator==(const DayTally &) const = default;

private:
    void recomputeTodayCalories();

    std::array<TallyCell, CellCount> m_cells;
};
