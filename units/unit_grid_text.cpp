#include "units/unit_grid_text.hpp"

#include "data/number_text.hpp"

namespace tarvik {

std::string QuantityName(int quantity) {
    switch (quantity) {
    case kQuantityVolumeFlow: return "Průtok";
    case kQuantityTemperature: return "Teplota";
    case kQuantityPressure: return "Tlak";
    case kQuantityMassFlow: return "Hmotn.průtok";
    default: return "";
    }
}

std::string UnitFormulaText(const UnitDef& unit) {
    std::string text = FormatNumber(unit.factor, 4) + "x";
    if (unit.offset != 0) {
        // A negative offset brings its own minus sign.
        if (unit.offset > 0) text += "+";
        text += FormatNumber(unit.offset, 0);
    }
    return text;
}

}  // namespace tarvik
