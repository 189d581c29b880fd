#include "calc/steam_tables.hpp"

#include <cmath>

#include "calc/if97.hpp"
#include "calc/water_viscosity.hpp"

namespace tarvik {
namespace {

constexpr double kTMin = 273.15;
constexpr double kTMax = 1073.15;
constexpr double kPMax = 100.0;
constexpr double kTRegion13 = 623.15;     // region 1 ends, region 3 begins
constexpr double kTB23Max = 863.15;       // B23 reaches 100 MPa
constexpr double kPB23Min = 16.5291643;   // B23 pressure at 623.15 K
constexpr double kSideTolerance = 1e-10;  // the saturation line belongs to both sides

double Finite(double x) { return std::isfinite(x) ? x : 0.0; }

bool InRange(double T, double p) { return T >= kTMin && T <= kTMax && p > 0.0 && p <= kPMax; }

// Above 863.15 K only p = 100 MPa would pass the pressure test, a state of region 2 for which
// region 3 extrapolates to nonsense (its isotherms turn back at high density): no liquid there.
bool LiquidSide(double T, double p) {
    return InRange(T, p) && T <= kTB23Max && (p - BoundaryPressure(T)) / p >= -kSideTolerance;
}

bool VapourSide(double T, double p) {
    return InRange(T, p) && (p - BoundaryPressure(T)) / p <= kSideTolerance;
}

// Density on the liquid side above 623.15 K: bracket the region-3 isotherm starting from the
// region-1 density at 623.15 K, then bisect until the bracketing pressures agree to 0.1 %.
// The step and bisection counts are bounded and the density kept positive, so a strange
// isotherm can neither hang the search nor feed ln(delta) a non-positive density; a search
// that ends without a bracket of p answers 0, the value for a state outside the range.
double Region3DensitySearch(double T, double p) {
    constexpr int kMaxSteps = 30;
    constexpr int kMaxBisections = 200;
    const if97::Region3Isotherm isotherm(T);
    double low = 1.0 / if97::Region1SpecificVolume(kTRegion13, p);
    double high = low;
    double t = isotherm.Pressure(low);
    for (int k = 0; p < t && k < kMaxSteps; ++k) {
        low = low > 100.0 ? low - 100.0 : low / 2.0;
        t = isotherm.Pressure(low);
    }
    double u = t;
    for (int k = 0; p > u && k < kMaxSteps; ++k) {
        high += 100.0;
        u = isotherm.Pressure(high);
    }
    // |t| rather than t: a negative pressure at the low end must not end the search at once.
    for (int k = 0; u - t > 0.001 * std::fabs(t) && k < kMaxBisections; ++k) {
        const double mid = (low + high) / 2.0;
        const double pMid = isotherm.Pressure(mid);
        if (p <= pMid) {
            high = mid;
            u = pMid;
        } else {
            low = mid;
            t = pMid;
        }
    }
    const bool bracketed = t <= p && p <= u && u - t <= 0.001 * std::fabs(t);
    return bracketed ? (low + high) / 2.0 : 0.0;
}

}  // namespace

double BoundaryPressure(double T) {
    if (!(T >= kTMin)) return 0.0;
    if (T <= kTRegion13) return if97::SaturationPressure(T);
    if (T <= kTB23Max) return if97::B23Pressure(T);
    return kPMax;
}

double BoundaryTemperature(double p) {
    if (!(p >= if97::kTriplePressureLimit) || p > kPMax) return 0.0;
    if (p < kPB23Min) return if97::SaturationTemperature(p);
    return if97::B23Temperature(p);
}

double LiquidDensity(double T, double p) {
    if (!LiquidSide(T, p)) return 0.0;
    if (T <= kTRegion13) return Finite(1.0 / if97::Region1SpecificVolume(T, p));
    const double rho = Region3DensitySearch(T, p);
    return rho > 0.0 ? Finite(rho) : 0.0;
}

double LiquidEnthalpy(double T, double p, double rho) {
    if (!LiquidSide(T, p)) return 0.0;
    if (T <= kTRegion13) return Finite(if97::Region1Enthalpy(T, p));
    return rho > 0.0 ? Finite(if97::Region3Enthalpy(T, rho)) : 0.0;
}

double LiquidSoundSpeed(double T, double p, double rho) {
    if (!LiquidSide(T, p)) return 0.0;
    if (T <= kTRegion13) return Finite(if97::Region1SoundSpeed(T, p));
    return rho > 0.0 ? Finite(if97::Region3SoundSpeed(T, rho)) : 0.0;
}

double VapourDensity(double T, double p) {
    if (!VapourSide(T, p)) return 0.0;
    return Finite(1.0 / if97::Region2SpecificVolume(T, p));
}

double VapourEnthalpy(double T, double p) {
    if (!VapourSide(T, p)) return 0.0;
    return Finite(if97::Region2Enthalpy(T, p));
}

double VapourSoundSpeed(double T, double p) {
    if (!VapourSide(T, p)) return 0.0;
    return Finite(if97::Region2SoundSpeed(T, p));
}

double WaterViscosity(double T, double p, double rho) {
    // The ranges are stated in degrees Celsius; compare in kelvin so that a temperature
    // converted from exactly 900 degC still lies inside.
    constexpr double kC0 = 273.15;
    const bool inRange = (T >= kC0 && T <= kC0 + 150.0 && p <= 500.0) ||
                         (T > kC0 + 150.0 && T <= kC0 + 600.0 && p <= 350.0) ||
                         (T > kC0 + 600.0 && T <= kC0 + 900.0 && p <= 300.0);
    if (!inRange) return 0.0;
    return ViscosityIapws85(T, rho);
}

}  // namespace tarvik
