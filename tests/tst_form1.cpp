#include <memory>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>

#include "foodtable.h"
#include "form1.h"
#include "itemlistbox.h"

using namespace Qt::StringLiterals;

namespace {

// The main window with its inner workings opened up for the tests.
class Window : public Form1
{
public:
    explicit Window(FoodTable &table) : Form1(table) {}
    using Form1::load;
    using Form1::showSecondaryWindow;
    using Form1::showTally;
    using Form1::tally;

    ItemListBox *list() const { return findChild<ItemListBox *>(u"Combo1"_s); }
    QStringList texts(const QStringList &controls) const
    {
        QStringList shown;
        for (const QString &name : controls)
            shown << findChild<QWidget *>(name)->property("text").toString();
        return shown;
    }
};

// "a b c" as a list of names; "x|y||z" as a list of texts, empty ones included.
QStringList names(const QString &spaced) { return spaced.split(u' '); }
QStringList barred(const QString &texts) { return texts.split(u'|'); }

// Measure, weight, calories, fat / sat fat / carb / protein calories, their grams, cholesterol.
const QStringList ItemControls = names(u"Label79 Label86 Label2 Label25 Label26 Label27 Label28 "
                                       "Label42 Label43 Label44 Label45 Label46"_s);
const QString Unchosen = u"U.S. Measures||||N/A"_s + QString(7, u'|');
const QString AppleOnce = u"1 medium|138|81|4.5|N/A|84|1.2|0.5|0.1|21|0.3|0"_s;
const QColor ButtonText(10, 20, 30);

void writeDiet(const QStringList &foods)
{
    // Name, then measure, fat, calories, carbohydrates, proteins, cholesterol, weight, sat fat.
    QByteArray text;
    for (const QString &name : foods) {
        const QByteArray values = name == u"Apple" ? "1 medium,0.5,81,21,0.3,0,138,0.1"
            : name == u"Banana" ? "1 medium,0.4,105,27,1.3,0,118,0.1"
            : name == u"Feast"  ? "1 platter,888.8,8888.8,888.8,888.8,8888,8888.8,888.8"
                                : "1 cup,1,10,1,1,0,100,0";
        text += name.toLatin1() + "\r\n" + values.split(',').join("\r\n") + "\r\n";
    }
    QFile file(u"diet"_s);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QStringList entries(const QComboBox *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

// The control of the window that holds the keyboard focus.
QString focusedControl(const QWidget &window)
{
    QWidget *widget = QApplication::focusWidget();
    while (widget && widget->parentWidget() != &window)
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

// Whether a control shows its whole text: word-wrapped labels in their
// height, boxes between their margins, everything else at its size hint.
bool textFits(const QWidget *control)
{
    const auto *label = qobject_cast<const QLabel *>(control);
    if (label && label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    const auto *list = qobject_cast<const QComboBox *>(control);
    if (const auto *box = list ? list->lineEdit() : qobject_cast<const QLineEdit *>(control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame()
            ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
        const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box)
                               .marginsRemoved(box->textMargins()).adjusted(2, 0, -2, 0);
        return box->fontMetrics().horizontalAdvance(box->text()) <= room.width()
            && box->fontMetrics().height() <= room.height()
            && control->sizeHint().height() <= control->height();
    }
    return control->sizeHint().width() <= control->width()
        && control->sizeHint().height() <= control->height();
}

} // namespace

// How the user comes back to the main window.
enum class Return { FromForkwellWindow, AfterClosingForkwellWindow, FromOtherProgram, FromItemList };
Q_DECLARE_METATYPE(Return)
Q_DECLARE_METATYPE(CellColour)

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void totalsCells_data();
    void totalsCells();
    void usingTheItemList_data();
    void usingTheItemList();
    void choosingAndPortions_data();
    void choosingAndPortions();
    void comingBack_data();
    void comingBack();
    void openingTheListStartsAtTheFirstMatch_data();
    void openingTheListStartsAtTheFirstMatch();
    void noTextIsClippedAndNothingOverlaps_data();
    void noTextIsClippedAndNothingOverlaps();
    void focusOrderAndAccessibleNames();
    void secondaryWindowOpensOnceAndAgainAfterClosing();
    void fullDatabase();

private:
    void show(Window &window);
    void type(QLineEdit *box, const QString &text); // replaces the text keystroke by keystroke
    void choose(Window &window, const QString &prefix); // types, opens the list, takes the first match

    FoodTable m_table;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_startFolder = QDir::currentPath();
};

void TestForm1::initTestCase()
{
    // A button text colour of its own, to tell it from the window text colour.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::ButtonText, ButtonText);
    QApplication::setPalette(palette);
}

void TestForm1::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(m_folder->path()));
    writeDiet(names(u"Apple Banana Cherries"_s));
}

void TestForm1::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_folder.reset();
}

