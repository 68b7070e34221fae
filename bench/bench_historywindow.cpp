// SPDX-License-Identifier: GPL-3.0-or-later
// The history window as the user meets it, on the offscreen platform, on a
// food log of about ten years: opening it with the table and the charts
// shown, choosing another range, and a food added while it is open; and
// "All days" of a log whose dates span the calendar.

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTest>

#include "bench/benchsupport.h"
#include "database/textfile.h"
#include "history/historymodel.h"
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

// The log's last entry appended to a copy of the 60 MB log, as the main
// program adds a food, until the open window's days table counts it, the
// file system's notice included, against reading the whole log into days
// as a window that read it afresh would.
void BM_AppendedEntryShown(benchmark::State &state)
{
    const QString log = QDir(Bench::newFolder(u"shown"_s)).filePath(u"mylist"_s);
    QFile::copy(sampleLog(), log);
    const HistoryModel::LoadedLog loaded = HistoryModel::load(log);
    const FoodLog::Entry &last = loaded.log.entries.back();
    const QByteArray entry = TextFile::readBytes(log).value_or(QByteArray()).mid(last.offset, last.length);
    HistoryWindow window(log);
    window.show();
    const QAbstractItemModel *days = window.findChild<QTableView *>(u"Days"_s)->model();
    if (!QTest::qWaitForWindowExposed(&window) || days->rowCount() == 0) {
        state.SkipWithError("the window did not come up");
        return;
    }
    const auto entries = [days] { return days->index(days->rowCount() - 1, days->columnCount() - 1).data().toInt(); };
    int shown = 0;
    Bench::sideBySide(
        state, 0,
        [&] {
            const int before = entries();
            QFile file(log);
            if (!file.open(QIODevice::Append) || file.write(entry) != entry.size())
                state.SkipWithError("the log could not be appended to");
            file.close();
            QDeadlineTimer deadline(5000);
            while (entries() == before && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            shown += entries() > before ? 1 : 0;
        },
        [&] { benchmark::DoNotOptimize(HistoryModel::load(log).days.size()); });
    if (shown != int(state.iterations()))
        state.SkipWithError("an appended entry did not show");
    state.counters["limit_ms"] = 50;
    state.SetLabel("vs reading the whole log into days");
}
BENCHMARK(BM_AppendedEntryShown)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Opening the window on a log of an entry each decade from year 1 to 9999
// and choosing "All days", until painted, against opening it on the last
// 30 days of the same log.
void BM_AllOfTheCalendar(benchmark::State &state)
{
    const QString log = QDir(Bench::newFolder(u"calendar"_s)).filePath(u"mylist"_s);
    const HistoryModel::LoadedLog sample = HistoryModel::load(sampleLog());
    const FoodLog::Entry &first = sample.log.entries.front();
    const QByteArray entry = TextFile::readBytes(sampleLog()).value_or(QByteArray()).mid(first.offset, first.length);
    QByteArray bytes;
    for (int year = 1; year <= 9999; year += 10)
        bytes += QByteArray("06-01-") + QByteArray::number(year).rightJustified(4, '0') + entry.mid(10);
    if (!TextFile::writeBytesAtomically(log, bytes)) {
        state.SkipWithError("the log could not be written");
        return;
    }
    bool exposed = true;
    const auto open = [&](const QString &range) {
        HistoryWindow window(log);
        window.show();
        auto *choice = window.findChild<QComboBox *>(u"rangeChoice"_s);
        choice->setCurrentIndex(choice->findText(range));
        emit choice->activated(choice->currentIndex());
        exposed = QTest::qWaitForWindowExposed(&window) && exposed;
        QCoreApplication::processEvents();
    };
    Bench::sideBySide(
        state, 0, [&] { open(u"All days"_s); }, [&] { open(u"Last 30 days"_s); });
    if (!exposed)
        state.SkipWithError("the window did not come up");
    state.counters["limit_ms"] = 500;
    state.SetLabel("vs the last 30 days of it");
}
BENCHMARK(BM_AllOfTheCalendar)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return Bench::run(argc, argv);
}
