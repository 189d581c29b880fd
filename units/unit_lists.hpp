#pragma once
// The unit names offered beside each value of the main form, per list kind.
#include <string>
#include <vector>

namespace tarvik {

enum UnitListKind {
    kListTemperature = 0,
    kListPressure = 1,
    kListMassFlow = 2,
    kListFlow = 3,
    kListNone = 4,  // a value without a unit: the list stays empty and disabled
    kListDensity = 5,
    kListSpecificVolume = 6,
    kListViscosity = 7,
    kListMolarMass = 8,
    kListVelocity = 9,
};

// Medium state as the calculation numbers it (0 water, 1 liquid, 2 steam, 3 gas); -1 is any.
constexpr int kAnyMediumState = -1;
constexpr int kGasMediumState = 3;

struct UnitList {
    std::vector<std::string> names;
    bool enabled = true;
};

// Built-in names of the kind, then the matching user units in list order.
UnitList FillUnitList(int kind, int mediumState);

}  // namespace tarvik
