// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/historymodel.h"

#include <algorithm>
#include <cmath>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include "database/textfile.h"
#include "nutrients/advisedranges.h"

using namespace Qt::StringLiterals;

namespace HistoryModel {

namespace {

const QString HowEntriesComeAbout =
    u"Forkwell writes an entry into its food log each time you add a food to your list or delete "
    "one in the main window; the days show here as soon as there are entries."_s;

QString percentText(const std::optional<int> &percent)
{
    return percent ? u"%1\u00a0%"_s.arg(*percent) : u"—"_s;
}

// The locale's short date without its year, "3/14" for "3/14/26": a day
// under a chart whose range is shown with its years.
QString dayMonthFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(u"[^dM]*y+[^dM]*$"_s));
    format.remove(QRegularExpression(u"^[^dM]*y+[^dM]*"_s));
    return format;
}

QString placeLabel(const QLocale &locale, const QDate &start, History::Period period)
{
    switch (period) {
    case History::Period::Day:
    case History::Period::Week:
        break;
    case History::Period::Month:
        return locale.toString(start, u"MMM yyyy"_s);
    case History::Period::Year:
        return QString::number(start.year());
    case History::Period::Decade:
    case History::Period::Century:
        return u"%1–%2"_s.arg(start.year()).arg(History::nextPeriodStart(start, period).year() - 1);
    }
    return locale.toString(start, QLocale::ShortFormat);
}

QString axisLabel(const QLocale &locale, const QDate &start, History::Period period)
{
    switch (period) {
    case History::Period::Day:
    case History::Period::Week:
        break;
    case History::Period::Month:
        return start.month() == 1 ? QString::number(start.year()) : QString();
    case History::Period::Year:
    case History::Period::Decade:
    case History::Period::Century:
        return QString::number(start.year());
    }
    return locale.toString(start, dayMonthFormat(locale));
}

quint64 fileIdOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return quint64(info.st_ino) ^ (quint64(info.st_dev) << 32);
#else
    Q_UNUSED(path);
#endif
    return 0;
}

// Keeps what update() compares: the last bytes before the end of the last
// whole entry, of the file's bytes from offset on.
void keepTail(LoadedLog &loaded, QByteArrayView bytes, qint64 offset)
{
    loaded.wholeEnd = loaded.log.entries.empty()
        ? 0
        : loaded.log.entries.back().offset + loaded.log.entries.back().length;
    const qint64 tailStart = std::max<qint64>(0, loaded.wholeEnd - KeptBytes);
    loaded.tail = bytes.sliced(tailStart - offset, loaded.wholeEnd - tailStart).toByteArray();
}

// A whole amount in the locale's form, "1,174"; from 1E15 on, and past the
// range of a double, as the exports write it.
QString wholeText(double value)
{
    return std::abs(value) < 1e15 ? QLocale().toString(value, 'f', 0) : History::amountText(value);
}

QString withUnit(double value, History::Nutrient nutrient)
{
    return u"%1 %2"_s.arg(wholeText(value), unitOf(nutrient));
}

} // namespace

LoadedLog load(const QString &path)
{
    LoadedLog loaded;
    loaded.path = path;
    loaded.exists = QFileInfo::exists(path);
    if (!loaded.exists)
        return loaded;
    loaded.fileId = fileIdOf(path);
    if (const std::optional<QByteArray> bytes = TextFile::readBytes(path, &loaded.error)) {
        loaded.error.clear();
        loaded.log = FoodLog::parse(*bytes);
        loaded.days = History::days(loaded.log);
        loaded.size = bytes->size();
        keepTail(loaded, *bytes, 0);
    }
    return loaded;
}

Update update(LoadedLog &loaded)
{
    const qint64 kept = loaded.wholeEnd - loaded.tail.size();
    std::optional<QByteArray> bytes;
    if (loaded.exists && loaded.error.isEmpty() && QFileInfo::exists(loaded.path)
        && fileIdOf(loaded.path) == loaded.fileId)
        bytes = TextFile::readBytesFrom(loaded.path, kept);
    // The part read before must still be there, its last bytes unchanged,
    // and the file no shorter.
    if (!bytes || kept + bytes->size() < loaded.size || !bytes->startsWith(loaded.tail)) {
        loaded = load(loaded.path);
        return Update::Reread;
    }
    // After the last whole entry there were only damaged bytes, one run of
    // them: they are parsed again with what follows them now.
    if (loaded.size > loaded.wholeEnd) {
        loaded.log.damaged -= 1;
        loaded.log.damagedBytes -= loaded.size - loaded.wholeEnd;
    }
    FoodLog::Log added = FoodLog::parse(QByteArrayView(*bytes).sliced(loaded.tail.size()));
    const std::size_t first = loaded.log.entries.size();
    for (FoodLog::Entry &entry : added.entries) {
        entry.offset += loaded.wholeEnd;
        loaded.log.entries.push_back(std::move(entry));
    }
    loaded.log.damaged += added.damaged;
    loaded.log.damagedBytes += added.damagedBytes;
    History::addEntries(loaded.days, loaded.log, first);
    loaded.size = kept + bytes->size();
    keepTail(loaded, *bytes, kept);
    return Update::Appended;
}

