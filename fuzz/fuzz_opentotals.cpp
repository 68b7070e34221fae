// SPDX-License-Identifier: GPL-3.0-or-later
// Reopening the day's totals from any bytes the day's file may hold: fewer
// than eleven fields change nothing; otherwise the grams come back as
// written, the saturated-fat cells never, colours only turn red (today's
// also green), and a second opening changes nothing more.

#include <cstddef>
#include <cstdint>

#include <QDir>
#include <QTemporaryDir>

#include "database/fieldreader.h"
#include "database/textfile.h"
#include "fuzz/fuzzcheck.h"
#include "tally/totalsfile.h"

using Fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // In memory where the system has it; the folder goes when the run ends.
    static const QTemporaryDir dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                                   + QStringLiteral("/forkwell-fuzz-XXXXXX"));
    static const Clock clock{[] { return QDate(2026, 12, 4); }, [] { return QTime(19, 45, 10); }};
    const QByteArray bytes = Fuzz::bytes(data, size);
    require(TextFile::writeBytesAtomically(dir.filePath(QStringLiteral("12-04-2026")), bytes), "the day's file is written");
    QStringList fields;
    const QString text = TextFile::decode(bytes);
    FieldReader reader(text);
    for (std::optional<QString> field; fields.size() < 11 && (field = reader.next());)
        fields += *field;

    const DayTally start;
    DayTally tally;
    openTotals(tally, clock, dir.path());
    if (fields.size() < 11) {
        require(tally == start, "a file of fewer than eleven fields changes nothing");
        return 0;
    }
    for (const DayTally::Cell cell : {DayTally::TotalSatFatCalories, DayTally::SatFatPercent})
        require(tally.cell(cell) == start.cell(cell), "the saturated-fat cells are left alone");
    for (int i = 0; i < DayTally::CellCount; ++i) {
        const auto cell = DayTally::Cell(i);
        const CellColour colour = tally.colour(cell);
        require(colour == start.colour(cell) || colour == CellColour::Red || (cell == DayTally::TodayCalories && colour == CellColour::Green),
                "reopening only turns cells red, and today's calories green");
    }
    if (tally.text(DayTally::TotalProteinCalories) != start.text(DayTally::TotalProteinCalories)) {
        for (int field = 5; field < 11; ++field)
            require(tally.text(DayTally::Cell(DayTally::TotalFatGrams + field - 5)) == fields[field], "a gram total reopens as written");
    }
    DayTally again = tally;
    openTotals(again, clock, dir.path());
    require(again == tally, "opening twice gives what opening once gave");
    return 0;
}
