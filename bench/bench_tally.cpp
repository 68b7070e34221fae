// SPDX-License-Identifier: GPL-3.0-or-later
// The day's list: adding, deleting and reopening the totals, each with its
// file work, and reading the food log for the viewer.

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "bench/benchsupport.h"
#include "tally/daylist.h"
#include "tally/itemvalues.h"
#include "tally/logview.h"
#include "tally/totalsfile.h"

using namespace Qt::StringLiterals;

namespace {

// A fixed day and time, so that every save and open finds the same file.
Clock fixedClock()
{
    Clock clock;
    clock.date = [] { return QDate(2026, 12, 4); };
    clock.time = [] { return QTime(19, 45, 10); };
    return clock;
}

// A cup of vegetable soup, as the main window's item rows show it.
ItemEntry soup()
{
    const FoodRecord row = {u"Soup, vegetable beef, canned, ready-to-serve"_s, u"1 cup"_s, u"2.4"_s,
                            u"98"_s, u"16"_s, u"3.1"_s, u"0"_s, u"248"_s, u"0.4"_s};
    ItemEntry item;
    item.fields = ItemValues::select(row, {});
    item.portion = u"1"_s;
    item.itemBox = row[Food::Name];
    return item;
}

// A folder whose food log is the 60 MB sample, so that entries are
// appended to a log of many years.
QString dayFolder()
{
    static const QString folder = [] {
        const QString made = Bench::newFolder(u"day"_s);
        QFile::copy(QDir(Bench::logFolder(60)).filePath(u"mylist"_s), QDir(made).filePath(u"mylist"_s));
        return made;
    }();
    return folder;
}

// Times one operation on the day's list, starting each time from a tally
// that the same number of additions built; under a millisecond each.
template<class Operation>
void timeOperation(benchmark::State &state, Operation &&operation)
{
    const QString folder = dayFolder();
    const ItemEntry item = soup();
    const Clock clock = fixedClock();
    DayTally tally;
    for (int i = 0; i < 8; ++i)
        addToList(tally, item, clock, QDir(folder).filePath(u"scratch"_s));
    const DayTally day = tally;
    for (auto _ : state) {
        const double elapsed = Bench::seconds([&] { operation(tally, item, clock, folder); });
        state.SetIterationTime(elapsed);
        tally = day;
    }
    state.counters["limit_ms"] = 1;
}

void BM_AddToList(benchmark::State &state)
{
    timeOperation(state, [](DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &folder) {
        addToList(tally, item, clock, QDir(folder).filePath(u"mylist"_s));
    });
    state.SetLabel("with the log entry appended");
}
BENCHMARK(BM_AddToList)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DeleteFromList(benchmark::State &state)
{
    timeOperation(state, [](DayTally &tally, const ItemEntry &item, const Clock &clock, const QString &folder) {
        deleteFromList(tally, item, clock, QDir(folder).filePath(u"mylist"_s));
    });
    state.SetLabel("with the log entry appended");
}
BENCHMARK(BM_DeleteFromList)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenTotals(benchmark::State &state)
{
    DayTally day;
    addToList(day, soup(), fixedClock(), QDir(dayFolder()).filePath(u"scratch"_s));
    QString error;
    if (!saveTotals(day, fixedClock(), dayFolder(), &error))
        state.SkipWithError("today's totals could not be saved");
    timeOperation(state, [](DayTally &tally, const ItemEntry &, const Clock &clock, const QString &folder) {
        openTotals(tally, clock, folder);
    });
    state.SetLabel("today's file read back");
}
BENCHMARK(BM_OpenTotals)->UseManualTime()->Unit(benchmark::kMillisecond);

// The log as the viewer shows it, read from "mylist", against reading the
// same file and counting its line ends.
void BM_ShowLog(benchmark::State &state)
{
    const int megabytes = static_cast<int>(state.range(0));
    qint64 bytes = 0;
    const QString folder = Bench::logFolder(megabytes, &bytes);
    const QString log = QDir(folder).filePath(u"mylist"_s);
    bool complete = true;
    Bench::sideBySide(
        state, 5, [&] { complete = complete && LogView::showLog(folder).complete; },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(log)); });
    if (!complete)
        state.SkipWithError("the log was not read to its end");
    state.counters["size_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel("vs reading + counting line ends");
}
BENCHMARK(BM_ShowLog)->Arg(6)->Arg(30)->Arg(60)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return Bench::run(argc, argv);
}
