#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "fieldreader.h"
#include "foodtable.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

namespace {

QString record(int i)
{
    return u"Item %1\r\ncup\r\n1.5\r\n120\r\n20\r\n3\r\n0\r\n240\r\n0.2\r\n"_s.arg(i);
}

QString manyRecords(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += record(i);
    return text;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestFoodTable : public QObject
{
    Q_OBJECT

private slots:
    void fieldReader_data();
    void fieldReader();
    void recordFormsLoadTheSameCells_data();
    void recordFormsLoadTheSameCells();
    void loadStopsEarly_data();
    void loadStopsEarly();
    void fullTableHoldsExactly15001Records();
    void missingFileChangesNothing();
    void emptyFileEmptiesTheListOnly();
    void loadKeepsRowsAboveTheRecordsRead();
    void bytesAbove0x7FLoadAsWindows1252();
    void writerRoundTrip_data();
    void writerRoundTrip();
    void writerRefusesWhatQuotesCannotCarry_data();
    void writerRefusesWhatQuotesCannotCarry();
    void loadsUsdaDerivedDatabase();
};

void TestFoodTable::fieldReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("failsAfter"); // one more read fails on a bad quote, not on plain end

    QTest::newRow("CR LF lines") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s} << false;
    QTest::newRow("bare LF lines") << u"a\nb\n"_s << QStringList{u"a"_s, u"b"_s} << false;
    QTest::newRow("last line without line end") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s} << false;
    QTest::newRow("commas") << u"a,b ,  c\r\n"_s << QStringList{u"a"_s, u"b"_s, u"c"_s} << false;
    QTest::newRow("empty line is an empty field") << u"a\r\n\r\nb\r\n"_s
                                                  << QStringList{u"a"_s, QString(), u"b"_s} << false;
    QTest::newRow("nothing between commas") << u",,\r\n"_s
                                            << QStringList{QString(), QString(), QString()} << false;
    QTest::newRow("blanks and tabs around a field dropped") << u" \t x y \t\r\n"_s
                                                            << QStringList{u"x y"_s} << false;
    QTest::newRow("quoted field keeps commas and blanks") << u"\" a, b \",c\r\n"_s
                                                          << QStringList{u" a, b "_s, u"c"_s} << false;
    QTest::newRow("quoted field across a line end") << u"\"a\r\nb\"\r\nc\r\n"_s
                                                    << QStringList{u"a\r\nb"_s, u"c"_s} << false;
    QTest::newRow("text after the closing quote is dropped") << u"\"a\"xyz,b\r\n"_s
                                                             << QStringList{u"a"_s, u"b"_s} << false;
    QTest::newRow("quote inside an unquoted field stays") << u"a\"b\r\n"_s
                                                          << QStringList{u"a\"b"_s} << false;
    QTest::newRow("lone CR is part of the field") << u"a\rb\r\n"_s << QStringList{u"a\rb"_s} << false;
    QTest::newRow("unclosed quote fails") << u"x\r\n\"abc\r\n"_s << QStringList{u"x"_s} << true;
}

void TestFoodTable::fieldReader()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QFETCH(bool, failsAfter);

    FieldReader reader(text);
    for (const QString &expected : fields) {
        QVERIFY(!reader.atEnd());
        QCOMPARE(reader.next(), std::optional<QString>(expected));
    }
    QCOMPARE(reader.atEnd(), !failsAfter);
    QCOMPARE(reader.next(), std::nullopt);
    QVERIFY(reader.atEnd());
}

void TestFoodTable::recordFormsLoadTheSameCells_data()
{
    QTest::addColumn<QString>("text");
    const QString nineLines = u"Banana\r\n1 medium\r\n0.4\r\n105\r\n27\r\n1.3\r\n0\r\n118\r\n0.1\r\n"_s;
    QTest::newRow("nine lines") << nineLines;
    QTest::newRow("nine lines, bare LF") << QString(nineLines).replace(u"\r\n"_s, u"\n"_s);
    QTest::newRow("one line of commas") << u"Banana,1 medium,0.4,105,27,1.3,0,118,0.1\r\n"_s;
    QTest::newRow("quoted fields") << u"\"Banana\",\"1 medium\",0.4,\"105\",27,1.3,0,118,0.1\r\n"_s;
    QTest::newRow("no final line end") << u"Banana,1 medium,0.4,105,27,1.3,0,118,0.1"_s;
}

