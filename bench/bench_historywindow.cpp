// SPDX-License-Identifier: GPL-3.0-or-later
// The history window as the user meets it, on the offscreen platform, on a
// food log of about ten years: opening it with the table and the charts
// shown, and choosing another range.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTest>

#include "bench/benchsupport.h"
#include "historyui/historywindow.h"

using namespace Qt::StringLiterals;

namespace {

QString sampleLog(qint64 *bytes = nullptr)
{
    return QDir(Bench::logFolder(60, bytes)).filePath(u"mylist"_s);
}

// From the window's creation until it is on the screen, painted, against
// reading the log and counting its line ends.
void BM_OpenHistoryWindow(benchmark::State &state)
{
    qint64 bytes = 0;
    const QString log = sampleLog(&bytes);
    bool exposed = true;
    Bench::sideBySide(
        state, 0,
        [&] {
            HistoryWindow window(log);
            window.show();
            exposed = QTest::qWaitForWindowExposed(&window) && exposed;
            QCoreApplication::processEvents();
        },
        [&] { benchmark::DoNotOptimize(Bench::readAndCountLineEnds(log)); });
    if (!exposed)
        state.SkipWithError("the window did not come up");
    state.counters["size_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["limit_ms"] = 1000;
    state.SetLabel("vs reading + counting line ends");
}
BENCHMARK(BM_OpenHistoryWindow)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Choosing a range in the window, from the last 30 days to the whole log or
// back, until the table, the summary and the charts are repainted.
void BM_ChooseHistoryRange(benchmark::State &state)
{
    HistoryWindow window(sampleLog());
    window.show();
    auto *choice = window.findChild<QComboBox *>(u"rangeChoice"_s);
    if (!QTest::qWaitForWindowExposed(&window) || !choice) {
        state.SkipWithError("the window did not come up");
        return;
    }
    const auto choose = [choice](const QString &text) {
        choice->setCurrentIndex(choice->findText(text));
        emit choice->activated(choice->currentIndex());
        QCoreApplication::processEvents();
    };
    const QString target = state.range(0) == 0 ? u"Last 30 days"_s : u"All days"_s;
    const QString other = state.range(0) == 0 ? u"All days"_s : u"Last 30 days"_s;
    choose(other);
    for (auto _ : state) {
        state.SetIterationTime(Bench::seconds([&] { choose(target); }));
        choose(other);
    }
    state.counters["limit_ms"] = 50;
    state.SetLabel(state.range(0) == 0 ? "to the last 30 days" : "to the whole log");
}
BENCHMARK(BM_ChooseHistoryRange)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return Bench::run(argc, argv);
}
