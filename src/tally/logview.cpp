// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/logview.h"

#include <QDir>

#include "database/fieldreader.h"
#include "database/forkwellfiles.h"
#include "database/textfile.h"

namespace {

struct Split
{
    qsizetype used = 0;     // how much of the text was split
    bool openQuote = false; // stopped at a quoted field whose closing mark has not come
};

// Appends every field of text, each followed by CR LF, to shown. Where more
// of the log may follow, only the fields up to the text's last line end
// are sure to be whole, and only those are taken. Stops before a quoted
// field whose closing mark is not in the text (at the log's end: never
// comes).
Split appendFields(QStringView text, bool logEnds, QString &shown)
{
    const QStringView whole = logEnds ? text : text.first(text.lastIndexOf(u'\n') + 1);
    FieldReader reader(whole);
    QStringView field;
    Split split;
    while (!reader.atEnd()) {
        if (!reader.nextView(field)) {
            split.openQuote = true;
            return split;
        }
        shown += field;
        shown += u"\r\n";
        split.used = reader.position();
    }
    split.used = whole.size();
    return split;
}

} // namespace

namespace LogView {

LogLoad logText(QStringView log)
{
    LogLoad load;
    load.opened = true;
    // Splitting at commas adds one character per piece, so the text rarely
    // outgrows the log by much; build it in one buffer, appended in place.
    load.text.reserve(log.size() + log.size() / 16 + 2);
    load.complete = !appendFields(log, true, load.text).openQuote;
    return load;
}

LogLoad showLog(const QString &folder)
{
    QString text;
    LogLoad load = showLogInPieces(
        folder, [&text](qint64 bytes) { text.reserve(bytes + bytes / 16 + 2); },
        [&text](QStringView lines) { text += lines; });
    load.text = std::move(text);
    return load;
}

LogLoad showLogInPieces(const QString &folder, const std::function<void(qint64 bytes)> &opened,
                        const std::function<void(QStringView lines)> &lines)
{
    LogLoad load;
    QString pending;              // the log from the first field not yet split
    bool waitingForQuote = false; // pending starts with a quoted field no piece has closed yet
    QString shown;
    const auto split = [&](QStringView text, bool logEnds) {
        shown.resize(0); // keeps its room for the next piece
        const Split done = appendFields(text, logEnds, shown);
        if (!shown.isEmpty())
            lines(shown);
        return done;
    };

    const bool read = TextFile::readInPieces(
        QDir(folder).filePath(ForkwellFiles::FoodLog.toString()),
        [&](qint64 bytes) {
            load.opened = true;
            opened(bytes);
        },
        [&](QStringView piece) {
            // A field in quotes may run on over many pieces; until its
            // closing mark comes, there is nothing new to split.
            if (waitingForQuote && !piece.contains(u'"')) {
                pending += piece;
                return;
            }
            if (!pending.isEmpty())
                pending += piece;
            const QStringView text = pending.isEmpty() ? piece : QStringView(pending);
            const Split done = split(text, false);
            // The closing mark may have come after the last line end.
            waitingForQuote = done.openQuote && text.sliced(done.used).count(u'"') < 2;
            if (pending.isEmpty())
                pending = text.sliced(done.used).toString();
            else
                pending.remove(0, done.used);
        });
    if (!load.opened)
        return load;
    // A read that fails part way ends the text there, as a field the reader
    // cannot read does.
    load.complete = read && !split(pending, true).openQuote;
    return load;
}

} // namespace LogView
