#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "databasewriter.h"
#include "foodtable.h"
#include "itemeditor.h"
#include "textfile.h"
#include "usdarelease.h"

using namespace Qt::StringLiterals;

namespace {

QString des(const QString &id, const QString &group, const QString &name)
{
    return u"~%1~^~%2~^~%3~^~SHORT~^~~^~~^~~^~~^0^~~^6.25^4.27^8.79^3.87"_s.arg(id, group, name);
}

// Energ_Kcal, Protein, Lipid_Tot, Carbohydrt, FA_Sat and Cholestrl in their columns of 53.
QString abbrev(const QString &id, const QStringList &values)
{
    QStringList fields(53);
    fields[0] = u"~%1~"_s.arg(id);
    const int columns[] = {3, 4, 5, 7, 44, 47};
    for (int i = 0; i < 6; ++i)
        fields[columns[i]] = values[i];
    return fields.join(u'^');
}

QString weight(const QString &id, const QString &amount, const QString &measure, const QString &grams)
{
    return u"~%1~^1^%2^~%3~^%4^^"_s.arg(id, amount, measure, grams);
}

// A small release: butter with two measures, two apple foods (one with
// halves to round and empty values), and an éclair that sorts after Z.
QHash<QString, QStringList> baseRelease()
{
    return {
        {u"FD_GROUP.txt"_s,
         {u"~0100~^~Dairy and Egg Products~"_s, u"~0900~^~Fruits and Fruit Juices~"_s,
          u"~1800~^~Baked Products~"_s}},
        {u"FOOD_DES.txt"_s,
         {des(u"01001"_s, u"0100"_s, u"Butter, salted"_s), des(u"09003"_s, u"0900"_s, u"apples, raw"_s),
          des(u"18001"_s, u"1800"_s, u"Éclair"_s), des(u"09004"_s, u"0900"_s, u"Apple"_s)}},
        {u"ABBREV.txt"_s,
         {abbrev(u"09004"_s, {u"52"_s, u"0.26"_s, u"0.17"_s, u"13.81"_s, u"0.028"_s, u"0"_s}),
          abbrev(u"01001"_s, {u"717"_s, u"0.85"_s, u"81.11"_s, u"0.06"_s, u"51.368"_s, u"215"_s}),
          abbrev(u"09003"_s, {u"25"_s, u"1.5"_s, u"1.5"_s, {}, {}, u"5"_s}),
          abbrev(u"18001"_s, {u"262"_s, u"6.4"_s, u"15.7"_s, u"24.2"_s, u"4.1"_s, u"127"_s})}},
        {u"WEIGHT.txt"_s,
         {weight(u"01001"_s, u"1"_s, u"pat (1\" sq, 1/3\" high)"_s, u"5.0"_s),
          weight(u"01001"_s, u"1"_s, u"tbsp"_s, u"14.2"_s),
          weight(u"09003"_s, u".5"_s, u"cup, sliced"_s, u"10"_s),
          weight(u"18001"_s, u"1"_s, u"eclair"_s, u"100"_s),
          weight(u"09004"_s, u"1"_s, u"medium (3\" dia)"_s, u"182"_s)}},
    };
}

void writeRelease(const QString &folder, const QHash<QString, QStringList> &files)
{
    QDir().mkpath(folder);
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        QVERIFY(TextFile::writeAtomically(QDir(folder).filePath(file.key()), TextFile::joinLines(*file)));
}

QStringList describe(const QList<Usda::Diagnostic> &diagnostics, const QString &folder)
{
    QStringList texts;
    for (const Usda::Diagnostic &d : diagnostics)
        texts.append(d.where().mid(folder.size() + 1) + u": "_s + d.message);
    return texts;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Every file of the folder as name=bytes, by name, joined by ";".
QByteArray folderBytes(const QString &folder)
{
    QByteArrayList files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files.append(name.toLatin1() + '=' + bytesOf(QDir(folder).filePath(name)));
    return files.join(';');
}

} // namespace

class TestUsdaImport : public QObject
{
    Q_OBJECT

private slots:
    void splitLine_data();
    void splitLine();
    void recordsScaledRoundedAndSorted();
    void releaseProblems_data();
    void releaseProblems();
    void chooseGroups_data();
    void chooseGroups();
    void rowLimit_data();
    void rowLimit();
    void writer_data();
    void writer();
    void failedWritePutsTheOldFileBack();
    void tool_data();
    void tool();
    void fullReleaseLoadsAndMatchesHandComputation();
    void benchmarkFullRelease();
};

void TestUsdaImport::splitLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("error");

