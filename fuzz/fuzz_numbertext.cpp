// The number-text rule on every finite double, read back by the
// number-prefix rule.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QRegularExpression>
#include <QString>

#include "fuzzcheck.h"
#include "numberrules.h"

using Fuzz::require;

namespace {

// The double nearest to value rounded to 15 significant digits, computed
// by the C library: the reference the rule must meet. Where that rounding
// lies beyond the largest double, the digits rounded toward zero.
double fifteenDigits(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    double rounded = std::strtod(text, nullptr);
    if (std::isinf(rounded)) {
        // Only at the top of the range, with exponent 308: d.dddddddddddddd
        // of the value's own digits, the rest cut off.
        std::snprintf(text, sizeof text, "%.20e", std::fabs(value));
        std::memcpy(text + 16, "e308", 5);
        rounded = std::strtod(text, nullptr);
    }
    return std::copysign(rounded, value);
}

int significantDigits(const QString &mantissa)
{
    QString digits = mantissa;
    digits.remove(u'-');
    digits.remove(u'.');
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return static_cast<int>(digits.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    double value = 0;
    std::memcpy(&value, data, std::min(size, sizeof value));
    if (!std::isfinite(value))
        return 0;

    const QString text = NumberRules::numberText(value);
    const QString where = QString::number(value, 'g', 17) + QStringLiteral(" -> ") + text;

    // Plain digits with no trailing zeros after a point, or one digit, the
    // decimals and an exponent of at least two digits.
    static const QRegularExpression plain(QStringLiteral(R"(^-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?$)"));
    static const QRegularExpression exponent(
        QStringLiteral(R"(^(-?[1-9](\.[0-9]*[1-9])?)E[+-][0-9]{2,3}$)"));
    const QRegularExpressionMatch exponentMatch = exponent.match(text);
    require(plain.match(text).hasMatch() || exponentMatch.hasMatch(),
            "a number is written in one of the two forms", where);
    const QString mantissa = exponentMatch.hasMatch() ? exponentMatch.captured(1) : text;
    require(significantDigits(mantissa) <= 15, "at most 15 significant digits", where);
    require(text != QStringLiteral("-0"), "zero has no sign", where);

    const std::optional<double> back = NumberRules::numberPrefix(text);
    require(back.has_value(), "a written number reads back", where);
    const double expected = value == 0 ? 0.0 : fifteenDigits(value);
    require(*back == expected, "a written number reads back as the same 15 digits",
            where + QStringLiteral(" read as ") + QString::number(*back, 'g', 17));
    require(NumberRules::numberText(*back) == text, "writing what was read gives the same text",
            where);

    const double magnitude = std::fabs(expected);
    require(exponentMatch.hasMatch() == (magnitude != 0 && (magnitude >= 1e15 || magnitude < 1e-4)),
            "the exponent form is kept for 1E15 and above and below 1E-4", where);
    return 0;
}
