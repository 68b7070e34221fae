// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/itemvalues.h"

#include <cmath>
#include <optional>

#include "nutrients/numberrules.h"

using NumberRules::numberPrefix;
using NumberRules::numberText;

namespace {

// A cell times the portion, made non-negative; nullopt when the cell, the
// portion or the product lies beyond a double's range.
std::optional<QString> scaled(const QString &cell, std::optional<double> portion)
{
    const std::optional<double> value = numberPrefix(cell);
    if (!value || !portion)
        return std::nullopt;
    const double product = std::fabs(*value * *portion);
    if (!std::isfinite(product))
        return std::nullopt;
    return numberText(product);
}

// Calories of a grams field as it is shown, not of the unrounded product.
std::optional<QString> caloriesOf(const QString &gramsText, double perGram)
{
    return scaled(gramsText, perGram);
}

// Runs the steps of one update in order; the first failing step ends it.
class Steps
{
public:
    explicit Steps(ItemFields &fields) : m_fields(fields) {}

    void set(QString ItemFields::*field, std::optional<QString> text)
    {
        if (m_failed)
            return;
        if (!text) {
            m_failed = true;
            return;
        }
        m_fields.*field = std::move(*text);
    }

private:
    ItemFields &m_fields;
    bool m_failed = false;
};

// The steps both updates share. Choosing an item leaves the saturated-fat
// calories alone; a change of portion empties them.
ItemFields update(const FoodRecord &row, std::optional<double> portion, ItemFields fields,
                  bool emptiesSatFatCalories)
{
    Steps steps(fields);
    steps.set(&ItemFields::measure, row[Food::Measure]);
    steps.set(&ItemFields::weight, row[Food::WeightGrams]);
    steps.set(&ItemFields::calories, scaled(row[Food::Calories], portion));
    steps.set(&ItemFields::fatGrams, scaled(row[Food::FatGrams], portion));
    steps.set(&ItemFields::carbGrams, scaled(row[Food::CarbGrams], portion));
    steps.set(&ItemFields::proteinGrams, scaled(row[Food::ProteinGrams], portion));
    steps.set(&ItemFields::cholesterolMg, scaled(row[Food::CholesterolMg], portion));
    steps.set(&ItemFields::weight, scaled(row[Food::WeightGrams], portion));
    steps.set(&ItemFields::fatCalories, caloriesOf(fields.fatGrams, 9));
    steps.set(&ItemFields::satFatGrams, scaled(row[Food::SatFatGrams], portion));
    if (emptiesSatFatCalories)
        steps.set(&ItemFields::satFatCalories, QString());
    steps.set(&ItemFields::carbCalories, caloriesOf(fields.carbGrams, 4));
    steps.set(&ItemFields::proteinCalories, caloriesOf(fields.proteinGrams, 4));
    return fields;
}

} // namespace

namespace ItemValues {

ItemFields select(const FoodRecord &row, ItemFields fields)
{
    return update(row, 1.0, std::move(fields), false);
}

ItemFields portionChange(const FoodRecord &row, const QString &portionText, ItemFields fields)
{
    // A portion beyond a double's range fails at the first product, after
    // the measure and the weight have been shown.
    return update(row, numberPrefix(portionText), std::move(fields), true);
}

} // namespace ItemValues