    QTest::newRow("text and number fields, empty last")
        << u"~01001~^~Butter, salted~^15.87^"_s << QStringList{u"01001"_s, u"Butter, salted"_s, u"15.87"_s, {}}
        << QString();
    QTest::newRow("a caret inside text belongs to it") << u"~a^b~^1"_s << QStringList{u"a^b"_s, u"1"_s} << QString();
    QTest::newRow("empty text and empty number") << u"~~^^~x~"_s << QStringList{{}, {}, u"x"_s} << QString();
    QTest::newRow("unclosed text") << u"~abc^1"_s << QStringList()
                                   << u"field 1 opens a ~ that is never closed"_s;
    QTest::newRow("characters after the closing ~") << u"~a~b^1"_s << QStringList()
                                                    << u"field 1 goes on after its closing ~"_s;
    QTest::newRow("a ~ inside a number") << u"1^2~3~"_s << QStringList()
                                         << u"field 2 holds a ~ without beginning with one"_s;
}

void TestUsdaImport::splitLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QFETCH(QString, error);
    QString reason;
    const std::optional<QList<QStringView>> split = Usda::splitLine(line, &reason);
    QCOMPARE(split.has_value(), error.isEmpty());
    QCOMPARE(reason, error);
    if (split) {
        QStringList texts;
        for (QStringView field : *split)
            texts.append(field.toString());
        QCOMPARE(texts, fields);
    }
}

void TestUsdaImport::recordsScaledRoundedAndSorted()
{
    QTemporaryDir dir;
    writeRelease(dir.path(), baseRelease());
    const Usda::Release release = Usda::readRelease(dir.path());
    QCOMPARE(describe(release.errors, dir.path()), QStringList());
    QCOMPARE(describe(release.warnings, dir.path()), QStringList());

    // Halves go up (2.5 kcal gives 3, 0.15 g gives 0.2), empty values are 0,
    // the inch mark becomes ” and É sorts after Z by its code.
    const QStringList expected = {
        u"Apple"_s, u"1 medium (3” dia)"_s, u"0.3"_s, u"95"_s, u"25.1"_s, u"0.5"_s, u"0"_s, u"182"_s, u"0.1"_s,
        u"\"apples, raw\""_s, u"\"0.5 cup, sliced\""_s, u"0.2"_s, u"3"_s, u"0"_s, u"0.2"_s, u"1"_s, u"10"_s, u"0"_s,
        u"\"Butter, salted\""_s, u"\"1 pat (1” sq, 1/3” high)\""_s, u"4.1"_s, u"36"_s, u"0"_s, u"0"_s, u"11"_s,
        u"5"_s, u"2.6"_s,
        u"\"Butter, salted\""_s, u"1 tbsp"_s, u"11.5"_s, u"102"_s, u"0"_s, u"0.1"_s, u"31"_s, u"14.2"_s, u"7.3"_s,
        u"Éclair"_s, u"1 eclair"_s, u"15.7"_s, u"262"_s, u"24.2"_s, u"6.4"_s, u"127"_s, u"100"_s, u"4.1"_s,
    };
    const Usda::Selection all = Usda::selectRecords(release, std::nullopt, FoodTable::RowCount);
    const QString path = dir.filePath(u"diet"_s);
    QCOMPARE(DatabaseWriter::write(path, Usda::databaseText(all.records), false).status,
             DatabaseWriter::Result::Written);
    QCOMPARE(bytesOf(path), TextFile::encode(TextFile::joinLines(expected)));
    QCOMPARE(release.groups, (QList<Usda::FoodGroup>{{u"0100"_s, u"Dairy and Egg Products"_s, 2},
                                                     {u"0900"_s, u"Fruits and Fruit Juices"_s, 2},
                                                     {u"1800"_s, u"Baked Products"_s, 1}}));
}

