// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/itemlistbox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

ItemListBox::ItemListBox(QWidget *parent)
    : QComboBox(parent)
    , m_model(new QStringListModel(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // An editable combo box selects the entry whose name equals the typed
    // text when the user presses Enter or leaves the box. Here only choosing
    // from the list, with the mouse or the arrow keys, selects an entry.
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    // Measuring 15001 names to size the box would cost time on every load.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMaxVisibleItems(12);
    auto *view = new QListView(this);
    view->setUniformItemSizes(true);
    setView(view);
    setModel(m_model);
}

void ItemListBox::setNames(const QStringList &names)
{
    const QString typed = currentText();
    const int selected = currentIndex();
    const QString selectedName = selected >= 0 ? itemText(selected) : QString();
    const bool keepSelection = selected >= 0 && selected < names.size()
        && names.at(selected) == selectedName;

    {
        // The reset and the restored selection are the program's doing, not
        // the user's: nothing connected to a selection hears of them.
        const QSignalBlocker blocker(this);
        m_model->setStringList(names);
        setCurrentIndex(keepSelection ? selected : -1);
        lineEdit()->setText(typed);
    }
}

int ItemListBox::firstStartingWith(const QString &text) const
{
    const QStringList &names = m_model->stringList();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).startsWith(text, Qt::CaseInsensitive))
            return static_cast<int>(i);
    }
    return -1;
}

void ItemListBox::showPopup()
{
    const QString typed = currentText();
    QComboBox::showPopup();
    const int first = firstStartingWith(typed);
    if (first < 0)
        return;
    const QModelIndex index = m_model->index(first);
    view()->setCurrentIndex(index);
    view()->scrollTo(index, QAbstractItemView::PositionAtTop);
}
