// SPDX-License-Identifier: GPL-3.0-or-later
#include <numeric>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "database/foodtable.h"
#include "forkwellui/form2.h"
#include "tally/totalsfile.h"
#include "tests/support/childprocess.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using namespace Testing;

// Files a user could really have, each read in a child process of its own,
// so that a crash, a hang or a runaway use of memory fails only its row.

namespace {

// What reads the file: the main window's load of "diet", the log viewer's
// "Open My File", "Open" with today's totals.
enum class Operation { Load, LogWindow, OpenTotals };

// The start of a text, control characters as \xNN, and its length.
QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text.first(std::min<qsizetype>(text.size(), 12)))
        out += c.unicode() < 0x20 ? u"\\x%1"_s.arg(c.unicode(), 2, 16, QChar(u'0')) : QString(c);
    return u'"' + out + u"\" (%1)"_s.arg(text.size());
}

QString outcomeOf(Operation operation, const QString &folder)
{
    const QDir dir(folder);
    FoodTable table;
    DayTally tally;
    switch (operation) {
    case Operation::Load: {
        const FoodLoad load = loadFoodTable(dir.filePath(u"diet"_s), table);
        return u"%1 items%2, last %3"_s.arg(load.names.size()).arg(load.complete ? u""_s : u", cut short"_s)
            .arg(shown(load.names.value(load.names.size() - 1)));
    }
    case Operation::LogWindow: {
        QDir::setCurrent(folder);
        Form2 window;
        window.show();
        QTest::mouseClick(window.findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
        const QString text = window.findChild<QPlainTextEdit *>(u"Text1"_s)->toPlainText();
        return u"%1 lines, first %2"_s.arg(text.count(u'\n') + 1).arg(shown(text.first(text.indexOf(u'\n'))));
    }
    case Operation::OpenTotals:
        openTotals(tally, Evening, folder);
        return describe(tally);
    }
    return {};
}

// A megabyte at a time, so that the file never sits in the test's own memory.
bool writeRepeated(const QString &path, const QByteArray &content, qint64 repeat)
{
    QFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    for (qint64 done = 0, n = 0; written && done < repeat; done += n)
        written = file.write(content.repeated(n = std::min(repeat - done, (1 << 20) / content.size() + 1))) >= 0;
    return written;
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void filesAUserCouldHave_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("file"); // written into the working folder beside "diet" and "dblog"
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("repeat"); // times the content is written
        QTest::addColumn<QString>("outcome");
        const QByteArray apple = "Apple\r\n1 medium\r\n0.3\r\n95\r\n25\r\n0.5\r\n0\r\n182\r\n0.1\r\n";
        const QByteArray entry = "12-04-2026    07:45:10 PM\r\n\r\n1 1 medium (182 Grams) of:\r\nApple\r\n";
        // Each run of the 256 byte values holds a line feed and a comma, the
        // only separators: 2001 fields make 222 items and one cut short.
        QByteArray everyByte(256, 0);
        std::iota(everyByte.begin(), everyByte.end(), 0);
        QTest::newRow("binary garbage as diet loads the whole items it holds") << Operation::Load << u"diet"_s
            << everyByte << 1000LL << u"222 items, cut short, last \"\\x0b\\x0c\\x0d\\x0e\\x0f\\x10\\x11\\x12\\x13\\x14\\x15\\x16\" (33)"_s;
        QTest::newRow("a 200 MB diet on one line loads its first 15001 items") << Operation::Load << u"diet"_s
            << "Apple,1 medium,0.3,95,25,0.5,0,182,0.1,"_ba << (200LL << 20) / 39 << u"15001 items, cut short, last \"Apple\" (5)"_s;
        QTest::newRow("a name of 100,000 characters with a NUL byte loads whole") << Operation::Load << u"diet"_s
            << QByteArray("\0", 1) + QByteArray(99999, 'a') + apple.sliced(5) << 1LL << u"1 items, last \"\\x00aaaaaaaaaaa\" (100000)"_s;
        QTest::newRow("lone CR line ends make one long field: nothing loads") << Operation::Load << u"diet"_s
            << QByteArray(apple).replace('\n', "") << 3LL << u"0 items, cut short, last \"\" (0)"_s;
        QTest::newRow("the log viewer shows a 100 MB log whole") << Operation::LogWindow << u"mylist"_s << entry
            << (100LL << 20) / entry.size() << u"%1 lines, first \"12-04-2026  \" (25)"_s.arg(4 * ((100LL << 20) / entry.size()) + 1);
        QTest::newRow("1e400 as a calorie total ends the reopening before any cell") << Operation::OpenTotals
            << u"12-04-2026"_s << "12-04-2026\r\n1e400\r\nN/A\r\n764\r\n262\r\n36.9\r\n10.6\r\n191\r\n65.6\r\n150\r\n0\r\n"_ba
            << 1LL << cells(u", N/A, , , , , , , , , red, blue"_s);
    }

    void filesAUserCouldHave()
    {
        QFETCH(Operation, operation); QFETCH(QString, file); QFETCH(QByteArray, content); QFETCH(qint64, repeat);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        QByteArray database;
        for (const char *name : {"Apple", "Bread", "Cheese"})
            database += name + "\r\n1 cup\r\n1\r\n100\r\n10\r\n2\r\n0\r\n50\r\n0.5\r\n"_ba;
        QVERIFY(writeRepeated(dir.filePath(u"diet"_s), database, 1) && writeRepeated(dir.filePath(u"dblog"_s), "5\r\n", 1));
        QVERIFY(writeRepeated(dir.filePath(file), content, repeat));
        const ChildRun run = runInChild([&] { return outcomeOf(operation, dir.path()).toUtf8(); });
        QVERIFY(run.finished);
        QCOMPARE(QString::fromUtf8(run.report), outcome);

        // Beside what the test held at the fork: the file a few times over as text of two bytes a
        // character, a few more in the log window for the layout of its text.
        rusage self{};
        ::getrusage(RUSAGE_SELF, &self);
        const qint64 size = QFileInfo(dir.filePath(file)).size();
        qint64 allowed = self.ru_maxrss + 64 * 1024 + (operation == Operation::LogWindow ? 8 : 5) * size / 1024;
#ifdef __SANITIZE_ADDRESS__
        allowed = allowed * 9 / 8 + 256 * 1024; // the sanitizer's shadow and the freed memory it holds back
#endif
        QVERIFY2(run.peakKilobytes <= allowed, qPrintable(u"%1 MB used for a file of %2 MB"_s.arg(run.peakKilobytes / 1024).arg(size >> 20)));
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
