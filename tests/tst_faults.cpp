#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <thread>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "childprocess.h"
#include "daylist.h"
#include "faultdriver.h"
#include "itemeditor.h"
#include "itemvalues.h"
#include "totalsfile.h"

using namespace Qt::StringLiterals;

// A disk that fills, a file or folder that cannot be written, and the
// program killed in the middle of a save. After each: "diet" is the old
// database or the new one, whole, and every backup holds the database it
// kept; the day's totals file is the old one or the new one; the food log
// holds whole entries, the last one cut short only where the disk filled
// during its write.

namespace {

constexpr int StartCounter = 5;
constexpr int StartItems = 10;
const QString Today = u"12-04-2026"_s;

QByteArray recordBytes(const FoodRecord &record)
{
    QByteArray bytes;
    for (const QString &field : record)
        bytes += field.toLatin1() + "\r\n";
    return bytes;
}

// The starting database, items "Food 001" ..., then the driver's items
// saved so far.
QByteArray databaseAfter(int saves, int items = StartItems)
{
    QByteArray bytes;
    for (int i = 1; i <= items; ++i) {
        FoodRecord record = FaultDriver::apple();
        record[Food::Name] = u"Food %1"_s.arg(i, 3, 10, QChar(u'0'));
        bytes += recordBytes(record);
    }
    for (int i = 1; i <= saves; ++i)
        bytes += recordBytes(FaultDriver::newItem(i));
    return bytes;
}

QByteArray totalsBytes(const QStringList &texts)
{
    return (QStringList{Today} + texts).join(u"\r\n"_s).toLatin1() + "\r\n";
}

// The day's file as an earlier save of the day left it.
const QStringList EarlierTotals{u"100"_s, u"N/A"_s, u"200"_s, u"50"_s, u"5"_s,
                                u"1"_s, u"30"_s, u"10"_s, u"20"_s, u"0"_s};

// The lines of an entry that adds Apple, as patterns; the totals vary.
const std::array<QRegularExpression, 23> EntryLines{
    QRegularExpression(u"^12-04-2026    07:45:10 PM$"_s), QRegularExpression(u"^$"_s),
    QRegularExpression(u"^1 1 medium \\(182 Grams\\) of:$"_s), QRegularExpression(u"^Apple$"_s),
    QRegularExpression(u"^Contains:$"_s), QRegularExpression(u"^95 Calories$"_s),
    QRegularExpression(u"^0\\.3 Grams of Total Fat \\(including Saturated\\)$"_s),
    QRegularExpression(u"^0\\.1 Grams of Just Saturated Fat$"_s),
    QRegularExpression(u"^25 Grams of Carbohydrates$"_s),
    QRegularExpression(u"^0\\.5 Grams of Proteins$"_s),
    QRegularExpression(u"^0 Miligrams of Cholesterol$"_s), QRegularExpression(u"^$"_s),
    QRegularExpression(u"^Your running total for today to this point is: $"_s),
    QRegularExpression(u"^\\d+ Total Calories $"_s),
    QRegularExpression(u"^\\d+ Total Fat Calories$"_s),
    QRegularExpression(u"^\\d+ Total Carbohydrate Calories$"_s),
    QRegularExpression(u"^\\d+ Total Protein Calories$"_s),
    QRegularExpression(u"^[\\d.]+ Total Grams of All Fats \\(including Saturated\\)$"_s),
    QRegularExpression(u"^[\\d.]+ Total Grams of Just Saturated Fats$"_s),
    QRegularExpression(u"^[\\d.]+ Total Grams of Carbohydrates$"_s),
    QRegularExpression(u"^[\\d.]+ Total Grams of Proteins$"_s),
    QRegularExpression(u"^[\\d.]+ Total Milligrams of Cholesterol$"_s), QRegularExpression(u"^$"_s)};

// Two entries written by an earlier session.
QByteArray earlierLog()
{
    QByteArray entry = "12-04-2026    07:45:10 PM\r\n\r\n1 1 medium (182 Grams) of:\r\nApple\r\nContains:\r\n"
                       "95 Calories\r\n0.3 Grams of Total Fat (including Saturated)\r\n"
                       "0.1 Grams of Just Saturated Fat\r\n25 Grams of Carbohydrates\r\n"
                       "0.5 Grams of Proteins\r\n0 Miligrams of Cholesterol\r\n\r\n"
                       "Your running total for today to this point is: \r\n105 Total Calories \r\n"
                       "3 Total Fat Calories\r\n100 Total Carbohydrate Calories\r\n"
                       "2 Total Protein Calories\r\n0.3 Total Grams of All Fats (including Saturated)\r\n"
                       "0.1 Total Grams of Just Saturated Fats\r\n25 Total Grams of Carbohydrates\r\n"
                       "0.5 Total Grams of Proteins\r\n0 Total Milligrams of Cholesterol\r\n\r\n";
    return entry + entry;
}

std::optional<QByteArray> contents(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// A temporary file of a replacing write that was cut short: hidden, named
// after its file.
bool isLeftover(const QString &name)
{
    static const QRegularExpression pattern(u"^\\.(diet|dblog|12-04-2026)\\.[A-Za-z0-9]{6}$"_s);
    return pattern.match(name).hasMatch();
}

struct FolderState
{
    QString problem;     // empty: nothing lost
    QString stage;       // where the interrupted work stood
    int leftovers = 0;   // temporary files of a cut-short write
};

// The item editor's files: "dblog" counts whole numbers up from 5, "diet"
// is the database before the last counted save or after it, and every
// backup holds the database as it was before its save.
FolderState editorFolder(const QString &folder, int items = StartItems)
{
    FolderState state;
    const QDir dir(folder);
    const std::optional<QByteArray> counter = contents(dir.filePath(u"dblog"_s));
    static const QRegularExpression counterText(u"^(\\d+)\r\n$"_s);
    const QRegularExpressionMatch match = counterText.match(QString::fromLatin1(counter.value_or("")));
    if (!match.hasMatch()) {
        state.problem = u"dblog holds %1"_s.arg(QString::fromLatin1(counter.value_or("nothing")));
        return state;
    }
    const int counted = match.captured(1).toInt() - StartCounter;
    const std::optional<QByteArray> diet = contents(dir.filePath(u"diet"_s));
    if (!diet) {
        state.problem = u"diet is missing after %1 counted saves"_s.arg(counted);
        return state;
    }
    int saved = -1;
    for (int j = counted; j >= std::max(0, counted - 1) && saved < 0; --j) {
        if (*diet == databaseAfter(j, items))
            saved = j;
    }
    if (saved < 0) {
        state.problem = u"diet (%1 bytes) is neither the database before save %2 nor after it"_s
                            .arg(diet->size()).arg(counted);
        return state;
    }
    QStringList expected{u"dblog"_s, u"diet"_s};
    bool pendingBackup = false;
    for (int k = 1; k <= counted; ++k) {
        const QString name = u"diet%1"_s.arg(StartCounter + k);
        const std::optional<QByteArray> backup = contents(dir.filePath(name));
        if (backup && *backup != databaseAfter(k - 1, items)) {
            state.problem = name + u" is not the database it kept"_s;
            return state;
        }
        if (!backup && k <= saved) {
            state.problem = name + u" is missing"_s;
            return state;
        }
        if (backup) {
            expected += name;
            pendingBackup = k > saved;
        }
    }
    state.stage = saved == counted ? u"saved"_s
        : pendingBackup           ? u"backup kept, diet not yet written"_s
                                  : u"counted, backup not yet made"_s;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (isLeftover(name))
            ++state.leftovers;
        else if (!expected.contains(name))
            state.problem = u"unexpected file "_s + name;
    }
    return state;
}

// The day's totals file is the earlier one or one of the two the driver saves.
FolderState totalsFolder(const QString &folder)
{
    FolderState state;
    const QDir dir(folder);
    const std::optional<QByteArray> totals = contents(dir.filePath(Today));
    if (!totals)
        state.problem = u"the day's totals file is missing"_s;
    else if (*totals == totalsBytes(EarlierTotals))
        state.stage = u"earlier totals"_s;
    else if (*totals == totalsBytes(FaultDriver::totals(0)) || *totals == totalsBytes(FaultDriver::totals(1)))
        state.stage = u"new totals"_s;
    else
        state.problem = u"the totals file holds "_s + QString::fromLatin1(*totals);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (isLeftover(name))
            ++state.leftovers;
        else if (name != Today)
            state.problem = u"unexpected file "_s + name;
    }
    return state;
}

