// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The log viewer: "Open My File" shows the food log "mylist", oldest entry
// first, one item per line, in a read-only box whose text can be selected
// and copied. Shows nothing until the button is pressed. Deletes itself
// when closed; its opener creates it anew, empty.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(double pixelsPerTwip = 0.0, QWidget *parent = nullptr);

private:
    void layOut(double pixelsPerTwip);

    // "Open My File": replaces the box's text with the log read afresh.
    // Keeps the text when the log cannot be read.
    void showLog();

    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_open = nullptr;
};
