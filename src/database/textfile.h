// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// The one place where the program's files meet the disk. Every data file is
// Windows-1252 text; lines are written with CR LF and read with CR LF or a
// bare LF.
namespace TextFile {

// Bytes in Windows-1252 to text. The five bytes the code page leaves
// undefined map to the control characters of the same value, so any byte
// sequence decodes and encodes back unchanged.
QString decode(QByteArrayView bytes);

// Text to Windows-1252 bytes. A character the code page cannot hold becomes '?'.
QByteArray encode(QStringView text);

// The system's text for an errno value.
QString systemReason(int error);

// The code page's byte for the character, '?' where it has none.
char encodeChar(QChar c);

// Whether the bytes decode to exactly the text, found without decoding them.
bool decodesTo(QByteArrayView bytes, QStringView text);

// The lines joined, each followed by CR LF.
QString joinLines(const QStringList &lines);

// The whole file, read in one go and decoded. nullopt when it cannot be
// opened or read; then *error (if given) holds the system's reason.
std::optional<QString> read(const QString &path, QString *error = nullptr);

// The whole file's bytes as they are, read in one go. nullopt as for read().
// With cutShort, a read that fails part way is no failure: the bytes read
// before it are given, and *cutShort is set (cleared otherwise).
std::optional<QByteArray> readBytes(const QString &path, QString *error = nullptr,
                                    bool *cutShort = nullptr);

// The file's bytes from offset to its end, read in one go: a file that
// grew is read on without its old part. Empty when the file is no longer
// than offset. nullopt as for read().
std::optional<QByteArray> readBytesFrom(const QString &path, qint64 offset, QString *error = nullptr);

// The same as read(), for a file too long to hold twice: opened hears the file's size
// in bytes once it is open; piece then receives the text decoded a piece at
// a time, in order, each piece valid only during the call. The pieces
// joined are what read() gives. False when the file cannot be opened or a
// read fails part way (the pieces before stay handed on); then *error (if
// given) holds the system's reason.
bool readInPieces(const QString &path, const std::function<void(qint64 bytes)> &opened,
                  const std::function<void(QStringView piece)> &piece, QString *error = nullptr);

// Replaces the file with the text: written to a temporary file in the same
// folder, flushed to disk and renamed over the old one. On failure the old
// file is untouched, no temporary file stays behind, and *error holds the
// reason. A temporary file of the same file that a crash left behind more
// than an hour ago is removed after the write.
bool writeAtomically(const QString &path, QStringView text, QString *error = nullptr);

// The same with bytes already encoded.
bool writeBytesAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// One file's replacement in two steps, so that several files can be written
// first and wait for the disk together: write() puts the bytes into a
// temporary file beside the file, commit() waits until they are on the disk
// and renames the temporary file over the file. A replacement never
// committed is removed with its temporary file. After the commits,
// syncFolderOf() makes the new names last.
class Replacement
{
public:
    explicit Replacement(const QString &path);
    ~Replacement();
    Replacement(const Replacement &) = delete;
    Replacement &operator=(const Replacement &) = delete;

    // False, with the reason in *error and nothing left behind, when the
    // temporary file cannot be made or written.
    bool write(QByteArrayView bytes, QString *error = nullptr);

    // False, with the reason in *error, the file as it was and the temporary
    // file gone, when the bytes do not reach the disk or the rename fails.
    bool commit(QString *error = nullptr);

    // Removes the temporary file of a replacement not committed.
    void discard();

private:
    QFileInfo m_info;
    QByteArray m_temporary;
    int m_fd = -1;
};

// Waits until the names in the folder that holds path are on the disk.
void syncFolderOf(const QString &path);

// Appends the text in one write, creating the file when it is missing and
// never truncating it. On failure *error holds the reason.
bool append(const QString &path, QStringView text, QString *error = nullptr);

// Keeps the file's bytes under a second name in the same folder, refusing
// when that name exists: a hard link, or a synced byte-for-byte copy where
// the file system has no links. On failure *error holds the reason and no
// second name is left behind.
bool keepCopy(const QString &path, const QString &copy, QString *error = nullptr);

} // namespace TextFile
