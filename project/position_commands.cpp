#include "project/position_commands.hpp"

#include <cmath>

#include "calc/rounding.hpp"
#include "calc/steam_tables.hpp"
#include "calc/travel.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "project/medium_properties.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

constexpr double kSteamMolarMass = 18.016;
constexpr double kDefaultGama = 1.3;
constexpr double kDefaultNinthCoefficient = 0.5;

double Round5(double x) { return RoundValue(x, -1, 5); }

double ReadNumber(std::string text) {
    NormaliseDecimalSeparators(text);
    return ParseNumber(text);
}

DialogCheck Refuse(int message, DialogField field) {
    ShowMessage(message);
    return {message, field};
}

FormCheck Refuse(int message, int point, InputField field) {
    ShowMessage(message);
    return {message, point, field};
}

void MarkModified(ProjectDocument& doc) { doc.modified = true; }

// The dialog's own fields of a position.
void WriteDialogValues(ValvePosition& p, const PositionDialogValues& v) {
    p.name = v.name;
    p.note = v.note;
    p.mediumState = v.mediumState;
    p.gaugePressures = v.gaugePressures ? 1 : 0;
    p.pieces = v.pieces;
    p.valveData[kVdMaxPressure] = ReadNumber(v.maxPressure);
    p.valveData[kVdMaxTemperature] = ReadNumber(v.maxTemperature);
    p.maxPressureUnit = v.maxPressureUnit;
    p.maxTemperatureUnit = v.maxTemperatureUnit;
}

// A density written into the density row: normal density when the row's unit says so.
double DensityInRowUnit(double rho, const std::string& unit, double T, double p) {
    if (unit != "kg/Nm3" || rho <= 0) return rho;
    const double rhoN = OperatingToNormalDensity(T, p, rho);
    return std::isfinite(rhoN) ? rhoN : 0;
}

}  // namespace

// ---- Position dialog -------------------------------------------------------------------------

PositionDialogValues NewPositionDialogValues(const ProjectDocument& doc) {
    PositionDialogValues v;
    v.maxPressureUnit = doc.defaultPressureUnit;
    v.maxTemperatureUnit = doc.defaultTemperatureUnit;
    return v;
}

PositionDialogValues PositionDialogValuesOf(const ValvePosition& p) {
    PositionDialogValues v;
    v.name = p.name;
    v.note = p.note;
    v.mediumState = p.mediumState;
    v.gaugePressures = p.gaugePressures != 0;
    v.maxPressure = FormatNumber(p.valveData[kVdMaxPressure], 0);
    v.maxPressureUnit = p.maxPressureUnit;
    v.maxTemperature = FormatNumber(p.valveData[kVdMaxTemperature], 0);
    v.maxTemperatureUnit = p.maxTemperatureUnit;
    v.pieces = p.pieces;
    return v;
}

DialogCheck CheckPositionDialog(const ProjectDocument& doc, PositionDialogMode mode, const PositionDialogValues& v) {
    if (v.name.empty()) return Refuse(63036, DialogField::Name);
    if (v.mediumState < 0 || v.mediumState > 3) return Refuse(63037, DialogField::MediumState);
    auto taken = [&](const ValvePosition* except) {
        for (const ValvePosition& p : doc.positions)
            if (&p != except && p.name == v.name) return true;
        return false;
    };
    const ValvePosition* current = doc.currentPosition >= 0 && doc.currentPosition < static_cast<int>(doc.positions.size())
                                       ? &doc.positions[static_cast<std::size_t>(doc.currentPosition)] : nullptr;
    switch (mode) {
        case PositionDialogMode::New:
            if (taken(nullptr)) return Refuse(63038, DialogField::Name);
            break;
        case PositionDialogMode::Edit:
            // Keeping the own name is no rename.
            if (current && v.name != current->name && taken(current)) return Refuse(63039, DialogField::Name);
            break;
        case PositionDialogMode::Copy:
            if (taken(nullptr)) return Refuse(63040, DialogField::Name);
            break;
    }
    return {};
}

