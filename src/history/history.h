// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include "tally/daytally.h"
#include "tally/foodlog.h"

// The days, weeks and months behind the food log: what each calendar day
// took in, the shares of its calories, the colours of values outside the
// advised ranges, a summary of a range, the foods that gave the most
// calories, and the exports. Computed from the parsed log, never from the
// running totals the entries carry (those start again whenever the program
// restarts without "Open").
namespace History {

// A range of calendar days, both ends included.
struct Range
{
    QDate from;
    QDate to;
    bool contains(const QDate &date) const { return date >= from && date <= to; }
};

enum class Preset { Last7Days, Last30Days, Last90Days, Last365Days, All };

// The range with its ends in order after the user set one of them: the
// end not chosen follows the chosen one past it, so that a first day after
// the last makes a range of that one day.
Range ordered(Range range, bool fromChosen);

// The range a preset names: the days that end on the day of the log's last
// entry, the one written last (the whole log, oldest to newest date, for
// All). An empty log gives the days ending today.
Range presetRange(Preset preset, const FoodLog::Log &log, const QDate &today);

// The shares of the calories from fat (grams x 9), carbohydrates and
// proteins (grams x 4) in the three added up, in whole percent, ties to the
// even neighbour, as the main window computes them (a share is taken
// without its sign). nullopt when the sum is 0, or when a share lies
// beyond -32768 to 32767 percent, as when deletions of other foods nearly
// cancel a day's additions.
struct Shares
{
    std::optional<int> fat;
    std::optional<int> carb;
    std::optional<int> protein;
};
Shares shares(const FoodLog::Intake &intake);

// One calendar day that has entries.
struct Day
{
    QDate date;
    FoodLog::Intake intake; // the sum of the day's entries, deletions subtracted
    int entries = 0;        // additions and deletions
    int firstEntry = 0;     // index in Log::entries of the day's first entry; entriesOf() gives them all

    // The day's shares, as shares() gives them.
    std::optional<int> fatPercent() const;
    std::optional<int> carbPercent() const;
    std::optional<int> proteinPercent() const;

    // The colour of a value outside the advised ranges for a whole day
    // (nutrients/advisedranges.h): calories red above the calorie range and
    // below it, green within it, its ends included, judged on the whole
    // number shown; fat share red above its limit before rounding (15.2 %
    // shows as a red 15); carbohydrate share red outside its band as shown;
    // cholesterol red above its daily limit. Standard otherwise.
    CellColour caloriesColour() const;
    CellColour fatPercentColour() const;
    CellColour carbPercentColour() const;
    CellColour cholesterolColour() const;
};

// The indices in log.entries of the day's entries, in file order. They
// follow each other unless the clock was set back between them.
std::vector<int> entriesOf(const FoodLog::Log &log, const Day &day);

// Every day with entries, oldest first. Entries whose date comes earlier
// than one before it (a clock set back) still count for their own date.
std::vector<Day> days(const FoodLog::Log &log);

// Adds the entries of log from index first on to days (oldest first, as
// days() gives them), in file order, so that days made of a log and then
// of the entries appended to it equal days() of the whole log.
void addEntries(std::vector<Day> &days, const FoodLog::Log &log, std::size_t first);

// Whether a whole day's calories lie in the advised range, its ends
// included, judged on the whole number the day shows.
bool withinCalorieRange(double calories);

// The days of the range, copied out of the sorted days.
std::vector<Day> daysIn(const std::vector<Day> &days, const Range &range);

struct Summary
{
    int daysWithEntries = 0;
    double averageCalories = 0;          // per day with entries
    std::optional<int> fatPercent;       // shares of the range's calories added up
    std::optional<int> carbPercent;
    std::optional<int> proteinPercent;
    int daysWithinCalorieRange = 0;      // as withinCalorieRange() judges them
    int daysOverCholesterol = 0;         // above the daily limit
};
Summary summary(const std::vector<Day> &daysInRange);

struct FoodTotal
{
    QString food;
    double calories = 0; // additions minus deletions
    int times = 0;       // additions minus deletions
};
// The foods of the range by calories given, most first (then by times
// eaten, then by name), at most limit. A food whose additions were all
// taken off again, with no calories left, was not eaten and is left out.
std::vector<FoodTotal> topFoods(const FoodLog::Log &log, const Range &range, int limit);

// Bars for a chart over the range: one per day while the range is short,
// else one per week (from Monday), month, year, decade or century, each
// the average of its days with entries. A period without entries has no
// bar.
enum class Period { Day, Week, Month, Year, Decade, Century };
struct Bar
{
    QDate start;            // first day of the period
    Period period = Period::Day;
    FoodLog::Intake intake; // average per day with entries
    int days = 0;           // days with entries in the period
};
// The most places a chart's time axis is given.
constexpr int MostChartPlaces = 400;
// Day up to 92 days, Week up to 731, then the shortest of Month, Year,
// Decade and Century that covers the range in MostChartPlaces places or fewer.
Period periodFor(const Range &range);
std::vector<Bar> bars(const std::vector<Day> &daysInRange, Period period);

// The first day of the period that holds date: the Monday of its week,
// the 1st of its month, 1 January of its year, of its decade's first year
// (2020, 2030 ...) or of its century's (2000, 2100 ...), never before 1 January of year 1.
QDate periodStart(const QDate &date, Period period);
// The first day of the period after the one that starts at start.
QDate nextPeriodStart(const QDate &start, Period period);

// What a chart can show of a day: one of its amounts.
enum class Nutrient { Calories, Fat, SaturatedFat, Carbohydrates, Proteins, Cholesterol };
double amountOf(const FoodLog::Intake &intake, Nutrient nutrient);

// The titles of the columns of the six amounts, as the days table and the
// exports name them ("Calories", "Fat (g)" ... "Cholesterol (mg)"), and of
// the days table and its export as a whole: the date, the six amounts, the
// three shares ("Fat (%)" ...) and "Entries".
const QStringList &intakeColumns();
const QStringList &dayColumns();

// An amount of calories, grams or milligrams as the table and the exports
// write it: rounded to two decimals, a dot before them, no trailing zeros
// ("62.35", "1834.5", "-98", "0"). From 1E15 on, where two decimals mean
// nothing, as the number-text rule writes it ("2.5E+307"); a sum beyond
// the range of a double as the largest double ("1.79769313486231E+308",
// with a minus sign below it), never as 0.
QString amountText(double value);

// The exports: UTF-8 with a header row, ISO dates, dots for decimals,
// quoted as RFC 4180 says, lines ended by CR LF. The days: one row per
// day with entries, amounts as amountText writes them. The entries: by
// date, in file order within a day, values as the log has them, a deletion
// marked "deleted" with negative values, an unknown time of day left empty.
// A food or portion that starts with "=", "+", "-", "@", a tab or a CR is
// written after an apostrophe, so that a spreadsheet takes it for text and
// never runs it as a formula; numbers are written as they are.
QByteArray daysCsv(const std::vector<Day> &daysInRange);
QByteArray entriesCsv(const FoodLog::Log &log, const Range &range);

// Writes an export to the file the user named, replacing it atomically:
// a failure leaves the old file as it was. Refuses the names of Forkwell's
// own files (ForkwellFiles::isOwnFile), so that an export never takes
// their place. False with *error naming the file and
// the reason.
bool writeExport(const QString &path, QByteArrayView bytes, QString *error);

} // namespace History
