#include "textfile.h"

#include <array>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr qsizetype ReadChunk = qsizetype(1) << 18;

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes all bytes, going on after short writes; false on the first error.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Whether a byte lies in 0x80 to 0x9F, looked for eight bytes at a time.
bool hasHighControls(QByteArrayView bytes)
{
    constexpr quint64 Ones = 0x0101010101010101;
    constexpr quint64 Tops = 0x8080808080808080;
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    for (; end - at >= 8; at += 8) {
        quint64 word;
        std::memcpy(&word, at, sizeof word);
        // Exactly the bytes 0x80 to 0x9F have 100 as their top three bits,
        // so they and only they turn into zero bytes here.
        const quint64 v = (word & (Ones * 0xE0)) ^ Tops;
        if ((v - Ones) & ~v & Tops)
            return true;
    }
    for (; at != end; ++at) {
        if ((static_cast<unsigned char>(*at) & 0xE0) == 0x80)
            return true;
    }
    return false;
}

// Appends the bytes to text, decoded.
void appendDecoded(QString &text, QByteArrayView bytes)
{
    // Files rarely hold a byte from 0x80 to 0x9F; without one the code page
    // is Latin-1, which Qt converts many bytes at a time.
    if (!hasHighControls(bytes)) {
        text.append(QLatin1StringView(bytes.data(), bytes.size()));
        return;
    }
    const qsizetype start = text.size();
    text.resize(start + bytes.size());
    QChar *out = text.data() + start;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? HighControls[u - 0x80] : char16_t(u));
    }
}

// A rename is only durable once the folder that holds the name is on disk.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A write cut short by a crash leaves its temporary file behind. The next
// write of the same file removes those older than an hour; a younger one
// may belong to a write still under way.
void removeStaleTemporaries(const QFileInfo &target)
{
    const QDir folder = target.absoluteDir();
    const QString pattern = u'.' + target.fileName() + QStringLiteral(".??????");
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QFileInfoList candidates = folder.entryInfoList({pattern}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &temporary : candidates) {
        if (!temporary.isSymLink() && temporary.lastModified() < stale)
            QFile::remove(temporary.absoluteFilePath());
    }
}

} // namespace

namespace TextFile {

QString decode(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    appendDecoded(text, bytes);
    return text;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text)
        *out++ = encodeChar(c.unicode());
    return bytes;
}

QString joinLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

std::optional<QString> read(const QString &path, QString *error)
{
    QFile file(path);
    // Unbuffered: the chunk below is the only buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    // Decoded a chunk at a time into one text, so that a long log is never
    // held twice, as bytes and as text.
    QString text;
    text.reserve(file.size());
    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) {
            if (error)
                *error = file.errorString();
            return std::nullopt;
        }
        if (got == 0)
            return text;
        appendDecoded(text, QByteArrayView(chunk.constData(), got));
    }
}

bool writeAtomically(const QString &path, QStringView text, QString *error)
{
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // The temporary file is hidden and lives beside the target, so the
    // rename never crosses a file system.
    QByteArray temporary = folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    // The new file keeps the permissions of the one it replaces; a first
    // file gets what the user's umask allows, as any created file would.
    struct stat old;
    ::fchmod(fd, ::stat(target.constData(), &old) == 0 ? old.st_mode & 07777 : newFileMode());
    const bool written = writeAll(fd, encode(text)) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.constData(), target.constData()) != 0) {
        const int reason = !written ? writeError : errno;
        ::unlink(temporary.constData());
        if (error)
            *error = systemReason(reason);
        return false;
    }
    syncFolder(folder);
    removeStaleTemporaries(info);
    return true;
}

bool append(const QString &path, QStringView text, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    const bool written = writeAll(fd, encode(text));
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        if (error)
            *error = systemReason(!written ? writeError : errno);
        return false;
    }
    return true;
}

} // namespace TextFile
