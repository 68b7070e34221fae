#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "logview.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

namespace {

// An addition entry as the main window appends it; lines 13 and 14 end with a blank.
const QStringList Entry = {
    u"12-04-2026    07:45:10 PM"_s, QString(), u"1 cup (248 Grams) of:"_s, u"Vegetable soup"_s,
    u"Contains:"_s, u"98 Calories"_s, u"2.4 Grams of Total Fat (including Saturated)"_s,
    u"0.4 Grams of Just Saturated Fat"_s, u"16 Grams of Carbohydrates"_s, u"3.1 Grams of Proteins"_s,
    u"0 Miligrams of Cholesterol"_s, QString(), u"Your running total for today to this point is: "_s,
    u"1358 Total Calories "_s, u"332 Total Fat Calories"_s, u"764 Total Carbohydrate Calories"_s,
    u"262 Total Protein Calories"_s, u"36.9 Total Grams of All Fats (including Saturated)"_s,
    u"10.6 Total Grams of Just Saturated Fats"_s, u"191 Total Grams of Carbohydrates"_s,
    u"65.6 Total Grams of Proteins"_s, u"150 Total Milligrams of Cholesterol"_s, QString()};

// The entry in the viewer: the same 23 lines without the blanks that ended two of them.
QString shownEntry()
{
    QStringList lines = Entry;
    lines[12].chop(1);
    lines[13].chop(1);
    return TextFile::joinLines(lines);
}

} // namespace

class TestLogView : public QObject
{
    Q_OBJECT

private slots:
    void linesOfTheLog_data();
    void linesOfTheLog();
    void readsTheLogFile_data();
    void readsTheLogFile();
};

void TestLogView::linesOfTheLog_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("complete");

    const QString entry = TextFile::joinLines(Entry);
    QTest::newRow("an addition entry shows its 23 lines, the text ending in CR LF")
        << entry << shownEntry() << true;
    QTest::newRow("a name with a comma shows on two lines")
        << u"of:\r\nBeans, baked\r\nContains:\r\n"_s << u"of:\r\nBeans\r\nbaked\r\nContains:\r\n"_s << true;
    QTest::newRow("a line starting with a quote shows the quoted text, then the pieces after its comma")
        << u"of:\r\n\"Big\" burger, large\r\n"_s << u"of:\r\nBig\r\nlarge\r\n"_s << true;
    QTest::newRow("an unclosed quote keeps the lines read before it")
        << u"12-04-2026    07:45:10 PM\r\n\r\n\"Cake\r\n98 Calories\r\n"_s
        << u"12-04-2026    07:45:10 PM\r\n\r\n"_s << false;
}

void TestLogView::linesOfTheLog()
{
    QFETCH(QString, log);
    QFETCH(QString, shown);
    QFETCH(bool, complete);
    const LogLoad load = LogView::logText(log);
    QVERIFY(load.opened);
    QCOMPARE(load.text, shown);
    QCOMPARE(load.complete, complete);
}

void TestLogView::readsTheLogFile_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("shown");

    QTest::newRow("nothing logged yet: not opened") << false << QByteArray() << false << QString();
    QTest::newRow("an empty log opens and shows nothing") << true << QByteArray() << true << QString();
    QTest::newRow("a log opens and shows its lines")
        << true << QByteArray("Beans, baked \r\n") << true << u"Beans\r\nbaked\r\n"_s;
}

void TestLogView::readsTheLogFile()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opened);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"mylist"_s));
    if (exists) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
    }
    const LogLoad load = LogView::showLog(dir.path());
    QCOMPARE(load.opened, opened);
    QCOMPARE(load.text, shown);
    QCOMPARE(file.size(), bytes.size()); // the viewer never writes the log
}

QTEST_GUILESS_MAIN(TestLogView)
#include "tst_logview.moc"
