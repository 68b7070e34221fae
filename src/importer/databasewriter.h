// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// Writing a whole food database file where the user asks, keeping the file
// it replaces as a numbered backup the way the item editor does.
namespace DatabaseWriter {

struct Result
{
    enum Status {
        Written,
        Exists,  // a file stands at the path and replacing was not asked for; nothing touched
        Failed,  // error says why
    };
    Status status = Failed;
    QString backupPath;     // where the replaced file is kept; empty when there was none
    QString error;          // Failed: what went wrong, with the system's reason
};

// Writes text to path in one atomic replacement (a temporary file in the
// same folder, flushed, then renamed). A file already at path is replaced
// only when replace is true, and then first kept: "dblog" in path's folder
// is counted up by one (a missing "dblog" counts as 0 and is created) and
// the old file is kept under its name followed by that number, never over
// an existing file, while it stays in place until the new one replaces it.
// If the new file cannot be written, the old one is all there is, and no
// backup is left; "dblog" stays counted up.
Result write(const QString &path, QStringView text, bool replace);

} // namespace DatabaseWriter
