#include "units/unit_display.hpp"

#include <map>

namespace tarvik {
namespace {

struct DisplayMap {
    bool built = false;
    std::map<std::string, std::string> texts;
};

DisplayMap& Map() {
    static DisplayMap map;
    return map;
}

// Shown as they are. "psi", "m H2O" and "kg/kmol" are offered in the unit lists too, so they
// are here as well: the sheet must never print a pressure or molar mass without its unit.
const char* const kPlainNames[] = {"°C",  "°K",  "°F",    "kPa",  "MPa",  "bar", "kg/h",  "dB(A)",
                                   "cSt", "cP",  "%",     "kg/s", "t/h",  "atm", "Pa.s",  "mPa.s",
                                   "l/min", "l/h", "m/s", "psi",  "m H2O", "kg/kmol"};
const char* const kSuperscriptNames[] = {"m3/h", "Nm3/h", "kg/m3", "kg/Nm3",
                                         "m3/kg", "m2/s", "kg/cm2", "Ns/m2"};

}  // namespace

std::string SuperscriptDigits(const std::string& name) {
    std::string out;
    out.reserve(name.size() + 4);
    for (char c : name) {
        if (c == '3') out += "³";
        else if (c == '2') out += "²";
        else out += c;
    }
    return out;
}

void RebuildUnitDisplayTexts(const std::vector<UnitDef>& userUnits) {
    DisplayMap& m = Map();
    m.texts.clear();
    for (const char* n : kPlainNames) m.texts[n] = n;
    for (const char* n : kSuperscriptNames) m.texts[n] = SuperscriptDigits(n);
    // A nameless user unit must not turn an empty unit field into an empty text.
    for (const UnitDef& u : userUnits)
        if (!u.name.empty()) m.texts[u.name] = SuperscriptDigits(u.name);
    m.built = true;
}

void RebuildUnitDisplayTexts() { RebuildUnitDisplayTexts(UserUnits()); }

const std::string& UnitDisplayText(const std::string& name) {
    static const std::string kNone = " - ";
    if (!Map().built) RebuildUnitDisplayTexts();
    auto it = Map().texts.find(name);
    return it == Map().texts.end() ? kNone : it->second;
}

}  // namespace tarvik
