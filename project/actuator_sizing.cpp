#include "project/actuator_sizing.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "data/type_designation.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

constexpr double kPi = std::numbers::pi;

bool Contains(const std::string& list, const std::string& name) {
    return list.find(";" + name + ";") != std::string::npos;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::vector<std::string> SplitBar(const std::string& s) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t bar = s.find('|', at);
        parts.push_back(s.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
        if (bar == std::string::npos) return parts;
        at = bar + 1;
    }
}

const SpecValueItem* FindValue(const std::vector<SpecValueItem>& values, const std::string& name) {
    for (const SpecValueItem& v : values)
        if (v.name == name) return &v;
    return nullptr;
}

// Packing friction per mm of stem circumference, N/mm.
double PackingFrictionPerMm(const std::string& cls) {
    if (cls == "IV") return 5;
    if (cls == "V") return 32;
    if (cls == "VI") return 8;
    return 0;
}

// Seal friction factor of the balanced plug (type code 3), kN per square root of cm2. IV (PTFE)
// rubs like III; V (graphite) exceeds VI (bellows) as its packing friction does (32 : 8).
double BalancedSealFactor(const std::string& cls) {
    if (cls == "III" || cls == "IV") return 0.18;
    if (cls == "V") return 0.3 * 32 / 8;
    if (cls == "VI") return 0.3;
    return 0;
}

double RowTorque(const SpecCurveRow& row) { return row.points.empty() ? 0 : row.points[0][1]; }

// The torque of a code's table at 10 x dp (bar) for the valve's DN; 0 when the table has none.
double TableTorque(const SpecCurveTable& table, double dn, double dp) {
    const double p = 10 * dp;
    for (const SpecCurveEntry& e : table.entries) {
        if (static_cast<double>(e.key1) != dn) continue;
        double pl = 0, ml = 0;
        for (const SpecCurveRow& row : e.rows) {
            const double pu = row.x, mu = RowTorque(row);
            if (pu < p) {
                pl = pu;
                ml = mu;
                continue;
            }
            if (dn < 350) return mu > 0 ? mu : 0;
            if (p == pu || pl == 0) return mu;
            // Rows walked in file order: pl < p < pu here, so pu - pl > 0.
            return ml + (mu - ml) * (p - pl) / (pu - pl);
        }
        return 0;  // above the table's pressures
    }
    return 0;
}

// Type codes 6 and 11: the rotary plug table.
double PlugTorque(const SpecTable06b& table, double dn, double D, double dp, const std::string& cls) {
    for (const SpecTable06bRecord& r : table.records) {
        if (r.a != dn || r.b != D) continue;
        double c = 0;
        if (cls == "IV" || cls == "VI") {
            if (r.d == cls) c = r.e;
            else if (r.f == cls) c = r.g;
        }
        return c > 0 ? (dp * r.c + c) * 1.2 / 0.75 : 0;
    }
    return 0;
}

std::string WithUnit(double v, bool torque) { return FormatNumber(v, 3) + (torque ? " Nm" : " kN"); }

void SetCaptions(ActuatorSizing& s, int formatText) {
    s.columnFormat = GetText(formatText);
    const std::vector<std::string> parts = SplitBar(s.columnFormat);
    for (std::size_t i = 0; i < 2; ++i) s.captions[i] = parts.size() > i + 2 ? Trim(parts[i + 2]) : std::string();
}

bool Admissible(const ActuatorLimits& limits, const std::string& actuator, const SpecSizeItem& size) {
    if (!limits.actuators.empty() && !Contains(limits.actuators, actuator)) return false;
    if (size.value < limits.minimumSize) return false;
    return limits.sizes.empty() || Contains(limits.sizes, size.name);
}

