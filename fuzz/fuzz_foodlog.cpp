// SPDX-License-Identifier: GPL-3.0-or-later
// What the food log's reader makes of any bytes "mylist" may hold: entries
// in file order that read alone as they read in place, and every other byte
// counted as damaged. An entry the program writes reads back as written,
// also after any damage.

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

#include "database/textfile.h"
#include "fuzz/fuzzcheck.h"
#include "nutrients/numberrules.h"
#include "tally/foodlog.h"
#include "tally/logentry.h"
#include "tally/logformat.h"

using namespace Qt::StringLiterals;
using Fuzz::require;

namespace {

bool sameEntry(const FoodLog::Entry &a, const FoodLog::Entry &b)
{
    return a.date == b.date && a.time == b.time && a.deletion == b.deletion && a.portion == b.portion
        && a.food == b.food && a.intake == b.intake && a.length == b.length;
}

// The entry the program writes from the input's pieces ("|" between them):
// item box, portion, item rows, running totals. The first bytes give the
// day, the time, AM/PM or another locale's designators, and the kind.
QByteArray writtenEntry(const QByteArray &input, FoodLog::Entry *expected)
{
    const auto byte = [&](int i) { return uint(uchar(input[i])); };
    const QDate date = QDate(1, 1, 1).addDays((byte(0) << 16 | byte(1) << 8 | byte(2)) % 3652059);
    const QTime time = QTime(0, 0).addSecs(int((byte(3) << 16 | byte(4) << 8 | byte(5)) % 86400));
    const bool known = byte(6) % 2 == 0;
    const Clock clock = {[&] { return date; }, [&] { return time; }, known ? u"AM"_s : u"vorm."_s, known ? u"PM"_s : u"nachm."_s};
    QStringList t = TextFile::decode(input.sliced(8)).remove(u'\r').remove(u'\n').split(u'|');
    t.resize(19);
    DayTally tally;
    for (int cell = 0; cell < 9; ++cell)
        tally.setText(DayTally::Cell(cell), t[10 + cell]);
    const ItemEntry item{{t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], {}, u"N/A"_s, {}, {}}, {}, t[1], t[0]};
    QStringList lines = LogEntry::lines(item, tally, clock);
    const bool deletion = byte(7) % 2 == 1;
    if (deletion)
        lines[LogFormat::NoteLine] = LogFormat::DeletionNote;
    const QByteArray bytes = TextFile::encode(TextFile::joinLines(lines));
    const QStringList read = TextFile::decode(bytes).split(u"\r\n"_s);
    *expected = {date, known ? std::optional(time) : std::nullopt, deletion, read[2].chopped(4), read[3], {}, 0, bytes.size()};
    double FoodLog::Intake::*values[] = {&FoodLog::Intake::calories,  &FoodLog::Intake::fatGrams,     &FoodLog::Intake::satFatGrams,
                                         &FoodLog::Intake::carbGrams, &FoodLog::Intake::proteinGrams, &FoodLog::Intake::cholesterolMg};
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> value = NumberRules::numberPrefix(TextFile::decode(TextFile::encode(t[4 + i])));
        if (!value)
            return {}; // a value no cell can show
        expected->intake.*values[i] = deletion ? -*value : *value;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    const FoodLog::Log log = FoodLog::parse(input);
    qint64 at = 0;
    qint64 skipped = 0;
    for (const FoodLog::Entry &entry : log.entries) {
        require(entry.offset >= at, "entries are in file order and never overlap");
        const FoodLog::Log alone = FoodLog::parse(input.sliced(entry.offset, entry.length));
        require(alone.entries.size() == 1 && sameEntry(alone.entries[0], entry), "an entry read alone is the same entry");
        skipped += entry.offset - at;
        at = entry.offset + entry.length;
    }
    skipped += input.size() - at;
    require(skipped == log.damagedBytes, "every byte is in an entry or counted as damaged");
    require((log.damaged == 0) == (skipped == 0), "damaged runs hold damaged bytes");

    FoodLog::Entry expected;
    const QByteArray entry = size >= 8 ? writtenEntry(input, &expected) : QByteArray();
    if (entry.isEmpty())
        return 0;
    const FoodLog::Log written = FoodLog::parse(entry + entry);
    require(written.entries.size() == 2 && written.damagedBytes == 0 && sameEntry(written.entries[1], expected),
            "entries the program wrote read back as they were written", Fuzz::shown(TextFile::decode(entry)));
    const FoodLog::Log after = FoodLog::parse(input + entry);
    require(!after.entries.empty() && sameEntry(after.entries.back(), expected), "an entry the program wrote after any damage is found");
    return 0;
}