DialogCheck NewPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v) {
    DialogCheck check = CheckPositionDialog(doc, PositionDialogMode::New, v);
    if (!check.ok()) return check;
    ValvePosition p;
    WriteDialogValues(p, v);
    p.savedAt = form.Now();
    doc.positions.push_back(std::move(p));
    MarkModified(doc);
    const int index = static_cast<int>(doc.positions.size()) - 1;
    form.Clear();
    form.ShowPosition(doc, index);
    return {};
}

DialogCheck EditPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v) {
    if (!doc.Current()) return Refuse(63013, DialogField::None);
    if (form.StorePosition(doc).message) return {63013, DialogField::None};
    DialogCheck check = CheckPositionDialog(doc, PositionDialogMode::Edit, v);
    if (!check.ok()) return check;
    ValvePosition& p = *doc.Current();
    WriteDialogValues(p, v);
    MarkModified(doc);
    // The form takes the dialog's values; everything else it holds stays as it is.
    form.name = p.name;
    form.note = p.note;
    form.gaugePressures = p.gaugePressures != 0;
    form.SetField(kVdMaxPressure, p.valveData[kVdMaxPressure]);
    form.SetField(kVdMaxTemperature, p.valveData[kVdMaxTemperature]);
    form.maxPressureUnit = p.maxPressureUnit;
    form.maxTemperatureUnit = p.maxTemperatureUnit;
    form.ChangeMediumState(doc, p.mediumState);
    if (!p.designation.empty()) {
        const int code = CharacteristicCode(form.characteristicText);
        form.SelectSeries(p.designation, p.designationSelector, code < 0 ? 0 : code, form.Field(kVdInletSize),
                          form.Field(kVdKvs));
    }
    return {};
}

DialogCheck CopyPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v) {
    if (!doc.Current()) return Refuse(63013, DialogField::None);
    if (form.StorePosition(doc).message) return {63013, DialogField::None};
    DialogCheck check = CheckPositionDialog(doc, PositionDialogMode::Copy, v);
    if (!check.ok()) return check;
    ValvePosition copy = *doc.Current();
    // What the copy does not take over: results, the specification dialog's pairs, the menu
    // switch and the stored-only fields.
    copy.resultTexts = {};
    copy.specPairs.clear();
    copy.manualValve = 0;
    copy.auxText.clear();
    copy.auxInt = 0;
    copy.printSelected = 0;
    for (SpecItem& item : copy.specItems) item.typeCode.clear();
    WriteDialogValues(copy, v);
    SetKeyValue("kks", v.name, copy.titleBlock, true);
    copy.savedAt = form.Now();
    doc.positions.push_back(std::move(copy));
    MarkModified(doc);
    form.ShowPosition(doc, static_cast<int>(doc.positions.size()) - 1);
    return {};
}

bool DeletePosition(PositionForm& form, ProjectDocument& doc, const std::function<bool(const std::string&)>& confirm) {
    ValvePosition* p = doc.Current();
    if (!p) return false;
    if (!confirm || !confirm(FormatText(63034, p->name))) return false;
    doc.positions.erase(doc.positions.begin() + doc.currentPosition);
    doc.currentPosition = -1;
    MarkModified(doc);
    form.Clear();
    form.SetUpRows(doc, nullptr);
    return true;
}

// ---- Operating points ------------------------------------------------------------------------

void SetPointEnabled(PositionForm& form, int point, bool enabled) {
    if (point < 0 || point >= kPointCount) return;
    form.pointEnabled[static_cast<std::size_t>(point)] = enabled;
    form.results[static_cast<std::size_t>(point)] = SizingResult{};
    form.ApplyEnabling();
}

void ClearPoint(PositionForm& form, int point) {
    if (point < 0 || point >= kPointCount) return;
    for (int r = 0; r < kFormRows; ++r) form.SetValue(r, point, 0);
}

void CopyPoint(PositionForm& form, int from) {
    if (from < 0 || from + 1 >= kPointCount) return;
    for (int r = 0; r < kFormRows; ++r) form.SetValue(r, from + 1, form.Value(r, from));
    form.pointEnabled[static_cast<std::size_t>(from + 1)] = true;
    form.ApplyEnabling();
}

