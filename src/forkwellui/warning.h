// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Shows a warning over the window, titled like it. Window-modal and not
// waited for: the rest of the program stays usable, and nothing the window
// shows changes because of the message.
void showWarning(QWidget *window, const QString &text);