void TestFoodTable::recordFormsLoadTheSameCells()
{
    QFETCH(QString, text);
    FoodTable table;
    const FoodLoad load = loadFoodTableFromText(text, table);
    QVERIFY(load.opened);
    QVERIFY(load.complete);
    QCOMPARE(load.names, QStringList{u"Banana"_s});
    const FoodRecord expected{u"Banana"_s, u"1 medium"_s, u"0.4"_s, u"105"_s, u"27"_s,
                              u"1.3"_s, u"0"_s, u"118"_s, u"0.1"_s};
    QCOMPARE(table.row(0), expected);
}

void TestFoodTable::loadStopsEarly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("records");

    QTest::newRow("last record lacks its last field") << record(0) + record(1).chopped(5) << 1;
    QTest::newRow("a blank line after the last record adds nothing") << record(0) + u"\r\n"_s << 1;
    QTest::newRow("unclosed quote in the second record") << record(0) + u"\"Broken,1\r\n"_s << 1;
    QTest::newRow("unclosed quote at the start") << u"\"Apple,cup,0\r\n"_s + record(1) << 0;
}

void TestFoodTable::loadStopsEarly()
{
    QFETCH(QString, text);
    QFETCH(int, records);
    FoodTable table;
    const FoodLoad load = loadFoodTableFromText(text, table);
    QVERIFY(!load.complete);
    QCOMPARE(load.names.size(), records);
    if (records > 0)
        QCOMPARE(table.row(0)[Food::Name], u"Item 0"_s);
    QCOMPARE(table.row(records)[Food::Name], QString());
}

void TestFoodTable::fullTableHoldsExactly15001Records()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, manyRecords(FoodTable::RowCount)));
    FoodTable table;
    FoodLoad load = loadFoodTable(path, table);
    QVERIFY(load.complete);
    QCOMPARE(load.names.size(), 15001);
    QCOMPARE(table.row(15000)[Food::Name], u"Item 15000"_s);
    QCOMPARE(table.row(15000)[Food::SatFatGrams], u"0.2"_s);

    // One record more is read and dropped; the table keeps the first 15001.
    QVERIFY(TextFile::writeAtomically(path, manyRecords(FoodTable::RowCount + 1)));
    load = loadFoodTable(path, table);
    QVERIFY(!load.complete);
    QCOMPARE(load.names.size(), 15001);
    QCOMPARE(load.names.last(), u"Item 15000"_s);
}

void TestFoodTable::missingFileChangesNothing()
{
    QTemporaryDir dir;
    FoodTable table;
    table.row(0)[Food::Name] = u"kept"_s;
    const FoodLoad load = loadFoodTable(dir.filePath(u"diet"_s), table);
    QVERIFY(!load.opened);
    QCOMPARE(table.row(0)[Food::Name], u"kept"_s);
}

void TestFoodTable::emptyFileEmptiesTheListOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    writeBytes(path, QByteArray());
    FoodTable table;
    table.row(0)[Food::Name] = u"kept"_s;
    const FoodLoad load = loadFoodTable(path, table);
    QVERIFY(load.opened);
    QVERIFY(load.complete);
    QVERIFY(load.names.isEmpty());
    QCOMPARE(table.row(0)[Food::Name], u"kept"_s);
}

void TestFoodTable::loadKeepsRowsAboveTheRecordsRead()
{
    FoodTable table;
    loadFoodTableFromText(manyRecords(3), table);
    const FoodLoad load = loadFoodTableFromText(
        u"\"  Spaced\",\" cup\",1,2,3,4,5,6,7\r\n"_s, table);
    QCOMPARE(load.names, QStringList{u"  Spaced"_s});
    QCOMPARE(table.row(0)[Food::Name], u"Spaced"_s);
    QCOMPARE(table.row(0)[Food::Measure], u"cup"_s);
    QCOMPARE(table.row(1)[Food::Name], u"Item 1"_s);
    QCOMPARE(table.row(2)[Food::Name], u"Item 2"_s);
}

