// SPDX-License-Identifier: GPL-3.0-or-later
#include "importer/usdarelease.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "database/itemeditor.h"
#include "database/textfile.h"
#include "nutrients/numberrules.h"

using namespace Qt::StringLiterals;

namespace {

__extension__ using Wide = __int128;

// A decimal number held exactly: units / 10^scale.
struct Decimal
{
    std::int64_t units = 0;
    int scale = 0;

    double value() const
    {
        // Powers of ten up to 1E22 are exact doubles, so one division
        // gives the double nearest the decimal.
        double divisor = 1.0;
        for (int i = 0; i < scale; ++i)
            divisor *= 10.0;
        return static_cast<double>(units) / divisor;
    }
};

constexpr int MaxDigits = 15;
constexpr int MaxScale = 9;

Wide powerOfTen(int exponent)
{
    Wide p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

// Digits with at most one ".", as the release writes its figures ("69.40",
// ".5", "227"). The empty text is 0. No sign, no exponent.
std::optional<Decimal> parseDecimal(QStringView text)
{
    Decimal number;
    bool point = false;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > MaxDigits)
                return std::nullopt;
            number.units = number.units * 10 + (c.unicode() - u'0');
            if (point)
                ++number.scale;
        } else {
            return std::nullopt;
        }
    }
    if (!text.isEmpty() && digits == 0)
        return std::nullopt;
    if (number.scale > MaxScale)
        return std::nullopt;
    return number;
}

// per100g × grams / 100, rounded to the given decimals with halves going
// up, written by the number-text rule. Exact: 1.5 g per 100 g in 10 g is
// 0.15 g and gives 0.2, where doubles would give 0.1.
QString scaled(Decimal per100g, Decimal grams, int decimals)
{
    const Wide product = Wide(per100g.units) * Wide(grams.units);
    const int shift = per100g.scale + grams.scale + 2 - decimals;
    Wide result = 0;
    if (shift <= 0) {
        result = product * powerOfTen(-shift);
    } else {
        const Wide divisor = powerOfTen(shift);
        result = product / divisor;
        if ((product % divisor) * 2 >= divisor)
            ++result;
    }
    return NumberRules::numberText(static_cast<double>(result)
                                   / static_cast<double>(powerOfTen(decimals)));
}

// The inch mark of "1/8" fat" would end a quoted field early; the closing
// quotation mark of Windows-1252 looks the same and is plain text.
QString withoutInchMarks(QStringView text)
{
    QString out = text.trimmed().toString();
    out.replace(u'"', QChar(0x201D));
    return out;
}

enum FileRank { GroupRank, DescriptionRank, AbbrevRank, WeightRank };

struct SourceFile
{
    QString path;
    QString text;
    FileRank rank = GroupRank;
};

struct Line
{
    int number = 0;
    QList<QStringView> fields;
};

// The per-100 g figures the database keeps.
enum Nutrient { Kcal, Protein, Fat, Carb, SatFat, Cholesterol, NutrientCount };

// Column of each nutrient in ABBREV.txt, counted from 0.
constexpr std::array<int, NutrientCount> AbbrevColumn = {3, 4, 5, 7, 44, 47};
constexpr std::array<QStringView, NutrientCount> AbbrevName = {
    u"Energ_Kcal", u"Protein", u"Lipid_Tot", u"Carbohydrt", u"FA_Sat", u"Cholestrl"};

constexpr int AbbrevFields = 53;
constexpr int DescriptionFields = 14;
constexpr int WeightFields = 7;
constexpr int GroupFields = 2;

struct FoodEntry
{
    int line = 0;           // in FOOD_DES.txt
    QString group;
    QString name;
    QByteArray sortKey;
    int abbrevLine = 0;     // 0: no nutrient values
    std::array<Decimal, NutrientCount> per100g{};
    int measures = 0;
};

struct Measure
{
    int line = 0;
    QString food;
    Decimal amount;
    QString description;
    Decimal grams;
};

class Reader
{
public:
    Reader(const QString &folder, const Usda::Progress &progress)
        : m_dir(folder)
        , m_progress(progress)
    {
    }

