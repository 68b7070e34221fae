// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QList>
#include <QMainWindow>
#include <QTimer>

#include "history/historymodel.h"
#include "historyui/historyexport.h"

class QAction;
class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QSortFilterProxyModel;
class QSplitter;
class QStackedWidget;
class QTableView;

namespace HistoryTable {
class Model;
}

// "Forkwell History": the days behind the food log. A range of days,
// chosen as the last 7, 30, 90 or 365 days of the log, all of it, or two
// dates; the range's days as a table, its summary, a chart of the amount
// chosen, one of the shares, and the
// foods that gave the most calories; the entries of the day chosen in the
// table. Follows the log as it grows, and exports the range as CSV or as
// a report. Never writes the log.
class HistoryWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit HistoryWindow(const QString &logPath, QWidget *parent = nullptr);

private:
    void buildControls();
    QHBoxLayout *buildRangeRow();
    void buildTables(QSplitter *tables);
    QWidget *buildOverview();
    void buildActions();

    // Reads the log afresh and shows it.
    void reload();
    // Brings the log up to date when its size or time of change differ
    // from the last read, reading only what was appended where it can,
    // and shows it; the newest day comes into view when the range grew.
    void checkLog();
    // Shows the log, keeping the chosen range: a preset is taken again
    // from the log's new last day.
    void showLog();

    void presetChosen();
    void datesEdited(bool fromEdited);
    void showRange(const History::Range &range);
    void showCharts();
    void selectDay(const QDate &date);
    void showSelectedDay();

    void exportRange(HistoryExport::Kind kind);
    void printReport();

    QString m_logPath;
    HistoryModel::LoadedLog m_loaded;
    HistoryModel::RangeModel m_view;
    HistoryModel::Stamp m_stamp;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    QString m_exportFolder;

    QComboBox *m_rangeChoice = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLabel *m_damaged = nullptr;
    QStackedWidget *m_pages = nullptr;
    QSplitter *m_content = nullptr;
    QLabel *m_message = nullptr;
    HistoryTable::Model *m_daysModel = nullptr;
    QSortFilterProxyModel *m_daysSorted = nullptr;
    QTableView *m_daysTable = nullptr;
    QLabel *m_dayTitle = nullptr;
    HistoryTable::Model *m_entriesModel = nullptr;
    QTableView *m_entriesTable = nullptr;
    QList<QLabel *> m_summaryValues;
    QComboBox *m_chartChoice = nullptr;
    QChartView *m_amountsChart = nullptr;
    QChartView *m_sharesChart = nullptr;
    HistoryTable::Model *m_topFoodsModel = nullptr;
    QTableView *m_topFoodsTable = nullptr;
    QList<QAction *> m_exportActions;
};
