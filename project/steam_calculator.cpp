#include "project/steam_calculator.hpp"

#include <cmath>

#include "calc/rounding.hpp"
#include "calc/steam_tables.hpp"
#include "data/number_text.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

// A value as its field shows it. Numbers so large that they carry no digits after the point at
// this precision are kept as they are: scaling them for rounding would overflow.
SteamOutput Shown(double v, int decimals) {
    SteamOutput out;
    out.shown = true;
    out.decimals = decimals;
    if (!std::isfinite(v)) return out;
    out.value = std::fabs(v) * std::pow(10.0, decimals) < 0x1p52 ? RoundValue(v, decimals, -1) : v;
    return out;
}

SteamOutput Hidden(int decimals) {
    SteamOutput out;
    out.decimals = decimals;
    return out;
}

// The property routines answer 0 outside their range; a pressure or temperature that a unit
// conversion took beyond any finite number is outside that range too.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// 1/density, or 0 for a state outside the range of the steam tables.
double Volume(double rho) { return rho != 0 ? 1 / rho : 0; }

}  // namespace

std::string SteamOutput::Text() const { return shown ? FormatNumber(value, decimals) : "***"; }

const char* SteamStateName(SteamCalculatorState state) {
    switch (state) {
        case SteamCalculatorState::Liquid: return "liquid";
        case SteamCalculatorState::Vapour: return "vapour";
        case SteamCalculatorState::Saturation: break;
    }
    return "saturation";
}

SteamCalculatorResult ComputeSteamCalculator(double pressure, const std::string& pressureUnit, double temperature,
                                             const std::string& temperatureUnit) {
    SteamCalculatorResult r;
    const double p = Finite(PressureToInternal(pressureUnit, pressure));
    double T = Finite(TemperatureConvert(temperatureUnit, temperature, "°K"));
    double Tsat = 0, psat = 0;
    if (temperature != 0) {
        Tsat = BoundaryTemperature(p);
        psat = BoundaryPressure(T);
        if (T >= Tsat) {
            r.state = SteamCalculatorState::Vapour;
            r.liquidEnthalpy = Hidden(2);
            r.liquidVolume = Hidden(7);
            r.vapourEnthalpy = Shown(VapourEnthalpy(T, p), 2);
            r.vapourVolume = Shown(Volume(VapourDensity(T, p)), 7);
        } else {
            r.state = SteamCalculatorState::Liquid;
            const double rho = LiquidDensity(T, p);
            r.liquidEnthalpy = Shown(LiquidEnthalpy(T, p, rho), 2);
            r.liquidVolume = Shown(Volume(rho), 7);
            r.vapourEnthalpy = Hidden(2);
            r.vapourVolume = Hidden(7);
        }
    } else {
        r.state = SteamCalculatorState::Saturation;
        Tsat = BoundaryTemperature(p);
        psat = p;
        const double rhoL = LiquidDensity(Tsat, p);
        r.liquidEnthalpy = Shown(LiquidEnthalpy(Tsat, p, rhoL), 2);
        r.liquidVolume = Shown(Volume(rhoL), 5);
        r.vapourEnthalpy = Shown(VapourEnthalpy(Tsat, p), 2);
        r.vapourVolume = Shown(Volume(VapourDensity(Tsat, p)), 7);
        // The calculator shows the saturation temperature with 3 decimals and goes on with that.
        T = ParseNumber(FormatNumber(Tsat, 3));
    }
    r.pressure = Shown(pressure, 3);
    r.saturationPressure = Shown(PressureFromInternal(pressureUnit, psat), 3);
    r.saturationTemperature = Shown(TemperatureConvert("°K", Tsat, temperatureUnit), 3);
    r.temperature = Shown(TemperatureConvert("°K", T, temperatureUnit), 3);
    return r;
}

}  // namespace tarvik
