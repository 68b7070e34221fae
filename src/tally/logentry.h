// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include "tally/clock.h"
#include "tally/daytally.h"
#include "tally/itementry.h"

// One entry of the food log "mylist": 23 lines telling what was added or
// deleted and the day's totals after it.
namespace LogEntry {

// "12-04-2026    07:45:10 PM": month-day-year, four blanks, and the time on
// the 12-hour clock with the designator, the hours after midnight and
// after noon shown as 12.
QString stampLine(const QDate &date, const QTime &time, const Clock &clock);

// The 23 lines of an addition entry, without line ends: the item as its
// rows show it, then the totals as the tally holds them. Cell texts go in
// as they stand, an empty one leaving its line to begin with the unit's
// blank. The clock is read here, the date before the time.
QStringList lines(const ItemEntry &item, const DayTally &tally, const Clock &clock);

// Appends the lines, each ended by CR LF, to the log in one write; the
// file is created when missing and never truncated. False when the log
// cannot be opened or written; lines written before a failure stay.
bool append(const QString &logPath, const QStringList &lines);

} // namespace LogEntry
