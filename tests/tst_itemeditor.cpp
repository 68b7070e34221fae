#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "foodtable.h"
#include "itemeditor.h"
#include "textfile.h"

using namespace Qt::StringLiterals;
using ItemEditor::SaveFailure;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

FoodRecord item(const QString &name, const QString &measure = u"new"_s)
{
    return {name, measure, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
}

// Every item of the database as "name measure", in file order.
QStringList itemsIn(const QString &path)
{
    FoodTable table;
    const FoodLoad load = loadFoodTable(path, table);
    QStringList items;
    for (int row = 0; row < load.names.size(); ++row)
        items << load.names.at(row) + u' ' + table.row(row)[Food::Measure];
    return items;
}

QByteArray databaseOf(const QStringList &names)
{
    QString text;
    for (const QString &name : names)
        text += *recordText(item(name, u"old"_s));
    return TextFile::encode(text);
}

} // namespace

Q_DECLARE_METATYPE(SaveFailure)

class TestItemEditor : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
};

void TestItemEditor::save_data()
{
    QTest::addColumn<QByteArray>("counter");  // "<missing>": no file
    QTest::addColumn<QByteArray>("database"); // "<missing>": no file
    QTest::addColumn<QString>("occupied");    // a name in use: a folder when it ends in /, else a file
    QTest::addColumn<int>("fileSizeLimit");   // bytes a file may grow to, 0 for no limit
    QTest::addColumn<FoodRecord>("newItem");
    QTest::addColumn<SaveFailure>("failure");
    QTest::addColumn<QByteArray>("counterAfter");
    QTest::addColumn<QStringList>("items"); // of the saved database, "name measure"

    const QByteArray abc = databaseOf({u"Apple"_s, u"Bread"_s, u"Cheese"_s});
    const QByteArray five = "5\r\n";
    const QByteArray six = "6\r\n";
    const auto saved = [&](const char *row, const QStringList &names, const QString &newName,
                           const QStringList &items) {
        QTest::newRow(row) << five << databaseOf(names) << QString() << 0 << item(newName)
                           << SaveFailure::None << six << items;
    };
    const auto failed = [&](const char *row, const QByteArray &counter, const QByteArray &database,
                            const FoodRecord &newItem, SaveFailure failure, const QByteArray &counterAfter,
                            const QString &occupied = {}, int fileSizeLimit = 0) {
        QTest::newRow(row) << counter << database << occupied << fileSizeLimit << newItem << failure
                           << counterAfter << QStringList();
    };

    saved("BUTTER sorts between BREAD and CHEESE: counter 5 makes diet6", {u"Apple"_s, u"Bread"_s, u"Cheese"_s},
          u"butter"_s, {u"Apple old"_s, u"Bread old"_s, u"butter new"_s, u"Cheese old"_s});
    saved("no greater name: goes last", {u"Apple"_s, u"Cheese"_s}, u"Zucchini"_s,
          {u"Apple old"_s, u"Cheese old"_s, u"Zucchini new"_s});
    saved("empty database: the only item", {}, u"Melon"_s, {u"Melon new"_s});
    saved("same name goes after the existing one", {u"Bread"_s, u"Cheese"_s}, u"BREAD"_s,
          {u"Bread old"_s, u"BREAD new"_s, u"Cheese old"_s});
    saved("empty name goes first", {u"Apple"_s}, QString(), {u" new"_s, u"Apple old"_s});
    saved("unsorted: before the first greater name in file order", {u"Melon"_s, u"Apple"_s},
          u"Banana"_s, {u"Banana new"_s, u"Melon old"_s, u"Apple old"_s});
    // In the code page Š is 0x8A, Œ 0x8C, š 0x9A, Ÿ 0x9F and À 0xC0; Unicode orders them otherwise.
    saved("šalot upper-cases to ŠALOT, after Z and before Œ", {u"Zucchini"_s, u"Œuf"_s, u"Àpre"_s},
          u"šalot"_s, {u"Zucchini old"_s, u"šalot new"_s, u"Œuf old"_s, u"Àpre old"_s});
    saved("ÿogurt upper-cases to ŸOGURT, before À", {u"Zucchini"_s, u"Àpre"_s}, u"ÿogurt"_s,
          {u"Zucchini old"_s, u"ÿogurt new"_s, u"Àpre old"_s});
    saved("éclair upper-cases to ÉCLAIR, after ÉBÈNE and before Ï", {u"Ébène"_s, u"Ïle"_s}, u"éclair"_s,
          {u"Ébène old"_s, u"éclair new"_s, u"Ïle old"_s});
    saved("quoted name with a comma stays one field", {u"Beans, baked"_s, u"Beans, green"_s},
          u"Beans, black"_s, {u"Beans, baked old"_s, u"Beans, black new"_s, u"Beans, green old"_s});
    QTest::newRow("missing counter counts as 0 and makes diet1")
        << QByteArray("<missing>") << QByteArray("") << QString() << 0 << item(u"Fig"_s)
        << SaveFailure::None << QByteArray("1\r\n") << QStringList{u"Fig new"_s};
    QTest::newRow("counter 7 with diet7 taken makes diet8")
        << QByteArray("7\r\n") << QByteArray("") << u"diet7"_s << 0 << item(u"Fig"_s)
        << SaveFailure::None << QByteArray("8\r\n") << QStringList{u"Fig new"_s};

    failed("quotation marks in a name with a comma: refused, counter untouched", five, abc,
           item(u"Pie, \"deep\""_s), SaveFailure::BoxRefused, five);
    failed("counter unreadable", "<missing>", abc, item(u"Fig"_s), SaveFailure::CounterUnreadable,
           "<missing>", u"dblog/"_s);
    failed("no database: the counter stays counted up", five, "<missing>", item(u"Fig"_s),
           SaveFailure::BackupNotMade, six);
    failed("diet7 taken with counter 6: counted up to 7", "6\r\n", abc, item(u"Fig"_s),
           SaveFailure::BackupNotMade, "7\r\n", u"diet7"_s);
    failed("blank line after the last item: the database is put back", five, abc + "\r\n",
           item(u"Fig"_s), SaveFailure::BackupCutShort, six);
    failed("disk full while writing: the database is put back", five, abc, item(u"Fig"_s),
           SaveFailure::DatabaseUnwritable, six, QString(), 40);
}

