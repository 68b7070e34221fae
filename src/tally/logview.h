// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>
#include <QStringView>

// What the log viewer shows of the food log "mylist".
struct LogLoad
{
    bool opened = false;   // false: the log could not be read; the viewer keeps its text
    bool complete = false; // false: the reader failed part way; text holds the lines before
    QString text;          // one item per line, each followed by CR LF
};

namespace LogView {

// The log as the viewer shows it: every field the field reader finds, in
// file order, on a line of its own followed by CR LF. A line of the log
// that holds commas becomes one line per piece; an empty line stays empty;
// blanks around an unquoted piece are dropped. A quoted field that is never
// closed ends the text before it. Linear in the length of the log.
LogLoad logText(QStringView log);

// Reads "mylist" in folder and returns what the viewer shows. Not opened
// when the file is missing or unreadable. Never writes.
LogLoad showLog(const QString &folder);

// The same for a log too long to hold twice, read and split a piece at a
// time: opened hears the log's size in bytes once it is open; lines then
// receives the viewer's text in order, in pieces of whole lines each ended
// by CR LF, every piece valid only during the call. Joined, the pieces are
// showLog's text; the result is showLog's with an empty text. Memory stays
// at a few pieces, unless a quoted field runs on over many lines.
LogLoad showLogInPieces(const QString &folder, const std::function<void(qint64 bytes)> &opened,
                        const std::function<void(QStringView lines)> &lines);

} // namespace LogView