// The food log holds the earlier entries and whole new ones; a cut-short
// last entry is allowed where the disk filled.
FolderState logFolder(const QString &folder, bool partialTailAllowed)
{
    FolderState state;
    const std::optional<QByteArray> log = contents(QDir(folder).filePath(u"mylist"_s));
    if (!log || !log->startsWith(earlierLog())) {
        state.problem = u"the earlier entries are gone"_s;
        return state;
    }
    const QStringList lines = QString::fromLatin1(log->sliced(earlierLog().size())).split(u"\r\n"_s);
    // The text after the last line end: empty unless a line was cut.
    const qsizetype whole = lines.size() - 1;
    for (qsizetype i = 0; i < whole; ++i) {
        if (!EntryLines[std::size_t(i % 23)].match(lines[i]).hasMatch()) {
            state.problem = u"line %1 of the new entries reads \"%2\""_s.arg(i + 1).arg(lines[i]);
            return state;
        }
    }
    const bool cut = whole % 23 != 0 || !lines.last().isEmpty();
    if (cut && !partialTailAllowed)
        state.problem = u"the last entry is cut short"_s;
    state.stage = cut ? u"last entry cut short"_s : u"whole entries"_s;
    return state;
}

void prepareFolder(const QString &folder)
{
    writeFile(folder + u"/diet"_s, databaseAfter(0));
    writeFile(folder + u"/dblog"_s, QByteArray::number(StartCounter) + "\r\n");
    writeFile(folder + u'/' + Today, totalsBytes(EarlierTotals));
    writeFile(folder + u"/mylist"_s, earlierLog());
}

