// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

#include "database/foodtable.h"

// Made-up but lifelike Forkwell folders for the benchmarks: a food database
// of everyday foods in their usual measures and preparations, sorted the way
// the item editor sorts names, and a food log written by the program's own
// adding and deleting, one day after another.
namespace SampleData {

// count records (at most the table's 15001), the same for the same count.
// Names follow the habits of food tables ("Beans, kidney, canned, drained"),
// so many are quoted for their commas; one food often comes in several
// measures. Values are per portion: grams to one decimal place, calories and
// cholesterol whole, calories agreeing with fat, carbohydrates and proteins.
std::vector<FoodRecord> foods(int count);

// The records in the database file's form.
QString databaseText(const std::vector<FoodRecord> &records);

// Writes the database of count records as "diet" into folder, with "dblog"
// holding 0. Returns the size of "diet" in bytes.
qint64 writeDatabase(const QString &folder, int count);

// Writes "mylist" into each folder of logs, growing one log day by day:
// ten to thirty additions a day from the given foods, now and then a
// deletion of the last one. The log in logs[i] ends with the first entry
// that takes it to megabytes[i] MB (10^6 bytes); megabytes must be
// ascending. Returns the sizes in bytes.
std::vector<qint64> writeLogs(const std::vector<FoodRecord> &foods, const std::vector<QString> &logs,
                              const std::vector<int> &megabytes);

} // namespace SampleData
