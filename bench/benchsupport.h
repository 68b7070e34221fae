// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include <benchmark/benchmark.h>

#include <QString>

// What the benchmarks share: timing work beside its baseline, the machine's
// own limits that serve as baselines, the sample folders, and the runner
// that ends with a summary of every ratio against its goal.
namespace Bench {

// Seconds taken by f.
template<class F>
double seconds(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times work and its baseline alternately, one of each per iteration, so
// that both meet the same load on a shared machine. The work's time is the
// iteration time (the benchmark must use manual time); the baseline's time
// per iteration and the ratio of the two are counters. goal is the ratio
// the work should stay within, 0 for none. reset, run between iterations
// outside the timing, puts things back for the next one.
template<class Work, class Baseline, class Reset>
void sideBySide(benchmark::State &state, double goal, Work &&work, Baseline &&baseline, Reset &&reset)
{
    double workTotal = 0;
    double baselineTotal = 0;
    for (auto _ : state) {
        const double w = seconds(work);
        baselineTotal += seconds(baseline);
        workTotal += w;
        state.SetIterationTime(w);
        reset();
    }
    state.counters["base_ms"] = benchmark::Counter(baselineTotal * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = baselineTotal > 0 ? workTotal / baselineTotal : 0;
    if (goal > 0)
        state.counters["goal"] = goal;
}

template<class Work, class Baseline>
void sideBySide(benchmark::State &state, double goal, Work &&work, Baseline &&baseline)
{
    sideBySide(state, goal, work, baseline, [] {});
}

// The baseline of every file operation: the file read into memory in one
// go, as the program reads its files, and its line ends counted. Returns
// the count, or -1 when the file cannot be read.
qint64 readAndCountLineEnds(const QString &path);

// An empty folder of that name, made once per run; removed at the end.
QString newFolder(const QString &name);

// A folder holding a database of records (1000, 5000, 15001 ...) as "diet"
// and "dblog", made once per run. Size of "diet" in *bytes if given.
QString databaseFolder(int records, qint64 *bytes = nullptr);

// A folder holding the database of 15001 records and a food log "mylist"
// of about megabytes MB (6, 30 or 60; all three are made together, once
// per run). Size of "mylist" in *bytes if given.
QString logFolder(int megabytes, qint64 *bytes = nullptr);

// Runs the benchmarks the command line selects, then prints each ratio
// with its goal. Returns 1 when a benchmark reported an error, so that a
// broken benchmark fails its run; times are never judged here.
int run(int argc, char **argv);

} // namespace Bench
