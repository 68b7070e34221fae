#pragma once

#include <array>

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include "clock.h"
#include "daytally.h"
#include "foodtable.h"

// What the fault driver writes, shared with the tests that check what it
// left behind.
namespace FaultDriver {

inline Clock clock()
{
    return Clock{[] { return QDate(2026, 12, 4); }, [] { return QTime(19, 45, 10); }};
}

inline FoodRecord apple()
{
    return {QStringLiteral("Apple"), QStringLiteral("1 medium"), QStringLiteral("0.3"),
            QStringLiteral("95"), QStringLiteral("25"), QStringLiteral("0.5"), QStringLiteral("0"),
            QStringLiteral("182"), QStringLiteral("0.1")};
}

// The item of the i-th save, i from 1: its name sorts after every name of
// the starting database, and after the items saved before it.
inline FoodRecord newItem(int i)
{
    FoodRecord item = apple();
    item[Food::Name] = QStringLiteral("Zz item %1").arg(i, 5, 10, QLatin1Char('0'));
    return item;
}

// The ten cells a totals file stores, in file order.
inline constexpr std::array<DayTally::Cell, 10> StoredCells{
    DayTally::TotalFatCalories,   DayTally::TotalSatFatCalories, DayTally::TotalCarbCalories,
    DayTally::TotalProteinCalories, DayTally::TotalFatGrams,     DayTally::TotalSatFatGrams,
    DayTally::TotalCarbGrams,     DayTally::TotalProteinGrams,   DayTally::TotalCholesterolMg,
    DayTally::TotalFibreGrams};

// Two days' figures that the driver saves in turn.
inline QStringList totals(int which)
{
    if (which == 0)
        return {QStringLiteral("332"), QStringLiteral("N/A"), QStringLiteral("764"),
                QStringLiteral("262"), QStringLiteral("36.9"), QStringLiteral("10.6"),
                QStringLiteral("191"), QStringLiteral("65.6"), QStringLiteral("150"),
                QStringLiteral("0")};
    return {QStringLiteral("49.5"), QStringLiteral("-12"), QStringLiteral("100"),
            QStringLiteral("7"), QStringLiteral("1.25"), QStringLiteral("0"), QStringLiteral("12"),
            QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("0")};
}

} // namespace FaultDriver
