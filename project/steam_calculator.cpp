#include "project/steam_calculator.hpp"

#include <cmath>

#include "calc/steam_tables.hpp"
#include "data/number_text.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

std::string Shown(double v, int decimals) { return FormatNumber(std::isfinite(v) ? v : 0.0, decimals); }

// A state outside the range of the steam tables has density 0: shown as 0, not inverted.
double Volume(double rho) { return rho != 0 && std::isfinite(rho) ? 1 / rho : 0; }

}  // namespace

SteamCalculatorView ComputeSteamCalculator(const std::string& pressureText, const std::string& pressureUnit,
                                           const std::string& temperatureText, const std::string& temperatureUnit) {
    const double pressure = ParseNumber(pressureText);
    const double temperature = ParseNumber(temperatureText);
    const double p = PressureToInternal(pressureUnit, pressure);
    double T = TemperatureConvert(temperatureUnit, temperature, "°K");
    double Tsat = BoundaryTemperature(p);
    double psat = p;
    SteamCalculatorView v;
    if (temperature != 0) {
        psat = BoundaryPressure(T);
        v.liquidEnthalpy = v.liquidVolume = v.vapourEnthalpy = v.vapourVolume = "***";
        if (T >= Tsat) {
            v.vapourEnthalpy = Shown(VapourEnthalpy(T, p), 2);
            v.vapourVolume = Shown(Volume(VapourDensity(T, p)), 7);
        } else {
            const double rho = LiquidDensity(T, p);
            v.liquidEnthalpy = Shown(LiquidEnthalpy(T, p, rho), 2);
            v.liquidVolume = Shown(Volume(rho), 7);
        }
    } else {
        const double rhoL = LiquidDensity(Tsat, p);
        v.liquidEnthalpy = Shown(LiquidEnthalpy(Tsat, p, rhoL), 2);
        v.liquidVolume = Shown(Volume(rhoL), 5);
        v.vapourEnthalpy = Shown(VapourEnthalpy(Tsat, p), 2);
        v.vapourVolume = Shown(Volume(VapourDensity(Tsat, p)), 7);
        // The saturation temperature goes on as shown with 3 decimals.
        T = ParseNumber(FormatNumber(std::isfinite(Tsat) ? Tsat : 0.0, 3));
    }
    v.pressure = Shown(pressure, 3);
    v.saturationPressure = Shown(PressureFromInternal(pressureUnit, psat), 3);
    v.saturationTemperature = Shown(TemperatureConvert("°K", Tsat, temperatureUnit), 3);
    v.temperature = Shown(TemperatureConvert("°K", T, temperatureUnit), 3);
    return v;
}

std::string LabelWithUnit(const std::string& label, const std::string& unit) {
    const auto open = label.find('(');
    const auto close = label.find(')', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return label;
    return label.substr(0, open + 1) + unit + label.substr(close);
}

}  // namespace tarvik
