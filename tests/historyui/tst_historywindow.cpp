// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "historyui/historywindow.h"
#include "tally/daylist.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using Testing::itemOf;

// Items as the main window shows them: name|portion|measure|weight|calories|fat|saturated fat|
// carbohydrates|proteins|cholesterol|fat, carbohydrate and protein calories.
const QString Oatmeal = u"Oatmeal|1|cup|234|300|5|1|54|10|0|45|216|40"_s;
const QString ChickenRice = u"Chicken, rice|1|plate|400|950|20|5|140|50|120|180|560|200"_s;
const QString Burger = u"Cheeseburger|2|each|300|1700|90|35|151|70|320|810|604|280"_s;
const QString Shake = u"Milkshake|1|cup|300|500|10|6|90|12|40|90|360|48"_s;

// Logs the items of one day an hour apart, the main window's way; an item starting with "-" is deleted.
void logDay(const QString &log, const QDate &day, const QStringList &items)
{
    DayTally tally;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const bool deletion = items[i].startsWith(u'-');
        (deletion ? deleteFromList : addToList)(tally, itemOf(items[i].mid(deletion ? 1 : 0)),
                                                Testing::fixedClock(day, QTime(8 + int(i), 0)), log);
    }
}

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        HistoryWindow empty(m_log);
        QVERIFY(empty.findChild<QLabel *>(u"message"_s)->text().startsWith(u"There is no food log in %1 yet."_s.arg(m_folder.path())));
        logDay(m_log, QDate(2026, 3, 2), {Oatmeal, ChickenRice});
        logDay(m_log, QDate(2026, 3, 4), {Burger, Shake, u'-' + Shake});
        m_window = std::make_unique<HistoryWindow>(m_log);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void showsTheDaysWithTheirColours_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        const QColor standard, red(255, 0, 0), green(0, 192, 0);
        QTest::newRow("1250 kcal in a day is green") << 0 << 1 << u"1,250"_s << green;
        QTest::newRow("an 18 % fat share is red") << 0 << 7 << u"18"_s << red;
        QTest::newRow("the day without entries has no row") << 1 << 0 << u"3/4/26"_s << standard;
        QTest::newRow("1700 kcal, the deleted shake taken off, is red") << 1 << 1 << u"1,700"_s << red;
    }

    void showsTheDaysWithTheirColours()
    {
        QFETCH(int, row); QFETCH(int, column); QFETCH(QString, text); QFETCH(QColor, colour);
        const QAbstractItemModel *days = m_window->findChild<QTableView *>(u"Days"_s)->model();
        QCOMPARE(days->index(row, column).data().toString(), text);
        QCOMPARE(days->index(row, column).data(Qt::ForegroundRole).value<QColor>(), colour);
        // The last day is chosen, and its deletion shows marked and negative.
        QCOMPARE(m_window->findChild<QLabel *>(u"dayTitle"_s)->text(), u"Wednesday, March 4, 2026"_s);
        const QAbstractItemModel *entries = m_window->findChild<QTableView *>(u"Entries of the day"_s)->model();
        QCOMPARE(entries->index(2, 0).data().toString() + entries->index(2, 1).data().toString()
                     + entries->index(2, 4).data().toString(),
                 u"10:00 AMdeleted-500"_s);
        QVERIFY(entries->index(2, 4).data(Qt::FontRole).value<QFont>().italic());
    }

    void chartsLeaveGapsAndFollowTheLog()
    {
        const auto barsOf = [this](const QString &chart, int set) { // the bar series comes last, over the band
            const QList<QAbstractSeries *> series = m_window->findChild<QChartView *>(chart)->chart()->series();
            const QBarSet *bars = qobject_cast<QAbstractBarSeries *>(series.last())->barSets().value(set);
            QList<qreal> values;
            for (int i = 0; bars && i < bars->count(); ++i)
                values += bars->at(i);
            return values;
        };
        QCOMPARE(barsOf(u"Calories chart"_s, 0), (QList<qreal>{1250, 0, 1700}));
        QAbstractAxis *time = m_window->findChild<QChartView *>(u"Calories chart"_s)->chart()->axes().value(0);
        QCOMPARE(qobject_cast<QCategoryAxis *>(time)->categoriesLabels(), (QStringList{u"3/2"_s, u"3/3"_s, u"3/4"_s}));

        logDay(m_log, QDate(2026, 3, 5), {Oatmeal}); // as the main program adds an item
        QTRY_COMPARE_WITH_TIMEOUT(m_window->findChild<QTableView *>(u"Days"_s)->model()->rowCount(), 3, 1500);
        QCOMPARE(barsOf(u"Calories chart"_s, 0), (QList<qreal>{1250, 0, 1700, 300}));
    }

    void exportsFromTheCommandLine()
    {
        const auto run = [this](const QStringList &arguments) {
            QProcess tool;
            tool.start(QStringLiteral(FORKWELL_HISTORY_TOOL), QStringList{u"--log"_s, m_log} + arguments);
            const int status = tool.waitForFinished() ? tool.exitCode() : -1;
            return std::pair(status, QString::fromLocal8Bit(tool.readAllStandardError()) // without Qt's own notes
                                         .split(u'\n').filter(QRegularExpression(u"^forkwell-history: "_s)));
        };
        const QString days = m_folder.filePath(u"days.csv"_s), lost = m_folder.filePath(u"no/d.csv"_s);
        QCOMPARE(run({u"--from=2026-03-04"_s, u"--to=2026-03-04"_s, u"--days"_s, days}), std::pair(0, QStringList()));
        QVERIFY(Testing::bytesOf(days).endsWith("\r\n2026-03-04,1700,90,35,151,70,320,48,36,17,3\r\n"));
        QCOMPARE(run({u"--days"_s, lost}),
                 std::pair(1, QStringList{u"forkwell-history: Cannot write %1: No such file or directory"_s.arg(lost)}));
        QCOMPARE(run({u"--from"_s, u"13-45-2026"_s, u"--days"_s, days}),
                 std::pair(2, QStringList{u"forkwell-history: --from takes a date as YYYY-MM-DD, not \"13-45-2026\""_s}));
    }

private:
    QTemporaryDir m_folder;
    QString m_log = m_folder.filePath(u"mylist"_s);
    std::unique_ptr<HistoryWindow> m_window;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
