#pragma once
// Applying a medium of the media database to the operating points of a Liquid or Gas position:
// the values each property row of a point receives, in the units of its rows.
#include <optional>
#include <string>

#include "data/media.hpp"

namespace tarvik {

inline constexpr int kStateWater = 0;
inline constexpr int kStateLiquid = 1;
inline constexpr int kStateSteam = 2;
inline constexpr int kStateGas = 3;

// One operating point as the form holds it: the values in the units of their rows.
struct MediumPoint {
    double p1 = 0;
    std::string p1Unit;
    double T1 = 0;
    std::string T1Unit;
    std::string vapourPressureUnit;    // liquids
    std::string criticalPressureUnit;  // liquids
    std::string viscosityUnit;
};

// What the medium puts into the point's rows, each in the unit of its row except the density,
// which is in kg/m3. Rows the state does not fill stay empty.
struct MediumPointValues {
    std::optional<double> vapourPressure;
    std::optional<double> criticalPressure;
    std::optional<double> density;
    std::optional<double> viscosity;
    std::optional<double> soundSpeed;
    std::optional<double> molarMass;
    std::optional<double> compressibility;
    std::optional<double> kappa;
};

// A liquid medium for a Liquid position, a gas medium for a Gas position; nothing otherwise
// (a medium whose phase does not match the state is not applied).
std::optional<MediumPointValues> ApplyMedium(const Medium& medium, int mediumState,
                                             const MediumPoint& point, bool gaugePressures);

// A Gas point without a medium: the density row holds an operating density when its unit is
// "kg/m3", otherwise a normal density. Fills what the other of density and molar mass gives.
struct GasPointProperties {
    double density = 0;  // the row's value
    std::string densityUnit;
    double molarMass = 0;
};
GasPointProperties CompleteGasProperties(GasPointProperties props, const MediumPoint& point,
                                         bool gaugePressures);

}  // namespace tarvik
