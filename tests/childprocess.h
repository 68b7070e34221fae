#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <QByteArray>

// Runs work in a forked child, so that a crash, a hang or a runaway use of
// memory shows up in the test's result instead of ending the whole suite.
// The child reports a text through a pipe; a child that outlives its
// time is ended by its own alarm.
struct ChildRun
{
    bool finished = false;   // the child ended normally, with exit status 0
    int signal = 0;          // the signal that ended it, or 0
    QByteArray report;       // what the work returned
    long peakKilobytes = 0;  // the child's largest resident size
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
        const char *data = report.constData();
        qsizetype left = report.size();
        while (left > 0) {
            const ssize_t written = ::write(channel[1], data, static_cast<size_t>(left));
            if (written <= 0)
                ::_exit(3);
            data += written;
            left -= written;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    ChildRun run;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0)
            run.report.append(buffer, got);
    }
    ::close(channel[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.peakKilobytes = usage.ru_maxrss;
    return run;
}