void TestUsdaImport::releaseProblems_data()
{
    QTest::addColumn<QStringList>("added"); // file name, line, file name, line ...
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<int>("records");

    const QString D = u"FOOD_DES.txt"_s, A = u"ABBREV.txt"_s, W = u"WEIGHT.txt"_s;
    const QStringList ones = {u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s};
    QTest::newRow("data left out is reported in file order, the rest imports")
        << QStringList{D, des(u"02001"_s, u"0100"_s, u"Cream, sour"_s), A, abbrev(u"02001"_s, ones),
                       D, des(u"02002"_s, u"0100"_s, u"Milk"_s), W, weight(u"02002"_s, u"1"_s, u"cup"_s, u"244"_s),
                       D, des(u"01001"_s, u"0100"_s, u"Margarine"_s), D, des(u"02003"_s, u"9999"_s, u"Tea"_s),
                       A, abbrev(u"02003"_s, ones), W, weight(u"02003"_s, u"1"_s, u"cup"_s, u"1"_s),
                       A, abbrev(u"99999"_s, ones), W, weight(u"99999"_s, u"1"_s, u"cup"_s, u"1"_s),
                       W, weight(u"09004"_s, u"1"_s, u"cup\rx"_s, u"1"_s), W, QString(), W, u"\x1A"_s}
        << QString() << QStringList()
        << QStringList{u"FOOD_DES.txt:5: food 02001 \"Cream, sour\" has no household measure in WEIGHT.txt; left out"_s,
                       u"FOOD_DES.txt:6: food 02002 \"Milk\" has no nutrient values in ABBREV.txt; left out"_s,
                       u"FOOD_DES.txt:7: food 01001 appears again (first on line 1); this line is left out"_s,
                       u"FOOD_DES.txt:8: food group 9999 is not in FD_GROUP.txt"_s,
                       u"ABBREV.txt:7: nutrient values of food 99999, which is not in FOOD_DES.txt; left out"_s,
                       u"WEIGHT.txt:8: measure of food 99999, which is not in FOOD_DES.txt; left out"_s,
                       u"WEIGHT.txt:9: the measure \"1 cup\rx\" cannot be written to the food database; left out"_s}
        << 6;
    QTest::newRow("without a group file the groups have codes only")
        << QStringList() << u"FD_GROUP.txt"_s << QStringList() << QStringList() << 5;
    QTest::newRow("a missing measure file stops the import")
        << QStringList() << u"WEIGHT.txt"_s
        << QStringList{u"WEIGHT.txt: cannot be read: No such file or directory"_s} << QStringList() << 0;
    QTest::newRow("every malformed line stops the import")
        << QStringList{D, u"~02004~^~0100~^~Milk~"_s, A, abbrev(u"02005"_s, {u"8x"_s, {}, {}, {}, {}, {}}),
                       W, u"~09004~^2^1^~cup^150^^"_s, W, weight(u"09004"_s, u"1"_s, u"cup"_s, QString())}
        << QString()
        << QStringList{u"FOOD_DES.txt:5: 3 fields where 14 belong"_s, u"ABBREV.txt:5: Energ_Kcal is not a number: \"8x\""_s,
                       u"WEIGHT.txt:6: field 4 opens a ~ that is never closed"_s, u"WEIGHT.txt:7: Gm_Wgt is empty"_s}
        << QStringList() << 0;
}

void TestUsdaImport::releaseProblems()
{
    QFETCH(QStringList, added);
    QFETCH(QString, removed);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, warnings);
    QFETCH(int, records);

    QHash<QString, QStringList> files = baseRelease();
    for (qsizetype i = 0; i + 1 < added.size(); i += 2)
        files[added[i]].append(added[i + 1]);
    files.remove(removed);
    QTemporaryDir dir;
    writeRelease(dir.path(), files);
    const Usda::Release release = Usda::readRelease(dir.path());
    QCOMPARE(describe(release.errors, dir.path()), errors);
    QCOMPARE(describe(release.warnings, dir.path()), warnings);
    QCOMPARE(int(release.records.size()), records);
}

