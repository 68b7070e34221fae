// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "forkwellui/form1.h"
#include "forkwellui/form3.h"
#include "forkwellui/itemlistbox.h"

using namespace Qt::StringLiterals;

const QStringList Boxes = u"Text1 Text19 Text2 Text3 Text4 Text5 Text6 Text7 Text8"_s.split(u' ');
const QString Diet = u"Apple\r\n1 medium\r\n0.3\r\n81\r\n21\r\n0.3\r\n0\r\n138\r\n0.1\r\n\"  Bread\",1 slice,1,67,"
                     "12.50,2,0,25,0.2\r\nCheese\r\n1 oz\r\n9\r\n114\r\n0.4\r\n7\r\n30\r\n28\r\n6\r\n"_s;

QString entries(const ItemListBox *list)
{
    return qobject_cast<const QStringListModel *>(list->model())->stringList().join(u'|');
}

class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QVERIFY(TextFile::writeAtomically(u"diet"_s, Diet));
        m_main = std::make_unique<Form1>(m_table);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QTest::mouseClick(m_main->findChild<QPushButton *>(u"Command8"_s), Qt::LeftButton);
        QTRY_VERIFY((m_window = qobject_cast<Form3 *>(QApplication::activeWindow())));
    }

    void cleanup() { m_main.reset(); }

    void editAnItemFillsFromTheChosenEntry()
    {
        auto *list = find<ItemListBox>(u"Combo1"_s);
        QVERIFY(!list->isVisible());
        click(u"Command2"_s);
        click(u"Command2"_s);
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(entries(list), u"Apple|  Bread|Cheese"_s); // once each, names as read
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        const QRect third = list->view()->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, third.center());
        QStringList filled;
        for (const QString &box : Boxes)
            filled += find(box)->text();
        QCOMPARE(filled.join(u'|'), u"Cheese|1 oz|9|6|0.4|7|30|114|28"_s);
        const QAccessibleInterface *weight = QAccessible::queryAccessibleInterface(find(u"Text8"_s)); // what a screen reader says of a box
        QCOMPARE(weight->text(QAccessible::Name) + u": "_s + weight->text(QAccessible::Description), u"Weight In Grams: weight of one portion, grams"_s);
    }

    void saving_data()
    {
        QTest::addColumn<QString>("typed"); // the boxes from the name down
        QTest::addColumn<QString>("dietEnd"); // added to "diet" first
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("listed"); // in the main window once back there
        QTest::newRow("a new item shows at its place in name order")
            << u"Bagel, plain|1 small|1.1|0.2|38|7.5|0|195|69"_s << QString() << QString() << u"Apple|Bagel, plain|Bread|Cheese"_s;
        QTest::newRow("a text that cannot be stored is refused, naming its box")
            << u"|\"cup|||||||"_s << QString() << u"The item was not saved: the text in \"Portion Size\" cannot be stored in the food "
                                     "database as it stands. Take out its double quotation marks. Nothing was changed."_s
            << u"Apple|  Bread|Cheese"_s;
        QTest::newRow("a blank line after the last item: not saved, without a word")
            << u"Fig|1|||||||"_s << u"\r\n"_s << QString() << u"Apple|  Bread|Cheese"_s;
    }

    void saving()
    {
        QFETCH(QString, typed); QFETCH(QString, dietEnd); QFETCH(QString, message); QFETCH(QString, listed);
        QVERIFY(TextFile::writeAtomically(u"diet"_s, Diet + dietEnd));
        for (qsizetype i = 0; i < Boxes.size(); ++i)
            QTest::keyClicks(find(Boxes[i]), typed.split(u'|')[i]);
        click(u"Command1"_s);
        const QWidget *shown = QApplication::activeModalWidget(); // a message stays open over the editor
        QCOMPARE(shown ? shown->property("text").toString() : QString(), message);
        const bool saved = message.isEmpty() && dietEnd.isEmpty();
        QVERIFY(saved || TextFile::read(u"diet"_s) == Diet + dietEnd);
        QTRY_COMPARE(find(u"Text1"_s)->text(), saved ? u"Done! Make another entry or CLOSE programs!"_s : typed.section(u'|', 0, 0));
        m_main->activateWindow();
        QTRY_COMPARE(entries(m_main->findChild<ItemListBox *>(u"Combo1"_s)), listed);
    }

private:
    template<typename Control = QLineEdit>
    Control *find(const QString &name) const { return m_window->findChild<Control *>(name); }
    void click(const QString &button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    std::unique_ptr<QTemporaryDir> m_dir;
    FoodTable m_table;
    std::unique_ptr<Form1> m_main; // the editor opens from it, as the user opens it
    Form3 *m_window = nullptr;
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
