#include "units/user_units.hpp"

namespace tarvik {

std::vector<UnitDef>& UserUnits() {
    static std::vector<UnitDef> units;
    return units;
}

const UnitDef* FindUserUnit(const std::string& name, int quantity) {
    for (const UnitDef& u : UserUnits())
        if (u.quantity == quantity && u.name == name) return &u;
    return nullptr;
}

}  // namespace tarvik
