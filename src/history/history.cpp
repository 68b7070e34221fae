// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>

#include <QFileInfo>
#include <QHash>

#include "database/forkwellfiles.h"
#include "database/textfile.h"
#include "nutrients/advisedranges.h"
#include "nutrients/numberrules.h"

using namespace Qt::StringLiterals;

namespace {

// A share in whole percent, without its sign, as the main window shows it.
std::optional<int> percentOf(double part, double whole)
{
    return NumberRules::wholeNumber(std::abs(part / whole) * 100);
}

History::Shares sharesOf(double fat, double carb, double protein)
{
    const double sum = fat + carb + protein;
    if (sum == 0)
        return {};
    return {percentOf(fat, sum), percentOf(carb, sum), percentOf(protein, sum)};
}

bool overCholesterol(double milligrams)
{
    return milligrams > AdvisedRanges::CholesterolMg;
}

// A text a spreadsheet would take for a formula, or for the start of one,
// goes after an apostrophe, which it shows as text and never runs.
QString safeText(const QString &text)
{
    static constexpr QStringView FormulaStarts = u"=+-@\t\r";
    return !text.isEmpty() && FormulaStarts.contains(text.front()) ? u'\'' + text : text;
}

// One field of a CSV row, quoted where it holds a comma, a quote or a line
// break, a quote inside doubled.
void addField(QByteArray &csv, const QString &field)
{
    if (!csv.isEmpty() && !csv.endsWith('\n'))
        csv += ',';
    const QByteArray utf8 = field.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n')) {
        csv += utf8;
        return;
    }
    csv += '"';
    for (const char c : utf8) {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}

void addRow(QByteArray &csv, const QStringList &fields)
{
    for (const QString &field : fields)
        addField(csv, field);
    csv += "\r\n";
}

QString percentText(const std::optional<int> &percent)
{
    return percent ? QString::number(*percent) : QString();
}

constexpr std::array<double FoodLog::Intake::*, 6> IntakeValues = {
    &FoodLog::Intake::calories,  &FoodLog::Intake::fatGrams,     &FoodLog::Intake::satFatGrams,
    &FoodLog::Intake::carbGrams, &FoodLog::Intake::proteinGrams, &FoodLog::Intake::cholesterolMg,
};

// The values in the header's order, each written by text.
QStringList intakeFields(const FoodLog::Intake &intake, QString (*text)(double))
{
    QStringList fields;
    for (double FoodLog::Intake::*value : IntakeValues)
        fields += text(intake.*value);
    return fields;
}


} // namespace

