// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historywindow.h"

#include <memory>

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPercentBarSeries>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

#include "historyui/historycharts.h"
#include "historyui/historyreport.h"
#include "historyui/historytable.h"

using namespace Qt::StringLiterals;

namespace {

// The range choice's items; a preset's data is its History::Preset.
constexpr int CustomRange = -1;
const std::pair<QString, int> RangeChoices[] = {
    {u"Last 7 days"_s, int(History::Preset::Last7Days)},
    {u"Last 30 days"_s, int(History::Preset::Last30Days)},
    {u"Last 90 days"_s, int(History::Preset::Last90Days)},
    {u"Last 365 days"_s, int(History::Preset::Last365Days)},
    {u"All days"_s, int(History::Preset::All)},
    {u"Dates chosen"_s, CustomRange},
};
constexpr int DefaultChoice = 1;

// The food's column in the entries table.
constexpr int FoodColumn = 3;

// The log is checked this often besides the file system's notices, which
// some file systems never give.
constexpr int PollMilliseconds = 1000;

QTableView *newTable(const QString &name, QAbstractItemModel *model)
{
    auto *table = new QTableView;
    table->setObjectName(name);
    table->setAccessibleName(name);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

QGroupBox *group(const QString &title, QWidget *content, QWidget *above = nullptr)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    if (above)
        layout->addWidget(above);
    layout->addWidget(content);
    return box;
}

QChartView *newChartView(const QString &name)
{
    auto *view = new QChartView;
    view->setObjectName(name);
    view->setAccessibleName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(200);
    return view;
}

// The food's column takes the width the others leave, the others the width
// of their texts; a name still too long shows whole when hovered.
void foodColumnTakesTheRest(QTableView *table, int foodColumn)
{
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(foodColumn, QHeaderView::Stretch);
}

// Replaces the chart a view shows; the view does not delete the one it had.
void setChart(QChartView *view, QChart *chart)
{
    std::unique_ptr<QChart> old(view->chart());
    view->setChart(chart);
}

} // namespace

HistoryWindow::HistoryWindow(const QString &logPath, QWidget *parent)
    : QMainWindow(parent)
    , m_logPath(logPath)
    , m_exportFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    setWindowTitle(u"Forkwell History"_s);
    setWindowIcon(QIcon::fromTheme(u"forkwell"_s));
    buildControls();
    buildActions();
    // Room for the days table beside the charts, on a screen that has it.
    resize(QSize(1440, 900).boundedTo(screen()->availableSize() * 0.92));

    connect(m_rangeChoice, &QComboBox::activated, this, &HistoryWindow::presetChosen);
    connect(m_from, &QDateEdit::dateChanged, this, [this] { datesEdited(true); });
    connect(m_to, &QDateEdit::dateChanged, this, [this] { datesEdited(false); });
    connect(m_daysTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryWindow::showSelectedDay);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &HistoryWindow::checkLog);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &HistoryWindow::checkLog);
    connect(&m_poll, &QTimer::timeout, this, &HistoryWindow::checkLog);
    m_watcher.addPath(QFileInfo(m_logPath).absolutePath());
    m_poll.start(PollMilliseconds);
    reload();
}

void HistoryWindow::buildControls()
{
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildRangeRow());

    auto *tables = new QSplitter(Qt::Vertical);
    buildTables(tables);
    m_content = new QSplitter(Qt::Horizontal);
    m_content->addWidget(tables);
    m_content->addWidget(buildOverview());

    m_message = new QLabel;
    m_message->setObjectName(u"message"_s);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setMargin(40);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pages = new QStackedWidget;
    m_pages->addWidget(m_content);
    m_pages->addWidget(m_message);
    layout->addWidget(m_pages, 1);
    setCentralWidget(central);
}

