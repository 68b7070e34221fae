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


// The files of one save: "dblog", "diet" and the backup, and the counter's
// replacement, written first and committed with "diet".
struct SaveFiles
{
    QString counterPath;
    QString databasePath;
    QString backupPath;
    TextFile::Replacement counter;
};

// "diet" as the save reads it: its bytes, what the load stored, where each record ends.
struct Reading
{
    QByteArray bytes;
    FoodLoad load;
    std::vector<qsizetype> recordEnds;
};

// Once the counter is counted up it stays so, whatever happens to the save
// after it: a failure from there on commits it first.
void failCounted(SaveFiles &files, ItemEditor::SaveResult &result, ItemEditor::SaveFailure failure, const QString &reason = {})
{
    QString counterReason;
    if (files.counter.commit(&counterReason)) {
        TextFile::syncFolderOf(files.counterPath);
        result.failure = failure;
        result.reason = reason;
    } else {
        result.failure = ItemEditor::SaveFailure::CounterUnwritable;
        result.reason = counterReason;
    }
}

// Reads "dblog", counts it up and writes the new number beside it, not yet
// in its place; names the backup. False with the failure in result.
bool countUp(SaveFiles &files, ItemEditor::SaveResult &result)
{
    const ItemEditor::CountedUp counted = nextBackupNumber(files.counterPath);
    if (counted.failure != ItemEditor::SaveFailure::None) {
        result.failure = counted.failure;
        result.reason = counted.reason;
        return false;
    }
    if (!files.counter.write(counterBytes(counted.number), &result.reason)) {
        result.failure = ItemEditor::SaveFailure::CounterUnwritable;
        return false;
    }
    result.backupName = ForkwellFiles::backupName(counted.number);
    return true;
}

// "diet" read whole into the table, with the bytes its backup will hold:
// "diet" stays in place and the backup becomes a second name of the same
// file. nullopt, the counter committed, when it cannot be read, ends inside
// an item, holds too many, or the backup's name is taken.
std::optional<Reading> readDatabase(SaveFiles &files, FoodTable &table, ItemEditor::SaveResult &result)
{
    using ItemEditor::SaveFailure;
    QString error;
    std::optional<QByteArray> bytes = TextFile::readBytes(files.databasePath, &error);
    if (!bytes) {
        failCounted(files, result, QFileInfo::exists(files.databasePath) ? SaveFailure::DatabaseUnreadable : SaveFailure::BackupNotMade, error);
        return std::nullopt;
    }
    if (QFileInfo::exists(files.backupPath) || QFileInfo(files.backupPath).isSymLink()) {
        failCounted(files, result, SaveFailure::BackupNotMade, TextFile::systemReason(EEXIST));
        return std::nullopt;
    }
    Reading reading{std::move(*bytes), {}, {}};
    reading.load = loadFoodTableFromBytes(reading.bytes, table, &reading.recordEnds);
    result.names = reading.load.names;
    if (!reading.load.complete) {
        failCounted(files, result, reading.load.tableFull ? SaveFailure::BackupTooLarge : SaveFailure::BackupCutShort);
        return std::nullopt;
    }
    return reading;
}

// The row the item replaces, or -1 when it is added. nullopt, with the
// failure in result, when the mode refuses the save.
std::optional<int> placeFor(ItemEditor::SaveMode mode, const FoodRecord &item, const Reading &reading,
                            const FoodTable &table, ItemEditor::SaveResult &result)
{
    const auto rows = int(reading.load.names.size());
    if (mode == ItemEditor::SaveMode::Replace) {
        for (int row = 0; row < rows; ++row) {
            if (table.row(row)[Food::Name] == item[Food::Name])
                return row;
        }
        result.refusal = ItemEditor::SaveRefusal::ItemMissing;
        return std::nullopt;
    }
    if (mode == ItemEditor::SaveMode::AddWhileRoom && rows >= FoodTable::RowCount) {
        result.refusal = ItemEditor::SaveRefusal::DatabaseFull;
        return std::nullopt;
    }
    return -1;
}

// The new database: the item's bytes in place of row replaced, or before
// the first item whose name sorts after key, or last. Records that read
// back as they were written are copied as bytes, a run of them at a time;
// any other is written anew from its cells.
QByteArray withItem(const Reading &reading, const FoodTable &table, const QByteArray &newBytes, const QByteArray &key,
                    int replaced)
{
    QByteArray database;
    database.reserve(reading.bytes.size() + newBytes.size());
    const QByteArrayView old(reading.bytes);
    qsizetype runStart = 0;
    const auto copyRun = [&](qsizetype end) { database.append(old.sliced(runStart, end - runStart)); };
    bool inserted = false;
    qsizetype start = 0;
    for (int row = 0; row < reading.load.names.size(); ++row) {
        const qsizetype end = reading.recordEnds[static_cast<std::size_t>(row)];
        if (row == replaced) {
            copyRun(start);
            database += newBytes;
            runStart = end;
            inserted = true;
        } else {
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
        }
        start = end;
    }
    copyRun(start);
    if (!inserted)
        database += newBytes;
    return database;
}

// "dblog" and the new "diet" are written first and wait for the disk
// together; then the backup is kept and "diet" renamed into place.
void writeFiles(SaveFiles &files, const QByteArray &database, ItemEditor::SaveResult &result)
{
    using ItemEditor::SaveFailure;
    QString error;
    TextFile::Replacement replacement(files.databasePath);
    if (!replacement.write(database, &error)) {
        failCounted(files, result, SaveFailure::DatabaseUnwritable, error);
        return;
    }
    if (!files.counter.commit(&result.reason)) {
        result.failure = SaveFailure::CounterUnwritable;
        return;
    }
    // The counter's new number is named before the backup that takes it:
    // file systems that journal their folders keep that order through a
    // crash, so no backup is left under a number "dblog" has not reached.
    if (!ItemEditor::keepBackup(files.databasePath, files.backupPath, &error)) {
        TextFile::syncFolderOf(files.counterPath);
        result.failure = SaveFailure::BackupNotMade;
        result.reason = error;
        return;
    }
    if (!replacement.commit(&error)) {
        QFile::remove(files.backupPath);
        TextFile::syncFolderOf(files.counterPath);
        result.failure = SaveFailure::DatabaseUnwritable;
        result.reason = error;
        return;
    }
    TextFile::syncFolderOf(files.databasePath);
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
    if (!lock.isHeld() && mode != SaveMode::Add) {
        result.refusal = SaveRefusal::FolderNotLocked;
        result.reason = lock.reason();
        return result;
    }

    const QDir dir(folder);
    SaveFiles files{dir.filePath(ForkwellFiles::Counter.toString()), dir.filePath(ForkwellFiles::Database.toString()),
                    {}, TextFile::Replacement(dir.filePath(ForkwellFiles::Counter.toString()))};
    if (!countUp(files, result))
        return result;
    files.backupPath = dir.filePath(result.backupName);

    const std::optional<Reading> reading = readDatabase(files, table, result);
    if (!reading)
        return result;
    const std::optional<int> replaced = placeFor(mode, item, *reading, table, result);
    if (!replaced)
        return result; // refused with nothing written: the counter's replacement is dropped

    const QByteArray database = withItem(*reading, table, TextFile::encode(*newRecord), upperCased(item[Food::Name]), *replaced);
    writeFiles(files, database, result);
    return result;
}

} // namespace ItemEditor
