#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "foodtable.h"
#include "textfile.h"
#include "usdarelease.h"

using namespace Qt::StringLiterals;

namespace {

QString des(const QString &id, const QString &group, const QString &name)
{
    return u"~%1~^~%2~^~%3~^~SHORT~^~~^~~^~~^~~^0^~~^6.25^4.27^8.79^3.87"_s.arg(id, group, name);
}

// Energ_Kcal, Protein, Lipid_Tot, Carbohydrt, FA_Sat and Cholestrl, in their columns of 53.
QString abbrev(const QString &id, const QString &values)
{
    QStringList fields(53), given = values.split(u' ');
    fields[0] = u"~%1~"_s.arg(id);
    for (int i = 0; i < 6; ++i)
        fields[QList{3, 4, 5, 7, 44, 47}[i]] = given.value(i).remove(u'-');
    return fields.join(u'^');
}

QString weight(const QString &id, const QString &amount, const QString &measure, const QString &grams)
{
    return u"~%1~^1^%2^~%3~^%4^^"_s.arg(id, amount, measure, grams);
}

// Butter with two measures, two apple foods (one with halves to round, empty values), an éclair.
QHash<QString, QStringList> fixtureRelease()
{
    return {{u"FD_GROUP.txt"_s, {u"~0100~^~Dairy and Egg Products~"_s, u"~0600~^~Soups, Sauces, and Gravies~"_s,
                                 u"~0900~^~Fruits and Fruit Juices~"_s, u"~1800~^~Baked Products~"_s}},
            {u"FOOD_DES.txt"_s, {des(u"01001"_s, u"0100"_s, u"Butter, salted"_s), des(u"09003"_s, u"0900"_s, u"apples, raw"_s),
                                 des(u"18001"_s, u"1800"_s, u"Éclair"_s), des(u"09004"_s, u"0900"_s, u"Apple"_s)}},
            {u"ABBREV.txt"_s, {abbrev(u"09004"_s, u"52 0.26 0.17 13.81 0.028 0"_s), abbrev(u"01001"_s, u"717 0.85 81.11 0.06 51.368 215"_s),
                               abbrev(u"09003"_s, u"25 1.5 1.5 - - 5"_s), abbrev(u"18001"_s, u"262 6.4 15.7 24.2 4.1 127"_s)}},
            {u"WEIGHT.txt"_s, {weight(u"01001"_s, u"1"_s, u"pat (1\" sq, 1/3\" high)"_s, u"5.0"_s),
                               weight(u"01001"_s, u"1"_s, u"tbsp"_s, u"14.2"_s), weight(u"09003"_s, u".5"_s, u"cup, sliced"_s, u"10"_s),
                               weight(u"18001"_s, u"1"_s, u"eclair"_s, u"100"_s), weight(u"09004"_s, u"1"_s, u"medium (3\" dia)"_s, u"182"_s)}}};
}

// The fixture's records in name order, lines joined by "|". Halves go up (2.5 kcal gives 3, 0.15 g
// 0.2), empty values are 0, the inch mark becomes ” and É sorts after Z by its code.
const QStringList FixtureRecords{
    u"Apple|1 medium (3” dia)|0.3|95|25.1|0.5|0|182|0.1"_s, u"\"apples, raw\"|\"0.5 cup, sliced\"|0.2|3|0|0.2|1|10|0"_s,
    u"\"Butter, salted\"|\"1 pat (1” sq, 1/3” high)\"|4.1|36|0|0|11|5|2.6"_s, u"\"Butter, salted\"|1 tbsp|11.5|102|0|0.1|31|14.2|7.3"_s,
    u"Éclair|1 eclair|15.7|262|24.2|6.4|127|100|4.1"_s};

void writeRelease(const QString &folder, const QHash<QString, QStringList> &files)
{
    QDir().mkpath(folder);
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        QVERIFY(TextFile::writeAtomically(QDir(folder).filePath(file.key()), TextFile::joinLines(*file)));
}

} // namespace

