// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyui/historyreport.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <QBuffer>
#include <QChart>
#include <QDate>
#include <QFontMetricsF>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPageLayout>
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
constexpr double CellPoints = 8;         // a table's cells, its header half a point smaller
constexpr double SmallestCellPoints = 6.5; // the smallest type a table is printed in
constexpr double CellPadding = 3.5;       // points at each side of a cell

QFont font(double points, bool bold = false)
{
    QFont result;
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// Lays the report out top to bottom, page after page. It runs twice:
// once without a painter to count the pages, once to draw them. A page
// is upright or, for a table too wide for an upright page, on its side.
class Flow
{
public:
    Flow(QPagedPaintDevice &device, QPainter *painter, const QString &footer, int pages)
        : m_device(device)
        , m_painter(painter)
        , m_footer(footer)
        , m_pages(pages)
        , m_point(device.logicalDpiY() / 72.0)
        , m_layout(device.pageLayout())
    {
        m_layout.setOrientation(QPageLayout::Portrait);
    }

    QPainter *painter() const { return m_painter; }
    QPaintDevice *device() const { return &m_device; }
    double width() const { return width(m_landscape); }
    double width(bool landscape) const { return paintRect(landscape).width(); }
    double points(double value) const { return value * m_point; }
    int page() const { return m_page; }
    bool landscape() const { return m_landscape; }

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

    void newPage(bool landscape)
    {
        drawFooter();
        if (m_painter) {
            if (landscape != m_landscape) {
                QPageLayout turned = m_layout;
                turned.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
                m_device.setPageLayout(turned);
            }
            m_device.newPage();
        }
        m_landscape = landscape;
        ++m_page;
        m_y = 0;
    }
    void newPage() { newPage(m_landscape); }

    void finish() { drawFooter(); }

private:
    QRect paintRect(bool landscape) const
    {
        QPageLayout layout = m_layout;
        layout.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        return layout.paintRectPixels(m_device.logicalDpiX());
    }
    double height() const { return paintRect(m_landscape).height(); }
    double bottom() const { return height() - points(18); }

    void drawFooter()
    {
        if (!m_painter)
            return;
        m_painter->setFont(font(7.5));
        m_painter->setPen(Qt::darkGray);
        const QRectF line(0, height() - points(10), width(), points(10));
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
    QPageLayout m_layout; // upright
    bool m_landscape = false;
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

// Text over the page's width, wrapped between words, or anywhere when a
// word is too long for a line.
void paragraph(Flow &flow, const QString &words, const QFont &type)
{
    const QFontMetricsF metrics(type, flow.device());
    const QStringList split = words.split(u' ');
    const bool longWord = std::any_of(split.begin(), split.end(), [&](const QString &word) {
        return metrics.horizontalAdvance(word) > flow.width();
    });
    const int flags = Qt::AlignLeft | Qt::AlignTop | (longWord ? Qt::TextWrapAnywhere : Qt::TextWordWrap);
    const QRectF room = flow.take(metrics.boundingRect(QRectF(0, 0, flow.width(), 1e6), flags, words).height()
                                  + flow.points(2));
    if (QPainter *painter = flow.painter()) {
        painter->setFont(type);
        painter->drawText(room, flags, words);
    }
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

// A column holds shortenable text when its cells are words alone, such as
// a food's name; every other cell, a number or a date, is printed whole.
bool shortenable(const HistoryTable::Table &content, std::size_t column)
{
    return !content.rows.empty() && !content.rows[0].cells[column].number
        && !content.rows[0].cells[column].value.isValid();
}

// How a table is printed: its type, the page's side, the widths of its
// columns and the height of its header, all measured with the metrics
// of the device it is drawn on.
struct TableLayout
{
    double cellPoints = CellPoints;
    bool landscape = false;
    std::vector<double> widths;
    double headerHeight = 0;
    QFont cellFont() const { return font(cellPoints); }
    QFont headerFont() const { return font(cellPoints - 0.5, true); }
};

// The widths a table needs in a type size: each column as wide as its
// widest whole cell and its longest header word, a text column at least a
// dozen average characters wide; nullopt when that passes the page's width.
// Room left over goes first to the text columns up to their longest text,
// then to headers that fit on one line, then to every column by its width.
std::optional<TableLayout> tryLayout(const Flow &flow, const HistoryTable::Table &content, double cellPoints,
                                     bool landscape)
{
    TableLayout layout;
    layout.cellPoints = cellPoints;
    layout.landscape = landscape;
    const QFontMetricsF header(layout.headerFont(), flow.device());
    const QFontMetricsF cells(layout.cellFont(), flow.device());
    const QLocale locale;
    const std::size_t count = std::size_t(content.headers.size());
    const double padding = flow.points(2 * CellPadding);
    std::vector<double> needed(count), textWidth(count), oneLine(count);
    for (std::size_t c = 0; c < count; ++c) {
        for (const QString &word : content.headers[qsizetype(c)].split(u' '))
            needed[c] = std::max(needed[c], header.horizontalAdvance(word));
        oneLine[c] = header.horizontalAdvance(content.headers[qsizetype(c)]);
        if (shortenable(content, c))
            needed[c] = std::max(needed[c], cells.averageCharWidth() * 12);
    }
    for (const HistoryTable::Row &row : content.rows) {
        for (std::size_t c = 0; c < row.cells.size() && c < count; ++c) {
            double &widest = shortenable(content, c) ? textWidth[c] : needed[c];
            widest = std::max(widest, cells.horizontalAdvance(row.cells[c].shown(locale)));
        }
    }
    const double page = flow.width(landscape);
    double total = 0;
    for (double &width : needed) {
        width += padding;
        total += width;
    }
    if (total > page)
        return std::nullopt;
    layout.widths = needed;
    const auto widen = [&](const std::vector<double> &wanted) {
        for (std::size_t c = 0; c < count && total < page; ++c) {
            const double more = std::min(std::max(0.0, wanted[c] + padding - layout.widths[c]), page - total);
            layout.widths[c] += more;
            total += more;
        }
    };
    widen(textWidth);
    widen(oneLine);
    const double left = page - total;
    for (double &width : layout.widths)
        width += left * (0.5 / double(count) + 0.5 * width / total);

    double headerHeight = header.height();
    for (std::size_t c = 0; c < count; ++c) {
        const QRectF wrapped = header.boundingRect(QRectF(0, 0, layout.widths[c] - padding, 1e6), Qt::TextWordWrap,
                                                   content.headers[qsizetype(c)]);
        headerHeight = std::max(headerHeight, wrapped.height());
    }
    layout.headerHeight = headerHeight + flow.points(4);
    return layout;
}

// The largest type that fits the table upright, else on its side, down to
// a readable floor; at the floor on its side when even that is too narrow,
// its text columns then cut shorter.
TableLayout layoutOf(const Flow &flow, const HistoryTable::Table &content)
{
    for (const bool landscape : {false, true}) {
        for (double points = CellPoints; points >= SmallestCellPoints; points -= 0.5) {
            if (std::optional<TableLayout> layout = tryLayout(flow, content, points, landscape))
                return *layout;
        }
    }
    TableLayout layout;
    layout.cellPoints = SmallestCellPoints;
    layout.landscape = true;
    const double share = flow.width(true) / double(content.headers.size());
    layout.widths.assign(std::size_t(content.headers.size()), share);
    layout.headerHeight = flow.points(22);
    return layout;
}

// Where a cell's text goes in its column of a row: inside its padding.
QRectF textRect(const Flow &flow, const QRectF &column, const QRectF &row)
{
    return QRectF(column.x() + flow.points(CellPadding), row.y(), column.width() - flow.points(2 * CellPadding),
                  row.height());
}

// A table's header in the room given, each title wrapped onto as many
// lines as it needs, at the bottom of the room; ruled off below.
void drawHeader(Flow &flow, const QFont &type, const std::vector<QRectF> &columns, const HistoryTable::Table &content,
                const QRectF &room)
{
    QPainter *painter = flow.painter();
    if (!painter)
        return;
    painter->setFont(type);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const bool left = c == 0 || content.rows.empty() || !content.rows[0].cells[c].number;
        painter->drawText(textRect(flow, columns[c], room).adjusted(0, 0, 0, -flow.points(2)),
                          Qt::AlignBottom | Qt::TextWordWrap | Qt::TextDontClip | (left ? Qt::AlignLeft : Qt::AlignRight),
                          content.headers[qsizetype(c)]);
    }
    painter->drawLine(QLineF(0, room.bottom(), columns.back().right(), room.bottom()));
}

// A table over the whole width, the header repeated at the top of each
// page it runs onto. A text too long for its column is cut short, marked
// with a number, and given whole in the notes under the table.
void table(Flow &flow, const QString &title, const HistoryTable::Table &content)
{
    const TableLayout layout = layoutOf(flow, content);
    const double rowHeight = flow.points(layout.cellPoints * 1.5625);
    const double headerHeight = layout.headerHeight;
    // A table that fits on a page starts on a page where it fits whole;
    // a longer one starts where there is room for its title, header and a row.
    const double titleHeight = flow.points(11 * 1.5 + 2);
    const double whole = titleHeight + headerHeight + rowHeight * double(content.rows.size());
    if (layout.landscape != flow.landscape())
        flow.newPage(layout.landscape);
    else if (!flow.fits(whole) && (flow.fitsOnPage(whole) || !flow.fits(titleHeight + headerHeight + rowHeight)))
        flow.newPage();
    text(flow, title, font(11, true), 2);

    std::vector<QRectF> columns; // x and width only
    double x = 0;
    for (double width : layout.widths) {
        columns.emplace_back(x, 0, width, 0);
        x += width;
    }
    const auto cellRect = [&](std::size_t column, const QRectF &row) { return textRect(flow, columns[column], row); };

    const QLocale locale;
    const QFontMetricsF metrics(layout.cellFont(), flow.device());
    QStringList notes;
    int headerPage = 0;
    for (std::size_t r = 0; r <= content.rows.size(); ++r) {
        // The header goes at the top of each page, and keeps at least one row with it.
        if (headerPage != flow.page() || !flow.fits(rowHeight)) {
            if (!flow.fits(headerHeight + rowHeight))
                flow.newPage();
            drawHeader(flow, layout.headerFont(), columns, content, flow.take(headerHeight));
            headerPage = flow.page();
        }
        if (r == content.rows.size())
            break;
        const QRectF room = flow.take(rowHeight);
        const HistoryTable::Row &row = content.rows[r];
        QPainter *painter = flow.painter();
        QFont type = layout.cellFont();
        type.setItalic(row.marked);
        if (painter)
            painter->setFont(type);
        for (std::size_t c = 0; c < columns.size() && c < row.cells.size(); ++c) {
            const HistoryTable::Cell &cell = row.cells[c];
            const QRectF rect = cellRect(c, room);
            QString shown = cell.shown(locale);
            if (shortenable(content, c) && metrics.horizontalAdvance(shown) > rect.width()) {
                notes += shown;
                const QString mark = u" (%1)"_s.arg(notes.size());
                shown = metrics.elidedText(shown, Qt::ElideRight, rect.width() - metrics.horizontalAdvance(mark)) + mark;
            }
            if (!painter)
                continue;
            const QColor colour = HistoryTable::colourOf(cell.colour);
            painter->setPen(colour.isValid() ? colour : QColor(Qt::black));
            painter->drawText(rect, Qt::AlignVCenter | Qt::TextDontClip | (cell.number ? Qt::AlignRight : Qt::AlignLeft),
                              shown);
        }
        if (painter)
            painter->setPen(Qt::black);
    }
    for (qsizetype n = 0; n < notes.size(); ++n)
        paragraph(flow, u"(%1) %2"_s.arg(n + 1).arg(notes[n]), font(CellPoints));
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
    chart(flow, HistoryCharts::amountsChart(view, History::Nutrient::Calories));
    chart(flow, HistoryCharts::sharesChart(view));
    if (HistoryModel::anyDayOverCholesterol(view))
        chart(flow, HistoryCharts::amountsChart(view, History::Nutrient::Cholesterol));

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