    Usda::Release read();

private:
    void say(const QString &message) const
    {
        if (m_progress)
            m_progress(message);
    }
    void error(const SourceFile &file, int line, const QString &message)
    {
        m_errors.append({{file.path, line, message}, file.rank});
    }
    void warn(const SourceFile &file, int line, const QString &message)
    {
        m_warnings.append({{file.path, line, message}, file.rank});
    }

    QString pathOf(QStringView name) const;
    std::optional<SourceFile> open(QStringView name, FileRank rank, bool required);
    std::vector<Line> lines(const SourceFile &file, int fieldCount);
    std::optional<Decimal> number(const SourceFile &file, const Line &line, int column,
                                  QStringView name, bool required);
    bool present(const SourceFile &file, const Line &line, int column, QStringView name);

    void readGroups(const SourceFile &file);
    void readDescriptions(const SourceFile &file);
    void readAbbrev(const SourceFile &file);
    void readWeights(const SourceFile &file);
    void buildRecords(const SourceFile &descriptions, const SourceFile &weights);

    struct RankedDiagnostic : Usda::Diagnostic
    {
        FileRank rank = GroupRank;
    };
    static QList<Usda::Diagnostic> inFileOrder(QList<RankedDiagnostic> diagnostics);

    QDir m_dir;
    const Usda::Progress &m_progress;
    QList<RankedDiagnostic> m_errors;
    QList<RankedDiagnostic> m_warnings;

    QList<Usda::FoodGroup> m_groups;
    QHash<QString, qsizetype> m_groupIndex;
    bool m_groupFile = false;
    QStringList m_foodOrder;
    QHash<QString, FoodEntry> m_foods;
    std::vector<Measure> m_measures;
    std::vector<Usda::ImportedRecord> m_records;
    std::vector<QByteArray> m_recordKeys;
};

QString Reader::pathOf(QStringView name) const
{
    // Downloads differ in the case of the names; take whichever is there.
    const QStringList entries = m_dir.entryList(QDir::Files | QDir::Readable | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return m_dir.filePath(entry);
    }
    return m_dir.filePath(name.toString());
}

std::optional<SourceFile> Reader::open(QStringView name, FileRank rank, bool required)
{
    SourceFile file{pathOf(name), {}, rank};
    if (!required && !QFileInfo::exists(file.path))
        return std::nullopt;
    say(u"Reading %1"_s.arg(file.path));
    QString reason;
    std::optional<QString> text = TextFile::read(file.path, &reason);
    if (!text) {
        error(file, 0, u"cannot be read: %1"_s.arg(reason));
        return std::nullopt;
    }
    file.text = std::move(*text);
    return file;
}

std::vector<Line> Reader::lines(const SourceFile &file, int fieldCount)
{
    std::vector<Line> result;
    const QStringView text(file.text);
    qsizetype start = 0;
    int number = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        start = end + 1;
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        // Blank lines carry nothing; old releases end with a DOS end-of-file mark.
        if (line.isEmpty() || line == u"\x1A")
            continue;
        QString reason;
        std::optional<QList<QStringView>> fields = Usda::splitLine(line, &reason);
        if (!fields) {
            error(file, number, reason);
            continue;
        }
        if (fields->size() != fieldCount) {
            error(file, number, u"%1 fields where %2 belong"_s.arg(fields->size()).arg(fieldCount));
            continue;
        }
        result.push_back({number, std::move(*fields)});
    }
    return result;
}

std::optional<Decimal> Reader::number(const SourceFile &file, const Line &line, int column,
                                      QStringView name, bool required)
{
    const QStringView field = line.fields[column];
    if (required && field.isEmpty()) {
        error(file, line.number, u"%1 is empty"_s.arg(name));
        return std::nullopt;
    }
    const std::optional<Decimal> value = parseDecimal(field);
    if (!value)
        error(file, line.number, u"%1 is not a number: \"%2\""_s.arg(name, field));
    return value;
}

bool Reader::present(const SourceFile &file, const Line &line, int column, QStringView name)
{
    if (!line.fields[column].trimmed().isEmpty())
        return true;
    error(file, line.number, u"%1 is empty"_s.arg(name));
    return false;
}

