#include "form2.h"

#include <algorithm>

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "logview.h"
#include "twips.h"

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
constexpr qsizetype MaxBlocks = 32768;

// The text with its line ends (CR LF, or a lone LF or CR) turned into the
// separators of the box's document: a short log keeps one paragraph per
// line, a long one groups its lines into at most MaxBlocks paragraphs,
// separated inside by line separators. Both show as ordinary lines, and
// both are copied as line ends.
QString groupedLines(QStringView text)
{
    const QChar *const begin = text.data();
    const QChar *const end = begin + text.size();
    qsizetype lineEnds = 0;
    for (const QChar *c = begin; c != end; ++c) {
        if (*c == u'\n' || (*c == u'\r' && (c + 1 == end || c[1] != u'\n')))
            ++lineEnds;
    }
    const qsizetype linesPerBlock = std::max<qsizetype>(1, (lineEnds + MaxBlocks - 1) / MaxBlocks);

    QString grouped(text.size(), Qt::Uninitialized);
    QChar *out = grouped.data();
    qsizetype line = 0;
    for (const QChar *c = begin; c != end; ++c) {
        if (*c == u'\r' && c + 1 != end && c[1] == u'\n')
            continue; // the LF that follows ends the line
        if (*c == u'\n' || *c == u'\r') {
            ++line;
            *out++ = line % linesPerBlock == 0 ? QChar(QChar::ParagraphSeparator)
                                               : QChar(QChar::LineSeparator);
        } else {
            *out++ = *c;
        }
    }
    grouped.truncate(out - grouped.constData());
    return grouped;
}

} // namespace

Form2::Form2(double pixelsPerTwip, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("My Log Of Foods Last Entry On Top"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(u"Text1"_s);
    m_text->setAccessibleName(tr("Food log"));
    // Nothing typed here could be kept, so the box only shows the log;
    // the keyboard still moves the caret and selects, for copying.
    m_text->setReadOnly(true);
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
    const LogLoad load = LogView::showLog(QDir::currentPath());
    if (!load.opened)
        return;
    m_text->setPlainText(groupedLines(load.text));
    m_text->moveCursor(QTextCursor::Start);
    m_text->verticalScrollBar()->setValue(0);
}
