// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "tally/daylist.h"
#include "tally/logentry.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using namespace Testing;

static const QString Soup = u"Vegetable soup|1|cup|248|98|2.4|0.4|16|3.1|0|21.6|64|12.4"_s;
static const QString Pizza = u"Cheese pizza|1|slice|100|250|10|0|30|10|0|90|120|40"_s;
static const QString Butter = u"Butter|1|pat|5|36|4.5|0|0|0|0|40.5|0|0"_s;
static const QString Water = u"Water|1|cup|237|0|0|0|0|0|0|0|0|0"_s;
static const QString BlueDay = u", N/A, , , , , blue, , , , blue, blue, , blue, , blue"_s; // blue: no rule sets it
static const QString RedDay = u", N/A, , , , , red, , , , blue, red, , red, red, red"_s;
static const QString Stamp = u"12-04-2026    07:45:10 PM"_s;

class TestDayList : public QObject
{
    Q_OBJECT

private slots:
    void addAndDelete_data()
    {
        QTest::addColumn<QString>("operations"); // on the item, in turn
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("entry"); // what the last operation added to "mylist"; null: not looked at

        const QString soupCells = u"332, N/A, 764, 262, 36.9, 10.6, 191, 65.6, 150, 0, 1358 green, 24 red, , 56, 19 red, 50"_s;
        QTest::newRow("vegetable soup joins the day") << u"add"_s << u"310, N/A, 700, 250, 34.5, 10.2, 175, 62.5, 150"_s << Soup
            << soupCells << logEntry(Stamp + u"|1 cup (248 Grams) of:|Vegetable soup|98|2.4|0.4|16|3.1|0||1358|332|764|262|36.9|10.6|191|65.6|150"_s);
        QTest::newRow("a log that cannot be written still leaves every cell set") << u"add"_s
            << u"310, N/A, 700, 250, 34.5, 10.2, 175, 62.5, 150"_s << Soup << soupCells << QByteArray("<a folder>");
        QTest::newRow("a day without calories writes no entry, and empty totals show 0 percent") << u"add"_s << QString()
            << u"Oil spray|1|spray|0|0|2|0|0|0|0|0|0|0"_s << u"0, N/A, 0, 0, 2, 0, 0, 0, 0, 0, 0 red, blue, 0, 0, 0, 0"_s << QByteArray("<missing>");
        QTest::newRow("carbohydrate calories past 32767 stop the addition; empty totals still show 0 percent")
            << u"add"_s << u", N/A, 32750, , , , 8175"_s << Soup << u"22, N/A, 32750, , 2.4, 0.4, 8175, , , , red, blue, , , 0, 0"_s << QByteArray("<missing>");
        QTest::newRow("fat calories beyond a double stop the addition; today's total set over them keeps its text")
            << u"add"_s << u"1e400, N/A, 5, 5, , , , , , , 7 blue"_s << Water << u"1e400, N/A, 5, 5, , , , , , , 7 blue, 0 blue, 0, 0, 0, 0"_s
            << QByteArray("<missing>");
        QTest::newRow("fat grams past the largest double stop the addition after the fat calories")
            << u"add"_s << u"0, N/A, 0, 0, 1e308"_s << u"Test|1|cup|1|1|1e308|1|1|1|1|9|4|4"_s << u"9, N/A, 0, 0, 1e308, , , , , , red, blue, 0, 0, 0, 0"_s << QByteArray("<missing>");
        QTest::newRow("adding 1100 kcal, exactly 15 % fat, 25 % carbohydrates, 271 mg and 200 g keeps their colours")
            << u"add"_s << BlueDay << u"Test|1|cup|1|1|1|0|200|1|271|165|275|660"_s
            << u"165, N/A, 275, 660, 1, 0, 200 blue, 1, 271, 0, 1100 blue, 15 blue, 0, 25 blue, 60, 90 blue"_s << QByteArray();
        QTest::newRow("adding 1101 kcal turns today green; 15.2 % fat, 24 % carbohydrates, 272 mg and 200.1 g turn red")
            << u"add"_s << BlueDay << u"Test|1|cup|1|1|1|0|200.1|1|272|167|264|670"_s
            << u"167, N/A, 264, 670, 1, 0, 200.1 red, 1, 272, 0, 1101 green, 15 red, 0, 24 red, 61, 91 red"_s << QByteArray();
        QTest::newRow("adding 1599 kcal turns today green") << u"add"_s << BlueDay << u"Test|1|cup|1|1|1|0|1|1|1|160|640|799"_s
            << u"160, N/A, 640, 799, 1, 0, 1 blue, 1, 1, 0, 1599 green, 10, 0, 40, 50, 0 blue"_s << QByteArray();
        QTest::newRow("adding 1600 kcal keeps today's colour; 14.4 % fat, 26 % carbohydrates and 60 % proteins lose their red, mg and g keep it")
            << u"add"_s << RedDay << u"Test|1|cup|1|1|1|0|150|1|30|230|416|954"_s
            << u"230, N/A, 416, 954, 1, 0, 150 red, 1, 30, 0, 1600 blue, 14, 0, 26, 60, 10 red"_s << QByteArray();
        QTest::newRow("adding 1601 kcal turns today red; 66 % carbohydrates and 24 % proteins turn red")
            << u"add"_s << BlueDay << u"Test|1|cup|1|1|1|0|1|1|1|160|1057|384"_s
            << u"160, N/A, 1057, 384, 1, 0, 1 blue, 1, 1, 0, 1601 red, 10, 0, 66 red, 24 red, 0 blue"_s << QByteArray();

        QTest::newRow("adding 1601 kcal with 25 % proteins and 65 % carbohydrates shows both in the standard colour")
            << u"add"_s << BlueDay << u"Test|1|cup|1|1|1|0|1|1|1|160|1041|400"_s
            << u"160, N/A, 1041, 400, 1, 0, 1 blue, 1, 1, 0, 1601 red, 10, 0, 65, 25, 0 blue"_s << QByteArray();
        QTest::newRow("deleting on a fresh day goes negative, saturated-fat calories from N/A to 0") << u"delete"_s << QString()
            << Pizza << u"-90, 0, -120, -40, -10, 0, -30, -10, 0, 0, -250 red, 36 blue, 0, 48, 16 red, 0"_s
            << logEntry(Stamp + u"|1 slice (100 Grams) of:|Cheese pizza|250|10|0|30|10|0|The above was deleted and below is the amended "
                                  "total:|-250|-90|-120|-40|-10|0|-30|-10|0"_s);
        QTest::newRow("an addition and its deletion leave -0.5 and today 0, with no entry for the deletion") << u"add delete"_s
            << QString() << Butter << u"-0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 red, 0 red, 0, 0 red, 0 red, 0"_s << QByteArray("");
        QTest::newRow("40.5 fat calories off 90 leave 49.5, and today's 348.5 shows 348; no fat grams left show a fat share of 0")
            << u"delete"_s << u"90, N/A, 299, , 4.5, , 75"_s << Butter << u"49.5, 0, 299, 0, 0, 0, 75, 0, 0, 0, 348 red, 0, 0, 86 red, 0 red, 0"_s << QByteArray();
        QTest::newRow("a fat share past 32767 % stops the deletion before the colours and the entry") << u"delete"_s
            << u"440.5, N/A, -399, , 44.5, , , , , , blue, 12"_s << Butter << u"400, 0, -399, 0, 40, 0, 0, 0, 0, 0, 1 blue, 12 blue, 0, 0, 0, 0"_s << QByteArray("<missing>");
        QTest::newRow("deleting to 1099 kcal turns today red; fat 19 %, 267 mg, 60 % carbohydrates and 199.9 g lose their red")
            << u"delete"_s << u"209, N/A, 659, 231, 1, , 199.9 red, 1, 267, , blue, red, , red, , red"_s << Water
            << u"209, 0, 659, 231, 1, 0, 199.9, 1, 267, 0, 1099 red, 19, 0, 60, 21 red, 89"_s << QByteArray();
        QTest::newRow("deleting to 1100 kcal keeps today's colour; 65 % carbohydrates turn red; 20 %, 270 mg and 200 g stay red")
            << u"delete"_s << u"220, N/A, 715, 165, 1, , 200 red, 1, 270, , blue, red, , blue, , red"_s << Water
            << u"220, 0, 715, 165, 1, 0, 200 red, 1, 270, 0, 1100 blue, 20 red, 0, 65 red, 15 red, 90 red"_s << QByteArray();
        QTest::newRow("deleting to 1101 kcal turns today green; 20 % fat keeps its colour, 20 % proteins turn red")
            << u"delete"_s << u"221, N/A, 660, 220, 1, , 1, 1, 1, , blue, blue, , blue, blue, blue"_s << Water
            << u"221, 0, 660, 220, 1, 0, 1, 1, 1, 0, 1101 green, 20 blue, 0, 60, 20 red, 0"_s << QByteArray();
        QTest::newRow("deleting to 1200 kcal turns today green; 25 % carbohydrates, 25 % proteins and 90 % cholesterol keep their colours")
            << u"delete"_s << u"600, N/A, 300, 300, 1, , 1, 1, 270, , blue, blue, , blue, blue, blue"_s << Water
            << u"600, 0, 300, 300, 1, 0, 1, 1, 270, 0, 1200 green, 50 blue, 0, 25 blue, 25 blue, 90 blue"_s << QByteArray();
        QTest::newRow("deleting to 1600 kcal keeps today's colour; 40 % fat and 300 g never turn red; 30 % proteins lose their red")
            << u"delete"_s << u"640, N/A, 480, 480, 1, , 300 blue, 1, 30, , blue, blue, , , red"_s << Water
            << u"640, 0, 480, 480, 1, 0, 300 blue, 1, 30, 0, 1600 blue, 40 blue, 0, 30, 30, 10"_s << QByteArray();
        QTest::newRow("deleting to a 50.2 % fat share shows 50; 61 % carbohydrates turn red")
            << u"delete"_s << u"502, N/A, 610, -112, 1, , 1, 1, 1, , blue, blue, , blue, blue, blue"_s << Water
            << u"502, 0, 610, -112, 1, 0, 1, 1, 1, 0, 1000 red, 50 blue, 0, 61 red, -11 red, 0"_s << QByteArray();
        QTest::newRow("deleting to 1601 kcal turns today red; the fat percent loses its sign, the carbohydrate percent keeps it")
            << u"delete"_s << u"-100, N/A, -160, 1861, 1, , 1, 1, 600, , blue, blue, , blue"_s << Water
            << u"-100, 0, -160, 1861, 1, 0, 1, 1, 600, 0, 1601 red, 6, 0, -10 red, 116 red, 200"_s << QByteArray();
    }

