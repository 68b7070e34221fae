// SPDX-License-Identifier: GPL-3.0-or-later
// The food database: loading "diet" and saving a new item into it, each
// beside the plain file work it cannot do without.

#include <filesystem>
#include <memory>

#include <malloc.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringListModel>

#include "bench/benchsupport.h"
#include "database/foodtable.h"
#include "database/itemeditor.h"

using namespace Qt::StringLiterals;

namespace {

// A lassi of one cup, whose name sorts into the middle of the database.
const FoodRecord NewItem = {u"Mango lassi, home-made"_s, u"1 cup"_s, u"3.1"_s, u"159"_s, u"28.2"_s,
                            u"5.4"_s, u"12"_s, u"244"_s, u"1.9"_s};

// The Load: "diet" into the food table, and its names into the model of
// the item list; against reading the file and counting its line ends.
void loadDatabase(benchmark::State &state, const QString &folder, qsizetype records)
{
    const QString path = QDir(folder).filePath(u"diet"_s);
    FoodTable table;
    QStringListModel model;
    qsizetype loaded = 0;
    Bench::sideBySide(
        state, 4,
        [&] {
            const FoodLoad load = loadFoodTable(path, table);
            model.setStringList(load.names);
            loaded = load.complete ? load.names.size() : -1;
        },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(path)); });
    if (loaded != records)
        state.SkipWithError("the database did not load whole");
    state.counters["records"] = static_cast<double>(loaded);
    state.SetLabel("vs reading + counting line ends");
}

void BM_Load(benchmark::State &state)
{
    loadDatabase(state, Bench::databaseFolder(static_cast<int>(state.range(0))), state.range(0));
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(5000)->Arg(FoodTable::RowCount)->UseManualTime()->Unit(benchmark::kMillisecond);

// The Load at start-up, into a table that holds nothing yet: every cell
// is made anew.
void BM_FirstLoad(benchmark::State &state)
{
    const QString path = QDir(Bench::databaseFolder(static_cast<int>(state.range(0)))).filePath(u"diet"_s);
    auto table = std::make_unique<FoodTable>();
    QStringListModel model;
    qsizetype loaded = 0;
    Bench::sideBySide(
        state, 4,
        [&] {
            const FoodLoad load = loadFoodTable(path, *table);
            model.setStringList(load.names);
            loaded = load.complete ? load.names.size() : -1;
        },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(path)); },
        [&] {
            model.setStringList({});
            table = std::make_unique<FoodTable>();
            // The strings of the table just dropped go back to the system
            // here: a first Load happens at start-up, on a heap that never
            // held 15001 names.
            malloc_trim(0);
        });
    if (loaded != state.range(0))
        state.SkipWithError("the database did not load whole");
    state.counters["records"] = static_cast<double>(loaded);
    state.SetLabel("vs reading + counting line ends");
}
BENCHMARK(BM_FirstLoad)->Arg(1000)->Arg(5000)->Arg(FoodTable::RowCount)->UseManualTime()->Unit(benchmark::kMillisecond);

// Saving one new item: the counter, the backup, the database read back and
// written anew in name order, flushed to disk; against copying the file
// with the standard library. Each save is undone outside the timing.
void saveIntoDatabase(benchmark::State &state, const QString &source, const QString &name)
{
    namespace fs = std::filesystem;
    const QString folder = Bench::newFolder(u"save-"_s + name);
    const auto path = [&folder](const QString &file) { return fs::path(QDir(folder).filePath(file).toStdString()); };
    for (const QString &file : {u"diet"_s, u"dblog"_s})
        fs::copy_file(QDir(source).filePath(file).toStdString(), path(file), fs::copy_options::overwrite_existing);

    FoodTable table;
    ItemEditor::SaveResult result;
    bool allSaved = true;
    double flushing = 0;
    Bench::sideBySide(
        state, 4, [&] { result = ItemEditor::saveNewItem(folder, NewItem, table); },
        [&] { fs::copy_file(path(u"diet"_s), path(u"copy"_s)); },
        [&] {
            allSaved = allSaved && result.saved();
            if (result.saved())
                fs::rename(path(result.backupName), path(u"diet"_s));
            // A save waits for the disk: "dblog" and "diet" together, then
            // their folder. What one such wait costs here is shown beside
            // the figures.
            QFile copy(QString::fromStdString(path(u"copy"_s).string()));
            flushing += Bench::seconds([&] { copy.open(QIODevice::ReadWrite) && ::fsync(copy.handle()) == 0; });
            fs::remove(path(u"copy"_s));
        });
    if (!allSaved)
        state.SkipWithError("the new item was not saved");
    state.counters["flush_ms"] = benchmark::Counter(flushing * 1e3, benchmark::Counter::kAvgIterations);
    state.SetLabel("vs copying the file");
}

void BM_SaveNewItem(benchmark::State &state)
{
    const int records = static_cast<int>(state.range(0));
    saveIntoDatabase(state, Bench::databaseFolder(records), QString::number(records));
}
BENCHMARK(BM_SaveNewItem)->Arg(1000)->Arg(5000)->Arg(FoodTable::RowCount)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return Bench::run(argc, argv);
}
