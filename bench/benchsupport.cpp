// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/benchsupport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "bench/sampledata.h"

using namespace Qt::StringLiterals;

namespace Bench {

namespace {

// The run's sample folders. FORKWELL_BENCH_KEEP=1 keeps them after the
// run, for a profiler or the probe to be pointed at.
QTemporaryDir &sampleRoot()
{
    static QTemporaryDir root = [] {
        QTemporaryDir made(QDir::temp().filePath(u"forkwell-bench-XXXXXX"_s));
        if (qEnvironmentVariableIntValue("FORKWELL_BENCH_KEEP") != 0) {
            made.setAutoRemove(false);
            std::fprintf(stderr, "Sample folders kept in %s\n", qPrintable(made.path()));
        }
        return made;
    }();
    return root;
}

// The report of one benchmark as the summary shows it.
struct Row
{
    std::string name;
    std::string label;
    double ms = 0;
    std::map<std::string, double> counters;
};

// "BM_Load/15001/manual_time" as "Load/15001".
std::string shortName(std::string name)
{
    if (name.rfind("BM_", 0) == 0)
        name.erase(0, 3);
    const std::string manual = "/manual_time";
    if (const std::size_t at = name.find(manual); at != std::string::npos)
        name.erase(at, manual.size());
    return name;
}

double milliseconds(const benchmark::BenchmarkReporter::Run &run)
{
    return run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

// The console's table, then every benchmark that has a baseline or a
// limit on one line with its ratio and goal. With repetitions, the medians
// are shown.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    bool failed() const { return m_failed; }

    void ReportRuns(const std::vector<Run> &reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run &run : reports) {
            if (run.error_occurred) {
                m_failed = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            Row row{shortName(run.run_name.str()), run.report_label, milliseconds(run), {}};
            for (const auto &[name, counter] : run.counters)
                row.counters[name] = counter.value;
            // A later repetition replaces an earlier one; the median replaces them all.
            const auto known = std::find_if(m_rows.begin(), m_rows.end(),
                                            [&](const Row &r) { return r.name == row.name; });
            if (known == m_rows.end())
                m_rows.push_back(row);
            else
                *known = row;
        }
    }

    void Finalize() override
    {
        std::ostream &out = GetOutputStream();
        char line[512];
        bool header = false;
        for (const Row &row : m_rows) {
            const auto ratio = row.counters.find("ratio");
            const auto limit = row.counters.find("limit_ms");
            if (ratio == row.counters.end() && limit == row.counters.end())
                continue;
            if (!header) {
                out << "\nEach figure beside its baseline from the same run:\n";
                header = true;
            }
            std::string goal;
            bool within = true;
            if (ratio != row.counters.end()) {
                const auto g = row.counters.find("goal");
                std::snprintf(line, sizeof line, "%.2f x", ratio->second);
                goal = line;
                if (g != row.counters.end()) {
                    std::snprintf(line, sizeof line, " (goal <= %g x)", g->second);
                    goal += line;
                    within = ratio->second <= g->second;
                }
            }
            if (limit != row.counters.end()) {
                std::snprintf(line, sizeof line, "%s(limit %g ms)", goal.empty() ? "" : " ",
                              limit->second);
                goal += line;
                within = within && row.ms < limit->second;
            }
            const std::string label = row.label.empty() ? std::string() : "  [" + row.label + "]";
            std::snprintf(line, sizeof line, "  %-34s %10.3f ms  %s%s%s\n", row.name.c_str(), row.ms,
                          goal.c_str(), within ? "" : "  OVER", label.c_str());
            out << line;
        }

        ConsoleReporter::Finalize();
    }

private:
    std::vector<Row> m_rows;
    bool m_failed = false;
};

} // namespace

QString newFolder(const QString &name)
{
    const QString path = QDir(sampleRoot().path()).filePath(name);
    QDir().mkpath(path);
    return path;
}

qint64 readAndCountLineEnds(const QString &path)
{
    // Plain standard C++: the file into a buffer in one read, then one pass
    // over its bytes.
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0L)), '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got), '\n');
}

QString databaseFolder(int records, qint64 *bytes)
{
    static std::map<int, std::pair<QString, qint64>> made;
    auto known = made.find(records);
    if (known == made.end()) {
        const QString folder = newFolder(u"diet-%1"_s.arg(records));
        known = made.emplace(records, std::pair(folder, SampleData::writeDatabase(folder, records))).first;
    }
    if (bytes)
        *bytes = known->second.second;
    return known->second.first;
}

QString logFolder(int megabytes, qint64 *bytes)
{
    static const std::vector<int> sizes{6, 30, 60};
    static std::vector<qint64> written;
    static std::vector<QString> folders;
    if (folders.empty()) {
        const QString database = QDir(databaseFolder(FoodTable::RowCount)).filePath(u"diet"_s);
        for (const int size : sizes) {
            folders.push_back(newFolder(u"log-%1mb"_s.arg(size)));
            QFile::copy(database, QDir(folders.back()).filePath(u"diet"_s));
        }
        written = SampleData::writeLogs(SampleData::foods(FoodTable::RowCount), folders, sizes);
    }
    const auto at = std::find(sizes.begin(), sizes.end(), megabytes);
    if (at == sizes.end())
        return {};
    const auto index = static_cast<std::size_t>(at - sizes.begin());
    if (bytes)
        *bytes = index < written.size() ? written[index] : 0;
    return folders[index];
}

int run(int argc, char **argv)
{
    // Large blocks always come fresh from the system, as they do for the
    // program, which reads a file once per click. Left alone, the C library
    // would raise this threshold after the first frees and serve blocks of
    // up to 32 MB warm from its heap on every repetition: small files would
    // be timed warm and large ones cold.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);

    // A format other than the console's gets the library's own reporter.
    bool console = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--benchmark_format=", 0) == 0 && arg != "--benchmark_format=console")
            console = false;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!console) {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
    const auto options = static_cast<benchmark::ConsoleReporter::OutputOptions>(
        benchmark::ConsoleReporter::OO_Tabular | (isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color : 0));
    SummaryReporter reporter(options);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failed() ? 1 : 0;
}

} // namespace Bench
