// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historyreport.h"

#include <algorithm>
#include <memory>

#include <QBuffer>
#include <QChart>
#include <QDate>
#include <QFontMetricsF>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "historyui/historycharts.h"
#include "historyui/historytable.h"

using namespace Qt::StringLiterals;

namespace HistoryReport {

namespace {

constexpr double MarginMillimetres = 15;
constexpr double ChartWidthPixels = 720; // the size a chart is laid out at before it is scaled to paper
constexpr double HeaderPoints = 7.5;     // a table's header
constexpr double CellPoints = 8;         // a table's cells
constexpr double CellPadding = 3.5;       // points at each side of a cell

QFont font(double points, bool bold = false)
{
    QFont result;
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// Lays the report out top to bottom, page after page. It runs twice:
// once without a painter to count the pages, once to draw them.
class Flow
{
public:
    Flow(QPagedPaintDevice &device, QPainter *painter, const QString &footer, int pages)
        : m_device(device)
        , m_painter(painter)
        , m_footer(footer)
        , m_pages(pages)
        , m_point(device.logicalDpiY() / 72.0)
    {
    }

    QPainter *painter() const { return m_painter; }
    QPaintDevice *device() const { return &m_device; }
    double width() const { return m_device.width(); }
    double points(double value) const { return value * m_point; }
    int page() const { return m_page; }

    // The room for a block of the given height below what came before,
    // on a new page when this one has too little left.
    QRectF take(double height)
    {
        if (m_y + height > bottom() && m_y > 0)
            newPage();
        const QRectF room(0, m_y, width(), height);
        m_y += height;
        return room;
    }

    void skip(double height) { m_y = std::min(m_y + height, bottom()); }
    bool fits(double height) const { return m_y + height <= bottom(); }
    bool fitsOnPage(double height) const { return height <= bottom(); }

    void newPage()
    {
        drawFooter();
        if (m_painter)
            m_device.newPage();
        ++m_page;
        m_y = 0;
    }

    void finish() { drawFooter(); }

private:
    double bottom() const { return m_device.height() - points(18); }

    void drawFooter()
    {
        if (!m_painter)
            return;
        m_painter->setFont(font(7.5));
        m_painter->setPen(Qt::darkGray);
        const QRectF line(0, m_device.height() - points(10), width(), points(10));
        m_painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter, m_footer);
        m_painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                            u"page %1 of %2"_s.arg(m_page).arg(m_pages));
        m_painter->setPen(Qt::black);
    }

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
    QString m_footer;
    int m_pages;
    double m_point;
    int m_page = 1;
    double m_y = 0;
};

void text(Flow &flow, const QString &line, const QFont &type, double spaceAfter = 0)
{
    const double height = flow.points(type.pointSizeF() * 1.5);
    const QRectF room = flow.take(height);
    if (QPainter *painter = flow.painter()) {
        painter->setFont(type);
        painter->drawText(room, Qt::AlignLeft | Qt::AlignVCenter, line);
    }
    flow.skip(flow.points(spaceAfter));
}

void summary(Flow &flow, const HistoryModel::RangeModel &view)
{
    const double labelWidth = flow.points(170);
    for (const auto &[label, value] : HistoryModel::summaryRows(view)) {
        const QRectF room = flow.take(flow.points(14));
        if (QPainter *painter = flow.painter()) {
            painter->setFont(font(9.5));
            painter->drawText(room.adjusted(0, 0, labelWidth - room.width(), 0),
                              Qt::AlignLeft | Qt::AlignVCenter, label);
            painter->setFont(font(9.5, true));
            painter->drawText(room.adjusted(labelWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, value);
        }
    }
    flow.skip(flow.points(10));
}

void chart(Flow &flow, QChart *made)
{
    std::unique_ptr<QChart> owned(made);
    const QRectF room = flow.take(flow.width() * 0.4);
    flow.skip(flow.points(8));
    QPainter *painter = flow.painter();
    if (!painter)
        return;
    QGraphicsScene scene;
    scene.addItem(owned.release()); // the scene deletes it
    const QSizeF size(ChartWidthPixels, ChartWidthPixels * room.height() / room.width());
    made->resize(size);
    made->layout()->activate();
    scene.render(painter, room, QRectF(QPointF(), size));
}

// A table over the whole width, columns sized by weight, the header
// repeated at the top of each page it runs onto.
// Each column as wide as its widest cell or header word; room left over
// goes half evenly, half in proportion to the widths, room lacking is taken from the widest column,
// whose texts are then cut short.
std::vector<double> columnWidths(const Flow &flow, const HistoryTable::Table &content)
{
    const QFontMetricsF headerMetrics(font(HeaderPoints, true), flow.device());
    const QFontMetricsF cellMetrics(font(CellPoints), flow.device());
    std::vector<double> widths;
    for (const QString &header : content.headers) {
        double widest = 0;
        for (const QString &word : header.split(u' '))
            widest = std::max(widest, headerMetrics.horizontalAdvance(word));
        widths.push_back(widest);
    }
    const QLocale locale;
    for (const HistoryTable::Row &row : content.rows) {
        for (std::size_t c = 0; c < row.cells.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], cellMetrics.horizontalAdvance(row.cells[c].shown(locale)));
    }
    double total = 0;
    for (double &width : widths) {
        width += flow.points(2 * CellPadding);
        total += width;
    }
    if (total > flow.width()) {
        double &widest = *std::max_element(widths.begin(), widths.end());
        widest = std::max(flow.points(30), widest - (total - flow.width()));
    } else {
        const double left = flow.width() - total;
        const double count = double(widths.size());
        for (double &width : widths)
            width += left * (0.5 / count + 0.5 * width / total);
    }
    return widths;
}

void table(Flow &flow, const QString &title, const HistoryTable::Table &content)
{
    const double rowHeight = flow.points(12.5);
    const double headerHeight = flow.points(22);
    // A table that fits on a page starts on a page where it fits whole;
    // a longer one starts where there is room for its title, header and a row.
    const double titleHeight = flow.points(11 * 1.5 + 2);
    const double whole = titleHeight + headerHeight + rowHeight * double(content.rows.size());
    if (!flow.fits(whole) && (flow.fitsOnPage(whole) || !flow.fits(titleHeight + headerHeight + rowHeight)))
        flow.newPage();
    text(flow, title, font(11, true), 2);

    std::vector<QRectF> columns; // x and width only
    double x = 0;
    for (double width : columnWidths(flow, content)) {
        columns.emplace_back(x, 0, width, 0);
        x += width;
    }
    const auto cellRect = [&](std::size_t column, const QRectF &row) {
        return QRectF(columns[column].x() + flow.points(CellPadding), row.y(),
                      columns[column].width() - flow.points(2 * CellPadding), row.height());
    };

    const QLocale locale;
    int headerPage = 0;
    for (std::size_t r = 0; r <= content.rows.size(); ++r) {
        // The header goes at the top of each page, and keeps at least one row with it.
        if (headerPage != flow.page() || !flow.fits(rowHeight)) {
            if (!flow.fits(headerHeight + rowHeight))
                flow.newPage();
            const QRectF room = flow.take(headerHeight);
            headerPage = flow.page();
            if (QPainter *painter = flow.painter()) {
                painter->setFont(font(HeaderPoints, true));
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const bool left = c == 0 || content.rows.empty() || !content.rows[0].cells[c].number;
                    painter->drawText(cellRect(c, room),
                                      Qt::AlignBottom | Qt::TextWordWrap | (left ? Qt::AlignLeft : Qt::AlignRight),
                                      content.headers[qsizetype(c)]);
                }
                painter->drawLine(QLineF(0, room.bottom(), flow.width(), room.bottom()));
            }
        }
        if (r == content.rows.size())
            break;
        const QRectF room = flow.take(rowHeight);
        QPainter *painter = flow.painter();
        if (!painter)
            continue;
        const HistoryTable::Row &row = content.rows[r];
        QFont type = font(CellPoints);
        type.setItalic(row.marked);
        painter->setFont(type);
        for (std::size_t c = 0; c < columns.size() && c < row.cells.size(); ++c) {
            const HistoryTable::Cell &cell = row.cells[c];
            const QColor colour = HistoryTable::colourOf(cell.colour);
            painter->setPen(colour.isValid() ? colour : QColor(Qt::black));
            const QRectF rect = cellRect(c, room);
            painter->drawText(rect, Qt::AlignVCenter | (cell.number ? Qt::AlignRight : Qt::AlignLeft),
                              painter->fontMetrics().elidedText(cell.shown(locale), Qt::ElideRight, int(rect.width())));
        }
        painter->setPen(Qt::black);
    }
    flow.skip(flow.points(14));
}

