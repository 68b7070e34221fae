// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/form1.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "database/foodtable.h"
#include "database/forkwellfiles.h"
#include "forkwellui/form2.h"
#include "forkwellui/form3.h"
#include "forkwellui/form4.h"
#include "forkwellui/itemlistbox.h"
#include "forkwellui/warning.h"
#include "nutrients/advisedranges.h"
#include "tally/daylist.h"
#include "tally/totalsfile.h"

using namespace Qt::StringLiterals;

namespace {

// The window is designed on a grid of twips (1440 to the inch); this is its
// client area.
constexpr int DesignWidth = 10035;
constexpr int DesignHeight = 4875;

// Sizes of the smaller types, relative to the window's own font.
constexpr double SmallType = 0.85;
constexpr double VerySmallType = 0.75;
constexpr qreal TodayPointSize = 15;

// Grid columns: fats, saturated fat, carbohydrates, proteins, cholesterol.
constexpr std::array<int, 5> CellLeft{1200, 1800, 2520, 3600, 4320};
constexpr std::array<int, 5> CellWidth{555, 675, 1035, 675, 435};
constexpr int RowHeight = 300;
constexpr int PercentTop = 3120;
constexpr int PercentHeight = 240; // the advice line starts right below
constexpr int PercentWidth = 375;
constexpr int SignWidth = 180;
constexpr int FibreLeft = 5280;

// The widest texts the value fields are laid out for.
const QString WideValue = u"8888.8"_s;
const QString WidePortion = u"0.25"_s;
const QString WideMilligrams = u"8888"_s;
const QString WidePercent = u"888"_s;
const QString WideTotal = u"-32768"_s;

// The advice's numbers are written as in English, "1,100", whatever the locale.
const QLocale English(QLocale::English, QLocale::UnitedStates);

// What each cell of the day holds, as a screen reader says it after the
// cell's value.
const std::array<QString, DayTally::CellCount> TallyDescriptions{
    u"running total of calories from fat"_s,
    u"running total of calories from saturated fat"_s,
    u"running total of calories from carbohydrates"_s,
    u"running total of calories from proteins"_s,
    u"running total of fat grams, saturated fat included"_s,
    u"running total of saturated fat grams"_s,
    u"running total of carbohydrate grams"_s,
    u"running total of protein grams"_s,
    u"running total of cholesterol milligrams"_s,
    u"running total of fibre grams"_s,
    u"today's calories"_s,
    u"share of today's calories from fat, percent"_s,
    u"share of today's calories from saturated fat, percent"_s,
    u"share of today's calories from carbohydrates, percent"_s,
    u"share of today's calories from proteins, percent"_s,
    u"today's cholesterol as a share of %1 milligrams, percent"_s.arg(AdvisedRanges::CholesterolMg),
};

// What a cell's colour tells, for those who cannot see it.
QString colourMeaning(CellColour colour)
{
    switch (colour) {
    case CellColour::Red:
        return u", outside the advised range"_s;
    case CellColour::Green:
        return u", inside the advised range"_s;
    case CellColour::Standard:
    case CellColour::DarkBlue:
        break;
    }
    return {};
}

QFont scaledFont(QFont font, double factor)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * factor))));
    return font;
}

QRect pixels(QRect twips, double scale)
{
    const auto at = [scale](int twip) { return static_cast<int>(std::lround(twip * scale)); };
    const int left = at(twips.left());
    const int top = at(twips.top());
    return QRect(left, top, at(twips.left() + twips.width()) - left,
                 at(twips.top() + twips.height()) - top);
}

int widestWord(const QFontMetrics &metrics, QStringView text)
{
    int widest = 0;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !text[at].isSpace())
            continue;
        if (at > start)
            widest = std::max(widest, metrics.horizontalAdvance(text.sliced(start, at - start).toString()));
        start = at + 1;
    }
    return widest;
}

const QLabel *wrappingLabel(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    return label && label->wordWrap() ? label : nullptr;
}

