// SPDX-License-Identifier: GPL-3.0-or-later
#include "nutrients/numberrules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <locale.h>

namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// strtod of the C locale, whatever locale the program runs in.
double parseDouble(const std::string &number)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

} // namespace

namespace NumberRules {

std::optional<double> numberPrefix(QStringView text)
{
    // Collect the number's characters, skipping what counts for nothing.
    std::string number;
    qsizetype i = 0;
    const qsizetype size = text.size();
    auto peek = [&]() -> QChar {
        while (i < size && isIgnored(text[i]))
            ++i;
        return i < size ? text[i] : QChar();
    };

    QChar c = peek();
    if (c == u'+' || c == u'-') {
        number += static_cast<char>(c.unicode());
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (c = peek(); isDigit(c) || (c == u'.' && !point); c = peek()) {
        point = point || c == u'.';
        anyDigit = anyDigit || isDigit(c);
        number += static_cast<char>(c.unicode());
        ++i;
    }
    if (!anyDigit)
        return 0.0;

    if (c == u'e' || c == u'E') {
        const qsizetype mark = i;
        std::string exponent = "e";
        ++i;
        c = peek();
        if (c == u'+' || c == u'-') {
            exponent += static_cast<char>(c.unicode());
            ++i;
        }
        bool exponentDigit = false;
        for (c = peek(); isDigit(c); c = peek()) {
            exponentDigit = true;
            exponent += static_cast<char>(c.unicode());
            ++i;
        }
        // "2E" and "2E+" are just 2.
        if (exponentDigit)
            number += exponent;
        else
            i = mark;
    }

    const double value = parseDouble(number);
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

QString numberText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");

    // Fifteen significant digits, rounded once; everything below works on them.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const std::string scientific(buffer);
    const std::size_t ePos = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k) {
        // Only the digits: the decimal point is the C library's locale's.
        if (scientific[k] >= '0' && scientific[k] <= '9')
            digits += scientific[k];
    }
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    // Rounded up, the very largest doubles would be written as a number
    // beyond the range, which no longer reads back: their digits are cut.
    if (exponent == 308 && digits > "179769313486231")
        digits = "179769313486231";
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        out += exponentText;
    } else if (exponent < 0) {
        out += "0.";
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out += digits;
            out += std::string(integerDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, integerDigits);
            out += '.';
            out += digits.substr(integerDigits);
        }
    }
    return QString::fromLatin1(out);
}

std::optional<int> wholeNumber(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // The default rounding mode sends ties to the even neighbour.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::optional<QString> wholeNumberText(double value)
{
    const std::optional<int> whole = wholeNumber(value);
    if (!whole)
        return std::nullopt;
    return QString::number(*whole);
}

} // namespace NumberRules
