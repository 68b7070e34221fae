// The number-prefix rule over any text a cell, a box or a file may hold.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include <QString>

#include "fuzzcheck.h"
#include "numberrules.h"
#include "textfile.h"

using Fuzz::require;
using Fuzz::shown;
using NumberRules::numberPrefix;

namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

QString detail(const QString &text, std::optional<double> a, std::optional<double> b)
{
    const auto value = [](std::optional<double> v) {
        return v ? QString::number(*v, 'g', 17) : QStringLiteral("out of range");
    };
    return shown(text) + QStringLiteral(": ") + value(a) + QStringLiteral(" and ") + value(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Half the inputs as the code page's bytes, as files hold them; the
    // other half as any UTF-16, as a user may type it.
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString text = size % 2 == 0
        ? TextFile::decode(bytes)
        : QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);

    const std::optional<double> value = numberPrefix(text);
    if (value)
        require(std::isfinite(*value), "a number read is finite", shown(text));

    // Blanks, tabs and line feeds count for nothing, wherever they stand.
    QString squeezed = text;
    squeezed.removeIf(isIgnored);
    const std::optional<double> squeezedValue = numberPrefix(squeezed);
    require(squeezedValue == value, "blanks, tabs and line feeds change nothing",
            detail(text, value, squeezedValue));

    // Nothing after a slash, which no number continues over, is read.
    const qsizetype slash = text.indexOf(u'/');
    if (slash >= 0) {
        const std::optional<double> before = numberPrefix(text.first(slash));
        require(before == value, "reading stops where the number cannot go on",
                detail(text, value, before));
    }

    // A minus sign before a text without a sign of its own negates it.
    const qsizetype first = squeezed.isEmpty() ? -1 : 0;
    if (first < 0 || (squeezed[first] != u'+' && squeezed[first] != u'-')) {
        const std::optional<double> negated = numberPrefix(u'-' + text);
        const std::optional<double> plus = numberPrefix(u'+' + text);
        require(plus == value, "a plus sign changes nothing", detail(text, value, plus));
        require(negated.has_value() == value.has_value() && (!value || *negated == -*value),
                "a minus sign negates the number", detail(text, value, negated));
    }

    // What the number-text rule writes of the value reads back as the same
    // number to 15 significant digits, and writes the same text again.
    if (value) {
        const QString written = NumberRules::numberText(*value);
        const std::optional<double> again = numberPrefix(written);
        require(again.has_value(), "a written number reads back", shown(written));
        require(NumberRules::numberText(*again) == written,
                "a written number reads back to the same 15 digits", shown(written));
    }
    return 0;
}
