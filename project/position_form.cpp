#include "project/position_form.hpp"

#include <chrono>
#include <cmath>

#include "calc/rounding.hpp"
#include "calc/travel.hpp"
#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "project/catalogue_valve_from_series.hpp"
#include "project/language_texts.hpp"
#include "units/conversions.hpp"
#include "units/unit_lists.hpp"

namespace tarvik {
namespace {

constexpr std::array<RowLayout, kFormRows> kLiquidRows{{{2, kListFlow, 0},
                                                        {4, kListPressure, 0},
                                                        {5, kListPressure, 0},
                                                        {10, kListTemperature, 0},
                                                        {28, kListViscosity, 0},
                                                        {14, kListPressure, 2},
                                                        {15, kListPressure, 1},
                                                        {12, kListDensity, 0},
                                                        {22, kListVelocity, 0},
                                                        {7, kListNone, 0},
                                                        {21, kListNone, 0},
                                                        {23, kListNone, 0}}};
constexpr std::array<RowLayout, kFormRows> kGasRows{{{2, kListFlow, 0},
                                                     {4, kListPressure, 0},
                                                     {5, kListPressure, 0},
                                                     {10, kListTemperature, 0},
                                                     {28, kListViscosity, 0},
                                                     {12, kListDensity, 0},
                                                     {8, kListMolarMass, 0},
                                                     {9, kListNone, 0},
                                                     {11, kListNone, 0},
                                                     {7, kListNone, 0},
                                                     {21, kListNone, 0},
                                                     {6, kListNone, 0}}};

constexpr int kSpeedOfSoundSlot = 22;

bool LiquidState(int state) { return state < 2; }

std::string Preselect(const RowLayout& row, const std::vector<std::string>& names, const ProjectDocument& doc,
                      const ValvePosition* position) {
    auto has = [&](const std::string& n) {
        for (const auto& x : names)
            if (x == n) return true;
        return false;
    };
    std::string want;
    if (position) {
        const std::string& stored = position->units[static_cast<std::size_t>(row.slot)];
        if (!stored.empty())
            want = stored;
        else if (row.unitKind == kListTemperature)
            want = doc.defaultTemperatureUnit;
        else if (row.unitKind == kListPressure)
            want = doc.defaultPressureUnit;
        else if (row.unitKind == kListFlow)
            want = doc.defaultFlowUnit;
    }
    if (!want.empty() && has(want)) return want;
    return static_cast<std::size_t>(row.fallback) < names.size() ? names[static_cast<std::size_t>(row.fallback)] : "";
}

// Pressures and temperatures of the maximum values are compared in the row's unit.
double ConvertMaximum(double value, const std::string& from, const std::string& to, bool pressure) {
    if (from.empty() || to.empty() || from == to) return value;
    const double v = pressure ? PressureFromInternal(to, PressureToInternal(from, value))
                              : TemperatureConvert(from, value, to);
    return std::isfinite(v) ? RoundValue(v, -1, 12) : value;
}

}  // namespace

// ---- NumberField -----------------------------------------------------------------------------

void NumberField::Set(double value) {
    value_ = std::isfinite(value) ? value : 0;
    text_ = shown_ = FormatNumber(value_, 0);
}

double NumberField::Read() {
    NormaliseDecimalSeparators(text_);
    std::string shown = shown_;
    NormaliseDecimalSeparators(shown);
    if (text_ != shown) {
        value_ = ParseNumber(text_);
        shown_ = text_;
    }
    return value_;
}

// ---- Layout ----------------------------------------------------------------------------------

const std::array<RowLayout, kFormRows>& RowsFor(int mediumState) {
    return LiquidState(mediumState) ? kLiquidRows : kGasRows;
}

std::string RowIdListFor(int mediumState) {
    std::string list;
    for (const RowLayout& r : RowsFor(mediumState)) list += std::to_string(r.slot) + ";";
    return list;
}

std::vector<int> ParseRowIdList(const std::string& rowIdList) {
    std::vector<int> slots;
    std::size_t start = 0;
    while (start < rowIdList.size()) {
        std::size_t end = rowIdList.find(';', start);
        if (end == std::string::npos) end = rowIdList.size();
        const std::string piece = rowIdList.substr(start, end - start);
        bool digits = !piece.empty() && piece.size() < 4;
        for (char c : piece) digits = digits && c >= '0' && c <= '9';
        if (digits) {
            const int s = std::stoi(piece);
            if (s < kSlotCount) slots.push_back(s);
        }
        start = end + 1;
    }
    return slots;
}

std::string RowLabelText(int number) {
    std::string text = GetText(number);
    while (text.size() <= 99) text += " .";
    return text;
}

MediumControls MediumControlsFor(int mediumState) {
    MediumControls c;
    c.mediumFieldsShown = mediumState == 1 || mediumState == 3;
    c.propertiesButtonText = mediumState == 0 ? 63054 : mediumState == 2 ? 63055 : 63053;
    return c;
}

int ResultControlId(ResultField field, int point) {
    if (point < 0 || point > 2) return 0;
    static const int kv[] = {1078, 1081, 1093};
    static const int velocity[] = {1123, 1129, 1130};
    static const int noise[] = {1142, 1169, 1173};
    const auto i = static_cast<std::size_t>(point);
    switch (field) {
        case ResultField::Kv: return kv[i];
        case ResultField::Velocity: return velocity[i];
        case ResultField::Noise: return noise[i];
        case ResultField::None: break;
    }
    return 0;
}

ControlFlagList ControlFlagsOf(const ResultMarks& marks) {
    ControlFlagList flags;
    for (const ResultMark& m : marks)
        if (const int id = ResultControlId(m.field, m.point); id != 0) flags += ";" + std::to_string(id) + ";";
    return flags;
}

// ---- PositionForm ----------------------------------------------------------------------------

PositionForm::PositionForm(FormContext context) : context_(std::move(context)) {}

std::uint32_t PositionForm::Now() const {
    if (context_.now) return context_.now();
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(s);
}

double PositionForm::Value(int row, int point) {
    return grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)].Read();
}

