// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and memory, measured on whole processes: the probe starts like
// Forkwell and ends once its window is on the screen. A bare Qt Widgets
// window, started by the same probe, is the baseline.

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "bench/benchsupport.h"
#include "database/foodtable.h"

extern char **environ;

using namespace Qt::StringLiterals;

namespace {

struct ProbeRun
{
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs the probe once and waits for it to end.
ProbeRun runProbe(const std::vector<std::string> &arguments)
{
    ProbeRun run;
    int output[2];
    if (::pipe(output) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    posix_spawn_file_actions_addclose(&actions, output[1]);
    // Qt's start-up notes would run through the figures; a probe that fails
    // says so by its exit status.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> words{FORKWELL_STARTUP_PROBE};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::string printed;
    int status = -1;
    run.seconds = Bench::seconds([&] {
        pid_t pid = 0;
        const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        ::close(output[1]);
        char buffer[256];
        ssize_t got = 0;
        while ((got = ::read(output[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
            if (got > 0)
                printed.append(buffer, static_cast<std::size_t>(got));
        }
        if (spawned)
            ::waitpid(pid, &status, 0);
    });
    ::close(output[0]);
    posix_spawn_file_actions_destroy(&actions);

    const std::string key = "peak_kB ";
    const std::size_t at = printed.find(key);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && at != std::string::npos;
    if (run.ok)
        run.peakMegabytes = std::stod(printed.substr(at + key.size())) * 1024 / 1e6;
    return run;
}

// From starting the process to the main window on the screen with the full
// database loaded, against a bare window.
void BM_StartUp(benchmark::State &state)
{
    const std::string folder = Bench::databaseFolder(FoodTable::RowCount).toStdString();
    bool ok = true;
    Bench::sideBySide(
        state, 1.5, [&] { ok = runProbe({"main", folder}).ok && ok; }, [&] { ok = runProbe({"bare"}).ok && ok; });
    if (!ok)
        state.SkipWithError("the probe did not show its window");
    state.SetLabel("15001 records vs a bare window");
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond);

// Peak memory with the full database and a 60 MB food log opened in the log
// viewer. The ratio is the memory above a bare window's, per byte of the files.
void BM_PeakMemory(benchmark::State &state)
{
    const QString folder = Bench::logFolder(60);
    const QDir dir(folder);
    const double files = double(QFileInfo(dir.filePath(u"diet"_s)).size() + QFileInfo(dir.filePath(u"mylist"_s)).size()) / 1e6;
    ProbeRun work;
    ProbeRun bare;
    bool ok = true;
    for (auto _ : state) {
        work = runProbe({"main-and-log", folder.toStdString()});
        bare = runProbe({"bare"});
        ok = ok && work.ok && bare.ok;
        state.SetIterationTime(work.seconds);
    }
    if (!ok)
        state.SkipWithError("the probe did not show its windows");
    state.counters["peak_MB"] = work.peakMegabytes;
    state.counters["bare_MB"] = bare.peakMegabytes;
    state.counters["files_MB"] = files;
    state.counters["ratio"] = (work.peakMegabytes - bare.peakMegabytes) / files;
    state.counters["goal"] = 3;
    state.SetLabel("MB above a bare window per MB of files");
}
BENCHMARK(BM_PeakMemory)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return Bench::run(argc, argv);
}
