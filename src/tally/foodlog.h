// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QTime>

// The food log "mylist" read back as the additions and deletions the main
// program wrote into it, and the days, totals and foods they add up to.
// Nothing here writes the log: it is the user's own file.
namespace FoodLog {

// What one entry of the log took in. Grams and milligrams of the portion;
// a deletion's values are negative, so that a day's entries simply add up.
struct Intake
{
    double calories = 0;      // the item's own calories (line 6)
    double fatGrams = 0;      // saturated fat included (line 7)
    double satFatGrams = 0;   // line 8
    double carbGrams = 0;     // line 9
    double proteinGrams = 0;  // line 10
    double cholesterolMg = 0; // line 11

    Intake &operator+=(const Intake &other);
    bool operator==(const Intake &) const = default;
};

// One addition or deletion as the log holds it.
struct Entry
{
    QDate date;                 // from line 1, month-day-year
    std::optional<QTime> time;  // from line 1; unknown when the designator is not AM or PM (either case)
    bool deletion = false;      // line 12 announces a deletion
    QString portion;            // line 3 without its closing " of:", e.g. "1 cup (248 Grams)"
    QString food;               // line 4, the item box's text, commas and all; one string shared by a food's entries
    Intake intake;              // lines 6 to 11, negative for a deletion
    qint64 offset = 0;          // where the entry starts in the file, in bytes
    qint64 length = 0;          // its bytes, line ends included
};

struct Log
{
    std::vector<Entry> entries; // in file order
    int damaged = 0;            // runs of lines that were no well-formed entry, skipped
    qint64 damagedBytes = 0;    // bytes in those runs: entries' lengths plus these are the file's size
};

// Splits the log's bytes (Windows-1252, lines ended by CR LF or LF) into
// entries. A run of lines that does not form a well-formed entry (a torn
// last entry, an edited one, foreign bytes) is skipped up to the next line
// that starts one, and counted. Never guesses a date: an entry whose first
// line holds no real date is damaged. Values are read by the program's
// number-prefix rule; a value beyond the range of a double damages its
// entry. Linear in the length of the log, whatever its lines hold.
Log parse(QByteArrayView bytes);

// The log at path, read in one go and parsed. A missing file is an empty
// log, not an error; nullopt when it exists but cannot be read, with the
// system's reason in *error.
std::optional<Log> read(const QString &path, QString *error = nullptr);

} // namespace FoodLog
