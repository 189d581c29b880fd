#pragma once
// What the two valve-choosing dialogs offer, free of any GUI: the rows of the series list, and
// the catalogue valves of the loaded series whose opening at the computed Kv is reasonable,
// with the three cascading lists (Kvs, DN, characteristic) the valve dialog fills from them.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "data/valve_series.hpp"

namespace tarvik {

// ---- Series list --------------------------------------------------------------------------

struct SeriesRow {
    std::string name;         // the key up to the first " ("
    std::string description;  // the rest, current language, without "?"
    std::string seriesText;   // what the form takes: name, " (", description, ")"
};

// One row per series key (a display name "NAME (description)"), in table order.
std::vector<SeriesRow> SeriesRows(const std::vector<std::string>& keys);
std::vector<SeriesRow> SeriesRows(const SeriesTable& table);
// The row to preselect for the position's designation: the row whose series text or name equals
// it, else the first row; -1 for an empty list.
int PreselectedSeriesRow(const std::vector<SeriesRow>& rows, const std::string& designation);

// ---- Catalogue valve candidates ------------------------------------------------------------

// "(not selected)": the first entry of the Kvs and DN lists (and of the pipe lists).
constexpr int kTextFirstListEntry = 63950;

// "Kv1 = 8; Kv2 = 12" from the points that have a result (Kv > 0).
std::string CandidateKvText(const std::array<double, 3>& pointKv);
// The largest computed Kv; 0 when no point has a result.
double SizingKv(const std::array<double, 3>& pointKv);

// The relative opening of a series valve at `Kv` on its characteristic.
double CandidateOpening(const SeriesValve& valve, double Kv);

// Indices (into `valves`) of the candidates offered: openings 0.6 to 0.95, else 0.5 to 0.95,
// else every valve of the smallest Kvs among the oversized ones. With the opening filter off
// (or no sizing Kv) every valve is offered.
std::vector<std::size_t> OfferedCandidates(const std::vector<SeriesValve>& valves, double sizingKv,
                                           bool openingFilter = true);

// The three cascading lists of the valve dialog over the offered candidates.
class CandidateLists {
public:
    CandidateLists(const std::vector<SeriesValve>& valves, std::vector<std::size_t> offered);

    // Distinct values in ascending order (the dialog puts text 63950 before them).
    std::vector<double> KvsValues() const;
    std::vector<double> DnValues(double Kvs) const;
    // Characteristic codes of the candidates with that Kvs and DN, in series order, distinct.
    std::vector<int> Characteristics(double Kvs, double dn) const;
    // The one candidate with that Kvs, DN and characteristic; none when not exactly one.
    std::optional<std::size_t> Select(double Kvs, double dn, int characteristic) const;

    // The dialog's texts: text 63950 first, then the values as number texts.
    static std::vector<std::string> ListTexts(const std::vector<double>& values);

    const std::vector<std::size_t>& offered() const { return offered_; }

private:
    const std::vector<SeriesValve>& valves_;
    std::vector<std::size_t> offered_;
};

// ---- The catalogue valve dialog ------------------------------------------------------------

// What the catalogue valve dialog shows and returns, list by list: Kvs (text 63950 first), DN
// (the same) and characteristic. A change of one list refills the lists after it; the result is
// the candidate the three lists identify, so a half-made choice returns none.
class CatalogueValveChoice {
public:
    // `selected`: the form's candidate (index into `valves`), -1 for none; `pointKv`: the
    // computed Kv of each point, 0 without a result.
    CatalogueValveChoice(const std::vector<SeriesValve>& valves, int selected, const std::array<double, 3>& pointKv);

    const std::string& kvText() const { return kvText_; }
    std::string sizingKvText() const;
    bool openingFilter() const { return openingFilter_; }
    // Button 3: every candidate of the series, whatever its opening.
    void ShowAll();

    // The entries of lists 1000, 1001, 1002 and their selections (-1: none).
    std::vector<std::string> KvsTexts() const;
    std::vector<std::string> DnTexts() const;
    std::vector<std::string> CharacteristicTexts() const;
    int kvsSelection() const { return kvsSelection_; }
    int dnSelection() const { return dnSelection_; }
    int characteristicSelection() const { return characteristicSelection_; }

    void ChooseKvs(int entry);
    void ChooseDn(int entry);
    void ChooseCharacteristic(int entry);

    // The candidate (index into the series' valves) the lists identify; -1 when not exactly one.
    int Selected() const { return selected_; }

private:
    void Fill();

    const std::vector<SeriesValve>& valves_;
    std::string kvText_;
    double sizingKv_ = 0;
    bool openingFilter_ = true;
    std::optional<CandidateLists> lists_;  // refilled by ShowAll
    std::vector<double> kvs_, dns_;
    std::vector<int> characteristics_;
    int kvsSelection_ = -1, dnSelection_ = -1, characteristicSelection_ = -1;
    int formValve_ = -1;
    int selected_ = -1;
};

}  // namespace tarvik