// One write of each kind, as the program's windows start it.
bool saveNewItemOnce(const QString &folder, QString *reason = nullptr)
{
    FoodTable table;
    const ItemEditor::SaveResult result = ItemEditor::saveNewItem(folder, FaultDriver::newItem(1), table);
    if (reason)
        *reason = result.reason;
    return result.saved();
}

bool saveTotalsOnce(const QString &folder, QString *reason = nullptr)
{
    DayTally tally;
    const QStringList texts = FaultDriver::totals(0);
    for (int i = 0; i < texts.size(); ++i)
        tally.setText(FaultDriver::StoredCells[std::size_t(i)], texts[i]);
    QString error;
    const bool saved = saveTotals(tally, FaultDriver::clock(), folder, &error);
    if (reason)
        *reason = error;
    return saved;
}

bool addToListOnce(const QString &folder)
{
    ItemEntry apple;
    apple.fields = ItemValues::select(FaultDriver::apple(), ItemFields{});
    apple.portion = u"1"_s;
    apple.itemBox = u"Apple"_s;
    DayTally tally;
    const QString log = folder + u"/mylist"_s;
    const qint64 before = QFileInfo(log).size();
    addToList(tally, apple, FaultDriver::clock(), log);
    return QFileInfo(log).size() == before + earlierLog().size() / 2;
}

bool writeOnce(const QString &operation, const QString &folder, QString *reason = nullptr)
{
    if (operation == u"savenewitem")
        return saveNewItemOnce(folder, reason);
    if (operation == u"savetotals")
        return saveTotalsOnce(folder, reason);
    return addToListOnce(folder);
}

FolderState stateAfter(const QString &operation, const QString &folder, bool partialTailAllowed)
{
    if (operation == u"savenewitem")
        return editorFolder(folder);
    if (operation == u"savetotals")
        return totalsFolder(folder);
    return logFolder(folder, partialTailAllowed);
}

// The files one operation writes, to find the size the disk must hold.
qint64 sizeWritten(const QString &operation)
{
    if (operation == u"savenewitem")
        return databaseAfter(1).size();
    if (operation == u"savetotals")
        return totalsBytes(FaultDriver::totals(0)).size();
    return earlierLog().size() * 3 / 2;
}

// In a child process of its own, with a mount namespace of its own, so
// that a mount made there vanishes with it. False where the system does
// not allow it.
bool privateMounts()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

QString describe(const FolderState &state)
{
    return state.problem.isEmpty() ? state.stage : u"LOST: "_s + state.problem;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void killedInTheMiddle_data();
    void killedInTheMiddle();
    void diskFullAtEveryByte_data();
    void diskFullAtEveryByte();
    void diskFullOnARealFileSystem_data();
    void diskFullOnARealFileSystem();
    void unusableFileOrFolder_data();
    void unusableFileOrFolder();

private:
    int m_faultRuns = 0;
};

void TestFaults::killedInTheMiddle_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("maxDelayMicroseconds");

    QTest::newRow("killed while saving a new item") << u"savenewitem"_s << 200 << 40000;
    QTest::newRow("killed while saving the day's totals") << u"savetotals"_s << 200 << 20000;
    QTest::newRow("killed while adding to the day") << u"addtolist"_s << 100 << 20000;
}