QHBoxLayout *HistoryWindow::buildRangeRow()
{
    auto *rangeRow = new QHBoxLayout;
    m_rangeChoice = new QComboBox;
    m_rangeChoice->setObjectName(u"rangeChoice"_s);
    m_rangeChoice->setAccessibleName(u"Days shown"_s);
    for (const auto &[text, preset] : RangeChoices)
        m_rangeChoice->addItem(text, preset);
    m_rangeChoice->setCurrentIndex(DefaultChoice);
    auto *show = new QLabel(u"&Show"_s);
    show->setBuddy(m_rangeChoice);
    rangeRow->addWidget(show);
    rangeRow->addWidget(m_rangeChoice);
    // The locale's short dates, with the year in full: "1/1/20" could be any century.
    const QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat).replace(QRegularExpression(u"y+"_s), u"yyyy"_s);
    for (auto [edit, name, caption] : {std::tuple{&m_from, u"from"_s, u"&from"_s}, std::tuple{&m_to, u"to"_s, u"&to"_s}}) {
        *edit = new QDateEdit;
        (*edit)->setObjectName(name);
        (*edit)->setAccessibleName(name == u"from"_s ? u"First day shown"_s : u"Last day shown"_s);
        (*edit)->setDisplayFormat(dateFormat);
        (*edit)->setCalendarPopup(true);
        (*edit)->setMinimumDate(QDate(100, 1, 1)); // the earliest a date box shows, for a clock set far back
        (*edit)->setKeyboardTracking(false); // a half-typed date is no range
        auto *label = new QLabel(caption);
        label->setBuddy(*edit);
        rangeRow->addWidget(label);
        rangeRow->addWidget(*edit);
    }
    rangeRow->addStretch();
    m_damaged = new QLabel;
    m_damaged->setObjectName(u"damaged"_s);
    m_damaged->setToolTip(u"Parts of the food log that hold no well-formed entry, such as an entry cut short "
                          "or edited by hand, are left out of every figure."_s);
    rangeRow->addWidget(m_damaged);
    return rangeRow;
}

void HistoryWindow::buildTables(QSplitter *tables)
{
    m_daysModel = new HistoryTable::Model(this);
    m_daysSorted = new QSortFilterProxyModel(this);
    m_daysSorted->setSourceModel(m_daysModel);
    m_daysSorted->setSortRole(HistoryTable::SortRole);
    m_daysSorted->setSortLocaleAware(true);
    m_daysTable = newTable(u"Days"_s, m_daysSorted);
    m_daysTable->setSortingEnabled(true);
    m_daysTable->sortByColumn(0, Qt::AscendingOrder);
    m_entriesModel = new HistoryTable::Model(this);
    m_entriesTable = newTable(u"Entries of the day"_s, m_entriesModel);
    m_dayTitle = new QLabel;
    m_dayTitle->setObjectName(u"dayTitle"_s);
    tables->addWidget(group(u"Days"_s, m_daysTable));
    tables->addWidget(group(u"Entries"_s, m_entriesTable, m_dayTitle));
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 2);
}

QWidget *HistoryWindow::buildOverview()
{
    auto *summary = new QGroupBox(u"Summary"_s);
    auto *summaryLayout = new QFormLayout(summary);
    for (const auto &[label, value] : HistoryModel::summaryRows(m_view)) {
        auto *shown = new QLabel;
        shown->setAccessibleName(label);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shown->setWordWrap(true); // the shares may go onto two lines beside a narrow chart
        summaryLayout->addRow(label + u':', shown);
        m_summaryValues += shown;
    }

    m_chartChoice = new QComboBox;
    m_chartChoice->setObjectName(u"chartChoice"_s);
    m_chartChoice->setAccessibleName(u"Amount charted"_s);
    for (const History::Nutrient nutrient : HistoryModel::ChartNutrients)
        m_chartChoice->addItem(HistoryModel::nutrientName(nutrient), int(nutrient));
    connect(m_chartChoice, &QComboBox::activated, this, &HistoryWindow::showCharts);
    auto *chartRow = new QWidget;
    auto *chartRowLayout = new QHBoxLayout(chartRow);
    chartRowLayout->setContentsMargins(0, 0, 0, 0);
    auto *chartLabel = new QLabel(u"&Chart"_s);
    chartLabel->setBuddy(m_chartChoice);
    chartRowLayout->addWidget(chartLabel);
    chartRowLayout->addWidget(m_chartChoice);
    chartRowLayout->addStretch();
    m_amountsChart = newChartView(u"Amounts chart"_s);
    m_sharesChart = newChartView(u"Shares chart"_s);

    m_topFoodsModel = new HistoryTable::Model(this);
    m_topFoodsModel->setTable(HistoryTable::topFoods({})); // the columns, for their sizes below
    m_topFoodsTable = newTable(u"Top foods"_s, m_topFoodsModel);
    m_topFoodsTable->setSelectionMode(QAbstractItemView::NoSelection);
    foodColumnTakesTheRest(m_topFoodsTable, 0);

    auto *overview = new QWidget;
    auto *overviewLayout = new QVBoxLayout(overview);
    overviewLayout->setContentsMargins(0, 0, 0, 0);
    overviewLayout->addWidget(summary);
    overviewLayout->addWidget(chartRow);
    overviewLayout->addWidget(m_amountsChart, 3);
    overviewLayout->addWidget(m_sharesChart, 3);
    overviewLayout->addWidget(group(u"Foods that gave the most calories"_s, m_topFoodsTable), 2);
    return overview;
}

