// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/itemeditor.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "database/fieldreader.h"
#include "database/folderlock.h"
#include "database/forkwellfiles.h"
#include "database/textfile.h"
#include "nutrients/numberrules.h"

namespace {

unsigned char upperByte(unsigned char b)
{
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
        return static_cast<unsigned char>(b - 0x20);
    if (b == 0x9A || b == 0x9C || b == 0x9E) // š œ ž
        return static_cast<unsigned char>(b - 0x10);
    if (b == 0xFF) // ÿ
        return 0x9F;
    return b;
}

// Whether the upper-cased key sorts before the name once upper-cased; the
// name is upper-cased a character at a time, as far as the comparison goes.
bool sortsBeforeName(QByteArrayView key, QStringView name)
{
    const qsizetype common = std::min(key.size(), name.size());
    for (qsizetype i = 0; i < common; ++i) {
        const auto k = static_cast<unsigned char>(key[i]);
        const unsigned char n = upperByte(static_cast<unsigned char>(TextFile::encodeChar(name[i])));
        if (k != n)
            return k < n;
    }
    return key.size() < name.size();
}

// "dblog" read and its number counted up, not yet written back.
ItemEditor::CountedUp nextBackupNumber(const QString &counterPath)
{
    ItemEditor::CountedUp counted;
    double last = 0;
    if (const std::optional<QString> counter = TextFile::read(counterPath, &counted.reason)) {
        FieldReader reader(*counter);
        const std::optional<QString> field = reader.next();
        const std::optional<double> number = field ? NumberRules::numberPrefix(*field) : std::nullopt;
        if (!number) {
            counted.failure = field ? ItemEditor::SaveFailure::CounterOutOfRange : ItemEditor::SaveFailure::CounterEmpty;
            return counted;
        }
        last = *number;
    } else if (QFileInfo::exists(counterPath)) {
        counted.failure = ItemEditor::SaveFailure::CounterUnreadable;
        return counted;
    }
    counted.reason.clear();
    counted.number = NumberRules::numberText(last + 1);
    return counted;
}

QByteArray counterBytes(const QString &number)
{
    return TextFile::encode(number + QStringLiteral("\r\n"));
}

} // namespace

