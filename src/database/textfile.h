#pragma once

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

// Replaces the file with the text: written to a temporary file in the same
// folder, flushed to disk and renamed over the old one. On failure the old
// file is untouched, no temporary file stays behind, and *error holds the
// reason.
bool writeAtomically(const QString &path, QStringView text, QString *error = nullptr);

// Appends the text in one write, creating the file when it is missing and
// never truncating it. On failure *error holds the reason.
bool append(const QString &path, QStringView text, QString *error = nullptr);

} // namespace TextFile
