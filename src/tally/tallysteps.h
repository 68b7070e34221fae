#pragma once

#include <optional>

#include <QStringView>

#include "daytally.h"

// The building blocks that adding, deleting and reopening share. Every
// function that can fail returns false or nullopt and leaves the cell as it
// was; the operation then stops where it stands.
namespace TallySteps {

// The number at the start of a text; nullopt when it lies beyond the range
// of a double.
std::optional<double> numberOf(QStringView text);
std::optional<double> numberOf(const DayTally &tally, DayTally::Cell cell);

// Writes the value rounded to a whole number, ties to even. False when the
// result lies outside -32768 to 32767.
bool setWhole(DayTally &tally, DayTally::Cell cell, double value);

// Writes a whole number as plain digits.
void setWhole(DayTally &tally, DayTally::Cell cell, int value);

// Writes the value by the number-text rule. False when it is not finite.
bool setDecimal(DayTally &tally, DayTally::Cell cell, double value);

// Every percent cell whose total is exactly 0 shows "0", in the order fat,
// saturated fat, carbohydrates, proteins, cholesterol. Colours stay.
void zeroPass(DayTally &tally);

} // namespace TallySteps