void TestFaults::killedInTheMiddle()
{
    QFETCH(QString, operation);
    QFETCH(int, runs);
    QFETCH(int, maxDelayMicroseconds);

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QMap<QString, int> stages;
    int leftovers = 0;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        prepareFolder(dir.path());
        QProcess driver;
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QStringLiteral(FORKWELL_FAULT_DRIVER), {operation, dir.path()});
        QVERIFY(driver.waitForReadyRead(30000));
        QCOMPARE(driver.readLine(), QByteArray("ready\n"));
        // The moment of the kill is the random part of the test; nothing is
        // waited for here.
        const int delay = static_cast<int>(random.bounded(maxDelayMicroseconds + 1));
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
        QVERIFY(driver.waitForFinished(30000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
        ++m_faultRuns;

        const FolderState state = stateAfter(operation, dir.path(), false);
        QVERIFY2(state.problem.isEmpty(), qPrintable(u"run %1, killed after %2 us (seed %3): %4"_s
                                                         .arg(run).arg(delay).arg(seed).arg(state.problem)));
        ++stages[state.stage];
        leftovers += state.leftovers;
    }
    QStringList seen;
    for (auto it = stages.cbegin(); it != stages.cend(); ++it)
        seen += u"%1 x%2"_s.arg(it.key()).arg(it.value());
    qInfo("%d kills: %s; %d temporary files left behind", runs, qPrintable(seen.join(u", "_s)), leftovers);
}

void TestFaults::diskFullAtEveryByte_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("the disk fills while diet is written") << u"savenewitem"_s;
    QTest::newRow("the disk fills while the totals file is written") << u"savetotals"_s;
    QTest::newRow("the disk fills while mylist is written") << u"addtolist"_s;
}

// The largest file the process may write is lowered to every size from 0
// up to what the operation needs, so the write fails at every byte.
void TestFaults::diskFullAtEveryByte()
{
    QFETCH(QString, operation);

    int saved = 0;
    int failed = 0;
    for (qint64 limit = 0; limit <= sizeWritten(operation) + 1; ++limit) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        prepareFolder(dir.path());
        const QString folder = dir.path();
        const ChildRun run = runInChild([&]() -> QByteArray {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
            return writeOnce(operation, folder) ? "saved" : "failed";
        });
        QVERIFY(run.finished);
        ++m_faultRuns;
        (run.report == "saved" ? saved : failed) += 1;
        const FolderState state = stateAfter(operation, folder, true);
        QVERIFY2(state.problem.isEmpty(), qPrintable(u"files up to %1 bytes: %2"_s.arg(limit).arg(state.problem)));
        QCOMPARE(state.leftovers, 0);
    }
    // Both ends were reached: nothing fits at first, everything at last.
    QVERIFY(failed > 0);
    QVERIFY(saved > 0);
}

void TestFaults::diskFullOnARealFileSystem_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("a full disk keeps the old diet and counts the save")
        << u"savenewitem"_s << u"failed (No space left on device); backup kept, diet not yet written"_s;
    QTest::newRow("a full disk keeps the earlier totals")
        << u"savetotals"_s << u"failed (No space left on device); earlier totals"_s;
    QTest::newRow("a full disk cuts the new log entry short")
        << u"addtolist"_s << u"failed; last entry cut short"_s;
}

