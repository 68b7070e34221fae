#include <algorithm>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "logview.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

class TestLogView : public QObject
{
    Q_OBJECT

private slots:
    void linesOfTheLog_data();
    void linesOfTheLog();
    void aLongLogReadInPiecesShowsTheSame_data();
    void aLongLogReadInPiecesShowsTheSame();
};

void TestLogView::linesOfTheLog_data() // line ends written "|"
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("complete");
    // An addition entry as the main window appends it: the viewer drops the blanks ending lines 13 and 14.
    const QString entry = u"12-04-2026    07:45:10 PM||1 cup (248 Grams) of:|Vegetable soup|Contains:|98 Calories|2.4 Grams of "
                          "Total Fat (including Saturated)|0.4 Grams of Just Saturated Fat|16 Grams of Carbohydrates|3.1 Grams of "
                          "Proteins|0 Miligrams of Cholesterol||Your running total for today to this point is: |1358 Total "
                          "Calories |332 Total Fat Calories|764 Total Carbohydrate Calories|262 Total Protein Calories|36.9 Total "
                          "Grams of All Fats (including Saturated)|10.6 Total Grams of Just Saturated Fats|191 Total Grams of "
                          "Carbohydrates|65.6 Total Grams of Proteins|150 Total Milligrams of Cholesterol||"_s;
    QTest::newRow("an addition entry shows its 23 lines, the text ending in CR LF")
        << entry << QString(entry).replace(u" |"_s, u"|"_s) << true;
    QTest::newRow("a name with a comma shows on two lines") << u"of:|Beans, baked|Contains:|"_s << u"of:|Beans|baked|Contains:|"_s << true;
    QTest::newRow("a line starting with a quote shows the quoted text, then the pieces after its comma")
        << u"of:|\"Big\" burger, large|"_s << u"of:|Big|large|"_s << true;
    QTest::newRow("an unclosed quote keeps the lines read before it")
        << u"12-04-2026    07:45:10 PM||\"Cake|98 Calories|"_s << u"12-04-2026    07:45:10 PM||"_s << false;
}

void TestLogView::linesOfTheLog()
{
    QFETCH(QString, log);
    QFETCH(QString, shown);
    QFETCH(bool, complete);
    const LogLoad load = LogView::logText(log.replace(u'|', u"\r\n"_s));
    QCOMPARE(load.text, shown.replace(u'|', u"\r\n"_s));
    QCOMPARE(load.complete, complete);
}

namespace {

// Lines that test the reader: commas, quotes around commas and across line
// ends, text after a closing quote, blanks, a bare LF and a lone CR.
QByteArray trickyLines(int n)
{
    const QByteArray number = QByteArray::number(n * 7919 % 100003);
    return "12-04-2026    07:45:10 PM\r\n\r\n" + number + " cup (248 Grams) of:\r\nBeans, baked, canned " + number
        + "\r\n\"Quoted, name " + number + "\" after,x\r\n\"runs over\r\ntwo lines\",y\r\n  blank , b \t\r\nbare LF\nlone\rCR\r\n";
}

// Filler lines of exactly the given length, one field each.
QByteArray filler(qsizetype length)
{
    QByteArray bytes;
    while (bytes.size() + 12 <= length)
        bytes += "filler line\n";
    if (bytes.size() < length)
        bytes += QByteArray(length - bytes.size() - 1, 'x') + '\n';
    return bytes;
}

} // namespace

void TestLogView::aLongLogReadInPiecesShowsTheSame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("bounded"); // no piece of lines longer than two pieces of the log

    QByteArray tricky;
    for (int n = 0; tricky.size() < 1200000; ++n)
        tricky += trickyLines(n);
    QTest::newRow("every kind of line, cut between pieces anywhere") << tricky << true;
    QTest::newRow("a quoted field longer than a piece")
        << "a\r\n\"" + QByteArray(700000, 'q').replace(QByteArray(10, 'q'), "qqqqqqq\r\n,") + "\" tail,z\r\nlast\r\n"
        << false;
    QTest::newRow("a quote never closed, after many pieces, ends the text")
        << tricky + "\"never closed\r\nmore\r\n" + QByteArray(300000, 'm') << false;
    QTest::newRow("no line end at the end of the log") << tricky + "last, field" << true;
    // Pieces hold 256 KiB: a quoted field across two lines, moved over the
    // end of the first piece a character at a time, with no quote for
    // more than two pieces after it.
    const QByteArray acrossLines = "\"a, \r\nb\" c,d\r\n";
    for (int shift = 0; shift <= acrossLines.size() + 2; ++shift)
        QTest::addRow("a quoted field %d characters before a piece ends", shift)
            << filler(262144 - shift) + acrossLines + filler(600000) + trickyLines(shift) << true;
}

void TestLogView::aLongLogReadInPiecesShowsTheSame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, bounded);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"mylist"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    qint64 told = -1;
    int pieces = 0;
    qsizetype longest = 0;
    QString shown;
    const LogLoad load = LogView::showLogInPieces(
        dir.path(), [&told](qint64 size) { told = size; },
        [&](QStringView lines) {
            QVERIFY(lines.endsWith(u"\r\n"));
            shown += lines;
            ++pieces;
            longest = std::max(longest, lines.size());
        });
    const LogLoad whole = LogView::logText(TextFile::decode(bytes));
    QVERIFY(load.opened);
    QCOMPARE(told, bytes.size());
    QVERIFY2(pieces > 1, "the log did not come in pieces");
    if (bounded)
        QVERIFY2(longest < 2 * 262144, "the log was held whole rather than in pieces");
    QCOMPARE(load.complete, whole.complete);
    QCOMPARE(shown.size(), whole.text.size());
    QVERIFY(shown == whole.text);
    QCOMPARE(LogView::showLog(dir.path()).text.size(), whole.text.size());
}

QTEST_GUILESS_MAIN(TestLogView)
#include "tst_logview.moc"