void TestForm1::show(Window &window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void TestForm1::type(QLineEdit *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void TestForm1::choose(Window &window, const QString &prefix)
{
    type(window.list()->lineEdit(), prefix);
    QTest::keyClick(window.list()->lineEdit(), Qt::Key_F4);
    QTRY_VERIFY(window.list()->view()->isVisible());
    QTest::keyClick(window.list()->view(), Qt::Key_Return);
    QTRY_VERIFY(!window.list()->view()->isVisible());
}

void TestForm1::totalsCells_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QColor>("startColour");

    const QColor red(255, 0, 0);
    const QColor darkBlue(0, 0, 128);
    const QStringList controls = names(u"Label48 Label49 Label50 Label51 Label54 Label55 Label56 "
                                       "Label57 Label58 Label59 Label83 Label60 Label61 Label62 "
                                       "Label63 Label64"_s);
    for (int cell = 0; cell < DayTally::CellCount; ++cell) {
        QTest::newRow(qPrintable(controls[cell]))
            << cell << (cell == DayTally::TotalSatFatCalories ? u"N/A"_s : QString())
            << (cell == DayTally::TodayCalories ? red
                : cell == DayTally::FatPercent  ? darkBlue : ButtonText);
    }
}

void TestForm1::totalsCells()
{
    QFETCH(int, cell);
    QFETCH(QString, startText);
    QFETCH(QColor, startColour);
    Window window(m_table);
    show(window);
    const auto *control = window.findChild<QLabel *>(QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(control->text(), startText);
    QCOMPARE(control->palette().color(QPalette::WindowText), startColour);

    for (int i = 0; i < DayTally::CellCount; ++i)
        window.tally().setText(DayTally::Cell(i), QString::number(10 * (i + 1)));
    const std::array<std::pair<CellColour, QColor>, 4> colours{{
        {CellColour::Green, QColor(0, 192, 0)}, {CellColour::Red, QColor(255, 0, 0)},
        {CellColour::Standard, ButtonText}, {CellColour::DarkBlue, QColor(0, 0, 128)}}};
    const auto &[colour, shown] = colours[static_cast<std::size_t>(cell) % colours.size()];
    window.tally().setColour(DayTally::Cell(cell), colour);
    window.showTally();
    // Today's total is the fat, carbohydrate and protein calories added up.
    const int value = cell == DayTally::TodayCalories ? 10 + 30 + 40 : 10 * (cell + 1);
    QCOMPARE(control->text(), QString::number(value));
    QCOMPARE(control->palette().color(QPalette::WindowText), shown);
}

void TestForm1::usingTheItemList_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("fields");

    QTest::newRow("Enter in the opened list chooses") << 0 << AppleOnce;
    QTest::newRow("the arrow key chooses") << 1 << AppleOnce;
    QTest::newRow("a click into the opened list chooses") << 2 << AppleOnce;
    QTest::newRow("a typed name and Enter choose nothing") << 3 << Unchosen;
    QTest::newRow("a typed name and leaving the box choose nothing") << 4 << Unchosen;
}

void TestForm1::usingTheItemList()
{
    QFETCH(int, way);
    QFETCH(QString, fields);
    Window window(m_table);
    show(window);
    ItemListBox *list = window.list();
    if (way == 0) {
        choose(window, u"app"_s);
    } else if (way == 1) {
        QTest::keyClick(list->lineEdit(), Qt::Key_Down);
    } else if (way == 2) {
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        const QRect first = list->view()->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, first.center());
    } else {
        type(list->lineEdit(), u"Apple"_s);
        QTest::keyClick(list->lineEdit(), way == 3 ? Qt::Key_Return : Qt::Key_Tab);
    }
    QCOMPARE(list->currentText(), u"Apple"_s);
    QCOMPARE(list->selectedRow(), fields == AppleOnce ? 0 : -1);
    QCOMPARE(window.texts(ItemControls), barred(fields));
}