// ---- Medium ----------------------------------------------------------------------------------

FormCheck ApplyMediumProperties(PositionForm& form, ProjectDocument& doc, const NegativeP2Question& ask) {
    MarkModified(doc);
    const int state = form.mediumState;
    if (state < 0) return {};
    const auto& u = form.rowUnits;
    const bool gauge = form.gaugePressures;
    const SeriesValve* candidate = form.Candidate();
    const bool onOff = candidate && candidate->characteristic == kCharOnOff;

    // Checks, point by point; the first failure ends the command.
    for (int i = 0; i < kPointCount; ++i) {
        if (!form.pointEnabled[static_cast<std::size_t>(i)]) continue;
        if (form.Value(kRowQ, i) <= 0) return Refuse(63107, i, InputField::Q);
        double p1 = PressureToInternal(u[kRowP1], form.Value(kRowP1, i));
        double p2 = PressureToInternal(u[kRowP2], form.Value(kRowP2, i));
        if (p2 < 0 && p1 > 0) {
            bool drop = true;
            if (gauge && p2 >= -0.1 && ask) drop = ask(i);
            if (drop) {
                p2 = p1 + p2;
                form.SetValue(kRowP2, i, Round5(PressureFromInternal(u[kRowP2], p2)));
            }
        }
        const double pAbs = GaugeToAbsolute(p1, gauge);
        if (state == 1 && !onOff && pAbs < PressureToInternal(u[kRowFifth], form.Value(kRowFifth, i)))
            return Refuse(63014, i, InputField::p1);
        if (!gauge && !onOff && (p2 >= p1 || p2 <= 0 || p1 <= 0)) return Refuse(63015, i, InputField::p2);
        const double T1 = form.Value(kRowT1, i);
        if (T1 > 0 && (state == 0 || state == 2)) {
            const double Tsat = TemperatureConvert("°K", BoundaryTemperature(pAbs), "°C");
            const double T1C = TemperatureConvert(u[kRowT1], T1, "°C");
            if (state == 2 && Tsat - 0.0001 > T1C) return Refuse(63016, i, InputField::T1);
            if (state == 0 && Tsat + 0.0001 < T1C) return Refuse(63017, i, InputField::T1);
        }
    }

    for (int i = 0; i < kPointCount; ++i) {
        if (!form.pointEnabled[static_cast<std::size_t>(i)]) continue;
        const double p = GaugeToAbsolute(PressureToInternal(u[kRowP1], form.Value(kRowP1, i)), gauge);
        // Water and steam: a temperature of exactly 0 °C means saturation.
        if ((state == 0 || state == 2) && TemperatureConvert(u[kRowT1], form.Value(kRowT1, i), "°C") == 0)
            form.SetValue(kRowT1, i, TemperatureConvert("°K", BoundaryTemperature(p), u[kRowT1]));
        const double T = TemperatureConvert(u[kRowT1], form.Value(kRowT1, i), "°K");
        MediumPoint point{form.Value(kRowP1, i), u[kRowP1], form.Value(kRowT1, i), u[kRowT1], u[kRowFifth], u[kRowSixth],
                          u[kRowNy]};

        if (state == 0) {
            const double rho = LiquidDensity(T, p);
            form.SetValue(kRowSeventh, i, Round5(rho));
            form.SetValue(kRowFifth, i, Round5(PressureFromInternal(u[kRowFifth], BoundaryPressure(T))));
            form.SetValue(kRowSixth, i, Round5(PressureFromInternal(u[kRowSixth], kWaterCriticalPressureForForm)));
            form.SetValue(kRowEighth, i, RoundValue(LiquidSoundSpeed(T, p, rho), 3, -1));
            // Without a density (outside the steam tables) the viscosity cannot be converted.
            if (rho > 0)
                form.SetValue(kRowNy, i, Round5(ViscosityFromInternal(
                                             u[kRowNy], ViscosityToInternal("Pa.s", WaterViscosity(T, p, rho), rho), rho)));
        } else if (state == 2) {
            const double rho = VapourDensity(T, p);
            form.SetValue(kRowFifth, i, Round5(DensityInRowUnit(rho, u[kRowFifth], T, p)));
            form.SetValue(kRowEighth, i, kDefaultGama);
            form.SetValue(kRowSixth, i, kSteamMolarMass);
            if (rho > 0)
                form.SetValue(kRowNy, i, Round5(ViscosityFromInternal(
                                             u[kRowNy], ViscosityToInternal("Pa.s", WaterViscosity(T, p, rho), rho), rho)));
        } else if (form.selectedMedium) {
            const auto values = ApplyMedium(*form.selectedMedium, state, point, gauge);
            if (values) {
                auto put = [&](int row, const std::optional<double>& v) {
                    if (v) form.SetValue(row, i, *v);
                };
                put(kRowNy, values->viscosity);
                if (state == 1) {
                    put(kRowFifth, values->vapourPressure);
                    put(kRowSixth, values->criticalPressure);
                    put(kRowSeventh, values->density);
                    put(kRowEighth, values->soundSpeed);
                } else {
                    if (values->density) form.SetValue(kRowFifth, i, Round5(DensityInRowUnit(*values->density, u[kRowFifth], T, p)));
                    put(kRowSixth, values->molarMass);
                    put(kRowSeventh, values->compressibility);
                    put(kRowEighth, values->kappa);
                }
            }
        } else if (state == 3) {
            GasPointProperties props{form.Value(kRowFifth, i), u[kRowFifth], form.Value(kRowSixth, i)};
            props = CompleteGasProperties(props, point, gauge);
            form.SetValue(kRowFifth, i, props.density);
            form.SetValue(kRowSixth, i, props.molarMass);
        }
        if (state <= 1 && !candidate && form.Value(kRowNinth, i) == 0) form.SetValue(kRowNinth, i, kDefaultNinthCoefficient);
    }
    return {};
}

