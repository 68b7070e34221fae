// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of the day's totals and above share: the day's cells
// written as text, log entries and a fixed clock.

#include <QStringList>

#include "tally/clock.h"
#include "tally/daytally.h"
#include "tally/itementry.h"
#include "tests/support/filebytes.h"

namespace Testing {

using namespace Qt::StringLiterals;

inline const QStringList ColourNames = {u"standard"_s, u"red"_s, u"green"_s, u"blue"_s}; // in CellColour order

// The day's cells as "text colour", comma-separated in cell order, the
// standard colour left out. Written so, setCells() sets the first cells,
// leaving the colour of those written without one, and cells() gives
// describe() of a day of just those cells.
inline QString describe(const DayTally &tally)
{
    QStringList cells;
    for (int c = 0; c < DayTally::CellCount; ++c) {
        const CellColour colour = tally.colour(DayTally::Cell(c));
        cells += tally.text(DayTally::Cell(c)) + (colour == CellColour::Standard ? QString() : u' ' + ColourNames[int(colour)]);
    }
    return cells.join(u", "_s);
}

inline void setCells(DayTally &tally, const QString &written)
{
    const QStringList cells = written.split(u',');
    for (int c = 0; c < cells.size(); ++c) {
        const QString text = cells[c].trimmed();
        const int colour = int(ColourNames.indexOf(text.section(u' ', -1)));
        tally.setText(DayTally::Cell(c), colour > 0 ? text.section(u' ', 0, -2) : text);
        if (colour > 0)
            tally.setColour(DayTally::Cell(c), CellColour(colour));
    }
}

inline QString cells(const QString &written)
{
    QStringList cells = written.split(u',');
    for (QString &cell : cells)
        cell = ColourNames.contains(cell.trimmed()) ? u' ' + cell.trimmed() : cell.trimmed();
    cells.resize(DayTally::CellCount);
    return cells.join(u", "_s);
}

// An entry of the food log, its lines separated by "|" here: the time
// stamp, the portion, the name, the item's seven values, the note, then the
// day's nine totals.
inline QByteArray logEntry(const QString &values)
{
    QString entry = u"%1||%2|%3|Contains:|%4 Calories|%5 Grams of Total Fat (including Saturated)|%6 Grams of Just "
                    "Saturated Fat|%7 Grams of Carbohydrates|%8 Grams of Proteins|%9 Miligrams of Cholesterol|%10|Your "
                    "running total for today to this point is: |%11 Total Calories |%12 Total Fat Calories|%13 Total "
                    "Carbohydrate Calories|%14 Total Protein Calories|%15 Total Grams of All Fats (including Saturated)|"
                    "%16 Total Grams of Just Saturated Fats|%17 Total Grams of Carbohydrates|%18 Total Grams of Proteins|"
                    "%19 Total Milligrams of Cholesterol||"_s;
    for (const QString &value : values.split(u'|'))
        entry = entry.arg(value);
    return entry.replace(u'|', u"\r\n"_s).toLatin1();
}

// An item as its rows show it, separated by "|": name, portion, measure,
// weight, calories, grams of fat, saturated fat, carbohydrates and
// proteins, cholesterol, then the calories of fat, carbohydrates and proteins.
inline ItemEntry itemOf(const QString &rows)
{
    const QStringList t = rows.split(u'|');
    return {{t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10], u"N/A"_s, t[11], t[12]}, QString(), t[1], t[0]};
}

inline Clock fixedClock(QDate date, QTime time)
{
    return {[date] { return date; }, [time] { return time; }};
}

inline const Clock Evening = fixedClock(QDate(2026, 12, 4), QTime(19, 45, 10));

} // namespace Testing