// Each save runs in a child process, where a file size limit can stand in
// for a full disk; the parent checks what the child left on disk.
void TestItemEditor::save()
{
    QFETCH(QByteArray, counter);
    QFETCH(QByteArray, database);
    QFETCH(QString, occupied);
    QFETCH(int, fileSizeLimit);
    QFETCH(FoodRecord, newItem);
    QFETCH(SaveFailure, failure);
    QFETCH(QByteArray, counterAfter);
    QFETCH(QStringList, items);
    QTemporaryDir dir;
    if (counter != "<missing>")
        writeBytes(dir.filePath(u"dblog"_s), counter);
    if (database != "<missing>")
        writeBytes(dir.filePath(u"diet"_s), database);
    if (occupied.endsWith(u'/'))
        QVERIFY(QDir(dir.path()).mkdir(occupied));
    else if (!occupied.isEmpty())
        writeBytes(dir.filePath(occupied), "an older backup\r\n");
    QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    filesBefore.removeOne(u"dblog"_s); // the counter has its own check

    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
        if (fileSizeLimit > 0)
            setrlimit(RLIMIT_FSIZE, &limit);
        FoodTable table;
        const ItemEditor::SaveResult result = ItemEditor::saveNewItem(dir.path(), newItem, table);
        _exit(result.restored ? static_cast<int>(result.failure) : 99);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(static_cast<SaveFailure>(WEXITSTATUS(status)), failure);
    QCOMPARE(bytesOf(dir.filePath(u"dblog"_s)), counterAfter);
    if (failure == SaveFailure::None) {
        QCOMPARE(itemsIn(dir.filePath(u"diet"_s)), items);
        QCOMPARE(bytesOf(dir.filePath(u"diet"_s + QString::fromLatin1(counterAfter.chopped(2)))), database);
    } else {
        QCOMPARE(bytesOf(dir.filePath(u"diet"_s)), database);
        QStringList filesAfter = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        filesAfter.removeOne(u"dblog"_s);
        QCOMPARE(filesAfter, filesBefore);
    }
}

QTEST_GUILESS_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