FormCheck ChooseMedium(PositionForm& form, ProjectDocument& doc, const Medium& medium, const NegativeP2Question& ask) {
    form.selectedMedium = medium;
    form.mediumText = MediumDisplayText(medium);
    return ApplyMediumProperties(form, doc, ask);
}

void ClearMedium(PositionForm& form) {
    form.selectedMedium.reset();
    form.mediumText.clear();
}

// ---- Valve series, catalogue valve, pipes ----------------------------------------------------

FormCheck ChooseSeries(PositionForm& form, ProjectDocument& doc, const std::string& chosen) {
    ValvePosition* p = doc.Current();
    if (!p) return Refuse(63013, -1, InputField::None);
    const std::size_t open = chosen.find('(');
    std::string designation = chosen.substr(0, open);
    // The dialog's text is "designation (qualifier)": the blank before "(" is no part of it.
    while (!designation.empty() && designation.back() == ' ') designation.pop_back();
    std::string qualifier;
    if (open != std::string::npos) {
        qualifier = chosen.substr(open + 1);
        if (!qualifier.empty()) qualifier.pop_back();
    }
    if (designation != p->designation) {
        p->specItems.clear();
        p->titleBlock.pairs.clear();
        p->specPairs.clear();
    }
    p->designationSelector = form.context().companyIndex.empty() ? "0" : form.context().companyIndex;
    p->designation = designation;
    p->seriesFlag = 0;
    p->seriesValue.clear();
    if (const SeriesTable* table = form.context().seriesTable) {
        const auto entry = FindSeriesEntry(*table, designation, p->designationSelector);
        if (entry != table->end()) {
            p->seriesFlag = 1;
            p->seriesValue = entry->second.string();
        }
    }
    form.seriesValue = p->seriesValue;
    MarkModified(doc);
    const int characteristic = CharacteristicCode(form.characteristicText);
    FormCheck check = form.SelectSeries(designation, p->designationSelector, characteristic < 0 ? 0 : characteristic,
                                        form.Field(kVdInletSize), form.Field(kVdKvs));
    form.seriesQualifier = qualifier;
    return check;
}

