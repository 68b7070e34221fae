// SPDX-License-Identifier: GPL-3.0-or-later
// The food database over any bytes a "diet" may hold: the field reader fails
// only on a quotation mark never closed; the Load stores every complete
// record up to 15001 rows, in file order, and no more; a record counts as in
// the written form exactly when the writer gives back its bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "database/fieldreader.h"
#include "database/foodtable.h"
#include "database/textfile.h"
#include "fuzz/fuzzcheck.h"

using Fuzz::require;
using Fuzz::shown;

namespace {

// Inputs that begin with '*' and a 16-bit count stand for the rest repeated
// that many times, so that short inputs reach the end of the table.
QByteArray expanded(const QByteArray &input)
{
    if (input.size() < 4 || input[0] != '*')
        return input;
    const int count = static_cast<unsigned char>(input[1]) | static_cast<unsigned char>(input[2]) << 8;
    const QByteArray body = input.sliced(3);
    return body.repeated(std::min<qsizetype>(count, 512 * 1024 / body.size()));
}

QString withoutLeadingSpaces(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.sliced(start);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = expanded(Fuzz::bytes(data, size));
    const QString text = TextFile::decode(bytes);
    require(TextFile::encode(text) == bytes, "every byte decodes and encodes back unchanged");

    std::vector<QString> fields;
    bool readFailed = false;
    const bool anyQuote = text.contains(u'"');
    FieldReader reader(text);
    while (!reader.atEnd() && fields.size() <= 9 * std::size_t(FoodTable::RowCount + 1)) {
        std::optional<QString> field = reader.next();
        if (!field) {
            require(reader.atEnd() && anyQuote, "only a quotation mark never closed makes a read fail");
            readFailed = true;
            break;
        }
        const bool plain = !field->contains(u',') && !field->contains(u'\n')
            && (field->isEmpty() || (!isBlank(field->front()) && !isBlank(field->back())));
        require(plain || anyQuote, "an unquoted field holds no separator and no outer blank", shown(*field));
        fields.push_back(std::move(*field));
    }
    require(!readFailed || !reader.next(), "nothing is read after a failure");
    const std::size_t records = fields.size() / 9;
    const auto expectedRows = qsizetype(std::min<std::size_t>(records, FoodTable::RowCount));
    const bool expectedComplete = !readFailed && reader.atEnd() && fields.size() % 9 == 0 && records <= FoodTable::RowCount;

    static FoodTable table;
    const QString mark = QStringLiteral("\u2603 untouched"); // in the first row the load must leave alone
    if (expectedRows < FoodTable::RowCount)
        table.row(int(expectedRows))[Food::Measure] = mark;

    std::vector<qsizetype> recordEnds;
    const FoodLoad load = loadFoodTableFromBytes(bytes, table, &recordEnds);
    require(load.opened && load.names.size() == expectedRows, "the load stores every complete record",
            QStringLiteral("%1 stored, %2 expected").arg(load.names.size()).arg(expectedRows));
    require(load.complete == expectedComplete, "the load says whether it read the whole file");
    require(recordEnds.size() == std::size_t(expectedRows), "the load tells where each record ends");
    for (qsizetype row = 0; row < expectedRows; ++row) {
        const FoodRecord &cells = table.row(int(row));
        const auto first = std::size_t(row) * 9;
        require(load.names[row] == fields[first], "entry i names row i as read");
        for (std::size_t column = 0; column < 9; ++column)
            require(cells[column] == withoutLeadingSpaces(fields[first + column]), "a cell holds its field without leading spaces");
        // A save copies such a record's bytes instead of writing its cells.
        const qsizetype start = row == 0 ? 0 : recordEnds[std::size_t(row - 1)];
        const QByteArrayView record = QByteArrayView(bytes).sliced(start, recordEnds[std::size_t(row)] - start);
        const std::optional<QString> written = recordText(cells);
        require(written.has_value(), "the writer takes every record a load stores");
        require(isWrittenForm(record) == (TextFile::encode(*written) == record),
                "a record is in the written form exactly when the writer gives back its bytes");
    }
    if (expectedRows < FoodTable::RowCount)
        require(table.row(int(expectedRows))[Food::Measure] == mark, "rows after the last record loaded stay as they were");

    // Each run frees what it stored, so that libFuzzer's leak check only wakes for real leaks.
    for (qsizetype row = 0; row <= expectedRows && row < FoodTable::RowCount; ++row)
        table.row(int(row)) = FoodRecord{};
    return 0;
}
