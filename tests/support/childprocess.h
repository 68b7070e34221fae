// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <QFile>

// Runs work in a forked child, so that a crash, a hang or a runaway use of
// memory fails one case instead of ending the suite. The child hands back
// what the work returned through a pipe and ends itself by alarm after two
// minutes. finished: it ended with status 0.
struct ChildRun
{
    bool finished = false;
    QByteArray report;
    long peakKilobytes = 0;
};

inline ChildRun runInChild(const std::function<QByteArray()> &work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(120);
        const QByteArray report = work();
        ::_exit(::write(channel[1], report.constData(), size_t(report.size())) == report.size() ? 0 : 3);
    }
    ::close(channel[1]);
    ChildRun run;
    QFile pipe;
    if (pipe.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        run.report = pipe.readAll();
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakKilobytes = usage.ru_maxrss;
    return run;
}

// The work in a child whose files may grow to at most limit bytes, as on a
// disk that fills up.
inline ChildRun runWithFileLimit(qint64 limit, const std::function<QByteArray()> &work)
{
    return runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        return work();
    });
}