double PositionForm::Field(int valveDataIndex) {
    for (std::size_t f = 0; f < kPositionFieldData.size(); ++f)
        if (kPositionFieldData[f] == valveDataIndex) return positionValues[valveDataIndex] = fields[f].Read();
    return positionValues[static_cast<std::size_t>(valveDataIndex)];
}

void PositionForm::SetField(int valveDataIndex, double v) {
    if (!std::isfinite(v)) v = 0;
    positionValues[static_cast<std::size_t>(valveDataIndex)] = v;
    for (std::size_t f = 0; f < kPositionFieldData.size(); ++f)
        if (kPositionFieldData[f] == valveDataIndex) fields[f].Set(v);
}

void PositionForm::Clear() {
    for (auto& row : grid)
        for (auto& cell : row) cell.Set(0);
    for (auto& f : fields) f.Set(0);
    positionValues = {};
    results = {};
    rowUnits = {};
    name.clear();
    note.clear();
    mediumText.clear();
    characteristicText.clear();
    designationText = "...";
    seriesQualifier.clear();
    rowIdList.clear();
    pipeTexts = {};
    maxPressureUnit.clear();
    maxTemperatureUnit.clear();
    mediumState = -1;
    gaugePressures = manualCoefficients = manualValve = false;
    pointEnabled = {true, false, false};
    selectedMedium.reset();
    series.reset();
    seriesFlag = 0;
    seriesValue.clear();
    selectedCandidate = -1;
    controlFlags.clear();
    positionButtonsEnabled = false;
    for (auto& r : rows) r = RowState{};
}