    void addAndDelete()
    {
        QFETCH(QString, operations); QFETCH(QString, day); QFETCH(QString, item); QFETCH(QString, shown); QFETCH(QByteArray, entry);
        QTemporaryDir dir;
        const QString log = dir.filePath(u"mylist"_s);
        QVERIFY(entry != "<a folder>" || QDir(dir.path()).mkdir(u"mylist"_s)); // which even root cannot write to
        DayTally tally;
        setCells(tally, day);
        qsizetype logged = 0;
        for (const QString &operation : operations.split(u' ')) {
            logged = QFileInfo(log).size();
            (operation == u"add"_s ? addToList : deleteFromList)(tally, itemOf(item), Evening, log);
        }
        QCOMPARE(describe(tally), cells(shown));
        const QByteArray added = QFileInfo(log).isDir() ? QByteArray("<a folder>") : bytesOf(log).mid(logged);
        if (!entry.isNull())
            QCOMPARE(added, entry);
    }

    void entry_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("designators");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("the hour after midnight is 12 AM") << QTime(0, 5, 9) << u"AM PM"_s << u"10-31-2026    12:05:09 AM"_s;
        QTest::newRow("the hour after noon is 12 PM") << QTime(12, 0, 0) << u"AM PM"_s << u"10-31-2026    12:00:00 PM"_s;
        QTest::newRow("the locale's own designators") << QTime(23, 4, 0) << u"vorm. nachm."_s << u"10-31-2026    11:04:00 nachm."_s;
    }

    // Empty cells leave the unit's blank leading the line; the date is read before the time, so midnight cannot mix days.
    void entry()
    {
        QFETCH(QTime, time); QFETCH(QString, designators); QFETCH(QString, stamp);
        QStringList reads;
        const Clock clock{[&reads] { reads += u"date"_s; return QDate(2026, 10, 31); },
                          [&reads, time] { reads += u"time"_s; return time; },
                          designators.section(u' ', 0, 0), designators.section(u' ', 1)};
        const QStringList lines = LogEntry::lines(ItemEntry(), DayTally(), clock);
        QCOMPARE(QStringList({lines[0], lines[5], lines[13], reads.join(u' ')}).join(u'|'),
                 stamp + u"| Calories| Total Calories |date time"_s);
    }
};

QTEST_GUILESS_MAIN(TestDayList)
#include "tst_daylist.moc"