// A small memory file system filled to the last page: the write meets a
// real "no space left on device".
void TestFaults::diskFullOnARealFileSystem()
{
    QFETCH(QString, operation);
    QFETCH(QString, outcome);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString disk = dir.filePath(u"disk"_s);
    QVERIFY(QDir().mkpath(disk));
    const ChildRun run = runInChild([&]() -> QByteArray {
        if (!privateMounts() || ::mount("forkwell", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") != 0)
            return "no mounts";
        // A database of three pages, so that "dblog" fits where "diet" does not.
        prepareFolder(disk);
        writeFile(disk + u"/diet"_s, databaseAfter(0, 200));
        // The log fills its last page but for a few bytes.
        QFile::resize(disk + u"/mylist"_s, 4096 - 100);
        writeFile(disk + u"/mylist"_s, earlierLog().repeated(4).first(4096 - 100));
        QFile filler(disk + u"/filler"_s);
        filler.open(QIODevice::WriteOnly);
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size() && filler.flush()) {
        }
        filler.close();
        // One page free: room for "dblog" or the totals, not for "diet".
        QFile::resize(filler.fileName(), std::max<qint64>(0, QFileInfo(filler).size() / 4096 * 4096 - 4096));
        if (operation == u"savetotals")
            QFile::resize(filler.fileName(), QFileInfo(filler).size() + 4096);
        QString reason;
        const bool written = writeOnce(operation, disk, &reason);
        QFile::remove(filler.fileName());
        QString result = written ? u"saved"_s : u"failed"_s;
        if (!reason.isEmpty())
            result += u" ("_s + reason + u')';
        return (result + u"; "_s + describe(stateAfter(operation, disk, true))).toUtf8();
    });
    QVERIFY(run.finished);
    if (run.report == "no mounts")
        QSKIP("mounting a small file system needs CAP_SYS_ADMIN, which this system does not give");
    ++m_faultRuns;
    QCOMPARE(QString::fromUtf8(run.report), outcome);
}

void TestFaults::unusableFileOrFolder_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("folderAt");  // a folder stands where this file belongs
    QTest::addColumn<bool>("readOnly");     // the whole working folder is read-only
    QTest::addColumn<QString>("outcome");

    QTest::newRow("a folder named diet") << u"savenewitem"_s << u"diet"_s << false
                                         << u"failed; diet folder kept; dblog 6"_s;
    QTest::newRow("a folder named dblog") << u"savenewitem"_s << u"dblog"_s << false
                                          << u"failed; dblog folder kept; diet unchanged"_s;
    QTest::newRow("a folder named by the day") << u"savetotals"_s << Today << false
                                               << u"failed (Is a directory); totals folder kept"_s;
    QTest::newRow("a folder named mylist") << u"addtolist"_s << u"mylist"_s << false
                                           << u"failed; mylist folder kept"_s;
    QTest::newRow("a read-only folder stops the save of diet")
        << u"savenewitem"_s << QString() << true << u"failed (Read-only file system); nothing changed"_s;
    QTest::newRow("a read-only folder stops the save of the totals")
        << u"savetotals"_s << QString() << true << u"failed (Read-only file system); nothing changed"_s;
    QTest::newRow("a read-only folder stops the log entry")
        << u"addtolist"_s << QString() << true << u"failed; nothing changed"_s;
}

void TestFaults::unusableFileOrFolder()
{
    QFETCH(QString, operation);
    QFETCH(QString, folderAt);
    QFETCH(bool, readOnly);
    QFETCH(QString, outcome);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    prepareFolder(folder);
    if (!folderAt.isEmpty()) {
        QVERIFY(QFile::remove(dir.filePath(folderAt)));
        QVERIFY(QDir(folder).mkdir(folderAt));
        QVERIFY(writeFile(dir.filePath(folderAt + u"/inside"_s), "kept"));
    }
    QMap<QString, QByteArray> before;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        before[name] = contents(dir.filePath(name)).value();

    const ChildRun run = runInChild([&]() -> QByteArray {
        if (readOnly) {
            const QByteArray path = folder.toLocal8Bit();
            if (!privateMounts() || ::mount(path, path, nullptr, MS_BIND, nullptr) != 0
                || ::mount(nullptr, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return "no mounts";
        }
        QString reason;
        const bool written = writeOnce(operation, folder, &reason);
        return (written ? u"saved"_s : reason.isEmpty() ? u"failed"_s : u"failed ("_s + reason + u')')
            .toUtf8();
    });
    QVERIFY(run.finished);
    if (run.report == "no mounts")
        QSKIP("a read-only bind mount needs CAP_SYS_ADMIN, which this system does not give");
    ++m_faultRuns;

    // What the folder holds now, against what it held.
    QStringList changes;
    const QDir now(folder);
    if (!folderAt.isEmpty()) {
        const bool kept = contents(dir.filePath(folderAt + u"/inside"_s)) == QByteArray("kept");
        changes += (folderAt == Today ? u"totals"_s : folderAt) + (kept ? u" folder kept"_s : u" folder lost"_s);
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const std::optional<QByteArray> bytes = contents(dir.filePath(it.key()));
        if (bytes == it.value())
            continue;
        changes += it.key() == u"dblog"_s && bytes
            ? u"dblog "_s + QString::fromLatin1(bytes->trimmed())
            : it.key() + u" changed"_s;
    }
    for (const QString &name : now.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!before.contains(name) && name != folderAt)
            changes += name + u" appeared"_s;
    }
    if (folderAt == u"dblog"_s && contents(dir.filePath(u"diet"_s)) == databaseAfter(0))
        changes += u"diet unchanged"_s;
    QCOMPARE(QString::fromUtf8(run.report) + u"; "_s + (changes.isEmpty() ? u"nothing changed"_s : changes.join(u"; "_s)),
             outcome);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
