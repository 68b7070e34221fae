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

    // The next field, or nullopt when nothing is left or a quoted field is
    // never closed. After a failure the reader stands at the end.
    std::optional<QString> next();

private:
    // Moves past the next comma or line end, or to the end of the text.
    // Returns the position where the separator starts.
    qsizetype skipToSeparator();

    QStringView m_text;
    qsizetype m_pos = 0;
};
