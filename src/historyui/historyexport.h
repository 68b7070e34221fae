// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QDate>
#include <QString>
#include <QStringList>

#include "history/historymodel.h"

// The exports of a range: the days and the entries as CSV, the report as
// PDF. Each goes to the file the user named, written whole or not at all.
namespace HistoryExport {

enum class Kind { Days, Entries, Report };

// The export's bytes written to path. False with *error naming the file
// and the reason. The report needs the application object of a widget
// program.
bool write(Kind kind, const QString &path, const HistoryModel::LoadedLog &loaded,
           const HistoryModel::RangeModel &view, QString *error);

// A file name to offer for the export: "forkwell-days-2026-03-01-to-2026-03-30.csv".
QString suggestedName(Kind kind, const History::Range &range);

// The exports the command line asks for.
struct Request
{
    QString log;                // the food log to read
    QString days;               // where each export goes; empty for none
    QString entries;
    QString report;
    std::optional<QDate> from;  // the whole log's days where left out
    std::optional<QDate> to;
};

// Reads the log and writes each export asked for. A missing log is an
// error here: the command names the log it wants. Returns the errors,
// each naming its file and the reason; none when everything was written.
QStringList run(const Request &request);

} // namespace HistoryExport
