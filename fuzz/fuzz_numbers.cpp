// SPDX-License-Identifier: GPL-3.0-or-later
// The number rules over any input: its bytes as a text a cell, a box or a
// file may hold, read by the number-prefix rule, and its first eight bytes
// as a double, written by the number-text rule and read back.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <QRegularExpression>

#include "fuzzcheck.h"
#include "numberrules.h"
#include "textfile.h"

using Fuzz::require;
using Fuzz::shown;
using NumberRules::numberPrefix;
using NumberRules::numberText;

namespace {

QString detail(const QString &text, std::optional<double> a, std::optional<double> b)
{
    const auto value = [](std::optional<double> v) { return v ? QString::number(*v, 'g', 17) : QStringLiteral("none"); };
    return shown(text) + QStringLiteral(": ") + value(a) + QStringLiteral(" and ") + value(b);
}

void readText(const QString &text)
{
    const std::optional<double> value = numberPrefix(text);
    require(!value || std::isfinite(*value), "a number read is finite", shown(text));

    QString squeezed = text;
    squeezed.removeIf([](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; });
    require(numberPrefix(squeezed) == value, "blanks, tabs and line feeds change nothing",
            detail(text, value, numberPrefix(squeezed)));
    if (const qsizetype slash = text.indexOf(u'/'); slash >= 0)
        require(numberPrefix(text.first(slash)) == value, "reading stops where the number cannot go on", shown(text));
    if (squeezed.isEmpty() || (squeezed[0] != u'+' && squeezed[0] != u'-')) {
        const std::optional<double> negated = numberPrefix(u'-' + text);
        require(numberPrefix(u'+' + text) == value, "a plus sign changes nothing", shown(text));
        require(negated.has_value() == value.has_value() && (!value || *negated == -*value),
                "a minus sign negates the number", detail(text, value, negated));
    }
}

// The double nearest to value rounded to 15 significant digits, by the C
// library; beyond the largest double, the digits cut toward zero.
double fifteenDigits(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    double rounded = std::strtod(text, nullptr);
    if (std::isinf(rounded)) {
        std::snprintf(text, sizeof text, "%.20e", std::fabs(value));
        std::memcpy(text + 16, "e308", 5);
        rounded = std::strtod(text, nullptr);
    }
    return std::copysign(rounded, value);
}

void writeNumber(double value)
{
    const QString text = numberText(value);
    const QString where = QString::number(value, 'g', 17) + QStringLiteral(" -> ") + text;
    // Plain digits without trailing zeros after a point, or one digit, at most
    // 14 decimals and an exponent of two or three digits.
    static const QRegularExpression form(
        QStringLiteral(R"(^-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?$|^-?[1-9](\.[0-9]{0,13}[1-9])?E[+-][0-9]{2,3}$)"));
    require(form.match(text).hasMatch() && text != QStringLiteral("-0"), "a number is written in one of the two forms", where);
    QString digits = text.section(u'E', 0, 0);
    digits.remove(u'-').remove(u'.');
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    require(digits.size() <= 15, "at most 15 significant digits", where);
    const std::optional<double> back = numberPrefix(text);
    const double expected = value == 0 ? 0.0 : fifteenDigits(value);
    require(back == expected, "a written number reads back as the same 15 digits", where);
    require(numberText(*back) == text, "writing what was read gives the same text", where);
    const double magnitude = std::fabs(expected);
    require(text.contains(u'E') == (magnitude != 0 && (magnitude >= 1e15 || magnitude < 1e-4)),
            "the exponent form is kept for 1E15 and above and below 1E-4", where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Even sizes as the code page's bytes, as files hold them; odd ones as
    // any UTF-16, as a user may type it.
    const QByteArray bytes = Fuzz::bytes(data, size);
    readText(size % 2 == 0 ? TextFile::decode(bytes)
                           : QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2));
    double value = 0;
    std::memcpy(&value, data, std::min(size, sizeof value));
    if (std::isfinite(value))
        writeNumber(value);
    return 0;
}