void TestFoodTable::bytesAbove0x7FLoadAsWindows1252()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    writeBytes(path, QByteArray("Cr\xe8me br\xfbl\xe9\x65 \x80\r\n\x93" "cup\x94\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"));
    FoodTable table;
    const FoodLoad load = loadFoodTable(path, table);
    QVERIFY(load.complete);
    QCOMPARE(load.names, QStringList{u"Crème brûlée €"_s});
    QCOMPARE(table.row(0)[Food::Measure], u"“cup”"_s);
}

void TestFoodTable::writerRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");

    QTest::newRow("plain") << u"Apple"_s << u"Apple"_s;
    QTest::newRow("comma is quoted") << u"Beans, baked"_s << u"\"Beans, baked\""_s;
    QTest::newRow("leading blank is quoted") << u" Apple"_s << u"\" Apple\""_s;
    QTest::newRow("trailing tab is quoted") << u"Apple\t"_s << u"\"Apple\t\""_s;
    QTest::newRow("quote inside stays unquoted") << u"12\" pizza"_s << u"12\" pizza"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("accents") << u"Crème brûlée"_s << u"Crème brûlée"_s;
}

void TestFoodTable::writerRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    const FoodRecord record{name, u"1 cup"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
    const std::optional<QString> text = recordText(record);
    QVERIFY(text.has_value());
    QCOMPARE(*text, written + u"\r\n1 cup\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"_s);

    FieldReader reader(*text);
    QCOMPARE(reader.next(), std::optional<QString>(name));
    FoodTable table;
    QCOMPARE(loadFoodTableFromText(*text, table).names, QStringList{name});
}

void TestFoodTable::writerRefusesWhatQuotesCannotCarry_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("line feed") << u"two\nlines"_s;
    QTest::newRow("carriage return") << u"two\rlines"_s;
    QTest::newRow("comma and quote") << u"12\" pizza, large"_s;
    QTest::newRow("leading quote") << u"\"quoted\""_s;
    QTest::newRow("blank at the end and a quote") << u"a\"b "_s;
}

void TestFoodTable::writerRefusesWhatQuotesCannotCarry()
{
    QFETCH(QString, text);
    FoodRecord record;
    record[Food::Measure] = text;
    int refused = -1;
    QCOMPARE(recordText(record, &refused), std::nullopt);
    QCOMPARE(refused, int(Food::Measure));
}

// The USDA release holds real names with commas, quotes and accents; a
// database written from it must load back with every name intact.
void TestFoodTable::loadsUsdaDerivedDatabase()
{
    QFile source(QStringLiteral(FORKWELL_USDA_DIR "/FOOD_DES.txt"));
    if (!source.open(QIODevice::ReadOnly))
        QSKIP("USDA food composition release not found beside the project");
    const QString descriptions = TextFile::decode(source.readAll());

    QStringList names;
    QString database;
    for (QStringView line : QStringView(descriptions).split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        const auto parts = line.split(u'^');
        if (parts.size() < 3 || names.size() == FoodTable::RowCount)
            continue;
        const QString name = parts[2].mid(1, parts[2].size() - 2).toString(); // drop the ~ marks
        const std::optional<QString> text = recordText(
            {name, u"100 g"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"100"_s, u"0.5"_s});
        if (!text)
            continue;
        names.append(name);
        database += *text;
    }
    QVERIFY2(names.size() > 7000, qPrintable(QString::number(names.size())));

    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, database));
    FoodTable table;
    const FoodLoad load = loadFoodTable(path, table);
    QVERIFY(load.complete);
    QCOMPARE(load.names, names);
}

QTEST_GUILESS_MAIN(TestFoodTable)
#include "tst_foodtable.moc"
