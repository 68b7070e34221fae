#pragma once

#include <QWidget>

class FoodTable;

// The start window: the item list, the portion, the item's values, the
// day's running totals and the buttons.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(FoodTable &table, QWidget *parent = nullptr);

private:
    FoodTable &m_table;
};
