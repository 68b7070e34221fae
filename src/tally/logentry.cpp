// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/logentry.h"

#include "database/textfile.h"

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
    return {
        stampLine(date, time, clock),
        QString(),
        item.portion + u' ' + f.measure + u" ("_s + f.weight + u" Grams) of:"_s,
        item.itemBox,
        u"Contains:"_s,
        f.calories + u" Calories"_s,
        f.fatGrams + u" Grams of Total Fat (including Saturated)"_s,
        f.satFatGrams + u" Grams of Just Saturated Fat"_s,
        f.carbGrams + u" Grams of Carbohydrates"_s,
        f.proteinGrams + u" Grams of Proteins"_s,
        f.cholesterolMg + u" Miligrams of Cholesterol"_s,
        QString(),
        u"Your running total for today to this point is: "_s,
        tally.text(DayTally::TodayCalories) + u" Total Calories "_s,
        tally.text(DayTally::TotalFatCalories) + u" Total Fat Calories"_s,
        tally.text(DayTally::TotalCarbCalories) + u" Total Carbohydrate Calories"_s,
        tally.text(DayTally::TotalProteinCalories) + u" Total Protein Calories"_s,
        tally.text(DayTally::TotalFatGrams) + u" Total Grams of All Fats (including Saturated)"_s,
        tally.text(DayTally::TotalSatFatGrams) + u" Total Grams of Just Saturated Fats"_s,
        tally.text(DayTally::TotalCarbGrams) + u" Total Grams of Carbohydrates"_s,
        tally.text(DayTally::TotalProteinGrams) + u" Total Grams of Proteins"_s,
        tally.text(DayTally::TotalCholesterolMg) + u" Total Milligrams of Cholesterol"_s,
        QString(),
    };
}

bool append(const QString &logPath, const QStringList &lines)
{
    // One write keeps a failing disk from leaving more than a torn tail.
    return TextFile::append(logPath, TextFile::joinLines(lines));
}

} // namespace LogEntry
