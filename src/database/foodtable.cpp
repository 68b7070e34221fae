#include "foodtable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fieldreader.h"
#include "textfile.h"

namespace {

QStringView withoutLeadingSpaces(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.sliced(start);
}

// Whether the cell holds exactly the text. Most cells are short and are
// compared in place, without a call for each of the 135009 cells; names
// are long enough to be worth comparing many characters at a time.
inline bool holds(const QString &cell, QStringView text)
{
    if (cell.size() != text.size())
        return false;
    const QChar *held = cell.constData();
    if (text.size() > 16)
        return std::memcmp(held, text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar)) == 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (held[i] != text[i])
            return false;
    }
    return true;
}

// The short texts made during one load. Most cells of a database repeat a
// text some other cell already has ("0", "1 cup", "0.5"): those share one
// string instead of each allocating its own, which makes a first load
// faster and spares most of the memory the cells' texts would take.
class ShortTexts
{
public:
    QString get(QStringView text)
    {
        if (text.size() > Longest)
            return text.toString();
        // FNV-1a over the characters picks the slot; a slot keeps the last
        // text that landed in it.
        quint32 hash = 2166136261u;
        for (const QChar c : text)
            hash = (hash ^ c.unicode()) * 16777619u;
        QString &slot = m_slots[hash % SlotCount];
        if (!holds(slot, text) || slot.isNull())
            slot = text.toString();
        return slot;
    }

private:
    static constexpr qsizetype Longest = 16;
    static constexpr quint32 SlotCount = 4096;
    std::vector<QString> m_slots = std::vector<QString>(SlotCount);
};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// How the writer must treat a field, found in one pass over it.
enum class FieldForm { Plain, Quoted, Refused };

FieldForm fieldForm(QStringView text)
{
    bool comma = false;
    bool quote = false;
    for (const QChar c : text) {
        // Letters and digits all lie above the comma: one comparison passes them.
        if (c > u',')
            continue;
        if (c == u'\n' || c == u'\r')
            return FieldForm::Refused;
        comma = comma || c == u',';
        quote = quote || c == u'"';
    }
    const bool needsQuotes = comma || text.startsWith(u'"')
        || (!text.isEmpty() && (isBlank(text.front()) || isBlank(text.back())));
    // Quotes cannot carry a quotation mark of their own.
    if (needsQuotes && quote)
        return FieldForm::Refused;
    return needsQuotes ? FieldForm::Quoted : FieldForm::Plain;
}

} // namespace

FoodTable::FoodTable()
    : m_rows(RowCount)
{
}

FoodLoad loadFoodTable(const QString &path, FoodTable &table)
{
    const std::optional<QString> text = TextFile::read(path);
    if (!text)
        return {};
    return loadFoodTableFromText(*text, table);
}

FoodLoad loadFoodTableFromText(QStringView text, FoodTable &table)
{
    FoodLoad load;
    load.opened = true;
    FieldReader reader(text);
    ShortTexts shortTexts;
    int row = 0;
    std::array<QStringView, Food::ColumnCount> record;
    while (!reader.atEnd()) {
        for (QStringView &field : record) {
            if (!reader.nextView(field))
                return load;
        }
        if (!FoodTable::isRow(row)) {
            load.tableFull = true;
            return load;
        }
        // The main window loads the file again on every return to it and
        // mostly finds it unchanged: a cell that already holds its text keeps
        // it, which spares an allocation and a free for nearly every field.
        FoodRecord &cells = table.row(row);
        for (int column = 0; column < Food::ColumnCount; ++column) {
            const QStringView cell = withoutLeadingSpaces(record[column]);
            if (!holds(cells[column], cell))
                cells[column] = shortTexts.get(cell);
        }
        const QString &name = cells[Food::Name];
        load.names.append(name.size() == record[Food::Name].size() ? name : record[Food::Name].toString());
        ++row;
    }
    load.complete = true;
    return load;
}

bool canWriteField(QStringView text)
{
    return fieldForm(text) != FieldForm::Refused;
}

std::optional<QString> recordText(const FoodRecord &record, int *refused)
{
    // Sized first and then filled in place: the item editor writes every
    // record of the database this way on each save.
    std::array<FieldForm, Food::ColumnCount> forms;
    qsizetype size = 0;
    for (int column = 0; column < Food::ColumnCount; ++column) {
        forms[column] = fieldForm(record[column]);
        if (forms[column] == FieldForm::Refused) {
            if (refused)
                *refused = column;
            return std::nullopt;
        }
        size += record[column].size() + (forms[column] == FieldForm::Quoted ? 4 : 2);
    }
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    const auto put = [&out](QStringView part) {
        std::copy(part.begin(), part.end(), out);
        out += part.size();
    };
    for (int column = 0; column < Food::ColumnCount; ++column) {
        const bool quoted = forms[column] == FieldForm::Quoted;
        if (quoted)
            *out++ = u'"';
        put(record[column]);
        if (quoted)
            *out++ = u'"';
        put(u"\r\n");
    }
    return text;
}
