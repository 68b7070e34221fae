// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "tally/totalsfile.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using namespace Testing;

// A day whose every cell shows something, so that any change shows. Dark
// blue is a colour no rule sets; reopening never sets the standard colour.
static const QString Busy = u"7, 7, 7, 7, 7, 7, 7 blue, 7, 7, 7, 21 blue, 7 blue, 7, 7 blue, 7 blue, 7 red"_s;

class TestTotalsFile : public QObject
{
    Q_OBJECT

private slots:
    void saveThenReopen_data()
    {
        QTest::addColumn<QString>("saved");    // the day saved on 4 December
        QTest::addColumn<QByteArray>("file");  // as saved; null: not looked at
        QTest::addColumn<int>("lines");        // how many of its lines are left for the reopening
        QTest::addColumn<QDateTime>("reopened");
        QTest::addColumn<QString>("shown");    // after reopening over the busy day
        const QDateTime evening(QDate(2026, 12, 4), QTime(19, 45, 10));

        QTest::newRow("every stored cell comes back, with today green and the fat percent red")
            << u"332, N/A, 764, 262, 36.9, 10.6, 191, 65.6, 150, 0"_s
            << QByteArray("12-04-2026\r\n332\r\nN/A\r\n764\r\n262\r\n36.9\r\n10.6\r\n191\r\n65.6\r\n150\r\n0\r\n") << 11 << evening
            << u"332, 7, 764, 262, 36.9, 10.6, 191 blue, 65.6, 150, 0, 1358 green, 24 red, 7, 56 blue, 19 blue, 50 red"_s;
        QTest::newRow("an empty day has no calories, which ends the reopening before the percents") << QString()
            << QByteArray("12-04-2026\r\n\r\nN/A\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") << 11 << evening
            << u"0, 7, 0, 0, , , blue, , , , 0 blue, 7 blue, 7, 7 blue, 7 blue, 7 red"_s;
        QTest::newRow("12.5, 13.5 and 49.5 reopen as 12, 14 and 50; grams and N/A come back as written; 18 % carbohydrates turn red")
            << u"12.5, -4, 13.5, 49.5, 30, 9, N/A, 50, 150, 0.0"_s << QByteArray() << 11 << evening
            << u"12, 7, 14, 50, 30, 9, N/A blue, 50, 150, 0.0, 76 blue, 16 red, 7, 18 red, 66 blue, 50 red"_s;
        QTest::newRow("-0.5 reopens as 0; 250 g of carbohydrates keep their colour; 66 % turn red")
            << u"-0.5, N/A, 500, 257, 30, 9, 250, 50, 150, 0"_s << QByteArray() << 11 << evening
            << u"0, 7, 500, 257, 30, 9, 250 blue, 50, 150, 0, 757 blue, 0 blue, 7, 66 red, 34 blue, 50 red"_s;
        QTest::newRow("250.1 g of carbohydrates and 1601 kcal turn red")
            << u"300, N/A, 1101, 200, 30, 9, 250.1, 50, 150, 0"_s << QByteArray() << 11 << evening
            << u"300, 7, 1101, 200, 30, 9, 250.1 red, 50, 150, 0, 1601 red, 19 red, 7, 69 red, 12 blue, 50 red"_s;
        QTest::newRow("65 % carbohydrates keep their colour") << u"100, N/A, 650, 250, 30, 9, 120, 50, 150, 0"_s << QByteArray()
            << 11 << evening << u"100, 7, 650, 250, 30, 9, 120 blue, 50, 150, 0, 1000 blue, 10 blue, 7, 65 blue, 25 blue, 50 red"_s;
        QTest::newRow("25 % carbohydrates keep their colour") << u"500, N/A, 250, 250, 30, 9, 120, 50, 150, 0"_s << QByteArray()
            << 11 << evening << u"500, 7, 250, 250, 30, 9, 120 blue, 50, 150, 0, 1000 blue, 50 red, 7, 25 blue, 25 blue, 50 red"_s;
        const QString day = u"300, N/A, 500, 200, 30, 9, 120, 50, 150, 0"_s;
        QTest::newRow("no file for today") << day << QByteArray() << 0 << evening << Busy;
        QTest::newRow("yesterday's file after midnight") << day << QByteArray() << 11 << evening.addSecs(4 * 3600 + 15 * 60) << Busy;
        QTest::newRow("a file of ten fields") << day << QByteArray() << 10 << evening << Busy;
        QTest::newRow("carbohydrate calories past 32767") << u"300, N/A, 40000, 200"_s << QByteArray() << 11 << evening
                                                          << u"300"_s + Busy.mid(1);
        QTest::newRow("a fat share past 32767 %") << u"400, N/A, -399, 0, 30, 9, 120, 50, 150, 0"_s << QByteArray() << 11
            << evening << u"400, 7, -399, 0, 30, 9, 120 blue, 50, 150, 0, 1 blue, 7 red, 7, 7 blue, 7 blue, 7 red"_s;
    }

    void saveThenReopen()
    {
        QFETCH(QString, saved); QFETCH(QByteArray, file); QFETCH(int, lines); QFETCH(QDateTime, reopened);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        DayTally tally;
        setCells(tally, saved);
        QString error, name;
        QVERIFY(saveTotals(tally, Evening, dir.path(), &error, &name));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"12-04-2026"_s});
        const QString path = dir.filePath(name);
        if (!file.isNull())
            QCOMPARE(bytesOf(path), file);
        const QStringList left = TextFile::read(path).value_or(QString()).split(u"\r\n"_s).mid(0, lines);
        QVERIFY(lines == 11 || (lines == 0 ? QFile::remove(path) : TextFile::writeAtomically(path, TextFile::joinLines(left))));
        setCells(tally, Busy);
        openTotals(tally, fixedClock(reopened.date(), reopened.time()), dir.path());
        QCOMPARE(describe(tally), cells(shown));
    }
};

QTEST_GUILESS_MAIN(TestTotalsFile)
#include "tst_totalsfile.moc"
