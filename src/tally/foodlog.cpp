// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/foodlog.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include <QFileInfo>

#include "database/textfile.h"
#include "nutrients/numberrules.h"
#include "tally/logformat.h"

namespace {

using LogFormat::EntryLines;
// The stamp of line 1 up to its designator, "12-04-2026    07:45:10 ", and
// the longest designator a locale gives the hours before or after noon.
constexpr qsizetype StampLength = 23;
constexpr qsizetype LongestDesignator = 16;

// Where the values of lines 6 to 11 go.
constexpr std::array<double FoodLog::Intake::*, 6> ItemValues = {
    &FoodLog::Intake::calories,  &FoodLog::Intake::fatGrams,     &FoodLog::Intake::satFatGrams,
    &FoodLog::Intake::carbGrams, &FoodLog::Intake::proteinGrams, &FoodLog::Intake::cholesterolMg,
};

// Reads the line that starts at pos: its text without the line end, and
// where the next line starts. False for a last line with no line end, which
// no entry can hold.
bool lineAt(QByteArrayView bytes, qsizetype pos, QByteArrayView *text, qsizetype *next)
{
    const char *start = bytes.data() + pos;
    const auto *feed = static_cast<const char *>(std::memchr(start, '\n', static_cast<size_t>(bytes.size() - pos)));
    if (!feed)
        return false;
    *next = feed - bytes.data() + 1;
    qsizetype end = feed - bytes.data();
    if (end > pos && bytes[end - 1] == '\r')
        --end;
    *text = bytes.sliced(pos, end - pos);
    return true;
}

// The text without the blanks at its end: an editor may drop the blank
// that ends the running-total lines.
constexpr QByteArrayView withoutTrailingBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

// The entry's texts as the log holds them; those that end with a blank are
// matched without it.
constexpr QByteArrayView PortionEnd = LogFormat::bytes(LogFormat::PortionEnd);
constexpr QByteArrayView Contains = LogFormat::bytes(LogFormat::Contains);
constexpr QByteArrayView DeletionNote = LogFormat::bytes(LogFormat::DeletionNote);
constexpr QByteArrayView RunningTotal = withoutTrailingBlanks(LogFormat::bytes(LogFormat::RunningTotal));
constexpr auto bytesOf(const auto &texts, bool trimmed)
{
    std::array<QByteArrayView, std::tuple_size_v<std::remove_cvref_t<decltype(texts)>>> bytes;
    for (size_t i = 0; i < texts.size(); ++i)
        bytes[i] = trimmed ? withoutTrailingBlanks(LogFormat::bytes(texts[i])) : LogFormat::bytes(texts[i]);
    return bytes;
}
constexpr auto ItemUnits = bytesOf(LogFormat::ItemUnits, false);
constexpr auto TotalUnits = bytesOf(LogFormat::TotalUnits, true);

// Digits at text[at], count of them, as a number; -1 when one is no digit.
int digitsAt(QByteArrayView text, qsizetype at, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isDesignator(QByteArrayView text, char first)
{
    return text.size() == 2 && (text[0] | 0x20) == (first | 0x20) && (text[1] | 0x20) == 'm';
}

// "12-04-2026    07:45:10 PM": a real month-day-year date, four blanks, a
// time on the 12-hour clock and the locale's designator. The time of day
// is known when the designator is AM or PM (in either case); another
// locale's designator keeps the date and leaves the time unknown.
bool readStamp(QByteArrayView line, QDate *date, std::optional<QTime> *time)
{
    // Without a designator an editor may have taken the blank before it.
    constexpr QByteArrayView Shape = "00-00-0000    00:00:00 ";
    if (line.size() < StampLength - 1 || line.size() > StampLength + LongestDesignator)
        return false;
    for (qsizetype i = 0; i < line.size() && i < Shape.size(); ++i) {
        if (Shape[i] != '0' && line[i] != Shape[i])
            return false;
    }
    const int month = digitsAt(line, 0, 2);
    const int day = digitsAt(line, 3, 2);
    const int year = digitsAt(line, 6, 4);
    const int hour = digitsAt(line, 14, 2);
    const int minute = digitsAt(line, 17, 2);
    const int second = digitsAt(line, 20, 2);
    if (month < 0 || day < 0 || year < 0 || hour < 1 || hour > 12 || minute < 0 || minute > 59 || second < 0
        || second > 59)
        return false;
    *date = QDate(year, month, day);
    if (!date->isValid())
        return false;
    const QByteArrayView designator = line.sliced(std::min(line.size(), StampLength));
    const bool am = isDesignator(designator, 'a');
    if (am || isDesignator(designator, 'p'))
        *time = QTime(hour % 12 + (am ? 0 : 12), minute, second);
    else
        time->reset();
    return true;
}

// The number at the start of a value's text, by the program's own rule.
std::optional<double> numberOf(QByteArrayView text)
{
    // A value is short; bytes below 128 are the same characters in the code
    // page, so the common case needs no string of its own.
    std::array<char16_t, 32> ascii;
    if (text.size() <= qsizetype(ascii.size())) {
        bool plain = true;
        for (qsizetype i = 0; i < text.size() && plain; ++i) {
            plain = static_cast<unsigned char>(text[i]) < 0x80;
            ascii[size_t(i)] = char16_t(text[i]);
        }
        if (plain)
            return NumberRules::numberPrefix(QStringView(ascii.data(), text.size()));
    }
    return NumberRules::numberPrefix(TextFile::decode(text));
}

// The values of lines 6 to 11, remembered by their text: a log repeats the
// same short values over and over, and a look-up is many times quicker
// than reading a number. A text of up to seven bytes is its own key.
class Values
{
public:
    // The number a value line begins with; nullopt when the line does not
    // end with its unit or the number is out of range.
    std::optional<double> valueOf(QByteArrayView line, QByteArrayView unit)
    {
        if (!line.endsWith(unit))
            return std::nullopt;
        const QByteArrayView text = line.chopped(unit.size());
        if (text.isEmpty() || text.size() > 7)
            return numberOf(text);
        quint64 key = quint64(text.size());
        std::memcpy(reinterpret_cast<char *>(&key) + 1, text.data(), size_t(text.size()));
        Slot &slot = m_slots[size_t((key * 0x9E3779B97F4A7C15u) >> (64 - SlotBits))];
        if (slot.key != key) {
            const std::optional<double> value = numberOf(text);
            if (!value)
                return value;
            slot = {key, *value};
        }
        return slot.value;
    }

private:
    static constexpr int SlotBits = 12;
    struct Slot
    {
        quint64 key = 0; // never 0 once used: it holds the text's length
        double value = 0;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(size_t(1) << SlotBits);
};

// Texts that repeat through the log (the same foods, the same portions)
// are decoded once and shared.
class SharedTexts
{
public:
    QString text(QByteArrayView bytes)
    {
        const auto [found, added] = m_texts.try_emplace(std::string_view(bytes.data(), size_t(bytes.size())));
        if (added)
            found->second = TextFile::decode(bytes);
        return found->second;
    }

private:
    std::unordered_map<std::string_view, QString> m_texts; // views into the log being parsed
};

// The entry that starts at pos, with the position after it; nullopt when
// the lines from pos on do not form one.
std::optional<FoodLog::Entry> entryAt(QByteArrayView bytes, qsizetype pos, Values &values, SharedTexts &texts, qsizetype *end)
{
    std::array<QByteArrayView, EntryLines> line;
    qsizetype next = pos;
    FoodLog::Entry entry;
    for (int i = 0; i < EntryLines; ++i) {
        if (!lineAt(bytes, next, &line[size_t(i)], &next))
            return std::nullopt;
        const QByteArrayView text = line[size_t(i)];
        bool fits = true;
        switch (i) {
        case 0:
            fits = readStamp(text, &entry.date, &entry.time);
            break;
        case 1:
        case 22:
            fits = text.isEmpty();
            break;
        case 2:
            fits = text.endsWith(PortionEnd);
            break;
        case 3:
            break;
        case 4:
            fits = text == Contains;
            break;
        case 11:
            entry.deletion = text == DeletionNote;
            fits = text.isEmpty() || entry.deletion;
            break;
        case 12:
            fits = withoutTrailingBlanks(text) == RunningTotal;
            break;
        default:
            if (i <= 10) {
                const std::optional<double> value = values.valueOf(text, ItemUnits[size_t(i - 5)]);
                fits = value.has_value();
                if (fits)
                    entry.intake.*ItemValues[size_t(i - 5)] = *value;
            } else {
                fits = withoutTrailingBlanks(text).endsWith(TotalUnits[size_t(i - 13)]);
            }
        }
        if (!fits)
            return std::nullopt;
    }
    entry.portion = texts.text(line[2].chopped(4)); // without " of:"
    entry.food = texts.text(line[3]);
    if (entry.deletion) {
        for (double FoodLog::Intake::*value : ItemValues)
            entry.intake.*value = -(entry.intake.*value);
    }
    entry.offset = pos;
    entry.length = next - pos;
    *end = next;
    return entry;
}

} // namespace

namespace FoodLog {

Intake &Intake::operator+=(const Intake &other)
{
    calories += other.calories;
    fatGrams += other.fatGrams;
    satFatGrams += other.satFatGrams;
    carbGrams += other.carbGrams;
    proteinGrams += other.proteinGrams;
    cholesterolMg += other.cholesterolMg;
    return *this;
}

Log parse(QByteArrayView bytes)
{
    Log log;
    // An entry the program writes takes more than 512 bytes, so the vector
    // never grows; a log of mostly damaged bytes gives back what it kept.
    log.entries.reserve(static_cast<size_t>(bytes.size() / 512));
    Values values;
    SharedTexts texts;
    qsizetype pos = 0;
    qsizetype damageStart = -1;
    const auto endDamage = [&] {
        if (damageStart < 0)
            return;
        ++log.damaged;
        log.damagedBytes += pos - damageStart;
        damageStart = -1;
    };
    while (pos < bytes.size()) {
        qsizetype end = 0;
        if (std::optional<Entry> entry = entryAt(bytes, pos, values, texts, &end)) {
            endDamage();
            log.entries.push_back(std::move(*entry));
            pos = end;
            continue;
        }
        // Not an entry from here: skip one line and try the next. An entry
        // appended after one that a crash cut short starts inside the cut
        // line, with its stamp at the line's end.
        if (damageStart < 0)
            damageStart = pos;
        QByteArrayView text;
        qsizetype next = 0;
        if (!lineAt(bytes, pos, &text, &next)) {
            pos = bytes.size();
            break;
        }
        const qsizetype textEnd = pos + text.size();
        const qsizetype earliest = std::max(pos + 1, textEnd - StampLength - LongestDesignator);
        std::optional<Entry> inside;
        for (qsizetype at = textEnd - StampLength; at >= earliest && !inside; --at) {
            if (bytes[at + 2] == '-' && bytes[at + 5] == '-')
                inside = entryAt(bytes, at, values, texts, &end);
            if (inside)
                pos = at;
        }
        if (!inside) {
            pos = next;
            continue;
        }
        endDamage();
        log.entries.push_back(std::move(*inside));
        pos = end;
    }
    endDamage();
    if (log.entries.capacity() > log.entries.size() * 2)
        log.entries.shrink_to_fit();
    return log;
}

std::optional<Log> read(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path))
        return Log();
    const std::optional<QByteArray> bytes = TextFile::readBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

} // namespace FoodLog
