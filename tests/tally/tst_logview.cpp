// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "tally/logview.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;

// Commas, quotes around commas and across line ends, text after a quote, blanks, a bare LF and a lone CR.
static QByteArray trickyLines(int n)
{
    const QByteArray number = QByteArray::number(n * 7919 % 100003);
    return "12-04-2026    07:45:10 PM||" + number + " cup (248 Grams) of:|Beans, baked, canned " + number + "|\"Quoted, name "
        + number + "\" after,x|\"runs over|two lines\",y|  blank , b \t|bare LF\nlone\rCR|";
}

class TestLogView : public QObject
{
    Q_OBJECT

private slots:
    void logShown_data() // "|" is written for CR LF; pieces hold 256 KiB
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("shown"); // empty: as the log read whole at once shows it
        QTest::addColumn<bool>("complete");
        QTest::addColumn<bool>("bounded"); // no piece of lines longer than two pieces of the log
        const QByteArray entry = Testing::logEntry(u"12-04-2026    07:45:10 PM|1 cup (248 Grams) of:|Soup|98|2.4|0.4|16|3.1|0||"
                                                   "1358|332|764|262|36.9|10.6|191|65.6|150"_s).replace("\r\n", "|");
        QTest::newRow("an entry shows its 23 lines without the blanks that end two of them")
            << entry << QString::fromLatin1(QByteArray(entry).replace(" |", "|")) << true << true;
        QTest::newRow("a name with a comma shows on two lines") << "of:|Beans, baked|Contains:|"_ba << u"of:|Beans|baked|Contains:|"_s << true << true;
        QTest::newRow("a line starting with a quote shows the quoted text, then the pieces after its comma")
            << "of:|\"Big\" burger, large|"_ba << u"of:|Big|large|"_s << true << true;
        QTest::newRow("an unclosed quote keeps the lines read before it")
            << "12-04-2026    07:45:10 PM||\"Cake|98 Calories|"_ba << u"12-04-2026    07:45:10 PM||"_s << false << true;
        const QByteArray tricky = trickyLines(1).repeated(8000); // 1.35 MB, cut at five places in the lines
        QTest::newRow("every kind of line cut between pieces anywhere, no line end at the end")
            << tricky + "last, field" << QString() << true << true;
        QTest::newRow("a quoted field longer than a piece") << "a|\"" + QByteArray(700000, 'q').replace(QByteArray(10, 'q'), "qqqqqqq|,")
                + "\" tail,z|last|" << QString() << true << false;
        QTest::newRow("a quote never closed, after many pieces, ends the text")
            << tricky + "\"never closed|more|" + QByteArray(300000, 'm') << QString() << false << false;
        // A quoted field over two lines starts a piece, ends one at its quote or CR, or has its last CR LF split or ending one.
        const auto filler = [](qsizetype length) { return QByteArray(length - 1, 'x').replace("xxxxxxxxxx", "xxxxxxxxx\n") + '\n'; };
        for (int before : {0, 1, 5, 13, 14})
            QTest::addRow("a quoted field %d characters before a piece ends", before)
                << filler(262144 - before) + "\"a, |b\" c,d|" + filler(600000) + trickyLines(before) << QString() << true << true;
    }

    void logShown()
    {
        QFETCH(QByteArray, log); QFETCH(QString, shown); QFETCH(bool, complete); QFETCH(bool, bounded);
        log.replace('|', "\r\n");
        QTemporaryDir dir;
        QVERIFY(TextFile::writeBytesAtomically(dir.filePath(u"mylist"_s), log));
        qsizetype longest = 0;
        QString pieces;
        const LogLoad load = LogView::showLogInPieces(dir.path(), [](qint64) {}, [&](QStringView lines) {
            QVERIFY(lines.endsWith(u"\r\n"));
            pieces += lines;
            longest = qMax(longest, lines.size());
        });
        const LogLoad whole = LogView::logText(TextFile::decode(log));
        QVERIFY2(!bounded || longest < 2 * 262144, "the log was held whole rather than in pieces");
        QCOMPARE(QList<bool>({whole.complete, load.complete}), QList<bool>({complete, complete}));
        QCOMPARE(whole.text, shown.isEmpty() ? whole.text : shown.replace(u'|', u"\r\n"_s));
        QVERIFY2(pieces == whole.text, "the log read in pieces shows otherwise than read whole at once");
        QVERIFY(LogView::showLog(dir.path()).text == whole.text);
    }
};

QTEST_GUILESS_MAIN(TestLogView)
#include "tst_logview.moc"
