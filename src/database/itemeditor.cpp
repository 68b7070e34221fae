#include "itemeditor.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "fieldreader.h"
#include "numberrules.h"
#include "textfile.h"

namespace {

bool lessByCode(const QByteArray &a, const QByteArray &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

namespace ItemEditor {

bool keepBackup(const QString &database, const QString &backup, QString *error)
{
    return TextFile::keepCopy(database, backup, error);
}

FoodLoad refill(const QString &folder, FoodTable &table)
{
    return loadFoodTable(QDir(folder).filePath(DatabaseName.toString()), table);
}

QByteArray upperCased(QStringView name)
{
    QByteArray bytes = TextFile::encode(name);
    for (char &c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        unsigned char upper = b;
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            upper = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E) // š œ ž
            upper = static_cast<unsigned char>(b - 0x10);
        else if (b == 0xFF) // ÿ
            upper = 0x9F;
        c = static_cast<char>(upper);
    }
    return bytes;
}

bool sortsBefore(QStringView typed, QStringView stored)
{
    return lessByCode(upperCased(typed), upperCased(stored));
}

CountedUp countUpBackups(const QString &counterPath)
{
    CountedUp counted;
    double last = 0;
    if (const std::optional<QString> counter = TextFile::read(counterPath, &counted.reason)) {
        FieldReader reader(*counter);
        const std::optional<QString> field = reader.next();
        const std::optional<double> number = field ? NumberRules::numberPrefix(*field) : std::nullopt;
        if (!number) {
            counted.failure = field ? SaveFailure::CounterOutOfRange : SaveFailure::CounterEmpty;
            return counted;
        }
        last = *number;
    } else if (QFileInfo::exists(counterPath)) {
        counted.failure = SaveFailure::CounterUnreadable;
        return counted;
    }
    counted.reason.clear();
    counted.number = NumberRules::numberText(last + 1);
    if (!TextFile::writeAtomically(counterPath, counted.number + QStringLiteral("\r\n"), &counted.reason))
        counted.failure = SaveFailure::CounterUnwritable;
    return counted;
}

SaveResult saveNewItem(const QString &folder, const FoodRecord &item, FoodTable &table)
{
    SaveResult result;
    const auto fail = [&result](SaveFailure failure, const QString &reason = {}) {
        result.failure = failure;
        result.reason = reason;
        return result;
    };

    const std::optional<QString> newRecord = recordText(item, &result.column);
    if (!newRecord)
        return fail(SaveFailure::BoxRefused);

    const QDir dir(folder);
    const QString counterPath = dir.filePath(CounterName.toString());
    const QString databasePath = dir.filePath(DatabaseName.toString());
    QString error;

    const CountedUp counted = countUpBackups(counterPath);
    if (counted.failure != SaveFailure::None)
        return fail(counted.failure, counted.reason);

    result.backupName = DatabaseName.toString() + counted.number;
    const QString backupPath = dir.filePath(result.backupName);
    if (!keepBackup(databasePath, backupPath, &error))
        return fail(SaveFailure::BackupNotMade, error);

    // "diet" is untouched until its replacement is written whole; a save
    // that fails takes the backup's name away again.
    const auto restore = [&](SaveFailure failure, const QString &reason = {}) {
        QFile::remove(backupPath);
        return fail(failure, reason);
    };

    const std::optional<QString> backup = TextFile::read(backupPath, &error);
    if (!backup)
        return restore(SaveFailure::BackupUnreadable, error);
    const FoodLoad load = loadFoodTableFromText(*backup, table);
    result.names = load.names;
    if (!load.complete) {
        return restore(load.tableFull ? SaveFailure::BackupTooLarge : SaveFailure::BackupCutShort);
    }

    const QByteArray key = upperCased(item[Food::Name]);
    const int count = static_cast<int>(load.names.size());
    QString text;
    text.reserve(backup->size() + newRecord->size() + count * 4);
    bool inserted = false;
    for (int row = 0; row < count; ++row) {
        const FoodRecord &record = table.row(row);
        if (!inserted && lessByCode(key, upperCased(record[Food::Name]))) {
            text += *newRecord;
            inserted = true;
        }
        const std::optional<QString> recordLines = recordText(record, &result.column);
        if (!recordLines) {
            result.row = row;
            return restore(SaveFailure::ItemUnwritable);
        }
        text += *recordLines;
    }
    if (!inserted)
        text += *newRecord;

    if (!TextFile::writeAtomically(databasePath, text, &error))
        return restore(SaveFailure::DatabaseUnwritable, error);
    return result;
}

} // namespace ItemEditor
