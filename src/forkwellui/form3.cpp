// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/form3.h"

#include <algorithm>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "database/forkwellfiles.h"
#include "database/itemeditor.h"
#include "forkwellui/itemlistbox.h"
#include "forkwellui/twips.h"
#include "forkwellui/warning.h"

using namespace Qt::StringLiterals;

namespace {

// The boxes from top to bottom, which is also the order Enter moves through.
struct Box
{
    QStringView name;
    QStringView captionName;
    QStringView caption;
    QStringView description; // what the box holds, read by screen readers after its text
    Food::Column column;
    int left;
    int top;
    int width;
};

constexpr std::array<Box, Food::ColumnCount> Boxes = {{
    {u"Text1", u"Label1", u"Item Name", u"name of the new food item, as the food list will show it",
     Food::Name, 1080, 120, 4935},
    {u"Text19", u"Label20", u"Portion Size", u"one portion as a household measure, such as 1 cup",
     Food::Measure, 2040, 480, 735},
    {u"Text2", u"Label2", u"Total Fat In Grams", u"grams of fat in one portion, saturated fat included",
     Food::FatGrams, 2040, 840, 735},
    {u"Text3", u"Label3", u"Saturated fat in Grams", u"grams of saturated fat in one portion",
     Food::SatFatGrams, 2040, 1200, 735},
    {u"Text4", u"Label4", u"Carbohydrates in Grams", u"grams of carbohydrates in one portion",
     Food::CarbGrams, 2040, 1560, 735},
    {u"Text5", u"Label5", u"Proteins in Grams", u"grams of proteins in one portion",
     Food::ProteinGrams, 2040, 1920, 735},
    {u"Text6", u"Label7", u"Cholesterol In Milligrams", u"milligrams of cholesterol in one portion",
     Food::CholesterolMg, 2040, 2280, 735},
    {u"Text7", u"Label6", u"Total Calories", u"calories in one portion",
     Food::Calories, 2040, 2640, 735},
    {u"Text8", u"Label9", u"Weight In Grams", u"weight of one portion, grams",
     Food::WeightGrams, 2040, 3000, 735},
}};

// Tab goes down the values first and comes to the portion last.
constexpr std::array<Food::Column, Food::ColumnCount> TabOrder = {
    Food::Name,         Food::FatGrams,      Food::SatFatGrams, Food::CarbGrams,  Food::ProteinGrams,
    Food::CholesterolMg, Food::Calories, Food::WeightGrams, Food::Measure,
};

constexpr int ClientWidth = 6195;
constexpr int ClientHeight = 3825;
constexpr int CaptionLeft = 120;
constexpr int CaptionGap = 90;   // between a caption and its box
constexpr int RowPitch = 360;    // from one box to the next
constexpr int BoxGap = 45;       // kept free between two boxes
constexpr int ButtonWidth = 1335;
constexpr int ButtonHeight = 255;
constexpr int SaveTop = 2520;
constexpr int EditTop = 3000;
constexpr int ButtonLeft = 4680;
constexpr int ListLeft = 120;
constexpr int ListTop = 3360;
constexpr int ListWidth = 4815;

const Box &boxOf(Food::Column column)
{
    return *std::find_if(Boxes.begin(), Boxes.end(),
                         [column](const Box &box) { return box.column == column; });
}

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// What the editor tells the user of a failed save. Only a save that ends
// before the database is read for its backup is told: from there on a
// failure ends quietly, with "diet" as it was and no done message.
QString failureMessage(const ItemEditor::SaveResult &result)
{
    using ItemEditor::SaveFailure;
    const QString database = quoted(ForkwellFiles::Database.toString());
    const QString counter = quoted(ForkwellFiles::Counter.toString());
    switch (result.failure) {
    case SaveFailure::None:
    case SaveFailure::DatabaseUnreadable:
    case SaveFailure::BackupCutShort:
    case SaveFailure::BackupTooLarge:
    case SaveFailure::DatabaseUnwritable:
        return {};
    case SaveFailure::BoxRefused:
        return Form3::tr("The item was not saved: the text in %1 cannot be stored in the food "
                         "database as it stands. Take out its double quotation marks. Nothing was "
                         "changed.")
            .arg(quoted(boxOf(static_cast<Food::Column>(result.column)).caption.toString()));
    case SaveFailure::CounterUnreadable:
        return Form3::tr("The item was not saved: the backup counter %1 cannot be read: %2.")
            .arg(counter, result.reason);
    case SaveFailure::CounterEmpty:
        return Form3::tr("The item was not saved: the backup counter %1 is empty.").arg(counter);
    case SaveFailure::CounterOutOfRange:
        return Form3::tr("The item was not saved: the backup counter %1 holds a number too large "
                         "to count up.")
            .arg(counter);
    case SaveFailure::CounterUnwritable:
        return Form3::tr("The item was not saved: the backup counter %1 cannot be written: %2.")
            .arg(counter, result.reason);
    case SaveFailure::BackupNotMade:
        return Form3::tr("The item was not saved: the food database %1 cannot be kept as its "
                         "backup %2: %3.")
            .arg(database, quoted(result.backupName), result.reason);
    }
    return {};
}

} // namespace

