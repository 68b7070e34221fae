#include <cerrno>
#include <cstring>
#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "foodtable.h"
#include "form1.h"
#include "itemlistbox.h"
#include "tallytesting.h"

using namespace Qt::StringLiterals;
using namespace TallyTesting;

namespace {

const QColor ButtonText(10, 20, 30);

// The day's cells in the order of the tally.
const QStringList TallyLabels = u"Label48 Label49 Label50 Label51 Label54 Label55 Label56 Label57 Label58 "
                                "Label59 Label83 Label60 Label61 Label62 Label63 Label64"_s.split(u' ');

// Every cell as shown, "Label60 3 standard", in the order of the tally.
QStringList shownCells(const QWidget &window)
{
    QStringList shown;
    for (const QString &name : TallyLabels) {
        const auto *label = window.findChild<QLabel *>(name);
        const QColor colour = label->palette().color(QPalette::WindowText);
        const QString colourText = colour == ButtonText ? u"standard"_s
            : colour == QColor(255, 0, 0)                ? u"red"_s
            : colour == QColor(0, 192, 0)                ? u"green"_s
            : colour == QColor(0, 0, 128)                ? u"blue"_s
                                                         : colour.name();
        shown += name + u' ' + label->text() + u' ' + colourText;
    }
    return shown;
}

// The same from "text colour" pairs, as cells() does.
QStringList labelCells(const QString &texts)
{
    QStringList expected = cells(texts);
    for (int c = 0; c < expected.size(); ++c)
        expected[c].replace(0, CellNames[c].size(), TallyLabels[c]);
    return expected;
}

QByteArray crLfLines(const QStringList &lines)
{
    return (lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1();
}

// The totals part of a log entry, lines 13 to 23: today, then the calories
// of fat, carbohydrates and proteins, then the grams and milligrams.
QStringList runningTotal(const QStringList &t)
{
    return {u"Your running total for today to this point is: "_s, t[0] + u" Total Calories "_s,
            t[1] + u" Total Fat Calories"_s, t[2] + u" Total Carbohydrate Calories"_s,
            t[3] + u" Total Protein Calories"_s, t[4] + u" Total Grams of All Fats (including Saturated)"_s,
            t[5] + u" Total Grams of Just Saturated Fats"_s, t[6] + u" Total Grams of Carbohydrates"_s,
            t[7] + u" Total Grams of Proteins"_s, t[8] + u" Total Milligrams of Cholesterol"_s, QString()};
}

const QStringList AppleLines = {
    u"1 1 medium (138 Grams) of:"_s, u"Apple"_s, u"Contains:"_s, u"81 Calories"_s,
    u"0.5 Grams of Total Fat (including Saturated)"_s, u"0.1 Grams of Just Saturated Fat"_s,
    u"21 Grams of Carbohydrates"_s, u"0.3 Grams of Proteins"_s, u"0 Miligrams of Cholesterol"_s};

} // namespace

class TestForm1Tally : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addingAndDeletingThroughTheButtons();
    void failedSaveShowsAMessage();

private:
    void choose(Form1 &window, const QString &prefix);
    void setPortion(Form1 &window, const QString &portion);
    void click(Form1 &window, const QString &button);

    FoodTable m_table;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_startFolder = QDir::currentPath();
    const Clock m_clock = fixedClock(QDate(2026, 12, 4), QTime(13, 2, 3));
};

void TestForm1Tally::initTestCase()
{
    // A button text colour of its own, to tell the standard colour apart.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::ButtonText, ButtonText);
    QApplication::setPalette(palette);
}

void TestForm1Tally::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(m_folder->path()));
    // Name, measure, fat, calories, carbohydrates, proteins, cholesterol, weight, saturated fat.
    QFile diet(u"diet"_s);
    QVERIFY(diet.open(QIODevice::WriteOnly));
    diet.write("Apple\r\n1 medium\r\n0.5\r\n81\r\n21\r\n0.3\r\n0\r\n138\r\n0.1\r\n"
               "Banana\r\n1 medium\r\n0.4\r\n105\r\n27\r\n1.3\r\n0\r\n118\r\n0.1\r\n");
}

void TestForm1Tally::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_folder.reset();
}

void TestForm1Tally::choose(Form1 &window, const QString &prefix)
{
    auto *list = window.findChild<ItemListBox *>(u"Combo1"_s);
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), prefix);
    QTest::keyClick(list->lineEdit(), Qt::Key_F4);
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Return);
    QTRY_VERIFY(!list->view()->isVisible());
}

