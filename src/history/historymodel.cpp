// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/historymodel.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

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

QDate periodStart(const QDate &date, History::Period period)
{
    switch (period) {
    case History::Period::Day:
        break;
    case History::Period::Week:
        return date.addDays(1 - date.dayOfWeek());
    case History::Period::Month:
        return QDate(date.year(), date.month(), 1);
    }
    return date;
}

QDate nextStart(const QDate &start, History::Period period)
{
    switch (period) {
    case History::Period::Day:
        break;
    case History::Period::Week:
        return start.addDays(7);
    case History::Period::Month:
        return start.addMonths(1);
    }
    return start.addDays(1);
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
    return period == History::Period::Month ? locale.toString(start, u"MMM yyyy"_s)
                                            : locale.toString(start, QLocale::ShortFormat);
}

QString axisLabel(const QLocale &locale, const QDate &start, History::Period period)
{
    if (period != History::Period::Month)
        return locale.toString(start, dayMonthFormat(locale));
    return start.month() == 1 ? QString::number(start.year()) : QString();
}

} // namespace

LoadedLog load(const QString &path)
{
    LoadedLog loaded;
    loaded.path = path;
    loaded.exists = QFileInfo::exists(path);
    if (std::optional<FoodLog::Log> log = FoodLog::read(path, &loaded.error)) {
        loaded.error.clear();
        loaded.log = std::move(*log);
        loaded.days = History::days(loaded.log);
    }
    return loaded;
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
    for (QDate start = periodStart(span.from, view.period); start <= span.to;
         start = nextStart(start, view.period)) {
        ChartPlace place{start, placeLabel(locale, start, view.period), axisLabel(locale, start, view.period),
                         std::nullopt};
        const QDate next = nextStart(start, view.period);
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
         any ? u"%1 kcal a day"_s.arg(locale.toString(summary.averageCalories, 'f', 0)) : u"—"_s},
        {u"Average shares"_s,
         u"fat %1, carbohydrate %2, protein %3"_s.arg(percentText(summary.fatPercent),
                                                     percentText(summary.carbPercent),
                                                     percentText(summary.proteinPercent))},
        {u"Days within 1100–1600 kcal"_s, locale.toString(summary.daysWithinCalorieRange)},
        {u"Days over 300 mg cholesterol"_s, locale.toString(summary.daysOverCholesterol)},
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

QString caloriesTitle(History::Period period)
{
    switch (period) {
    case History::Period::Day:
        break;
    case History::Period::Week:
        return u"Calories per week, the average of its days with entries"_s;
    case History::Period::Month:
        return u"Calories per month, the average of its days with entries"_s;
    }
    return u"Calories per day"_s;
}

} // namespace HistoryModel