std::string JoinedSeriesTexts(const ValveSeries& series) {
    std::string joined;
    for (const auto& entry : series.textList) {
        std::string piece;
        for (char c : entry[0]) {
            piece += c;
            if (c == ';') piece += '-';
        }
        if (!piece.empty()) piece.pop_back();
        joined += piece;
    }
    for (std::size_t at = joined.find(";;"); at != std::string::npos; at = joined.find(";;", at))
        joined.erase(at, 1);
    return joined;
}

std::array<double, kPointCount> ComputedKv(const PositionForm& form) {
    std::array<double, kPointCount> kv{};
    for (std::size_t i = 0; i < kv.size(); ++i) {
        const SizingResult& r = form.results[i];
        if (form.pointEnabled[i] && r.computed && std::isfinite(r.Kv) && r.Kv > 0) kv[i] = r.Kv;
    }
    return kv;
}

bool ApplyCatalogueValve(PositionForm& form, ProjectDocument& doc, int index) {
    ValvePosition* p = doc.Current();
    if (!p || !form.series || index < 0 || index >= static_cast<int>(form.series->valves.size())) return false;
    const ValveSeries& series = *form.series;
    const SeriesValve& c = series.valves[static_cast<std::size_t>(index)];
    form.manualCoefficients = false;
    form.SetField(kVdKvs, c.Kvs);
    form.SetField(kVdInletSize, c.dn);
    form.SetField(kVdOutletSize, c.dn);
    if (form.Field(kVdInletPipeOD) == 0 && form.Field(kVdOutletPipeOD) == 0) {
        form.SetField(kVdInletPipeWall, 0);
        form.SetField(kVdOutletPipeWall, 0);
        form.pipeTexts = {};
    }
    form.SetField(kVdNoise1, c.rw);
    form.SetField(kVdNoise2, c.FLn);
    form.SetField(kVdNoise3, c.nyF);
    form.characteristicText = CharacteristicText(c.characteristic);

    const Characteristic ch = CharacteristicFromCode(c.characteristic);
    const bool liquid = form.mediumState < 2;
    auto at = [&](int table, double Kv) {
        return RoundValue(CoefficientAtTravel(c.tables[static_cast<std::size_t>(table)], Kv, c.Kvs,
                                              series.tableFlags[static_cast<std::size_t>(table)] != 0, ch, c.kvTable),
                          3, -1);
    };
    for (int i = 0; i < kPointCount; ++i) {
        if (!form.pointEnabled[static_cast<std::size_t>(i)]) continue;
        const double Kv = form.results[static_cast<std::size_t>(i)].Kv;
        form.SetValue(kRowFl, i, at(kSeriesFL, Kv));
        form.SetValue(kRowFd, i, at(kSeriesFd, Kv));
        form.SetValue(kRowNinth, i, at(liquid ? kSeriesXFz : kSeriesXT, Kv));
    }
    if (index != form.selectedCandidate) p->titleBlock.pairs.clear();
    form.selectedCandidate = index;
    StoreItemText(54, p->specItems, nullptr, FormatNumber(c.item54, 0));
    StoreItemText(108, p->specItems, nullptr, FormatNumber(c.item108, 0));
    StoreItemText(75, p->specItems, nullptr, JoinedSeriesTexts(series));
    form.ApplyEnabling();
    MarkModified(doc);
    return true;
}

void ApplyPipes(PositionForm& form, double inletOD, double outletOD, double inletWall, double outletWall,
                const std::array<std::string, 6>& texts) {
    form.SetField(kVdInletPipeOD, inletOD);
    form.SetField(kVdOutletPipeOD, outletOD);
    form.SetField(kVdInletPipeWall, inletWall);
    form.SetField(kVdOutletPipeWall, outletWall);
    form.pipeTexts = texts;
}

void ToggleManualCoefficients(PositionForm& form) {
    form.manualCoefficients = !form.manualCoefficients;
    form.ApplyEnabling();
}

void ToggleManualValve(PositionForm& form) { form.manualValve = !form.manualValve; }

}  // namespace tarvik
