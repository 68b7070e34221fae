#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "foodtable.h"
#include "form1.h"
#include "form3.h"
#include "itemlistbox.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QByteArray Apple = "Apple\r\n1 medium\r\n0.3\r\n81\r\n21\r\n0.3\r\n0\r\n138\r\n0.1\r\n";
const QByteArray Cheese = "Cheese\r\n1 oz\r\n9\r\n114\r\n0.4\r\n7\r\n30\r\n28\r\n6\r\n";
const QByteArray AppleCheese = Apple + Cheese;

} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enterChainAndTabOrder_data();
    void enterChainAndTabOrder();
    void editAnItemFillsFromChosenEntry();
    void savedItemShowsInTheMainList();
    void refusedTextNamesItsBox();

private:
    QLineEdit *box(const QString &name) const { return m_window->findChild<QLineEdit *>(name); }
    QPushButton *button(const QString &name) const { return m_window->findChild<QPushButton *>(name); }
    ItemListBox *list() const { return m_window->findChild<ItemListBox *>(u"Combo1"_s); }
    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QTemporaryDir *m_dir = nullptr;
    QString m_oldFolder;
    FoodTable m_table;
    QPointer<Form3> m_window;
};

void TestForm3::init()
{
    m_dir = new QTemporaryDir;
    m_oldFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_window = new Form3(m_table);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestForm3::cleanup()
{
    if (m_window)
        m_window->close();
    QTRY_VERIFY(m_window.isNull()); // closing deletes the window
    QDir::setCurrent(m_oldFolder);
    delete m_dir;
}

void TestForm3::enterChainAndTabOrder_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("afterEnter");
    QTest::addColumn<QString>("afterTab");

    QTest::newRow("Enter in the name goes to the portion, Tab to the fat") << u"Text1"_s << u"Text19"_s << u"Text2"_s;
    QTest::newRow("Enter in the portion goes to the fat, Tab to Save") << u"Text19"_s << u"Text2"_s << u"Command1"_s;
    QTest::newRow("fat to saturated fat") << u"Text2"_s << u"Text3"_s << u"Text3"_s;
    QTest::newRow("saturated fat to carbohydrates") << u"Text3"_s << u"Text4"_s << u"Text4"_s;
    QTest::newRow("carbohydrates to proteins") << u"Text4"_s << u"Text5"_s << u"Text5"_s;
    QTest::newRow("proteins to cholesterol") << u"Text5"_s << u"Text6"_s << u"Text6"_s;
    QTest::newRow("cholesterol to calories") << u"Text6"_s << u"Text7"_s << u"Text7"_s;
    QTest::newRow("calories to weight") << u"Text7"_s << u"Text8"_s << u"Text8"_s;
    QTest::newRow("Enter in the weight stays, Tab goes to the portion") << u"Text8"_s << u"Text8"_s << u"Text19"_s;
    QTest::newRow("Tab from Save skips the hidden list") << u"Command1"_s << QString() << u"Command2"_s;
}

void TestForm3::enterChainAndTabOrder()
{
    QFETCH(QString, from);
    QFETCH(QString, afterEnter);
    QFETCH(QString, afterTab);
    QTRY_COMPARE(focusName(), u"Text1"_s);

    QWidget *start = m_window->findChild<QWidget *>(from);
    if (!afterEnter.isEmpty()) {
        start->setFocus();
        QTRY_COMPARE(focusName(), from);
        QTest::keyClick(start, Qt::Key_Return);
        QTRY_COMPARE(focusName(), afterEnter);
    }
    start->setFocus();
    QTRY_COMPARE(focusName(), from);
    QTest::keyClick(start, Qt::Key_Tab);
    QTRY_COMPARE(focusName(), afterTab);
}