void PositionForm::ApplyEnabling() {
    const bool liquid = LiquidState(mediumState);
    const bool fixedMedium = mediumState == 0 || mediumState == 2;  // water, steam
    for (int r = 0; r < kFormRows; ++r) {
        RowState& row = rows[static_cast<std::size_t>(r)];
        for (int i = 0; i < kPointCount; ++i) {
            bool on = pointEnabled[static_cast<std::size_t>(i)] && mediumState >= 0;
            if (fixedMedium && r >= 4 && r <= 8) on = false;  // the steam tables give these
            if (r >= 9) on = on && context_.admin && manualCoefficients;
            row.editEnabled[static_cast<std::size_t>(i)] = on;
        }
        row.unitShown = true;
        row.unitEnabled = mediumState >= 0;
        if (liquid) {
            if (mediumState == 0 && r >= 4 && r <= 7) row.unitEnabled = false;
            if (r == 8) row.unitEnabled = false;
            if (r >= 9) row.unitEnabled = row.unitShown = false;
        } else {
            if (mediumState == 2 && r >= 4 && r <= 6) row.unitEnabled = false;
            if (r >= 7) row.unitEnabled = row.unitShown = false;
        }
        if (row.unitNames.empty()) row.unitEnabled = false;
    }
}

void PositionForm::SetUpRows(const ProjectDocument& doc, const ValvePosition* position) {
    controlFlags.clear();
    rowIdList.clear();
    const auto& layout = RowsFor(mediumState);
    for (int r = 0; r < kFormRows; ++r) {
        const RowLayout& l = layout[static_cast<std::size_t>(r)];
        RowState& row = rows[static_cast<std::size_t>(r)];
        row.slot = l.slot;
        int labelSlot = l.slot;
        if (gaugePressures && r == 1) labelSlot = 30;
        if (gaugePressures && r == 2) labelSlot = 31;
        row.labelNumber = kLabelBase + labelSlot;
        row.unitNames = FillUnitList(l.unitKind, mediumState).names;
        rowUnits[static_cast<std::size_t>(r)] = Preselect(l, row.unitNames, doc, position);
        if (position)
            for (int i = 0; i < kPointCount; ++i)
                if (pointEnabled[static_cast<std::size_t>(i)])
                    grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(i)].Set(
                        position->values[static_cast<std::size_t>(l.slot)][static_cast<std::size_t>(i)]);
        rowIdList += std::to_string(l.slot) + ";";
    }
    ApplyEnabling();
    const bool liquid = LiquidState(mediumState);
    resultLabels = {kLabelBase + 0, kLabelBase + 27, kLabelBase + 25, kLabelBase + (liquid ? 26 : 29),
                    kLabelBase + 24, kLabelBase + 16};
    resultUnits = {"m3/h", "%", "-", liquid ? "m/s" : "-", "dB(A)", "dB(A)"};
    mediumText.clear();
}

void PositionForm::ChangeMediumState(const ProjectDocument& doc, int state) {
    mediumState = state >= 0 && state <= 3 ? state : -1;
    if (!MediumControlsFor(mediumState).mediumFieldsShown) selectedMedium.reset();
    const ValvePosition* p = doc.currentPosition >= 0 && doc.currentPosition < static_cast<int>(doc.positions.size())
                                 ? &doc.positions[static_cast<std::size_t>(doc.currentPosition)] : nullptr;
    SetUpRows(doc, p);
}

