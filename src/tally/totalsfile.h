// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include "tally/clock.h"
#include "tally/daytally.h"

// The day's saved totals: a file in the working folder named by the date,
// eleven lines of Windows-1252 text with CR LF: the date, then the texts of
// the fat, saturated-fat, carbohydrate and protein calories, the fat,
// saturated-fat, carbohydrate and protein grams, the cholesterol
// milligrams and the fibre grams, as the cells show them.

// Replaces today's file with the day's totals. The file is written whole
// beside the old one and then takes its place, so a failed save leaves the
// earlier file of the day untouched. On failure returns false with the
// system's reason in *error. *fileName (if given) receives the name of the
// file, saved or not.
bool saveTotals(const DayTally &tally, const Clock &clock, const QString &folder, QString *error,
                QString *fileName = nullptr);

// Reads today's file back: the calorie totals as whole numbers, the gram
// totals as they were written, then today's calories, the percent cells and
// the red and green warnings again. Nothing is returned to the standard
// colour. Fails quietly: with no file for today or fewer than eleven
// fields nothing changes; a calorie total or percent outside -32768 to
// 32767, or a day without calories, ends it where it stands.
void openTotals(DayTally &tally, const Clock &clock, const QString &folder);
