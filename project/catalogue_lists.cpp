#include "project/catalogue_lists.hpp"

#include <algorithm>
#include <cstdio>

#include "data/cp1250.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "units/unit_files.hpp"
#include "units/unit_grid_text.hpp"

namespace tarvik {
namespace {

constexpr int kTextLiquidChoice = 63074, kTextLiquid = 63075, kTextGasChoice = 63076, kTextGas = 63077;

std::string G(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::vector<ListRow> Padded(std::vector<ListRow> rows, std::size_t columns) {
    while (rows.size() < static_cast<std::size_t>(kMinListRows)) rows.push_back({std::vector<std::string>(columns), -1});
    return rows;
}

}  // namespace

std::vector<ColumnCaption> ParseColumnFormat(const std::string& format) {
    std::vector<ColumnCaption> columns;
    const std::string head = format.substr(0, format.find(';'));
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = head.find('|', start);
        std::string part = head.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        ColumnCaption c;
        if (!part.empty() && (part[0] == '<' || part[0] == '^' || part[0] == '>')) {
            c.align = part[0] == '<' ? ColumnAlign::Left : part[0] == '^' ? ColumnAlign::Centre : ColumnAlign::Right;
            part.erase(0, 1);
        }
        c.text = std::move(part);
        columns.push_back(std::move(c));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (columns.size() == 1 && columns[0].text.empty() && columns[0].align == ColumnAlign::Default) columns.clear();
    return columns;
}

void SortListRows(std::vector<ListRow>& rows, std::size_t keyColumn) {
    // Names compare as the code page orders them; an empty row never sorts between records
    // (a name starting with a letter above "ž" in the code page would otherwise follow them).
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys.emplace_back(keyColumn < rows[i].cells.size() ? Utf8ToCp1250(rows[i].cells[keyColumn]) : std::string(), i);
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const bool emptyA = rows[a].index < 0, emptyB = rows[b].index < 0;
        if (emptyA != emptyB) return emptyB;
        return keys[a].first < keys[b].first;
    });
    std::vector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

std::vector<ListRow> MediaListRows(const std::vector<Medium>& media, int phaseFilter) {
    std::vector<ListRow> rows;
    rows.reserve(std::max<std::size_t>(media.size(), kMinListRows));
    const std::string& liquid = GetText(kTextLiquid);
    const std::string& gas = GetText(kTextGas);
    for (std::size_t i = 0; i < media.size(); ++i) {
        const Medium& m = media[i];
        if (phaseFilter != -1 && m.phase != phaseFilter) continue;
        rows.push_back({{m.source, m.name, m.name2, m.note, m.phase == kPhaseLiquid ? liquid : m.phase == kPhaseGas ? gas : "",
                         G(m.auxValue1), G(m.density), G(m.normalDensity), G(m.vapourPressure), G(m.viscosity),
                         G(m.criticalPressure), G(m.auxValue2), G(m.molarMass), G(m.kappa), G(m.compressibility),
                         G(m.soundSpeed), m.name, std::to_string(m.number)},
                        static_cast<int>(i)});
    }
    rows = Padded(std::move(rows), 18);
    SortListRows(rows, 16);
    return rows;
}

std::vector<ListRow> PipeListRows(const std::vector<Pipe>& pipes) {
    std::vector<ListRow> rows;
    rows.reserve(std::max<std::size_t>(pipes.size(), kMinListRows));
    for (std::size_t i = 0; i < pipes.size(); ++i) {
        const Pipe& p = pipes[i];
        rows.push_back({{p.kind, p.size, p.wall, FormatNumber(p.outsideDiameter, 2), FormatNumber(p.wallThickness, 2),
                         std::to_string(p.number), p.size},
                        static_cast<int>(i)});
    }
    rows = Padded(std::move(rows), 7);
    SortListRows(rows, 6);
    return rows;
}

std::vector<ListRow> UnitListRows(const std::vector<UnitDef>& units) {
    std::vector<ListRow> rows;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const UnitDef& u = units[i];
        rows.push_back({{QuantityName(u.quantity), u.name, UnitFormulaText(u), std::to_string(u.number)}, static_cast<int>(i)});
    }
    return Padded(std::move(rows), 4);
}

std::vector<int> RowIndices(const std::vector<ListRow>& rows, int a, int b) {
    std::vector<int> numbers;
    const int lo = std::max(0, std::min(a, b)), hi = std::min(static_cast<int>(rows.size()) - 1, std::max(a, b));
    for (int r = lo; r <= hi; ++r)
        if (const int n = rows[static_cast<std::size_t>(r)].index; n >= 0) numbers.push_back(n);
    std::sort(numbers.begin(), numbers.end(), std::greater<>());
    return numbers;
}

std::optional<int> SingleRowIndex(const std::vector<ListRow>& rows, int a, int b) {
    if (a != b || a < 0 || a >= static_cast<int>(rows.size())) return std::nullopt;
    const int n = rows[static_cast<std::size_t>(a)].index;
    if (n < 0) return std::nullopt;
    return n;
}

bool MediumRowEditable(const std::vector<ListRow>& rows, int row) {
    return row >= 0 && row < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(row)].index >= 0 &&
           rows[static_cast<std::size_t>(row)].cells[0] == "U";
}

int PhaseFromText(const std::string& text, int phase) {
    if (text == GetText(kTextLiquidChoice)) return kPhaseLiquid;
    if (text == GetText(kTextGasChoice)) return kPhaseGas;
    return phase;
}

std::string PhaseText(int phase) { return GetText(phase == kPhaseLiquid ? kTextLiquidChoice : kTextGasChoice); }

int CheckUnitDialog(const UnitDef& unit) {
    if (unit.name.find_first_not_of(" \t") == std::string::npos) return kMsgUnitIncomplete;
    if (unit.quantity < kQuantityVolumeFlow || unit.quantity > kQuantityMassFlow) return kMsgUnitIncomplete;
    return 0;
}

UnitDef& AddUserUnit(std::vector<UnitDef>& units, UnitDef unit) {
    unit.number = NextUnitNumber(units);
    units.push_back(std::move(unit));
    return units.back();
}

}  // namespace tarvik