bool PositionForm::ShowPosition(ProjectDocument& doc, int index) {
    if (index < 0 || index >= static_cast<int>(doc.positions.size())) return false;
    ValvePosition& p = doc.positions[static_cast<std::size_t>(index)];
    results = {};
    designationText = "...";
    selectedCandidate = -1;
    series.reset();
    seriesFlag = 0;
    seriesValue = p.seriesValue;

    name = p.name;
    note = p.note;
    mediumState = p.mediumState >= 0 && p.mediumState <= 3 ? p.mediumState : 0;
    pipeTexts = p.pipeTexts;
    gaugePressures = p.gaugePressures != 0;
    for (int i = 0; i < kPointCount; ++i) pointEnabled[static_cast<std::size_t>(i)] = p.pointEnabled[static_cast<std::size_t>(i)] != 0;
    manualCoefficients = p.manualCoefficients != 0;
    manualValve = p.manualValve != 0;
    maxPressureUnit = p.maxPressureUnit;
    maxTemperatureUnit = p.maxTemperatureUnit;
    for (int k = 0; k < kValveDataCount; ++k) SetField(k, p.valveData[static_cast<std::size_t>(k)]);
    seriesQualifier = p.seriesQualifier;
    doc.currentPosition = index;
    positionButtonsEnabled = true;
    if (mediumState == 0 || mediumState == 2) selectedMedium.reset();

    // Messages of the series selection are shown; the position is shown regardless.
    if (!p.designation.empty())
        SelectSeries(p.designation, p.designationSelector, p.selectedCharacteristic, p.selectedDn, p.selectedKvs);
    SetUpRows(doc, &p);

    characteristicText = CharacteristicText(p.characteristic);
    if (mediumState == 1 || mediumState == 3) mediumText = p.mediumName + "[" + p.mediumTag + "]";
    return true;
}

FormCheck PositionForm::StorePosition(ProjectDocument& doc) {
    ValvePosition* p = doc.Current();
    if (!p) {
        ShowMessage(63013);
        return {63013, -1, InputField::None};
    }
    for (int i = 0; i < kPointCount; ++i) p->pointEnabled[static_cast<std::size_t>(i)] = pointEnabled[static_cast<std::size_t>(i)] ? 1 : 0;
    p->name = name;
    p->note = note;
    p->mediumState = mediumState;
    p->rowIdList = rowIdList;
    p->pipeTexts = pipeTexts;

    const std::vector<int> slots = ParseRowIdList(rowIdList);
    for (std::size_t r = 0; r < slots.size() && r < kFormRows; ++r) {
        const auto s = static_cast<std::size_t>(slots[r]);
        for (int i = 0; i < kPointCount; ++i)
            if (pointEnabled[static_cast<std::size_t>(i)]) p->values[s][static_cast<std::size_t>(i)] = Value(static_cast<int>(r), i);
        p->units[s] = rowUnits[r];
    }
    p->units[kSpeedOfSoundSlot] = "m/s";

    if (mediumState == 1 || mediumState == 3) {
        const std::size_t open = mediumText.find('[');
        if (open == std::string::npos) {
            p->mediumName = p->mediumTag = mediumText;
        } else {
            std::string n = mediumText.substr(0, open);
            while (!n.empty() && n.back() == '_') n.pop_back();
            p->mediumName = n;
            const std::size_t close = mediumText.find(']', open + 1);
            p->mediumTag = mediumText.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        }
    }
    if (series) {
        p->designation = designationText;
        p->seriesQualifier = seriesQualifier;
    }

    for (int k = 0; k < kValveDataCount; ++k) Field(k);
    // The maxima are raised to the largest inlet values, compared in the row's unit.
    const std::string& pUnit = rowUnits[kRowP1];
    const std::string& tUnit = rowUnits[kRowT1];
    positionValues[kVdMaxPressure] = ConvertMaximum(positionValues[kVdMaxPressure], maxPressureUnit, pUnit, true);
    positionValues[kVdMaxTemperature] = ConvertMaximum(positionValues[kVdMaxTemperature], maxTemperatureUnit, tUnit, false);
    for (int i = 0; i < kPointCount; ++i) {
        if (!pointEnabled[static_cast<std::size_t>(i)]) continue;
        positionValues[kVdMaxPressure] = std::max(positionValues[kVdMaxPressure], Value(kRowP1, i));
        positionValues[kVdMaxTemperature] = std::max(positionValues[kVdMaxTemperature], Value(kRowT1, i));
    }
    maxPressureUnit = pUnit;
    maxTemperatureUnit = tUnit;
    p->maxPressureUnit = maxPressureUnit;
    p->maxTemperatureUnit = maxTemperatureUnit;

    p->valveData = positionValues;
    const int code = CharacteristicCode(characteristicText);
    if (code >= 0) p->characteristic = code;  // a text the language lacks changes nothing
    p->manualCoefficients = manualCoefficients ? 1 : 0;
    p->seriesFlag = series ? seriesFlag : 0;
    if (const SeriesValve* c = Candidate()) {
        p->selectedKvs = c->Kvs;
        p->selectedDn = c->dn;
        p->selectedCharacteristic = c->characteristic;
    }
    p->savedAt = Now();
    p->manualValve = manualValve ? 1 : 0;
    return {};
}

