#include <QApplication>

#include "foodtable.h"
#include "form1.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FoodTable table;
    Form1 window(table);
    window.show();
    return app.exec();
}