// The room a control needs for its text (or for roomFor, when wider). A
// label that wraps needs its widest word across; its height depends on its
// width and is left at 0 here.
QSize neededSize(const QWidget *widget, const QString &roomFor)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->wordWrap())
            return QSize(widestWord(metrics, label->text()), 0);
        QSize size = label->sizeHint();
        if (!roomFor.isEmpty())
            size = size.expandedTo(QSize(metrics.horizontalAdvance(roomFor), metrics.height()));
        return size;
    }
    if (const auto *box = qobject_cast<const QLineEdit *>(widget)) {
        // A line edit asks for room for 17 x; it needs room for its text.
        const QSize hint = box->sizeHint();
        const QString text = box->text().size() > roomFor.size() ? box->text() : roomFor;
        return QSize(hint.width() - 17 * metrics.horizontalAdvance(u'x')
                         + metrics.horizontalAdvance(text),
                     hint.height());
    }
    if (const auto *list = qobject_cast<const QComboBox *>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const QSize text(metrics.horizontalAdvance(list->currentText()),
                         std::max(metrics.height(), 14) + 2);
        return list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, list);
    }
    return widget->sizeHint();
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Sets what each widget holds, as a screen reader says it after its value.
void describe(std::initializer_list<std::pair<QWidget *, QStringView>> described)
{
    for (const auto &[widget, description] : described)
        widget->setAccessibleDescription(description.toString());
}

// The advice below the grid, which quotes the ranges the day's colours keep to.
QString adviceText()
{
    return u"It takes the average person about 2,000 calories just to sleep and breath.  Reduction "
           u"diets should be between %1 and %2 calories.  It takes about 3,500 in calorie loss "
           u"for 1 pound of body fat reduction.  Over exercising can stall a diet, so use moderate "
           u"exercise until you reach optimal weight.  Carbs produce sugar which runs the body.  Try "
           u"and keep carbs down (50% or so)  but not ultra low (under %3%).  Keep fats very low "
           u"(10-%4%).  Consult with a doctor on your health for a diet."_s
        .arg(English.toString(AdvisedRanges::CaloriesLow, 'f', 0),
             English.toString(AdvisedRanges::CaloriesHigh, 'f', 0), English.toString(AdvisedRanges::ShareLow),
             English.toString(AdvisedRanges::FatShareHigh, 'f', 0));
}

} // namespace

Form1::Form1(FoodTable &table, QWidget *parent)
    : QWidget(parent)
    , m_table(table)
{
    setWindowTitle(u"Forkwell 1.0"_s);
    buildControls();
    showItem();
    showTally();
    layOut();

    connect(m_itemList, &QComboBox::activated, this, &Form1::select);
    connect(m_portion, &QLineEdit::textChanged, this, &Form1::portionChanged);
    connect(m_addButton, &QPushButton::clicked, this, &Form1::addClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &Form1::deleteClicked);
    connect(m_saveButton, &QPushButton::clicked, this, &Form1::saveClicked);
    connect(m_openButton, &QPushButton::clicked, this, &Form1::openClicked);
    connect(m_addNewItemButton, &QPushButton::clicked, this, [this] {
        showSecondaryWindow(m_itemEditor, [this] { return new Form3(m_table, m_pixelsPerTwip); });
    });
    connect(m_viewListButton, &QPushButton::clicked, this, [this] {
        showSecondaryWindow(m_logViewer, [this] { return new Form2(m_pixelsPerTwip); });
    });
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        showSecondaryWindow(m_helpWindow, [this] { return new Form4(m_pixelsPerTwip); });
    });

    // Which window the user comes from decides whether the database is read
    // again, so every window's activation is watched.
    QCoreApplication::instance()->installEventFilter(this);
}

Form1::~Form1()
{
    delete m_logViewer.data();
    delete m_itemEditor.data();
    delete m_helpWindow.data();
}

void Form1::buildControls()
{
    // Built from the top of the window down, in the order the controls were
    // always made, which is the order screen readers walk them in.
    buildItemArea();
    buildGridCaptions();
    buildValueRows();
    buildPercentRow();
    buildTodayAndNotes();

    QWidget *previous = m_itemList;
    for (QWidget *next : std::initializer_list<QWidget *>{
             m_portion, m_saveButton, m_helpButton, m_addButton, m_viewListButton,
             m_deleteButton, m_openButton, m_addNewItemButton}) {
        setTabOrder(previous, next);
        previous = next;
    }
    m_itemList->setFocus();
}

