// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "database/foodtable.h"

// The item editor's work on the food database: refilling the table from
// "diet", and saving a new item into "diet" in name order while keeping
// the previous database as a numbered backup ("diet" followed by the
// number counted in "dblog").
namespace ItemEditor {

// Refills the table from row 0 and returns the editor list's entries, from
// "diet" in folder. The same rules as the main window's load: reads at most
// 15001 items and stops at an item cut short, keeping what it stored.
FoodLoad refill(const QString &folder, FoodTable &table);

// Keeps the database file under the backup's name as well, byte for byte,
// refusing when that name is taken, so a backup never overwrites an
// earlier one. The database itself stays where it is, so that it is never
// missing while it is replaced. A hard link where the file system has
// them, a copy where not. On failure *error holds the reason.
bool keepBackup(const QString &database, const QString &backup, QString *error);

// Why a save did not happen.
enum class SaveFailure {
    None,
    BoxRefused,          // a box holds text the database cannot carry; nothing on disk touched
    CounterUnreadable,   // "dblog" exists but cannot be read
    CounterEmpty,        // "dblog" holds no field at all
    CounterOutOfRange,   // "dblog"'s number lies beyond the range of a double
    CounterUnwritable,   // "dblog" cannot be rewritten
    BackupNotMade,       // "diet" cannot be kept under the backup's name (missing, or the name is taken)
    DatabaseUnreadable,  // "diet" exists but cannot be read
    BackupCutShort,      // "diet", and so its backup, ends inside an item
    BackupTooLarge,      // "diet", and so its backup, holds more items than the table's 15001 rows
    DatabaseUnwritable,  // the new "diet" cannot be written
};

// Why a save in one of the modes that only companions use wrote nothing.
// Nothing on disk changed: "diet" and "dblog" are as they were.
enum class SaveRefusal {
    None,
    FolderNotLocked, // AddWhileRoom and Replace: the folder's lock cannot be taken
    DatabaseFull,    // AddWhileRoom: "diet" already holds 15001 items
    ItemMissing,     // Replace: no item of that name in "diet"
};

// What a save did. A save that fails leaves "diet" the database it was
// before and no backup behind; from BackupNotMade on, "dblog" stays
// counted up.
struct SaveResult
{
    SaveFailure failure = SaveFailure::None;
    QString reason;                   // the system's reason, where it gave one
    int column = -1;                  // BoxRefused: the column refused
    QString backupName;               // "diet" and the new counter, once the counter is known
    std::optional<QStringList> names; // the editor list's entries once the backup was read
    SaveRefusal refusal = SaveRefusal::None;

    bool saved() const { return failure == SaveFailure::None && refusal == SaveRefusal::None; }
};

// "dblog" counted up by one, by the number rules, and written back: the
// number the next backup takes. A missing "dblog" counts as 0 and is
// created. On failure "dblog" is as it was and reason holds the system's
// reason where it gave one.
struct CountedUp
{
    QString number;
    SaveFailure failure = SaveFailure::None; // one of the Counter failures
    QString reason;
};
CountedUp countUpBackups(const QString &counterPath);

// Saves item as a new record of "diet" in folder, nothing trimmed:
// counts "dblog" up by one (a missing "dblog" counts as 0 and is created),
// refills the table from "diet", keeps "diet" under the backup name as well
// (never over an existing file) and replaces "diet" in one rename by the
// database with item before the first item whose name sorts after item's
// name, or last. Items already in the form the writer gives them keep their
// bytes. "dblog" and "diet" are written first and wait for the disk
// together. "diet" is never missing or part-written, even when the program
// dies during the save. A text the database cannot carry is refused before
// any file is touched.
//
// Every writer of "diet" saves under the folder's lock (FolderLock), held
// from the reading of "dblog" to the renaming of the new "diet", so that
// two programs saving at once each find the other's item and count
// "dblog" up once each. A folder that cannot be locked is saved into
// without the lock, as before there was one.
SaveResult saveNewItem(const QString &folder, const FoodRecord &item, FoodTable &table);

// How saveItem puts the item into "diet".
enum class SaveMode {
    Add,          // as saveNewItem: before the first item whose name sorts after it, or last
    AddWhileRoom, // the same, refused with DatabaseFull when "diet" holds 15001 items already
    Replace,      // in place of the first item whose name is item's name, character for character
};

// The item editor's save in the given mode, with its backup, counter, lock
// and replacement exactly as saveNewItem describes them. Replace keeps
// every other item, its bytes and the order. AddWhileRoom and Replace
// never save without the lock; what they refuse is told by refusal.
SaveResult saveItem(const QString &folder, const FoodRecord &item, FoodTable &table, SaveMode mode);

// The name as Windows-1252 bytes in upper case: a to z and the accented
// small letters of the code page (é, š, œ, ž, ÿ ...) become their capitals;
// ß, µ and every other byte stay. A character outside the code page is '?'.
QByteArray upperCased(QStringView name);

// Whether the typed name goes before the stored one: both upper-cased and
// compared byte by byte by Windows-1252 code, a name sorting before every
// longer name that begins with it. No locale collation.
bool sortsBefore(QStringView typed, QStringView stored);

} // namespace ItemEditor