void content(Flow &flow, const HistoryModel::LoadedLog &loaded, const HistoryModel::RangeModel &view)
{
    const QLocale locale;
    text(flow, u"Forkwell History: food report"_s, font(16, true), 4);
    text(flow, u"Days from %1 to %2"_s.arg(locale.toString(view.range.from, QLocale::LongFormat),
                                          locale.toString(view.range.to, QLocale::LongFormat)),
         font(11, true));
    text(flow, u"From the food log %1, made on %2"_s.arg(QFileInfo(loaded.path).absoluteFilePath(), locale.toString(QDate::currentDate(),
                                                                                      QLocale::ShortFormat)),
         font(8.5));
    if (const QString damaged = HistoryModel::damagedText(loaded.log); !damaged.isEmpty())
        text(flow, damaged, font(8.5));
    flow.skip(flow.points(10));

    summary(flow, view);
    if (const QString empty = HistoryModel::emptyText(loaded, view); !empty.isEmpty()) {
        const QFont type = font(10);
        const QRectF room = flow.take(flow.points(60));
        if (QPainter *painter = flow.painter()) {
            painter->setFont(type);
            painter->drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, empty);
        }
        return;
    }
    chart(flow, HistoryCharts::caloriesChart(view));
    chart(flow, HistoryCharts::sharesChart(view));

    table(flow, u"Foods that gave the most calories"_s, HistoryTable::topFoods(view.topFoods));
    table(flow, u"Days"_s, HistoryTable::days(view.days));
}

} // namespace

