// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/clock.h"

#include <QLocale>

Clock systemClock()
{
    Clock clock;
    clock.date = [] { return QDate::currentDate(); };
    clock.time = [] { return QTime::currentTime(); };
    const QLocale locale = QLocale::system();
    if (!locale.amText().isEmpty())
        clock.amText = locale.amText();
    if (!locale.pmText().isEmpty())
        clock.pmText = locale.pmText();
    return clock;
}

QString dateText(const QDate &date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}