void TestUsdaImport::chooseGroups_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("error");

    QTest::newRow("codes, the option given twice")
        << QStringList{u"0100,0600"_s, u"1100"_s} << QStringList{u"0100"_s, u"0600"_s, u"1100"_s} << QString();
    QTest::newRow("a name in any case, blanks around")
        << QStringList{u" dairy AND egg products , 9999"_s} << QStringList{u"0100"_s, u"9999"_s} << QString();
    QTest::newRow("a name holding commas is one name")
        << QStringList{u"Soups, Sauces, and Gravies,0100"_s} << QStringList{u"0100"_s, u"0600"_s} << QString();
    QTest::newRow("an unknown entry") << QStringList{u"0100,Candy"_s} << QStringList()
                                      << u"no food group has the code or name \"Candy\""_s;
    QTest::newRow("part of a name is no name") << QStringList{u"Soups"_s} << QStringList()
                                               << u"no food group has the code or name \"Soups\""_s;
}

void TestUsdaImport::chooseGroups()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, codes);
    QFETCH(QString, error);
    const QList<Usda::FoodGroup> groups = {{u"0100"_s, u"Dairy and Egg Products"_s, 1},
                                           {u"0600"_s, u"Soups, Sauces, and Gravies"_s, 1},
                                           {u"1100"_s, u"Vegetables and Vegetable Products"_s, 1},
                                           {u"9999"_s, QString(), 1}};
    QString reason;
    const std::optional<QSet<QString>> chosen = Usda::chooseGroups(values, groups, &reason);
    QCOMPARE(reason, error);
    QStringList sorted = chosen ? chosen->values() : QStringList();
    sorted.sort();
    QCOMPARE(sorted, codes);
}

void TestUsdaImport::rowLimit_data()
{
    QTest::addColumn<QStringList>("chosen"); // empty: every group
    QTest::addColumn<int>("maxRecords");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QString>("kept");

    QTest::newRow("within the limit nothing goes") << QStringList() << 10 << QStringList() << u"a1 a2 b1 a3 c1 d1 d2 d3 d4 d5"_s;
    QTest::newRow("the smallest groups go first, ties by code")
        << QStringList() << 8 << QStringList{u"0200"_s, u"0300"_s} << u"a1 a2 a3 d1 d2 d3 d4 d5"_s;
    QTest::newRow("a larger group goes when the small ones do not suffice")
        << QStringList() << 5 << QStringList{u"0200"_s, u"0300"_s, u"0100"_s} << u"d1 d2 d3 d4 d5"_s;
    QTest::newRow("chosen groups only, then the limit")
        << QStringList{u"0100"_s, u"0400"_s} << 6 << QStringList{u"0100"_s} << u"d1 d2 d3 d4 d5"_s;
    QTest::newRow("a limit below every group leaves nothing")
        << QStringList{u"0400"_s} << 4 << QStringList{u"0400"_s} << QString();
}

void TestUsdaImport::rowLimit()
{
    QFETCH(QStringList, chosen);
    QFETCH(int, maxRecords);
    QFETCH(QStringList, dropped);
    QFETCH(QString, kept);

    Usda::Release release;
    release.groups = {{u"0100"_s, {}, 3}, {u"0200"_s, {}, 1}, {u"0300"_s, {}, 1}, {u"0400"_s, {}, 5}};
    for (const QString &name : u"a1 a2 b1 a3 c1 d1 d2 d3 d4 d5"_s.split(u' ')) {
        const QString group = u"0%1"_s.arg(name[0].unicode() - u'a' + 1) + u"00"_s;
        release.records.push_back({{name}, group});
    }
    const Usda::Selection selection = Usda::selectRecords(
        release, chosen.isEmpty() ? std::nullopt : std::optional(QSet<QString>(chosen.begin(), chosen.end())),
        maxRecords);
    QStringList droppedCodes;
    for (const Usda::FoodGroup &group : selection.dropped)
        droppedCodes.append(group.code);
    QCOMPARE(droppedCodes, dropped);
    QStringList keptNames;
    for (const FoodRecord &record : selection.records)
        keptNames.append(record[Food::Name]);
    QCOMPARE(keptNames.join(u' '), kept);
}

