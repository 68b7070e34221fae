// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/warning.h"

#include <QMessageBox>
#include <QWidget>

void showWarning(QWidget *window, const QString &text)
{
    auto *message = new QMessageBox(QMessageBox::Warning, window->windowTitle(), text,
                                    QMessageBox::Ok, window);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->open();
}
