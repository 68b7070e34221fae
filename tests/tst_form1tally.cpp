// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "form1.h"
#include "itemlistbox.h"
#include "testsupport.h"
#include "textfile.h"

using namespace Qt::StringLiterals;
using namespace Testing;

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

class TestForm1Tally : public QObject
{
    Q_OBJECT

private slots:
    void aDayThroughTheButtons();
};

// Apple, two Bananas, the Apple off again; the day saved, reopened, then saved into a folder.
void TestForm1Tally::aDayThroughTheButtons()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::ButtonText, ButtonText);
    QApplication::setPalette(palette);
    QTemporaryDir folder;
    QVERIFY(QDir::setCurrent(folder.path()));
    QVERIFY(TextFile::writeAtomically(u"diet"_s, u"Apple\n1 medium\n0.5\n81\n21\n0.3\n0\n138\n0.1\n"
                                                  "Banana\n1 medium\n0.4\n105\n27\n1.3\n0\n118\n0.1\n"_s));
    FoodTable table;
    Form1 window(table);
    window.setClock(fixedClock(QDate(2026, 12, 4), QTime(13, 2, 3)));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QLineEdit *item = window.findChild<ItemListBox *>(u"Combo1"_s)->lineEdit();
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
    QCOMPARE(bytesOf(u"mylist"_s), logEntry(apple + u"|89|4|84|1|0.5|0.1|21|0.3|0"_s)
                 + logEntry(u"12-04-2026    01:02:03 PM|2 1 medium (236 Grams) of:|Banana|210|0.8|0.2|54|2.6|0||322|11|300|11|1.3|0.3|75|2.9|0"_s)
                 + logEntry(apple + u"The above was deleted and below is the amended total:|232|6.5|216|9.8|0.8|0.2|54|2.6|0"_s));

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

QTEST_MAIN(TestForm1Tally)
#include "tst_form1tally.moc"
