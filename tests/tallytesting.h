#pragma once

// Helpers shared by the tests of the day's totals.

#include <utility>

#include <QFile>
#include <QStringList>
#include <QTest>

#include "clock.h"
#include "daytally.h"
#include "itementry.h"

namespace TallyTesting {

using namespace Qt::StringLiterals;

inline const QStringList CellNames = u"TotalFatCalories TotalSatFatCalories TotalCarbCalories TotalProteinCalories "
                                     "TotalFatGrams TotalSatFatGrams TotalCarbGrams TotalProteinGrams TotalCholesterolMg "
                                     "TotalFibreGrams TodayCalories FatPercent SatFatPercent CarbPercent ProteinPercent "
                                     "CholesterolPercent"_s.split(u' ');
inline const QStringList ColourNames = {u"standard"_s, u"red"_s, u"green"_s, u"blue"_s}; // in CellColour order

// One entry per cell, "FatPercent 24 red", so a failed comparison names the cell.
inline QStringList describe(const DayTally &tally)
{
    QStringList entries;
    for (int c = 0; c < DayTally::CellCount; ++c) {
        const auto cell = DayTally::Cell(c);
        entries += CellNames[c] + u' ' + tally.text(cell) + u' ' + ColourNames[int(tally.colour(cell))];
    }
    return entries;
}

// Cells written "text colour", comma-separated in cell order. A colour left
// out is the standard one (to setCells: the colour the cell has).
inline QList<std::pair<QString, int>> parse(const QString &written)
{
    QList<std::pair<QString, int>> parsed;
    for (QString text : written.split(u',')) {
        text = text.trimmed();
        const int colour = int(ColourNames.indexOf(text.section(u' ', -1)));
        if (colour >= 0)
            text = text.chopped(ColourNames[colour].size()).trimmed();
        parsed += {text, colour};
    }
    return parsed;
}

// describe() as expected, from cells written as above.
inline QStringList cells(const QString &written)
{
    const QList<std::pair<QString, int>> parsed = parse(written);
    QStringList entries;
    for (int c = 0; c < DayTally::CellCount; ++c)
        entries += CellNames[c] + u' ' + parsed.value(c).first + u' ' + ColourNames[qMax(parsed.value(c).second, 0)];
    return entries;
}

// Sets the day's first cells as written above.
inline void setCells(DayTally &tally, const QString &written)
{
    const QList<std::pair<QString, int>> parsed = parse(written);
    for (int c = 0; c < parsed.size(); ++c) {
        tally.setText(DayTally::Cell(c), parsed[c].first);
        if (parsed[c].second >= 0)
            tally.setColour(DayTally::Cell(c), CellColour(parsed[c].second));
    }
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
    Clock clock;
    clock.date = [date] { return date; };
    clock.time = [time] { return time; };
    return clock;
}

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace TallyTesting