void Reader::readGroups(const SourceFile &file)
{
    m_groupFile = true;
    for (const Line &line : lines(file, GroupFields)) {
        if (!present(file, line, 0, u"FdGrp_Cd"))
            continue;
        const QString code = line.fields[0].trimmed().toString();
        if (m_groupIndex.contains(code)) {
            warn(file, line.number, u"food group %1 appears again; this line is left out"_s.arg(code));
            continue;
        }
        m_groupIndex.insert(code, m_groups.size());
        m_groups.append({code, line.fields[1].trimmed().toString(), 0});
    }
}

void Reader::readDescriptions(const SourceFile &file)
{
    for (const Line &line : lines(file, DescriptionFields)) {
        if (!present(file, line, 0, u"NDB_No") || !present(file, line, 1, u"FdGrp_Cd")
            || !present(file, line, 2, u"Long_Desc")) {
            continue;
        }
        const QString id = line.fields[0].trimmed().toString();
        if (const auto known = m_foods.constFind(id); known != m_foods.cend()) {
            warn(file, line.number,
                 u"food %1 appears again (first on line %2); this line is left out"_s.arg(id).arg(
                     known->line));
            continue;
        }
        FoodEntry food;
        food.line = line.number;
        food.group = line.fields[1].trimmed().toString();
        food.name = withoutInchMarks(line.fields[2]);
        food.sortKey = ItemEditor::upperCased(food.name);
        if (!m_groupIndex.contains(food.group)) {
            if (m_groupFile) {
                warn(file, line.number,
                     u"food group %1 is not in %2"_s.arg(food.group, Usda::FoodGroupFile));
            }
            m_groupIndex.insert(food.group, m_groups.size());
            m_groups.append({food.group, {}, 0});
        }
        m_foodOrder.append(id);
        m_foods.insert(id, std::move(food));
    }
}

void Reader::readAbbrev(const SourceFile &file)
{
    for (const Line &line : lines(file, AbbrevFields)) {
        if (!present(file, line, 0, u"NDB_No"))
            continue;
        std::array<Decimal, NutrientCount> values{};
        bool valid = true;
        for (int n = 0; n < NutrientCount; ++n) {
            const std::optional<Decimal> value = number(file, line, AbbrevColumn[n], AbbrevName[n], false);
            valid = valid && value.has_value();
            if (value)
                values[n] = *value;
        }
        if (!valid)
            continue;
        const QString id = line.fields[0].trimmed().toString();
        const auto food = m_foods.find(id);
        if (food == m_foods.end()) {
            warn(file, line.number,
                 u"nutrient values of food %1, which is not in %2; left out"_s.arg(
                     id, Usda::FoodDescriptionFile));
        } else if (food->abbrevLine != 0) {
            warn(file, line.number,
                 u"food %1 appears again (first on line %2); this line is left out"_s.arg(id).arg(
                     food->abbrevLine));
        } else {
            food->abbrevLine = line.number;
            food->per100g = values;
        }
    }
}

void Reader::readWeights(const SourceFile &file)
{
    for (const Line &line : lines(file, WeightFields)) {
        if (!present(file, line, 0, u"NDB_No"))
            continue;
        const std::optional<Decimal> amount = number(file, line, 2, u"Amount", true);
        const std::optional<Decimal> grams = number(file, line, 4, u"Gm_Wgt", true);
        if (!amount || !grams)
            continue;
        m_measures.push_back({line.number, line.fields[0].trimmed().toString(), *amount,
                              withoutInchMarks(line.fields[3]), *grams});
    }
}

