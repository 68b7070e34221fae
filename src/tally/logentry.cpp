// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/logentry.h"

#include "database/textfile.h"
#include "tally/logformat.h"

using namespace Qt::StringLiterals;

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace LogEntry {

QString stampLine(const QDate &date, const QTime &time, const Clock &clock)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return dateText(date) + u"    "_s + twoDigits(hour12) + u':' + twoDigits(time.minute()) + u':'
        + twoDigits(time.second()) + u' ' + (time.hour() < 12 ? clock.amText : clock.pmText);
}

QStringList lines(const ItemEntry &item, const DayTally &tally, const Clock &clock)
{
    const QDate date = clock.date();
    const QTime time = clock.time();
    const ItemFields &f = item.fields;
    using namespace LogFormat;
    return {
        stampLine(date, time, clock),
        QString(),
        item.portion + u' ' + f.measure + u" ("_s + f.weight + PortionEnd,
        item.itemBox,
        Contains,
        f.calories + ItemUnits[0],
        f.fatGrams + ItemUnits[1],
        f.satFatGrams + ItemUnits[2],
        f.carbGrams + ItemUnits[3],
        f.proteinGrams + ItemUnits[4],
        f.cholesterolMg + ItemUnits[5],
        QString(),
        RunningTotal,
        tally.text(DayTally::TodayCalories) + TotalUnits[0],
        tally.text(DayTally::TotalFatCalories) + TotalUnits[1],
        tally.text(DayTally::TotalCarbCalories) + TotalUnits[2],
        tally.text(DayTally::TotalProteinCalories) + TotalUnits[3],
        tally.text(DayTally::TotalFatGrams) + TotalUnits[4],
        tally.text(DayTally::TotalSatFatGrams) + TotalUnits[5],
        tally.text(DayTally::TotalCarbGrams) + TotalUnits[6],
        tally.text(DayTally::TotalProteinGrams) + TotalUnits[7],
        tally.text(DayTally::TotalCholesterolMg) + TotalUnits[8],
        QString(),
    };
}

bool append(const QString &logPath, const QStringList &lines)
{
    // One write keeps a failing disk from leaving more than a torn tail.
    return TextFile::append(logPath, TextFile::joinLines(lines));
}

} // namespace LogEntry
