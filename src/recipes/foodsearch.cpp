// SPDX-License-Identifier: GPL-3.0-or-later
#include "recipes/foodsearch.h"

#include <algorithm>
#include <tuple>

#include <QDir>

#include "database/forkwellfiles.h"
#include "tally/itemvalues.h"

namespace {

// A character as the search compares it: its base letter without accents, in small letters.
QChar searchChar(QChar c)
{
    if (c.unicode() < 0x80)
        return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 0x20) : c;
    if (c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (!parts.isEmpty())
            c = parts.front();
    }
    return c.toCaseFolded();
}

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'\t' || c == u',';
}

} // namespace

QString searchKey(QStringView text)
{
    QString key(text.size(), Qt::Uninitialized);
    QChar *out = key.data();
    for (const QChar c : text)
        *out++ = searchChar(c);
    return key;
}

QStringList searchWords(QStringView query)
{
    QStringList words;
    const QString key = searchKey(query);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= key.size(); ++i) {
        if (i == key.size() || isSeparator(key[i])) {
            if (i > start)
                words.append(key.sliced(start, i - start));
            start = i + 1;
        }
    }
    return words;
}

FoodLoad FoodCatalog::load(const QString &folder)
{
    FoodTable table;
    const FoodLoad loaded = loadFoodTable(QDir(folder).filePath(ForkwellFiles::Database.toString()), table);
    std::vector<FoodRecord> foods;
    foods.reserve(std::size_t(loaded.names.size()));
    for (int row = 0; row < loaded.names.size(); ++row)
        foods.push_back(std::move(table.row(row)));
    setFoods(std::move(foods));
    return loaded;
}

void FoodCatalog::setFoods(std::vector<FoodRecord> foods)
{
    m_foods = std::move(foods);
    m_keys.clear();
    m_keys.reserve(m_foods.size());
    m_byName.clear();
    m_byName.reserve(qsizetype(m_foods.size()));
    for (int i = 0; i < size(); ++i) {
        const QString &name = m_foods[std::size_t(i)][Food::Name];
        m_keys.push_back(searchKey(name));
        if (!m_byName.contains(name)) // the first food of a name keeps it
            m_byName.insert(name, i);
    }
}

int FoodCatalog::indexOf(const QString &name) const
{
    return m_byName.value(name, -1);
}

std::vector<int> FoodCatalog::search(QStringView query, int limit) const
{
    const QStringList words = searchWords(query);
    std::vector<int> found;
    if (limit <= 0)
        return found;
    if (words.isEmpty()) {
        for (int i = 0; i < size() && int(found.size()) < limit; ++i)
            found.push_back(i);
        return found;
    }
    // Each food found with its rank: begins with the first word (0) or not (1), then its length.
    std::vector<std::tuple<bool, qsizetype, int>> ranked;
    for (int i = 0; i < size(); ++i) {
        const QStringView key = m_keys[std::size_t(i)];
        const bool all = std::all_of(words.cbegin(), words.cend(), [key](const QString &word) { return key.contains(word); });
        if (all)
            ranked.emplace_back(!key.startsWith(words.front()), key.size(), i);
    }
    const auto end = ranked.begin() + std::min<qsizetype>(limit, qsizetype(ranked.size()));
    std::partial_sort(ranked.begin(), end, ranked.end());
    for (auto it = ranked.begin(); it != end; ++it)
        found.push_back(std::get<2>(*it));
    return found;
}

FoodMatch FoodCatalog::match(int index) const
{
    const FoodRecord &food = this->food(index);
    const ItemFields fields = ItemValues::select(food, ItemFields());
    return {index, food[Food::Name], fields.measure, fields.calories, fields.fatGrams, fields.carbGrams, fields.proteinGrams};
}

std::vector<FoodMatch> FoodCatalog::matches(QStringView query, int limit) const
{
    std::vector<FoodMatch> shown;
    for (const int index : search(query, limit))
        shown.push_back(match(index));
    return shown;
}