namespace History {

Range ordered(Range range, bool fromChosen)
{
    if (range.from > range.to) {
        if (fromChosen)
            range.to = range.from;
        else
            range.from = range.to;
    }
    return range;
}

Range presetRange(Preset preset, const FoodLog::Log &log, const QDate &today)
{
    const QDate last = log.entries.empty() ? today : log.entries.back().date;
    switch (preset) {
    case Preset::Last7Days:
        return {last.addDays(-6), last};
    case Preset::Last30Days:
        return {last.addDays(-29), last};
    case Preset::Last90Days:
        return {last.addDays(-89), last};
    case Preset::Last365Days:
        return {last.addDays(-364), last};
    case Preset::All:
        break;
    }
    if (log.entries.empty())
        return {today, today};
    const auto [first, latest] = std::minmax_element(log.entries.begin(), log.entries.end(),
                                                     [](const auto &a, const auto &b) { return a.date < b.date; });
    return {first->date, latest->date};
}

Shares shares(const FoodLog::Intake &intake)
{
    return sharesOf(intake.fatGrams * 9, intake.carbGrams * 4, intake.proteinGrams * 4);
}

std::optional<int> Day::fatPercent() const
{
    return shares(intake).fat;
}

std::optional<int> Day::carbPercent() const
{
    return shares(intake).carb;
}

std::optional<int> Day::proteinPercent() const
{
    return shares(intake).protein;
}

CellColour Day::caloriesColour() const
{
    return withinCalorieRange(intake.calories) ? CellColour::Green : CellColour::Red;
}

CellColour Day::fatPercentColour() const
{
    // Decided on the share before rounding, as when adding.
    const double fat = intake.fatGrams * 9;
    const double sum = fat + (intake.carbGrams + intake.proteinGrams) * 4;
    return sum != 0 && std::abs(fat / sum) * 100 > AdvisedRanges::FatShareHigh ? CellColour::Red : CellColour::Standard;
}

CellColour Day::carbPercentColour() const
{
    const std::optional<int> carb = carbPercent();
    return carb && (*carb < AdvisedRanges::ShareLow || *carb > AdvisedRanges::ShareHigh) ? CellColour::Red
                                                                                          : CellColour::Standard;
}

CellColour Day::cholesterolColour() const
{
    return overCholesterol(intake.cholesterolMg) ? CellColour::Red : CellColour::Standard;
}

std::vector<int> entriesOf(const FoodLog::Log &log, const Day &day)
{
    std::vector<int> found;
    found.reserve(static_cast<size_t>(day.entries));
    for (size_t i = static_cast<size_t>(day.firstEntry); i < log.entries.size() && int(found.size()) < day.entries; ++i) {
        if (log.entries[i].date == day.date)
            found.push_back(int(i));
    }
    return found;
}

std::vector<Day> days(const FoodLog::Log &log)
{
    std::vector<Day> result;
    addEntries(result, log, 0);
    return result;
}

void addEntries(std::vector<Day> &days, const FoodLog::Log &log, std::size_t first)
{
    std::size_t current = days.size();
    for (std::size_t i = first; i < log.entries.size(); ++i) {
        const FoodLog::Entry &entry = log.entries[i];
        // Entries of a day follow each other, and days come in order, so the
        // day just seen or a new last day is nearly always the one.
        if (current == days.size() || days[current].date != entry.date) {
            const auto place = days.empty() || days.back().date < entry.date
                ? days.end()
                : std::lower_bound(days.begin(), days.end(), entry.date,
                                   [](const Day &day, const QDate &date) { return day.date < date; });
            current = std::size_t(place - days.begin());
            if (place == days.end() || place->date != entry.date)
                days.insert(place, Day{entry.date, {}, 0, int(i)});
        }
        days[current].intake += entry.intake;
        ++days[current].entries;
    }
}

bool withinCalorieRange(double calories)
{
    const double shown = std::nearbyint(calories);
    return shown >= AdvisedRanges::CaloriesLow && shown <= AdvisedRanges::CaloriesHigh;
}

std::vector<Day> daysIn(const std::vector<Day> &days, const Range &range)
{
    const auto from = std::lower_bound(days.begin(), days.end(), range.from,
                                       [](const Day &day, const QDate &date) { return day.date < date; });
    const auto to = std::upper_bound(from, days.end(), range.to,
                                     [](const QDate &date, const Day &day) { return date < day.date; });
    return {from, to};
}

Summary summary(const std::vector<Day> &daysInRange)
{
    Summary result;
    FoodLog::Intake total;
    for (const Day &day : daysInRange) {
        total += day.intake;
        result.daysWithinCalorieRange += withinCalorieRange(day.intake.calories) ? 1 : 0;
        result.daysOverCholesterol += overCholesterol(day.intake.cholesterolMg) ? 1 : 0;
    }
    result.daysWithEntries = int(daysInRange.size());
    if (result.daysWithEntries > 0)
        result.averageCalories = total.calories / result.daysWithEntries;
    const Shares totalShares = shares(total);
    result.fatPercent = totalShares.fat;
    result.carbPercent = totalShares.carb;
    result.proteinPercent = totalShares.protein;
    return result;
}

std::vector<FoodTotal> topFoods(const FoodLog::Log &log, const Range &range, int limit)
{
    // The reader shares one text among the entries of a food, so a food is
    // nearly always found by where its text lies, and only a text not seen
    // before is looked up by its name.
    std::unordered_map<const QChar *, std::pair<qsizetype, size_t>> placeOfText;
    QHash<QString, size_t> placeOfName;
    std::vector<FoodTotal> foods;
    for (const FoodLog::Entry &entry : log.entries) {
        if (!range.contains(entry.date))
            continue;
        auto [known, added] = placeOfText.try_emplace(entry.food.constData(), entry.food.size(), foods.size());
        if (added || known->second.first != entry.food.size()) {
            const auto named = placeOfName.constFind(entry.food);
            const size_t place = named == placeOfName.constEnd() ? foods.size() : *named;
            if (place == foods.size()) {
                placeOfName.insert(entry.food, place);
                foods.push_back({entry.food, 0, 0});
            }
            known->second = {entry.food.size(), place};
        }
        FoodTotal &food = foods[known->second.second];
        food.calories += entry.intake.calories;
        food.times += entry.deletion ? -1 : 1;
    }
    // A food added and taken off again was not eaten.
    std::erase_if(foods, [](const FoodTotal &food) { return food.times <= 0 && food.calories <= 0; });
    const auto byCalories = [](const FoodTotal &a, const FoodTotal &b) {
        if (a.calories != b.calories)
            return a.calories > b.calories;
        if (a.times != b.times)
            return a.times > b.times;
        return a.food < b.food;
    };
    const size_t kept = std::min(foods.size(), static_cast<size_t>(std::max(limit, 0)));
    std::partial_sort(foods.begin(), foods.begin() + static_cast<std::ptrdiff_t>(kept), foods.end(), byCalories);
    foods.resize(kept);
    return foods;
}

Period periodFor(const Range &range)
{
    const qint64 length = range.from.daysTo(range.to) + 1;
    if (length <= 92)
        return Period::Day;
    if (length <= 731)
        return Period::Week;
    for (const Period period : {Period::Month, Period::Year, Period::Decade}) {
        int places = 0;
        for (QDate start = periodStart(range.from, period); start <= range.to && places <= MostChartPlaces;
             start = nextPeriodStart(start, period))
            ++places;
        if (places <= MostChartPlaces)
            return period;
    }
    return Period::Century;
}

QDate periodStart(const QDate &date, Period period)
{
    // Year 1 starts the first decade and century: there is no year 0.
    const auto yearStart = [](int year) { return QDate(std::max(year, 1), 1, 1); };
    switch (period) {
    case Period::Day:
        break;
    case Period::Week:
        return date.addDays(1 - date.dayOfWeek());
    case Period::Month:
        return QDate(date.year(), date.month(), 1);
    case Period::Year:
        return yearStart(date.year());
    case Period::Decade:
        return yearStart(date.year() - date.year() % 10);
    case Period::Century:
        return yearStart(date.year() - date.year() % 100);
    }
    return date;
}

QDate nextPeriodStart(const QDate &start, Period period)
{
    switch (period) {
    case Period::Day:
        break;
    case Period::Week:
        return start.addDays(7);
    case Period::Month:
        return start.addMonths(1);
    case Period::Year:
        return start.addYears(1);
    case Period::Decade:
        return QDate(start.year() - start.year() % 10 + 10, 1, 1);
    case Period::Century:
        return QDate(start.year() - start.year() % 100 + 100, 1, 1);
    }
    return start.addDays(1);
}

double amountOf(const FoodLog::Intake &intake, Nutrient nutrient)
{
    return intake.*IntakeValues[std::size_t(nutrient)];
}

const QStringList &intakeColumns()
{
    static const QStringList columns = {u"Calories"_s,          u"Fat (g)"_s,      u"Saturated fat (g)"_s,
                                        u"Carbohydrates (g)"_s, u"Proteins (g)"_s, u"Cholesterol (mg)"_s};
    return columns;
}

const QStringList &dayColumns()
{
    static const QStringList columns = QStringList{u"Date"_s} + intakeColumns()
        + QStringList{u"Fat (%)"_s, u"Carbohydrates (%)"_s, u"Proteins (%)"_s, u"Entries"_s};
    return columns;
}

std::vector<Bar> bars(const std::vector<Day> &daysInRange, Period period)
{
    std::vector<Bar> result;
    for (const Day &day : daysInRange) {
        const QDate start = periodStart(day.date, period);
        if (result.empty() || result.back().start != start)
            result.push_back({start, period, {}, 0});
        result.back().intake += day.intake;
        ++result.back().days;
    }
    for (Bar &bar : result) {
        for (double FoodLog::Intake::*value : IntakeValues)
            bar.intake.*value /= bar.days;
    }
    return result;
}

QString amountText(double value)
{
    if (!std::isfinite(value))
        return NumberRules::numberText(std::copysign(std::numeric_limits<double>::max(), value));
    if (std::abs(value) >= 1e15)
        return NumberRules::numberText(value);
    const double rounded = std::round(value * 100) / 100;
    if (rounded == 0)
        return u"0"_s;
    QString text = QString::number(rounded, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QByteArray daysCsv(const std::vector<Day> &daysInRange)
{
    QByteArray csv;
    addRow(csv, dayColumns());
    for (const Day &day : daysInRange) {
        const Shares dayShares = shares(day.intake);
        addRow(csv, QStringList{day.date.toString(Qt::ISODate)} + intakeFields(day.intake, amountText)
                        + QStringList{percentText(dayShares.fat), percentText(dayShares.carb),
                                      percentText(dayShares.protein), QString::number(day.entries)});
    }
    return csv;
}

QByteArray entriesCsv(const FoodLog::Log &log, const Range &range)
{
    std::vector<const FoodLog::Entry *> inRange;
    for (const FoodLog::Entry &entry : log.entries) {
        if (range.contains(entry.date))
            inRange.push_back(&entry);
    }
    std::stable_sort(inRange.begin(), inRange.end(), [](const auto *a, const auto *b) { return a->date < b->date; });

    QByteArray csv;
    // An entry's values are the log's own figures, written back as the program wrote them.
    addRow(csv, QStringList{u"Date"_s, u"Time"_s, u"Food"_s, u"Portion"_s, u"Entry"_s} + intakeColumns());
    for (const FoodLog::Entry *entry : inRange) {
        addRow(csv, QStringList{entry->date.toString(Qt::ISODate),
                                entry->time ? entry->time->toString(u"HH:mm:ss"_s) : QString(), safeText(entry->food),
                                safeText(entry->portion), entry->deletion ? u"deleted"_s : u"added"_s}
                        + intakeFields(entry->intake, NumberRules::numberText));
    }
    return csv;
}

bool writeExport(const QString &path, QByteArrayView bytes, QString *error)
{
    if (ForkwellFiles::isOwnFile(QFileInfo(path).fileName())) {
        if (error)
            *error = u"Cannot write %1: that name belongs to Forkwell's own files"_s.arg(path);
        return false;
    }
    QString reason;
    if (TextFile::writeBytesAtomically(path, bytes, &reason))
        return true;
    if (error)
        *error = u"Cannot write %1: %2"_s.arg(path, reason);
    return false;
}

} // namespace History