void TestUsdaImport::writer_data()
{
    QTest::addColumn<QByteArray>("before"); // the folder's files as name=bytes;...
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outcome");   // the error, or the backup's name
    QTest::addColumn<QByteArray>("after");

    using R = DatabaseWriter::Result;
    QTest::newRow("a new file is written and nothing else touched")
        << QByteArray() << false << int(R::Written) << QString() << QByteArray("diet=new\r\n");
    QTest::newRow("an existing file stays without being told to replace it")
        << QByteArray("dblog=5\r\n;diet=old\r\n") << false << int(R::Exists) << QString()
        << QByteArray("dblog=5\r\n;diet=old\r\n");
    QTest::newRow("replacing keeps the old file as the next backup")
        << QByteArray("dblog=5\r\n;diet=old\r\n") << true << int(R::Written) << u"diet6"_s
        << QByteArray("dblog=6\r\n;diet=new\r\n;diet6=old\r\n");
    QTest::newRow("a missing counter counts as 0")
        << QByteArray("diet=old\r\n") << true << int(R::Written) << u"diet1"_s
        << QByteArray("dblog=1\r\n;diet=new\r\n;diet1=old\r\n");
    QTest::newRow("the counter counts by the number rules")
        << QByteArray("dblog=2.5 apples\r\n;diet=old\r\n") << true << int(R::Written) << u"diet3.5"_s
        << QByteArray("dblog=3.5\r\n;diet=new\r\n;diet3.5=old\r\n");
    QTest::newRow("a backup name already taken stops the write, the counter stays counted")
        << QByteArray("dblog=6\r\n;diet=old\r\n;diet7=older") << true << int(R::Failed)
        << u"cannot rename diet to diet7: File exists"_s << QByteArray("dblog=7\r\n;diet=old\r\n;diet7=older");
    QTest::newRow("an empty counter stops the write")
        << QByteArray("dblog=;diet=old\r\n") << true << int(R::Failed) << u"dblog holds no number"_s
        << QByteArray("dblog=;diet=old\r\n");
}

void TestUsdaImport::writer()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, replace);
    QFETCH(int, status);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString prefix = dir.path() + u'/';
    for (const QByteArray &file : before.split(';')) {
        const qsizetype equals = file.indexOf('=');
        if (equals > 0)
            QVERIFY(TextFile::writeAtomically(prefix + QString::fromLatin1(file.first(equals)),
                                              TextFile::decode(file.sliced(equals + 1))));
    }
    const DatabaseWriter::Result result = DatabaseWriter::write(prefix + u"diet"_s, u"new\r\n"_s, replace);
    QCOMPARE(int(result.status), status);
    QCOMPARE(QString(result.error).remove(prefix), status == DatabaseWriter::Result::Failed ? outcome : QString());
    QCOMPARE(QString(result.backupPath).remove(prefix), status == DatabaseWriter::Result::Written ? outcome : QString());
    QCOMPARE(folderBytes(dir.path()), after);
}

void TestUsdaImport::failedWritePutsTheOldFileBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, u"old\r\n"_s));
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        const DatabaseWriter::Result result = DatabaseWriter::write(path, QString(1000, u'x'), true);
        _exit(result.status == DatabaseWriter::Result::Failed && result.restored ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(folderBytes(dir.path()), QByteArray("dblog=1\r\n;diet=old\r\n"));
}

void TestUsdaImport::tool_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("dietExists");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("lastError");

    const QStringList both = {u"release"_s, u"diet"_s};
    QTest::newRow("the limit drops the smallest group and says so")
        << both + QStringList{u"--max-records"_s, u"4"_s} << false << 0
        << u"Dropped 1 food group to stay within 4 records:\n  1800 Baked Products (1 record)\nWrote 4 records to diet\n"_s
        << u"Writing diet"_s;
    QTest::newRow("an existing database is kept without --force")
        << both << true << 1 << QString()
        << u"diet already exists; give --force to replace it (the old file is kept as a numbered backup)"_s;
    QTest::newRow("a limit beyond the table is a usage error")
        << both + QStringList{u"--max-records"_s, u"15002"_s} << false << 2 << QString()
        << u"Try 'forkwell-import-usda --help' for more."_s;
}

void TestUsdaImport::tool()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, dietExists);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, lastError);

    QTemporaryDir dir;
    writeRelease(dir.filePath(u"release"_s), baseRelease());
    if (dietExists)
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), u"old\r\n"_s));
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(FORKWELL_IMPORT_TOOL), arguments);
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()), output);
    QCOMPARE(QString::fromUtf8(tool.readAllStandardError()).trimmed().split(u'\n').last(), lastError);
    if (dietExists && exitCode != 0)
        QCOMPARE(bytesOf(dir.filePath(u"diet"_s)), QByteArray("old\r\n"));
}

