#pragma once

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

// Reads "mylist" in folder in one go and returns what the viewer
// shows. Not opened when the file is missing or unreadable. Never writes.
LogLoad showLog(const QString &folder);

} // namespace LogView