void HistoryWindow::buildActions()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    QToolBar *tools = addToolBar(u"Exports"_s);
    tools->setObjectName(u"exports"_s);
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::tuple<QString, HistoryExport::Kind, QKeySequence> exports[] = {
        {u"Export &Days as CSV…"_s, HistoryExport::Kind::Days, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {u"Export &Entries as CSV…"_s, HistoryExport::Kind::Entries, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {u"Save &Report as PDF…"_s, HistoryExport::Kind::Report, QKeySequence::Save},
    };
    for (const auto &[text, kind, keys] : exports) {
        QAction *action = file->addAction(text, this, [this, kind] { exportRange(kind); });
        action->setShortcut(keys);
        tools->addAction(action);
        m_exportActions += action;
    }
    QAction *print = file->addAction(u"&Print Report…"_s, this, &HistoryWindow::printReport);
    print->setShortcut(QKeySequence::Print);
    m_exportActions += print;
    file->addSeparator();
    file->addAction(u"&Close"_s, this, &QWidget::close)->setShortcut(QKeySequence::Close);
}

void HistoryWindow::reload()
{
    m_stamp = HistoryModel::stamp(m_logPath);
    m_loaded = HistoryModel::load(m_logPath);
    showLog();
}

void HistoryWindow::checkLog()
{
    const HistoryModel::Stamp now = HistoryModel::stamp(m_logPath);
    if (now == m_stamp)
        return;
    m_stamp = now;
    const QDate lastShown = m_view.range.to;
    HistoryModel::update(m_loaded);
    showLog();
    // The newest day in view when the range now ends later.
    if (m_view.range.to > lastShown && !m_view.days.empty())
        selectDay(m_view.days.back().date);
}

void HistoryWindow::showLog()
{
    // A log that was replaced or newly made is a new file to watch.
    if (m_loaded.exists && !m_watcher.files().contains(m_logPath))
        m_watcher.addPath(m_logPath);
    m_damaged->setText(HistoryModel::damagedText(m_loaded.log));
    m_damaged->setVisible(!m_damaged->text().isEmpty());
    if (m_rangeChoice->currentData().toInt() == CustomRange)
        showRange(m_view.range);
    else
        presetChosen();
}

void HistoryWindow::presetChosen()
{
    const int preset = m_rangeChoice->currentData().toInt();
    if (preset != CustomRange)
        showRange(History::presetRange(History::Preset(preset), m_loaded.log, QDate::currentDate()));
}

void HistoryWindow::datesEdited(bool fromEdited)
{
    // The other end follows a date moved past it.
    m_rangeChoice->setCurrentIndex(m_rangeChoice->findData(CustomRange));
    showRange(History::ordered({m_from->date(), m_to->date()}, fromEdited));
}

void HistoryWindow::showRange(const History::Range &range)
{
    const QDate selected = m_daysTable->currentIndex().isValid()
        ? m_daysSorted->index(m_daysTable->currentIndex().row(), 0).data(HistoryTable::SortRole).toDate()
        : QDate();
    m_view = HistoryModel::forRange(m_loaded, range);

    for (QDateEdit *edit : {m_from, m_to}) {
        const QSignalBlocker blocker(edit);
        edit->setDate(edit == m_from ? range.from : range.to);
    }
    const QList<std::pair<QString, QString>> summary = HistoryModel::summaryRows(m_view);
    for (qsizetype i = 0; i < summary.size() && i < m_summaryValues.size(); ++i)
        m_summaryValues[i]->setText(summary[i].second);

    const QString empty = HistoryModel::emptyText(m_loaded, m_view);
    m_message->setText(empty);
    m_pages->setCurrentWidget(empty.isEmpty() ? m_pages->widget(0) : m_message);
    for (QAction *action : std::as_const(m_exportActions))
        action->setEnabled(empty.isEmpty());

    const bool firstRows = m_daysModel->rowCount() == 0;
    m_daysModel->setTable(HistoryTable::days(m_view.days));
    if (firstRows && !m_view.days.empty()) {
        // The days table gets the width of its columns, the charts the rest.
        m_daysTable->resizeColumnsToContents();
        const int tableWidth = m_daysTable->horizontalHeader()->length() + m_daysTable->verticalScrollBar()->sizeHint().width()
            + 2 * m_daysTable->frameWidth() + 56;
        m_content->setSizes({tableWidth, std::max(1, width() - tableWidth)});
    }
    m_topFoodsModel->setTable(HistoryTable::topFoods(m_view.topFoods));
    foodColumnTakesTheRest(m_topFoodsTable, 0);
    showCharts();
    selectDay(selected.isValid() && m_view.range.contains(selected) ? selected
              : m_view.days.empty()                                   ? QDate()
                                                                      : m_view.days.back().date);
}

void HistoryWindow::showCharts()
{
    const auto nutrient = History::Nutrient(m_chartChoice->currentData().toInt());
    QChart *amounts = HistoryCharts::amountsChart(m_view, nutrient);
    QChart *shares = HistoryCharts::sharesChart(m_view);
    // Hovering over a bar names its day, week or month and its value.
    const auto hover = [this](QChart *chart, const QString &format) {
        for (QAbstractSeries *series : chart->series()) {
            auto *bars = qobject_cast<QAbstractBarSeries *>(series);
            if (!bars)
                continue;
            connect(bars, &QAbstractBarSeries::hovered, this, [this, format](bool on, int index, QBarSet *set) {
                if (!on || index < 0 || std::size_t(index) >= m_view.places.size()) {
                    QToolTip::hideText();
                    return;
                }
                const HistoryModel::ChartPlace &place = m_view.places[std::size_t(index)];
                QToolTip::showText(QCursor::pos(),
                                   place.bar ? format.arg(place.label, set->label(),
                                                          QLocale().toString(set->at(index), 'f', 0))
                                             : u"%1: no entries"_s.arg(place.label));
            });
        }
    };
    hover(amounts, u"%1: %3 "_s + HistoryModel::unitOf(nutrient));
    hover(shares, u"%1: %2 %3 %"_s);
    setChart(m_amountsChart, amounts);
    setChart(m_sharesChart, shares);
    m_amountsChart->setAccessibleDescription(HistoryModel::amountsDescription(m_view, nutrient));
    m_sharesChart->setAccessibleDescription(HistoryModel::sharesDescription(m_view));
}

void HistoryWindow::selectDay(const QDate &date)
{
    for (std::size_t row = 0; row < m_view.days.size(); ++row) {
        if (m_view.days[row].date == date) {
            const QModelIndex index = m_daysSorted->mapFromSource(m_daysModel->index(int(row), 0));
            m_daysTable->setCurrentIndex(index);
            m_daysTable->scrollTo(index);
            return;
        }
    }
    showSelectedDay();
}

void HistoryWindow::showSelectedDay()
{
    const QModelIndex current = m_daysSorted->mapToSource(m_daysTable->currentIndex());
    if (!current.isValid() || std::size_t(current.row()) >= m_view.days.size()) {
        m_dayTitle->clear();
        m_entriesModel->setTable({});
        return;
    }
    const History::Day &day = m_view.days[std::size_t(current.row())];
    m_dayTitle->setText(QLocale().toString(day.date, QLocale::LongFormat));
    m_entriesModel->setTable(HistoryTable::entries(m_loaded.log, day));
    foodColumnTakesTheRest(m_entriesTable, FoodColumn);
}

void HistoryWindow::exportRange(HistoryExport::Kind kind)
{
    const bool report = kind == HistoryExport::Kind::Report;
    const QString path = QFileDialog::getSaveFileName(
        this, report ? u"Save the Report"_s : u"Export as CSV"_s,
        QDir(m_exportFolder).filePath(HistoryExport::suggestedName(kind, m_view.range)),
        report ? u"PDF files (*.pdf)"_s : u"CSV files (*.csv)"_s);
    if (path.isEmpty())
        return;
    m_exportFolder = QFileInfo(path).absolutePath();
    QString error;
    if (!HistoryExport::write(kind, path, m_loaded, m_view, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    statusBar()->showMessage(u"Saved %1"_s.arg(QDir::toNativeSeparators(path)), 10000);
}

void HistoryWindow::printReport()
{
    QPrinter printer;
    printer.setPageSize(QPageSize(HistoryReport::paperFor(HistoryReport::paperLocale())));
    printer.setDocName(u"Forkwell History report"_s);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        HistoryReport::paint(printer, m_loaded, m_view);
}
