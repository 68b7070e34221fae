// SPDX-License-Identifier: GPL-3.0-or-later
#include "forkwellui/form2.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "forkwellui/twips.h"
#include "tally/logview.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int ClientWidth = 4725;
constexpr int ClientHeight = 4770;
constexpr int TextWidth = 4695;
constexpr int TextHeight = 4335;
constexpr int ButtonLeft = 1560;
constexpr int ButtonTop = 4440;
constexpr int ButtonWidth = 1335;
constexpr int ButtonHeight = 255;

// Most paragraphs the box is given. Its document keeps one block per
// paragraph, and building millions of blocks costs many times more than the
// text itself: a ten-year log would freeze the window for many seconds.
constexpr qint64 MaxBlocks = 32768;

// Turns the log's lines, a piece at a time, into the text of the box's
// document: each line end (CR LF, or a lone LF or CR) becomes a separator.
// A short log keeps one paragraph per line; a long one is grouped into at
// most MaxBlocks paragraphs of about equal length, its lines separated
// inside by line separators. Both show as ordinary lines, and both are
// copied as line ends.
class LineGrouping
{
public:
    // For a log of that many bytes.
    explicit LineGrouping(qint64 logBytes)
        : m_paragraphLength(logBytes / MaxBlocks)
    {
    }

    // Pieces must end with a line end, as the log viewer's lines do. The
    // text is valid until the next piece.
    const QString &grouped(QStringView lines)
    {
        m_text.resize(lines.size());
        QChar *out = m_text.data();
        const QChar *const end = lines.data() + lines.size();
        for (const QChar *c = lines.data(); c != end; ++c) {
            if (*c == u'\r' && c + 1 != end && c[1] == u'\n')
                continue; // the LF that follows ends the line
            if (*c == u'\n' || *c == u'\r') {
                const bool paragraph = m_sinceParagraph >= m_paragraphLength;
                *out++ = paragraph ? QChar(QChar::ParagraphSeparator) : QChar(QChar::LineSeparator);
                m_sinceParagraph = paragraph ? 0 : m_sinceParagraph + 1;
            } else {
                *out++ = *c;
                ++m_sinceParagraph;
            }
        }
        m_text.truncate(out - m_text.constData());
        return m_text;
    }

private:
    qint64 m_paragraphLength; // characters a paragraph takes before it may end
    qint64 m_sinceParagraph = 0;
    QString m_text;
};

} // namespace

Form2::Form2(double pixelsPerTwip, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("My Log Of Foods Last Entry On Top"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(u"Text1"_s);
    m_text->setAccessibleName(tr("Food log"));
    m_text->setAccessibleDescription(
        tr("every food added to or taken off the day, oldest first, one item per line, as "
           "Open My File read it"));
    // Nothing typed here could be kept, so the box only shows the log;
    // the keyboard still moves the caret and selects, for copying.
    m_text->setReadOnly(true);
    // And so nothing to undo: an undo record of the log's loading would
    // hold all of it a second time.
    m_text->setUndoRedoEnabled(false);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setTabChangesFocus(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_open = new QPushButton(tr("Open My File"), this);
    m_open->setObjectName(u"Command1"_s);

    setTabOrder(m_text, m_open);
    connect(m_open, &QPushButton::clicked, this, &Form2::showLog);

    layOut(pixelsPerTwip);
    m_text->setFocus(Qt::OtherFocusReason);
}

void Form2::layOut(double pixelsPerTwip)
{
    const QSize button = m_open->sizeHint();
    TwipsScale scale(fontMetrics(), pixelsPerTwip);
    scale.fit(button.width(), ButtonWidth);
    // The button may not reach below the window's bottom edge.
    scale.fit(button.height(), ClientHeight - ButtonTop);

    m_text->setGeometry(scale.rect(0, 0, TextWidth, TextHeight));
    m_open->setGeometry(QRect(scale.point(ButtonLeft, ButtonTop),
                              QSize(scale.pixels(ButtonWidth),
                                    std::max(scale.pixels(ButtonHeight), button.height()))));
    setFixedSize(scale.size(ClientWidth, ClientHeight));
}

void Form2::showLog()
{
    // The log goes into the box a piece at a time, so that a long one is
    // never held in memory beside the box's own copy of it.
    std::optional<LineGrouping> grouping;
    QTextCursor cursor;
    const LogLoad load = LogView::showLogInPieces(
        QDir::currentPath(),
        [&](qint64 bytes) {
            m_text->clear();
            grouping.emplace(bytes);
            cursor = QTextCursor(m_text->document());
            cursor.beginEditBlock();
        },
        [&](QStringView lines) { cursor.insertText(grouping->grouped(lines)); });
    if (!load.opened)
        return;
    cursor.endEditBlock();
    m_text->moveCursor(QTextCursor::Start);
    m_text->verticalScrollBar()->setValue(0);
}
