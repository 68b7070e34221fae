// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/foodtable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "database/fieldreader.h"
#include "database/textfile.h"

namespace {

QByteArrayView withoutLeadingSpaces(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && bytes[start] == ' ')
        ++start;
    return bytes.sliced(start);
}

// Whether the cell holds exactly what the bytes decode to. Most cells are
// short, plain ASCII and compared in place, without a call for each of the
// 135009 cells.
inline bool holds(const QString &cell, QByteArrayView bytes)
{
    if (cell.size() != bytes.size())
        return false;
    if (bytes.size() > 16)
        return TextFile::decodesTo(bytes, cell);
    // Only a byte from 0x80 to 0x9F can decode to a character other than
    // the one of the same value.
    const QChar *held = cell.constData();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (held[i].unicode() != b || b - 0x80u < 0x20u)
            return TextFile::decodesTo(bytes, cell);
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
    QString get(QByteArrayView bytes)
    {
        if (bytes.size() > Longest)
            return TextFile::decode(bytes);
        // FNV-1a over the bytes picks the slot; a slot keeps the last text
        // that landed in it.
        quint32 hash = 2166136261u;
        for (const char b : bytes)
            hash = (hash ^ static_cast<unsigned char>(b)) * 16777619u;
        QString &slot = m_slots[hash % SlotCount];
        if (!holds(slot, bytes) || slot.isNull())
            slot = TextFile::decode(bytes);
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

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// How the writer must treat a field, found in one pass over it. The reader
// gives back a plain line as it stands, a carriage return inside it
// included, unless it holds a comma or a line feed, starts with a
// quotation mark or has a blank at either end. Quotes carry all of those,
// but not a quotation mark of their own.
enum class FieldForm { Plain, Quoted, Refused };

bool needsQuotes(QStringView text, bool separator)
{
    return separator || text.startsWith(u'"')
        || (!text.isEmpty() && (isBlank(text.front()) || isBlank(text.back())));
}

FieldForm fieldForm(QStringView text)
{
    bool separator = false;
    bool quote = false;
    for (const QChar c : text) {
        // Letters and digits all lie above the comma: one comparison passes them.
        if (c > u',')
            continue;
        separator = separator || c == u',' || c == u'\n';
        quote = quote || c == u'"';
    }
    if (!needsQuotes(text, separator))
        return FieldForm::Plain;
    return quote ? FieldForm::Refused : FieldForm::Quoted;
}

// Whether the writer gives back exactly this text, between quotation marks
// or not, for the cell a load stores from it. A quoted text holds no mark of
// its own and must not start with a blank, which the load drops.
bool writtenAsRead(QByteArrayView text, bool quoted)
{
    const bool blankAtAnEnd = !text.isEmpty() && (isBlank(text.front()) || isBlank(text.back()));
    if (!quoted)
        return !blankAtAnEnd;
    return !text.startsWith(' ') && (blankAtAnEnd || text.contains(',') || text.contains('\n'));
}

} // namespace

FoodTable::FoodTable()
    : m_rows(RowCount)
{
}

FoodLoad loadFoodTable(const QString &path, FoodTable &table)
{
    bool cutShort = false;
    const std::optional<QByteArray> bytes = TextFile::readBytes(path, nullptr, &cutShort);
    if (!bytes)
        return {};
    if (!cutShort)
        return loadFoodTableFromBytes(*bytes, table);
    // A read that failed part way: every field that ended before the failure
    // is as the file holds it, and the one it cut is left out with its record.
    const qsizetype lastSeparator = std::max(bytes->lastIndexOf('\n'), bytes->lastIndexOf(','));
    FoodLoad load = loadFoodTableFromBytes(QByteArrayView(*bytes).first(lastSeparator + 1), table);
    load.complete = false;
    return load;
}

FoodLoad loadFoodTableFromBytes(QByteArrayView bytes, FoodTable &table, std::vector<qsizetype> *recordEnds)
{
    FoodLoad load;
    load.opened = true;
    // The bytes are read as they are and only the cells that change are
    // decoded: every separator, quotation mark and blank is ASCII.
    ByteFieldReader reader(bytes);
    ShortTexts shortTexts;
    // Room for as many names as the file could hold (a record takes at
    // least nine line ends), so that the list never moves while it grows.
    constexpr qsizetype ShortestRecord = 2 * Food::ColumnCount;
    load.names.reserve(std::min<qsizetype>(bytes.size() / ShortestRecord + 1, FoodTable::RowCount));
    int row = 0;
    std::array<QByteArrayView, Food::ColumnCount> record;
    while (!reader.atEnd()) {
        for (QByteArrayView &field : record) {
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
            const QByteArrayView cell = withoutLeadingSpaces(record[column]);
            if (!holds(cells[column], cell))
                cells[column] = shortTexts.get(cell);
        }
        const QString &name = cells[Food::Name];
        load.names.append(name.size() == record[Food::Name].size() ? name
                                                                   : TextFile::decode(record[Food::Name]));
        if (recordEnds)
            recordEnds->push_back(reader.position());
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

bool isWrittenForm(QByteArrayView record)
{
    const char *at = record.data();
    const char *const end = at + record.size();
    for (int column = 0; column < Food::ColumnCount; ++column) {
        const bool quoted = at != end && *at == '"';
        const char *textEnd;
        if (quoted) {
            // The text runs to the closing mark, across commas and line ends;
            // the line end follows the mark at once.
            textEnd = std::find(at + 1, end, '"');
            if (end - textEnd < 3 || textEnd[1] != '\r' || textEnd[2] != '\n')
                return false;
            ++at;
        } else {
            // A plain line runs to its CR LF; a comma would end the field
            // before. Every other byte the reader treats apart lies above the comma.
            textEnd = at;
            for (; textEnd != end; ++textEnd) {
                const auto c = static_cast<unsigned char>(*textEnd);
                if (c <= ',' && (c == '\n' || c == ','))
                    break;
            }
            if (textEnd == end || *textEnd == ',' || textEnd == at || textEnd[-1] != '\r')
                return false;
            --textEnd;
        }
        if (!writtenAsRead(QByteArrayView(at, textEnd), quoted))
            return false;
        at = textEnd + (quoted ? 3 : 2);
    }
    return at == end;
}