// Top: the item, its portion and measure, the item's calories, and the
// buttons that act on the item.
void Form1::buildItemArea()
{
    m_itemList = new ItemListBox(this);
    m_itemList->setObjectName(u"Combo1"_s);
    m_itemList->setEditText(u"Type in food item and use scroll button to search =====>"_s);
    // Screen readers on some desktops read the list's text box, not the list.
    m_itemList->setAccessibleName(u"Food item"_s);
    m_itemList->lineEdit()->setAccessibleName(u"Food item"_s);
    m_itemList->setAccessibleDescription(
        u"Type the beginning of a food's name, then open the list to find it"_s);
    place(m_itemList, QRect(120, 0, 4695, 345));

    QLabel *portionCaption = addLabel(u"Label3", QRect(4920, 0, 915, 345), u"Portion Size"_s);
    m_portion = new QLineEdit(u"1"_s, this);
    m_portion->setObjectName(u"Text1"_s);
    m_portion->setAccessibleName(u"Portion Size"_s);
    portionCaption->setBuddy(m_portion);
    place(m_portion, QRect(5880, 0, 435, 345), WidePortion);

    QLabel *measure = addLabel(u"Label79", QRect(6360, 0, 3615, 240));
    QLabel *weight = addLabel(u"Label86", QRect(6360, 240, 780, RowHeight), {}, WideValue);
    addLabel(u"Label85", QRect(7200, 240, 660, RowHeight), u"Grams"_s);

    QLabel *itemCaption = addLabel(u"Label1", QRect(120, 360, 1260, 360),
                                   u"Total Calories For Item and Portion =>"_s);
    itemCaption->setFont(scaledFont(font(), SmallType));
    itemCaption->setWordWrap(true);
    itemCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLabel *calories = addLabel(u"Label2", QRect(1440, 360, 1620, RowHeight), {}, WideValue);

    m_deleteButton = addButton(u"Command6", QRect(3120, 360, 1215, 345), u"Delete"_s);
    m_openButton = addButton(u"Command7", QRect(5040, 360, 1215, 345), u"Open"_s);
    m_addButton = addButton(u"Command3", QRect(7920, 360, 1995, 345), u"Add Above To My List"_s);

    m_itemLabels = {
        {&ItemFields::measure, measure},
        {&ItemFields::weight, weight},
        {&ItemFields::calories, calories},
    };
    // What the portion box and the value cells hold, read by screen readers
    // after each value.
    describe({
        {m_portion, u"how many of the food's portions you ate; every value below is for that many"},
        {measure, u"measure of one portion of the food"},
        {weight, u"weight of this portion, grams"},
        {calories, u"calories in this portion"},
    });
}

// The grid's column headers and row captions.
void Form1::buildGridCaptions()
{
    const std::array<std::pair<QStringView, int>, 5> headers{{
        {u"Fats", 1200}, {u"(Sat)", 1680}, {u"Carbohydrates", 2160}, {u"Proteins", 3360},
        {u"Cholesterol", 4080}}};
    const std::array<QStringView, 5> headerNames{u"Label4", u"Label5", u"Label6", u"Label8",
                                                 u"Label9"};
    const std::array<int, 5> headerWidths{435, 435, 1155, 675, 1035};
    for (std::size_t i = 0; i < headers.size(); ++i)
        addLabel(headerNames[i], QRect(headers[i].second, 720, headerWidths[i], RowHeight),
                 headers[i].first.toString());

    addLabel(u"Label20", QRect(120, 1080, 1035, RowHeight), u"Calories"_s);
    addLabel(u"Label21", QRect(120, 1440, 1035, RowHeight), u"Grams"_s);
    QLabel *heading = addLabel(u"Label22", QRect(120, 1800, 1035, 540), u"Running Total Below"_s);
    heading->setWordWrap(true);
    addLabel(u"Label23", QRect(120, 2400, 1035, RowHeight), u"Calories"_s);
    addLabel(u"Label24", QRect(120, 2760, 1035, RowHeight), u"Grams"_s);
    addLabel(u"Label87", QRect(120, PercentTop, 1035, PercentHeight), u"Food Percent"_s);
}

