// SPDX-License-Identifier: GPL-3.0-or-later
// forkwell-recipes: home-cooked dishes built from the foods of Forkwell's
// food database, kept in their own file and saved into the database as
// foods, in a window or from the command line.

#include <algorithm>

#include <optional>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include "app/commandline.h"
#include "app/windowprogram.h"
#include "database/forkwellfiles.h"
#include "recipes/recipecommands.h"
#include "recipesui/recipeswindow.h"

using namespace Qt::StringLiterals;
using namespace CommandLine;

namespace {

// %1 is the food database's name, %2 the recipes file's.
const QString Description = uR"(Builds dishes from the foods of Forkwell's food database "%1" in the
current folder, keeps them in the file "%2" beside it, and saves a
dish as a food of "%1", one serving a portion.

--create writes a recipe, replacing one of the same name; each
--ingredient is "AMOUNT FOOD": a number of the food's portions
("2 Apple raw with skin") or a number of grams followed by g
("30g Almonds"), and a food's name exactly as in "%1". --list, --show
and --save read the recipes; --save writes the recipe's food into "%1"
through Forkwell's own save, with its backup, or in place of the food of
the same name.

Exit status: 0 when the action was done, 1 when a file cannot be read or
written or a recipe, a food or a number is wrong (nothing is written
then), 2 for a mistake on the command line. Without an action the window
opens on the current folder.)"_s;

int finish(const RecipeCommands::Outcome &outcome)
{
    out() << outcome.out;
    out().flush();
    for (const QString &error : outcome.errors)
        err() << QCoreApplication::applicationName() << u": "_s << error << Qt::endl;
    return outcome.status;
}

// The command line's options.
struct Options
{
    QCommandLineOption create, servings, ingredient, cooked, list, show, save;
};

Options addOptions(QCommandLineParser &parser)
{
    const QString database = ForkwellFiles::Database.toString();
    const QString recipes = ForkwellFiles::Recipes.toString();
    parser.setApplicationDescription(Description.arg(database, recipes));
    parser.addHelpOption();
    parser.addVersionOption();
    Options options{
        {u"create"_s, u"Write the recipe NAME into \"%1\", replacing one of that name."_s.arg(recipes), u"NAME"_s},
        {u"servings"_s, u"With --create: the servings the dish makes (default 1)."_s, u"N"_s},
        {u"ingredient"_s, u"With --create: an ingredient, \"AMOUNT FOOD\"; give it once for each."_s, u"AMOUNT FOOD"_s},
        {u"cooked-weight"_s, u"With --create: the dish's weight after cooking."_s, u"GRAMS"_s},
        {u"list"_s, u"Print the recipes' names, one a line."_s},
        {u"show"_s, u"Print the recipe's ingredients and one serving's values."_s, u"NAME"_s},
        {u"save"_s, u"Write the recipe's food into \"%1\", or replace it there."_s.arg(database), u"NAME"_s},
    };
    parser.addOptions({options.create, options.servings, options.ingredient, options.cooked, options.list,
                       options.show, options.save});
    return options;
}

// The status of a mistake in the options, or nullopt when they make sense together.
std::optional<int> mistakeIn(const QCommandLineParser &parser, const Options &o)
{
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().constFirst()));
    const QCommandLineOption *actions[] = {&o.create, &o.list, &o.show, &o.save};
    const auto given = std::count_if(std::begin(actions), std::end(actions),
                                     [&](const QCommandLineOption *action) { return parser.isSet(*action); });
    if (given > 1)
        return usageError(u"give one of --create, --list, --show and --save"_s);
    if (!parser.isSet(o.create)) {
        for (const QCommandLineOption *option : {&o.servings, &o.ingredient, &o.cooked}) {
            if (parser.isSet(*option))
                return usageError(u"--%1 belongs to --create"_s.arg(option->names().constFirst()));
        }
    }
    for (const QCommandLineOption *option : {&o.create, &o.show, &o.save}) {
        if (parser.values(*option).size() > 1)
            return usageError(u"--%1 is given twice"_s.arg(option->names().constFirst()));
    }
    return std::nullopt;
}

// Runs the action the options ask for in folder; nullopt when they ask for none.
std::optional<int> runAction(const QCommandLineParser &parser, const Options &o, const QString &folder)
{
    if (parser.isSet(o.create)) {
        return finish(RecipeCommands::create(folder, parser.value(o.create),
                                             parser.isSet(o.servings) ? parser.value(o.servings) : u"1"_s,
                                             parser.value(o.cooked), parser.values(o.ingredient)));
    }
    if (parser.isSet(o.list))
        return finish(RecipeCommands::list(folder));
    if (parser.isSet(o.show))
        return finish(RecipeCommands::show(folder, parser.value(o.show)));
    if (parser.isSet(o.save))
        return finish(RecipeCommands::save(folder, parser.value(o.save)));
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool noDisplay = WindowProgram::offscreenWithoutDisplay();
    QApplication app(argc, argv);
    WindowProgram::name(u"forkwell-recipes"_s, u"Forkwell Recipes"_s, u"org.forkwell.Forkwell.Recipes"_s);

    QCommandLineParser parser;
    const Options options = addOptions(parser);
    if (const std::optional<int> mistake = CommandLine::parse(parser))
        return *mistake;
    if (const std::optional<int> mistake = mistakeIn(parser, options))
        return *mistake;

    // The Forkwell folder is the current one, as for forkwell itself.
    const QString folder = QDir::currentPath();
    if (const std::optional<int> status = runAction(parser, options, folder))
        return *status;
    if (noDisplay) {
        err() << QCoreApplication::applicationName()
              << u": no display to show the window on; --create, --list, --show and --save work without one"_s
              << Qt::endl;
        return 1;
    }

    RecipesWindow window(folder);
    window.show();
    return QApplication::exec();
}
