#include <QTest>

#include "logentry.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;
using namespace TallyTesting;

class TestLogEntry : public QObject
{
    Q_OBJECT

private slots:
    void firstLine_data();
    void firstLine();
    void itemNeverChosenLeavesItsRowsEmpty();
    void dateIsReadBeforeTime();
};

void TestLogEntry::firstLine_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("am");
    QTest::addColumn<QString>("pm");
    QTest::addColumn<QString>("line");
    const QDate day(2026, 1, 9);
    QTest::newRow("the hour after midnight is 12 AM") << day << QTime(0, 5, 9) << u"AM"_s << u"PM"_s << u"01-09-2026    12:05:09 AM"_s;
    QTest::newRow("a second before noon is AM") << day << QTime(11, 59, 59) << u"AM"_s << u"PM"_s << u"01-09-2026    11:59:59 AM"_s;
    QTest::newRow("the hour after noon is 12 PM") << day << QTime(12, 0, 0) << u"AM"_s << u"PM"_s << u"01-09-2026    12:00:00 PM"_s;
    QTest::newRow("one in the afternoon is 01 PM") << day << QTime(13, 0, 1) << u"AM"_s << u"PM"_s << u"01-09-2026    01:00:01 PM"_s;
    QTest::newRow("the locale's own designators") << QDate(2026, 12, 31) << QTime(23, 4, 0) << u"vorm."_s << u"nachm."_s << u"12-31-2026    11:04:00 nachm."_s;
}

void TestLogEntry::firstLine()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, am);
    QFETCH(QString, pm);
    QFETCH(QString, line);
    Clock clock = fixedClock(date, time);
    clock.amText = am;
    clock.pmText = pm;
    QCOMPARE(LogEntry::stampLine(date, time, clock), line);
    QCOMPARE(LogEntry::lines(ItemEntry(), DayTally(), clock).first(), line);
}

// Before any item is chosen the rows are empty and go into the entry as
// they are: each line then begins with its unit's blank.
void TestLogEntry::itemNeverChosenLeavesItsRowsEmpty()
{
    ItemEntry item;
    item.portion = u"1"_s;
    item.itemBox = u"Type in food item and use scroll button to search =====>"_s;
    const QStringList lines = LogEntry::lines(item, DayTally(), fixedClock(QDate(2026, 12, 4), QTime(8, 0, 0)));
    QCOMPARE(lines.mid(2, 9), (QStringList{
        u"1 U.S. Measures ( Grams) of:"_s, u"Type in food item and use scroll button to search =====>"_s,
        u"Contains:"_s, u" Calories"_s, u" Grams of Total Fat (including Saturated)"_s,
        u" Grams of Just Saturated Fat"_s, u" Grams of Carbohydrates"_s, u" Grams of Proteins"_s,
        u" Miligrams of Cholesterol"_s}));
    QCOMPARE(lines.mid(13, 4), (QStringList{u" Total Calories "_s, u" Total Fat Calories"_s,
                                           u" Total Carbohydrate Calories"_s, u" Total Protein Calories"_s}));

}

// Read the other way round, an entry written at midnight could carry the
// new day's time with the old day's date.
void TestLogEntry::dateIsReadBeforeTime()
{
    QStringList reads;
    Clock clock;
    clock.date = [&reads] { reads += u"date"_s; return QDate(2026, 12, 4); };
    clock.time = [&reads] { reads += u"time"_s; return QTime(0, 0, 0); };
    LogEntry::lines(ItemEntry(), DayTally(), clock);
    QCOMPARE(reads, (QStringList{u"date"_s, u"time"_s}));
}

QTEST_GUILESS_MAIN(TestLogEntry)
#include "tst_logentry.moc"