// The item's calories and grams, then the day's: four rows of five cells,
// fats, saturated fat, carbohydrates, proteins and cholesterol.
void Form1::buildValueRows()
{
    // One row of five cells; the cholesterol cell needs room for milligrams only.
    const auto cellRow = [this](std::array<QStringView, 5> names, int top,
                                std::array<QString, 5> texts) {
        std::array<QLabel *, 5> row{};
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = addLabel(names[i], QRect(CellLeft[i], top, CellWidth[i], RowHeight), texts[i],
                              i == 4 ? WideMilligrams : WideValue);
        return row;
    };
    const QString na = u"N/A"_s;
    const auto itemCalories = cellRow({{u"Label25", u"Label26", u"Label27", u"Label28", u"Label29"}},
                                      1080, {{{}, na, {}, {}, na}});
    const auto itemGrams = cellRow({{u"Label42", u"Label43", u"Label44", u"Label45", u"Label46"}},
                                   1440, {});
    addLabel(u"Label84_0", QRect(4800, 1440, 360, RowHeight), u"mg"_s);
    const auto totalCalories = cellRow({{u"Label48", u"Label49", u"Label50", u"Label51", u"Label52"}},
                                       2400, {{{}, {}, {}, {}, na}});
    const auto totalGrams = cellRow({{u"Label54", u"Label55", u"Label56", u"Label57", u"Label58"}},
                                    2760, {});
    addLabel(u"Label84_1", QRect(4800, 2760, 360, RowHeight), u"mg"_s);

    m_itemLabels.insert(m_itemLabels.end(), {
        {&ItemFields::fatCalories, itemCalories[0]},
        {&ItemFields::satFatCalories, itemCalories[1]},
        {&ItemFields::carbCalories, itemCalories[2]},
        {&ItemFields::proteinCalories, itemCalories[3]},
        {&ItemFields::fatGrams, itemGrams[0]},
        {&ItemFields::satFatGrams, itemGrams[1]},
        {&ItemFields::carbGrams, itemGrams[2]},
        {&ItemFields::proteinGrams, itemGrams[3]},
        {&ItemFields::cholesterolMg, itemGrams[4]},
    });
    // The day's cells are described as they are shown.
    describe({
        {itemCalories[0], u"calories from fat in this portion"},
        {itemCalories[1], u"calories from saturated fat in this portion"},
        {itemCalories[2], u"calories from carbohydrates in this portion"},
        {itemCalories[3], u"calories from proteins in this portion"},
        {itemCalories[4], u"calories from cholesterol in this portion"},
        {itemGrams[0], u"grams of fat in this portion, saturated fat included"},
        {itemGrams[1], u"grams of saturated fat in this portion"},
        {itemGrams[2], u"grams of carbohydrates in this portion"},
        {itemGrams[3], u"grams of proteins in this portion"},
        {itemGrams[4], u"milligrams of cholesterol in this portion"},
        {totalCalories[4], u"running total of calories from cholesterol"},
    });

    m_tallyLabels[DayTally::TotalFatCalories] = totalCalories[0];
    m_tallyLabels[DayTally::TotalSatFatCalories] = totalCalories[1];
    m_tallyLabels[DayTally::TotalCarbCalories] = totalCalories[2];
    m_tallyLabels[DayTally::TotalProteinCalories] = totalCalories[3];
    m_tallyLabels[DayTally::TotalFatGrams] = totalGrams[0];
    m_tallyLabels[DayTally::TotalSatFatGrams] = totalGrams[1];
    m_tallyLabels[DayTally::TotalCarbGrams] = totalGrams[2];
    m_tallyLabels[DayTally::TotalProteinGrams] = totalGrams[3];
    m_tallyLabels[DayTally::TotalCholesterolMg] = totalGrams[4];
}

// The day's shares under the grid, and the hidden fibre column.
void Form1::buildPercentRow()
{
    // The percentages stand right-aligned against their "%" signs; the
    // saturated fat share has no sign.
    const auto percentCell = [this](QStringView name, std::size_t column, QStringView sign) {
        QLabel *cell = addLabel(name, QRect(CellLeft[column], PercentTop,
                                            sign.isEmpty() ? CellWidth[column] : PercentWidth,
                                            PercentHeight),
                                {}, WidePercent);
        if (!sign.isEmpty()) {
            cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            addLabel(sign, QRect(CellLeft[column] + PercentWidth, PercentTop, SignWidth,
                                 PercentHeight),
                     u"%"_s);
        }
        return cell;
    };
    m_tallyLabels[DayTally::FatPercent] = percentCell(u"Label60", 0, u"Label76_0");
    m_tallyLabels[DayTally::SatFatPercent] = percentCell(u"Label61", 1, {});
    m_tallyLabels[DayTally::CarbPercent] = percentCell(u"Label62", 2, u"Label76_2");
    m_tallyLabels[DayTally::ProteinPercent] = percentCell(u"Label63", 3, u"Label76_3");
    m_tallyLabels[DayTally::CholesterolPercent] = percentCell(u"Label64", 4, u"Label76_4");

    // The fibre column is kept, as the totals files carry it, but never shown.
    const std::array<std::pair<QStringView, int>, 4> fibre{{
        {u"Label47", 1440}, {u"Label53", 2400}, {u"Label59", 2760}, {u"Label65", PercentTop}}};
    for (const auto &[name, top] : fibre) {
        QLabel *cell = addLabel(name, QRect(FibreLeft, top, 600, PercentHeight));
        cell->hide();
        if (name == u"Label59")
            m_tallyLabels[DayTally::TotalFibreGrams] = cell;
    }
}

