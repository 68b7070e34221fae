#include "databasewriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "fieldreader.h"
#include "itemeditor.h"
#include "numberrules.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Renames from to to, refusing when to exists, so a backup never replaces
// an earlier one.
bool renameWithoutReplacing(const QString &from, const QString &to, QString *error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // File systems without the flag: a hard link refuses an existing name too.
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return true;
        }
    }
    *error = systemReason(errno);
    return false;
}

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
        if (!renameWithoutReplacing(path, backupPath, &reason)) {
            result.error = u"cannot rename %1 to %2: %3"_s.arg(path, backupPath, reason);
            return result;
        }
        result.backupPath = backupPath;
    }
    if (!TextFile::writeAtomically(path, text, &reason)) {
        result.error = u"cannot write %1: %2"_s.arg(path, reason);
        if (!result.backupPath.isEmpty()) {
            result.restored = ::rename(QFile::encodeName(result.backupPath).constData(),
                                       QFile::encodeName(path).constData())
                == 0;
            if (result.restored)
                result.backupPath.clear();
        }
        return result;
    }
    result.status = Result::Written;
    return result;
}

} // namespace DatabaseWriter
