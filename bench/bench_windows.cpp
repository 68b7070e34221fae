// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as the user meets them, on the offscreen platform: the main
// window coming back to the front, typing into its item list and opening
// it, and the log viewer's "Open My File".

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "bench/benchsupport.h"
#include "database/foodtable.h"
#include "forkwellui/form1.h"
#include "forkwellui/form2.h"

using namespace Qt::StringLiterals;

namespace {

// Waits until the window is on the screen, painted.
bool shown(QWidget &window)
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// Makes the window the active one and handles everything that follows from
// it, painting included.
bool activate(QWidget &window)
{
    window.activateWindow();
    QCoreApplication::processEvents();
    return window.isActiveWindow();
}

QComboBox *itemList(const Form1 &window)
{
    return window.findChild<QComboBox *>(u"Combo1"_s);
}

// The user comes back to the main window from another Forkwell window:
// the Load reads "diet" again, the item list is rebuilt and the window
// repainted. Against the Load alone, the file read into the food table.
void BM_MainWindowActivation(benchmark::State &state)
{
    const int records = static_cast<int>(state.range(0));
    const QString folder = Bench::databaseFolder(records);
    QDir::setCurrent(folder);
    FoodTable table;
    Form1 window(table);
    QWidget other;
    other.setWindowTitle(u"Another Forkwell window"_s);
    if (!shown(window) || !shown(other) || !activate(other)) {
        state.SkipWithError("the windows did not come up");
        return;
    }
    int rebuilt = 0;
    QObject::connect(itemList(window)->model(), &QAbstractItemModel::modelReset, &window, [&rebuilt] { ++rebuilt; });

    FoodTable alone;
    const QString diet = QDir(folder).filePath(u"diet"_s);
    bool allActivated = true;
    Bench::sideBySide(
        state, 2,
        [&] {
            allActivated = activate(window) && allActivated;
            window.repaint();
        },
        [&] { benchmark::DoNotOptimize(loadFoodTable(diet, alone).names.size()); },
        [&] { allActivated = activate(other) && allActivated; });
    if (!allActivated || rebuilt < state.iterations() || itemList(window)->count() != records)
        state.SkipWithError("the item list was not rebuilt on every return");
    state.counters["records"] = records;
    state.SetLabel("vs the Load alone");
}
BENCHMARK(BM_MainWindowActivation)->Arg(1000)->Arg(5000)->Arg(FoodTable::RowCount)->UseManualTime()->Unit(benchmark::kMillisecond);

// Two main windows side by side, one with the full database and one with
// none, for the item list's work at 15001 entries against an empty list.
struct TwoWindows
{
    FoodTable fullTable;
    FoodTable emptyTable;
    Form1 full{fullTable};
    Form1 empty{emptyTable};
    bool up = false;

    TwoWindows()
    {
        QDir::setCurrent(Bench::databaseFolder(FoodTable::RowCount));
        const bool fullShown = shown(full);
        QDir::setCurrent(Bench::newFolder(u"no-database"_s));
        up = fullShown && shown(empty) && itemList(full)->count() == FoodTable::RowCount
            && itemList(empty)->count() == 0;
    }
};

// What the user types: the beginning of a name that many foods share.
const QString Prefix = u"chicken, thigh, r"_s;

void type(QComboBox *list, QChar key)
{
    QTest::keyClick(list->lineEdit(), key.toLatin1());
    QCoreApplication::processEvents();
}

// One keystroke into the item list, the box repainted. The list itself
// does nothing while the user types.
void BM_KeystrokeInItemList(benchmark::State &state)
{
    TwoWindows windows;
    if (!windows.up) {
        state.SkipWithError("the windows did not come up");
        return;
    }
    QComboBox *full = itemList(windows.full);
    QComboBox *empty = itemList(windows.empty);
    full->clearEditText();
    empty->clearEditText();
    qsizetype typed = 0;
    Bench::sideBySide(
        state, 0, [&] { type(full, Prefix[typed]); }, [&] { type(empty, Prefix[typed]); },
        [&] {
            if (++typed == Prefix.size()) {
                typed = 0;
                full->clearEditText();
                empty->clearEditText();
            }
        });
    state.counters["limit_ms"] = 50;
    state.SetLabel("15001 entries vs none");
}
BENCHMARK(BM_KeystrokeInItemList)->UseManualTime()->Unit(benchmark::kMillisecond);

// With the beginning of a name typed, F4 opens the item list at the first
// entry that begins with it, painted.
void BM_OpenItemListAtTypedName(benchmark::State &state)
{
    TwoWindows windows;
    if (!windows.up) {
        state.SkipWithError("the windows did not come up");
        return;
    }
    QComboBox *full = itemList(windows.full);
    QComboBox *empty = itemList(windows.empty);
    for (QComboBox *list : {full, empty}) {
        list->clearEditText();
        QTest::keyClicks(list->lineEdit(), Prefix);
    }
    int expected = -1;
    for (int i = 0; i < full->count() && expected < 0; ++i) {
        if (full->itemText(i).startsWith(Prefix, Qt::CaseInsensitive))
            expected = i;
    }
    const auto open = [](QComboBox *list) {
        QTest::keyClick(list->lineEdit(), Qt::Key_F4);
        QCoreApplication::processEvents();
    };
    bool found = true;
    Bench::sideBySide(
        state, 0, [&] { open(full); }, [&] { open(empty); },
        [&] {
            found = found && full->view()->isVisible() && full->view()->currentIndex().row() == expected;
            full->hidePopup();
            empty->hidePopup();
            QCoreApplication::processEvents();
        });
    if (!found || expected < 0)
        state.SkipWithError("the list did not open at the typed name");
    state.counters["limit_ms"] = 50;
    state.SetLabel("15001 entries vs none");
}
BENCHMARK(BM_OpenItemListAtTypedName)->UseManualTime()->Unit(benchmark::kMillisecond);

// "Open My File" in the log viewer: the log read, split into its lines,
// put into the box and painted; against reading the file and counting its
// line ends.
void BM_OpenMyFile(benchmark::State &state)
{
    const int megabytes = static_cast<int>(state.range(0));
    qint64 bytes = 0;
    const QString folder = Bench::logFolder(megabytes, &bytes);
    QDir::setCurrent(folder);
    Form2 viewer;
    if (!shown(viewer)) {
        state.SkipWithError("the log viewer did not come up");
        return;
    }
    auto *open = viewer.findChild<QPushButton *>(u"Command1"_s);
    auto *box = viewer.findChild<QPlainTextEdit *>(u"Text1"_s);
    const QString log = QDir(folder).filePath(u"mylist"_s);
    Bench::sideBySide(
        state, 5,
        [&] {
            open->click();
            QCoreApplication::processEvents();
            viewer.repaint();
        },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(log)); });
    // Each line end of the log is one line of the box, or more where the
    // log's lines hold commas.
    if (box->document()->characterCount() < bytes / 2)
        state.SkipWithError("the log did not reach the box");
    state.counters["size_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel("vs reading + counting line ends");
}
BENCHMARK(BM_OpenMyFile)->Arg(6)->Arg(30)->Arg(60)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says so each time a window asks to be raised or
    // a list to grab the keyboard; the figures are easier to read without.
    static const QtMessageHandler standard = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
        if (!message.startsWith(u"This plugin does not support"_s))
            standard(type, context, message);
    });
    QApplication app(argc, argv);
    return Bench::run(argc, argv);
}
