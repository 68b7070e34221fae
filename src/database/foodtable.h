// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

// Columns of a food record, in file and table order.
namespace Food {
enum Column : int {
    Name,
    Measure,
    FatGrams,        // grams, saturated fat included
    Calories,
    CarbGrams,       // grams
    ProteinGrams,    // grams
    CholesterolMg,   // milligrams
    WeightGrams,     // grams of one portion
    SatFatGrams,     // grams
    ColumnCount
};
} // namespace Food

// One food item: nine texts, numeric ones unconverted.
using FoodRecord = std::array<QString, Food::ColumnCount>;

// The food database in memory: a fixed grid of 15001 rows by nine text
// cells, all empty at first. One table lives for the whole run; loads
// overwrite rows from 0 upward and never clear the rows above them.
class FoodTable
{
public:
    static constexpr int RowCount = 15001;

    FoodTable();

    static bool isRow(int row) { return row >= 0 && row < RowCount; }

    // row must satisfy isRow().
    const FoodRecord &row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    FoodRecord &row(int row) { return m_rows[static_cast<std::size_t>(row)]; }

private:
    std::vector<FoodRecord> m_rows;
};

// What a load of a database file did.
struct FoodLoad
{
    bool opened = false;    // false: the file could not be opened, nothing changed
    bool complete = false;  // false: ended early (record cut short, bad quote, table full)
    bool tableFull = false; // ended because a record came when all 15001 rows were stored
    QStringList names;      // entry i names row i, as read (leading blanks of a quoted name kept)
};

// Reads the database file at path into the table, row 0 upward, and
// returns the names for the item list. Reads the file in one go. Rows stored
// before an early end stay stored; a read that fails part way is such an
// end, after the records read whole before it.
FoodLoad loadFoodTable(const QString &path, FoodTable &table);

// The same, from the file's bytes already in memory. With recordEnds, each
// record stored also adds where it ends in the bytes, its separator included.
FoodLoad loadFoodTableFromBytes(QByteArrayView bytes, FoodTable &table,
                                std::vector<qsizetype> *recordEnds = nullptr);

// The record as the database file holds it: nine fields, each followed by CR LF.
// A text the plain form cannot carry (a comma, a line feed, a leading
// double quotation mark, blanks or tabs at either end) is written in double
// quotation marks so that it reads back unchanged; a carriage return needs
// none. nullopt when not even quotes can carry a text (a quotation mark in a
// text that needs quoting); then *refused (if given) holds the column that
// was refused. Every record a load stores is written.
std::optional<QString> recordText(const FoodRecord &record, int *refused = nullptr);

// Whether the field reader gives back this text unchanged once recordText wrote it.
bool canWriteField(QStringView text);

// Whether the bytes of one record, as a load reads them, are exactly what
// recordText() makes of the cells the load stores from them: nine fields
// each ended by CR LF, plain, or quoted where the text needs it. Such a
// record can be written back as it was read.
bool isWrittenForm(QByteArrayView record);