void ListPneumatic(ActuatorSizing& s, const ActuatorInputs& in, const SpecCatalogue& cat) {
    SetCaptions(s, kTextGridKind0);
    for (std::size_t e = 0; e < cat.section1.size(); ++e) {
        const SpecActuator& a = cat.section1[e];
        for (std::size_t si = 0; si < a.sizes.size(); ++si) {
            const SpecSizeItem& size = a.sizes[si];
            if (!Admissible(in.limits, a.name, size)) continue;
            // A size with a lever arm R (mm) turns a rotary valve; one without drives a stem.
            const SpecValueItem* lever = FindValue(size.values, "R");
            const bool rotary = lever && lever->value > 0;
            if (rotary != s.torque) continue;
            const SpecValueItem* areaItem = FindValue(size.values, "A");
            const double area = areaItem ? areaItem->value : size.value;  // cm2
            // 1 kPa on 1 cm2 is 0.1 N: kN = p A / 10000, and with the lever Nm = p A R / 10000.
            const double factor = area * (rotary ? lever->value : 1) / 10000;
            for (std::size_t r = 0; r < a.springs.size(); ++r) {
                const SpecRangeItem& range = a.springs[r];
                const double first = range.from * factor, second = range.to * factor;
                const double offered = in.secondForce ? second : first;
                if (!std::isfinite(first) || !std::isfinite(second) || offered < s.value) continue;
                if (!Contains(range.text, size.name)) continue;
                for (std::size_t c = 0; c < a.supplies.size(); ++c) {
                    const SpecSupplyItem& supply = a.supplies[c];
                    if (!supply.text2.empty() && !Contains(supply.text2, size.name)) continue;
                    ActuatorCandidate row;
                    row.columns = {a.name, size.name, WithUnit(second, s.torque), WithUnit(first, s.torque), supply.text};
                    row.force = offered;
                    row.source = {kKindPneumatic, e, si, static_cast<int>(r), static_cast<int>(c)};
                    s.candidates.push_back(std::move(row));
                }
            }
        }
    }
    if (s.candidates.empty()) s.message = kMsgNoSuitableActuator;
}

std::string RangeText(const std::vector<SpecRangeItem>& ranges, const std::string& size, int& index) {
    for (std::size_t i = 0; i < ranges.size(); ++i)
        if (Contains(ranges[i].text, size) && std::isfinite(ranges[i].from) && std::isfinite(ranges[i].to)) {
            index = static_cast<int>(i);
            return FormatNumber(ranges[i].from, 3) + ".." + FormatNumber(ranges[i].to, 3) + " kN";
        }
    index = -1;
    return {};
}

// Electric actuators: every admissible size is listed; those of the other motion (thrust for a
// torque, torque for a force) or too weak cannot be selected.
void ListElectric(ActuatorSizing& s, const ActuatorInputs& in, const SpecCatalogue& cat) {
    if (in.kind == kKindElectricLinear) {
        SetCaptions(s, kTextGridKind2);
        for (std::size_t e = 0; e < cat.section2.size(); ++e) {
            const SpecSection2Entry& a = cat.section2[e];
            for (std::size_t si = 0; si < a.a.size(); ++si) {
                const SpecSizeItem& size = a.a[si];
                if (!Admissible(in.limits, a.name, size) || !std::isfinite(size.value)) continue;
                int range = -1;
                const std::string rangeText = RangeText(a.b, size.name, range);
                const std::size_t supplies = a.c.empty() ? 1 : a.c.size();
                for (std::size_t c = 0; c < supplies; ++c) {
                    ActuatorCandidate row;
                    row.columns = {a.name, size.name, WithUnit(size.value, false), rangeText,
                                   a.c.empty() ? std::string() : a.c[c].first};
                    row.force = size.value;
                    row.selectable = !s.torque && size.value >= s.value;
                    row.source = {kKindElectricLinear, e, si, range, a.c.empty() ? -1 : static_cast<int>(c)};
                    s.candidates.push_back(std::move(row));
                }
            }
        }
    } else {
        SetCaptions(s, kTextGridKind3);
        for (std::size_t e = 0; e < cat.section3.size(); ++e) {
            const SpecSection3Entry& a = cat.section3[e];
            for (std::size_t si = 0; si < a.a.size(); ++si) {
                const SpecSizeItem& size = a.a[si];
                if (!Admissible(in.limits, a.name, size) || !std::isfinite(size.value)) continue;
                const SpecValueItem* weight = FindValue(size.values, "VAHAP");
                ActuatorCandidate row;
                row.columns = {a.name, size.name, WithUnit(size.value, true),
                               weight && std::isfinite(weight->value) ? FormatNumber(weight->value, 0) + " kg" : std::string()};
                row.force = size.value;
                row.selectable = s.torque && size.value >= s.value;
                row.source = {kKindElectricRotary, e, si, -1, -1};
                s.candidates.push_back(std::move(row));
            }
        }
    }
    bool any = false;
    for (const ActuatorCandidate& c : s.candidates) any = any || c.selectable;
    if (s.candidates.empty()) s.message = kMsgNoSuitableActuator;
    else if (!any) s.message = kMsgNoActuatorSelectable;
}

