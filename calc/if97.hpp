#pragma once
// IAPWS Industrial Formulation 1997 for the thermodynamic properties of water and steam:
// regions 1, 2 and 3, the saturation line (region 4) and the region 2-3 boundary (B23).
// Units: T in K, p in MPa, rho in kg/m3, v in m3/kg, h, u in kJ/kg, s, cp in kJ/(kg K),
// w in m/s. The region functions evaluate the formulas as they stand and do not check the
// region's range; that is the caller's business (see steam_tables.hpp).
#include <array>
#include <cmath>

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
    double scale_;                    // rho_c R T / 1000: p = scale_ delta (n1 + delta S(delta))
    std::array<double, 11> dCoef_{};  // coefficient of delta^i in S = d(phi)/d(delta) - n1/delta
};

double Region3Enthalpy(double T, double rho);
double Region3InternalEnergy(double T, double rho);
double Region3Entropy(double T, double rho);
double Region3IsobaricHeatCapacity(double T, double rho);
double Region3SoundSpeed(double T, double rho);

// Region 4: coefficients of the saturation-pressure equation (IF97 Table 34), n[1]..n[10].
inline constexpr double kRegion4[11] = {
    0.0,
    0.11670521452767e4,
    -0.72421316703206e6,
    -0.17073846940092e2,
    0.12020824702470e5,
    -0.32325550322333e7,
    0.14915108613530e2,
    -0.48232657361591e4,
    0.40511340542057e6,
    -0.23855557567849,
    0.65017534844798e3,
};

// B23: coefficients n1..n5 (IF97 Table 1).
inline constexpr double kB23[6] = {
    0.0, 0.34805185628969e3, -0.11671859879975e1, 0.10192970039326e-2,
    0.57254459862746e3, 0.13918839778870e2,
};

// The boundary functions below are inline: every operating point asks for them, and a call
// costs as much as a third of their work.

// Region 4: saturation pressure for 273.15 <= T <= 647.096 and the backward saturation
// temperature for 0.000611213 <= p <= 22.064; 0 outside.
inline double SaturationPressure(double T) {
    if (!(T >= 273.15 && T <= kCriticalTemperature)) return 0.0;
    const double* n = kRegion4;
    // theta = T + n9 / (T - n10) = N / u. A, B and C are quadratics in theta; taken times u^2
    // they leave x unchanged and need no division for theta.
    const double u = T - n[10];
    const double N = T * u + n[9];
    const double N2 = N * N, Nu = N * u, u2 = u * u;
    const double A = N2 + n[1] * Nu + n[2] * u2;
    const double B = n[3] * N2 + n[4] * Nu + n[5] * u2;
    const double C = n[6] * N2 + n[7] * Nu + n[8] * u2;
    const double x = 2.0 * C / (-B + std::sqrt(B * B - 4.0 * A * C));
    const double x2 = x * x;
    return x2 * x2;
}

inline double SaturationTemperature(double p) {
    if (!(p >= kTriplePressureLimit && p <= kCriticalPressure)) return 0.0;
    const double* n = kRegion4;
    const double beta = std::sqrt(std::sqrt(p));
    const double E = beta * beta + n[3] * beta + n[6];
    const double F = n[1] * beta * beta + n[4] * beta + n[7];
    const double G = n[2] * beta * beta + n[5] * beta + n[8];
    const double D = 2.0 * G / (-F - std::sqrt(F * F - 4.0 * E * G));
    const double s = n[10] + D;
    return (s - std::sqrt(s * s - 4.0 * (n[9] + n[10] * D))) / 2.0;
}

// Boundary between regions 2 and 3; B23Temperature is 0 where the root would be imaginary.
inline double B23Pressure(double T) { return kB23[1] + kB23[2] * T + kB23[3] * T * T; }

inline double B23Temperature(double p) {
    constexpr double kInverseN3 = 1.0 / kB23[3];
    const double x = (p - kB23[5]) * kInverseN3;
    if (!(x >= 0.0)) return 0.0;
    return kB23[4] + std::sqrt(x);
}

}  // namespace tarvik::if97
