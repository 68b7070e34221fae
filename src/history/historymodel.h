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

// The food log at a path, read and split into days.
struct LoadedLog
{
    QString path;
    bool exists = false;       // false: no "mylist" yet, which is no error
    QString error;             // the system's reason when the log exists but cannot be read
    FoodLog::Log log;
    std::vector<History::Day> days; // oldest first
};
LoadedLog load(const QString &path);

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

// The places on a chart's time axis: one per day, week or month from the
// range's start to its end, each with the bar of its period when that
// period has entries. A place without a bar is a gap.
struct ChartPlace
{
    QDate start;
    QString label;                  // the period in full: "3/14/26", "Mar 2026"
    QString axisLabel;              // what the axis may write under it, "3/14" or a January's "2026"; empty for nothing
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

// The title of the calories chart for the period: "Calories per day".
QString caloriesTitle(History::Period period);

} // namespace HistoryModel