ActuatorSizing Refuse(int message) {
    ActuatorSizing s;
    s.refused = true;
    s.message = message;
    s.messageText = GetText(message);
    return s;
}

std::string WholeName(const std::string& actuator, const std::string& size) {
    return size.rfind(actuator, 0) == 0 ? size : actuator + " " + size;
}

std::string WithoutBlanks(std::string s) {
    std::erase(s, ' ');
    return s;
}

}  // namespace

ActuatorLimits ParseActuatorLimits(const std::string& attribute) {
    const std::vector<std::string> parts = SplitBar(attribute);
    ActuatorLimits limits;
    limits.actuators = Trim(parts[0]);
    if (parts.size() > 1) limits.sizes = Trim(parts[1]);
    if (parts.size() > 2) limits.minimumSize = ParseNumber(parts[2]);
    return limits;
}

std::string PackingClass(const std::string& packingText) {
    std::string cls = packingText.substr(0, 3);
    std::erase_if(cls, [](char c) { return c == '.' || c == ' '; });
    return cls;
}

int ValveTypeCode(const std::string& valveTypeText, int defaultTypeCode) {
    const int digit = !valveTypeText.empty() && std::isdigit(static_cast<unsigned char>(valveTypeText[0]))
                          ? valveTypeText[0] - '0'
                          : 0;
    return digit != 0 ? digit : defaultTypeCode;
}

bool IsTorqueType(int typeCode) {
    return typeCode == 6 || typeCode == 7 || typeCode == 9 || typeCode == 10 || typeCode == 11;
}

void TakeValveTypeChoice(const std::string& shownText, const SpecItemList& choices, ActuatorPageChoices& page) {
    page.valveTypeText.clear();
    page.limits = {};
    for (const SpecItem& c : choices)
        if (c.id == kItemValveType && GetLangText(c.text, -1) == shownText) {
            page.valveTypeText = c.code;
            page.limits = ParseActuatorLimits(c.attribute);
            return;
        }
}

ActuatorInputs ReadActuatorInputs(const SpecItemList& items, const ActuatorPageChoices& page) {
    ActuatorInputs in;
    const std::string unit = ItemText(kItemPressureUnit, items);
    in.pressureA = PressureToInternal(unit, ParseNumber(ItemText(kItemPressureA, items)));
    in.pressureB = PressureToInternal(unit, ParseNumber(ItemText(kItemPressureB, items)));
    in.dp = in.pressureA - in.pressureB;
    in.D = ParseNumber(ItemText(kItemSeatDiameter, items));
    in.packingChosen = !page.packingText.empty();
    in.packingClass = PackingClass(page.packingText);
    in.valveTypeText = page.valveTypeText;
    in.typeCode = ValveTypeCode(page.valveTypeText, page.defaultTypeCode);
    in.kind = page.kind;
    in.secondForce = page.secondForce;
    in.limits = page.limits;
    in.X = page.X;
    in.Y = page.Y;
    in.DN = page.DN;
    in.packingAdmission = ItemText(kItemPackingAdmission, items);
    in.page2Choice = ItemText(kItemPage2Choice, items, 0);
    return in;
}