void TestForm1::choosingAndPortions_data()
{
    QTest::addColumn<QStringList>("steps"); // "choose X" or "portion N", in order
    QTest::addColumn<QString>("portion");
    QTest::addColumn<QString>("fields");

    QTest::newRow("portion 2 doubles all and empties sat fat calories")
        << barred(u"choose Apple|portion 2"_s) << u"2"_s
        << u"1 medium|276|162|9||168|2.4|1|0.2|42|0.6|0"_s;
    QTest::newRow("typing 1 then 2 is portion 12")
        << barred(u"choose Apple|portion 12"_s) << u"12"_s
        << u"1 medium|1656|972|54||1008|14.4|6|1.2|252|3.6|0"_s;
    QTest::newRow("an emptied box is portion 0") << barred(u"choose Apple|portion "_s) << QString()
        << u"1 medium|0|0|0||0|0|0|0|0|0|0"_s;
    QTest::newRow("a portion with nothing chosen changes nothing")
        << barred(u"portion 3"_s) << u"3"_s << Unchosen;
    QTest::newRow("choosing after a typed portion resets it for the chosen item")
        << barred(u"portion 3|choose Apple"_s) << u"1"_s
        << u"1 medium|138|81|4.5||84|1.2|0.5|0.1|21|0.3|0"_s;
    QTest::newRow("another item after a portion change shows its own values")
        << barred(u"choose Apple|portion 2|choose Banana"_s) << u"1"_s
        << u"1 medium|118|105|3.6||108|5.2|0.4|0.1|27|1.3|0"_s;
}

void TestForm1::choosingAndPortions()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, portion);
    QFETCH(QString, fields);
    Window window(m_table);
    show(window);
    auto *box = window.findChild<QLineEdit *>(u"Text1"_s);
    for (const QString &step : steps) {
        if (step.startsWith(u"choose "))
            choose(window, step.mid(7));
        else
            type(box, step.mid(8));
    }
    QCOMPARE(box->text(), portion);
    QCOMPARE(window.texts(ItemControls), barred(fields));
}

void TestForm1::comingBack_data()
{
    QTest::addColumn<Return>("how");
    QTest::addColumn<QString>("diet"); // empty: the file is gone
    QTest::addColumn<QString>("listed");
    QTest::addColumn<int>("selected");

    const QString before = u"Apple Banana Cherries"_s;
    const QString inserted = u"Apricots Apple Banana"_s;
    const QString appended = before + u" Dates"_s;
    QTest::newRow("from another window, the same name in its place stays selected")
        << Return::FromForkwellWindow << appended << appended << 1;
    QTest::newRow("from another window, a name inserted before drops the selection")
        << Return::FromForkwellWindow << inserted << inserted << -1;
    QTest::newRow("from another window, a shorter list drops the selection")
        << Return::FromForkwellWindow << u"Apple"_s << u"Apple"_s << -1;
    QTest::newRow("from another window without a database, all stays")
        << Return::FromForkwellWindow << QString() << before << 1;
    QTest::newRow("after closing another window, reloads")
        << Return::AfterClosingForkwellWindow << inserted << inserted << -1;
    QTest::newRow("from another program, no reload")
        << Return::FromOtherProgram << inserted << before << 1;
    QTest::newRow("from the opened item list, no reload")
        << Return::FromItemList << inserted << before << 1;
}

