// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QTextStream>

// What the companion programs share on the command line: their streams and
// how they answer a mistake in the options.
namespace CommandLine {

// The exit status of a mistake on the command line.
constexpr int UsageError = 2;

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Says what is wrong and where to read more, on standard error; returns UsageError.
inline int usageError(const QString &message)
{
    err() << QCoreApplication::applicationName() << QStringLiteral(": ") << message << Qt::endl
          << QStringLiteral("Try '") << QCoreApplication::applicationName() << QStringLiteral(" --help' for more.")
          << Qt::endl;
    return UsageError;
}

// Parses the program's arguments. --help and --version print their text and
// end the program; a mistake is reported and gives UsageError; nullopt
// means the program goes on with parser's values.
inline std::optional<int> parse(QCommandLineParser &parser)
{
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    return std::nullopt;
}

} // namespace CommandLine
