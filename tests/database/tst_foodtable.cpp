// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>
#include <QTest>

#include "database/fieldreader.h"
#include "database/foodtable.h"
#include "database/textfile.h"

using namespace Qt::StringLiterals;

static QByteArray records(int count) // "Item 0" onwards, nine lines each
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) bytes += "Item " + QByteArray::number(i) + "\r\ncup\r\n1.5\r\n120\r\n20\r\n3\r\n0\r\n240\r\n0.2\r\n";
    return bytes;
}

static const QByteArray Apple = "Apple,1 cup,0.3,95,25.1,0.5,0,182,0.1\r\n";
static const QString AppleRow = u"Apple|1 cup|0.3|95|25.1|0.5|0|182|0.1"_s;

class TestFoodTable : public QObject
{
    Q_OBJECT

private slots:
    void fieldReader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields"); // joined by "|"

        QTest::newRow("blanks and tabs around a field dropped, nothing between commas") << u"a, b \t,\t x y ,,\r\n"_s << u"a|b|x y||"_s;
        QTest::newRow("an empty line is an empty field, the last line needs no line end") << u"a\r\n\r\nb"_s << u"a||b"_s;
        QTest::newRow("a quoted field runs across a line end") << u"\"a\r\nb\"\r\nc\r\n"_s << u"a\r\nb|c"_s;
        QTest::newRow("text after the closing quote is dropped") << u"\"a\"xyz,b\r\n"_s << u"a|b"_s;
        QTest::newRow("an unclosed quote fails") << u"x\r\n\"abc\r\n"_s << u"x|<fails>"_s;
    }

    void fieldReader()
    {
        QFETCH(QString, text); QFETCH(QString, fields);
        FieldReader reader(text);
        QStringList read;
        while (!reader.atEnd() && read.size() < 10)
            read += reader.next().value_or(u"<fails>"_s);
        QCOMPARE(read.join(u'|'), fields);
        QCOMPARE(reader.next(), std::nullopt);
    }

    // Each load goes over rows an earlier one filled: every cell the file changed must change.
    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QString>("list");     // how the load ended, the number of names and [the last]
        QTest::addColumn<QString>("lastRow");  // the cells of the last name's row, or of row 0

        const QString banana = u"Banana|1 medium|0.40|105|27|1.3|0|118|0.1"_s, item0 = u"Item 0|cup|1.5|120|20|3|0|240|0.2"_s,
                      one = u"complete 1 [Banana]"_s, item15000 = u"Item 15000|cup|1.5|120|20|3|0|240|0.2"_s;
        QTest::newRow("nine lines, bare LF") << QByteArray("Banana\n1 medium\n0.40\n105\n27\n1.3\n0\n118\n0.1\n") << one << banana;
        QTest::newRow("one line of commas, no line end") << QByteArray("Banana,1 medium,0.40,105,27,1.3,0,118,0.1") << one << banana;
        QTest::newRow("quoted fields keep commas; the row loses leading blanks, the list does not")
            << QByteArray("\"  Banana, ripe\",\" 1 medium\",0.40,\"105\",27,1.3,0,118,0.1\r\n")
            << u"complete 1 [  Banana, ripe]"_s << u"Banana, ripe|1 medium|0.40|105|27|1.3|0|118|0.1"_s;
        QTest::newRow("bytes above 0x7F are Windows-1252") << QByteArray("Cr\xe8me \x80\r\n\x93" "cup\x94\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n")
                                                           << u"complete 1 [Crème €]"_s << u"Crème €|“cup”|1|2|3|4|5|6|7"_s;
        QTest::newRow("values cut short, grown, emptied and equal to another cell's") << QByteArray("Apple,1 cup,0.1,950,25,,0,182,0.1")
            << u"complete 1 [Apple]"_s << u"Apple|1 cup|0.1|950|25||0|182|0.1"_s;
        QTest::newRow("a last record without its last field is dropped") << records(2).chopped(5) << u"ended early 1 [Item 0]"_s << item0;
        QTest::newRow("an unclosed quote ends the load") << records(1) + "\"Broken,1\r\n" << u"ended early 1 [Item 0]"_s << item0;
        QTest::newRow("an empty file empties the list only") << QByteArray("") << u"complete 0 []"_s << AppleRow;
        QTest::newRow("a missing file changes nothing") << QByteArray() << u"not opened 0 []"_s << AppleRow;
        QTest::newRow("15001 records fill the table") << records(15001) << u"complete 15001 [Item 15000]"_s << item15000;
        QTest::newRow("a 15002nd record is read and dropped") << records(15002) << u"ended early 15001 [Item 15000]"_s << item15000;
    }

    void load()
    {
        QFETCH(QByteArray, bytes); QFETCH(QString, list); QFETCH(QString, lastRow);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"diet"_s); // byte for byte, as every byte decodes and encodes back
        QVERIFY(bytes.isNull() || TextFile::writeAtomically(path, TextFile::decode(bytes)));
        FoodTable table;
        QVERIFY(loadFoodTableFromBytes("\" Apple\"," + Apple.sliced(6) + Apple + Apple, table).complete);

        const FoodLoad load = loadFoodTable(path, table);
        const int count = int(load.names.size());
        QCOMPARE(u"%1 %2 [%3]"_s.arg(!load.opened ? u"not opened"_s : load.complete ? u"complete"_s : u"ended early"_s)
                     .arg(count).arg(load.names.value(count - 1)), list);
        const FoodRecord &last = table.row(qMax(count - 1, 0));
        QCOMPARE(QStringList(last.begin(), last.end()).join(u'|'), lastRow);
        if (count < 3) // rows past those read keep what they held
            QCOMPARE(QStringList(table.row(count).begin(), table.row(count).end()).join(u'|'), AppleRow);
    }

    // The writer quotes or refuses what the plain form cannot carry; the reader gives back what it wrote.
    void writer_data()
    {
        QTest::addColumn<QString>("measure");
        QTest::addColumn<QString>("line"); // as written, or "refused"

        QTest::newRow("plain") << u"1 cup"_s << u"1 cup"_s;
        QTest::newRow("a comma is quoted") << u"1 cup, sliced"_s << u"\"1 cup, sliced\""_s;
        QTest::newRow("a leading blank is quoted") << u" cup"_s << u"\" cup\""_s;
        QTest::newRow("a quote inside stays unquoted") << u"12\" pizza"_s << u"12\" pizza"_s;
        QTest::newRow("a line feed is quoted") << u"two\nlines"_s << u"\"two\nlines\""_s;
        QTest::newRow("a carriage return stays plain, also at the end") << u"1\rcup\r"_s << u"1\rcup\r"_s;
        QTest::newRow("a comma and a quote are refused") << u"12\" pizza, large"_s << u"refused"_s;
        QTest::newRow("a leading quote is refused") << u"\"quoted\""_s << u"refused"_s;
    }

    void writer()
    {
        QFETCH(QString, measure); QFETCH(QString, line);
        const FoodRecord record{u"Apple"_s, measure, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
        int refused = -1;
        const std::optional<QString> written = recordText(record, &refused);
        const QString nineLines = u"Apple\r\n"_s + line + u"\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"_s;
        QCOMPARE(written.value_or(u"refused"_s), line == u"refused"_s ? line : nineLines);
        QCOMPARE(refused, written ? -1 : int(Food::Measure));
        FieldReader reader(written.value_or(QString()));
        for (int column = 0; written && column < Food::ColumnCount; ++column)
            QCOMPARE(reader.next(), std::optional<QString>(record[column]));
    }

    // A save copies a record as read only when the writer would give back its very bytes.
    void writtenForm_data()
    {
        QTest::addColumn<QByteArray>("measure"); // the second of nine lines, the others plain
        QTest::addColumn<bool>("written");

        QTest::newRow("plain, with a quote inside") << QByteArray("12\" pizza\r\n") << true;
        QTest::newRow("an empty line") << QByteArray("\r\n") << true;
        QTest::newRow("a comma in quotes") << QByteArray("\"1 cup, sliced\"\r\n") << true;
        QTest::newRow("a trailing blank in quotes") << QByteArray("\"cup \"\r\n") << true;
        QTest::newRow("quotes that nothing needs") << QByteArray("\"cup\"\r\n") << false;
        QTest::newRow("a leading blank in quotes, which the load drops") << QByteArray("\" cup, x\"\r\n") << false;
        QTest::newRow("a trailing blank, unquoted") << QByteArray("cup \r\n") << false;
        QTest::newRow("text after a closing quote, then a bare line feed") << QByteArray("\"1 cup, sliced\"x\n") << false;
        QTest::newRow("a bare line feed") << QByteArray("cup\n") << false;
        QTest::newRow("a carriage return inside and before the line end") << QByteArray("c\rup\r\r\n") << true;
        QTest::newRow("a line feed in quotes") << QByteArray("\"two\nlines\"\r\n") << true;
        QTest::newRow("two fields on one line") << QByteArray("cup,1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n") << false;
        QTest::newRow("the last line without its line end") << QByteArray("cup\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7") << false;
    }

    void writtenForm()
    {
        QFETCH(QByteArray, measure); QFETCH(bool, written);
        const QByteArray record = "Apple\r\n" + measure + (measure.count('\n') > 2 ? "" : "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
        QCOMPARE(isWrittenForm(record), written);
        FoodTable table; // and exactly then the writer gives back the bytes read
        QVERIFY(loadFoodTableFromBytes(record, table).complete);
        QCOMPARE(TextFile::encode(recordText(table.row(0)).value_or(QString())) == record, written);
    }
};

QTEST_GUILESS_MAIN(TestFoodTable)
#include "tst_foodtable.moc"