// Today's calories beside the grid, then the advice, the notes and the
// buttons below it.
void Form1::buildTodayAndNotes()
{
    const QFont small = scaledFont(font(), SmallType);
    QLabel *todayCaption = addLabel(u"Label82", QRect(6120, 2400, 1500, 600),
                                    u"You Total Calories Today Are:"_s);
    todayCaption->setWordWrap(true);
    QLabel *today = addLabel(u"Label83", QRect(7680, 2400, 2295, 600), {}, WideTotal);
    QFont large = font();
    large.setPointSizeF(TodayPointSize);
    large.setBold(true);
    today->setFont(large);
    m_tallyLabels[DayTally::TodayCalories] = today;

    QLabel *cholesterolAdvice = addLabel(
        u"Label88", QRect(3000, 3360, 5580, 240),
        u"Try to keep CHOLESTEROL UNDER %1mg and less than 100% each day!"_s.arg(AdvisedRanges::CholesterolMg));
    cholesterolAdvice->setFont(scaledFont(font(), VerySmallType));
    m_viewListButton = addButton(u"Command5", QRect(120, 3480, 1455, 345), u"View My List"_s);
    m_addNewItemButton = addButton(u"Command8", QRect(8640, 3480, 1335, 345), u"Add New Item"_s);
    QLabel *dataNote = addLabel(
        u"Label77", QRect(2160, 3600, 6420, 240),
        u"These are approximate averages based on sample analysis and could vary by a small degree."_s);
    dataNote->setFont(small);
    QLabel *advice = addLabel(u"Label78", QRect(1320, 3840, 7680, 720), adviceText());
    advice->setFont(small);
    advice->setWordWrap(true);
    advice->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_saveButton = addButton(u"Command1", QRect(120, 4320, 1140, 345), u"Save"_s);
    m_helpButton = addButton(u"Command2", QRect(9120, 4320, 855, 345), u"Help"_s);
    QLabel *footer = addLabel(u"Label89", QRect(1920, 4560, 7140, 315),
                              u"Forkwell 1.0 \u00b7 A food diary that keeps your data on your own "
                              u"computer"_s);
    footer->setFont(small);
}

QLabel *Form1::addLabel(QStringView name, QRect twips, const QString &text,
                        const QString &roomFor)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name.toString());
    label->setTextFormat(Qt::PlainText);
    place(label, twips, roomFor);
    return label;
}

QPushButton *Form1::addButton(QStringView name, QRect twips, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name.toString());
    button->setAccessibleName(caption);
    place(button, twips);
    return button;
}

void Form1::place(QWidget *widget, QRect twips, const QString &roomFor)
{
    m_placements.push_back({widget, twips, roomFor});
}

void Form1::layOut()
{
    // One scale for the whole grid keeps the arrangement. It starts where
    // the tightest text that does not wrap just fits, and grows until the
    // wrapping ones fit too and rounding to whole pixels costs nothing.
    // What each control needs is measured once; only a wrapping label's
    // height depends on the scale, through its width, and is measured again
    // only when the width changes.
    struct Need
    {
        QRect twips;
        QSize size;
        const QLabel *wrapping;
        int measuredWidth = -1; // of a wrapping label, the width its size.height() is for
    };
    std::vector<Need> needs;
    double scale = 0;
    for (const Placement &p : m_placements) {
        if (p.widget->isHidden())
            continue;
        const QSize needed = neededSize(p.widget, p.roomFor);
        const QLabel *wrapping = wrappingLabel(p.widget);
        if (wrapping)
            scale = std::max(scale, double(needed.width()) / p.twips.width());
        else
            scale = std::max({scale, double(needed.width()) / p.twips.width(),
                              double(needed.height()) / p.twips.height()});
        needs.push_back({p.twips, needed, wrapping});
    }
    const auto fitsAt = [&needs](double at) {
        for (Need &need : needs) {
            const QRect box = pixels(need.twips, at);
            if (need.size.width() > box.width())
                return false;
            if (need.wrapping && need.measuredWidth != box.width()) {
                need.size.setHeight(need.wrapping->heightForWidth(box.width()));
                need.measuredWidth = box.width();
            }
            if (need.size.height() > box.height())
                return false;
        }
        return true;
    };
    for (int step = 0; step < 1000 && !fitsAt(scale); ++step)
        scale *= 1.005;

    m_pixelsPerTwip = scale;
    for (const Placement &p : m_placements)
        p.widget->setGeometry(pixels(p.twips, scale));
    setFixedSize(pixels(QRect(0, 0, DesignWidth, DesignHeight), scale).size());
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownBefore)
        return;
    // The database is read once the window is on its way to the screen,
    // never before; its first activation then finds it read.
    m_shownBefore = true;
    m_lastActiveWindow = this;
    load();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow())
            noteActivation(widget);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::noteActivation(QWidget *window)
{
    // The opened item list is part of this window, not a window of its own.
    // Switching to another program activates no Forkwell window, so coming
    // back from it finds this window still the last one.
    const Qt::WindowType type = window->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip)
        return;
    // A message shown over a window belongs to that window: closing the
    // main window's own message is no coming back to it.
    while (window->parentWidget())
        window = window->parentWidget()->window();
    const bool cameBack = window == this && m_lastActiveWindow != this;
    m_lastActiveWindow = window;
    if (cameBack)
        load();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The standard colour of the cells follows the desktop's palette.
    if (event->type() == QEvent::PaletteChange)
        showTally();
}

