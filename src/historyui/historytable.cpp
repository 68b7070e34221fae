// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historytable.h"

#include <cmath>
#include <limits>

#include <QFont>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace HistoryTable {

namespace {

Cell number(double value, int decimals, CellColour colour = CellColour::Standard)
{
    return {value, {}, colour, true, decimals};
}

Cell plain(const QString &text)
{
    return {{}, text, CellColour::Standard, false};
}

Cell count(int value, CellColour colour = CellColour::Standard)
{
    return {value, {}, colour, true};
}

Cell percent(const std::optional<int> &value, CellColour colour)
{
    return value ? count(*value, colour) : Cell{{}, u"—"_s, CellColour::Standard, true};
}

// Calories and cholesterol whole, grams to one decimal place.
void addIntake(std::vector<Cell> &cells, const FoodLog::Intake &intake, CellColour caloriesColour,
               CellColour cholesterolColour)
{
    cells.push_back(number(intake.calories, 0, caloriesColour));
    cells.push_back(number(intake.fatGrams, 1));
    cells.push_back(number(intake.satFatGrams, 1));
    cells.push_back(number(intake.carbGrams, 1));
    cells.push_back(number(intake.proteinGrams, 1));
    cells.push_back(number(intake.cholesterolMg, 0, cholesterolColour));
}

const QStringList ShortIntakeHeaders = {u"Calories"_s, u"Fat\ng"_s,     u"Sat. fat\ng"_s,
                                        u"Carbs\ng"_s,  u"Protein\ng"_s, u"Chol.\nmg"_s};

} // namespace

QString Cell::shown(const QLocale &locale) const
{
    if (!text.isEmpty() || !value.isValid())
        return text;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::Double:
        // Where decimals mean nothing any more, and past the range of a
        // double, as the exports write it.
        if (const double amount = value.toDouble(); !(std::abs(amount) < 1e15))
            return History::amountText(amount);
        return locale.toString(value.toDouble(), 'f', decimals);
    default:
        return locale.toString(value.toLongLong());
    }
}

QColor colourOf(CellColour colour)
{
    switch (colour) {
    case CellColour::Standard:
        break;
    case CellColour::Red:
        return QColor(255, 0, 0);
    case CellColour::Green:
        return QColor(0, 192, 0);
    case CellColour::DarkBlue:
        return QColor(0, 0, 128);
    }
    return {};
}

Table days(const std::vector<History::Day> &days)
{
    Table table;
    table.headers = History::dayColumns();
    table.shortHeaders = QStringList{u"Date"_s} + ShortIntakeHeaders
        + QStringList{u"Fat\n%"_s, u"Carbs\n%"_s, u"Protein\n%"_s, u"Entries"_s};
    table.rows.reserve(days.size());
    for (const History::Day &day : days) {
        Row row;
        row.cells.reserve(std::size_t(table.headers.size()));
        row.cells.push_back({day.date, {}});
        addIntake(row.cells, day.intake, day.caloriesColour(), day.cholesterolColour());
        row.cells.push_back(percent(day.fatPercent(), day.fatPercentColour()));
        row.cells.push_back(percent(day.carbPercent(), day.carbPercentColour()));
        row.cells.push_back(percent(day.proteinPercent(), CellColour::Standard));
        row.cells.push_back(count(day.entries));
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table entries(const FoodLog::Log &log, const History::Day &day)
{
    Table table;
    table.headers = QStringList{u"Time"_s, u"Entry"_s, u"Portion"_s, u"Food"_s} + History::intakeColumns();
    table.shortHeaders = QStringList{u"Time"_s, u"Entry"_s, u"Portion"_s, u"Food"_s} + ShortIntakeHeaders;
    const QLocale locale;
    for (const int index : History::entriesOf(log, day)) {
        const FoodLog::Entry &entry = log.entries[std::size_t(index)];
        Row row;
        row.marked = entry.deletion;
        row.cells.push_back(entry.time ? Cell{entry.time->msecsSinceStartOfDay(),
                                              locale.toString(*entry.time, QLocale::ShortFormat)}
                                       : Cell{-1, u"—"_s});
        row.cells.push_back(plain(entry.deletion ? u"deleted"_s : u"added"_s));
        row.cells.push_back(plain(entry.portion));
        row.cells.push_back(plain(entry.food));
        addIntake(row.cells, entry.intake, CellColour::Standard, CellColour::Standard);
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table topFoods(const std::vector<History::FoodTotal> &foods)
{
    Table table;
    table.headers = {u"Food"_s, u"Calories"_s, u"Times"_s};
    for (const History::FoodTotal &food : foods) {
        Row row;
        row.cells = {plain(food.food), number(food.calories, 0), count(food.times)};
        table.rows.push_back(std::move(row));
    }
    return table;
}

void Model::setTable(Table table)
{
    beginResetModel();
    m_table = std::move(table);
    m_locale = QLocale();
    endResetModel();
}

int Model::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size());
}

int Model::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.headers.size());
}

QVariant Model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_table.rows.size())
        return {};
    const Row &row = m_table.rows[std::size_t(index.row())];
    if (std::size_t(index.column()) >= row.cells.size())
        return {};
    const Cell &cell = row.cells[std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return cell.shown(m_locale);
    case SortRole:
        // A number missing, such as the share of a day without calories, sorts below every number.
        if (!cell.value.isValid() && cell.number)
            return -std::numeric_limits<double>::infinity();
        return cell.value.isValid() ? cell.value : QVariant(cell.text);
    case Qt::ForegroundRole:
        if (const QColor colour = colourOf(cell.colour); colour.isValid())
            return colour;
        return {};
    case Qt::FontRole:
        if (row.marked) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (cell.number ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_table.headers.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_table.shortHeaders.value(section, m_table.headers[section]);
    if (role == Qt::ToolTipRole)
        return m_table.headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace HistoryTable
