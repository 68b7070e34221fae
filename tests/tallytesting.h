#pragma once

// Helpers shared by the tests of the day's totals.

#include <initializer_list>
#include <utility>

#include <QFile>
#include <QStringList>
#include <QTest>

#include "clock.h"
#include "daytally.h"
#include "itementry.h"

Q_DECLARE_METATYPE(CellColour)
Q_DECLARE_METATYPE(DayTally::Cell)

namespace TallyTesting {

using namespace Qt::StringLiterals;

inline const QStringList CellNames = {
    u"TotalFatCalories"_s, u"TotalSatFatCalories"_s, u"TotalCarbCalories"_s, u"TotalProteinCalories"_s,
    u"TotalFatGrams"_s, u"TotalSatFatGrams"_s, u"TotalCarbGrams"_s, u"TotalProteinGrams"_s,
    u"TotalCholesterolMg"_s, u"TotalFibreGrams"_s, u"TodayCalories"_s, u"FatPercent"_s,
    u"SatFatPercent"_s, u"CarbPercent"_s, u"ProteinPercent"_s, u"CholesterolPercent"_s,
};

inline QString colourName(CellColour colour)
{
    static const QStringList names = {u"standard"_s, u"red"_s, u"green"_s, u"blue"_s};
    return names[int(colour)];
}

// One entry per cell, "FatPercent 24 red", so a failed comparison names the cell.
inline QStringList describe(const DayTally &tally)
{
    QStringList cells;
    for (int c = 0; c < DayTally::CellCount; ++c) {
        const auto cell = static_cast<DayTally::Cell>(c);
        cells += CellNames[c] + u' ' + tally.text(cell) + u' ' + colourName(tally.colour(cell));
    }
    return cells;
}

// The same from "text colour" pairs in cell order, an empty text written "".
inline QStringList cells(const QString &texts)
{
    QStringList pairs = texts.split(u',');
    for (int c = 0; c < DayTally::CellCount; ++c)
        pairs[c] = CellNames[c] + u' ' + pairs[c].trimmed().replace(u"\"\""_s, QString());
    return pairs;
}

// A fresh day with some cells already holding texts.
inline DayTally dayWith(std::initializer_list<std::pair<DayTally::Cell, QString>> texts)
{
    DayTally tally;
    for (const auto &[cell, text] : texts)
        tally.setText(cell, text);
    return tally;
}

// An item as its rows show it, the texts separated by "|": portion, measure,
// weight, calories, fat, saturated fat, carbohydrate and protein grams,
// cholesterol, then fat, carbohydrate and protein calories.
inline ItemEntry itemOf(const QString &name, const QString &rows)
{
    const QStringList t = rows.split(u'|');
    ItemEntry item;
    item.itemBox = name;
    item.portion = t[0];
    ItemFields &f = item.fields;
    f.measure = t[1], f.weight = t[2], f.calories = t[3], f.fatGrams = t[4], f.satFatGrams = t[5];
    f.carbGrams = t[6], f.proteinGrams = t[7], f.cholesterolMg = t[8], f.fatCalories = t[9];
    f.carbCalories = t[10], f.proteinCalories = t[11];
    return item;
}

// One row of a colour table: the fat, carbohydrate and protein calories,
// the carbohydrate grams and cholesterol milligrams (blank-separated), the
// cell looked at with its colour before, and its text and colour after.
// Dark blue stands for "a colour no rule sets", so a kept colour shows.
struct ColourCase
{
    QString values;
    DayTally::Cell cell;
    CellColour before;
    QString text;
    CellColour after;
};

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

Q_DECLARE_METATYPE(TallyTesting::ColourCase)

inline char *toString(CellColour colour)
{
    return QTest::toString(TallyTesting::colourName(colour));
}
