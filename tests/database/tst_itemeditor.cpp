// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>

#include <QTemporaryDir>
#include <QTest>

#include "database/itemeditor.h"
#include "database/textfile.h"
#include "tests/support/childprocess.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // the cases leave the defaults of Save

using namespace Qt::StringLiterals;
using ItemEditor::SaveFailure;

namespace {

int fsyncs = 0; // of folders, so that a renamed "dblog" or "diet" lasts


FoodRecord item(const QString &name, const QString &measure)
{
    return {name, measure, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
}

// Items by their names separated by "|", measured "old", or "new" where the name is marked "*".
QByteArray databaseOf(const QString &names)
{
    QString text;
    for (const QString &name : names.split(u'|', Qt::SkipEmptyParts))
        text += recordText(name.startsWith(u'*') ? item(name.sliced(1), u"new"_s) : item(name, u"old"_s)).value();
    return TextFile::encode(text);
}

const QByteArray Abc = databaseOf(u"Apple|Bread|Cheese"_s);

// One save of an item measured "new" and what it leaves.
struct Save
{
    QByteArray database = Abc;            // "diet", "-" for none
    QString name = u"Fig"_s;              // of the item saved
    QString items;                        // the new "diet", as given to databaseOf()
    SaveFailure failure = SaveFailure::None;
    QByteArray counter = "5\r\n";         // "dblog" before, "-" for no file
    QByteArray counterAfter = "6\r\n";
    QString occupied;                     // a name in use: a folder when it ends in /, else a file
    rlim_t fileSizeLimit = RLIM_INFINITY; // the largest file the save may write
    ItemEditor::SaveMode mode = ItemEditor::SaveMode::Add;
    ItemEditor::SaveRefusal refusal = ItemEditor::SaveRefusal::None;
};

} // namespace

extern "C" int fsync(int fd)
{
    ++fsyncs;
    return reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"))(fd);
}

Q_DECLARE_METATYPE(Save)

class TestItemEditor : public QObject
{
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<Save>("save");
        using enum SaveFailure;
        QTest::newRow("BUTTER sorts between BREAD and CHEESE; counter 5 makes diet6")
            << Save{.name = u"butter"_s, .items = u"Apple|Bread|*butter|Cheese"_s};
        QTest::newRow("no greater name: goes last")
            << Save{databaseOf(u"Apple|Cheese"_s), u"Zucchini"_s, u"Apple|Cheese|*Zucchini"_s};
        QTest::newRow("an empty database: the only item") << Save{{}, u"Melon"_s, u"*Melon"_s};
        QTest::newRow("the same name goes after the one there")
            << Save{databaseOf(u"Bread|Cheese"_s), u"BREAD"_s, u"Bread|*BREAD|Cheese"_s};
        QTest::newRow("an empty name goes first") << Save{databaseOf(u"Apple"_s), QString(), u"*|Apple"_s};
        // By code Š is 0x8A, Œ 0x8C, Ÿ 0x9F, À 0xC0, É 0xC9 and Ï 0xCF; Unicode orders them otherwise.
        QTest::newRow("šalot upper-cases to ŠALOT: after Z, before Œ")
            << Save{databaseOf(u"Zucchini|Œuf|Àpre"_s), u"šalot"_s, u"Zucchini|*šalot|Œuf|Àpre"_s};
        QTest::newRow("ÿogurt upper-cases to ŸOGURT: before À")
            << Save{databaseOf(u"Zucchini|Àpre"_s), u"ÿogurt"_s, u"Zucchini|*ÿogurt|Àpre"_s};
        QTest::newRow("àn upper-cases to ÀN: between ÀB and ÀPRE") << Save{databaseOf(u"Àb|Àpre"_s), u"àn"_s, u"Àb|*àn|Àpre"_s};
        QTest::newRow("éclair upper-cases to ÉCLAIR: after ÉBÈNE, before Ï")
            << Save{databaseOf(u"Ébène|Ïle"_s), u"éclair"_s, u"Ébène|*éclair|Ïle"_s};
        QTest::newRow("œuf upper-cases to ŒUF: before Ž") << Save{databaseOf(u"Œil|Žito"_s), u"œuf"_s, u"Œil|*œuf|Žito"_s};
        QTest::newRow("þorn upper-cases to ÞORN: after ÞE, before ß") << Save{databaseOf(u"Þe|ße"_s), u"þorn"_s, u"Þe|*þorn|ße"_s};
        QTest::newRow("a quoted name with a comma stays one field")
            << Save{databaseOf(u"Beans, baked|Beans, green"_s), u"Beans, black"_s, u"Beans, baked|*Beans, black|Beans, green"_s};
        QTest::newRow("items not in the written form are written anew, the rest copied")
            << Save{.database = "\" Apple\"\nold\n1\n2\n3\n4\n5\n6\n7\n" + databaseOf(u"Bread"_s)
                         + "  \"Cheese\" ,old,1,2,3,4,5 ,6,7",
                    .items = u"Apple|Bread|Cheese|*Fig"_s};
        QTest::newRow("a missing counter counts as 0 and makes diet1")
            << Save{.items = u"Apple|Bread|Cheese|*Fig"_s, .counter = "-", .counterAfter = "1\r\n"};
        QTest::newRow("a counter of -5 counts on to diet-4")
            << Save{.items = u"Apple|Bread|Cheese|*Fig"_s, .counter = "-5\r\n", .counterAfter = "-4\r\n"};
        QTest::newRow("a counter of abc counts as 0") << Save{.items = u"Apple|Bread|Cheese|*Fig"_s, .counter = "abc\r\n", .counterAfter = "1\r\n"};
        QTest::newRow("a counter of 1E+20 cannot count on: it stays, and names the backup")
            << Save{.items = u"Apple|Bread|Cheese|*Fig"_s, .counter = "1E+20\r\n", .counterAfter = "1E+20\r\n"};
        QTest::newRow("quotation marks in a name with a comma: refused, the counter untouched")
            << Save{.name = u"Pie, \"deep\""_s, .failure = BoxRefused, .counterAfter = "5\r\n"};
        QTest::newRow("an unreadable counter")
            << Save{.failure = CounterUnreadable, .counter = "-", .counterAfter = "-", .occupied = u"dblog/"_s};
        QTest::newRow("no database: the counter stays counted up") << Save{.database = "-", .failure = BackupNotMade};
        QTest::newRow("diet7 taken and counter 6: counted up to 7")
            << Save{.failure = BackupNotMade, .counter = "6\r\n", .counterAfter = "7\r\n", .occupied = u"diet7"_s};
        QTest::newRow("an empty counter: nothing counted") << Save{.failure = CounterEmpty, .counter = "", .counterAfter = ""};
        QTest::newRow("diet a folder: counted up, nothing else") << Save{.database = "-", .failure = DatabaseUnreadable, .occupied = u"diet/"_s};
        QTest::newRow("15002 items: more than the table holds")
            << Save{.database = databaseOf(u"Apple|"_s.repeated(FoodTable::RowCount + 1)), .failure = BackupTooLarge};
        QTest::newRow("a line break in quotes, a lone CR and a CR CR LF line end are kept byte for byte")
            << Save{.database = Abc + "\"Apple\r\npie\"\r\nold\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"
                                      "A\rpple\r\r\nold\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n",
                    .items = u"Apple|Bread|Cheese|Apple\r\npie|A\rpple\r|*Fig"_s};
        QTest::newRow("a blank line after the last item: the database is put back")
            << Save{.database = Abc + "\r\n", .failure = BackupCutShort};
        QTest::newRow("the disk fills while diet is written: the database is put back")
            << Save{.failure = DatabaseUnwritable, .fileSizeLimit = 40};
        using enum ItemEditor::SaveMode;
        QTest::newRow("a replace takes the first item of the name's place; the rest keep their bytes")
            << Save{.database = "  \"Bread\" ,old,1,2,3,4,5 ,6,7\r\n" + databaseOf(u"Bread|Cheese"_s), .name = u"Bread"_s,
                    .items = u"*Bread|Bread|Cheese"_s, .mode = Replace};
        QTest::newRow("a replace finds the name only as written: nothing changed")
            << Save{.name = u"BREAD"_s, .counterAfter = "5\r\n", .mode = Replace, .refusal = ItemEditor::SaveRefusal::ItemMissing};
        QTest::newRow("15001 items: no room for one more, nothing changed")
            << Save{.database = databaseOf(u"Apple|"_s.repeated(FoodTable::RowCount)), .counterAfter = "5\r\n",
                    .mode = AddWhileRoom, .refusal = ItemEditor::SaveRefusal::DatabaseFull};
        QTest::newRow("15000 items: room for the last")
            << Save{.database = databaseOf(u"Apple|"_s.repeated(FoodTable::RowCount - 1)),
                    .items = u"Apple|"_s.repeated(FoodTable::RowCount - 1) + u"*Fig"_s, .mode = AddWhileRoom};
    }

