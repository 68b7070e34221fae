#include "foodtable.h"

#include "fieldreader.h"
#include "textfile.h"

namespace {

QString withoutLeadingSpaces(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return start == 0 ? text : text.sliced(start);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool needsQuotes(QStringView text)
{
    return text.contains(u',') || text.startsWith(u'"')
        || (!text.isEmpty() && (isBlank(text.front()) || isBlank(text.back())));
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
    int row = 0;
    while (!reader.atEnd()) {
        FoodRecord record;
        for (QString &field : record) {
            std::optional<QString> value = reader.next();
            if (!value)
                return load;
            field = std::move(*value);
        }
        if (!FoodTable::isRow(row))
            return load;
        FoodRecord &cells = table.row(row);
        for (int column = 0; column < Food::ColumnCount; ++column)
            cells[column] = withoutLeadingSpaces(record[column]);
        load.names.append(record[Food::Name]);
        ++row;
    }
    load.complete = true;
    return load;
}

bool canWriteField(QStringView text)
{
    if (text.contains(u'\n') || text.contains(u'\r'))
        return false;
    return !(needsQuotes(text) && text.contains(u'"'));
}

std::optional<QString> recordText(const FoodRecord &record, int *refused)
{
    QString text;
    for (int column = 0; column < Food::ColumnCount; ++column) {
        const QString &field = record[column];
        if (!canWriteField(field)) {
            if (refused)
                *refused = column;
            return std::nullopt;
        }
        if (needsQuotes(field))
            text += u'"' + field + u'"';
        else
            text += field;
        text += u"\r\n";
    }
    return text;
}
