// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QDate>
#include <QString>
#include <QTime>

// Where the program learns the day and the time of day. The date and the
// time are separate readings, taken one after the other, so an operation
// that needs both reads the date first.
struct Clock
{
    std::function<QDate()> date;
    std::function<QTime()> time;
    QString amText = QStringLiteral("AM"); // designator of the hours before noon
    QString pmText = QStringLiteral("PM"); // designator of the hours from noon on
};

// The local date and time of the system, with the locale's own AM and PM
// texts; "AM" and "PM" where the locale has none.
Clock systemClock();

// The date as ten characters, month-day-year: "12-04-2026".
QString dateText(const QDate &date);
