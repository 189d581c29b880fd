#pragma once
// User-defined units: a name, a quantity, a factor and an offset
// (internal value = entered value x factor + offset).
#include <string>
#include <vector>

namespace tarvik {

enum UnitQuantity { kQuantityVolumeFlow = 0, kQuantityTemperature = 1, kQuantityPressure = 2, kQuantityMassFlow = 3 };

struct UnitDef {
    std::string name;
    int quantity = kQuantityVolumeFlow;  // UnitQuantity
    int number = 0;                      // 1-based, in list order; not stored in the file
    double factor = 1;
    double offset = 0;
};

// The application's list of user units, in file order.
std::vector<UnitDef>& UserUnits();
// The first user unit with this name and quantity, or null.
const UnitDef* FindUserUnit(const std::string& name, int quantity);

}  // namespace tarvik
