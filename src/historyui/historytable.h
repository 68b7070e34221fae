// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QLocale>
#include <QStringList>
#include <QVariant>

#include "history/history.h"
#include "tally/daytally.h"

// The history window's tables, and the report's. A cell holds its value,
// a number or a date, and is written in the locale's form only when it is
// shown, so that a table of years of days is made at once; it sorts by the
// value, whatever the locale's way of writing it.
namespace HistoryTable {

struct Cell
{
    QVariant value;                           // a double, an int or a QDate; invalid for text alone
    QString text;                             // shown instead of the value when set
    CellColour colour = CellColour::Standard;
    bool number = false;                      // aligned right
    int decimals = 0;                         // of a double

    // The text shown: the text when set, else the value in the locale's
    // form, a date short.
    QString shown(const QLocale &locale) const;
};

struct Row
{
    std::vector<Cell> cells;
    bool marked = false; // shown in italics: a deletion
};

struct Table
{
    QStringList headers;      // the names the exports give the columns too
    QStringList shortHeaders; // the same in a narrow column, name over unit; none where as headers
    std::vector<Row> rows;
};

// The role that gives a cell's value to sort by; the text where it has none.
constexpr int SortRole = Qt::UserRole;

// The main window's colours: red RGB (255, 0, 0), green RGB (0, 192, 0),
// dark blue RGB (0, 0, 128); an invalid colour for the standard text.
QColor colourOf(CellColour colour);

// One row per day: date, calories, fat, saturated fat, carbohydrate and
// protein grams, cholesterol mg, the shares of fat, carbohydrates and
// proteins, and the number of entries. Values outside the advised ranges
// take the main window's colours.
Table days(const std::vector<History::Day> &days);

// The day's entries in file order: time, added or deleted, portion and
// measure, food and the item values, negative for a deletion.
Table entries(const FoodLog::Log &log, const History::Day &day);

// The foods that gave the most calories: food, calories, times eaten.
Table topFoods(const std::vector<History::FoodTotal> &foods);

// A table for a view, read-only.
class Model : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(Table table);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Table m_table;
    QLocale m_locale; // the default locale when the table was set
};

} // namespace HistoryTable
