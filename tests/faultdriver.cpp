// Stands in for the program in tests that kill it at a random moment: it
// repeats one of the program's writes without end, on the files of a
// working folder, until it is killed.
//
//   faultdriver savenewitem <folder>  saves "Zz item 00001", "Zz item 00002" ...
//   faultdriver savetotals <folder>   saves the day's totals, two days' figures in turn
//   faultdriver addtolist <folder>    adds Apple to the day, a new day every 100 items
//
// It prints "ready" once it is about to start, and stops by itself after
// 100000 writes.

#include <cstdio>
#include <cstring>

#include <QString>

#include "daylist.h"
#include "daytally.h"
#include "faultdriver.h"
#include "foodtable.h"
#include "itemeditor.h"
#include "itemvalues.h"
#include "totalsfile.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: faultdriver savenewitem|savetotals|addtolist <folder>\n");
        return 2;
    }
    const QString operation = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const Clock clock = FaultDriver::clock();
    FoodTable table;
    DayTally tally;
    ItemEntry apple;
    apple.fields = ItemValues::select(FaultDriver::apple(), ItemFields{});
    apple.portion = QStringLiteral("1");
    apple.itemBox = QStringLiteral("Apple");

    std::puts("ready");
    std::fflush(stdout);
    for (int i = 1; i <= 100000; ++i) {
        if (operation == u"savenewitem") {
            ItemEditor::saveNewItem(folder, FaultDriver::newItem(i), table);
        } else if (operation == u"savetotals") {
            const QStringList texts = FaultDriver::totals(i % 2 == 1 ? 0 : 1);
            for (int cell = 0; cell < texts.size(); ++cell)
                tally.setText(FaultDriver::StoredCells[std::size_t(cell)], texts[cell]);
            QString error;
            saveTotals(tally, clock, folder, &error);
        } else if (operation == u"addtolist") {
            if (i % 100 == 0)
                tally = DayTally();
            addToList(tally, apple, clock, folder + QStringLiteral("/mylist"));
        } else {
            std::fprintf(stderr, "unknown operation %s\n", argv[1]);
            return 2;
        }
    }
    return 0;
}
