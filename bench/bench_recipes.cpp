// SPDX-License-Identifier: GPL-3.0-or-later
// Forkwell Recipes' food search: one keystroke's search over the foods of a
// full database, beside one plain pass over their names; also over a USDA
// release's foods when FORKWELL_USDA_RELEASE names its folder.

#include <cstdio>

#include <QStringList>

#include "bench/benchsupport.h"
#include "bench/sampledata.h"
#include "importer/usdarelease.h"
#include "recipes/foodsearch.h"

using namespace Qt::StringLiterals;

namespace {

// The result rows the window fills per keystroke.
constexpr int Shown = 100;

// Every prefix of each query, as typed a letter at a time.
QStringList keystrokes(const QStringList &queries)
{
    QStringList typed;
    for (const QString &query : queries) {
        for (qsizetype length = 1; length <= query.size(); ++length)
            typed.append(query.first(length));
    }
    return typed;
}

// One keystroke: the foods holding every word typed so far, ranked, with
// the texts of the rows shown; against looking for the typed text in each
// name once, as it stands, with no folding and no ranking.
void searchKeystrokes(benchmark::State &state, const FoodCatalog &catalog)
{
    const QStringList typed = keystrokes({u"cheese cheddar"_s, u"beans kidney canned"_s, u"chicken breast roasted"_s,
                                          u"Crème fraîche"_s, u"rice white"_s});
    std::vector<QString> names;
    for (int i = 0; i < catalog.size(); ++i)
        names.push_back(catalog.food(i)[Food::Name]);
    qsizetype key = 0;
    std::size_t found = 0;
    Bench::sideBySide(
        state, 0,
        [&] { found += catalog.matches(typed[key], Shown).size(); },
        [&] {
            int hits = 0;
            for (const QString &name : names)
                hits += name.contains(typed[key]) ? 1 : 0;
            benchmark::DoNotOptimize(hits);
        },
        [&] { key = (key + 1) % typed.size(); });
    if (found == 0)
        state.SkipWithError("no query found a food");
    state.counters["foods"] = catalog.size();
    state.counters["keystrokes"] = static_cast<double>(typed.size());
    state.SetLabel("one keystroke vs one pass over the names; goal under 5 ms");
}

void BM_SearchKeystroke(benchmark::State &state)
{
    FoodCatalog catalog;
    catalog.setFoods(SampleData::foods(static_cast<int>(state.range(0))));
    searchKeystrokes(state, catalog);
}
BENCHMARK(BM_SearchKeystroke)->Arg(FoodTable::RowCount)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same over the foods the importer makes of a USDA release, as many as
// the table holds.
void searchUsdaKeystrokes(benchmark::State &state, const QString &folder)
{
    const Usda::Release release = Usda::readRelease(folder);
    if (!release.errors.isEmpty()) {
        state.SkipWithError("the USDA release cannot be read");
        return;
    }
    FoodCatalog catalog;
    catalog.setFoods(Usda::selectRecords(release, std::nullopt, FoodTable::RowCount).records);
    searchKeystrokes(state, catalog);
}

} // namespace

int main(int argc, char **argv)
{
    // The release is read where it lies, named by the environment.
    const QString usda = qEnvironmentVariable("FORKWELL_USDA_RELEASE");
    if (usda.isEmpty()) {
        std::fprintf(stderr, "FORKWELL_USDA_RELEASE names no USDA release folder: "
                             "the search over its foods is left out\n");
    } else {
        benchmark::RegisterBenchmark("BM_SearchKeystrokeUsda", searchUsdaKeystrokes, usda)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return Bench::run(argc, argv);
}