void TestForm3::editAnItemFillsFromChosenEntry()
{
    writeBytes(u"diet"_s, Apple + "\"  Bread\",1 slice,1,67,12.50,2,0,25,0.2\r\n" + Cheese);
    QVERIFY(!list()->isVisible());

    QTest::mouseClick(button(u"Command2"_s), Qt::LeftButton);
    QTest::mouseClick(button(u"Command2"_s), Qt::LeftButton);
    QTRY_VERIFY(list()->isVisible());
    const QStringList entries{u"Apple"_s, u"  Bread"_s, u"Cheese"_s};
    QCOMPARE(list()->count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(list()->itemText(i), entries.at(i));
    QCOMPARE(list()->currentText(), u"Type in food item and scroll to search ==>"_s);

    // Once shown, the list takes its place in the Tab order.
    button(u"Command1"_s)->setFocus();
    QTest::keyClick(button(u"Command1"_s), Qt::Key_Tab);
    QTRY_COMPARE(focusName(), u"Combo1"_s);

    list()->showPopup();
    QAbstractItemView *view = list()->view();
    QTRY_VERIFY(view->isVisible());
    const QRect third = view->visualRect(view->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third.center());

    const QList<std::pair<QString, QString>> filled{
        {u"Text1"_s, u"Cheese"_s}, {u"Text19"_s, u"1 oz"_s}, {u"Text2"_s, u"9"_s},
        {u"Text3"_s, u"6"_s},      {u"Text4"_s, u"0.4"_s},  {u"Text5"_s, u"7"_s},
        {u"Text6"_s, u"30"_s},     {u"Text7"_s, u"114"_s},  {u"Text8"_s, u"28"_s},
    };
    for (const auto &[name, text] : filled)
        QTRY_COMPARE(box(name)->text(), text);
}

// The editor opened from the main window saves an item; back in the main
// window, the list shows it at its place in name order.
void TestForm3::savedItemShowsInTheMainList()
{
    // Items read in any accepted form are written back in plain lines.
    writeBytes(u"diet"_s, "\"  Apple\",1 medium,0.3,81,21,0.3,0,138,0.1\r\n" + Cheese);
    m_window->close();
    QTRY_VERIFY(m_window.isNull());
    Form1 main(m_table);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    auto *mainList = main.findChild<ItemListBox *>(u"Combo1"_s);
    QTRY_COMPARE(mainList->count(), 2);

    QTest::mouseClick(main.findChild<QPushButton *>(u"Command8"_s), Qt::LeftButton);
    QTRY_VERIFY(qobject_cast<Form3 *>(QApplication::activeWindow()));
    m_window = qobject_cast<Form3 *>(QApplication::activeWindow());
    const QList<std::pair<QString, QString>> typed{
        {u"Text1"_s, u"Bagel, plain"_s}, {u"Text19"_s, u"1 small"_s}, {u"Text2"_s, u"1.1"_s},
        {u"Text3"_s, u"0.2"_s},          {u"Text4"_s, u"38"_s},       {u"Text5"_s, u"7.5"_s},
        {u"Text6"_s, u"0"_s},            {u"Text7"_s, u"195"_s},      {u"Text8"_s, u"69"_s},
    };
    for (const auto &[name, text] : typed)
        QTest::keyClicks(box(name), text);
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);

    QTRY_COMPARE(box(u"Text1"_s)->text(), u"Done! Make another entry or CLOSE programs!"_s);
    QCOMPARE(box(u"Text8"_s)->text(), u"69"_s);
    QCOMPARE(bytesOf(u"dblog"_s), QByteArray("1\r\n"));
    QCOMPARE(bytesOf(u"diet"_s),
             Apple + "\"Bagel, plain\"\r\n1 small\r\n1.1\r\n195\r\n38\r\n7.5\r\n0\r\n69\r\n0.2\r\n" + Cheese);

    main.activateWindow();
    QTRY_COMPARE(mainList->count(), 3);
    QCOMPARE(mainList->itemText(1), u"Bagel, plain"_s);
    QCOMPARE(mainList->itemText(2), u"Cheese"_s);
}

void TestForm3::refusedTextNamesItsBox()
{
    writeBytes(u"diet"_s, AppleCheese);
    QTest::keyClicks(box(u"Text19"_s), u"\"cup"_s);

    // The message box runs its own event loop; answer it from there.
    QString shown;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&poll, &shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
            poll.stop();
        }
    });
    poll.start(10);
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);

    QTRY_COMPARE(shown, u"The item was not saved: the text in \"Portion Size\" cannot be stored in "
                         "the food database as it stands. Take out its double quotation marks. "
                         "Nothing was changed."_s);
    QCOMPARE(box(u"Text1"_s)->text(), QString());
    QCOMPARE(bytesOf(u"diet"_s), AppleCheese);
    QCOMPARE(bytesOf(u"dblog"_s), QByteArray("<missing>"));
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
