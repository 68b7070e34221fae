// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/form4.h"

#include <QDir>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <QWindow>

#include "database/forkwellfiles.h"
#include "forkwellui/twips.h"
#include "forkwellui/webbrowser1.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int ClientWidth = 6675;
constexpr int ClientHeight = 4410;
constexpr int ViewMargin = 60; // left free around the page view

} // namespace

namespace HelpPage {

QString path(const QString &folder)
{
    // The root folder already ends with its slash; a second one would make
    // the page's address name a host.
    const QString name = ForkwellFiles::HelpPage.toString();
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString fallbackPath(const QString &folder)
{
    return folder + ForkwellFiles::HelpPage.toString();
}

bool show(WebBrowser1 &view, const QString &folder)
{
    const QString page = path(folder);
    QString reason;
    if (view.navigate(page, &reason) || view.navigate(fallbackPath(folder)))
        return true;
    view.showCannotDisplay(page, reason);
    return false;
}

} // namespace HelpPage

Form4::Form4(double pixelsPerTwip, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_lastActive(QGuiApplication::focusWindow())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Help and Upgrade Link"));

    m_view = new WebBrowser1(this);
    m_view->setObjectName(u"WebBrowser1"_s);
    m_view->setAccessibleName(tr("Help page"));

    const TwipsScale scale(fontMetrics(), pixelsPerTwip);
    auto *layout = new QVBoxLayout(this);
    const int margin = scale.pixels(ViewMargin);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(m_view);
    resize(scale.size(ClientWidth, ClientHeight));

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Form4::activeWindowChanged);
}

void Form4::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    showHelp();
}

void Form4::activeWindowChanged(QWindow *now)
{
    // Menus and tips opened over a window are part of it.
    if (!now || now->type() == Qt::Popup || now->type() == Qt::ToolTip)
        return;
    const bool cameHere = now == windowHandle() && m_lastActive != now;
    m_lastActive = now;
    if (cameHere)
        showHelp();
}

void Form4::showHelp()
{
    HelpPage::show(*m_view, QDir::currentPath());
}