void TestForm1::comingBack()
{
    QFETCH(Return, how);
    QFETCH(QString, diet);
    QFETCH(QString, listed);
    QFETCH(int, selected);
    Window window(m_table);
    show(window);
    ItemListBox *list = window.list();
    choose(window, u"Ban"_s);
    type(list->lineEdit(), u"Che"_s);
    if (diet.isEmpty())
        QVERIFY(QFile::remove(u"diet"_s));
    else
        writeDiet(names(diet));

    QPointer<QWidget> other = new QWidget;
    other->setAttribute(Qt::WA_DeleteOnClose);
    if (how == Return::FromForkwellWindow || how == Return::AfterClosingForkwellWindow) {
        other->show();
        QTRY_VERIFY(other->isActiveWindow());
        if (how == Return::AfterClosingForkwellWindow)
            other->close();
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow());
    } else if (how == Return::FromOtherProgram) {
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&window);
        QVERIFY(window.isActiveWindow());
    } else {
        // Some desktops activate the opened list as a window of its own.
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(list->view()->window(), &activation);
        QTest::keyClick(list->view(), Qt::Key_Escape);
        QTRY_VERIFY(!list->view()->isVisible());
        QCoreApplication::sendEvent(&window, &activation);
    }
    delete other.data();

    QCOMPARE(entries(list), names(listed));
    QCOMPARE(list->selectedRow(), selected);
    QCOMPARE(list->currentText(), u"Che"_s);
    QCOMPARE(window.texts({u"Label2"_s}), QStringList{u"105"_s}); // a reload chooses nothing
    type(window.findChild<QLineEdit *>(u"Text1"_s), u"2"_s);
    QCOMPARE(window.texts({u"Label2"_s}), QStringList{selected < 0 ? u"105"_s : u"210"_s});
}

void TestForm1::openingTheListStartsAtTheFirstMatch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("first");

    QTest::newRow("any case finds the first of several") << u"BANANA"_s << 10;
    QTest::newRow("a longer prefix finds a later one") << u"banana c"_s << 11;
    QTest::newRow("nothing typed starts at the top") << QString() << 0;
}

void TestForm1::openingTheListStartsAtTheFirstMatch()
{
    QFETCH(QString, typed);
    QFETCH(int, first);
    QStringList foods(40, u"Food"_s);
    foods[10] = u"Banana bread"_s;
    foods[11] = u"banana chips"_s;
    foods[12] = u"Banana"_s;
    writeDiet(foods);
    Window window(m_table);
    show(window);
    ItemListBox *list = window.list();
    type(list->lineEdit(), typed);
    QTest::keyClick(list->lineEdit(), Qt::Key_F4);
    QTRY_VERIFY(list->view()->isVisible());

    QCOMPARE(list->view()->currentIndex().row(), first);
    QCOMPARE(list->view()->indexAt(QPoint(1, 1)).row(), first); // shown at the top
    QTest::keyClick(list->view(), Qt::Key_Escape);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(list->selectedRow(), -1);
    QCOMPARE(list->currentText(), typed);
}

void TestForm1::noTextIsClippedAndNothingOverlaps_data()
{
    QTest::addColumn<bool>("wide");
    QTest::newRow("at start-up") << false;
    QTest::newRow("with an item and totals of wide values") << true;
}