QLocale paperLocale()
{
    for (const char *variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return QLocale(name);
    }
    return QLocale::system();
}

QPageSize::PageSizeId paperFor(const QLocale &locale)
{
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Belize:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::CostaRica:
    case QLocale::ElSalvador:
    case QLocale::Guatemala:
    case QLocale::Nicaragua:
    case QLocale::Panama:
    case QLocale::PuertoRico:
    case QLocale::Venezuela:
    case QLocale::Philippines:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

void paint(QPagedPaintDevice &device, const HistoryModel::LoadedLog &loaded, const HistoryModel::RangeModel &view)
{
    const QString footer = u"Forkwell History, %1"_s.arg(HistoryModel::rangeText(view.range));
    Flow counting(device, nullptr, footer, 0);
    content(counting, loaded, view);

    QPainter painter(&device);
    Flow drawing(device, &painter, footer, counting.page());
    content(drawing, loaded, view);
    drawing.finish();
}

QByteArray pdf(const HistoryModel::LoadedLog &loaded, const HistoryModel::RangeModel &view)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(u"Forkwell History: food report, %1"_s.arg(HistoryModel::rangeText(view.range)));
        writer.setCreator(u"Forkwell History"_s);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(paperFor(paperLocale())));
        writer.setPageMargins(QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
                              QPageLayout::Millimeter);
        paint(writer, loaded, view);
    }
    return buffer.data();
}

} // namespace HistoryReport
