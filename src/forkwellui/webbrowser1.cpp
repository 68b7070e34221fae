// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/webbrowser1.h"

#include <QFile>
#include <QUrl>

WebBrowser1::WebBrowser1(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(true);
    setOpenExternalLinks(true);
}

bool WebBrowser1::navigate(const QString &path, QString *error)
{
    // The view would load a missing file as an empty page without a word;
    // opening it first tells a missing page from an empty one.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString reason = file.errorString();
        showCannotDisplay(path, reason);
        if (error)
            *error = reason;
        return false;
    }
    file.close();

    // Another page loads at once. The page already shown, perhaps scrolled
    // to one of its sections, only goes back to its top; reloading it reads
    // it afresh from disk.
    const QUrl url = QUrl::fromLocalFile(path);
    QUrl shown = source();
    shown.setFragment(QString());
    setSource(url);
    if (shown == url)
        reload();
    return true;
}

void WebBrowser1::showCannotDisplay(const QString &path, const QString &reason)
{
    setHtml(tr("<h2>The page cannot be displayed</h2>"
               "<p>The file <b>%1</b> could not be opened: %2.</p>")
                .arg(path.toHtmlEscaped(), reason.toHtmlEscaped()));
}
