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
// dates; the range's days as a table, its summary, two charts and the
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
    void buildActions();

    // Reads the log afresh and shows it, keeping the chosen range: a
    // preset is taken again from the log's new last day.
    void reload();
    // Reloads when the log's size or time of change differ from the last read.
    void checkLog();

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
    QChartView *m_caloriesChart = nullptr;
    QChartView *m_sharesChart = nullptr;
    HistoryTable::Model *m_topFoodsModel = nullptr;
    QTableView *m_topFoodsTable = nullptr;
    QList<QAction *> m_exportActions;
};
