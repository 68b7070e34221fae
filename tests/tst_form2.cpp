#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "form2.h"

using namespace Qt::StringLiterals;

namespace {

// Entries of a few lines each: the log's CR LF ends, a name with a comma and
// a blank at a line's end, as the main window writes them.
QByteArray logOf(int first, int count)
{
    QByteArray log;
    for (int i = first; i < first + count; ++i)
        log += "12-04-2026    07:45:10 PM\r\n\r\n" + QByteArray::number(i) + " Total Calories \r\nBeans, baked\r\n";
    return log;
}

// The same entries as the box shows them.
QString shownOf(int first, int count)
{
    QString text;
    for (int i = first; i < first + count; ++i)
        text += u"12-04-2026    07:45:10 PM\n\n%1 Total Calories\nBeans\nbaked\n"_s.arg(i);
    return text;
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pressingShowsTheLogOnceFromItsStart();
    void aLogThatCannotBeReadKeepsTheBox();
    void aLongLogShowsAndCopiesEveryLineOnce();

private:
    void writeLog(const QByteArray &bytes);

    QTemporaryDir m_folder;
    QString m_startFolder = QDir::currentPath();
    Form2 *m_window = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_open = nullptr;
};

void TestForm2::init()
{
    QVERIFY(QDir::setCurrent(m_folder.path()));
    QFile::remove(m_folder.filePath(u"mylist"_s));
    m_window = new Form2;
    m_window->show();
    m_text = m_window->findChild<QPlainTextEdit *>(u"Text1"_s);
    m_open = m_window->findChild<QPushButton *>(u"Command1"_s);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestForm2::cleanup()
{
    delete m_window;
    QDir::setCurrent(m_startFolder);
}

void TestForm2::writeLog(const QByteArray &bytes)
{
    QFile file(m_folder.filePath(u"mylist"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestForm2::pressingShowsTheLogOnceFromItsStart()
{
    QCOMPARE(m_window->windowTitle(), u"My Log Of Foods Last Entry On Top"_s);
    QCOMPARE(m_open->text(), u"Open My File"_s);
    QVERIFY2(m_open->geometry().top() > m_text->geometry().bottom(), "the button overlaps the box");
    QVERIFY(m_window->rect().contains(m_open->geometry()));
    QVERIFY(m_open->width() >= m_open->sizeHint().width());
    QCOMPARE(QApplication::focusWidget(), m_text);
    QTest::keyClick(m_text, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), m_open);

    writeLog(logOf(1, 150));
    QTest::mouseClick(m_open, Qt::LeftButton);
    QTest::mouseClick(m_open, Qt::LeftButton);
    QCOMPARE(m_text->toPlainText(), shownOf(1, 150));
    QScrollBar *bar = m_text->verticalScrollBar();
    QTRY_VERIFY2(bar->maximum() > 600, "the scroll bar does not span the 750 lines");

    // From the end of the text, a press reads the log again, entries
    // added meanwhile included, and goes back to its start.
    m_text->setFocus();
    QTest::keyClick(m_text, Qt::Key_End, Qt::ControlModifier);
    QTRY_VERIFY(bar->value() > 0);
    writeLog(logOf(1, 151));
    QTest::mouseClick(m_open, Qt::LeftButton);
    QCOMPARE(m_text->toPlainText(), shownOf(1, 151));
    QTRY_COMPARE(bar->value(), 0);
    QCOMPARE(m_text->textCursor().position(), 0);
}

void TestForm2::aLogThatCannotBeReadKeepsTheBox()
{
    QTest::mouseClick(m_open, Qt::LeftButton); // nothing logged yet
    QCOMPARE(m_text->toPlainText(), QString());

    writeLog(logOf(1, 1) + "\"Cake\r\n"); // the quote is never closed
    QTest::mouseClick(m_open, Qt::LeftButton);
    QCOMPARE(m_text->toPlainText(), shownOf(1, 1));

    QVERIFY(QFile::remove(m_folder.filePath(u"mylist"_s)));
    QVERIFY(QDir(m_folder.path()).mkdir(u"mylist"_s)); // a folder where the log belongs
    QTest::mouseClick(m_open, Qt::LeftButton);
    QCOMPARE(m_text->toPlainText(), shownOf(1, 1));
    QVERIFY(QDir(m_folder.path()).rmdir(u"mylist"_s));
}

// Beyond some tens of thousands of lines the box groups lines for speed;
// none may be lost, doubled or joined, on screen or when copied.
void TestForm2::aLongLogShowsAndCopiesEveryLineOnce()
{
    writeLog(logOf(1, 12000)); // 60,000 lines
    QTest::mouseClick(m_open, Qt::LeftButton);
    const QString text = shownOf(1, 12000);
    QCOMPARE(m_text->toPlainText(), text);

    QTest::keyClicks(m_text, u"typed"_s);
    QCOMPARE(m_text->toPlainText(), text);
    QTest::keyClick(m_text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_text, Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::clipboard()->text(), text);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
