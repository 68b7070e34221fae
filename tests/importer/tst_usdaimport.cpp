// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "database/foodtable.h"
#include "database/textfile.h"
#include "importer/usdarelease.h"

using namespace Qt::StringLiterals;

namespace {

QString des(const QString &food) // "id/group/name"
{
    return u'~' + QString(food).replace(u'/', u"~^~"_s) + u"~^~SHORT^NAME~^~~^~~^~~^~~^0^~~^6.25^4.27^8.79^3.87"_s;
}

// The id, then Energ_Kcal, Protein, Lipid_Tot, Carbohydrt, FA_Sat and Cholestrl in their columns of 53; "-" leaves one empty.
QString abbrev(const QString &values)
{
    QStringList fields(53), given = values.split(u' ');
    for (int i = 0; i < 7; ++i)
        fields[QList{0, 3, 4, 5, 7, 44, 47}[i]] = i ? given.value(i).remove(u'-') : u"~%1~"_s.arg(given[0]);
    return fields.join(u'^');
}

void writeRelease(const QString &folder, const QStringList &added = {} /* file, line, ... */, const QString &removed = {})
{
    QHash<QString, QStringList> files{{u"FD_GROUP.txt"_s, {u"~0100~^~Dairy and Egg Products~"_s, u"~0600~^~Soups, Sauces, and Gravies~"_s,
                                 u"~0900~^~Fruits and Fruit Juices~"_s, u"~1800~^~Baked Products~"_s}},
            {u"FOOD_DES.txt"_s, {des(u"01001/0100/Butter, salted"_s), des(u"09003/0900/apples, raw"_s), des(u"18001/1800/Éclair"_s),
                                 des(u"09004/0900/Apple"_s)}},
            {u"ABBREV.txt"_s, {abbrev(u"09004 52 0.26 0.17 13.81 0.028 0"_s), abbrev(u"01001 717 0.85 81.11 0.06 51.368 215"_s),
                               abbrev(u"09003 25 1.5 1.5 - - 5"_s), abbrev(u"18001 262 6.4 15.7 24.2 4.1 127"_s)}},
            {u"WEIGHT.txt"_s, {u"~01001~^1^1^~pat (1\" sq, 1/3\" high)~^5.0^^"_s, u"~01001~^1^1^~tbsp~^14.2^^"_s,
                               u"~09003~^1^.5^~cup, sliced~^10^^"_s, u"~18001~^1^1^~eclair~^100^^"_s,
                               u"~09004~^1^1^~medium (3\" dia)~^182^^"_s}}};
    for (qsizetype i = 0; i + 1 < added.size(); i += 2)
        files[added[i]].append(added[i + 1]);
    files.remove(removed);
    QDir().mkpath(folder);
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        QVERIFY(TextFile::writeAtomically(QDir(folder).filePath(file.key()), TextFile::joinLines(*file)));
}

// The fixture's records in name order, lines joined by "|": halves go up, empty values are 0, " becomes ”, É sorts after Z.
const QStringList FixtureRecords{
    u"Apple|1 medium (3” dia)|0.3|95|25.1|0.5|0|182|0.1"_s, u"\"apples, raw\"|\"0.5 cup, sliced\"|0.2|3|0|0.2|1|10|0"_s,
    u"\"Butter, salted\"|\"1 pat (1” sq, 1/3” high)\"|4.1|36|0|0|11|5|2.6"_s, u"\"Butter, salted\"|1 tbsp|11.5|102|0|0.1|31|14.2|7.3"_s,
    u"Éclair|1 eclair|15.7|262|24.2|6.4|127|100|4.1"_s};

} // namespace

class TestUsdaImport : public QObject
{
    Q_OBJECT

private slots:
    void releaseProblems_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QStringList>("added");    // file, line, file, line ...
        QTest::addColumn<QStringList>("problems"); // errors, warnings, then the records read

