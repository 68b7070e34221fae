#include "form1.h"

#include "foodtable.h"

Form1::Form1(FoodTable &table, QWidget *parent)
    : QWidget(parent)
    , m_table(table)
{
    setWindowTitle(QStringLiteral("Forkwell 1.0"));
}
