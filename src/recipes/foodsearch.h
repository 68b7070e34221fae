// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QHash>
#include <QString>
#include <QStringView>

#include "database/foodtable.h"

// The foods of "diet" as Forkwell Recipes finds them: by any words of
// their names, in any order, ignoring case and accents.
//
// A food is named by its index in the catalog, which is its row in "diet"
// as the main window loads it.

// The text as the search compares it: small letters without their accents
// ("Crème" gives "creme", "ŠŽ" gives "sz"); other characters stay.
QString searchKey(QStringView text);

// The words of a query: its search key split at blanks, tabs and commas,
// empty pieces dropped.
QStringList searchWords(QStringView query);

// One food as the result list shows it, for one portion, each number as the
// main window shows it when the food is chosen.
struct FoodMatch
{
    int index = -1;
    QString name;
    QString measure;
    QString calories;
    QString fatGrams;
    QString carbGrams;
    QString proteinGrams;

    bool operator==(const FoodMatch &) const = default;
};

class FoodCatalog
{
public:
    // The foods of "diet" in folder, loaded as the main window loads them:
    // at most 15001, ending at a record cut short with the records read
    // whole before it. When "diet" cannot be opened the catalog is empty
    // and the load says so (opened false).
    FoodLoad load(const QString &folder);

    // The foods given, in this order (for the benchmark and the tests).
    void setFoods(std::vector<FoodRecord> foods);

    int size() const { return int(m_foods.size()); }

    // index must lie from 0 to size() - 1.
    const FoodRecord &food(int index) const { return m_foods[std::size_t(index)]; }

    // The index of the first food whose name is exactly name (case and
    // blanks count), or -1.
    int indexOf(const QString &name) const;

    // The foods whose names hold every word of the query, at most limit of
    // them (limit from 0), best first: names that begin with the query's
    // first word, then shorter names, then in the catalog's order. An
    // empty query finds every food, in the catalog's order. The work grows
    // with the number of foods, never with anything kept between queries.
    std::vector<int> search(QStringView query, int limit) const;

    // The same, with the texts the result list shows.
    std::vector<FoodMatch> matches(QStringView query, int limit) const;

    // One food's texts for the result list.
    FoodMatch match(int index) const;

private:
    std::vector<FoodRecord> m_foods;
    std::vector<QString> m_keys; // searchKey of each name
    QHash<QString, int> m_byName;
};
