// SPDX-License-Identifier: GPL-3.0-or-later
// forkwell-history: the days, weeks and months behind Forkwell's food log,
// in a window or exported from the command line.

#include <optional>

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include "app/commandline.h"
#include "app/windowprogram.h"
#include "database/forkwellfiles.h"
#include "historyui/historyexport.h"
#include "historyui/historywindow.h"

using namespace Qt::StringLiterals;
using namespace CommandLine;

namespace {

constexpr int ExportFailed = 1;

const QString Description = uR"(Shows the days behind Forkwell's food log "%1": each day's calories,
fats, carbohydrates, proteins and cholesterol, the range's summary, charts
and the foods that gave the most calories. The log is only read, never
changed.

With --days, --entries or --report, no window opens: the exports of the
days from --from to --to (the whole log where they are left out) are
written and the program ends. CSV files are UTF-8 with a header row, ISO
dates and dots for decimals; a food or portion that starts with =, +, -,
@, a tab or a CR gets a leading apostrophe, so that a spreadsheet shows it
as text and never runs it as a formula (numbers are written as they are).
The report is a PDF on A4 or Letter paper, as the locale's country uses.
Each file is written whole or not at all.

Exit status: 0 when every export was written (or the window closed),
1 when the log cannot be read or an export cannot be written, 2 for a
mistake on the command line.)"_s.arg(ForkwellFiles::FoodLog);

} // namespace

int main(int argc, char *argv[])
{
    const bool noDisplay = WindowProgram::offscreenWithoutDisplay();
    QApplication app(argc, argv);
    WindowProgram::name(u"forkwell-history"_s, u"Forkwell History"_s, u"org.forkwell.Forkwell.History"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QString logName = ForkwellFiles::FoodLog.toString();
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption days(u"days"_s, u"Write each day's totals, shares and entry count as CSV."_s, u"FILE.csv"_s);
    const QCommandLineOption entries(u"entries"_s, u"Write every addition and deletion as CSV, one row each."_s,
                                     u"FILE.csv"_s);
    const QCommandLineOption report(u"report"_s, u"Write the report for a dietitian as PDF."_s, u"FILE.pdf"_s);
    const QCommandLineOption from(u"from"_s, u"The first day exported (default: the log's first)."_s,
                                  u"YYYY-MM-DD"_s);
    const QCommandLineOption to(u"to"_s, u"The last day exported (default: the log's last)."_s, u"YYYY-MM-DD"_s);
    const QCommandLineOption log(u"log"_s, u"The food log to read (default: \"%1\" in the current folder)."_s.arg(logName),
                                 u"PATH"_s, logName);
    parser.addOptions({days, entries, report, from, to, log});

    if (const std::optional<int> mistake = CommandLine::parse(parser))
        return *mistake;
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().constFirst()));

    HistoryExport::Request request{parser.value(log), parser.value(days), parser.value(entries),
                                   parser.value(report), std::nullopt, std::nullopt};
    for (auto [option, date] : {std::pair{&from, &request.from}, std::pair{&to, &request.to}}) {
        if (!parser.isSet(*option))
            continue;
        *date = QDate::fromString(parser.value(*option), u"yyyy-MM-dd"_s);
        if (!(*date)->isValid())
            return usageError(u"--%1 takes a date as YYYY-MM-DD, not \"%2\""_s.arg(option->names().constFirst(),
                                                                                   parser.value(*option)));
    }
    if (request.from && request.to && *request.from > *request.to)
        return usageError(u"--from %1 comes after --to %2"_s.arg(parser.value(from), parser.value(to)));

    for (const QCommandLineOption *option : {&days, &entries, &report}) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            return usageError(u"--%1 needs a file name"_s.arg(option->names().constFirst()));
    }
    if (parser.isSet(days) || parser.isSet(entries) || parser.isSet(report)) {
        const QStringList errors = HistoryExport::run(request);
        for (const QString &error : errors)
            err() << QCoreApplication::applicationName() << u": "_s << error << Qt::endl;
        return errors.isEmpty() ? 0 : ExportFailed;
    }
    if (parser.isSet(from) || parser.isSet(to))
        return usageError(u"--from and --to choose the days of an export: give --days, --entries or --report"_s);
    if (noDisplay) {
        err() << QCoreApplication::applicationName()
              << u": no display to show the window on; --days, --entries and --report export without one"_s
              << Qt::endl;
        return ExportFailed;
    }

    HistoryWindow window(request.log);
    window.show();
    return QApplication::exec();
}
