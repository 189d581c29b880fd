#pragma once
// Display texts of unit names, as printed on the calculation sheet: "m3/h" is shown "m³/h".
#include <string>
#include <vector>

#include "units/user_units.hpp"

namespace tarvik {

// Rebuilds the map from the built-in names and the given user units (call after the user
// units change). The no-argument form uses UserUnits().
void RebuildUnitDisplayTexts(const std::vector<UnitDef>& userUnits);
void RebuildUnitDisplayTexts();
// The display text of a unit name; " - " for a name the map does not hold. Builds the map on
// first use when it has not been built yet.
const std::string& UnitDisplayText(const std::string& name);
// Every "3" becomes "³" and every "2" becomes "²".
std::string SuperscriptDigits(const std::string& name);

}  // namespace tarvik
