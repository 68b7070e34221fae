// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QList>
#include <QString>

#include "history/history.h"

// What the history window and the report show: the food log as read, and
// one range of it with its days, summary, chart bars and top foods. Built
// from the history library's results; nothing here adds up or reads a
// number of its own.
namespace HistoryModel {

// The food log at a path, read and split into days, with what it takes
// to read on where it grew.
struct LoadedLog
{
    QString path;
    bool exists = false;       // false: no food log yet, which is no error
    QString error;             // the system's reason when the log exists but cannot be read
    FoodLog::Log log;
    std::vector<History::Day> days; // oldest first

    qint64 size = 0;           // bytes read
    qint64 wholeEnd = 0;       // where the last whole entry ends; after it only damaged bytes
    QByteArray tail;           // the last bytes before wholeEnd, up to KeptBytes of them
    quint64 fileId = 0;        // the file's identity where the system gives one, else 0
};
LoadedLog load(const QString &path);

// The bytes kept from the end of the part of the log already read.
constexpr qint64 KeptBytes = 4096;

// Brings the log up to date with its file. When the file has only grown,
// the last KeptBytes read before still in place, only the bytes
// after the last whole entry are parsed and added to the entries and
// days, a torn entry there read again whole; otherwise (the file replaced,
// shorter, changed in what was read, gone, or unreadable) it is read
// afresh. Either way the result equals load() of the file as it now is.
enum class Update { Appended, Reread };
Update update(LoadedLog &loaded);

// The size and the time of the last change of the log, to tell when it
// has grown; a missing log has size -1.
struct Stamp
{
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const Stamp &) const = default;
};
Stamp stamp(const QString &path);

// How many foods the window and the report list as the top foods.
constexpr int TopFoodCount = 15;

// The places on a chart's time axis: one per period from the range's
// start to its end, each with the bar of its period when that period has
// entries. A place without a bar is a gap. Never more than
// History::MostChartPlaces of them.
struct ChartPlace
{
    QDate start;
    QString label;                  // the period in full: "3/14/26", "Mar 2026", "2026", "2020–2029"
    QString axisLabel;              // what the axis may write under it, "3/14", a January's "2026", a
                                    // year or a decade's first; empty for nothing
    std::optional<History::Bar> bar;
};

struct RangeModel
{
    History::Range range;
    std::vector<History::Day> days; // the range's days with entries, oldest first
    History::Summary summary;
    History::Period period = History::Period::Day;
    std::vector<ChartPlace> places;
    std::vector<History::FoodTotal> topFoods;
};

// The range's view. The charts run over the part of the range the log
// covers, from its first to its last entry, so a range reaching far
// beyond the log draws no empty years; the period follows that span.
RangeModel forRange(const LoadedLog &loaded, const History::Range &range);

// The range in words, the locale's short dates: "3/1/26 to 3/30/26".
QString rangeText(const History::Range &range);

// The summary as label and value pairs, in the order shown.
QList<std::pair<QString, QString>> summaryRows(const RangeModel &view);

// The sentence shown instead of the days when there are none to show:
// no log yet, an empty log, no entry in the range, or a log that cannot be
// read. Empty when the range has days.
QString emptyText(const LoadedLog &loaded, const RangeModel &view);

// "2 damaged entries skipped"; empty when none were.
QString damagedText(const FoodLog::Log &log);

// The nutrients the amounts chart offers, in the order offered, with their names.
constexpr History::Nutrient ChartNutrients[] = {History::Nutrient::Calories,      History::Nutrient::Fat,
                                                History::Nutrient::SaturatedFat,  History::Nutrient::Carbohydrates,
                                                History::Nutrient::Proteins,      History::Nutrient::Cholesterol};
QString nutrientName(History::Nutrient nutrient); // "Calories", "Saturated fat"
QString unitOf(History::Nutrient nutrient);        // "kcal", "g", "mg"

// What the amounts chart draws beside the bars: the advised band (low
// to high) or limit (high alone) where the program has one, and the
// average of the range's days with entries.
struct ChartGuides
{
    std::optional<double> low;
    std::optional<double> high;
    QString limitName;      // "1100–1600 kcal", "300 mg"; empty without a limit
    std::optional<double> average;
    QString averageName;    // "Average: 1,174 kcal"; empty without days
};
ChartGuides guides(const RangeModel &view, History::Nutrient nutrient);

// The title of the amounts chart for the period: "Calories per day",
// "Cholesterol per week, the average of its days with entries".
QString amountsTitle(History::Period period, History::Nutrient nutrient);

// What a chart shows, for a screen reader: "Calories per day, 30 days from
// 29 Nov to 28 Dec 2026, 3 within 1100–1600 kcal"; the shares chart's:
// "Shares of calories ..., average fat 31 %, carbohydrate 50 %, protein 19 %".
QString amountsDescription(const RangeModel &view, History::Nutrient nutrient);
QString sharesDescription(const RangeModel &view);

// Whether the report adds the cholesterol chart: a day of the range is
// over the daily limit.
bool anyDayOverCholesterol(const RangeModel &view);

} // namespace HistoryModel
