// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QByteArrayView>
#include <QLatin1StringView>

// The lines of a food log entry, as the program writes them after each
// addition and deletion and as the log is read back. All plain ASCII, so
// the same bytes in the code page.
namespace LogFormat {

// An entry's lines: the stamp, a blank line, the portion, the item box's
// text, "Contains:", the six values of the portion, the note, the running
// total's heading, the day's nine totals and a blank line.
inline constexpr int EntryLines = 23;

// Line 3 ends with the measure's grams: "1 cup (248 Grams) of:".
inline constexpr QLatin1StringView PortionEnd(" Grams) of:");
inline constexpr QLatin1StringView Contains("Contains:");

// Line 12 (index 11): empty after an addition, this note after a deletion.
inline constexpr qsizetype NoteLine = 11;
inline constexpr QLatin1StringView DeletionNote("The above was deleted and below is the amended total:");

// Written with a blank at its end, which an editor may drop.
inline constexpr QLatin1StringView RunningTotal("Your running total for today to this point is: ");

// Lines 6 to 11: the portion's values, each after its number.
inline constexpr std::array<QLatin1StringView, 6> ItemUnits = {
    QLatin1StringView(" Calories"),
    QLatin1StringView(" Grams of Total Fat (including Saturated)"),
    QLatin1StringView(" Grams of Just Saturated Fat"),
    QLatin1StringView(" Grams of Carbohydrates"),
    QLatin1StringView(" Grams of Proteins"),
    QLatin1StringView(" Miligrams of Cholesterol"),
};

// Lines 14 to 22: the day's totals after the entry, each after its number;
// the first ends with a blank too.
inline constexpr std::array<QLatin1StringView, 9> TotalUnits = {
    QLatin1StringView(" Total Calories "),
    QLatin1StringView(" Total Fat Calories"),
    QLatin1StringView(" Total Carbohydrate Calories"),
    QLatin1StringView(" Total Protein Calories"),
    QLatin1StringView(" Total Grams of All Fats (including Saturated)"),
    QLatin1StringView(" Total Grams of Just Saturated Fats"),
    QLatin1StringView(" Total Grams of Carbohydrates"),
    QLatin1StringView(" Total Grams of Proteins"),
    QLatin1StringView(" Total Milligrams of Cholesterol"),
};

// A text of the table as the bytes the log holds.
constexpr QByteArrayView bytes(QLatin1StringView text)
{
    return QByteArrayView(text.data(), text.size());
}

} // namespace LogFormat
