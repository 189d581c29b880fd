#include "project/valve_selection.hpp"

#include <algorithm>
#include <cmath>

#include "calc/travel.hpp"
#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "data/settings.hpp"

namespace tarvik {

std::vector<SeriesRow> SeriesRows(const std::vector<std::string>& keys) {
    std::vector<SeriesRow> rows;
    rows.reserve(keys.size());
    for (const auto& key : keys) {
        SeriesRow row;
        const auto open = key.find(" (");
        row.name = key.substr(0, open);
        if (open != std::string::npos) {
            std::string rest = key.substr(open + 2);
            if (!rest.empty() && rest.back() == ')') rest.pop_back();
            rest = GetLangText(rest, CurrentSettings().lang);
            rest.erase(std::remove(rest.begin(), rest.end(), '?'), rest.end());
            row.description = rest;
        }
        row.seriesText = row.name + " (" + row.description + ")";
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SeriesRow> SeriesRows(const SeriesTable& table) {
    std::vector<std::string> keys;
    for (const auto& entry : table) keys.push_back(entry.first);
    return SeriesRows(keys);
}

int PreselectedSeriesRow(const std::vector<SeriesRow>& rows, const std::string& designation) {
    if (rows.empty()) return -1;
    // The form stores only the part before "(", so the name alone must find the row too.
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].seriesText == designation || (!designation.empty() && rows[i].name == designation))
            return static_cast<int>(i);
    return 0;
}

std::string CandidateKvText(const std::array<double, 3>& pointKv) {
    std::string text;
    for (std::size_t i = 0; i < pointKv.size(); ++i) {
        if (!(pointKv[i] > 0)) continue;
        if (!text.empty()) text += "; ";
        text += "Kv" + std::to_string(i + 1) + " = " + FormatNumber(pointKv[i], 0);
    }
    return text;
}

double SizingKv(const std::array<double, 3>& pointKv) {
    double kv = 0;
    for (double v : pointKv)
        if (std::isfinite(v) && v > kv) kv = v;
    return kv;
}

double CandidateOpening(const SeriesValve& valve, double Kv) {
    const double h = TravelFromKv(Kv, valve.Kvs, CharacteristicFromCode(valve.characteristic), valve.kvTable);
    return std::isfinite(h) ? h : 0.0;
}

std::vector<std::size_t> OfferedCandidates(const std::vector<SeriesValve>& valves, double sizingKv,
                                           bool openingFilter) {
    std::vector<std::size_t> offered;
    if (!openingFilter || !(sizingKv > 0)) {
        for (std::size_t i = 0; i < valves.size(); ++i) offered.push_back(i);
        return offered;
    }
    auto within = [&](double low, double high) {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < valves.size(); ++i) {
            const double h = CandidateOpening(valves[i], sizingKv);
            if (h >= low && h <= high) out.push_back(i);
        }
        return out;
    };
    offered = within(0.6, 0.95);
    if (offered.empty()) offered = within(0.5, 0.95);
    if (!offered.empty()) return offered;

    // Nothing opens reasonably: the smallest valve that is large enough. An opening of 0 alone
    // (on-off valves, a Kvs of 0) says nothing about the size, so the Kvs must exceed the Kv.
    bool found = false;
    double smallest = 0;
    for (const auto& v : valves) {
        const bool oversized = v.Kvs > sizingKv;
        if (oversized && (!found || v.Kvs < smallest)) {
            smallest = v.Kvs;
            found = true;
        }
    }
    if (!found) return offered;
    for (std::size_t i = 0; i < valves.size(); ++i)
        if (valves[i].Kvs == smallest) offered.push_back(i);
    return offered;
}

CandidateLists::CandidateLists(const std::vector<SeriesValve>& valves, std::vector<std::size_t> offered)
    : valves_(valves), offered_(std::move(offered)) {
    std::erase_if(offered_, [&](std::size_t i) { return i >= valves_.size(); });
}

namespace {
std::vector<double> SortedDistinct(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}
}  // namespace

std::vector<double> CandidateLists::KvsValues() const {
    std::vector<double> values;
    for (auto i : offered_) values.push_back(valves_[i].Kvs);
    return SortedDistinct(std::move(values));
}

std::vector<double> CandidateLists::DnValues(double Kvs) const {
    std::vector<double> values;
    for (auto i : offered_)
        if (valves_[i].Kvs == Kvs) values.push_back(valves_[i].dn);
    return SortedDistinct(std::move(values));
}

std::vector<int> CandidateLists::Characteristics(double Kvs, double dn) const {
    std::vector<int> codes;
    for (auto i : offered_) {
        const auto& v = valves_[i];
        if (v.Kvs == Kvs && v.dn == dn && std::find(codes.begin(), codes.end(), v.characteristic) == codes.end())
            codes.push_back(v.characteristic);
    }
    return codes;
}

std::optional<std::size_t> CandidateLists::Select(double Kvs, double dn, int characteristic) const {
    std::optional<std::size_t> found;
    for (auto i : offered_) {
        const auto& v = valves_[i];
        if (v.Kvs != Kvs || v.dn != dn || v.characteristic != characteristic) continue;
        if (found) return std::nullopt;  // ambiguous
        found = i;
    }
    return found;
}

std::vector<std::string> CandidateLists::ListTexts(const std::vector<double>& values) {
    std::vector<std::string> texts{GetText(kTextFirstListEntry)};
    for (double v : values) texts.push_back(FormatNumber(v, 0));
    return texts;
}

}  // namespace tarvik
