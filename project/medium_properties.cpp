#include "project/medium_properties.hpp"

#include <cmath>

#include "calc/rounding.hpp"
#include "units/conversions.hpp"

namespace tarvik {

namespace {

constexpr double kGasConstant = 8314;  // J/(kmol K)

double Round5(double x) { return RoundValue(x, -1, 5); }

struct PointConditions {
    double T = 0;  // K
    double p = 0;  // MPa absolute
};

PointConditions ConditionsOf(const MediumPoint& point, bool gaugePressures) {
    return {TemperatureConvert(point.T1Unit, point.T1, "°K"),
            GaugeToAbsolute(PressureToInternal(point.p1Unit, point.p1), gaugePressures)};
}

double ViscosityFromCSt(const std::string& unit, double cSt, double rho) {
    return ViscosityFromInternal(unit, ViscosityToInternal("cSt", cSt, rho), rho);
}

// The ideal-gas density from the molar mass, then the operating density from the normal
// density, which wins when both are given. A point without a temperature above 0 K gives none.
double GasDensity(double molarMass, double normalDensity, const PointConditions& c) {
    double rho = 0;
    if (c.T <= 0) return 0;
    if (molarMass > 0) rho = molarMass * c.p * 1e6 / kGasConstant / c.T;
    if (normalDensity > 0) rho = NormalToOperatingDensity(c.T, c.p, normalDensity);
    return std::isfinite(rho) ? rho : 0;
}

}  // namespace

std::optional<MediumPointValues> ApplyMedium(const Medium& medium, int mediumState,
                                             const MediumPoint& point, bool gaugePressures) {
    MediumPointValues v;
    if (mediumState == kStateLiquid && medium.phase == kPhaseLiquid) {
        v.criticalPressure = Round5(PressureFromInternal(point.criticalPressureUnit, medium.criticalPressure));
        v.vapourPressure = Round5(PressureFromInternal(point.vapourPressureUnit, medium.vapourPressure));
        v.density = Round5(medium.density);
        v.viscosity = Round5(ViscosityFromCSt(point.viscosityUnit, medium.viscosity, medium.density));
        v.soundSpeed = medium.soundSpeed;
        return v;
    }
    if (mediumState == kStateGas && medium.phase == kPhaseGas) {
        const PointConditions c = ConditionsOf(point, gaugePressures);
        double rho = medium.density;
        if (rho == 0) rho = GasDensity(medium.molarMass, medium.normalDensity, c);
        double M = medium.molarMass;
        if (M == 0 && medium.normalDensity > 0) M = medium.normalDensity * 273.15 * kGasConstant / 101325;
        v.density = Round5(rho);
        v.viscosity = ViscosityFromCSt(point.viscosityUnit, medium.viscosity, rho);
        v.compressibility = medium.compressibility;
        v.kappa = medium.kappa;
        v.molarMass = M;
        return v;
    }
    return std::nullopt;
}

GasPointProperties CompleteGasProperties(GasPointProperties props, const MediumPoint& point,
                                         bool gaugePressures) {
    const PointConditions c = ConditionsOf(point, gaugePressures);
    const bool operating = props.densityUnit == "kg/m3";
    double rho = operating ? props.density : 0;
    const double rhoN = operating ? 0 : props.density;
    if (rho == 0) {
        rho = GasDensity(props.molarMass, rhoN, c);
        if (operating) props.density = Round5(rho);
    }
    if (props.molarMass == 0 && rho > 0 && c.p > 0 && c.T > 0) {
        const double M = rho * kGasConstant * c.T / c.p / 1e6;
        if (std::isfinite(M)) props.molarMass = Round5(M);
    }
    return props;
}

}  // namespace tarvik