Form3::Form3(FoodTable &table, double pixelsPerTwip, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_table(table)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Add Your Own New Food Item To The Data Base"));

    for (const Box &entry : Boxes) {
        auto *box = new QLineEdit(this);
        box->setObjectName(entry.name.toString());
        box->setAccessibleName(entry.caption.toString());
        box->setAccessibleDescription(entry.description.toString());
        auto *caption = new QLabel(entry.caption.toString(), this);
        caption->setObjectName(entry.captionName.toString());
        caption->setBuddy(box);
        m_boxes[entry.column] = box;
        m_captions[entry.column] = caption;
    }
    // Enter moves down the boxes in their order on the window; the key
    // still reaches the box it was pressed in.
    for (std::size_t i = 0; i + 1 < Boxes.size(); ++i) {
        QLineEdit *next = m_boxes[Boxes[i + 1].column];
        connect(m_boxes[Boxes[i].column], &QLineEdit::returnPressed, next,
                [next] { next->setFocus(Qt::OtherFocusReason); });
    }

    m_save = new QPushButton(tr("Save This Now"), this);
    m_save->setObjectName(u"Command1"_s);
    m_edit = new QPushButton(tr("Edit an Item"), this);
    m_edit->setObjectName(u"Command2"_s);

    m_list = new ItemListBox(this);
    m_list->setObjectName(u"Combo1"_s);
    m_list->setAccessibleName(tr("Food items"));
    m_list->setEditText(tr("Type in food item and scroll to search ==>"));
    m_list->hide();

    QWidget *previous = m_boxes[TabOrder.front()];
    for (const Food::Column column : TabOrder) {
        if (m_boxes[column] != previous)
            setTabOrder(previous, m_boxes[column]);
        previous = m_boxes[column];
    }
    setTabOrder(previous, m_save);
    setTabOrder(m_save, m_list);
    setTabOrder(m_list, m_edit);

    connect(m_save, &QPushButton::clicked, this, &Form3::saveNewItem);
    connect(m_edit, &QPushButton::clicked, this, &Form3::showItemList);
    connect(m_list, &ItemListBox::activated, this, &Form3::fillFromEntry);

    layOut(pixelsPerTwip);
    m_boxes[Food::Name]->setFocus(Qt::OtherFocusReason);
}

void Form3::layOut(double pixelsPerTwip)
{
    const int boxHeight = m_boxes[Food::Name]->sizeHint().height();
    const int buttonHeight = std::max(m_save->sizeHint().height(), m_edit->sizeHint().height());
    const int listHeight = m_list->sizeHint().height();

    TwipsScale scale(fontMetrics(), pixelsPerTwip);
    for (const Box &entry : Boxes) {
        const QLabel *caption = m_captions[entry.column];
        scale.fit(caption->sizeHint().width(), entry.left - CaptionLeft - CaptionGap);
        scale.fit(caption->sizeHint().height(), RowPitch - BoxGap);
    }
    scale.fit(boxHeight, RowPitch - BoxGap);
    scale.fit(m_save->sizeHint().width(), ButtonWidth);
    scale.fit(m_edit->sizeHint().width(), ButtonWidth);
    // Neither button may reach down into the next one or the list.
    scale.fit(buttonHeight, std::min(EditTop - SaveTop, ListTop - EditTop) - BoxGap);
    scale.fit(listHeight, ClientHeight - ListTop - BoxGap);

    for (const Box &entry : Boxes) {
        const QPoint at = scale.point(entry.left, entry.top);
        m_boxes[entry.column]->setGeometry(at.x(), at.y(), scale.pixels(entry.width), boxHeight);
        m_captions[entry.column]->setGeometry(scale.pixels(CaptionLeft), at.y(),
                                             scale.pixels(entry.left - CaptionLeft - CaptionGap),
                                             boxHeight);
    }
    const int buttonWidth = scale.pixels(ButtonWidth);
    const int shownButtonHeight = std::max(scale.pixels(ButtonHeight), buttonHeight);
    m_save->setGeometry(QRect(scale.point(ButtonLeft, SaveTop), QSize(buttonWidth, shownButtonHeight)));
    m_edit->setGeometry(QRect(scale.point(ButtonLeft, EditTop), QSize(buttonWidth, shownButtonHeight)));
    m_list->setGeometry(QRect(scale.point(ListLeft, ListTop), QSize(scale.pixels(ListWidth), listHeight)));
    setFixedSize(scale.size(ClientWidth, ClientHeight));
}

FoodRecord Form3::boxTexts() const
{
    FoodRecord record;
    for (int column = 0; column < Food::ColumnCount; ++column)
        record[column] = m_boxes[column]->text();
    return record;
}

void Form3::showItemList()
{
    m_list->show();
    const FoodLoad load = ItemEditor::refill(QDir::currentPath(), m_table);
    if (load.opened)
        m_list->setNames(load.names);
}

void Form3::fillFromEntry(int row)
{
    if (row < 0 || row >= m_list->count() || !FoodTable::isRow(row))
        return;
    const FoodRecord &record = m_table.row(row);
    for (int column = 0; column < Food::ColumnCount; ++column)
        m_boxes[column]->setText(record[column]);
}

void Form3::saveNewItem()
{
    const ItemEditor::SaveResult result = ItemEditor::saveNewItem(QDir::currentPath(), boxTexts(), m_table);
    if (result.names)
        m_list->setNames(*result.names);
    if (result.saved())
        m_boxes[Food::Name]->setText(DoneMessage.toString());
    else if (const QString message = failureMessage(result); !message.isEmpty())
        showWarning(this, message);
}