const SeriesValve* PositionForm::Candidate() const {
    if (!series || selectedCandidate < 0 || selectedCandidate >= static_cast<int>(series->valves.size())) return nullptr;
    return &series->valves[static_cast<std::size_t>(selectedCandidate)];
}

std::optional<CatalogueValve> PositionForm::SelectedValve() const {
    const SeriesValve* c = Candidate();
    if (!c) return std::nullopt;
    return ToCatalogueValve(*c, *series);
}

FormCheck PositionForm::SelectSeries(const std::string& designation, const std::string& selector, int characteristic,
                                     double dn, double Kvs) {
    if (designation.empty()) return {};
    const std::filesystem::path* file = nullptr;
    if (context_.seriesTable) {
        const auto entry = FindSeriesEntry(*context_.seriesTable, designation, selector);
        if (entry != context_.seriesTable->end()) file = &entry->second;
    }
    if (!file || file->empty()) {
        ShowMessage(63021, designation);
        return {63021, -1, InputField::None};
    }
    designationText = designation;
    ValveSeries loaded;
    selectedCandidate = -1;
    auto* cache = context_.seriesCache;
    const ValveSeries* hit = nullptr;
    if (cache) {
        const auto it = cache->find(*file);
        if (it != cache->end()) hit = &it->second;
    }
    if (hit) {
        series = *hit;
        seriesFlag = series->hasDrawing() ? 1 : 0;
    } else if (LoadValveSeries(*file, loaded)) {
        if (cache) cache->emplace(*file, loaded);
        series = std::move(loaded);
        seriesFlag = series->hasDrawing() ? 1 : 0;
    } else {
        series.reset();
        seriesFlag = 0;
    }
    if (Kvs != 0 && series) {
        for (std::size_t i = 0; i < series->valves.size(); ++i) {
            const SeriesValve& v = series->valves[i];
            if (v.dn == dn && v.Kvs == Kvs && v.characteristic == characteristic) {
                selectedCandidate = static_cast<int>(i);
                return {};
            }
        }
        const std::string arg = CharacteristicText(characteristic) + ", DN " + FormatNumber(dn, 0) + ", Kvs " +
                                FormatNumber(Kvs, 0);
        ShowMessage(63062, arg);
        return {63062, -1, InputField::None};
    }
    return {};
}

// ---- Process data ----------------------------------------------------------------------------

ProcessData PositionForm::ReadProcessData(const ProjectDocument& doc) {
    ProcessData d;
    d.medium = static_cast<MediumState>(mediumState >= 0 && mediumState <= 3 ? mediumState : 0);
    for (int i = 0; i < kPointCount; ++i) {
        OperatingPoint& pt = d.points[static_cast<std::size_t>(i)];
        pt.enabled = pointEnabled[static_cast<std::size_t>(i)];
        for (int r = 0; r < kFormRows; ++r) pt[r] = Value(r, i);
    }
    d.results = results;
    for (int u = 0; u < kUnitSlots; ++u) d.units[static_cast<std::size_t>(u)] = rowUnits[static_cast<std::size_t>(u)];
    d.Kvs = Field(kVdKvs);
    d.d = Field(kVdInletSize);
    d.D = Field(kVdOutletSize);
    d.pipes.inletOD = Field(kVdInletPipeOD);
    d.pipes.outletOD = Field(kVdOutletPipeOD);
    d.pipes.inletWall = Field(kVdInletPipeWall);
    d.pipes.outletWall = Field(kVdOutletPipeWall);
    d.rw = positionValues[kVdNoise1];
    d.FLn = positionValues[kVdNoise2];
    d.dLi = positionValues[kVdNoise3];
    Field(kVdField1141);
    d.characteristic = CharacteristicFromCode(CharacteristicCode(characteristicText));
    d.gaugePressures = gaugePressures;
    d.manualCoefficients = manualCoefficients;
    d.valve = SelectedValve();
    d.atmosphericPressure = doc.atmosphericPressure;
    return d;
}

