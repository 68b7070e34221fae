// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historyexport.h"

#include <cerrno>

#include <QFileInfo>

#include "database/textfile.h"
#include "historyui/historyreport.h"

using namespace Qt::StringLiterals;

namespace HistoryExport {

bool write(Kind kind, const QString &path, const HistoryModel::LoadedLog &loaded,
           const HistoryModel::RangeModel &view, QString *error)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (!target.isEmpty() && target == QFileInfo(loaded.path).canonicalFilePath()) {
        if (error)
            *error = u"Cannot write %1: it is the food log being read"_s.arg(path);
        return false;
    }
    switch (kind) {
    case Kind::Days:
        return History::writeExport(path, History::daysCsv(view.days), error);
    case Kind::Entries:
        return History::writeExport(path, History::entriesCsv(loaded.log, view.range), error);
    case Kind::Report:
        break;
    }
    return History::writeExport(path, HistoryReport::pdf(loaded, view), error);
}

QString suggestedName(Kind kind, const History::Range &range)
{
    const QString what = kind == Kind::Days ? u"days"_s : kind == Kind::Entries ? u"entries"_s : u"report"_s;
    return u"forkwell-%1-%2-to-%3.%4"_s.arg(what, range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate),
                                           kind == Kind::Report ? u"pdf"_s : u"csv"_s);
}

QStringList run(const Request &request)
{
    const HistoryModel::LoadedLog loaded = HistoryModel::load(request.log);
    if (!loaded.error.isEmpty())
        return {u"Cannot read the food log %1: %2"_s.arg(request.log, loaded.error)};
    if (!loaded.exists)
        return {u"Cannot read the food log %1: %2"_s.arg(request.log, TextFile::systemReason(ENOENT))};

    const History::Range all = History::presetRange(History::Preset::All, loaded.log, QDate::currentDate());
    // One end given, beyond the log's other end, takes that end along.
    const History::Range range = History::ordered({request.from.value_or(all.from), request.to.value_or(all.to)},
                                                  request.from.has_value());
    const HistoryModel::RangeModel view = HistoryModel::forRange(loaded, range);

    QStringList errors;
    for (const auto &[kind, path] : {std::pair{Kind::Days, request.days}, std::pair{Kind::Entries, request.entries},
                                     std::pair{Kind::Report, request.report}}) {
        QString error;
        if (!path.isEmpty() && !write(kind, path, loaded, view, &error))
            errors += error;
    }
    return errors;
}

} // namespace HistoryExport
