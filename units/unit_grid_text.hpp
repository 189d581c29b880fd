#pragma once
// Texts of the user-unit grid: the quantity and the formula of each unit.
#include <string>

#include "units/user_units.hpp"

namespace tarvik {

// "Průtok", "Teplota", "Tlak" or "Hmotn.průtok"; "" for a unit without a quantity.
std::string QuantityName(int quantity);
// "<factor>x", followed by "+<offset>" or "-<offset>" when the offset is not 0;
// e.g. "0.5556x+255.3722".
std::string UnitFormulaText(const UnitDef& unit);

}  // namespace tarvik
