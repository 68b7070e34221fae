// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <cstring>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>

#include "forkwellui/form1.h"
#include "forkwellui/itemlistbox.h"
#include "tests/tally/tallysupport.h"

using namespace Qt::StringLiterals;
using Testing::bytesOf;

struct Window : Form1 { using Form1::Form1, Form1::showTally, Form1::tally; };

const QString Foods = u"Apple|Banana|Banana bread|banana chips|Cherries"_s + QString(u"|Food"_s).repeated(30);
const QString ItemControls = u"Combo1 Text1 Label79 Label86 Label2 Label25 Label26 Label27 Label28 Label42 Label43 Label44 Label45 Label46"_s;

QString texts(const QWidget &window, const QString &controls) // "|"-separated; "Label2?": what a screen reader reads
{
    QStringList shown;
    for (const QString &name : controls.split(u' ')) {
        QWidget *control = window.findChild<QWidget *>(QString(name).remove(u'?'));
        const QAccessibleInterface *read = QAccessible::queryAccessibleInterface(control);
        QStringList said{read->text(QAccessible::Name), read->text(QAccessible::Value), read->text(QAccessible::Description)};
        said.removeAll(QString());
        shown << (name.endsWith(u'?') ? said.join(u", "_s) : control->property(name == u"Combo1" ? "currentText" : "text").toString());
    }
    return shown.join(u'|');
}

// Boxes fit between their margins, word-wrapped labels in their height, the rest at their size hint.
bool textFits(const QWidget *control)
{
    const auto *label = qobject_cast<const QLabel *>(control);
    const auto *list = qobject_cast<const QComboBox *>(control);
    const auto *box = list ? list->lineEdit() : qobject_cast<const QLineEdit *>(control);
    if (!box && label && label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    if (!box)
        return control->sizeHint().width() <= control->width() && control->sizeHint().height() <= control->height();
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box)
                           .marginsRemoved(box->textMargins()).adjusted(2, 0, -2, 0);
    return box->fontMetrics().horizontalAdvance(box->text()) <= room.width()
        && box->fontMetrics().height() <= room.height() && control->sizeHint().height() <= control->height();
}

const QColor ButtonText(10, 20, 30); // the desktop's, told apart from every other colour

