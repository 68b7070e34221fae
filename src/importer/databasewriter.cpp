// SPDX-License-Identifier: GPL-3.0-or-later
#include "importer/databasewriter.h"

#include <QFile>
#include <QFileInfo>

#include "database/folderlock.h"
#include "database/forkwellfiles.h"
#include "database/itemeditor.h"
#include "database/textfile.h"

using namespace Qt::StringLiterals;

namespace DatabaseWriter {

Result write(const QString &path, QStringView text, bool replace)
{
    Result result;
    QString reason;
    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = u"%1 is a folder"_s.arg(path);
        return result;
    }
    // Held to the end, as every writer of a food database holds it, so that
    // an item editor saving into the same folder meanwhile waits for the
    // new file rather than writing over it. Without the lock the import
    // goes on: it only guards against a second writer.
    const FolderLock lock(info.absolutePath());
    if (info.exists() || info.isSymLink()) {
        if (!replace) {
            result.status = Result::Exists;
            return result;
        }
        // Both beside the file, named the way the user named its folder.
        const QString folder = path.first(path.size() - info.fileName().size());
        const QString counterPath = folder + ForkwellFiles::Counter.toString();
        const ItemEditor::CountedUp counted = ItemEditor::countUpBackups(counterPath);
        switch (counted.failure) {
        case ItemEditor::SaveFailure::None:
            break;
        case ItemEditor::SaveFailure::CounterEmpty:
            result.error = u"%1 holds no number"_s.arg(counterPath);
            return result;
        case ItemEditor::SaveFailure::CounterOutOfRange:
            result.error = u"the number in %1 is too large"_s.arg(counterPath);
            return result;
        case ItemEditor::SaveFailure::CounterUnreadable:
            result.error = u"cannot read %1: %2"_s.arg(counterPath, counted.reason);
            return result;
        default:
            result.error = u"cannot write %1: %2"_s.arg(counterPath, counted.reason);
            return result;
        }
        const QString backupPath = path + counted.number;
        if (!ItemEditor::keepBackup(path, backupPath, &reason)) {
            result.error = u"cannot keep %1 as %2: %3"_s.arg(path, backupPath, reason);
            return result;
        }
        result.backupPath = backupPath;
    }
    // The old file stays in place until the new one replaces it whole.
    if (!TextFile::writeAtomically(path, text, &reason)) {
        result.error = u"cannot write %1: %2"_s.arg(path, reason);
        if (!result.backupPath.isEmpty()) {
            QFile::remove(result.backupPath);
            result.backupPath.clear();
        }
        return result;
    }
    result.status = Result::Written;
    return result;
}

} // namespace DatabaseWriter
