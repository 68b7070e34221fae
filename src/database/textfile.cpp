// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/textfile.h"

#include <algorithm>
#include <array>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

char16_t decodeByte(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    return b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : char16_t(b);
}

// Writes all bytes, going on after short writes; false on the first error.
bool writeAll(int fd, QByteArrayView bytes)
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

// Puts right the characters of text from start on that were converted from
// bytes as Latin-1: the bytes from 0x80 to 0x9F, which Latin-1 leaves as
// control characters. Files rarely hold one; eight bytes are looked at
// together.
void putRightHighControls(QString &text, qsizetype start, QByteArrayView bytes)
{
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

void appendDecoded(QString &text, QByteArrayView bytes)
{
    const qsizetype start = text.size();
    text.append(QLatin1StringView(bytes.data(), bytes.size()));
    putRightHighControls(text, start, bytes);
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
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray prefix = '.' + QFile::encodeName(target.fileName()) + '.';
    DIR *const dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const time_t stale = ::time(nullptr) - 3600;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && info.st_mtime < stale) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace

namespace TextFile {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString decode(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes.data(), bytes.size());
    putRightHighControls(text, 0, bytes);
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
                *out++ = encodeChar(c);
        }
    }
    return bytes;
}

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool decodesTo(QByteArrayView bytes, QStringView text)
{
    if (bytes.size() != text.size())
        return false;
    // Compared as Latin-1 many characters at a time; only where that fails
    // and a byte from 0x80 to 0x9F could explain it is each byte decoded.
    if (text == QLatin1StringView(bytes.data(), bytes.size())) {
        const auto decodesAsLatin1 = [](char b) { return decodeByte(b) == static_cast<unsigned char>(b); };
        qsizetype at = 0;
        for (; at + 8 <= bytes.size(); at += 8) {
            quint64 word;
            std::memcpy(&word, bytes.data() + at, sizeof word);
            if (hasHighControl(word) && !std::all_of(bytes.data() + at, bytes.data() + at + 8, decodesAsLatin1))
                return false;
        }
        return std::all_of(bytes.data() + at, bytes.data() + bytes.size(), decodesAsLatin1);
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (decodeByte(bytes[i]) != text[i].unicode())
            return false;
    }
    return true;
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

namespace {

std::optional<QByteArray> readBytesOf(const QString &path, qint64 offset, QString *error, bool *cutShort)
{
    if (cutShort)
        *cutShort = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        || (offset > 0 && offset < file.size() && !file.seek(offset))) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (offset > 0 && offset >= file.size())
        return QByteArray();
    // Room for one byte more than the file holds, so that the read which
    // finds the end needs no more; a file that grows meanwhile is read on.
    QByteArray bytes(std::max<qint64>(file.size() - offset, 0) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() + ReadChunk);
        const qint64 got = file.read(bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (error)
                *error = file.errorString();
            if (!cutShort)
                return std::nullopt;
            *cutShort = true;
        }
        if (got <= 0)
            break;
        used += got;
    }
    bytes.truncate(used);
    return bytes;
}

} // namespace

std::optional<QByteArray> readBytes(const QString &path, QString *error, bool *cutShort)
{
    return readBytesOf(path, 0, error, cutShort);
}

std::optional<QByteArray> readBytesFrom(const QString &path, qint64 offset, QString *error)
{
    return readBytesOf(path, std::max<qint64>(offset, 0), error, nullptr);
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

Replacement::Replacement(const QString &path)
    : m_info(path)
{
}

Replacement::~Replacement()
{
    discard();
}

bool Replacement::write(QByteArrayView bytes, QString *error)
{
    discard();
    const QByteArray target = QFile::encodeName(m_info.absoluteFilePath());
    // The temporary file is hidden and lives beside the target, so the
    // rename never crosses a file system.
    m_temporary = QFile::encodeName(m_info.absolutePath()) + "/." + QFile::encodeName(m_info.fileName()) + ".XXXXXX";
    m_fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
    if (m_fd < 0) {
        if (error)
            *error = systemReason(errno);
        m_temporary.clear();
        return false;
    }
    // The new file keeps the permissions of the one it replaces; a first
    // file gets what the user's umask allows, as any created file would.
    struct stat old;
    ::fchmod(m_fd, ::stat(target.constData(), &old) == 0 ? old.st_mode & 07777 : newFileMode());
    if (!writeAll(m_fd, bytes)) {
        if (error)
            *error = systemReason(errno);
        discard();
        return false;
    }
    // The disk starts on the bytes now; commit() then waits for less, and
    // the waits of files committed together overlap.
    ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    return true;
}

bool Replacement::commit(QString *error)
{
    const bool synced = ::fdatasync(m_fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    const QByteArray target = QFile::encodeName(m_info.absoluteFilePath());
    if (!synced || !closed || ::rename(m_temporary.constData(), target.constData()) != 0) {
        if (error)
            *error = systemReason(!synced ? syncError : errno);
        discard();
        return false;
    }
    m_temporary.clear();
    removeStaleTemporaries(m_info);
    return true;
}

void Replacement::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

void syncFolderOf(const QString &path)
{
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
}

bool writeAtomically(const QString &path, QStringView text, QString *error)
{
    return writeBytesAtomically(path, encode(text), error);
}

bool writeBytesAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    Replacement replacement(path);
    if (!replacement.write(bytes, error) || !replacement.commit(error))
        return false;
    syncFolderOf(path);
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
