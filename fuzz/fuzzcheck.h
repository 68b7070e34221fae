// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QString>

// Shared by the fuzz harnesses: a broken promise stops the run the way a
// crash does, so libFuzzer keeps the input that broke it.
namespace Fuzz {

inline void require(bool ok, const char *what, const QString &detail = {})
{
    if (ok)
        return;
    std::fprintf(stderr, "broken: %s\n  %s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The start of a text for messages, control characters made visible.
inline QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text.first(std::min<qsizetype>(text.size(), 400)))
        out += c.unicode() < 0x20 || c == u'\\' ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return out;
}

} // namespace Fuzz
