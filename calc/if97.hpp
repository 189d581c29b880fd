#pragma once
// IAPWS Industrial Formulation 1997 for the thermodynamic properties of water and steam:
// regions 1, 2 and 3, the saturation line (region 4) and the region 2-3 boundary (B23).
// Units: T in K, p in MPa, rho in kg/m3, v in m3/kg, h, u in kJ/kg, s, cp in kJ/(kg K),
// w in m/s. The region functions evaluate the formulas as they stand and do not check the
// region's range; that is the caller's business (see steam_tables.hpp).
#include <array>

namespace tarvik::if97 {

constexpr double kGasConstant = 0.461526;  // specific gas constant of water, kJ/(kg K)
constexpr double kCriticalTemperature = 647.096;
constexpr double kCriticalPressure = 22.064;
constexpr double kCriticalDensity = 322.0;
constexpr double kTriplePressureLimit = 0.000611213;  // saturation pressure at 273.15 K

// Region 1, compressed liquid, from (T, p).
double Region1SpecificVolume(double T, double p);
double Region1Enthalpy(double T, double p);
double Region1InternalEnergy(double T, double p);
double Region1Entropy(double T, double p);
double Region1IsobaricHeatCapacity(double T, double p);
double Region1SoundSpeed(double T, double p);

// Region 2, vapour (ideal-gas and residual part), from (T, p).
double Region2SpecificVolume(double T, double p);
double Region2Enthalpy(double T, double p);
double Region2InternalEnergy(double T, double p);
double Region2Entropy(double T, double p);
double Region2IsobaricHeatCapacity(double T, double p);
double Region2SoundSpeed(double T, double p);

// Region 3, near-critical fluid, from (T, rho).
double Region3Pressure(double T, double rho);

// The pressure along one region-3 isotherm; what depends on tau alone is computed once, for
// searches that evaluate the same isotherm many times.
class Region3Isotherm {
public:
    explicit Region3Isotherm(double T);
    double Pressure(double rho) const;

private:
    double T_;
    std::array<double, 11> dCoef_{};  // coefficient of delta^i in d(phi)/d(delta) - n1/delta
};

double Region3Enthalpy(double T, double rho);
double Region3InternalEnergy(double T, double rho);
double Region3Entropy(double T, double rho);
double Region3IsobaricHeatCapacity(double T, double rho);
double Region3SoundSpeed(double T, double rho);

// Region 4: saturation pressure for 273.15 <= T <= 647.096 and the backward saturation
// temperature for 0.000611213 <= p <= 22.064; 0 outside.
double SaturationPressure(double T);
double SaturationTemperature(double p);

// Boundary between regions 2 and 3; B23Temperature is 0 where the root would be imaginary.
double B23Pressure(double T);
double B23Temperature(double p);

}  // namespace tarvik::if97
