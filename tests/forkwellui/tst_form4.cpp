// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <cstring>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "database/textfile.h"
#include "forkwellui/form4.h"
#include "forkwellui/webbrowser1.h"

using namespace Qt::StringLiterals;

QString cannotDisplay(const QString &path) // the view's own page for a missing page, with the system's reason
{
    return u"The page cannot be displayed\nThe file %1 could not be opened: %2."_s.arg(
        path, QString::fromLocal8Bit(std::strerror(ENOENT)));
}

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    void readsThePageAgainOnComingBack()
    {
        QTemporaryDir folder;
        QVERIFY(QDir::setCurrent(folder.path()));
        const QString page = QDir::currentPath() + u"/Diethelp.html"_s;
        Form4 window;
        auto *view = window.findChild<WebBrowser1 *>(u"WebBrowser1"_s);
        window.show();
        QCOMPARE(window.windowTitle(), u"Help and Upgrade Link"_s);
        QTRY_COMPARE(view->toPlainText(), cannotDisplay(page));
        QCOMPARE(QApplication::topLevelWidgets().size(), 1); // no message of the program's own

        QVERIFY(TextFile::writeAtomically(page, u"<p>First</p>"_s));
        QWidget other;
        other.show();
        QTRY_VERIFY(other.isActiveWindow());
        QCOMPARE(view->toPlainText(), cannotDisplay(page)); // read only on coming back
        window.activateWindow();
        QTRY_COMPARE(view->toPlainText(), u"First"_s);
        QCOMPARE(view->source(), QUrl::fromLocalFile(page));
        QCOMPARE(HelpPage::path(u"/"_s), u"/Diethelp.html"_s); // in the root folder too: two slashes would name a host
    }

    void fallsBackToTheJoinedPath_data()
    {
        QTest::addColumn<QString>("pages"); // each showing its own name
        QTest::addColumn<QString>("text");
        QTest::newRow("the folder's page wins over the joined name") << u"/Diethelp.html|Diethelp.html"_s << u"/Diethelp.html"_s;
        QTest::newRow("only the joined name: the second navigation shows it") << u"Diethelp.html"_s << u"Diethelp.html"_s;
        QTest::newRow("neither: the view names the folder's page") << QString() << cannotDisplay(u"<folder>/help/Diethelp.html"_s);
    }

    // A folder "help" beside a page "helpDiethelp.html", which only the path joined without a separator names.
    void fallsBackToTheJoinedPath()
    {
        QFETCH(QString, pages); QFETCH(QString, text);
        QTemporaryDir parent;
        const QString folder = parent.filePath(u"help"_s);
        QVERIFY(QDir().mkdir(folder));
        for (const QString &page : pages.split(u'|', Qt::SkipEmptyParts))
            QVERIFY(TextFile::writeAtomically(folder + page, page));
        WebBrowser1 view;
        QCOMPARE(HelpPage::show(view, folder), !pages.isEmpty());
        QCOMPARE(view.toPlainText(), text.replace(u"<folder>"_s, parent.path()));
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
