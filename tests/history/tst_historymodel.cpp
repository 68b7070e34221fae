// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "history/historymodel.h"
#include "tally/logentry.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;

// A soup's entry as the program writes it, on the date given as month-day-year.
static QByteArray soup(const QByteArray &date = "12-04-2026")
{
    DayTally tally;
    const QByteArray entry = TextFile::encode(TextFile::joinLines(LogEntry::lines(
        Testing::itemOf(u"Vegetable soup|1|cup|248|98|2.4|0.4|16|3.1|0|21.6|64|12.4"_s), tally,
        Testing::fixedClock(QDate(2026, 12, 4), QTime(7, 45, 10)))));
    return QByteArray(entry).replace("12-04-2026", date);
}

// Everything the window shows of a log: its entries, damage and days.
static QString describe(const HistoryModel::LoadedLog &loaded)
{
    QString text = u"%1 damaged in %2 bytes;"_s.arg(loaded.log.damaged).arg(loaded.log.damagedBytes);
    for (const FoodLog::Entry &entry : loaded.log.entries)
        text += u" %1 at %2+%3 %4"_s.arg(entry.date.toString(Qt::ISODate)).arg(entry.offset).arg(entry.length).arg(entry.food);
    for (const History::Day &day : loaded.days)
        text += u"; %1 from %2"_s.arg(History::amountText(day.intake.calories)).arg(day.firstEntry);
    return text + QString::fromUtf8(History::daysCsv(loaded.days));
}

class TestHistoryModel : public QObject
{
    Q_OBJECT

private slots:
    // The log read, then the file changed: the update equals a fresh read,
    // and reads only the appended bytes where the old ones stayed.
    void followsTheLog_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("appended");
        const QByteArray entry = soup(), older = soup("12-03-2026"), later = soup("12-05-2026");
        QTest::newRow("an entry of a new day appended") << entry << entry + later << true;
        QTest::newRow("an older day's entry goes in among the days") << entry + later << entry + later + older << true;
        QTest::newRow("a torn entry completed by the append") << entry + later.left(100) << entry + later + entry << true;
        QTest::newRow("an entry appended to a torn one") << entry + later.left(100) << entry + later.left(100) + older << true;
        QTest::newRow("an empty log that gets its first entry") << QByteArray() << entry << true;
        QTest::newRow("an entry changed in the part read is read afresh") << entry + later << entry + older + later << false;
        QTest::newRow("a shorter log is read afresh") << entry + later << entry << false;
    }

    void followsTheLog()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, appended);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"mylist"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size() && file.flush());
        HistoryModel::LoadedLog loaded = HistoryModel::load(file.fileName());
        // In place, as the main program appends, or rewritten where the start differs.
        QVERIFY(after.startsWith(before) ? file.write(after.mid(before.size())) >= 0
                                         : file.resize(0) && file.seek(0) && file.write(after) == after.size());
        file.close();
        QCOMPARE(HistoryModel::update(loaded) == HistoryModel::Update::Appended, appended);
        QCOMPARE(describe(loaded), describe(HistoryModel::load(file.fileName())));
    }

    // The period of a chart over a log that spans the range, and its places, never more than 400.
    void chartPeriods_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("places");
        QTest::newRow("92 days, a place each") << QDate(2026, 1, 1) << QDate(2026, 4, 2) << u"92: 1/1/26 to 4/2/26"_s;
        QTest::newRow("93 days by weeks from Monday") << QDate(2026, 1, 1) << QDate(2026, 4, 3) << u"14: 12/29/25 to 3/30/26"_s;
        QTest::newRow("400 months by months") << QDate(2000, 1, 15) << QDate(2033, 4, 1) << u"400: Jan 2000 to Apr 2033"_s;
        QTest::newRow("401 months by years") << QDate(2000, 1, 15) << QDate(2033, 5, 1) << u"34: 2000 to 2033"_s;
        QTest::newRow("a thousand years by decades") << QDate(1026, 1, 1) << QDate(2026, 1, 1) << u"101: 1020–1029 to 2020–2029"_s;
        QTest::newRow("years 1 to 9999 by centuries, the first from year 1") << QDate(1, 1, 1) << QDate(9999, 12, 31)
                                                                             << u"100: 1–99 to 9900–9999"_s;
    }

    void chartPeriods()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        HistoryModel::LoadedLog loaded;
        loaded.days = {History::Day{from, {}, 1, 0}, History::Day{to, {}, 1, 1}};
        const HistoryModel::RangeModel view = HistoryModel::forRange(loaded, {from, to});
        QTEST(u"%1: %2 to %3"_s.arg(view.places.size()).arg(view.places.front().label, view.places.back().label), "places");
    }
};

QTEST_GUILESS_MAIN(TestHistoryModel)
#include "tst_historymodel.moc"
