// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipes/recipebook.h"

#include <algorithm>
#include <functional>

#include <QDir>
#include <QFileInfo>

#include "database/fieldreader.h"
#include "database/folderlock.h"
#include "database/forkwellfiles.h"
#include "database/textfile.h"
#include "nutrients/numberrules.h"

using namespace Qt::StringLiterals;
using Recipes::Ingredient;
using Recipes::Recipe;

namespace {

// The file's texts, which its writer and its reader both use.
namespace Key {
const QString Heading = u"Forkwell recipes"_s;
const QString Version = u"1"_s;
const QString Recipe = u"Recipe"_s;
const QString Servings = u"Servings"_s;
const QString CookedWeight = u"Cooked weight"_s;
const QString Ingredient = u"Ingredient"_s;
const QString End = u"End"_s;
const QString Portions = u"portions"_s;
const QString Grams = u"g"_s;
} // namespace Key

constexpr qsizetype IngredientFields = 3 + Food::ColumnCount;

QString quoted(QStringView text)
{
    return u"\"%1\""_s.arg(text);
}

bool needsQuotes(QStringView text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    return text.contains(u',') || text.contains(u'\n')
        || (!text.isEmpty() && (text.front() == u'"' || blank(text.front()) || blank(text.back())));
}

// The field as the reader gives it back; nullopt when quotes cannot carry it.
std::optional<QString> fieldText(QStringView text)
{
    if (!needsQuotes(text))
        return text.toString();
    if (text.contains(u'"'))
        return std::nullopt;
    return quoted(text);
}

QString recipesPath(const QString &folder)
{
    return QDir(folder).filePath(ForkwellFiles::Recipes.toString());
}

// Reads the file a line of fields at a time, telling the line each starts on.
class LineReader
{
public:
    explicit LineReader(QStringView text) : m_text(text), m_reader(text) {}

    // False at the end of the text. A quotation mark never closed ends the
    // text, and is told by unclosed().
    bool next(QStringList &fields, int &line)
    {
        fields.clear();
        if (m_reader.atEnd())
            return false;
        line = m_line + 1;
        for (;;) {
            QStringView field;
            if (!m_reader.nextView(field)) {
                m_unclosed = true;
                return false;
            }
            fields.append(field.toString());
            const qsizetype pos = m_reader.position();
            m_line += int(m_text.sliced(m_counted, pos - m_counted).count(u'\n'));
            m_counted = pos;
            if (pos >= m_text.size() || m_text[pos - 1] == u'\n')
                return true;
        }
    }

    bool unclosed() const { return m_unclosed; }
    int line() const { return m_line + 1; }

private:
    QStringView m_text;
    FieldReader m_reader;
    qsizetype m_counted = 0;
    int m_line = 0;
    bool m_unclosed = false;
};

std::optional<double> positive(const QString &text)
{
    const std::optional<double> value = Recipes::amountFromText(text);
    return value && *value > 0 ? value : std::nullopt;
}

// One line inside a recipe, other than its End, read into it; what could
// not be read, or "".
QString readRecipeLine(Recipe &recipe, const QStringList &fields)
{
    const QString &key = fields.front();
    if ((key == Key::Servings || key == Key::CookedWeight) && fields.size() == 2) {
        const std::optional<double> number = positive(fields[1]);
        if (!number)
            return u"\"%1\" of recipe \"%2\" is not a number above 0"_s.arg(key, recipe.name);
        if (key == Key::Servings)
            recipe.servings = *number;
        else
            recipe.cookedGrams = number;
        return {};
    }
    if (key != Key::Ingredient || fields.size() != IngredientFields)
        return u"a line of recipe \"%1\" it cannot read"_s.arg(recipe.name);
    const std::optional<double> amount = Recipes::amountFromText(fields[1]);
    const bool portions = fields[2] == Key::Portions;
    if (!amount || (!portions && fields[2] != Key::Grams))
        return u"an ingredient of recipe \"%1\" without an amount it can read"_s.arg(recipe.name);
    Ingredient ingredient{{}, *amount, portions ? Recipes::Unit::Portions : Recipes::Unit::Grams};
    for (int column = 0; column < Food::ColumnCount; ++column)
        ingredient.food[std::size_t(column)] = fields[3 + column];
    recipe.ingredients.push_back(std::move(ingredient));
    return {};
}

} // namespace