ActuatorSizing SizeActuator(const ActuatorInputs& in, const SpecCatalogue& catalogue, const SpecTables& tables) {
    const int code = in.typeCode;
    const bool noPackingNeeded = code == 7 || code == 8 || code == 9 || code == 10;
    if (in.kind < kKindPneumatic || in.kind > kKindElectricRotary ||
        (in.kind != kKindElectricRotary && !noPackingNeeded && !in.packingChosen))
        return Refuse(kMsgIncompleteChoice);
    if (!in.packingAdmission.empty() && !Contains(in.packingAdmission, in.packingClass))
        return Refuse(kMsgPackingNotForValve);
    if (in.valveTypeText.size() >= 3) {
        const std::size_t semi = in.valveTypeText.find(';');
        if (semi != std::string::npos && !Contains(in.valveTypeText.substr(semi + 1), in.page2Choice))
            return Refuse(kMsgValveTypeNotForChoice);
    }
    // A reversed pressure drop or a missing seat diameter would give a negative or zero force
    // that looks like a result.
    if (in.dp < 0) return Refuse(kTextNegativePressureDrop);
    const bool needsD = code == 1 || code == 2 || code == 4 || code == 5 || code == 6 || code == 11;
    if (needsD && !(in.D > 0)) return Refuse(kTextNoDiameter);

    ActuatorSizing s;
    s.torque = IsTorqueType(code);
    const double Ff = kPi * in.D * PackingFrictionPerMm(in.packingClass);
    const double A = kPi * in.D * in.D / 400;
    double value = 0;
    bool computed = true;
    switch (code) {
        case 1:
        case 2: value = 1.1 * (Ff / 1000 + in.dp * A / 10); break;
        case 3: {
            const double c = BalancedSealFactor(in.packingClass);
            value = 1.1 * (0.1 * in.dp * (in.Y - in.X) + c * (std::sqrt(std::max(in.Y, 0.0)) + std::sqrt(std::max(in.X, 0.0))));
            break;
        }
        case 4: value = 1.15 * Ff / 1000; break;
        case 5: value = 2.2 * Ff / 1000; break;
        case 6:
        case 11: value = PlugTorque(tables.t06b, in.DN, in.D, in.dp, in.packingClass); break;
        case 7: value = TableTorque(tables.t07, in.DN, in.dp); break;
        case 9: value = TableTorque(tables.t09, in.DN, in.dp); break;
        case 10: value = TableTorque(tables.t10, in.DN, in.dp); break;
        default: computed = false;
    }
    if (!std::isfinite(value) || !std::isfinite(Ff)) computed = false;
    // The torque types show nothing for a torque of 0 (no table entry, no packing value).
    if (computed && (!s.torque || value > 0)) {
        s.hasResult = true;
        s.value = value;
        s.packingFriction = Ff;
        if (s.torque) {
            s.outputs = {"M=" + FormatNumber(value, 4), ""};
        } else {
            s.outputs = {"Fd=" + FormatNumber(Ff / 1000, 4), "Fs=" + FormatNumber(value, 4)};
        }
    }

    if (in.kind == kKindHydraulic) {
        s.message = kTextHydraulicNotSized;
    } else if (s.hasResult && s.value > 0) {
        if (in.kind == kKindPneumatic) ListPneumatic(s, in, catalogue);
        else ListElectric(s, in, catalogue);
    }
    if (s.message != 0) s.messageText = GetText(s.message);
    return s;
}

