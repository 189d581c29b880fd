#include "units/unit_lists.hpp"

#include "units/user_units.hpp"

namespace tarvik {
namespace {

void AddUserUnits(std::vector<std::string>& names, int quantity, int otherQuantity = -2) {
    for (const UnitDef& u : UserUnits())
        if (u.quantity == quantity || u.quantity == otherQuantity) names.push_back(u.name);
}

}  // namespace

UnitList FillUnitList(int kind, int mediumState) {
    UnitList list;
    auto& n = list.names;
    switch (kind) {
    case kListTemperature:
        n = {"°C", "°F", "°K"};
        AddUserUnits(n, kQuantityTemperature);
        break;
    case kListPressure:
        n = {"bar", "MPa", "kPa", "psi", "m H2O", "kg/cm2", "atm"};
        AddUserUnits(n, kQuantityPressure);
        break;
    case kListMassFlow:
        n = {"kg/h"};
        AddUserUnits(n, kQuantityMassFlow);
        break;
    case kListFlow:
        n = {"m3/h", "l/h", "l/min", "kg/h", "kg/s", "t/h"};
        // Normal flow only makes sense for a gas.
        if (mediumState == kGasMediumState || mediumState == kAnyMediumState) n.push_back("Nm3/h");
        AddUserUnits(n, kQuantityVolumeFlow, kQuantityMassFlow);
        break;
    case kListNone:
        list.enabled = false;
        break;
    case kListDensity:
        n = {"kg/m3"};
        if (mediumState == kGasMediumState) n.push_back("kg/Nm3");
        break;
    case kListSpecificVolume:
        n = {"m3/kg"};
        break;
    case kListViscosity:
        n = {"cP", "cSt", "m2/s", "Ns/m2", "Pa.s", "mPa.s"};
        break;
    case kListMolarMass:
        n = {"kg/kmol"};
        break;
    case kListVelocity:
        n = {"m/s"};
        break;
    default:
        break;
    }
    return list;
}

}  // namespace tarvik
