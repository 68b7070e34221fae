#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// Reads the comma- and line-separated fields of a text held in memory.
//
// A field ends at the next comma, line end (CR LF or a bare LF) or the end
// of the text; the separator is consumed with it. Blanks and tabs around an
// unquoted field are dropped. A field that starts with a double quotation
// mark runs to the next one, across line ends if need be; the marks are
// dropped and so is anything between the closing mark and the separator.
class FieldReader
{
public:
    explicit FieldReader(QStringView text);

    // True when nothing is left to read.
    bool atEnd() const { return m_pos >= m_text.size(); }

    // Where the next field starts in the text.
    qsizetype position() const { return m_pos; }

    // The next field, or nullopt when nothing is left or a quoted field is
    // never closed. After a failure the reader stands at the end.
    std::optional<QString> next();

    // The same, as a view into the text: every field is a piece of it.
    // False, with field untouched, where next() gives nullopt. Inline, as
    // loading a database calls it for each of its 135009 fields.
    bool nextView(QStringView &field);

private:
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

    // Moves past the next comma or line end, or to the end of the text.
    // Returns the position where the separator starts.
    qsizetype skipToSeparator();

    QStringView m_text;
    qsizetype m_pos = 0;
};

inline qsizetype FieldReader::skipToSeparator()
{
    const qsizetype size = m_text.size();
    qsizetype end = m_pos;
    // Letters and digits all lie above the comma: one comparison passes them.
    while (end < size && (m_text[end] > u',' || (m_text[end] != u',' && m_text[end] != u'\n')))
        ++end;
    if (end == size) {
        m_pos = size;
        return end;
    }
    m_pos = end + 1;
    // The CR of a CR LF belongs to the line end, not to the field.
    if (m_text[end] == u'\n' && end > 0 && m_text[end - 1] == u'\r')
        --end;
    return end;
}

inline bool FieldReader::nextView(QStringView &field)
{
    const qsizetype size = m_text.size();
    if (m_pos >= size)
        return false;

    qsizetype start = m_pos;
    while (start < size && isBlank(m_text[start]))
        ++start;

    if (start < size && m_text[start] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', start + 1);
        if (close < 0) {
            m_pos = size;
            return false;
        }
        m_pos = close + 1;
        skipToSeparator();
        field = m_text.sliced(start + 1, close - start - 1);
        return true;
    }

    m_pos = start;
    qsizetype end = skipToSeparator();
    while (end > start && isBlank(m_text[end - 1]))
        --end;
    field = m_text.sliced(start, end - start);
    return true;
}