    // In a child process, where a file size limit stands in for a full disk.
    void save()
    {
        QFETCH(Save, save);
        const auto bytesOf = [](const QString &path) { return TextFile::encode(TextFile::read(path).value_or(u"-"_s)); };
        QTemporaryDir dir;
        const QString diet = dir.filePath(u"diet"_s);
        if (save.counter != "-")
            QVERIFY(TextFile::writeAtomically(dir.filePath(u"dblog"_s), TextFile::decode(save.counter)));
        if (save.database != "-")
            QVERIFY(TextFile::writeAtomically(diet, TextFile::decode(save.database)));
        if (!save.occupied.isEmpty())
            QVERIFY(save.occupied.endsWith(u'/') ? QDir(dir.path()).mkdir(save.occupied)
                                                 : TextFile::writeAtomically(dir.filePath(save.occupied), u"older\r\n"_s));
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        const ChildRun run = runWithFileLimit(qint64(save.fileSizeLimit), [&] {
            FoodTable table;
            fsyncs = 0;
            const ItemEditor::SaveResult result = ItemEditor::saveItem(dir.path(), item(save.name, u"new"_s), table, save.mode);
            return QByteArray::number(int(result.failure)) + '/' + QByteArray::number(int(result.refusal)) + (fsyncs > 0 ? " synced" : "");
        });
        const bool refused = save.refusal != ItemEditor::SaveRefusal::None;
        QCOMPARE(run.report, QByteArray::number(int(save.failure)) + '/' + QByteArray::number(int(save.refusal))
                                 + (save.counterAfter != save.counter || (save.failure == SaveFailure::None && !refused) ? " synced" : ""));
        QCOMPARE(bytesOf(dir.filePath(u"dblog"_s)), save.counterAfter);
        if (save.failure == SaveFailure::None && !refused) {
            QCOMPARE(bytesOf(diet), databaseOf(save.items));
            QCOMPARE(bytesOf(dir.filePath(u"diet"_s + QString::fromLatin1(save.counterAfter.trimmed()))), save.database);
        } else { // "diet" byte for byte as it was, and no backup left behind
            QCOMPARE(bytesOf(diet), save.database);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
        }
    }

