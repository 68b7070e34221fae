// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "history/historymodel.h"

class QChart;

// The two charts of a range, for the window and the report alike. Every
// place of the time axis gets a bar slot; a place without entries keeps
// its slot empty, a gap rather than a zero.
namespace HistoryCharts {

// One nutrient per place as bars, over the advised calorie band, shaded,
// or under the cholesterol limit, a line, where the nutrient has one (see
// HistoryModel::guides), with the range's average as a dashed line.
// Series: the band (a QAreaSeries) or the limit (a QLineSeries), the bars
// (a QBarSeries with one set named as the nutrient), the average (a
// QLineSeries named "Average: 1,234 kcal").
QChart *amountsChart(const HistoryModel::RangeModel &view, History::Nutrient nutrient);

// The shares of calories from fat, carbohydrates and proteins per place,
// stacked to 100 % (a QPercentBarSeries with the sets "Fat",
// "Carbohydrate" and "Protein", in whole percent).
QChart *sharesChart(const HistoryModel::RangeModel &view);

} // namespace HistoryCharts
