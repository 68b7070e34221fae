// SPDX-License-Identifier: GPL-3.0-or-later
// What the food log's reader makes of any bytes "mylist" may hold: entries
// in file order that read alone as they read in place, and every other byte
// counted as damaged.

#include <cstddef>
#include <cstdint>

#include <QString>

#include "foodlog.h"
#include "fuzzcheck.h"

using Fuzz::require;

namespace {

bool sameEntry(const FoodLog::Entry &a, const FoodLog::Entry &b)
{
    return a.date == b.date && a.time == b.time && a.deletion == b.deletion && a.portion == b.portion
        && a.food == b.food && a.intake == b.intake && a.length == b.length;
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
    return 0;
}