class TestUsdaImport : public QObject
{
    Q_OBJECT

private slots:
    void splitLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields"); // joined by "|", or the error
        QTest::newRow("text and number fields, the last empty") << u"~01001~^~Butter, salted~^15.87^"_s << u"01001|Butter, salted|15.87|"_s;
        QTest::newRow("a caret inside text belongs to it") << u"~a^b~^1"_s << u"a^b|1"_s;
        QTest::newRow("empty text and empty number") << u"~~^^~x~"_s << u"||x"_s;
        QTest::newRow("unclosed text") << u"~abc^1"_s << u"field 1 opens a ~ that is never closed"_s;
        QTest::newRow("characters after the closing ~") << u"~a~b^1"_s << u"field 1 goes on after its closing ~"_s;
        QTest::newRow("a ~ inside a number") << u"1^2~3~"_s << u"field 2 holds a ~ without beginning with one"_s;
    }

    void splitLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        QString error;
        QStringList texts;
        for (QStringView field : Usda::splitLine(line, &error).value_or(QList<QStringView>()))
            texts += field.toString();
        QCOMPARE(error.isEmpty() ? texts.join(u'|') : error, fields);
    }

    void releaseProblems_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QStringList>("added");    // file, line, file, line ...
        QTest::addColumn<QStringList>("problems"); // errors, warnings, then the records read

        const QString D = u"FOOD_DES.txt"_s, A = u"ABBREV.txt"_s, W = u"WEIGHT.txt"_s, ones = u"1 1 1 1 1 1"_s;
        QTest::newRow("data left out is reported in file order, the rest imports") << QString()
            << QStringList{D, des(u"02001"_s, u"0100"_s, u"Cream, sour"_s), A, abbrev(u"02001"_s, ones),
                           D, des(u"02002"_s, u"0100"_s, u"Milk"_s), W, weight(u"02002"_s, u"1"_s, u"cup"_s, u"244"_s),
                           D, des(u"01001"_s, u"0100"_s, u"Margarine"_s), D, des(u"02003"_s, u"9999"_s, u"Tea"_s),
                           A, abbrev(u"02003"_s, ones), W, weight(u"02003"_s, u"1"_s, u"cup"_s, u"1"_s),
                           A, abbrev(u"99999"_s, ones), W, weight(u"99999"_s, u"1"_s, u"cup"_s, u"1"_s),
                           W, weight(u"09004"_s, u"1"_s, u"cup\rx"_s, u"1"_s), W, QString(), W, u"\x1A"_s}
            << QStringList{u"FOOD_DES.txt:5: food 02001 \"Cream, sour\" has no household measure in WEIGHT.txt; left out"_s,
                           u"FOOD_DES.txt:6: food 02002 \"Milk\" has no nutrient values in ABBREV.txt; left out"_s,
                           u"FOOD_DES.txt:7: food 01001 appears again (first on line 1); this line is left out"_s,
                           u"FOOD_DES.txt:8: food group 9999 is not in FD_GROUP.txt"_s,
                           u"ABBREV.txt:7: nutrient values of food 99999, which is not in FOOD_DES.txt; left out"_s,
                           u"WEIGHT.txt:8: measure of food 99999, which is not in FOOD_DES.txt; left out"_s,
                           u"WEIGHT.txt:9: the measure \"1 cup\rx\" cannot be written to the food database; left out"_s, u"6 records"_s};
        QTest::newRow("a missing measure file stops the import") << W << QStringList()
            << QStringList{u"WEIGHT.txt: cannot be read: No such file or directory"_s, u"0 records"_s};
        QTest::newRow("every malformed line stops the import") << QString()
            << QStringList{D, u"~02004~^~0100~^~Milk~"_s, A, abbrev(u"02005"_s, u"8x"_s),
                           W, u"~09004~^2^1^~cup^150^^"_s, W, weight(u"09004"_s, u"1"_s, u"cup"_s, QString())}
            << QStringList{u"FOOD_DES.txt:5: 3 fields where 14 belong"_s, u"ABBREV.txt:5: Energ_Kcal is not a number: \"8x\""_s,
                           u"WEIGHT.txt:6: field 4 opens a ~ that is never closed"_s, u"WEIGHT.txt:7: Gm_Wgt is empty"_s,
                           u"0 records"_s};
    }

    void releaseProblems()
    {
        QFETCH(QString, removed);
        QFETCH(QStringList, added);
        QFETCH(QStringList, problems);

        QHash<QString, QStringList> files = fixtureRelease();
        for (qsizetype i = 0; i + 1 < added.size(); i += 2)
            files[added[i]].append(added[i + 1]);
        files.remove(removed);
        QTemporaryDir dir;
        writeRelease(dir.path(), files);
        const Usda::Release release = Usda::readRelease(dir.path());
        QStringList reported;
        for (const Usda::Diagnostic &d : release.errors + release.warnings)
            reported += d.where().mid(dir.path().size() + 1) + u": "_s + d.message;
        QCOMPARE(reported << u"%1 records"_s.arg(release.records.size()), problems);
    }

    // The tool on the fixture, in a folder with "diet" and "dblog" at 5.
    void tool_data()
    {
        QTest::addColumn<QString>("arguments"); // after "release diet", separated by "/"
        QTest::addColumn<QString>("outcome");   // exit code | output | errors, without the progress | files after

        const auto written = [](const QString &dropped, int count, const QString &records) {
            return u"0 | %1Wrote %2 records to diet; the old file is kept as diet6\n |  | dblog=6; diet=records %3; diet6=old"_s
                .arg(dropped).arg(count).arg(records);
        };
        QTest::newRow("every measure makes a record; --force keeps the old database as the next backup")
            << u"--force"_s << written({}, 5, u"1 2 3 4 5"_s);
        QTest::newRow("an existing database is kept without --force") << QString()
            << u"1 |  | diet already exists; give --force to replace it (the old file is kept as a numbered backup) | dblog=5; diet=old"_s;
        QTest::newRow("the limit drops the smallest group") << u"--force/--max-records/4"_s
            << written(u"Dropped 1 food group to stay within 4 records:\n  1800 Baked Products (1 record)\n"_s, 4, u"1 2 3 4"_s);
        QTest::newRow("then the smaller of two equal groups by code") << u"--force/--max-records/2"_s
            << written(u"Dropped 2 food groups to stay within 2 records:\n  1800 Baked Products (1 record)\n"
                       "  0100 Dairy and Egg Products (2 records)\n"_s, 2, u"1 2"_s);
        QTest::newRow("groups by code and by name in any case, blanks around")
            << u"--force/--groups/1800/--groups/ fruits AND fruit juices "_s << written({}, 3, u"1 2 5"_s);
        QTest::newRow("a group name holding commas is one name")
            << u"--force/--groups/Soups, Sauces, and Gravies,0100"_s << written({}, 2, u"3 4"_s);
        QTest::newRow("part of a group's name names no group") << u"--force/--groups/Soups"_s
            << u"2 |  | forkwell-import-usda: no food group has the code or name \"Soups\" (--list-groups shows them)\n"
               "Try 'forkwell-import-usda --help' for more. | dblog=5; diet=old"_s;
    }

    void tool()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, outcome);

        QTemporaryDir dir;
        writeRelease(dir.filePath(u"release"_s), fixtureRelease());
        writeRelease(dir.path(), {{u"dblog"_s, {u"5"_s}}, {u"diet"_s, {u"old"_s}}});
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.start(QStringLiteral(FORKWELL_IMPORT_TOOL), QStringList{u"release"_s, u"diet"_s} + arguments.split(u'/', Qt::SkipEmptyParts));
        QVERIFY(tool.waitForFinished());
        QStringList files; // a database by the numbers of the fixture records it holds, each whole
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files, QDir::Name)) {
            const QString text = *TextFile::read(dir.filePath(name));
            QStringList lines = text.split(u"\r\n"_s), records;
            for (qsizetype i = 0; text.size() > 9 && text.endsWith(u"\r\n"_s) && i + 1 < lines.size(); i += 9)
                records += QString::number(FixtureRecords.indexOf(lines.mid(i, 9).join(u'|')) + 1);
            files += name + u'=' + (records.isEmpty() ? text.trimmed() : u"records "_s + records.join(u' '));
        }
        QStringList errors = QString::fromUtf8(tool.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList progress{u"Reading"_s, u"Sorting"_s, u"Writing"_s};
        errors.removeIf([&](const QString &line) { return progress.contains(line.section(u' ', 0, 0)); });
        const QString output = QString::fromUtf8(tool.readAllStandardOutput());
        QCOMPARE(u"%1 | %2 | %3 | %4"_s.arg(tool.exitCode()).arg(output, errors.join(u'\n'), files.join(u"; "_s)), outcome);
    }

    // The full release, where it stands beside the project, loads whole, its values as a hand
    // computation from the source lines gives them: value per 100 g times grams over 100, halves up.
    void fullRelease()
    {
        if (!QFileInfo::exists(QStringLiteral(FORKWELL_USDA_DIR "/ABBREV.txt")))
            QSKIP("USDA SR26 release not found beside the project (FORKWELL_USDA_DIR)");
        const Usda::Release release = Usda::readRelease(QStringLiteral(FORKWELL_USDA_DIR));
        QCOMPARE(release.warnings.size(), 241); // foods the USDA gives no household measure
        QCOMPARE(release.records.size(), std::size_t(15137));
        const Usda::Selection selection = Usda::selectRecords(release, std::nullopt, FoodTable::RowCount);
        QTemporaryDir dir;
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), Usda::databaseText(selection.records)));
        FoodTable table;
        const FoodLoad load = loadFoodTable(dir.filePath(u"diet"_s), table);
        QVERIFY(load.complete);
        QCOMPARE(load.names.size(), 14978); // 15137 less the two smallest groups, 38 and 121 records
        QStringList records;
        for (int row = 0; row < 14978; ++row)
            records += QStringList(table.row(row).begin(), table.row(row).end()).join(u'|');
        for (const QString &food : {u"Butter, salted|1 pat (1” sq, 1/3” high)|4.1|36|0|0|11|5|2.6"_s,
                                    u"Acerola, (west indian cherry), raw|1 cup|0.3|31|7.5|0.4|0|98|0.1"_s,
                                    u"Alcoholic Beverage, wine, table, red, Cabernet Sauvignon|1 serving 5 fl oz|0|122|3.8|0.1|0|147|0"_s})
            QVERIFY2(records.contains(food), qPrintable(food));
    }
};

QTEST_GUILESS_MAIN(TestUsdaImport)
#include "tst_usdaimport.moc"
