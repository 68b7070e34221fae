// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/startup.h"

#include <QApplication>

#include "database/foodtable.h"
#include "forkwellui/form1.h"

int startForkwell(int &argc, char **argv, const std::function<int(Form1 &)> &run)
{
    QApplication app(argc, argv);
    FoodTable table;
    Form1 window(table);
    window.show();
    return run(window);
}
