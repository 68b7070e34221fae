// Reopening the day's totals from any bytes the day's file may hold.

#include <cstddef>
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "daytally.h"
#include "fieldreader.h"
#include "fuzzcheck.h"
#include "textfile.h"
#include "totalsfile.h"

using Fuzz::require;
using Fuzz::shown;

namespace {

constexpr DayTally::Cell GramCells[] = {DayTally::TotalFatGrams,      DayTally::TotalSatFatGrams,
                                       DayTally::TotalCarbGrams,     DayTally::TotalProteinGrams,
                                       DayTally::TotalCholesterolMg, DayTally::TotalFibreGrams};
constexpr DayTally::Cell CalorieCells[] = {DayTally::TotalFatCalories, DayTally::TotalCarbCalories,
                                          DayTally::TotalProteinCalories};

// A folder of its own for the day's file, in memory where the system has
// one; it goes when the run ends.
QString folder()
{
    static const QTemporaryDir dir(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/forkwell-fuzz-XXXXXX"));
    return dir.path();
}

const Clock &dayClock()
{
    static const Clock c{[] { return QDate(2026, 12, 4); }, [] { return QTime(19, 45, 10); }};
    return c;
}

void writeDayFile(const QByteArray &bytes)
{
    QFile file(folder() + QStringLiteral("/12-04-2026"));
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "the day's file is written");
}

// A text the totals file carries unchanged: written as it stands, it reads
// back as the same field.
bool plain(const QString &text)
{
    if (text.contains(u',') || text.contains(u'\n') || text.contains(u'\r') || text.startsWith(u'"'))
        return false;
    return text.isEmpty()
        || (text.front() != u' ' && text.front() != u'\t' && text.back() != u' ' && text.back() != u'\t');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    writeDayFile(bytes);

    // The fields as the reader finds them, up to eleven.
    QStringList fields;
    const QString text = TextFile::decode(bytes);
    FieldReader reader(text);
    while (fields.size() < 11) {
        std::optional<QString> field = reader.next();
        if (!field)
            break;
        fields += *field;
    }

    const DayTally start;
    DayTally tally;
    openTotals(tally, dayClock(), folder());

    if (fields.size() < 11) {
        require(tally == start, "a file of fewer than eleven fields changes nothing");
        return 0;
    }
    require(tally.cell(DayTally::TotalSatFatCalories) == start.cell(DayTally::TotalSatFatCalories),
            "the saturated-fat calories of the file never reach the window");
    require(tally.cell(DayTally::SatFatPercent) == start.cell(DayTally::SatFatPercent),
            "the saturated-fat percent is left alone");
    for (int i = 0; i < DayTally::CellCount; ++i) {
        const auto cell = static_cast<DayTally::Cell>(i);
        const CellColour colour = tally.colour(cell);
        require(colour == start.colour(cell) || colour == CellColour::Red
                    || (cell == DayTally::TodayCalories && colour == CellColour::Green),
                "reopening only turns cells red, and today's calories green");
    }
    for (const DayTally::Cell cell : CalorieCells) {
        const QString &total = tally.text(cell);
        if (total == start.text(cell))
            continue;
        bool isNumber = false;
        const int whole = total.toInt(&isNumber);
        require(isNumber && QString::number(whole) == total && whole >= -32768 && whole <= 32767,
                "a calorie total reopens as a whole number", shown(total));
    }
    const bool caloriesRestored = tally.text(DayTally::TotalProteinCalories) != start.text(DayTally::TotalProteinCalories);
    if (caloriesRestored) {
        for (int i = 0; i < 6; ++i)
            require(tally.text(GramCells[i]) == fields[5 + i], "a gram total reopens as it was written",
                    shown(fields[5 + i]) + QStringLiteral(" came back as ") + shown(tally.text(GramCells[i])));
    }

    // Opening again changes nothing more.
    DayTally again = tally;
    openTotals(again, dayClock(), folder());
    require(again == tally, "opening twice gives what opening once gave");

    // Saving what was reopened and opening that gives back every stored
    // cell, as long as the gram totals are texts the file carries.
    bool carried = caloriesRestored;
    for (int i = 0; i < 6 && carried; ++i)
        carried = plain(tally.text(GramCells[i]));
    if (carried) {
        QString error;
        require(saveTotals(tally, dayClock(), folder(), &error), "the totals are saved", error);
        DayTally reopened = tally;
        openTotals(reopened, dayClock(), folder());
        for (const DayTally::Cell cell : CalorieCells)
            require(reopened.text(cell) == tally.text(cell), "a saved calorie total reopens unchanged");
        for (const DayTally::Cell cell : GramCells)
            require(reopened.text(cell) == tally.text(cell), "a saved gram total reopens unchanged",
                    shown(tally.text(cell)));
    }
    return 0;
}
