// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/totalsfile.h"

#include <array>
#include <cmath>

#include <QDir>
#include <QStringList>

#include "database/fieldreader.h"
#include "database/forkwellfiles.h"
#include "database/textfile.h"
#include "nutrients/advisedranges.h"
#include "nutrients/numberrules.h"
#include "tally/tallysteps.h"

using namespace TallySteps;

namespace {

// The cells of lines 2 to 11, in file order.
constexpr std::array<DayTally::Cell, 10> StoredCells = {
    DayTally::TotalFatCalories,   DayTally::TotalSatFatCalories, DayTally::TotalCarbCalories,
    DayTally::TotalProteinCalories, DayTally::TotalFatGrams,     DayTally::TotalSatFatGrams,
    DayTally::TotalCarbGrams,     DayTally::TotalProteinGrams,   DayTally::TotalCholesterolMg,
    DayTally::TotalFibreGrams,
};

constexpr qsizetype FieldCount = 11;

// Everything after the eleven fields are read. Returns at the first failure.
void restore(DayTally &tally, const QStringList &fields)
{
    // Fields 2, 4 and 5: the fat, carbohydrate and protein calories.
    const std::pair<qsizetype, DayTally::Cell> calories[] = {
        {1, DayTally::TotalFatCalories},
        {3, DayTally::TotalCarbCalories},
        {4, DayTally::TotalProteinCalories},
    };
    for (const auto &[field, cell] : calories) {
        const std::optional<double> value = numberOf(fields[field]);
        if (!value || !setWhole(tally, cell, *value))
            return;
    }
    // Fields 6 to 11, the grams, come back as they were written; field 3
    // is never restored.
    for (qsizetype field = 5; field < FieldCount; ++field)
        tally.setText(StoredCells[static_cast<std::size_t>(field - 1)], fields[field]);

    const std::optional<CalorieTotals> totals = setTodayCalories(tally);
    if (!totals || totals->today == 0)
        return;
    const std::optional<Percents> percents = setSharePercents(tally, *totals);
    if (!percents)
        return;
    const double t = totals->today;

    // Reopening only ever warns: today's colour comes after the percents,
    // nothing returns to the standard colour, and the carbohydrate grams
    // turn red only at a higher limit.
    colourToday(tally, t);
    if (percents->carb > AdvisedRanges::ShareHigh)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    if (percents->carb < AdvisedRanges::ShareLow)
        tally.setColour(DayTally::CarbPercent, CellColour::Red);
    const std::optional<double> carbGrams = numberOf(tally, DayTally::TotalCarbGrams);
    if (carbGrams && *carbGrams > AdvisedRanges::ReopenedCarbGramsHigh)
        tally.setColour(DayTally::TotalCarbGrams, CellColour::Red);
}

} // namespace

bool saveTotals(const DayTally &tally, const Clock &clock, const QString &folder, QString *error,
                QString *fileName)
{
    const QString name = ForkwellFiles::totalsName(clock.date());
    if (fileName)
        *fileName = name;
    // The first line takes the date from the clock once more.
    QStringList lines{dateText(clock.date())};
    for (const DayTally::Cell cell : StoredCells)
        lines += tally.text(cell);
    return TextFile::writeAtomically(QDir(folder).filePath(name), TextFile::joinLines(lines), error);
}

void openTotals(DayTally &tally, const Clock &clock, const QString &folder)
{
    const std::optional<QString> text = TextFile::read(QDir(folder).filePath(ForkwellFiles::totalsName(clock.date())));
    if (!text)
        return;
    // No cell changes before all eleven fields are in hand.
    FieldReader reader(*text);
    QStringList fields;
    while (fields.size() < FieldCount) {
        std::optional<QString> field = reader.next();
        if (!field)
            return;
        fields += std::move(*field);
    }
    restore(tally, fields);
}
