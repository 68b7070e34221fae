#include <cerrno>
#include <cstring>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "foodtable.h"
#include "form1.h"
#include "form2.h"
#include "form4.h"
#include "webbrowser1.h"

using namespace Qt::StringLiterals;

namespace {

void writePage(const QString &path, const QByteArray &html)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(html), html.size());
}

QString cannotDisplay(const QString &path)
{
    // The reason is the system's own words, in the user's language.
    return u"The page cannot be displayed\nThe file %1 could not be opened: %2."_s.arg(
        path, QString::fromLocal8Bit(std::strerror(ENOENT)));
}

// Makes another window of the program the active one, then the help window again.
void leaveAndComeBack(QWidget *help)
{
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    help->activateWindow();
    QTRY_VERIFY(help->isActiveWindow());
}

template<typename Window>
QList<Window *> shownWindows()
{
    QList<Window *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            shown += window;
    }
    return shown;
}

} // namespace

// Stands in for the desktop's web browser.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsThePageAgainOnComingBack();
    void aMissingPageShowsTheViewsOwnPage();
    void fallsBackToTheJoinedPath_data();
    void fallsBackToTheJoinedPath();
    void helpPageLinksStayInsideOrGoToTheBrowser();
    void mainWindowOpensOneLogViewerAndOneHelpWindow();

private:
    QTemporaryDir m_folder;
    QString m_page = m_folder.filePath(u"Diethelp.html"_s);
    QString m_startFolder = QDir::currentPath();
    Form4 *m_window = nullptr;
    WebBrowser1 *m_view = nullptr;
};

void TestForm4::init()
{
    QVERIFY(QDir::setCurrent(m_folder.path()));
    QFile::remove(m_page);
    m_window = new Form4;
    m_view = m_window->findChild<WebBrowser1 *>(u"WebBrowser1"_s);
}

void TestForm4::cleanup()
{
    delete m_window;
    QDir::setCurrent(m_startFolder);
}

void TestForm4::showsThePageAgainOnComingBack()
{
    writePage(m_page, "<p>First</p>");
    m_window->show();
    QCOMPARE(m_window->windowTitle(), u"Help and Upgrade Link"_s);
    QTRY_COMPARE(m_view->toPlainText(), u"First"_s);
    QCOMPARE(m_view->source(), QUrl::fromLocalFile(QDir::currentPath() + u"/Diethelp.html"_s));
    QVERIFY(m_view->width() >= m_window->width() * 95 / 100);
    QVERIFY(m_view->height() >= m_window->height() * 95 / 100);

    writePage(m_page, "<p>Second</p>");
    QCOMPARE(m_view->toPlainText(), u"First"_s); // read only on coming back
    leaveAndComeBack(m_window);
    QTRY_COMPARE(m_view->toPlainText(), u"Second"_s);

    writePage(m_page, "<p>Third</p>");
    m_window->setFocus(); // the window itself taking the focus
    QTRY_COMPARE(m_view->toPlainText(), u"Third"_s);
}

void TestForm4::aMissingPageShowsTheViewsOwnPage()
{
    m_window->show();
    QTRY_COMPARE(m_view->toPlainText(), cannotDisplay(m_page));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(QApplication::topLevelWidgets().size(), 1); // no message of the program's own

    writePage(m_page, "<p>Here now</p>");
    leaveAndComeBack(m_window);
    QTRY_COMPARE(m_view->toPlainText(), u"Here now"_s);
}

void TestForm4::fallsBackToTheJoinedPath_data()
{
    QTest::addColumn<bool>("inFolder");
    QTest::addColumn<bool>("joined");
    QTest::addColumn<QString>("text");
    QTest::newRow("the folder's page wins over the joined name") << true << true << u"In the folder"_s;
    QTest::newRow("only the joined name: the second navigation shows it") << false << true << u"Joined"_s;
    QTest::newRow("neither: the view names the folder's page")
        << false << false << cannotDisplay(u"<folder>/help/Diethelp.html"_s);
}

// A folder "help" beside a file "helpDiethelp.html", which only the path
// joined without a separator names.
void TestForm4::fallsBackToTheJoinedPath()
{
    QFETCH(bool, inFolder);
    QFETCH(bool, joined);
    QFETCH(QString, text);
    QTemporaryDir parent;
    const QString folder = parent.filePath(u"help"_s);
    QVERIFY(QDir().mkdir(folder));
    if (inFolder)
        writePage(folder + u"/Diethelp.html"_s, "<p>In the folder</p>");
    if (joined)
        writePage(folder + u"Diethelp.html"_s, "<p>Joined</p>");
    QCOMPARE(HelpPage::show(*m_view, folder), inFolder || joined);
    QCOMPARE(m_view->toPlainText(), text.replace(u"<folder>"_s, parent.path()));
}

void TestForm4::helpPageLinksStayInsideOrGoToTheBrowser()
{
    QFile shipped(QStringLiteral(FORKWELL_SOURCE_DIR "/data/Diethelp.html"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray html = shipped.readAll();
    QVERIFY(!html.contains("<script"));
    writePage(m_page, html);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY(m_view->toPlainText().startsWith(u"Forkwell 1.0 Help"_s));
    const QUrl page = m_view->source();

    // Every link within the page leads to a place in it.
    QStringList anchors;
    QStringList targets;
    for (QTextBlock block = m_view->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            anchors += it.fragment().charFormat().anchorNames();
            const QString href = it.fragment().charFormat().anchorHref();
            if (href.startsWith(u'#'))
                targets += href.sliced(1);
        }
    }
    QVERIFY(targets.size() >= 12);
    for (const QString &target : std::as_const(targets))
        QVERIFY2(anchors.contains(target), qPrintable(target));

    auto click = [this](const QString &linkText) {
        QTextCursor link = m_view->document()->find(linkText);
        link.setPosition(link.selectionStart() + 2);
        m_view->setTextCursor(link);
        m_view->ensureCursorVisible();
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->cursorRect(link).center());
    };
    click(u"What the colours mean"_s);
    QTRY_VERIFY(m_view->verticalScrollBar()->value() > 0);
    QCOMPARE(m_view->source(), QUrl(page.toString() + u"#colours"_s));

    Browser browser;
    QDesktopServices::setUrlHandler(u"https"_s, &browser, "open");
    click(u"FoodData Central"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
    QCOMPARE(browser.opened, QList<QUrl>{QUrl(u"https://fdc.nal.usda.gov/"_s)});
    QCOMPARE(m_view->source(), QUrl(page.toString() + u"#colours"_s));
}

void TestForm4::mainWindowOpensOneLogViewerAndOneHelpWindow()
{
    writePage(m_page, "<p>Help</p>");
    FoodTable table;
    Form1 main(table);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    for (const QString &button : {u"Command5"_s, u"Command2"_s, u"Command5"_s, u"Command2"_s})
        QTest::mouseClick(main.findChild<QPushButton *>(button), Qt::LeftButton);

    QCOMPARE(shownWindows<Form2>().size(), 1);
    const QList<Form4 *> help = shownWindows<Form4>();
    QCOMPARE(help.size(), 1);
    QTRY_VERIFY(help.front()->isActiveWindow());
    QTRY_COMPARE(help.front()->findChild<WebBrowser1 *>()->toPlainText(), u"Help"_s);
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
