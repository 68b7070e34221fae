// SPDX-License-Identifier: GPL-3.0-or-later
// The food log read back into days for the history window: parsing a log
// of many years, the memory the parsed log takes, an entry appended while
// the window is open, a change of range, and the whole of a log whose
// dates span the calendar.

#include <malloc.h>

#include <QCoreApplication>
#include <QDir>

#include <QFile>

#include "bench/benchsupport.h"
#include "database/textfile.h"
#include "history/history.h"
#include "history/historymodel.h"

using namespace Qt::StringLiterals;

namespace {

QString sampleLog(int megabytes, qint64 *bytes = nullptr)
{
    return QDir(Bench::logFolder(megabytes, bytes)).filePath(u"mylist"_s);
}

// The 60 MB log parsed once, for the benchmarks that start from it.
const FoodLog::Log &parsedLog()
{
    static const FoodLog::Log log = FoodLog::read(sampleLog(60)).value_or(FoodLog::Log());
    return log;
}

// The log read and parsed into days, against reading the same file and
// counting its line ends.
void BM_ParseIntoDays(benchmark::State &state)
{
    qint64 bytes = 0;
    const QString log = sampleLog(static_cast<int>(state.range(0)), &bytes);
    size_t days = 0;
    Bench::sideBySide(
        state, 2, [&] { days = History::days(FoodLog::read(log).value_or(FoodLog::Log())).size(); },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(log)); });
    if (days == 0)
        state.SkipWithError("the log held no days");
    state.counters["size_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel("vs reading + counting line ends");
}
BENCHMARK(BM_ParseIntoDays)->Arg(6)->Arg(60)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the parsed log holds on the heap, against the size of the file.
void BM_ParsedLogMemory(benchmark::State &state)
{
    qint64 bytes = 0;
    const QString log = sampleLog(60, &bytes);
    double held = 0;
    for (auto _ : state) {
        const auto heap = [] {
            const struct mallinfo2 info = mallinfo2();
            return static_cast<double>(info.uordblks + info.hblkhd);
        };
        const double before = heap();
        std::optional<FoodLog::Log> parsed;
        state.SetIterationTime(Bench::seconds([&] { parsed = FoodLog::read(log); }));
        held = heap() - before;
        if (!parsed || parsed->entries.empty())
            state.SkipWithError("the log could not be read");
    }
    state.counters["held_MB"] = held / 1e6;
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["ratio"] = held / static_cast<double>(bytes);
    state.counters["goal"] = 2;
    state.SetLabel("heap held by the parsed log vs the file's size");
}
BENCHMARK(BM_ParsedLogMemory)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// An entry appended to the 60 MB log, as the main program adds a food,
// brought into the open log (its entries and days), against a full parse
// of the same log into days.
void BM_AppendedEntry(benchmark::State &state)
{
    const QString folder = Bench::newFolder(u"appended"_s);
    const QString log = QDir(folder).filePath(u"mylist"_s);
    QFile::copy(sampleLog(60), log);
    HistoryModel::LoadedLog loaded = HistoryModel::load(log);
    if (loaded.log.entries.empty()) {
        state.SkipWithError("the log held no entries");
        return;
    }
    const FoodLog::Entry &last = loaded.log.entries.back();
    const QByteArray entry = TextFile::readBytes(log).value_or(QByteArray()).mid(last.offset, last.length);
    const auto append = [&] {
        QFile file(log);
        if (!file.open(QIODevice::Append) || file.write(entry) != entry.size())
            state.SkipWithError("the log could not be appended to");
    };
    std::size_t entries = loaded.log.entries.size();
    bool appended = true;
    append();
    Bench::sideBySide(
        state, 0,
        [&] {
            appended = HistoryModel::update(loaded) == HistoryModel::Update::Appended && appended;
            ++entries;
        },
        [&] { benchmark::DoNotOptimize(History::days(FoodLog::read(log).value_or(FoodLog::Log())).size()); }, append);
    if (!appended || loaded.log.entries.size() != entries)
        state.SkipWithError("the appended entry was not read on its own");
    state.counters["limit_ms"] = 10;
    state.SetLabel("vs a full parse into days");
}
BENCHMARK(BM_AppendedEntry)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the window computes when the user picks another range of the 60 MB
// log: its days, the summary, the top foods and the chart's bars. The days
// of the whole log are made once, when the log is read.
void BM_ChangeRange(benchmark::State &state)
{
    const FoodLog::Log &log = parsedLog();
    const std::vector<History::Day> all = History::days(log);
    const auto preset = static_cast<History::Preset>(state.range(0));
    const History::Range range = History::presetRange(preset, log, QDate::currentDate());
    size_t shown = 0;
    for (auto _ : state) {
        state.SetIterationTime(Bench::seconds([&] {
            const std::vector<History::Day> days = History::daysIn(all, range);
            const History::Summary summary = History::summary(days);
            const std::vector<History::FoodTotal> top = History::topFoods(log, range, 10);
            const std::vector<History::Bar> bars = History::bars(days, History::periodFor(range));
            shown = days.size() + top.size() + bars.size() + static_cast<size_t>(summary.daysWithEntries);
        }));
    }
    if (shown == 0)
        state.SkipWithError("the range held no days");
    state.counters["days"] = static_cast<double>(History::daysIn(all, range).size());
    state.counters["limit_ms"] = 50;
    state.SetLabel(preset == History::Preset::All ? "the whole log" : "the last 30 days");
}
BENCHMARK(BM_ChangeRange)
    ->Arg(static_cast<int>(History::Preset::Last30Days))
    ->Arg(static_cast<int>(History::Preset::All))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// "All days" over a log whose dates run from year 1 to 9999, a day a
// century apart: its days, summary, top foods and chart places, against
// the same over the last 30 days of it. The heap it takes is a counter.
void BM_AllOfTheCalendar(benchmark::State &state)
{
    HistoryModel::LoadedLog loaded;
    for (int year = 1; year <= 9999; year += 100) {
        FoodLog::Entry entry;
        entry.date = QDate(year, 6, 1);
        entry.food = u"Vegetable soup"_s;
        entry.intake = {98, 2.4, 0.4, 16, 3.1, 0};
        loaded.log.entries.push_back(entry);
    }
    loaded.log.entries.back().date = QDate(9999, 12, 31);
    loaded.days = History::days(loaded.log);
    const History::Range all = History::presetRange(History::Preset::All, loaded.log, QDate::currentDate());
    const History::Range month = History::presetRange(History::Preset::Last30Days, loaded.log, QDate::currentDate());
    std::size_t places = 0;
    double held = 0;
    Bench::sideBySide(
        state, 0,
        [&] {
            const double before = static_cast<double>(mallinfo2().uordblks + mallinfo2().hblkhd);
            const HistoryModel::RangeModel view = HistoryModel::forRange(loaded, all);
            held = std::max(held, static_cast<double>(mallinfo2().uordblks + mallinfo2().hblkhd) - before);
            places = view.places.size();
        },
        [&] { benchmark::DoNotOptimize(HistoryModel::forRange(loaded, month).places.size()); });
    state.counters["places"] = static_cast<double>(places);
    state.counters["held_MB"] = held / 1e6;
    state.counters["limit_ms"] = 500;
    state.SetLabel("vs the last 30 days of it");
}
BENCHMARK(BM_AllOfTheCalendar)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return Bench::run(argc, argv);
}
