#pragma once

#include <QDir>

#include "daylist.h"
#include "itemeditor.h"
#include "logentry.h"
#include "textfile.h"
#include "totalsfile.h"

// The program's writes as the fault driver repeats them and the fault
// tests make them once, on the files of a working folder.
namespace FaultDriver {

using namespace Qt::StringLiterals;

inline const Clock clock{[] { return QDate(2026, 12, 4); }, [] { return QTime(19, 45, 10); }};
inline const FoodRecord apple{u"Apple"_s, u"1 medium"_s, u"0.3"_s, u"95"_s, u"25"_s,
                              u"0.5"_s, u"0"_s, u"182"_s, u"0.1"_s};

// The item of the i-th save: it sorts after every earlier name.
inline FoodRecord newItem(int i)
{
    FoodRecord item = apple;
    item[Food::Name] = u"Zz item %1"_s.arg(i, 5, 10, QChar(u'0'));
    return item;
}

// The ten stored totals of the i-th save of the day: two days' figures in turn.
inline QStringList totals(int i)
{
    return (i % 2 ? u"332 N/A 764 262 36.9 10.6 191 65.6 150 0"_s : u"49.5 -12 100 7 1.25 0 12 3 0 0"_s).split(u' ');
}

// The i-th write of an operation: "savenewitem" saves newItem(i), "savetotals"
// saves totals(i) for the day, "addtolist" adds Apple to a new day. "saved"
// when it was written whole, else "failed" and the program's reason if it gives one.
inline QString writeOnce(const QString &operation, const QString &folder, int i)
{
    QString error;
    bool written = false;
    DayTally tally;
    if (operation == u"savenewitem") {
        FoodTable table;
        const ItemEditor::SaveResult result = ItemEditor::saveNewItem(folder, newItem(i), table);
        written = result.saved();
        error = result.reason;
    } else if (operation == u"savetotals") {
        for (int cell = 0; cell < 10; ++cell)
            tally.setText(DayTally::Cell(cell), totals(i)[cell]);
        written = saveTotals(tally, clock, folder, &error);
    } else {
        const ItemEntry entry{ItemValues::select(apple, ItemFields{}), QString(), u"1"_s, u"Apple"_s};
        const QString log = QDir(folder).filePath(u"mylist"_s);
        const qint64 before = QFileInfo(log).size();
        addToList(tally, entry, clock, log);
        written = QFileInfo(log).size() == before + TextFile::encode(TextFile::joinLines(LogEntry::lines(entry, tally, clock))).size();
    }
    return written ? u"saved"_s : error.isEmpty() ? u"failed"_s : u"failed: "_s + error;
}

} // namespace FaultDriver
