#include "fieldreader.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

FieldReader::FieldReader(QStringView text)
    : m_text(text)
{
}

qsizetype FieldReader::skipToSeparator()
{
    const qsizetype size = m_text.size();
    qsizetype end = m_pos;
    while (end < size && m_text[end] != u',' && m_text[end] != u'\n')
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

std::optional<QString> FieldReader::next()
{
    const qsizetype size = m_text.size();
    if (m_pos >= size)
        return std::nullopt;

    qsizetype start = m_pos;
    while (start < size && isBlank(m_text[start]))
        ++start;

    if (start < size && m_text[start] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', start + 1);
        if (close < 0) {
            m_pos = size;
            return std::nullopt;
        }
        m_pos = close + 1;
        skipToSeparator();
        return m_text.sliced(start + 1, close - start - 1).toString();
    }

    m_pos = start;
    qsizetype end = skipToSeparator();
    while (end > start && isBlank(m_text[end - 1]))
        --end;
    return m_text.sliced(start, end - start).toString();
}
