// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historycharts.h"

#include <algorithm>

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QPercentBarSeries>
#include <QValueAxis>

using namespace Qt::StringLiterals;

namespace HistoryCharts {

namespace {

// About this many dates fit under a chart before they run into each other.
constexpr std::size_t MostLabels = 5;

const QColor CaloriesColour(70, 110, 160);
const QColor BandColour(0, 192, 0, 45);
const QColor LimitColour(200, 40, 40);
const QColor AverageColour(40, 40, 40);
const QColor FatColour(232, 163, 61);
const QColor CarbColour(76, 139, 214);
const QColor ProteinColour(142, 107, 191);

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

// The time axis: one slot per place, centred on 0, 1, 2 ..., named under
// every few places that have a name, so that the names never crowd.
QCategoryAxis *timeAxis(const HistoryModel::RangeModel &view)
{
    auto *axis = new QCategoryAxis;
    axis->setRange(-0.5, double(view.places.size()) - 0.5);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setGridLineVisible(false);
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < view.places.size(); ++i) {
        if (!view.places[i].axisLabel.isEmpty())
            named.push_back(i);
    }
    const std::size_t step = std::max<std::size_t>(1, (named.size() + MostLabels - 1) / MostLabels);
    for (std::size_t n = 0; n < named.size(); n += step)
        axis->append(view.places[named[n]].axisLabel, double(named[n]));
    return axis;
}

QBarSet *barSet(const QString &name, const QColor &colour)
{
    auto *set = new QBarSet(name);
    set->setColor(colour);
    set->setBorderColor(colour);
    return set;
}

} // namespace

QChart *amountsChart(const HistoryModel::RangeModel &view, History::Nutrient nutrient)
{
    QChart *chart = newChart(HistoryModel::amountsTitle(view.period, nutrient));
    const double places = double(view.places.size());
    const HistoryModel::ChartGuides guides = HistoryModel::guides(view, nutrient);
    const auto across = [places](double value) {
        return QList<QPointF>{QPointF(-0.5, value), QPointF(places - 0.5, value)};
    };

    // The band lies under the bars, so it goes in first.
    // Its edges are its children: an area series does not own them.
    if (guides.low && guides.high) {
        auto *band = new QAreaSeries;
        auto *upper = new QLineSeries(band);
        auto *lower = new QLineSeries(band);
        upper->append(across(*guides.high));
        lower->append(across(*guides.low));
        band->setUpperSeries(upper);
        band->setLowerSeries(lower);
        band->setName(guides.limitName);
        band->setColor(BandColour);
        band->setBorderColor(Qt::transparent);
        chart->addSeries(band);
    }

    QBarSet *amounts = barSet(HistoryModel::nutrientName(nutrient), CaloriesColour);
    // Room above the band or the limit, so that it shows where the bars stay below it.
    double highest = guides.high ? *guides.high * 1.125 : 0;
    double lowest = 0;
    for (const HistoryModel::ChartPlace &place : view.places) {
        const double value = place.bar ? History::amountOf(place.bar->intake, nutrient) : 0;
        amounts->append(value);
        highest = std::max(highest, value);
        lowest = std::min(lowest, value);
    }
    auto *bars = new QBarSeries;
    bars->setBarWidth(0.8);
    bars->append(amounts);
    chart->addSeries(bars);

    if (guides.low.has_value() != guides.high.has_value()) {
        auto *limit = new QLineSeries;
        limit->append(across(*guides.high));
        limit->setName(guides.limitName);
        limit->setPen(QPen(LimitColour, 2));
        chart->addSeries(limit);
    }
    if (guides.average) {
        auto *average = new QLineSeries;
        average->append(across(*guides.average));
        average->setName(guides.averageName);
        average->setPen(QPen(AverageColour, 1.5, Qt::DashLine));
        chart->addSeries(average);
    }

    QCategoryAxis *x = timeAxis(view);
    auto *y = new QValueAxis;
    y->setRange(lowest, std::max(highest, 1.0));
    y->applyNiceNumbers();
    y->setLabelFormat(u"%.0f"_s); // "%d" would wrap past 2^31
    y->setTitleText(HistoryModel::unitOf(nutrient));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
    return chart;
}

QChart *sharesChart(const HistoryModel::RangeModel &view)
{
    QChart *chart = newChart(u"Shares of calories from fat, carbohydrate and protein"_s);
    QBarSet *fat = barSet(u"Fat"_s, FatColour);
    QBarSet *carb = barSet(u"Carbohydrate"_s, CarbColour);
    QBarSet *protein = barSet(u"Protein"_s, ProteinColour);
    for (const HistoryModel::ChartPlace &place : view.places) {
        History::Day shares;
        if (place.bar)
            shares.intake = place.bar->intake;
        fat->append(shares.fatPercent().value_or(0));
        carb->append(shares.carbPercent().value_or(0));
        protein->append(shares.proteinPercent().value_or(0));
    }
    auto *series = new QPercentBarSeries;
    series->setBarWidth(0.8);
    series->append({fat, carb, protein});
    chart->addSeries(series);

    QCategoryAxis *x = timeAxis(view);
    auto *y = new QValueAxis;
    y->setRange(0, 100);
    y->setTickCount(6);
    y->setLabelFormat(u"%d %%"_s);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return chart;
}

} // namespace HistoryCharts