void Form1::load()
{
    const FoodLoad loaded = loadFoodTable(QDir::current().filePath(ForkwellFiles::Database.toString()), m_table);
    if (loaded.opened)
        m_itemList->setNames(loaded.names);
}

void Form1::select()
{
    // When the box held another portion, resetting it is a change of its
    // own: the portion change runs first, for the entry just chosen.
    m_portion->setText(u"1"_s);
    const int row = m_itemList->selectedRow();
    if (!FoodTable::isRow(row))
        return;
    m_item = ItemValues::select(m_table.row(row), m_item);
    showItem();
}

void Form1::portionChanged(const QString &portionText)
{
    const int row = m_itemList->selectedRow();
    if (!FoodTable::isRow(row))
        return;
    m_item = ItemValues::portionChange(m_table.row(row), portionText, m_item);
    showItem();
}

ItemEntry Form1::shownItem() const
{
    ItemEntry item;
    for (const auto &[field, label] : m_itemLabels)
        item.fields.*field = label->text();
    item.fibreGrams = findChild<QLabel *>(u"Label47"_s)->text();
    item.portion = m_portion->text();
    item.itemBox = m_itemList->currentText();
    return item;
}

void Form1::addClicked()
{
    addToList(m_tally, shownItem(), m_clock, QDir::current().filePath(ForkwellFiles::FoodLog.toString()));
    showTally();
}

void Form1::deleteClicked()
{
    deleteFromList(m_tally, shownItem(), m_clock, QDir::current().filePath(ForkwellFiles::FoodLog.toString()));
    showTally();
}

void Form1::saveClicked()
{
    QString error;
    QString name;
    if (saveTotals(m_tally, m_clock, QDir::currentPath(), &error, &name))
        return;
    // The totals stay as they are; the user can save again once the cause
    // is dealt with.
    showWarning(this, u"Could not save today's totals to \"%1\": %2"_s.arg(name, error));
}

void Form1::openClicked()
{
    openTotals(m_tally, m_clock, QDir::currentPath());
    showTally();
}

void Form1::showItem()
{
    for (const auto &[field, label] : m_itemLabels)
        label->setText(m_item.*field);
}

void Form1::showTally()
{
    for (int cell = 0; cell < DayTally::CellCount; ++cell) {
        const auto which = static_cast<DayTally::Cell>(cell);
        QLabel *label = m_tallyLabels[static_cast<std::size_t>(cell)];
        label->setText(m_tally.text(which));
        label->setAccessibleDescription(TallyDescriptions[static_cast<std::size_t>(cell)]
                                        + colourMeaning(m_tally.colour(which)));
        switch (m_tally.colour(which)) {
        case CellColour::Standard:
            setTextColour(label, palette().color(QPalette::ButtonText));
            break;
        case CellColour::Red:
            setTextColour(label, QColor(255, 0, 0));
            break;
        case CellColour::Green:
            setTextColour(label, QColor(0, 192, 0));
            break;
        case CellColour::DarkBlue:
            setTextColour(label, QColor(0, 0, 128));
            break;
        }
    }
}

void Form1::showSecondaryWindow(QPointer<QWidget> &window,
                                const std::function<QWidget *()> &create)
{
    if (!window) {
        window = create();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowModality(Qt::NonModal);
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
