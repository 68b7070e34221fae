// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// The two rules by which the program computes with texts, and the
// rounding of whole-number cells.
namespace NumberRules {

// The number at the start of a text. Blanks, tabs and line feeds count for
// nothing, also between digits ("1 5" is 15). Reads an optional sign, digits
// with at most one ".", and an optional exponent (E or e, optional sign,
// digits); stops at the first character that cannot continue the number.
// A text with no leading number gives 0. nullopt when the number lies
// beyond the range of a double (such as 1e400); a number too small for a
// double gives 0.
std::optional<double> numberPrefix(QStringView text);

// The value as text: at most 15 significant digits, no trailing zeros, no
// leading blank, "." as the decimal point. Magnitudes from 1E15 up and
// below 1E-4 are written in exponent form ("1E+15", "2.5E-07"). Negative
// zero is written "0". value must be finite. Magnitudes whose rounding would
// pass the largest double have their digits cut after the 15th instead, so
// that every text written reads back as a number.
QString numberText(double value);

// The value rounded to a whole number, ties to the even neighbour (12.5
// gives 12, 13.5 gives 14). nullopt when the result lies outside -32768 to
// 32767 or the value is not finite.
std::optional<int> wholeNumber(double value);

// wholeNumber written as plain digits, with a minus sign when negative.
std::optional<QString> wholeNumberText(double value);

} // namespace NumberRules
