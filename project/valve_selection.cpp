#include "project/valve_selection.hpp"

#include <algorithm>
#include <cmath>

#include "calc/travel.hpp"
#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "data/settings.hpp"
#include "project/characteristic_text.hpp"

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

// ---- The catalogue valve dialog ------------------------------------------------------------

CatalogueValveChoice::CatalogueValveChoice(const std::vector<SeriesValve>& valves, int selected,
                                           const std::array<double, 3>& pointKv)
    : valves_(valves),
      kvText_(CandidateKvText(pointKv)),
      sizingKv_(SizingKv(pointKv)),
      openingFilter_(sizingKv_ > 0),
      lists_(std::in_place, valves, OfferedCandidates(valves, sizingKv_, openingFilter_)),
      formValve_(selected >= 0 && static_cast<std::size_t>(selected) < valves.size() ? selected : -1) {
    Fill();
}

std::string CatalogueValveChoice::sizingKvText() const { return FormatNumber(sizingKv_, 0); }

void CatalogueValveChoice::ShowAll() {
    openingFilter_ = false;
    lists_.emplace(valves_, OfferedCandidates(valves_, sizingKv_, false));
    Fill();
}

// The lists over the offered candidates, with the valve chosen so far (else the form's valve)
// preselected down all three lists when it is among them; otherwise the first Kvs entry.
void CatalogueValveChoice::Fill() {
    const int chosen = selected_ >= 0 ? selected_ : formValve_;
    kvs_ = lists_->KvsValues();
    dns_.clear();
    characteristics_.clear();
    kvsSelection_ = dnSelection_ = characteristicSelection_ = -1;
    selected_ = -1;
    if (kvs_.empty()) return;  // no candidate: empty lists
    kvsSelection_ = 0;
    const auto& offered = lists_->offered();
    if (chosen < 0 || std::find(offered.begin(), offered.end(), static_cast<std::size_t>(chosen)) == offered.end()) {
        dnSelection_ = 0;  // just the first entry
        return;
    }
    const SeriesValve& v = valves_[static_cast<std::size_t>(chosen)];
    const auto at = [](const auto& values, auto value) {
        return static_cast<int>(std::find(values.begin(), values.end(), value) - values.begin());
    };
    ChooseKvs(at(kvs_, v.Kvs) + 1);
    ChooseDn(at(dns_, v.dn) + 1);
    ChooseCharacteristic(at(characteristics_, v.characteristic));
}

std::vector<std::string> CatalogueValveChoice::KvsTexts() const {
    return kvs_.empty() ? std::vector<std::string>{} : CandidateLists::ListTexts(kvs_);
}

std::vector<std::string> CatalogueValveChoice::DnTexts() const {
    return kvs_.empty() ? std::vector<std::string>{} : CandidateLists::ListTexts(dns_);
}

std::vector<std::string> CatalogueValveChoice::CharacteristicTexts() const {
    std::vector<std::string> texts;
    for (int code : characteristics_) texts.push_back(CharacteristicText(code));
    return texts;
}

void CatalogueValveChoice::ChooseKvs(int entry) {
    if (entry < 0 || entry > static_cast<int>(kvs_.size())) return;
    kvsSelection_ = entry;
    dns_ = entry > 0 ? lists_->DnValues(kvs_[static_cast<std::size_t>(entry - 1)]) : std::vector<double>{};
    dnSelection_ = 0;
    characteristics_.clear();
    characteristicSelection_ = -1;
    selected_ = -1;
}

void CatalogueValveChoice::ChooseDn(int entry) {
    if (kvsSelection_ <= 0 || entry < 0 || entry > static_cast<int>(dns_.size())) return;
    dnSelection_ = entry;
    characteristics_ = entry > 0 ? lists_->Characteristics(kvs_[static_cast<std::size_t>(kvsSelection_ - 1)],
                                                          dns_[static_cast<std::size_t>(entry - 1)])
                                 : std::vector<int>{};
    characteristicSelection_ = -1;
    selected_ = -1;
}

void CatalogueValveChoice::ChooseCharacteristic(int entry) {
    if (dnSelection_ <= 0 || entry < 0 || entry >= static_cast<int>(characteristics_.size())) return;
    characteristicSelection_ = entry;
    const auto found = lists_->Select(kvs_[static_cast<std::size_t>(kvsSelection_ - 1)],
                                     dns_[static_cast<std::size_t>(dnSelection_ - 1)],
                                     characteristics_[static_cast<std::size_t>(entry)]);
    selected_ = found ? static_cast<int>(*found) : -1;
}

}  // namespace tarvik
