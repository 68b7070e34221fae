// SPDX-License-Identifier: GPL-3.0-or-later
#include <sched.h>
#include <sys/mount.h>

#include <chrono>
#include <thread>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "database/itemeditor.h"
#include "database/textfile.h"
#include "tally/daylist.h"
#include "tally/logentry.h"
#include "tests/support/childprocess.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using namespace Testing;

// A disk that fills, a file or folder that cannot be written, and the
// program killed in the middle of a save: each file stays an old or a new
// version, whole, apart from a log entry that a full disk cut short.

namespace {

const FoodRecord Apple{u"Apple"_s, u"1 medium"_s, u"0.3"_s, u"95"_s, u"25"_s, u"0.5"_s, u"0"_s, u"182"_s, u"0.1"_s};

// The item of the i-th save: it sorts after every earlier name.
FoodRecord newItem(int i)
{
    FoodRecord item = Apple;
    item[Food::Name] = u"Zz item %1"_s.arg(i, 5, 10, QChar(u'0'));
    return item;
}

// The i-th write of an operation: "savenewitem" saves newItem(i), "addtolist"
// adds Apple to a new day. "saved" when it was
// written whole, else "failed" and the program's reason if it gives one.
QString writeOnce(const QString &operation, const QString &folder, int i)
{
    QString error;
    bool written = false;
    DayTally tally;
    if (operation == u"savenewitem") {
        FoodTable table;
        const ItemEditor::SaveResult result = ItemEditor::saveNewItem(folder, newItem(i), table);
        written = result.saved();
        error = result.reason;
    } else {
        const ItemEntry entry{ItemValues::select(Apple, ItemFields{}), QString(), u"1"_s, u"Apple"_s};
        const QString log = QDir(folder).filePath(u"mylist"_s);
        const qint64 before = QFileInfo(log).size();
        addToList(tally, entry, Evening, log);
        written = QFileInfo(log).size() == before + TextFile::encode(TextFile::joinLines(LogEntry::lines(entry, tally, Evening))).size();
    }
    return written ? u"saved"_s : error.isEmpty() ? u"failed"_s : u"failed: "_s + error;
}

// Ten foods whose names sort before every new item's, then the first saves' items.
QByteArray database(int saves)
{
    QString text;
    for (int i = -9; i <= saves; ++i)
        text += *recordText(newItem(i));
    return TextFile::encode(text);
}

const QByteArray AppleEntry = [] { // as adding Apple to a new day writes it on a sound disk
    QTemporaryDir dir;
    writeOnce(u"addtolist"_s, dir.path(), 1);
    return bytesOf(dir.filePath(u"mylist"_s));
}();

// "diet" of ten foods, "dblog" at 5 and a log of two entries.
void prepareFolder(const QString &folder)
{
    const QList<std::pair<QString, QByteArray>> files{
        {u"diet"_s, database(0)}, {u"dblog"_s, "5\r\n"}, {u"mylist"_s, AppleEntry + AppleEntry}};
    for (const auto &[name, bytes] : files)
        TextFile::writeBytesAtomically(QDir(folder).filePath(name), bytes);
}

// What the folder lost, or empty, and *stage where the writes stood. A full
// disk may cut the new log entry short, a kill leave a temporary file.
QString lost(const QString &folder, bool diskFull, QString *stage)
{
    const QDir dir(folder);
    const QByteArray counter = bytesOf(dir.filePath(u"dblog"_s));
    const int counted = counter.endsWith("\r\n") ? counter.trimmed().toInt() - 5 : -1;
    if (counted < 0)
        return u"dblog holds "_s + QString::fromLatin1(counter);
    const QByteArray diet = bytesOf(dir.filePath(u"diet"_s));
    const int saved = diet == database(counted) ? counted : diet == database(counted - 1) ? counted - 1 : -1;
    if (saved < 0)
        return u"diet is neither the database before save %1 nor after it"_s.arg(counted);
    QStringList expected{u"diet"_s, u"dblog"_s, u"mylist"_s};
    for (int k = 1; k <= counted; ++k) {
        expected += u"diet%1"_s.arg(5 + k);
        const QByteArray backup = bytesOf(dir.filePath(expected.last()));
        if (backup != database(k - 1) && (k <= saved || backup != "<missing>"))
            return expected.last() + u" is not the database it kept"_s;
    }
    *stage = counted == 0 ? u"diet as it was"_s : saved == counted ? u"diet saved"_s : u"diet as it was, counted up"_s;
    const QByteArray log = bytesOf(dir.filePath(u"mylist"_s));
    const QByteArray added = log.sliced(std::min(log.size(), 2 * AppleEntry.size()));
    if (!log.startsWith(AppleEntry + AppleEntry) || !AppleEntry.startsWith(added) || (added.size() % AppleEntry.size() && !diskFull))
        return u"the log holds "_s + QString::fromLatin1(log);
    *stage += added.isEmpty() ? u"; log as it was"_s : added == AppleEntry ? u"; log added to"_s : u"; log cut short"_s;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!expected.contains(name) && (diskFull || !name.startsWith(u'.')))
            return u"unexpected file "_s + name;
    }
    return {};
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    // The item editor repeats its save of new items in a child process until
    // it is killed, within 40 ms.
    void killedDuringASave()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int run = 0; run < 200; ++run) {
            QTemporaryDir dir;
            prepareFolder(dir.path());
            const pid_t child = ::fork();
            if (child == 0) {
                for (int i = 1; i <= 100000; ++i)
                    writeOnce(u"savenewitem"_s, dir.path(), i);
                ::_exit(0);
            }
            const int delay = random.bounded(40001);
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            int status = 0;
            QVERIFY(::kill(child, SIGKILL) == 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status));
            QString stage;
            const QString problem = lost(dir.path(), false, &stage);
            QVERIFY2(problem.isEmpty(), qPrintable(u"killed after %1 us (seed %2): %3"_s.arg(delay).arg(seed).arg(problem)));
        }
    }

    void diskFullPartWayThrough_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<qint64>("first"); // the smallest file size allowed
        QTest::addColumn<qint64>("last");  // the size the write needs
        QTest::addColumn<QString>("after");
        QTest::newRow("the disk fills while diet is written")
            << u"savenewitem"_s << 0LL << database(1).size() << u"diet saved; log as it was"_s;
        QTest::newRow("the disk fills while mylist is written") << u"addtolist"_s << 2 * AppleEntry.size() - 1
            << 3 * AppleEntry.size() << u"diet as it was; log added to"_s;
    }

    // The largest file the process may write goes from too small for anything
    // to the size the write needs, every byte at first, then every 13th.
    void diskFullPartWayThrough()
    {
        QFETCH(QString, operation); QFETCH(qint64, first); QFETCH(qint64, last); QFETCH(QString, after);
        QStringList stages;
        for (qint64 limit = first;; limit = std::min(last, limit + (limit - first < 16 ? 1 : 13))) {
            QTemporaryDir dir;
            prepareFolder(dir.path());
            const ChildRun run = runWithFileLimit(limit, [&] { return writeOnce(operation, dir.path(), 1).toUtf8(); });
            QVERIFY(run.finished);
            QCOMPARE(run.report.startsWith("saved"), limit == last); // the save knows that it failed
            stages += QString();
            const QString problem = lost(dir.path(), true, &stages.last());
            QVERIFY2(problem.isEmpty(), qPrintable(u"files up to %1 bytes: %2"_s.arg(limit).arg(problem)));
            if (limit == last)
                break;
        }
        QCOMPARE(stages.first(), u"diet as it was; log as it was"_s);
        QCOMPARE(stages.last(), after);
    }

    void readOnlyFolder_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("a read-only folder stops the save of diet") << u"savenewitem"_s << u"failed: Read-only file system"_s;
        QTest::newRow("a read-only folder stops the log entry") << u"addtolist"_s << u"failed"_s;
    }

    void readOnlyFolder()
    {
        QFETCH(QString, operation); QFETCH(QString, outcome);
        QTemporaryDir dir;
        prepareFolder(dir.path());
        const ChildRun run = runInChild([&]() -> QByteArray {
            // In a mount namespace of its own, the bind mount goes with the child.
            const QByteArray path = dir.path().toLocal8Bit();
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || ::mount(path, path, nullptr, MS_BIND, nullptr) != 0
                || ::mount(nullptr, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return "no mounts";
            return writeOnce(operation, dir.path(), 1).toUtf8();
        });
        if (run.report == "no mounts")
            QSKIP("a read-only bind mount needs CAP_SYS_ADMIN, which this system does not give");
        QCOMPARE(QString::fromUtf8(run.report), outcome);
        QString stage;
        QCOMPARE(lost(dir.path(), false, &stage), QString());
        QCOMPARE(stage, u"diet as it was; log as it was"_s);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
