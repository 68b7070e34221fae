// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "history/historymodel.h"

class QChart;

// The two charts of a range, for the window and the report alike. Every
// place of the time axis gets a bar slot; a place without entries keeps
// its slot empty, a gap rather than a zero.
namespace HistoryCharts {

// Calories per place as bars over the advised band of 1100 to 1600 kcal,
// shaded. Series: the band (a QAreaSeries) and the calories (a QBarSeries
// with one set, "Calories").
QChart *caloriesChart(const HistoryModel::RangeModel &view);

// The shares of calories from fat, carbohydrates and proteins per place,
// stacked to 100 % (a QPercentBarSeries with the sets "Fat",
// "Carbohydrate" and "Protein", in whole percent).
QChart *sharesChart(const HistoryModel::RangeModel &view);

} // namespace HistoryCharts