void TestUsdaImport::fullReleaseLoadsAndMatchesHandComputation()
{
    if (!QFileInfo::exists(QStringLiteral(FORKWELL_USDA_DIR "/ABBREV.txt")))
        QSKIP("USDA SR26 release not found beside the project (FORKWELL_USDA_DIR)");
    const Usda::Release release = Usda::readRelease(QStringLiteral(FORKWELL_USDA_DIR));
    QCOMPARE(release.errors.size(), 0);
    QCOMPARE(release.warnings.size(), 241); // foods the USDA gives no household measure
    QCOMPARE(release.records.size(), std::size_t(15137));
    const Usda::Selection selection = Usda::selectRecords(release, std::nullopt, FoodTable::RowCount);
    QCOMPARE(selection.dropped, (QList<Usda::FoodGroup>{{u"3500"_s, u"American Indian/Alaska Native Foods"_s, 38},
                                                        {u"3600"_s, u"Restaurant Foods"_s, 121}}));

    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, Usda::databaseText(selection.records)));
    FoodTable table;
    const FoodLoad load = loadFoodTable(path, table);
    QVERIFY(load.complete);
    QCOMPARE(load.names.size(), 14978);
    for (int row = 1; row < 14978; ++row)
        QVERIFY(!ItemEditor::sortsBefore(table.row(row)[Food::Name], table.row(row - 1)[Food::Name]));

    // From the source lines: value per 100 g × grams / 100, halves up.
    const QList<FoodRecord> expected = {
        {u"Butter, salted"_s, u"1 pat (1” sq, 1/3” high)"_s, u"4.1"_s, u"36"_s, u"0"_s, u"0"_s, u"11"_s, u"5"_s, u"2.6"_s},
        {u"Acerola, (west indian cherry), raw"_s, u"1 cup"_s, u"0.3"_s, u"31"_s, u"7.5"_s, u"0.4"_s, u"0"_s, u"98"_s, u"0.1"_s},
        {u"Cheese, ricotta, whole milk"_s, u"0.5 cup"_s, u"16.1"_s, u"216"_s, u"3.8"_s, u"14"_s, u"63"_s, u"124"_s, u"10.3"_s},
        {u"Alcoholic Beverage, wine, table, red, Cabernet Sauvignon"_s, u"1 serving 5 fl oz"_s, u"0"_s, u"122"_s,
         u"3.8"_s, u"0.1"_s, u"0"_s, u"147"_s, u"0"_s},
        {u"Beef, composite of trimmed retail cuts, separable lean only, trimmed to 0” fat, all grades, cooked"_s,
         u"3 oz"_s, u"7.9"_s, u"179"_s, u"0"_s, u"25.4"_s, u"73"_s, u"85"_s, u"3"_s},
    };
    for (const FoodRecord &food : expected) {
        int found = -1;
        for (int row = 0; row < 14978 && found < 0; ++row) {
            if (table.row(row)[Food::Name] == food[Food::Name] && table.row(row)[Food::Measure] == food[Food::Measure])
                found = row;
        }
        QVERIFY2(found >= 0, qPrintable(food[Food::Name]));
        QCOMPARE(table.row(found), food);
    }
}

void TestUsdaImport::benchmarkFullRelease()
{
    if (!QFileInfo::exists(QStringLiteral(FORKWELL_USDA_DIR "/ABBREV.txt")))
        QSKIP("USDA SR26 release not found beside the project (FORKWELL_USDA_DIR)");
    QTemporaryDir dir;
    QBENCHMARK {
        const Usda::Release release = Usda::readRelease(QStringLiteral(FORKWELL_USDA_DIR));
        const Usda::Selection selection = Usda::selectRecords(release, std::nullopt, FoodTable::RowCount);
        QVERIFY(DatabaseWriter::write(dir.filePath(u"diet"_s), Usda::databaseText(selection.records), true).status
                == DatabaseWriter::Result::Written);
    }
}

QTEST_GUILESS_MAIN(TestUsdaImport)
#include "tst_usdaimport.moc"
