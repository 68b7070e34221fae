#include "databasewriter.h"

#include <optional>

#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "fieldreader.h"
#include "itemeditor.h"
#include "numberrules.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

namespace {

// The number the next backup takes: one more than the counter's, by the
// number rules.
std::optional<QString> nextBackupNumber(const QString &counterPath, QString *error)
{
    double last = 0;
    QString reason;
    if (const std::optional<QString> counter = TextFile::read(counterPath, &reason)) {
        FieldReader reader(*counter);
        const std::optional<QString> field = reader.next();
        if (!field) {
            *error = u"%1 holds no number"_s.arg(counterPath);
            return std::nullopt;
        }
        const std::optional<double> number = NumberRules::numberPrefix(*field);
        if (!number) {
            *error = u"the number in %1 is too large"_s.arg(counterPath);
            return std::nullopt;
        }
        last = *number;
    } else if (QFileInfo::exists(counterPath)) {
        *error = u"cannot read %1: %2"_s.arg(counterPath, reason);
        return std::nullopt;
    }
    return NumberRules::numberText(last + 1);
}

} // namespace

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
    if (info.exists() || info.isSymLink()) {
        if (!replace) {
            result.status = Result::Exists;
            return result;
        }
        // Both beside the file, named the way the user named its folder.
        const QString folder = path.first(path.size() - info.fileName().size());
        const QString counterPath = folder + ItemEditor::CounterName.toString();
        const std::optional<QString> number = nextBackupNumber(counterPath, &result.error);
        if (!number)
            return result;
        if (!TextFile::writeAtomically(counterPath, *number + u"\r\n"_s, &reason)) {
            result.error = u"cannot write %1: %2"_s.arg(counterPath, reason);
            return result;
        }
        const QString backupPath = path + *number;
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
            ::unlink(QFile::encodeName(result.backupPath).constData());
            result.backupPath.clear();
        }
        return result;
    }
    result.status = Result::Written;
    return result;
}

} // namespace DatabaseWriter