// The day's cells in the order of the tally, each text with its colour unless standard.
QString shownCells(const QWidget &window)
{
    QStringList shown;
    for (const QString &name : u"Label48 Label49 Label50 Label51 Label54 Label55 Label56 Label57 Label58 Label59 "
                                "Label83 Label60 Label61 Label62 Label63 Label64"_s.split(u' ')) {
        const auto *label = window.findChild<QLabel *>(name);
        const QColor c = label->palette().color(QPalette::WindowText);
        shown += label->text() + (c == ButtonText ? QString() : c == Qt::red ? u" red"_s : u' ' + c.name());
    }
    return shown.join(u'|');
}

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<QTemporaryDir>(); QVERIFY(QDir::setCurrent(m_folder->path())); }
    void startsWithItsCaptionsAndEmptyCells_data()
    {
        QTest::addColumn<QString>("controls");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<QColor>("colour"); // for the day's cells
        QTest::newRow("the list, the portion and the item's fields") << ItemControls + u" Label29 Label47"_s
            << u"Type in food item and use scroll button to search =====>|1|U.S. Measures||||N/A||||||||N/A|"_s << QColor();
        QTest::newRow("captions and buttons") << u"Label3 Label52 Label82 Command6 Command7 Command3 Command5 Command8 Command1 Command2"_s
            << u"Portion Size|N/A|You Total Calories Today Are:|Delete|Open|Add Above To My List|View My List|Add New Item|Save|Help"_s << QColor();
        QTest::newRow("the day's cells in the standard colour")
            << u"Label48 Label49 Label50 Label51 Label54 Label55 Label56 Label57 Label58 Label59 Label61 Label62 Label63 Label64"_s
            << u"|N/A||||||||||||"_s << QApplication::palette().color(QPalette::ButtonText);
        QTest::newRow("a screen reader reads a cell's text, then what it holds and what its colour tells")
            << u"Text1? Label49? Label83?"_s << u"Portion Size, 1, how many of the food's portions you ate; every value below is for that "
               "many|N/A, running total of calories from saturated fat|today's calories, outside the advised range"_s << QColor();
        QTest::newRow("the advice quotes the advised ranges, and the cholesterol cell its limit")
            << u"Label88 Label78 Label64?"_s << u"Try to keep CHOLESTEROL UNDER 300mg and less than 100% each day!|It takes the average person about 2,000 calories just to sleep and breath.  Reduction "
               "diets should be between 1,100 and 1,600 calories.  It takes about 3,500 in calorie loss for 1 pound of body fat "
               "reduction.  Over exercising can stall a diet, so use moderate exercise until you reach optimal weight.  Carbs "
               "produce sugar which runs the body.  Try and keep carbs down (50% or so)  but not ultra low (under 25%).  Keep "
               "fats very low (10-15%).  Consult with a doctor on your health for a diet.|today's cholesterol as a share of "
               "300 milligrams, percent"_s << QColor();
        QTest::newRow("today's total in red") << u"Label83"_s << QString() << QColor(255, 0, 0);
        QTest::newRow("the fat share in dark blue") << u"Label60"_s << QString() << QColor(0, 0, 128);
    }

    void startsWithItsCaptionsAndEmptyCells()
    {
        QFETCH(QString, controls); QFETCH(QString, texts); QFETCH(QColor, colour);
        open();
        QCOMPARE(m_window->windowTitle(), u"Forkwell 1.0"_s);
        const QFont today = m_window->findChild<QLabel *>(u"Label83"_s)->font();
        QCOMPARE(QString::number(today.pointSizeF()) + (today.bold() ? u" bold"_s : u""_s), u"15 bold"_s); // today's total stands out
        QCOMPARE(::texts(*m_window, controls), texts);
        for (const QString &name : controls.split(u' ')) // captions and fields are left to the style
            QCOMPARE(colour.isValid() ? m_window->findChild<QLabel *>(name)->palette().color(QPalette::WindowText) : colour, colour);
    }

    void choosingAndPortions_data()
    {
        // Each step types a text and presses Enter; "pick" opens the list at the first entry beginning with it and takes that.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown"); // item list, portion, item's fields
        QTest::newRow("Enter in the opened list chooses") << u"pick app"_s << u"Apple|1|1 medium|138|81|4.5|N/A|84|1.2|0.5|0.1|21|0.3|0"_s;
        QTest::newRow("the first of several, in any case") << u"pick BANANA"_s << u"Banana|1|1 medium|118|105|3.6|N/A|108|5.2|0.4|0.1|27|1.3|0"_s;
        QTest::newRow("a longer beginning finds a later one") << u"pick banana c"_s << u"banana chips|1|1 cup|100|10|9|N/A|4|4|1|0|1|1|0"_s;
        QTest::newRow("a portion alone changes nothing")
            << u"portion 3"_s << u"Type in food item and use scroll button to search =====>|3|U.S. Measures||||N/A|||||||"_s;
        QTest::newRow("a choice resets a typed portion") << u"portion 3|pick Apple"_s << u"Apple|1|1 medium|138|81|4.5||84|1.2|0.5|0.1|21|0.3|0"_s;
    }

    void choosingAndPortions()
    {
        QFETCH(QString, steps); QFETCH(QString, shown);
        open();
        for (const QString &step : steps.split(u'|')) {
            QLineEdit *box = step.startsWith(u"portion") ? m_window->findChild<QLineEdit *>(u"Text1"_s) : list()->lineEdit();
            type(box, step.section(u' ', 1));
            QTest::keyClick(box, step.startsWith(u"pick") ? Qt::Key_F4 : Qt::Key_Return);
            if (step.startsWith(u"pick")) {
                QTRY_VERIFY(list()->view()->isVisible());
                QCOMPARE(list()->view()->indexAt(QPoint(1, 1)), list()->view()->currentIndex()); // shown at the top
                QTest::keyClick(list()->view(), Qt::Key_Return);
                QTRY_VERIFY(!list()->view()->isVisible());
            }
        }
        QCOMPARE(texts(*m_window, ItemControls), shown);
    }

    void comingBack_data()
    {
        QTest::addColumn<QString>("from");      // another window of this program, its own message or another program
        QTest::addColumn<QString>("diet");      // no names: the file is gone
        QTest::addColumn<QString>("listed");    // each once, and the selected entry
        QTest::newRow("the same name in its place stays selected") << u"window"_s << u"Apple|Banana"_s << u"Apple|Banana|1"_s;
        QTest::newRow("a name inserted before drops the selection") << u"window"_s << u"Apricots|Apple|Banana"_s << u"Apricots|Apple|Banana|-1"_s;
        QTest::newRow("without a database all stays") << u"window"_s << QString() << Foods + u"|1"_s;
        QTest::newRow("from another program, no reload") << u"program"_s << u"Apricots|Apple|Banana"_s << Foods + u"|1"_s;
        QTest::newRow("from its own message, no reload") << u"message"_s << u"Apricots|Apple|Banana"_s << Foods + u"|1"_s;
    }

    // Banana chosen, a text typed, the database changed while the user was away.
    void comingBack()
    {
        QFETCH(QString, from); QFETCH(QString, diet); QFETCH(QString, listed);
        open();
        for (int i = 0; i < 2; ++i) QTest::keyClick(list()->lineEdit(), Qt::Key_Down); // the arrow keys choose too
        type(list()->lineEdit(), u"Che"_s);
        QVERIFY(writeDiet(diet));
        QWidget other(from == u"message" ? m_window.get() : nullptr, Qt::Dialog);
        other.setVisible(from != u"program"); // shown: the user was in a window of this program
        QApplication::setActiveWindow(other.isVisible() ? &other : nullptr);
        QApplication::setActiveWindow(m_window.get());
        QCOMPARE(qobject_cast<QStringListModel *>(list()->model())->stringList().join(u'|') + u'|' + QString::number(list()->selectedRow()), listed);
        QCOMPARE(texts(*m_window, u"Combo1 Label2"_s), u"Che|105"_s); // a reload chooses nothing
    }

    void noTextIsClippedEvenWithWideValues()
    {
        open(u"Feast"_s);
        for (int pass = 0; pass < 2; ++pass) { // at start-up, then with the widest values
            for (const QWidget *control : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(control->isHidden() || (m_window->rect().contains(control->geometry()) && textFits(control)),
                         qPrintable(control->objectName() + u": "_s + control->property("text").toString()));
            for (int i = 0; i < DayTally::CellCount; ++i)
                m_window->tally().setText(DayTally::Cell(i), i >= DayTally::FatPercent ? u"888"_s
                                                             : i == DayTally::TotalCholesterolMg ? u"8888"_s : u"8888.8"_s);
            m_window->showTally();
            QTest::keyClick(list()->lineEdit(), Qt::Key_Down);
        }
    }

    // Apple, two Bananas, the Apple off again; the day saved, reopened, then saved into a folder.
    void aDayThroughTheButtons()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::ButtonText, ButtonText);
        QApplication::setPalette(palette);
        open(u"Apple|Banana"_s);
        Form1 &window = *m_window;
        window.setClock(Testing::fixedClock(QDate(2026, 12, 4), QTime(13, 2, 3)));
        QLineEdit *item = list()->lineEdit();
        const auto click = [&window](const QString &b) { QTest::mouseClick(window.findChild<QPushButton *>(b), Qt::LeftButton); };

        QTest::keyClick(item, Qt::Key_Down); // the Apple
        click(u"Command3"_s);
        QTest::keyClick(item, Qt::Key_Down); // the Banana
        window.findChild<QLineEdit *>(u"Text1"_s)->selectAll();
        QTest::keyClicks(window.findChild<QLineEdit *>(u"Text1"_s), u"2"_s);
        click(u"Command3"_s);
        QCOMPARE(shownCells(window), u"11|N/A|300|11|1.3|0.3|75|2.9|0|0|322 red|3||93 red|3 red|0"_s);
        const QString apple = u"12-04-2026    01:02:03 PM|1 1 medium (138 Grams) of:|Apple|81|0.5|0.1|21|0.3|0|"_s;

        QTest::keyClick(item, Qt::Key_Up); // the Apple again, at portion 1; deleting leaves calories unrounded
        click(u"Command6"_s);
        QCOMPARE(shownCells(window), u"6.5|0|216|9.8|0.8|0.2|54|2.6|0|0|232 red|3||93 red|4 red|0"_s);
        QCOMPARE(bytesOf(u"mylist"_s), Testing::logEntry(apple + u"|89|4|84|1|0.5|0.1|21|0.3|0"_s)
                     + Testing::logEntry(u"12-04-2026    01:02:03 PM|2 1 medium (236 Grams) of:|Banana|210|0.8|0.2|54|2.6|0||322|11|300|11|1.3|0.3|75|2.9|0"_s)
                     + Testing::logEntry(apple + u"The above was deleted and below is the amended total:|232|6.5|216|9.8|0.8|0.2|54|2.6|0"_s));

        click(u"Command1"_s);
        QCOMPARE(bytesOf(u"12-04-2026"_s), QByteArray("12-04-2026\r\n6.5\r\n0\r\n216\r\n9.8\r\n0.8\r\n0.2\r\n54\r\n2.6\r\n0\r\n0\r\n"));
        click(u"Command7"_s); // whole calories; the sat fat calories and colours no rule sets stay
        QCOMPARE(shownCells(window), u"6|0|216|10|0.8|0.2|54|2.6|0|0|232 red|3||93 red|4 red|0"_s);

        QVERIFY(QFile::remove(u"12-04-2026"_s) && QDir::current().mkdir(u"12-04-2026"_s));
        click(u"Command1"_s); // a folder at the file's name fails the save, even for root
        QTRY_VERIFY(QApplication::activeModalWidget());
        QCOMPARE(QApplication::activeModalWidget()->property("text").toString(),
                 u"Could not save today's totals to \"12-04-2026\": "_s + QString::fromLocal8Bit(std::strerror(EISDIR)));
        QCOMPARE(shownCells(window), u"6|0|216|10|0.8|0.2|54|2.6|0|0|232 red|3||93 red|4 red|0"_s); // unchanged
    }

private:
    bool writeDiet(const QString &names)
    {
        const QMap<QString, QByteArray> values{{u"Apple"_s, "1 medium,0.5,81,21,0.3,0,138,0.1"},
            {u"Banana"_s, "1 medium,0.4,105,27,1.3,0,118,0.1"}, {u"Feast"_s, "1 platter,888.8,8888.8,888.8,888.8,8888,8888.8,888.8"}};
        QFile file(u"diet"_s);
        if (names.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return file.remove();
        for (const QString &name : names.split(u'|')) file.write(name.toLatin1() + ',' + values.value(name, "1 cup,1,10,1,1,0,100,0") + "\r\n");
        return true;
    }

    void open(const QString &names = Foods)
    {
        QVERIFY(writeDiet(names));
        (m_window = std::make_unique<Window>(m_table))->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void type(QLineEdit *box, const QString &text) // key by key into an emptied box
    { box->selectAll(); QTest::keyClick(box, Qt::Key_Delete); QTest::keyClicks(box, text); }
    ItemListBox *list() const { return m_window->findChild<ItemListBox *>(u"Combo1"_s); }

    FoodTable m_table;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Window> m_window;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