void PositionForm::TakeProcessData(const ProcessData& data) {
    for (int i = 0; i < kPointCount; ++i)
        for (int r = 0; r < kFormRows; ++r) {
            NumberField& cell = grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(i)];
            const double v = data.points[static_cast<std::size_t>(i)][r];
            if (v != cell.value()) cell.Set(v);
        }
    results = data.results;
}

CalculateResult PositionForm::Calculate(ProjectDocument& doc, const CalculateOptions& options) {
    CalculateResult out;
    // Without a position nothing is calculated: the results would have nowhere to go.
    if (!doc.Current()) {
        ShowMessage(63013);
        out.check = {63013, -1, InputField::None};
        return out;
    }
    ProcessData data = ReadProcessData(doc);
    doc.modified = true;

    FormCheck stored;
    RunOptions run;
    run.askNegativeP2 = options.askNegativeP2;
    run.logPath = options.logPath;
    run.log = options.log;
    run.admin = context_.admin;
    run.onValidated = [&] {
        TakeProcessData(data);
        stored = StorePosition(doc);
    };
    RunOutcome outcome = RunInCurrentLanguage(data, run);
    TakeProcessData(data);
    if (outcome.computed) controlFlags = ControlFlagsOf(outcome.marks);
    if (!outcome.validation.ok()) {
        const Validation& v = outcome.validation;
        ShowMessage(v.message);
        out.check = v;
        return out;
    }
    if (!stored.ok()) {
        out.check = stored;
        return out;
    }
    ValvePosition* p = doc.Current();
    out.computed = outcome.computed;
    if (outcome.computed) {
        StoreItemText(55, p->specItems, nullptr, "");
        StoreItemText(57, p->specItems, nullptr, "");
        StorePosition(doc);
        for (int i = 0; i < kPointCount; ++i) {
            const auto pi = static_cast<std::size_t>(i);
            const SizingResult& r = results[pi];
            auto& t = p->resultTexts;
            const bool on = pointEnabled[pi];
            t[kResKv][pi] = on ? FormatNumber(r.Kv, 0) : "";
            t[kResOpening][pi] = on ? FormatNumber(r.opening, 0) : "";
            t[kResRegime][pi] = on ? FlowRegimeText(r.regime, CurrentLanguageTexts()) : "";
            t[kResVelocity][pi] = on ? FormatNumber(r.velocity, 0) : "";
            t[kResDLi][pi] = on ? FormatNumber(r.dLi, 0) : "";
            t[kResNoise][pi] = on ? FormatNumber(r.noise, 0) : "";
        }
        p->savedAt = Now();
    }
    out.summary = outcome.summary;
    out.controlFlags = controlFlags;
    out.logWritten = outcome.logWritten;
    out.results = results;
    return out;
}

CalculateResult CalculatePosition(ProjectDocument& doc, int positionIndex, const FormContext& context,
                                  const CalculateOptions& options) {
    PositionForm form(context);
    if (!form.ShowPosition(doc, positionIndex)) {
        ShowMessage(63013);
        CalculateResult out;
        out.check = {63013, -1, InputField::None};
        return out;
    }
    return form.Calculate(doc, options);
}

}  // namespace tarvik