namespace ItemEditor {

bool keepBackup(const QString &database, const QString &backup, QString *error)
{
    return TextFile::keepCopy(database, backup, error);
}

FoodLoad refill(const QString &folder, FoodTable &table)
{
    return loadFoodTable(QDir(folder).filePath(ForkwellFiles::Database.toString()), table);
}

QByteArray upperCased(QStringView name)
{
    QByteArray bytes = TextFile::encode(name);
    for (char &c : bytes)
        c = static_cast<char>(upperByte(static_cast<unsigned char>(c)));
    return bytes;
}

bool sortsBefore(QStringView typed, QStringView stored)
{
    return sortsBeforeName(upperCased(typed), stored);
}

CountedUp countUpBackups(const QString &counterPath)
{
    CountedUp counted = nextBackupNumber(counterPath);
    if (counted.failure == SaveFailure::None
        && !TextFile::writeBytesAtomically(counterPath, counterBytes(counted.number), &counted.reason)) {
        counted.failure = SaveFailure::CounterUnwritable;
    }
    return counted;
}

SaveResult saveNewItem(const QString &folder, const FoodRecord &item, FoodTable &table)
{
    return saveItem(folder, item, table, SaveMode::Add);
}

SaveResult saveItem(const QString &folder, const FoodRecord &item, FoodTable &table, SaveMode mode)
{
    SaveResult result;
    const std::optional<QString> newRecord = recordText(item, &result.column);
    if (!newRecord) {
        result.failure = SaveFailure::BoxRefused;
        return result;
    }

    // Held to the end of the save: another writer reads "dblog" and "diet"
    // only once this save's files are in place.
    const FolderLock lock(folder);
    if (!lock.isHeld()) {
        result.failure = SaveFailure::FolderNotLocked;
        result.reason = lock.reason();
        return result;
    }

    const QDir dir(folder);
    const QString counterPath = dir.filePath(ForkwellFiles::Counter.toString());
    const QString databasePath = dir.filePath(ForkwellFiles::Database.toString());

    const CountedUp counted = nextBackupNumber(counterPath);
    if (counted.failure != SaveFailure::None) {
        result.failure = counted.failure;
        result.reason = counted.reason;
        return result;
    }
    TextFile::Replacement counter(counterPath);
    if (!counter.write(counterBytes(counted.number), &result.reason)) {
        result.failure = SaveFailure::CounterUnwritable;
        return result;
    }
    result.backupName = ForkwellFiles::backupName(counted.number);
    const QString backupPath = dir.filePath(result.backupName);

    // "dblog" and the new "diet" are written first and wait for the disk
    // together. Once the counter is counted up it stays so, whatever
    // happens to the save after it: a failure from here on commits it first.
    const auto fail = [&](SaveFailure failure, const QString &reason = {}) {
        QString counterReason;
        if (counter.commit(&counterReason)) {
            TextFile::syncFolderOf(counterPath);
            result.failure = failure;
            result.reason = reason;
        } else {
            result.failure = SaveFailure::CounterUnwritable;
            result.reason = counterReason;
        }
        return result;
    };

    // The bytes the backup will hold: "diet" stays in place and the backup
    // becomes a second name of the same file.
    QString error;
    const std::optional<QByteArray> backup = TextFile::readBytes(databasePath, &error);
    if (!backup)
        return fail(QFileInfo::exists(databasePath) ? SaveFailure::DatabaseUnreadable : SaveFailure::BackupNotMade, error);
    if (QFileInfo::exists(backupPath) || QFileInfo(backupPath).isSymLink())
        return fail(SaveFailure::BackupNotMade, TextFile::systemReason(EEXIST));

    std::vector<qsizetype> recordEnds;
    const FoodLoad load = loadFoodTableFromBytes(*backup, table, &recordEnds);
    result.names = load.names;
    if (!load.complete)
        return fail(load.tableFull ? SaveFailure::BackupTooLarge : SaveFailure::BackupCutShort);
    // Refused with nothing written: the counter's replacement is dropped.
    int replaced = -1;
    if (mode == SaveMode::Replace) {
        replaced = int(load.names.size());
        for (int row = 0; row < load.names.size(); ++row) {
            if (table.row(row)[Food::Name] == item[Food::Name]) {
                replaced = row;
                break;
            }
        }
        if (replaced == load.names.size()) {
            result.failure = SaveFailure::ItemMissing;
            return result;
        }
    } else if (mode == SaveMode::AddWhileRoom && load.names.size() >= FoodTable::RowCount) {
        result.failure = SaveFailure::DatabaseFull;
        return result;
    }

    // Records that read back as they were written are copied as bytes, a
    // run of them at a time; any other is written anew from its cells.
    const QByteArray newBytes = TextFile::encode(*newRecord);
    const QByteArray key = upperCased(item[Food::Name]);
    QByteArray database;
    database.reserve(backup->size() + newBytes.size());
    const QByteArrayView old(*backup);
    qsizetype runStart = 0;
    const auto copyRun = [&](qsizetype end) { database.append(old.sliced(runStart, end - runStart)); };
    bool inserted = false;
    qsizetype start = 0;
    for (int row = 0; row < load.names.size(); ++row) {
        const qsizetype end = recordEnds[static_cast<std::size_t>(row)];
        if (row == replaced) {
            copyRun(start);
            database += newBytes;
            runStart = end;
            inserted = true;
            start = end;
            continue;
        }
        if (!inserted && replaced < 0 && sortsBeforeName(key, table.row(row)[Food::Name])) {
            copyRun(start);
            database += newBytes;
            runStart = start;
            inserted = true;
        }
        if (!isWrittenForm(old.sliced(start, end - start))) {
            // The writer takes every text the load stores.
            copyRun(start);
            database += TextFile::encode(recordText(table.row(row)).value());
            runStart = end;
        }
        start = end;
    }
    copyRun(start);
    if (!inserted)
        database += newBytes;

    TextFile::Replacement replacement(databasePath);
    if (!replacement.write(database, &error))
        return fail(SaveFailure::DatabaseUnwritable, error);
    if (!counter.commit(&result.reason)) {
        result.failure = SaveFailure::CounterUnwritable;
        return result;
    }
    // The counter's new number is named before the backup that takes it:
    // file systems that journal their folders keep that order through a
    // crash, so no backup is left under a number "dblog" has not reached.
    if (!keepBackup(databasePath, backupPath, &error)) {
        TextFile::syncFolderOf(counterPath);
        result.failure = SaveFailure::BackupNotMade;
        result.reason = error;
        return result;
    }
    if (!replacement.commit(&error)) {
        QFile::remove(backupPath);
        TextFile::syncFolderOf(counterPath);
        result.failure = SaveFailure::DatabaseUnwritable;
        result.reason = error;
        return result;
    }
    TextFile::syncFolderOf(databasePath);
    return result;
}

} // namespace ItemEditor
