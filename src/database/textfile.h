#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
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

// The lines joined, each followed by CR LF.
QString joinLines(const QStringList &lines);

// The whole file, read in one go and decoded. nullopt when it cannot be
// opened or read; then *error (if given) holds the system's reason.
std::optional<QString> read(const QString &path, QString *error = nullptr);

// The same, for a file too long to hold twice: opened hears the file's size
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

// Appends the text in one write, creating the file when it is missing and
// never truncating it. On failure *error holds the reason.
bool append(const QString &path, QStringView text, QString *error = nullptr);

// Keeps the file's bytes under a second name in the same folder, refusing
// when that name exists: a hard link, or a synced byte-for-byte copy where
// the file system has no links. On failure *error holds the reason and no
// second name is left behind.
bool keepCopy(const QString &path, const QString &copy, QString *error = nullptr);

} // namespace TextFile
