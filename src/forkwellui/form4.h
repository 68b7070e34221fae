// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QWindow;
class WebBrowser1;

namespace HelpPage {

// Where the help page is looked for first: the folder, a slash unless the
// folder ends with one (the root folder "/"), and the page's file name.
QString path(const QString &folder);

// Where it is looked for when that fails: the folder and the file name with
// no separator between them, which names the page only when the folder is
// given with a trailing slash.
QString fallbackPath(const QString &folder);

// Shows the help page of folder in view: the page at path(), else the one at
// fallbackPath(). When neither can be read, the view's own "cannot be
// displayed" page names path(), where the page belongs. False then.
bool show(WebBrowser1 &view, const QString &folder);

} // namespace HelpPage

// The help window: the help page "Diethelp.html" of the working folder,
// shown again from disk each time the user comes to the window from
// another window of the program, and when the window itself takes the
// focus. Shows no message of its own. Deletes itself when closed.
class Form4 : public QWidget
{
    Q_OBJECT

public:
    explicit Form4(double pixelsPerTwip = 0.0, QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    // The program's active window changed to now, or to none when the user
    // went to another program.
    void activeWindowChanged(QWindow *now);

    void showHelp();

    WebBrowser1 *m_view = nullptr;
    // The program's window that was active last; coming back to this one
    // from another program does not count as coming to it.
    QPointer<QWindow> m_lastActive;
};
