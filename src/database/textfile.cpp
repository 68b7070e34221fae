#include "textfile.h"

#include <algorithm>
#include <array>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

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

// Whether one of the eight bytes of word lies in 0x80 to 0x9F.
bool hasHighControl(quint64 word)
{
    constexpr quint64 Ones = 0x0101010101010101;
    constexpr quint64 Tops = 0x8080808080808080;
    // Exactly the bytes 0x80 to 0x9F have 100 as their top three bits, so
    // they and only they turn into zero bytes here.
    const quint64 v = (word & (Ones * 0xE0)) ^ Tops;
    return ((v - Ones) & ~v & Tops) != 0;
}

// Appends the bytes to text, decoded: converted as Latin-1, many bytes at a
// time, and then the bytes from 0x80 to 0x9F, which Latin-1 leaves as
// control characters, put right. Files rarely hold one; eight bytes are
// looked at together.
void appendDecoded(QString &text, QByteArrayView bytes)
{
    const qsizetype start = text.size();
    text.append(QLatin1StringView(bytes.data(), bytes.size()));
    const auto put = [&text, start, &bytes](qsizetype at) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        if (b >= 0x80 && b < 0xA0)
            text.data()[start + at] = QChar(HighControls[b - 0x80]);
    };
    qsizetype at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        if (hasHighControl(word)) {
            for (qsizetype i = at; i < at + 8; ++i)
                put(i);
        }
    }
    for (; at < bytes.size(); ++at)
        put(at);
}

// Reads the file in chunks of ReadChunk bytes, in order, after telling
// opened its size. False, with the reason in *error, when the file cannot be
// opened or a read fails.
bool readChunks(const QString &path, QString *error, const std::function<void(qint64)> &opened,
                const std::function<void(QByteArrayView)> &chunk)
{
    QFile file(path);
    // Unbuffered: the buffer below is the only one.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    opened(file.size());
    QByteArray buffer(ReadChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0) {
            if (error)
                *error = file.errorString();
            return false;
        }
        if (got == 0)
            return true;
        chunk(QByteArrayView(buffer.constData(), got));
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
    // Plain ASCII, nearly all of any file, is converted many characters at
    // a time; elsewhere each character is looked up.
    if (QtPrivate::isAscii(text))
        return text.toLatin1();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    constexpr qsizetype Stretch = 4096;
    for (qsizetype at = 0; at < text.size(); at += Stretch) {
        const QStringView part = text.sliced(at, std::min(Stretch, text.size() - at));
        if (QtPrivate::isAscii(part)) {
            const QByteArray ascii = part.toLatin1();
            std::memcpy(out, ascii.constData(), static_cast<std::size_t>(ascii.size()));
            out += ascii.size();
        } else {
            for (const QChar c : part)
                *out++ = encodeChar(c.unicode());
        }
    }
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
    // Decoded a chunk at a time into one text, so that a file is never held
    // twice, as bytes and as text.
    QString text;
    const bool read = readChunks(
        path, error, [&text](qint64 size) { text.reserve(size); },
        [&text](QByteArrayView bytes) { appendDecoded(text, bytes); });
    if (!read)
        return std::nullopt;
    return text;
}

bool readInPieces(const QString &path, const std::function<void(qint64)> &opened,
                  const std::function<void(QStringView)> &piece, QString *error)
{
    QString decoded;
    return readChunks(path, error, opened, [&](QByteArrayView bytes) {
        decoded.resize(0); // keeps its room for the next piece
        appendDecoded(decoded, bytes);
        piece(decoded);
    });
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

bool keepCopy(const QString &path, const QString &copy, QString *error)
{
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(copy);
    if (::link(from.constData(), to.constData()) == 0)
        return true;
    // File systems without hard links get a copy, synced like any write.
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source.errorString();
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        if (error)
            *error = source.errorString();
        return false;
    }
    const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        if (error)
            *error = systemReason(written ? errno : writeError);
        ::unlink(to.constData());
        return false;
    }
    return true;
}

} // namespace TextFile