namespace RecipeBook {

bool canName(QStringView name)
{
    return !name.trimmed().isEmpty() && !name.contains(u'\n') && !name.contains(u'\r') && fieldText(name);
}

Book parse(QStringView text)
{
    Book book;
    LineReader reader(text);
    QStringList fields;
    int line = 0;
    std::optional<Recipe> open;  // the recipe being read
    bool inSkipped = false;      // inside a recipe that is skipped, up to its End
    bool headed = false;
    const auto skip = [&](const QString &what) { book.skipped.append(u"line %1: %2"_s.arg(line).arg(what)); };
    const auto close = [&] {
        const bool taken = std::any_of(book.recipes.cbegin(), book.recipes.cend(),
                                       [&](const Recipe &r) { return r.name == open->name; });
        if (taken)
            book.skipped.append(u"a second recipe named \"%1\""_s.arg(open->name));
        else
            book.recipes.push_back(std::move(*open));
        open.reset();
    };

    while (reader.next(fields, line)) {
        const QString &key = fields.front();
        if (fields.size() == 1 && key.isEmpty())
            continue;
        if (!headed) {
            headed = true;
            if (key == Key::Heading) {
                if (fields.size() != 2 || fields[1] != Key::Version)
                    skip(u"a heading of another version, \"%1\""_s.arg(fields.mid(1).join(u',')));
                continue;
            }
            skip(u"no heading \"%1,%2\""_s.arg(Key::Heading, Key::Version));
        }
        if (key == Key::Recipe) {
            if (open) {
                book.skipped.append(u"recipe \"%1\" has no %2 line; kept what was read"_s.arg(open->name, Key::End));
                close();
            }
            inSkipped = fields.size() != 2 || !canName(fields[1]);
            if (inSkipped)
                skip(u"a recipe without a name it can carry, and its lines"_s);
            else
                open = Recipe{fields[1], {}, 1, std::nullopt};
            continue;
        }
        if (inSkipped) {
            inSkipped = key != Key::End;
            continue;
        }
        if (!open) {
            skip(u"\"%1\" outside a recipe"_s.arg(key));
            continue;
        }
        if (key == Key::End && fields.size() == 1) {
            close();
        } else if (const QString problem = readRecipeLine(*open, fields); !problem.isEmpty()) {
            skip(problem);
        }
    }
    if (reader.unclosed())
        book.skipped.append(u"line %1: a quotation mark never closed, and the rest of the file"_s.arg(reader.line()));
    if (open) {
        book.skipped.append(u"recipe \"%1\" has no %2 line; kept what was read"_s.arg(open->name, Key::End));
        close();
    }
    return book;
}

std::optional<QString> text(const std::vector<Recipe> &recipes, QString *refused)
{
    QStringList lines{Key::Heading + u',' + Key::Version};
    for (const Recipe &recipe : recipes) {
        const std::optional<QString> name = fieldText(recipe.name);
        if (!name || !canName(recipe.name)) {
            if (refused)
                *refused = recipe.name;
            return std::nullopt;
        }
        lines << QString() << Key::Recipe + u',' + *name << Key::Servings + u',' + Recipes::numberText(recipe.servings);
        if (recipe.cookedGrams)
            lines << Key::CookedWeight + u',' + Recipes::numberText(*recipe.cookedGrams);
        for (const Ingredient &ingredient : recipe.ingredients) {
            QStringList fields{Key::Ingredient, Recipes::numberText(ingredient.amount),
                               ingredient.unit == Recipes::Unit::Portions ? Key::Portions : Key::Grams};
            for (const QString &cell : ingredient.food) {
                const std::optional<QString> field = fieldText(cell);
                if (!field) {
                    if (refused)
                        *refused = cell;
                    return std::nullopt;
                }
                fields.append(*field);
            }
            lines << fields.join(u',');
        }
        lines << Key::End;
    }
    return TextFile::joinLines(lines);
}

Book read(const QString &folder)
{
    const QString path = recipesPath(folder);
    QString error;
    const std::optional<QString> content = TextFile::read(path, &error);
    if (!content) {
        Book book;
        book.exists = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        if (book.exists)
            book.error = error;
        return book;
    }
    Book book = parse(*content);
    book.exists = true;
    return book;
}

namespace {

// Reads, changes and replaces "recipes" under the folder's lock. apply
// changes the recipes, or returns what stops the change.
Change change(const QString &folder, const std::function<QString(std::vector<Recipe> &)> &apply)
{
    Change change;
    const QString path = recipesPath(folder);
    const QString file = quoted(ForkwellFiles::Recipes);
    const FolderLock lock(folder);
    if (!lock.isHeld()) {
        change.error = u"The Forkwell folder cannot be locked against another program saving recipes: %1. "
                       "Nothing was changed."_s.arg(lock.reason());
        return change;
    }
    change.book = read(folder);
    if (!change.book.error.isEmpty()) {
        change.error = u"%1 cannot be read: %2. Nothing was changed; make the file readable and try again."_s
                           .arg(file, change.book.error);
        return change;
    }
    std::vector<Recipe> recipes = change.book.recipes;
    change.error = apply(recipes);
    if (!change.error.isEmpty())
        return change;
    QString refused;
    const std::optional<QString> content = text(recipes, &refused);
    if (!content) {
        change.error = u"\"%1\" cannot be written to %2: take out its quotation marks. Nothing was changed."_s
                           .arg(refused, file);
        return change;
    }
    QString reason;
    if (change.book.exists && !change.book.whole()) {
        // What could not be read stays in the old file, kept under a name of its own.
        for (int n = 1; n < 1000 && change.keptAs.isEmpty(); ++n) {
            const QString name = ForkwellFiles::keptRecipesName(n);
            if (!QFileInfo::exists(QDir(folder).filePath(name)) && !QFileInfo(QDir(folder).filePath(name)).isSymLink()) {
                if (!TextFile::keepCopy(path, QDir(folder).filePath(name), &reason)) {
                    change.error = u"%1 could not be read whole and cannot be kept as \"%2\": %3. Nothing was changed."_s
                                       .arg(file, name, reason);
                    return change;
                }
                change.keptAs = name;
            }
        }
        if (change.keptAs.isEmpty()) {
            change.error = u"%1 could not be read whole and there is no free name to keep it under. "
                           "Nothing was changed."_s.arg(file);
            return change;
        }
    }
    if (!TextFile::writeAtomically(path, *content, &reason)) {
        change.error = u"%1 cannot be written: %2. Nothing was changed."_s.arg(file, reason);
        return change;
    }
    change.done = true;
    change.book = Book{std::move(recipes), {}, true, {}};
    return change;
}

int indexOf(const std::vector<Recipe> &recipes, const QString &name)
{
    const auto it = std::find_if(recipes.cbegin(), recipes.cend(), [&](const Recipe &r) { return r.name == name; });
    return it == recipes.cend() ? -1 : int(it - recipes.cbegin());
}

QString nameRefusal(const QString &name)
{
    if (name.trimmed().isEmpty())
        return u"A recipe needs a name: type one."_s;
    return u"\"%1\" cannot be a recipe's name: take out its line breaks, or the quotation marks of a name that "
           "begins or ends with a blank or holds a comma."_s.arg(name);
}

QString takenRefusal(const QString &name)
{
    return u"A recipe named \"%1\" is already there: choose another name."_s.arg(name);
}

QString missingRefusal(const QString &name)
{
    return u"There is no recipe named \"%1\" in %2."_s.arg(name, quoted(ForkwellFiles::Recipes));
}

} // namespace

Change put(const QString &folder, const Recipe &recipe, const QString &replacing)
{
    if (!canName(recipe.name))
        return Change{false, nameRefusal(recipe.name), {}, {}};
    return change(folder, [&](std::vector<Recipe> &recipes) {
        const int old = replacing.isEmpty() ? -1 : indexOf(recipes, replacing);
        const int same = indexOf(recipes, recipe.name);
        if (old >= 0) {
            if (same >= 0 && same != old)
                return takenRefusal(recipe.name);
            recipes[std::size_t(old)] = recipe;
        } else if (same >= 0) {
            recipes[std::size_t(same)] = recipe;
        } else {
            recipes.push_back(recipe);
        }
        return QString();
    });
}

Change remove(const QString &folder, const QString &name)
{
    return change(folder, [&](std::vector<Recipe> &recipes) {
        const int index = indexOf(recipes, name);
        if (index < 0)
            return missingRefusal(name);
        recipes.erase(recipes.begin() + index);
        return QString();
    });
}

Change restore(const QString &folder, const Recipe &recipe, int position)
{
    if (!canName(recipe.name))
        return Change{false, nameRefusal(recipe.name), {}, {}};
    return change(folder, [&](std::vector<Recipe> &recipes) {
        if (indexOf(recipes, recipe.name) >= 0)
            return takenRefusal(recipe.name);
        recipes.insert(recipes.begin() + std::clamp(position, 0, int(recipes.size())), recipe);
        return QString();
    });
}

Change rename(const QString &folder, const QString &name, const QString &newName)
{
    if (!canName(newName))
        return Change{false, nameRefusal(newName), {}, {}};
    return change(folder, [&](std::vector<Recipe> &recipes) {
        const int index = indexOf(recipes, name);
        if (index < 0)
            return missingRefusal(name);
        if (newName != name && indexOf(recipes, newName) >= 0)
            return takenRefusal(newName);
        recipes[std::size_t(index)].name = newName;
        return QString();
    });
}

Change duplicate(const QString &folder, const QString &name, const QString &newName)
{
    if (!canName(newName))
        return Change{false, nameRefusal(newName), {}, {}};
    return change(folder, [&](std::vector<Recipe> &recipes) {
        const int index = indexOf(recipes, name);
        if (index < 0)
            return missingRefusal(name);
        if (indexOf(recipes, newName) >= 0)
            return takenRefusal(newName);
        Recipe copy = recipes[std::size_t(index)];
        copy.name = newName;
        recipes.insert(recipes.begin() + index + 1, std::move(copy));
        return QString();
    });
}

QString freeName(const Book &book, const QString &base)
{
    QString name = base;
    for (int n = 2; indexOf(book.recipes, name) >= 0; ++n)
        name = u"%1 %2"_s.arg(base).arg(n);
    return name;
}

} // namespace RecipeBook