ActuatorSelection SelectActuator(const ActuatorSizing& sizing, std::size_t row, const ActuatorInputs& in,
                                 const SpecCatalogue& catalogue) {
    ActuatorSelection sel;
    if (row >= sizing.candidates.size() || !sizing.candidates[row].selectable) return sel;
    const ActuatorCandidate& cand = sizing.candidates[row];
    const ActuatorSource& src = cand.source;
    sel.required1 = sizing.outputs[0];
    sel.required2 = sizing.outputs[1];
    sel.force = WithUnit(cand.force, sizing.torque);
    const SpecSizeItem* size = nullptr;
    std::string name;
    const std::vector<SpecChoiceItem>* options = nullptr;
    if (src.kind == kKindPneumatic && src.entry < catalogue.section1.size()) {
        const SpecActuator& a = catalogue.section1[src.entry];
        if (src.size >= a.sizes.size()) return {};
        name = a.name;
        size = &a.sizes[src.size];
        options = &a.options;
        sel.kindText = GetText(kTextActuatorFromCatalogue);
        sel.failAction = GetText(in.secondForce ? kTextFailOpen : kTextFailClosed);
        if (src.range >= 0 && static_cast<std::size_t>(src.range) < a.springs.size()) {
            const SpecRangeItem& r = a.springs[static_cast<std::size_t>(src.range)];
            // As the type designation reads it back.
            if (a.kind == "AT") {
                std::string from = FormatNumber(r.from, 0);
                if (from.size() < 2) from.insert(0, 2 - from.size(), '0');
                sel.springRange = "S" + from;
            } else {
                sel.springRange = FormatNumber(r.from, 0) + ".." + FormatNumber(r.to, 0) + " kPa";
            }
        }
        if (src.supply >= 0 && static_cast<std::size_t>(src.supply) < a.supplies.size() &&
            std::isfinite(a.supplies[static_cast<std::size_t>(src.supply)].value))
            sel.supply = FormatNumber(a.supplies[static_cast<std::size_t>(src.supply)].value, 0) + " kPa";
    } else if (src.kind == kKindElectricLinear && src.entry < catalogue.section2.size()) {
        const SpecSection2Entry& a = catalogue.section2[src.entry];
        if (src.size >= a.a.size()) return {};
        name = a.name;
        size = &a.a[src.size];
        options = &a.d;
        sel.kindText = GetText(kTextActuatorKindE);
        if (src.supply >= 0 && static_cast<std::size_t>(src.supply) < a.c.size())
            sel.supply = a.c[static_cast<std::size_t>(src.supply)].first;
    } else if (src.kind == kKindElectricRotary && src.entry < catalogue.section3.size()) {
        const SpecSection3Entry& a = catalogue.section3[src.entry];
        if (src.size >= a.a.size()) return {};
        name = a.name;
        size = &a.a[src.size];
        sel.kindText = GetText(kTextActuatorKindF);
    } else {
        return {};
    }
    sel.actuator = name;
    sel.size = size->name;
    sel.whole = WholeName(name, size->name);
    sel.wholeCode = WithoutBlanks(sel.whole);
    if (const SpecValueItem* stroke = FindValue(size->values, "H")) sel.stroke = stroke->extra;
    sel.attributes = size->values;
    if (options)
        for (const SpecChoiceItem& o : *options) sel.options.push_back(GetLangText(o.texts[0], -1));
    return sel;
}

void StoreActuatorSelection(const ActuatorSelection& sel, const std::string& option, SpecItemList& items) {
    const std::pair<int, const std::string*> texts[] = {
        {60, &sel.kindText}, {61, &sel.actuator}, {62, &sel.supply}, {63, &sel.failAction},
        {64, &sel.size},     {65, &sel.springRange}, {66, &option},  {kItemRequired1, &sel.required1},
        {kItemRequired2, &sel.required2}, {kItemActuatorForce, &sel.force}, {kItemActuatorStroke, &sel.stroke},
    };
    for (const auto& [id, text] : texts) StoreItemText(id, items, nullptr, *text);
    StoreItemText(kItemActuatorWhole, items, nullptr, sel.whole, {}, sel.wholeCode);
}

void WriteActuatorTitleBlock(const ActuatorSelection& sel, bool withHandwheel, KeyValueList& titleBlock) {
    double weight = 0;
    for (const SpecValueItem& a : sel.attributes) {
        if (a.name == "VAHAP") weight += a.value;
        else if (a.name == "VAHAK") weight += withHandwheel ? a.value : 0;
        else if (a.name != "VAHAD") SetKeyValue(a.name, a.extra, titleBlock, true);
    }
    if (weight > 0 && std::isfinite(weight)) SetKeyValue("VAHAP", FormatNumber(weight, 0), titleBlock, true);
}

}  // namespace tarvik
