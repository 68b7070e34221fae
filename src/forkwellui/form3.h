// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QWidget>

#include "database/foodtable.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ItemListBox;

// The item editor: nine boxes for a new food item, "Save This Now" to put
// it into the food database in name order, and "Edit an Item" to show the
// database's items so that one of them can serve as the starting point.
// Deletes itself when closed; its opener creates it anew.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(FoodTable &table, double pixelsPerTwip = 0.0, QWidget *parent = nullptr);

    static constexpr QStringView DoneMessage = u"Done! Make another entry or CLOSE programs!";

private:
    void layOut(double pixelsPerTwip);
    FoodRecord boxTexts() const;

    // "Edit an Item": shows the item list and refills it and the table from "diet".
    void showItemList();
    // Choosing an entry of the item list: its item's texts into the boxes.
    void fillFromEntry(int row);
    // "Save This Now".
    void saveNewItem();

    FoodTable &m_table;
    std::array<QLineEdit *, Food::ColumnCount> m_boxes{}; // by column
    std::array<QLabel *, Food::ColumnCount> m_captions{}; // by column
    QPushButton *m_save = nullptr;
    QPushButton *m_edit = nullptr;
    ItemListBox *m_list = nullptr;
};
