// SPDX-License-Identifier: GPL-3.0-or-later
// Starts like Forkwell and ends as soon as the window is on the screen,
// printing the process's peak memory. The start-up benchmark runs it many
// times, with a bare window for comparison.
//
//   forkwell-startup-probe bare
//   forkwell-startup-probe main <folder>           the main window, Load included
//   forkwell-startup-probe main-and-log <folder>   then "View My List", "Open My File"
//
// Prints "peak_kB <n>" and exits 0, or exits 1 when the window did not show
// what it should.

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

#include "forkwellui/form1.h"
#include "forkwellui/startup.h"

using namespace Qt::StringLiterals;

namespace {

// Peak resident memory of this process in kB, from /proc/self/status.
long peakKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Runs the event loop until the window is exposed and its first paint is
// done.
bool waitUntilShown(QWidget &window)
{
    window.show();
    QWindow *handle = window.windowHandle();
    if (!handle)
        return false;
    while (!handle->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    return true;
}

[[noreturn]] void finish(bool ok)
{
    std::printf("peak_kB %ld\n", peakKilobytes());
    std::fflush(stdout);
    // Tearing the windows down is no part of starting up.
    std::_Exit(ok ? 0 : 1);
}

// Waits for the main window on the screen, with the database listed; in
// "main-and-log" mode opens the log viewer and its log too. Never returns.
[[noreturn]] void showMainWindow(Form1 &window, const QString &mode)
{
    const bool shown = waitUntilShown(window);
    const auto *list = window.findChild<QComboBox *>(u"Combo1"_s);
    const bool loaded = shown && list && list->count() > 0;
    if (mode != u"main-and-log"_s)
        finish(loaded);

    window.findChild<QPushButton *>(u"Command5"_s)->click();
    QWidget *viewer = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top != &window && top->findChild<QPlainTextEdit *>(u"Text1"_s))
            viewer = top;
    }
    if (!viewer || !waitUntilShown(*viewer))
        finish(false);
    viewer->findChild<QPushButton *>(u"Command1"_s)->click();
    QCoreApplication::processEvents();
    viewer->repaint();
    finish(loaded && viewer->findChild<QPlainTextEdit *>(u"Text1"_s)->document()->characterCount() > 1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool bare = mode == u"bare"_s;
    if (!bare && (argc < 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[2])))) {
        std::fprintf(stderr, "usage: %s bare | main <folder> | main-and-log <folder>\n", argv[0]);
        return 2;
    }

    if (bare) {
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle(u"Forkwell 1.0"_s);
        finish(waitUntilShown(window));
    }

    // The program's own start, up to its window on the screen.
    return startForkwell(argc, argv, [&mode](Form1 &window) -> int { showMainWindow(window, mode); });
}
