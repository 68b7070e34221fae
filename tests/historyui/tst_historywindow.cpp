// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "historyui/historytable.h"
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
const QString Butter = u"Butter|1|tbsp|14|100|11.5|7.3|0|0|31|103.5|0|0"_s;

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
        const auto barsOf = [this](const QString &chart, int set) {
            const QList<QAbstractSeries *> series = m_window->findChild<QChartView *>(chart)->chart()->series();
            const auto bar = std::find_if(series.begin(), series.end(), [](auto *s) { return qobject_cast<QAbstractBarSeries *>(s); });
            const QBarSet *bars = qobject_cast<QAbstractBarSeries *>(*bar)->barSets().value(set);
            QList<qreal> values;
            for (int i = 0; bars && i < bars->count(); ++i)
                values += bars->at(i);
            return values;
        };
        QCOMPARE(barsOf(u"Amounts chart"_s, 0), (QList<qreal>{1250, 0, 1700}));
        QAbstractAxis *time = m_window->findChild<QChartView *>(u"Amounts chart"_s)->chart()->axes().value(0);
        QCOMPARE(qobject_cast<QCategoryAxis *>(time)->categoriesLabels(), (QStringList{u"3/2"_s, u"3/3"_s, u"3/4"_s}));

        logDay(m_log, QDate(2026, 3, 5), {Oatmeal}); // as the main program adds an item
        QTRY_COMPARE_WITH_TIMEOUT(m_window->findChild<QTableView *>(u"Days"_s)->model()->rowCount(), 3, 1500);
        QCOMPARE(barsOf(u"Amounts chart"_s, 0), (QList<qreal>{1250, 0, 1700, 300}));
        QCOMPARE(m_window->findChild<QLabel *>(u"dayTitle"_s)->text(), u"Thursday, March 5, 2026"_s); // the newest day in view
        QCOMPARE(m_window->findChild<QChartView *>(u"Amounts chart"_s)->accessibleDescription(),
                 u"Calories per day, 30 days from 4 Feb to 5 Mar 2026, 1 within 1100–1600 kcal, average 1,083 kcal"_s);
    }

    void aMissingShareSortsBelowEveryNumber()
    {
        HistoryTable::Model days;
        days.setTable(HistoryTable::days({History::Day{QDate(2026, 3, 1), {100, -1, 0, 0, 0, 0}, 1, 0},
                                          History::Day{QDate(2026, 3, 2), {50, 0, 0, 0, 0, 0}, 1, 1},
                                          History::Day{QDate(2026, 3, 3), {40, 0, 0, 10, 0, 0}, 1, 2}}));
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&days);
        sorted.setSortRole(HistoryTable::SortRole);
        sorted.sort(7);
        QCOMPARE(sorted.index(0, 7).data().toString() + sorted.index(1, 7).data().toString() + sorted.index(2, 7).data().toString(),
                 u"—0100"_s);
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

    // The report of a log of 100 days, read back as text: each of the days
    // table's cells whole on its row, every header word whole, the header
    // again on each page the table runs onto, the paper of the locale.
    void reportPrintsEveryCellWhole_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("range");
        QTest::addColumn<QByteArray>("paper");
        QTest::newRow("four weeks in the C locale on A4") << u"C"_s << QStringList{u"--from=2026-12-01"_s, u"--to=2026-12-28"_s} << QByteArray("595.000000 842.000000");
        QTest::newRow("100 days over pages in English of the USA on Letter") << u"en_US.UTF-8"_s << QStringList() << QByteArray("612.000000 792.000000");
    }

    void reportPrintsEveryCellWhole()
    {
        QFETCH(QString, locale); QFETCH(QStringList, range); QFETCH(QByteArray, paper);
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext is missing: scripts/setup.sh --with-checks installs it");
        QTemporaryDir folder;
        const QString log = folder.filePath(u"mylist"_s), pdf = folder.filePath(u"r.pdf"_s);
        for (QDate day(2026, 9, 23); day <= QDate(2026, 12, 31); day = day.addDays(1)) // fat over 100 g, a fat share of 100
            logDay(log, day, QList<QStringList>{{Oatmeal, ChickenRice}, {Burger, Burger}, {Butter}, {Burger, Shake, u'-' + Shake}}[day.day() % 4]);
        QProcess tool;
        tool.setEnvironment(QProcess::systemEnvironment() << u"LC_ALL="_s + locale << u"QT_QPA_PLATFORM=offscreen"_s);
        tool.start(QStringLiteral(FORKWELL_HISTORY_TOOL), QStringList{u"--log"_s, log, u"--report"_s, pdf} + range);
        QVERIFY(tool.waitForFinished(60000) && tool.exitCode() == 0);
        QVERIFY(Testing::bytesOf(pdf).contains("/MediaBox [0 0 " + paper + "]"));
        tool.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY(tool.waitForFinished(60000));
        // Both locales write numbers alike, but for the C locale's thousands, which go either way.
        const QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).remove(u',').split(u'\f');

        const History::Range shown = range.isEmpty() ? History::Range{QDate(2026, 9, 23), QDate(2026, 12, 31)}
                                                     : History::Range{QDate(2026, 12, 1), QDate(2026, 12, 28)};
        const HistoryTable::Table days = HistoryTable::days(History::daysIn(History::days(*FoodLog::read(log)), shown));
        int rowsFound = 0;
        for (const QString &page : pages) {
            int rowsHere = 0;
            for (const HistoryTable::Row &row : days.rows) {
                QStringList cells;
                for (const HistoryTable::Cell &cell : row.cells)
                    cells += QRegularExpression::escape(cell.shown(QLocale(locale.left(5))).remove(u','));
                rowsHere += page.contains(QRegularExpression(u"(^|\n) *"_s + cells.join(u" +"_s) + u" *\n"_s)) ? 1 : 0;
            }
            if (rowsHere > 0) { // the header, its words whole, over the rows of each page
                QVERIFY2(page.contains(QRegularExpression(u"\n *Date +Calories "_s)), qPrintable(page));
                for (const QString &word : days.headers.join(u' ').split(u' '))
                    QVERIFY2(page.contains(QRegularExpression(u"\\s"_s + QRegularExpression::escape(word) + u"\\s"_s)), qPrintable(word));
            }
            rowsFound += rowsHere;
        }
        QCOMPARE(rowsFound, int(days.rows.size()));
    }

private:
    QTemporaryDir m_folder;
    QString m_log = m_folder.filePath(u"mylist"_s);
    std::unique_ptr<HistoryWindow> m_window;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
