// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "forkwellui/startup.h"

int main(int argc, char *argv[])
{
    // Names the menu entry, so that a desktop shows the window with the
    // entry's name and icon (on Wayland it is the window's application id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.forkwell.Forkwell"));
    return startForkwell(argc, argv, [](Form1 &) { return QApplication::exec(); });
}