Stamp stamp(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified()};
}

RangeModel forRange(const LoadedLog &loaded, const History::Range &range)
{
    RangeModel view;
    view.range = range;
    view.days = History::daysIn(loaded.days, range);
    view.summary = History::summary(view.days);
    view.topFoods = History::topFoods(loaded.log, range, TopFoodCount);
    if (view.days.empty())
        return view;

    const History::Range span{std::max(range.from, loaded.days.front().date),
                              std::min(range.to, loaded.days.back().date)};
    view.period = History::periodFor(span);
    const std::vector<History::Bar> bars = History::bars(view.days, view.period);
    const QLocale locale;
    auto bar = bars.begin();
    for (QDate start = History::periodStart(span.from, view.period); start <= span.to;
         start = History::nextPeriodStart(start, view.period)) {
        ChartPlace place{start, placeLabel(locale, start, view.period), axisLabel(locale, start, view.period),
                         std::nullopt};
        const QDate next = History::nextPeriodStart(start, view.period);
        for (; bar != bars.end() && bar->start < next; ++bar) {
            if (bar->start >= start)
                place.bar = *bar;
        }
        view.places.push_back(std::move(place));
    }
    return view;
}

QString rangeText(const History::Range &range)
{
    const QLocale locale;
    return u"%1 to %2"_s.arg(locale.toString(range.from, QLocale::ShortFormat),
                             locale.toString(range.to, QLocale::ShortFormat));
}

QList<std::pair<QString, QString>> summaryRows(const RangeModel &view)
{
    const QLocale locale;
    const History::Summary &summary = view.summary;
    const bool any = summary.daysWithEntries > 0;
    return {
        {u"Days with entries"_s,
         u"%1 of %2"_s.arg(locale.toString(summary.daysWithEntries),
                           locale.toString(view.range.from.daysTo(view.range.to) + 1))},
        {u"Average calories"_s,
         any ? u"%1 kcal a day"_s.arg(wholeText(summary.averageCalories)) : u"—"_s},
        {u"Average shares"_s,
         u"fat %1, carbohydrate %2, protein %3"_s.arg(percentText(summary.fatPercent),
                                                     percentText(summary.carbPercent),
                                                     percentText(summary.proteinPercent))},
        {u"Days within %1"_s.arg(guides(view, History::Nutrient::Calories).limitName),
         locale.toString(summary.daysWithinCalorieRange)},
        {u"Days over %1 cholesterol"_s.arg(guides(view, History::Nutrient::Cholesterol).limitName),
         locale.toString(summary.daysOverCholesterol)},
    };
}

QString emptyText(const LoadedLog &loaded, const RangeModel &view)
{
    const QString path = QDir::toNativeSeparators(loaded.path);
    if (!loaded.error.isEmpty())
        return u"The food log %1 cannot be read: %2."_s.arg(path, loaded.error);
    if (!loaded.exists) {
        return u"There is no food log in %1 yet. "_s.arg(
                   QDir::toNativeSeparators(QFileInfo(loaded.path).absolutePath()))
            + HowEntriesComeAbout;
    }
    if (loaded.log.entries.empty())
        return u"The food log %1 holds no entries yet. "_s.arg(path) + HowEntriesComeAbout;
    if (view.days.empty()) {
        return u"No entries from %1. Forkwell writes an entry into its food log each time you add "
               "a food to your list or delete one in the main window; choose another range to see "
               "the days that have entries."_s.arg(rangeText(view.range));
    }
    return {};
}

QString damagedText(const FoodLog::Log &log)
{
    if (log.damaged == 0)
        return {};
    return log.damaged == 1 ? u"1 damaged entry skipped"_s
                            : u"%1 damaged entries skipped"_s.arg(QLocale().toString(log.damaged));
}