void TestForm1Tally::setPortion(Form1 &window, const QString &portion)
{
    auto *box = window.findChild<QLineEdit *>(u"Text1"_s);
    box->selectAll();
    QTest::keyClicks(box, portion);
}

void TestForm1Tally::click(Form1 &window, const QString &button)
{
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
}

// Apple, then two Bananas, then the Apple taken off again; then the day is
// saved and reopened in a new window.
void TestForm1Tally::addingAndDeletingThroughTheButtons()
{
    Form1 window(m_table);
    window.setClock(m_clock);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    choose(window, u"Ap"_s);
    click(window, u"Command3"_s);
    choose(window, u"Ba"_s);
    setPortion(window, u"2"_s);
    click(window, u"Command3"_s);
    QCOMPARE(shownCells(window), labelCells(u"11 standard, N/A standard, 300 standard, 11 standard, 1.3 standard, "
                                            "0.3 standard, 75 standard, 2.9 standard, 0 standard, 0 standard, 322 red, "
                                            "3 standard, \"\" standard, 93 red, 3 red, 0 standard"_s));
    const QString stamp = u"12-04-2026    01:02:03 PM"_s;
    const QByteArray added = crLfLines(
        QStringList{stamp, QString()} + AppleLines + QStringList{QString()}
        + runningTotal(u"89 4 84 1 0.5 0.1 21 0.3 0"_s.split(u' '))
        + QStringList{stamp, QString(), u"2 1 medium (236 Grams) of:"_s, u"Banana"_s, u"Contains:"_s,
                      u"210 Calories"_s, u"0.8 Grams of Total Fat (including Saturated)"_s,
                      u"0.2 Grams of Just Saturated Fat"_s, u"54 Grams of Carbohydrates"_s,
                      u"2.6 Grams of Proteins"_s, u"0 Miligrams of Cholesterol"_s, QString()}
        + runningTotal(u"322 11 300 11 1.3 0.3 75 2.9 0"_s.split(u' ')));
    QCOMPARE(bytesOf(u"mylist"_s), added);

    // Choosing the Apple puts the portion back to 1; the deletion leaves the
    // calorie totals unrounded.
    choose(window, u"Ap"_s);
    click(window, u"Command6"_s);
    QCOMPARE(shownCells(window), labelCells(u"6.5 standard, 0 standard, 216 standard, 9.8 standard, 0.8 standard, "
                                            "0.2 standard, 54 standard, 2.6 standard, 0 standard, 0 standard, 232 red, "
                                            "3 standard, \"\" standard, 93 red, 4 red, 0 standard"_s));
    QCOMPARE(bytesOf(u"mylist"_s),
             added + crLfLines(QStringList{stamp, QString()} + AppleLines
                               + QStringList{u"The above was deleted and below is the amended total:"_s}
                               + runningTotal(u"232 6.5 216 9.8 0.8 0.2 54 2.6 0"_s.split(u' '))));

    click(window, u"Command1"_s);
    QCOMPARE(bytesOf(u"12-04-2026"_s), QByteArray("12-04-2026\r\n6.5\r\n0\r\n216\r\n9.8\r\n0.8\r\n0.2\r\n54\r\n2.6\r\n0\r\n0\r\n"));
    Form1 later(m_table);
    later.setClock(m_clock);
    later.show();
    QVERIFY(QTest::qWaitForWindowActive(&later));
    click(later, u"Command7"_s);
    QCOMPARE(shownCells(later), labelCells(u"6 standard, N/A standard, 216 standard, 10 standard, 0.8 standard, "
                                           "0.2 standard, 54 standard, 2.6 standard, 0 standard, 0 standard, 232 red, "
                                           "3 blue, \"\" standard, 93 red, 4 standard, 0 standard"_s));
}

// A folder standing at the file's name makes the save fail, even for root.
void TestForm1Tally::failedSaveShowsAMessage()
{
    QVERIFY(QDir::current().mkdir(u"12-04-2026"_s));
    Form1 window(m_table);
    window.setClock(m_clock);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    choose(window, u"Ba"_s);
    click(window, u"Command3"_s);
    const QStringList before = shownCells(window);
    const QByteArray log = bytesOf(u"mylist"_s);

    click(window, u"Command1"_s);
    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->text(), u"Could not save today's totals to \"12-04-2026\": "_s
                              + QString::fromLocal8Bit(std::strerror(EISDIR)));
    QCOMPARE(shownCells(window), before);
    QCOMPARE(bytesOf(u"mylist"_s), log);
    QVERIFY(QFileInfo(u"12-04-2026"_s).isDir());
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestForm1Tally)
#include "tst_form1tally.moc"