        const QString D = u"FOOD_DES.txt"_s, A = u"ABBREV.txt"_s, W = u"WEIGHT.txt"_s;
        QTest::newRow("data left out is reported in file order, the rest imports") << QString()
            << QStringList{D, des(u"02001/0100/Cream, sour"_s), A, abbrev(u"02001 1 1 1 1 1 1"_s), D, des(u"02002/0100/Milk"_s),
                           W, u"~02002~^1^1^~cup~^244^^"_s, D, des(u"01001/0100/Margarine"_s),
                           A, abbrev(u"99999 1 1 1 1 1 1"_s),
                           W, u"~99999~^1^1^~cup~^1^^"_s, W, QString(), W, u"\x1A"_s}
            << QStringList{u"FOOD_DES.txt:5: food 02001 \"Cream, sour\" has no household measure in WEIGHT.txt; left out"_s,
                           u"FOOD_DES.txt:6: food 02002 \"Milk\" has no nutrient values in ABBREV.txt; left out"_s,
                           u"FOOD_DES.txt:7: food 01001 appears again (first on line 1); this line is left out"_s,
                           u"ABBREV.txt:6: nutrient values of food 99999, which is not in FOOD_DES.txt; left out"_s,
                           u"WEIGHT.txt:7: measure of food 99999, which is not in FOOD_DES.txt; left out"_s, u"5 records"_s};
        QTest::newRow("a missing measure file stops the import") << W << QStringList()
            << QStringList{u"WEIGHT.txt: cannot be read: No such file or directory"_s, u"0 records"_s};
        QTest::newRow("every malformed line stops the import") << QString()
            << QStringList{D, u"~02004~^~0100~^~Milk~"_s, D, u"~a~b^1"_s, A, abbrev(u"02005 8x"_s),
                           W, u"~09004~^2^1^~cup^150^^"_s, W, u"~09004~^1^1^~cup~^^^"_s}
            << QStringList{u"FOOD_DES.txt:5: 3 fields where 14 belong"_s, u"FOOD_DES.txt:6: field 1 goes on after its closing ~"_s,
                           u"ABBREV.txt:5: Energ_Kcal is not a number: \"8x\""_s,
                           u"WEIGHT.txt:6: field 4 opens a ~ that is never closed"_s, u"WEIGHT.txt:7: Gm_Wgt is empty"_s, u"0 records"_s};
    }

    void releaseProblems()
    {
        QFETCH(QString, removed); QFETCH(QStringList, added); QFETCH(QStringList, problems);
        QTemporaryDir dir;
        writeRelease(dir.path(), added, removed);
        const Usda::Release release = Usda::readRelease(dir.path());
        QStringList reported;
        for (const Usda::Diagnostic &d : release.errors + release.warnings)
            reported += d.where().mid(dir.path().size() + 1) + u": "_s + d.message;
        QCOMPARE(reported << u"%1 records"_s.arg(release.records.size()), problems);
    }

    void tool_data() // the tool on the fixture, in its folder with "diet" and "dblog" at 5
    {
        QTest::addColumn<QString>("arguments"); // after ". diet", separated by "/"
        QTest::addColumn<QString>("outcome");   // exit code | output | errors, without the progress | files after

        const auto written = [](const QString &dropped, const QList<int> &records) {
            QStringList diet;
            for (int record : records)
                diet += FixtureRecords[record - 1];
            return u"0 | %1Wrote %2 records to diet; the old file is kept as diet6\n |  | dblog=6|; diet=%3|; diet6=old|"_s.arg(dropped)
                .arg(records.size()).arg(diet.join(u'|'));
        };
        QTest::newRow("every measure makes a record; --force keeps the old database as the next backup")
            << u"--force"_s << written({}, {1, 2, 3, 4, 5});
        QTest::newRow("an existing database is kept without --force") << QString()
            << u"1 |  | diet already exists; give --force to replace it (the old file is kept as a numbered backup) | dblog=5|; diet=old|"_s;
        QTest::newRow("the limit drops the smallest groups, of equal ones the lower code") << u"--force/--max-records/2"_s
            << written(u"Dropped 2 food groups to stay within 2 records:\n  1800 Baked Products (1 record)\n"
                       "  0100 Dairy and Egg Products (2 records)\n"_s, {1, 2});
        QTest::newRow("groups by code and by name in any case, blanks around")
            << u"--force/--groups/1800/--groups/ fruits AND fruit juices "_s << written({}, {1, 2, 5});
    }

    void tool()
    {
        QFETCH(QString, arguments); QFETCH(QString, outcome);
        QTemporaryDir dir;
        writeRelease(dir.path(), {u"dblog"_s, u"5"_s, u"diet"_s, u"old"_s});
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.start(QStringLiteral(FORKWELL_IMPORT_TOOL), QStringList{u"."_s, u"diet"_s} + arguments.split(u'/', Qt::SkipEmptyParts));
        QVERIFY(tool.waitForFinished());
        QStringList files; // line ends written "|"
        for (const QString &name : QDir(dir.path()).entryList({u"d*"_s}, QDir::Files, QDir::Name))
            files += name + u'=' + TextFile::read(dir.filePath(name))->replace(u"\r\n"_s, u"|"_s);
        QStringList errors = QString::fromUtf8(tool.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        errors.removeIf([](QStringView l) { return l.startsWith(u"Reading ") || l.startsWith(u"Sorting ") || l.startsWith(u"Writing "); });
        const QString output = QString::fromUtf8(tool.readAllStandardOutput());
        QCOMPARE(u"%1 | %2 | %3 | %4"_s.arg(tool.exitCode()).arg(output, errors.join(u'\n'), files.join(u"; "_s)), outcome);
    }
};

QTEST_GUILESS_MAIN(TestUsdaImport)
#include "tst_usdaimport.moc"
