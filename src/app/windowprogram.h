// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "app/version.h"

// What the companions with a window share at start-up.
namespace WindowProgram {

// Their command-line work draws with widgets too (a report's charts), which
// needs no screen: without a display they use the offscreen platform, and
// only the window asks for one. Call before the application is made; true
// when there is no display.
inline bool offscreenWithoutDisplay()
{
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return noDisplay;
}

// The program's name on the command line, its title, version and desktop entry.
inline void name(const QString &program, const QString &title, const QString &desktopId)
{
    QGuiApplication::setApplicationName(program);
    QGuiApplication::setApplicationDisplayName(title);
    QGuiApplication::setApplicationVersion(QStringLiteral(FORKWELL_VERSION));
    QGuiApplication::setDesktopFileName(desktopId);
}

} // namespace WindowProgram
