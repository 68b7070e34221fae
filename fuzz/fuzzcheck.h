#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QString>

// Shared by the fuzz harnesses: a broken promise stops the run the way a
// crash does, so libFuzzer keeps the input that broke it.
namespace Fuzz {

[[noreturn]] inline void fail(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "broken: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

inline void require(bool ok, const char *what, const QString &detail = {})
{
    if (!ok)
        fail(what, detail);
}

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// A text for messages, with control characters made visible.
inline QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == u'\\')
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out.size() > 400 ? out.left(400) + QStringLiteral("...") : out;
}

} // namespace Fuzz
