// SPDX-License-Identifier: GPL-3.0-or-later
// The food log read back into days for the history window: parsing a log
// of many years, the memory the parsed log takes, and a change of range.

#include <malloc.h>

#include <QCoreApplication>
#include <QDir>

#include "bench/benchsupport.h"
#include "history/history.h"

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return Bench::run(argc, argv);
}
