// SPDX-License-Identifier: GPL-3.0-or-later
// The importer's reading of one line of the USDA release: fields separated
// by "^", text fields between "~". Whatever it accepts it splits into
// fields that give the line back exactly.

#include <cstddef>
#include <cstdint>

#include <QString>

#include "fuzzcheck.h"
#include "textfile.h"
#include "usdarelease.h"

using Fuzz::require;
using Fuzz::shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString line = TextFile::decode(Fuzz::bytes(data, size));
    QString error;
    const std::optional<QList<QStringView>> fields = Usda::splitLine(line, &error);
    if (!fields) {
        require(error.startsWith(QStringLiteral("field ")), "a rejected line says which field",
                error);
        require(line.contains(u'~'), "only a misplaced ~ makes a line unreadable", shown(line));
        return 0;
    }
    require(!fields->isEmpty(), "a line holds at least one field");

    // Every field is a piece of the line; joined again, with its ~ where it
    // had them, the pieces are the line.
    QString joined;
    for (qsizetype i = 0; i < fields->size(); ++i) {
        const QStringView field = fields->at(i);
        const qsizetype offset = field.data() - line.constData();
        require(offset >= 0 && offset + field.size() <= line.size(), "a field lies in its line");
        const bool quoted = offset > 0 && line[offset - 1] == u'~';
        require(!field.contains(u'~'), "no field holds a ~", shown(line));
        require(quoted || !field.contains(u'^'), "only a field in ~ holds a ^", shown(line));
        if (i > 0)
            joined += u'^';
        joined += quoted ? u'~' + field.toString() + u'~' : field.toString();
    }
    require(joined == line, "the fields give the line back", shown(line) + QStringLiteral(" / ")
            + shown(joined));
    return 0;
}
