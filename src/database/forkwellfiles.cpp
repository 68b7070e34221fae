// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/forkwellfiles.h"

#include <QRegularExpression>

namespace ForkwellFiles {

QString totalsName(QDate date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString keptRecipesName(int n)
{
    return Recipes.toString() + QStringLiteral(".kept") + (n > 1 ? QString::number(n) : QString());
}

bool isOwnFile(QStringView name)
{
    for (const QStringView own : {Database, Counter, FoodLog, HelpPage, Recipes}) {
        if (name == own)
            return true;
    }
    static const QRegularExpression backup(QStringLiteral("^%1[-+.0-9E]+$").arg(Database));
    static const QRegularExpression kept(QStringLiteral("^%1[0-9]*$").arg(QRegularExpression::escape(keptRecipesName(1))));
    return backup.match(name).hasMatch() || kept.match(name).hasMatch()
        || QDate::fromString(name, u"MM-dd-yyyy").isValid();
}

} // namespace ForkwellFiles
