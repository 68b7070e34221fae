// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageSize>

#include "history/historymodel.h"

class QPagedPaintDevice;

// The report for a dietitian: the range, the summary, both charts, the
// top foods and the days table, continued over as many pages as it takes
// with its header repeated, each page numbered.
namespace HistoryReport {

// The locale paper follows: LC_ALL, else LC_PAPER, else LANG, as the C
// library decides it; the system's locale when none is set.
QLocale paperLocale();

// Letter where the locale's country prints on it (the United States,
// Canada, Mexico and a few more of the Americas, the Philippines), A4
// everywhere else.
QPageSize::PageSizeId paperFor(const QLocale &locale);

// Draws the report onto a printer or a PDF writer whose page size is set.
// Needs the application object of a widget program, for the charts.
void paint(QPagedPaintDevice &device, const HistoryModel::LoadedLog &loaded,
           const HistoryModel::RangeModel &view);

// The report as a PDF file's bytes, on the locale's paper.
QByteArray pdf(const HistoryModel::LoadedLog &loaded, const HistoryModel::RangeModel &view);

} // namespace HistoryReport
