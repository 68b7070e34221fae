// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <type_traits>

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Reads the comma- and line-separated fields of a text held in memory.
//
// A field ends at the next comma, line end (CR LF or a bare LF) or the end
// of the text; the separator is consumed with it. Blanks and tabs around an
// unquoted field are dropped. A field that starts with a double quotation
// mark runs to the next one, across line ends if need be; the marks are
// dropped and so is anything between the closing mark and the separator.
//
// The reader works on decoded text (FieldReader) or, for the food database,
// which is loaded often and whole, on its Windows-1252 bytes as read
// (ByteFieldReader). Every separator, quotation mark and blank is ASCII, so
// both find the same fields.
template <typename Char>
class BasicFieldReader
{
public:
    using View = std::conditional_t<sizeof(Char) == 1, QByteArrayView, QStringView>;

    explicit BasicFieldReader(View text)
        : m_chars(reinterpret_cast<const Char *>(text.data())), m_size(text.size())
    {
    }

    // True when nothing is left to read.
    bool atEnd() const { return m_pos >= m_size; }

    // Where the next field starts in the text.
    qsizetype position() const { return m_pos; }

    // The next field, or nullopt when nothing is left or a quoted field is
    // never closed. After a failure the reader stands at the end.
    std::optional<QString> next()
        requires(sizeof(Char) == 2)
    {
        View field;
        if (!nextView(field))
            return std::nullopt;
        return field.toString();
    }

    // The same, as a view into the text: every field is a piece of it.
    // False, with field untouched, where next() gives nullopt. Inline, as
    // loading a database calls it for each of its 135009 fields.
    bool nextView(View &field);

private:
    static bool isBlank(Char c) { return c == Char(' ') || c == Char('\t'); }

    // Moves past the next comma or line end, or to the end of the text.
    // Returns the position where the separator starts.
    qsizetype skipToSeparator();

    View piece(qsizetype start, qsizetype end) const { return View(m_chars + start, end - start); }

    const Char *m_chars;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

using FieldReader = BasicFieldReader<char16_t>;
using ByteFieldReader = BasicFieldReader<char>;

template <typename Char>
inline qsizetype BasicFieldReader<Char>::skipToSeparator()
{
    // A word's worth of characters at a time: a lane of word ^ pattern is
    // zero where the character matches, and the lowest lane the test marks
    // is the first comma or line feed (a lane above a match may be marked
    // falsely, one below never is).
    constexpr quint64 Ones = sizeof(Char) == 1 ? 0x0101010101010101 : 0x0001000100010001;
    constexpr quint64 Tops = Ones << (8 * sizeof(Char) - 1);
    constexpr qsizetype PerWord = 8 / sizeof(Char);
    const auto zeroLanes = [](quint64 x) { return (x - Ones) & ~x & Tops; };

    static_assert(std::endian::native == std::endian::little, "the first character is the lowest lane");
    qsizetype end = m_pos;
    for (;;) {
        if (end + PerWord > m_size) {
            while (end < m_size && m_chars[end] != Char(',') && m_chars[end] != Char('\n'))
                ++end;
            break;
        }
        quint64 word;
        std::memcpy(&word, m_chars + end, sizeof word);
        const quint64 marks = zeroLanes(word ^ (Ones * ',')) | zeroLanes(word ^ (Ones * '\n'));
        if (marks != 0) {
            end += std::countr_zero(marks) / (8 * qsizetype(sizeof(Char)));
            break;
        }
        end += PerWord;
    }
    if (end == m_size) {
        m_pos = m_size;
        return end;
    }
    m_pos = end + 1;
    // The CR of a CR LF belongs to the line end, not to the field.
    if (m_chars[end] == Char('\n') && end > 0 && m_chars[end - 1] == Char('\r'))
        --end;
    return end;
}

template <typename Char>
inline bool BasicFieldReader<Char>::nextView(View &field)
{
    if (m_pos >= m_size)
        return false;

    qsizetype start = m_pos;
    while (start < m_size && isBlank(m_chars[start]))
        ++start;

    if (start < m_size && m_chars[start] == Char('"')) {
        const Char *close = std::find(m_chars + start + 1, m_chars + m_size, Char('"'));
        if (close == m_chars + m_size) {
            m_pos = m_size;
            return false;
        }
        m_pos = (close - m_chars) + 1;
        skipToSeparator();
        field = piece(start + 1, close - m_chars);
        return true;
    }

    m_pos = start;
    qsizetype end = skipToSeparator();
    while (end > start && isBlank(m_chars[end - 1]))
        --end;
    field = piece(start, end);
    return true;
}