void Reader::buildRecords(const SourceFile &descriptions, const SourceFile &weights)
{
    m_records.reserve(m_measures.size());
    m_recordKeys.reserve(m_measures.size());
    for (const Measure &measure : m_measures) {
        const auto found = m_foods.find(measure.food);
        if (found == m_foods.end()) {
            warn(weights, measure.line,
                 u"measure of food %1, which is not in %2; left out"_s.arg(
                     measure.food, Usda::FoodDescriptionFile));
            continue;
        }
        FoodEntry &food = *found;
        ++food.measures;
        if (food.abbrevLine == 0)
            continue;
        const QString amount = NumberRules::numberText(measure.amount.value());
        const QString measureText =
            measure.description.isEmpty() ? amount : amount + u' ' + measure.description;
        const auto &v = food.per100g;
        FoodRecord record;
        record[Food::Name] = food.name;
        record[Food::Measure] = measureText;
        record[Food::FatGrams] = scaled(v[Fat], measure.grams, 1);
        record[Food::Calories] = scaled(v[Kcal], measure.grams, 0);
        record[Food::CarbGrams] = scaled(v[Carb], measure.grams, 1);
        record[Food::ProteinGrams] = scaled(v[Protein], measure.grams, 1);
        record[Food::CholesterolMg] = scaled(v[Cholesterol], measure.grams, 0);
        record[Food::WeightGrams] = NumberRules::numberText(measure.grams.value());
        record[Food::SatFatGrams] = scaled(v[SatFat], measure.grams, 1);
        m_records.push_back({std::move(record), food.group});
        m_recordKeys.push_back(food.sortKey);
        ++m_groups[m_groupIndex.value(food.group)].records;
    }

    for (const QString &id : std::as_const(m_foodOrder)) {
        const FoodEntry &food = *m_foods.constFind(id);
        if (food.abbrevLine == 0) {
            warn(descriptions, food.line,
                 u"food %1 \"%2\" has no nutrient values in %3; left out"_s.arg(id, food.name,
                                                                                Usda::AbbrevFile));
        } else if (food.measures == 0) {
            warn(descriptions, food.line,
                 u"food %1 \"%2\" has no household measure in %3; left out"_s.arg(id, food.name,
                                                                                  Usda::WeightFile));
        }
    }
}

QList<Usda::Diagnostic> Reader::inFileOrder(QList<RankedDiagnostic> diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const RankedDiagnostic &a, const RankedDiagnostic &b) {
                         return a.rank != b.rank ? a.rank < b.rank : a.line < b.line;
                     });
    QList<Usda::Diagnostic> plain;
    plain.reserve(diagnostics.size());
    for (const RankedDiagnostic &d : diagnostics)
        plain.append(d);
    return plain;
}

Usda::Release Reader::read()
{
    Usda::Release release;
    if (const std::optional<SourceFile> groups = open(Usda::FoodGroupFile, GroupRank, false))
        readGroups(*groups);
    else if (m_errors.isEmpty())
        say(u"No %1: food groups are known by their codes only"_s.arg(Usda::FoodGroupFile));
    const std::optional<SourceFile> descriptions = open(Usda::FoodDescriptionFile, DescriptionRank, true);
    if (descriptions)
        readDescriptions(*descriptions);
    if (const std::optional<SourceFile> abbrev = open(Usda::AbbrevFile, AbbrevRank, true))
        readAbbrev(*abbrev);
    const std::optional<SourceFile> weights = open(Usda::WeightFile, WeightRank, true);
    if (weights)
        readWeights(*weights);

    if (m_errors.isEmpty()) {
        buildRecords(*descriptions, *weights);
        say(u"Sorting %1 records"_s.arg(m_records.size()));
        std::vector<std::size_t> order(m_records.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        // Bytes compare unsigned, as the item editor compares names; a
        // food's measures keep their order.
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return QByteArrayView(m_recordKeys[a]) < QByteArrayView(m_recordKeys[b]);
        });
        release.records.reserve(order.size());
        for (const std::size_t i : order)
            release.records.push_back(std::move(m_records[i]));
    }

    std::stable_sort(m_groups.begin(), m_groups.end(),
                     [](const Usda::FoodGroup &a, const Usda::FoodGroup &b) { return a.code < b.code; });
    release.groups = m_groups;
    release.errors = inFileOrder(m_errors);
    // With lines unread, the cross-checks between the files would only mislead.
    if (release.errors.isEmpty())
        release.warnings = inFileOrder(m_warnings);
    return release;
}

} // namespace

