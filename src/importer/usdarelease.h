// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "database/foodtable.h"

// Reading the USDA National Nutrient Database for Standard Reference in its
// ASCII release and turning it into food database records: one record per
// food and household measure, its values scaled from the per-100 g figures
// to the measure's gram weight.
namespace Usda {

inline constexpr QStringView AbbrevFile = u"ABBREV.txt";
inline constexpr QStringView FoodDescriptionFile = u"FOOD_DES.txt";
inline constexpr QStringView WeightFile = u"WEIGHT.txt";
inline constexpr QStringView FoodGroupFile = u"FD_GROUP.txt"; // optional

// A problem found in the release, at a line of one of its files.
struct Diagnostic
{
    QString file;    // the file's path
    int line = 0;    // 1 for the first line; 0 for the file as a whole
    QString message;

    // "path:line" or, for the file as a whole, "path".
    QString where() const;

    bool operator==(const Diagnostic &) const = default;
};

// The fields of one line of the release, its line end removed: fields are
// separated by "^", and a field that begins with "~" is text running to the
// next "~", "^" included. nullopt, with the reason in *error, when a "~" is
// not closed, something follows a closing "~" before the next "^", or a "~"
// stands inside a field that did not begin with one.
std::optional<QList<QStringView>> splitLine(QStringView line, QString *error = nullptr);

// A food group, with the number of records its foods make.
struct FoodGroup
{
    QString code;  // FdGrp_Cd, such as "0100"
    QString name;  // FdGrp_Desc; empty when FD_GROUP.txt does not name it
    int records = 0;

    bool operator==(const FoodGroup &) const = default;
};

struct ImportedRecord
{
    FoodRecord record;
    QString group;  // the food group's code
};

// What reading a release gave.
struct Release
{
    std::vector<ImportedRecord> records; // sorted by name as the item editor orders names
    QList<FoodGroup> groups;             // the groups of FD_GROUP.txt, then any other code the foods use
    QList<Diagnostic> warnings;          // data left out, and why
    QList<Diagnostic> errors;            // not empty: the release cannot be imported
};

using Progress = std::function<void(const QString &)>;

// Reads ABBREV.txt, FOOD_DES.txt, WEIGHT.txt and, when present,
// FD_GROUP.txt from folder (the names matched without regard to case).
//
// Each measure of WEIGHT.txt makes one record: the food's long description,
// "<amount> <measure>", and the per-100 g values scaled by the measure's
// gram weight, an empty value counting as 0. Calories and cholesterol are
// rounded to whole numbers, grams to one decimal place, halves upward; the
// weight is the measure's gram weight as given. The inch mark (") becomes
// ” in names and measures, since a quoted field cannot hold it.
//
// Errors (a file missing or unreadable, a line with a bad "~", the wrong
// number of fields, a required field empty or a number that is no number)
// make the release unusable; every one is reported. Warnings are data left
// out: a food without a measure or without nutrient values, a measure or
// nutrient row of an unknown food, a line repeating a food, a group code
// FD_GROUP.txt lacks, a text the food database cannot carry. progress, when
// given, hears of each stage.
Release readRelease(const QString &folder, const Progress &progress = {});

// The group codes that the values name. Each value is a comma-separated
// list of group codes and group names (a name matched without regard to
// case, and taken whole even where it holds commas). nullopt, with the
// reason in *error, when an entry names no group.
std::optional<QSet<QString>> chooseGroups(const QStringList &values, const QList<FoodGroup> &groups,
                                          QString *error = nullptr);

// The records to write.
struct Selection
{
    std::vector<FoodRecord> records;  // in the release's order
    QList<FoodGroup> dropped;         // groups dropped for the limit, in the order they went
};

// Keeps the records of the chosen groups (all when chosen is nullopt), then,
// while more than maxRecords remain, drops whole groups, the one with the
// fewest records first (ties by code).
Selection selectRecords(const Release &release, const std::optional<QSet<QString>> &chosen,
                        int maxRecords);

// The records in the food database's file form.
QString databaseText(const std::vector<FoodRecord> &records);

} // namespace Usda
