// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>

// The help window's page view: shows local HTML files. Links inside a page
// move within it or to another local page; links to web addresses open in
// the desktop's web browser, never inside the program.
class WebBrowser1 : public QTextBrowser
{
    Q_OBJECT

public:
    explicit WebBrowser1(QWidget *parent = nullptr);

    // Loads the HTML file at path and shows it, afresh even when it is the
    // page already shown. A file that cannot be read is a failure: the view
    // then shows its own "cannot be displayed" page naming the path, and
    // *error (if given) holds the system's reason.
    bool navigate(const QString &path, QString *error = nullptr);

    // The view's own page for a file it could not show, naming its path.
    void showCannotDisplay(const QString &path, const QString &reason);
};