namespace Usda {

QString Diagnostic::where() const
{
    return line > 0 ? u"%1:%2"_s.arg(file).arg(line) : file;
}

std::optional<QList<QStringView>> splitLine(QStringView line, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<QList<QStringView>> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QList<QStringView> fields;
    qsizetype pos = 0;
    const qsizetype size = line.size();
    while (true) {
        const int fieldNumber = static_cast<int>(fields.size()) + 1;
        if (pos < size && line[pos] == u'~') {
            const qsizetype close = line.indexOf(u'~', pos + 1);
            if (close < 0)
                return fail(u"field %1 opens a ~ that is never closed"_s.arg(fieldNumber));
            fields.append(line.sliced(pos + 1, close - pos - 1));
            pos = close + 1;
            if (pos < size && line[pos] != u'^')
                return fail(u"field %1 goes on after its closing ~"_s.arg(fieldNumber));
        } else {
            qsizetype end = line.indexOf(u'^', pos);
            if (end < 0)
                end = size;
            const QStringView field = line.sliced(pos, end - pos);
            if (field.contains(u'~'))
                return fail(u"field %1 holds a ~ without beginning with one"_s.arg(fieldNumber));
            fields.append(field);
            pos = end;
        }
        if (pos >= size)
            return fields;
        ++pos; // the "^"
    }
}

Release readRelease(const QString &folder, const Progress &progress)
{
    return Reader(folder, progress).read();
}

std::optional<QSet<QString>> chooseGroups(const QStringList &values, const QList<FoodGroup> &groups,
                                          QString *error)
{
    const auto groupOf = [&groups](QStringView entry) -> const FoodGroup * {
        const QStringView wanted = entry.trimmed();
        for (const FoodGroup &group : groups) {
            if (group.code == wanted
                || (!group.name.isEmpty() && group.name.compare(wanted, Qt::CaseInsensitive) == 0)) {
                return &group;
            }
        }
        return nullptr;
    };

    QSet<QString> chosen;
    for (const QString &value : values) {
        const QList<QStringView> parts = QStringView(value).split(u',');
        qsizetype i = 0;
        while (i < parts.size()) {
            if (parts[i].trimmed().isEmpty()) {
                ++i;
                continue;
            }
            // The longest run of parts that names a group, so that
            // "Soups, Sauces, and Gravies" is one name.
            const FoodGroup *match = nullptr;
            qsizetype end = parts.size();
            for (; end > i; --end) {
                const QStringView run(parts[i].data(), parts[end - 1].data() + parts[end - 1].size());
                match = groupOf(run);
                if (match)
                    break;
            }
            if (!match) {
                if (error)
                    *error = u"no food group has the code or name \"%1\""_s.arg(parts[i].trimmed());
                return std::nullopt;
            }
            chosen.insert(match->code);
            i = end;
        }
    }
    return chosen;
}

Selection selectRecords(const Release &release, const std::optional<QSet<QString>> &chosen,
                        int maxRecords)
{
    QList<FoodGroup> candidates;
    int total = 0;
    for (const FoodGroup &group : release.groups) {
        if (group.records > 0 && (!chosen || chosen->contains(group.code))) {
            candidates.append(group);
            total += group.records;
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const FoodGroup &a, const FoodGroup &b) {
        return a.records != b.records ? a.records < b.records : a.code < b.code;
    });

    Selection selection;
    QSet<QString> kept;
    for (const FoodGroup &group : std::as_const(candidates)) {
        if (total > maxRecords) {
            selection.dropped.append(group);
            total -= group.records;
        } else {
            kept.insert(group.code);
        }
    }
    selection.records.reserve(static_cast<std::size_t>(total));
    for (const ImportedRecord &record : release.records) {
        if (kept.contains(record.group))
            selection.records.push_back(record.record);
    }
    return selection;
}

QString databaseText(const std::vector<FoodRecord> &records)
{
    QString text;
    text.reserve(static_cast<qsizetype>(records.size()) * 120);
    for (const FoodRecord &record : records) {
        // The writer takes every text read from a release: no field holds a
        // line feed, and inch marks are closing quotation marks by now.
        text += recordText(record).value();
    }
    return text;
}

} // namespace Usda
