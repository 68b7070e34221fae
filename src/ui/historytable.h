#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QVariant>

#include "daytally.h"
#include "history.h"

// The history window's tables, and the report's, as rows of shown texts.
// Each cell carries the value it sorts by, so a column sorts by number or
// date whatever the locale's way of writing them.
namespace HistoryTable {

struct Cell
{
    QString text;
    QVariant sortKey;                         // a number or a date; the text when invalid
    CellColour colour = CellColour::Standard;
    bool number = false;                      // aligned right
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

// The role that gives a cell's sort key.
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
    const Table &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Table m_table;
};

} // namespace HistoryTable