QString nutrientName(History::Nutrient nutrient)
{
    switch (nutrient) {
    case History::Nutrient::Calories:
        break;
    case History::Nutrient::Fat:
        return u"Fat"_s;
    case History::Nutrient::SaturatedFat:
        return u"Saturated fat"_s;
    case History::Nutrient::Carbohydrates:
        return u"Carbohydrates"_s;
    case History::Nutrient::Proteins:
        return u"Proteins"_s;
    case History::Nutrient::Cholesterol:
        return u"Cholesterol"_s;
    }
    return u"Calories"_s;
}

QString unitOf(History::Nutrient nutrient)
{
    switch (nutrient) {
    case History::Nutrient::Calories:
        return u"kcal"_s;
    case History::Nutrient::Cholesterol:
        return u"mg"_s;
    default:
        return u"g"_s;
    }
}

ChartGuides guides(const RangeModel &view, History::Nutrient nutrient)
{
    ChartGuides result;
    if (nutrient == History::Nutrient::Calories) {
        result.low = AdvisedRanges::CaloriesLow;
        result.high = AdvisedRanges::CaloriesHigh;
        result.limitName = u"%1–%2 %3"_s.arg(*result.low).arg(*result.high).arg(unitOf(nutrient));
    } else if (nutrient == History::Nutrient::Cholesterol) {
        result.high = AdvisedRanges::CholesterolMg;
        result.limitName = u"%1 %2"_s.arg(*result.high).arg(unitOf(nutrient));
    }
    if (!view.days.empty()) {
        double sum = 0;
        for (const History::Day &day : view.days)
            sum += History::amountOf(day.intake, nutrient);
        result.average = sum / double(view.days.size());
        result.averageName = u"Average: %1"_s.arg(withUnit(*result.average, nutrient));
    }
    return result;
}

QString amountsTitle(History::Period period, History::Nutrient nutrient)
{
    const QString name = nutrientName(nutrient);
    switch (period) {
    case History::Period::Day:
        break;
    case History::Period::Week:
        return u"%1 per week, the average of its days with entries"_s.arg(name);
    case History::Period::Month:
        return u"%1 per month, the average of its days with entries"_s.arg(name);
    case History::Period::Year:
        return u"%1 per year, the average of its days with entries"_s.arg(name);
    case History::Period::Decade:
        return u"%1 per decade, the average of its days with entries"_s.arg(name);
    case History::Period::Century:
        return u"%1 per century, the average of its days with entries"_s.arg(name);
    }
    return u"%1 per day"_s.arg(name);
}

namespace {

// "30 days from 29 Nov to 28 Dec 2026": the range's length and its ends,
// the first without the year it shares with the last.
QString spanText(const History::Range &range)
{
    const QLocale locale;
    const qint64 length = range.from.daysTo(range.to) + 1;
    const QString from = locale.toString(range.from, range.from.year() == range.to.year() ? u"d MMM"_s : u"d MMM yyyy"_s);
    return u"%1 %2 from %3 to %4"_s.arg(locale.toString(length), length == 1 ? u"day"_s : u"days"_s, from,
                                       locale.toString(range.to, u"d MMM yyyy"_s));
}

} // namespace

QString amountsDescription(const RangeModel &view, History::Nutrient nutrient)
{
    const ChartGuides chartGuides = guides(view, nutrient);
    QString text = u"%1, %2"_s.arg(amountsTitle(view.period, nutrient), spanText(view.range));
    if (nutrient == History::Nutrient::Calories)
        text += u", %1 within %2"_s.arg(QLocale().toString(view.summary.daysWithinCalorieRange), chartGuides.limitName);
    else if (nutrient == History::Nutrient::Cholesterol)
        text += u", %1 over %2"_s.arg(QLocale().toString(view.summary.daysOverCholesterol), chartGuides.limitName);
    if (chartGuides.average)
        text += u", average %1"_s.arg(withUnit(*chartGuides.average, nutrient));
    return text;
}

QString sharesDescription(const RangeModel &view)
{
    const History::Summary &summary = view.summary;
    return u"Shares of calories from fat, carbohydrate and protein, %1, on average fat %2, carbohydrate %3, "
           "protein %4"_s.arg(spanText(view.range), percentText(summary.fatPercent),
                              percentText(summary.carbPercent), percentText(summary.proteinPercent));
}

bool anyDayOverCholesterol(const RangeModel &view)
{
    return view.summary.daysOverCholesterol > 0;
}

} // namespace HistoryModel
