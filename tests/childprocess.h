#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <QByteArray>
#include <QFile>

// Runs work in a forked child, so that a crash, a hang or a runaway use of
// memory fails one case instead of ending the suite. The child hands its
// report back through a pipe and ends itself by alarm after timeoutSeconds.
struct ChildRun
{
    bool finished = false;  // the child ended normally, with exit status 0
    QByteArray report;      // what the work returned
    long peakKilobytes = 0; // the child's largest resident size
};

inline ChildRun runInChild(const std::function<QByteArray()> &work, unsigned timeoutSeconds = 120)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(timeoutSeconds);
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
