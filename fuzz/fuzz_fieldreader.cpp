// The field reader over any bytes a food database, a totals file or the food
// log may hold, and the record writer's promise that every record it agrees
// to write reads back unchanged.

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

#include "fieldreader.h"
#include "foodtable.h"
#include "fuzzcheck.h"
#include "textfile.h"

using Fuzz::require;
using Fuzz::shown;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

void readAllFields(const QString &text)
{
    FieldReader reader(text);
    const bool anyQuote = text.contains(u'"');
    qsizetype fields = 0;
    qsizetype fieldChars = 0;
    while (!reader.atEnd()) {
        const std::optional<QString> field = reader.next();
        if (!field) {
            require(reader.atEnd(), "a failed read leaves the reader at the end");
            require(anyQuote, "only a quotation mark that is never closed makes a read fail");
            break;
        }
        ++fields;
        fieldChars += field->size();
        require(fields <= text.size(), "every field uses up at least one character");
        require(fieldChars <= text.size(), "fields hold no more than the text");
        // Separators and outer blanks reach a field only through quotes.
        const bool plain = !field->contains(u',') && !field->contains(u'\n')
            && !(!field->isEmpty() && (isBlank(field->front()) || isBlank(field->back())));
        require(plain || anyQuote, "an unquoted field holds no separator and no outer blank",
                shown(*field));
    }
    require(!reader.next(), "nothing is read after the end");
}

// Nine texts from the input's first nine lines, the missing ones empty.
FoodRecord recordFrom(const QString &text)
{
    FoodRecord record;
    const QStringList lines = text.split(u'\n');
    for (int column = 0; column < Food::ColumnCount && column < lines.size(); ++column)
        record[static_cast<std::size_t>(column)] = lines[column];
    return record;
}

QString withoutLeadingSpaces(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.sliced(start);
}

void writeAndReadBack(const FoodRecord &record)
{
    int refused = -1;
    const std::optional<QString> written = recordText(record, &refused);
    if (!written) {
        require(refused >= 0 && refused < Food::ColumnCount, "a refusal names its column");
        require(!canWriteField(record[static_cast<std::size_t>(refused)]),
                "the refused column is one the writer cannot carry");
        for (int column = 0; column < refused; ++column)
            require(canWriteField(record[static_cast<std::size_t>(column)]),
                    "the writer refuses the first column it cannot carry");
        return;
    }
    for (const QString &field : record)
        require(canWriteField(field), "the writer wrote a field it calls unwritable", shown(field));

    // The file form: nine lines, each ended by CR LF, and its bytes decode
    // back to the same text.
    require(written->endsWith(u"\r\n"), "a record ends with CR LF");
    require(TextFile::decode(TextFile::encode(*written)) == *written,
            "the written record survives the code page");

    FieldReader reader(*written);
    for (const QString &field : record) {
        const std::optional<QString> read = reader.next();
        require(read.has_value(), "a written field can be read");
        require(*read == field, "a written field reads back unchanged",
                shown(field) + QStringLiteral(" came back as ") + shown(*read));
    }
    require(reader.atEnd(), "a written record is nine fields and no more");

    static FoodTable table;
    const FoodLoad load = loadFoodTableFromBytes(TextFile::encode(*written), table);
    require(load.complete && load.names == QStringList{record[Food::Name]},
            "a written record loads as one item under its own name");
    for (int column = 0; column < Food::ColumnCount; ++column) {
        const auto c = static_cast<std::size_t>(column);
        require(table.row(0)[c] == withoutLeadingSpaces(record[c]),
                "a loaded cell is the written text without its leading spaces");
    }
    table.row(0) = FoodRecord{}; // freed again, for libFuzzer's leak check
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString text = TextFile::decode(bytes);
    require(TextFile::encode(text) == bytes, "every byte decodes and encodes back unchanged");
    readAllFields(text);
    writeAndReadBack(recordFrom(text));
    return 0;
}