    // Forkwell's item editor and a companion saving at the same moment, each
    // in a loop: under the folder's lock neither loses the other's items nor
    // a count of "dblog".
    void twoWriters()
    {
        constexpr int Saves = 50;
        QTemporaryDir dir;
        QVERIFY(TextFile::writeBytesAtomically(dir.filePath(u"diet"_s), Abc));
        const auto writer = [&](QChar letter, ItemEditor::SaveMode mode) {
            return [&, letter, mode] {
                FoodTable table;
                QByteArray failures;
                for (int i = 0; i < Saves; ++i) {
                    const auto saved = ItemEditor::saveItem(dir.path(), item(u"%1%2"_s.arg(letter).arg(i), u"new"_s), table, mode);
                    if (!saved.saved())
                        failures += QByteArray::number(int(saved.failure)) + ' ';
                }
                return failures;
            };
        };
        const pid_t other = ::fork();
        if (other == 0)
            ::_exit(runInChild(writer(u'X', ItemEditor::SaveMode::Add)).report.isEmpty() ? 0 : 1);
        const ChildRun mine = runInChild(writer(u'Y', ItemEditor::SaveMode::AddWhileRoom));
        int status = 0;
        while (::waitpid(other, &status, 0) < 0 && errno == EINTR) {
        }
        QCOMPARE(mine.report, QByteArray());
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        FoodTable table;
        const FoodLoad load = loadFoodTable(dir.filePath(u"diet"_s), table);
        QVERIFY(load.complete);
        QCOMPARE(load.names.size(), 3 + 2 * Saves);
        for (const QChar letter : {u'X', u'Y'}) {
            for (int i = 0; i < Saves; ++i)
                QVERIFY2(load.names.contains(u"%1%2"_s.arg(letter).arg(i)), qPrintable(u"%1%2"_s.arg(letter).arg(i)));
        }
        QCOMPARE(TextFile::read(dir.filePath(u"dblog"_s)), u"%1\r\n"_s.arg(2 * Saves));
    }
};

QTEST_GUILESS_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
