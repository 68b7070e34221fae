// What the log viewer makes of any bytes the food log may hold.

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

#include "fuzzcheck.h"
#include "logview.h"
#include "textfile.h"

using Fuzz::require;
using Fuzz::shown;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The lines a log without quotation marks shows: one per piece between
// commas and line ends, without the blanks around it; the CR of a CR LF
// belongs to the line end, and nothing after the last separator is a piece
// of its own.
QString plainView(const QString &log)
{
    QString view;
    qsizetype start = 0;
    while (start < log.size()) {
        qsizetype end = start;
        while (end < log.size() && log[end] != u',' && log[end] != u'\n')
            ++end;
        qsizetype pieceEnd = end;
        if (end < log.size() && log[end] == u'\n' && end > start && log[end - 1] == u'\r')
            --pieceEnd;
        qsizetype pieceStart = start;
        while (pieceStart < pieceEnd && isBlank(log[pieceStart]))
            ++pieceStart;
        while (pieceEnd > pieceStart && isBlank(log[pieceEnd - 1]))
            --pieceEnd;
        view += log.sliced(pieceStart, pieceEnd - pieceStart) + QStringLiteral("\r\n");
        start = end + 1;
    }
    return view;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString log = TextFile::decode(Fuzz::bytes(data, size));
    const LogLoad load = LogView::logText(log);

    require(load.opened, "a log in memory is always read");
    require(load.text.isEmpty() || load.text.endsWith(QStringLiteral("\r\n")),
            "every line the viewer shows ends with CR LF");
    require(load.complete || log.contains(u'"'), "only a quotation mark never closed cuts the view short");
    if (!log.contains(u'"')) {
        const QString expected = plainView(log);
        require(load.text == expected, "the viewer shows every piece of the log on a line of its own",
                shown(log) + QStringLiteral(" showed ") + shown(load.text));
    }
    // The view is never much larger than the log: each piece adds one line
    // end, and a piece is at least a separator.
    require(load.text.size() <= 3 * log.size() + 2, "the view stays within three times the log");
    return 0;
}