void TestForm1::noTextIsClippedAndNothingOverlaps()
{
    QFETCH(bool, wide);
    writeDiet(names(u"Feast"_s));
    Window window(m_table);
    show(window);
    for (int i = 0; wide && i < DayTally::CellCount; ++i) {
        const bool share = i >= DayTally::FatPercent;
        const bool milligrams = i == DayTally::TotalCholesterolMg;
        window.tally().setText(DayTally::Cell(i), share ? u"888"_s : milligrams ? u"8888"_s : u"8888.8"_s);
    }
    window.showTally();
    if (wide)
        choose(window, u"Feast"_s);

    const QList<QWidget *> controls = window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 67);
    for (const QWidget *control : controls) {
        if (control->isHidden())
            continue;
        const QString name = control->objectName();
        QVERIFY2(window.rect().contains(control->geometry()), qPrintable(name));
        QVERIFY2(textFits(control), qPrintable(name + u": "_s + control->property("text").toString()));
        for (const QWidget *other : controls) {
            QVERIFY2(other == control || other->isHidden()
                         || !other->geometry().intersects(control->geometry()),
                     qPrintable(name + u" overlaps "_s + other->objectName()));
        }
    }
}

void TestForm1::focusOrderAndAccessibleNames()
{
    Window window(m_table);
    show(window);
    const QStringList order = names(u"Combo1 Text1 Command1 Command2 Command3 Command5 Command6 "
                                    "Command7 Command8 Combo1"_s);
    QCOMPARE(focusedControl(window), order.first());
    for (const QString &next : order.mid(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedControl(window), next);
    }

    // What a screen reader says on reaching each control; the fields read their values.
    const QStringList spoken = barred(u"Food item|Portion Size|Save|Help|Add Above To My List|"
                                      "View My List|Delete|Open|Add New Item|U.S. Measures|N/A"_s);
    const QStringList controls = order.mid(0, 9) + names(u"Label79 Label29"_s);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        QWidget *control = window.findChild<QWidget *>(controls[i]);
        if (auto *list = qobject_cast<QComboBox *>(control)) // its text box takes the focus
            control = list->lineEdit();
        QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), spoken[i]);
    }
}

void TestForm1::secondaryWindowOpensOnceAndAgainAfterClosing()
{
    Window window(m_table);
    show(window);
    QPointer<QWidget> help;
    int made = 0;
    const auto press = [&] {
        window.showSecondaryWindow(help, [&made] { ++made; return new QWidget; });
    };
    press();
    QTRY_VERIFY(help->isActiveWindow());
    QVERIFY(!help->parentWidget());
    const QWidget *first = help;

    // A second press brings the same window back to the front.
    window.activateWindow();
    QTRY_VERIFY(window.isActiveWindow());
    help->setWindowState(Qt::WindowMinimized);
    press();
    QCOMPARE(help.data(), first);
    QVERIFY(!help->isMinimized());
    QTRY_VERIFY(help->isActiveWindow());

    // Once the user closed it, the next press opens it anew.
    help->close();
    QTRY_VERIFY(!help);
    press();
    QCOMPARE(made, 2);

    // Closing the main window leaves it open.
    window.close();
    QVERIFY(help->isVisible());
    delete help.data();
}

void TestForm1::fullDatabase()
{
    QStringList foods;
    for (int i = 0; i < FoodTable::RowCount; ++i)
        foods << u"Food item %1"_s.arg(i, 5, 10, QChar(u'0'));
    writeDiet(foods);
    Window window(m_table);
    show(window);
    QBENCHMARK {
        window.load();
    }
    QCOMPARE(entries(window.list()), foods);

    // Typing a name and opening the list stays instant.
    QElapsedTimer timer;
    timer.start();
    type(window.list()->lineEdit(), u"food item 149"_s);
    QTest::keyClick(window.list()->lineEdit(), Qt::Key_F4);
    qInfo("13 keys and opening the list of 15001: %lld ms", timer.elapsed());
    QCOMPARE(window.list()->view()->currentIndex().row(), 14900);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
