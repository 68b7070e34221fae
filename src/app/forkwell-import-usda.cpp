// SPDX-License-Identifier: GPL-3.0-or-later
// forkwell-import-usda: makes a Forkwell food database from the USDA's
// National Nutrient Database for Standard Reference.

#include <cstdio>
#include <optional>
#include <variant>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "app/commandline.h"
#include "app/version.h"
#include "database/foodtable.h"
#include "database/forkwellfiles.h"
#include "importer/databasewriter.h"
#include "importer/usdarelease.h"

using namespace Qt::StringLiterals;
using namespace CommandLine;

namespace {

constexpr int ImportFailed = 1;
constexpr int ErrorsShown = 50;

// The help text; %1 is the food database's name, %2 its counter's, %3 a backup's.
const QString Description = uR"(Makes a Forkwell food database ("%1") from the USDA National Nutrient
Database for Standard Reference, in the ASCII release the USDA offers for
download: a folder holding ABBREV.txt, FOOD_DES.txt, WEIGHT.txt and, if you
have it, FD_GROUP.txt (for the food groups' names).

Every household measure of WEIGHT.txt becomes one food item: its name is
the food's long description, its portion the amount and the measure
("1 cup, sliced", "0.5 cup"), and its values the USDA's per-100 g figures
scaled to the measure's gram weight: calories and cholesterol to whole
numbers, grams to one decimal place, halves rounded up; values the USDA
leaves empty count as 0. The inch mark (") in names and measures is written
as ”. Items are sorted by name the way Forkwell's item editor sorts them.

Forkwell's table holds 15001 items, and a full release has more measures
than that. Unless told otherwise the tool keeps at most 15001 items and
drops whole food groups to get there, the group with the fewest items first,
and it says which groups it dropped. --groups and --max-records choose
otherwise; --list-groups shows the groups and their sizes.

A missing file or a malformed line stops the import with nothing written;
every such line is reported as file:line. Data the tool has to leave out
(a food without a household measure or without nutrient values, a measure
of an unknown food, a repeated line, a text the food database cannot hold)
is reported the same way as a warning, and the import goes on. Progress,
warnings and errors go to standard error, the dropped groups and the count
of items written to standard output.

An existing file at diet-file is never replaced without --force. With
--force the old file is first kept as a backup the way the item editor
keeps one: "%2" in the same folder is counted up by one (a missing
"%2" counts as 0) and the old file is renamed to its name followed by
that number, such as %3. The new file is written whole or not at all.

Exit status: 0 when the database was written (or the groups listed),
1 when the import failed, 2 for a mistake on the command line.)"_s;

QString groupLabel(const Usda::FoodGroup &group)
{
    return group.name.isEmpty() ? group.code : group.code + u' ' + group.name;
}

QString counted(qsizetype count, const QString &one, const QString &many)
{
    return u"%1 %2"_s.arg(count).arg(count == 1 ? one : many);
}

QString records(qsizetype count)
{
    return counted(count, u"record"_s, u"records"_s);
}

void listGroups(const QList<Usda::FoodGroup> &groups)
{
    out() << u"Code  Records  Name"_s << Qt::endl;
    for (const Usda::FoodGroup &group : groups) {
        out() << group.code.leftJustified(4) << u"  "_s << QString::number(group.records).rightJustified(7)
              << u"  "_s << group.name << Qt::endl;
    }
}

// What the command line asks for.
struct Options
{
    QString folder;          // the release
    QString target;          // the food database to write; empty when only listing
    bool listing = false;
    bool force = false;
    int limit = FoodTable::RowCount;
    std::optional<QStringList> groups;
};

// The options, or the exit status of a mistake in them (or of --help).
std::variant<Options, int> parseOptions()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Description.arg(ForkwellFiles::Database, ForkwellFiles::Counter, ForkwellFiles::backupName(u"7")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption force({u"f"_s, u"force"_s},
                                   u"Replace an existing diet-file, keeping the old one as a numbered backup."_s);
    const QCommandLineOption groups(
        u"groups"_s,
        u"Import only these food groups: codes (0100) or names (\"Dairy and Egg Products\"), "
        "separated by commas; may be given more than once. Names are matched without regard to case."_s,
        u"list"_s);
    const QCommandLineOption maxRecords(
        u"max-records"_s,
        u"Keep at most this many items, 1 to 15001 (default 15001), dropping the food groups with "
        "the fewest items first."_s,
        u"count"_s, QString::number(FoodTable::RowCount));
    const QCommandLineOption listGroupsOption(
        u"list-groups"_s, u"List the release's food groups with their codes and item counts, and stop."_s);
    parser.addOptions({force, groups, maxRecords, listGroupsOption});
    parser.addPositionalArgument(u"release-folder"_s,
                                 u"The folder holding the USDA release's ABBREV.txt, FOOD_DES.txt and WEIGHT.txt."_s);
    parser.addPositionalArgument(u"diet-file"_s,
                                 u"The food database file to write, usually \"%1\"."_s.arg(ForkwellFiles::Database));

    if (const std::optional<int> mistake = CommandLine::parse(parser))
        return *mistake;

    Options options;
    const QStringList arguments = parser.positionalArguments();
    options.listing = parser.isSet(listGroupsOption);
    if (arguments.size() != (options.listing ? 1 : 2)) {
        return usageError(options.listing ? u"--list-groups takes the release folder only"_s
                                          : u"give the release folder and the food database file to write"_s);
    }
    bool isNumber = false;
    options.limit = parser.value(maxRecords).toInt(&isNumber);
    if (!isNumber || options.limit < 1 || options.limit > FoodTable::RowCount) {
        return usageError(u"--max-records takes a whole number from 1 to %1, not \"%2\""_s.arg(
            QString::number(FoodTable::RowCount), parser.value(maxRecords)));
    }
    options.folder = arguments[0];
    options.target = options.listing ? QString() : arguments[1];
    if (!QFileInfo(options.folder).isDir())
        return usageError(u"%1 is not a folder"_s.arg(options.folder));
    options.force = parser.isSet(force);
    if (parser.isSet(groups))
        options.groups = parser.values(groups);
    return options;
}

// The release in folder, its progress and warnings reported; nullopt after
// reporting its errors.
std::optional<Usda::Release> readRelease(const QString &folder)
{
    Usda::Release release =
        Usda::readRelease(folder, [](const QString &message) { err() << message << Qt::endl; });
    if (!release.errors.isEmpty()) {
        for (qsizetype i = 0; i < release.errors.size() && i < ErrorsShown; ++i) {
            const Usda::Diagnostic &e = release.errors[i];
            err() << e.where() << u": error: "_s << e.message << Qt::endl;
        }
        if (release.errors.size() > ErrorsShown)
            err() << u"... and %1 errors more"_s.arg(release.errors.size() - ErrorsShown) << Qt::endl;
        err() << u"Nothing was written."_s << Qt::endl;
        return std::nullopt;
    }
    for (const Usda::Diagnostic &w : release.warnings)
        err() << w.where() << u": warning: "_s << w.message << Qt::endl;
    return release;
}

// Writes the chosen records to the target and says what was done; the exit status.
int writeDatabase(const Options &options, const Usda::Release &release, const Usda::Selection &selection)
{
    if (!selection.dropped.isEmpty()) {
        out() << u"Dropped %1 to stay within %2:"_s.arg(
                     counted(selection.dropped.size(), u"food group"_s, u"food groups"_s), records(options.limit))
              << Qt::endl;
        for (const Usda::FoodGroup &group : selection.dropped)
            out() << u"  "_s << groupLabel(group) << u" ("_s << records(group.records) << u')' << Qt::endl;
    }
    if (selection.records.empty()) {
        err() << u"No records are left to write, so nothing was written; --groups chooses smaller"
                 " groups, and --list-groups shows their sizes."_s
              << Qt::endl;
        return ImportFailed;
    }

    const QString &target = options.target;
    err() << u"Writing "_s << target << Qt::endl;
    const DatabaseWriter::Result written =
        DatabaseWriter::write(target, Usda::databaseText(selection.records), options.force);
    switch (written.status) {
    case DatabaseWriter::Result::Written:
        out() << u"Wrote "_s << records(static_cast<qsizetype>(selection.records.size())) << u" to "_s << target;
        if (!written.backupPath.isEmpty())
            out() << u"; the old file is kept as "_s << written.backupPath;
        out() << Qt::endl;
        if (!release.warnings.isEmpty())
            err() << counted(release.warnings.size(), u"warning"_s, u"warnings"_s) << u" above."_s << Qt::endl;
        return 0;
    case DatabaseWriter::Result::Exists:
        err() << target << u" already exists; give --force to replace it"_s << Qt::endl;
        return ImportFailed;
    case DatabaseWriter::Result::Failed:
        err() << written.error << Qt::endl;
        return ImportFailed;
    }
    return ImportFailed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"forkwell-import-usda"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(FORKWELL_VERSION));

    const std::variant<Options, int> parsed = parseOptions();
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const Options &options = std::get<Options>(parsed);

    // Refuse before the long read rather than after it.
    if (!options.listing && !options.force && QFileInfo::exists(options.target)) {
        err() << options.target
              << u" already exists; give --force to replace it (the old file is kept as a numbered backup)"_s
              << Qt::endl;
        return ImportFailed;
    }
    const std::optional<Usda::Release> release = readRelease(options.folder);
    if (!release)
        return ImportFailed;
    if (options.listing) {
        listGroups(release->groups);
        return 0;
    }

    std::optional<QSet<QString>> chosen;
    if (options.groups) {
        QString reason;
        chosen = Usda::chooseGroups(*options.groups, release->groups, &reason);
        if (!chosen)
            return usageError(reason + u" (--list-groups shows them)"_s);
    }
    return writeDatabase(options, *release, Usda::selectRecords(*release, chosen, options.limit));
}
