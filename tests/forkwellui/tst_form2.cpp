// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "forkwellui/form2.h"

using namespace Qt::StringLiterals;

// Writes the log: entries as the main window writes them, with a blank ending a line and
// a name holding a comma, between other lines. Returns what the box shows of the entries.
QString writeLog(const QString &before, int entries, const QString &after = {})
{
    QString log = before;
    QString shown;
    for (int i = 1; i <= entries; ++i) {
        log += u"12-04-2026    07:45:10 PM\r\n\r\n%1 Total Calories \r\nBeans, baked\r\n"_s.arg(i);
        shown += u"12-04-2026    07:45:10 PM\n\n%1 Total Calories\nBeans\nbaked\n"_s.arg(i);
    }
    return TextFile::writeAtomically(u"mylist"_s, log + after) ? shown : u"(not written)"_s;
}

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void showsTheLogOnEachPressFromItsStart()
    {
        QTemporaryDir folder;
        QVERIFY(QDir::setCurrent(folder.path()));
        Form2 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.windowTitle(), u"My Log Of Foods Last Entry On Top"_s);
        auto *text = window.findChild<QPlainTextEdit *>(u"Text1"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Description), // read after the box's text
                 u"every food added to or taken off the day, oldest first, one item per line, as Open My File read it"_s);
        const auto press = [&window] { QTest::mouseClick(window.findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton); };

        press(); // nothing logged yet
        QCOMPARE(text->toPlainText(), QString());
        const QString one = writeLog({}, 1, u"\"Cake\r\n"_s); // the quote is never closed
        press();
        QCOMPARE(text->toPlainText(), one);
        QVERIFY(QFile::remove(u"mylist"_s) && QDir().mkdir(u"mylist"_s)); // a folder where the log belongs
        press();
        QCOMPARE(text->toPlainText(), one);
        QVERIFY(QDir().rmdir(u"mylist"_s));

        // Beyond some tens of thousands of lines the box groups lines for speed;
        // none may be lost, doubled or joined, on screen or when copied.
        const QString shown = writeLog({}, 12000); // 60,000 lines
        press();
        press();
        QCOMPARE(text->toPlainText(), shown);
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        QTRY_VERIFY(text->verticalScrollBar()->value() > 0);
        writeLog(u"\"Pie\"\r\n"_s, 12000); // a quoted line first; a press from the end reads the log afresh
        press();
        QCOMPARE(text->toPlainText(), u"Pie\n"_s + shown);
        QTRY_COMPARE(text->verticalScrollBar()->value(), 0);
        QCOMPARE(text->textCursor().position(), 0);
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::clipboard()->text(), u"Pie\n"_s + shown);
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
