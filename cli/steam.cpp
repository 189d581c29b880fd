// tarvik-cli steam: the state of water or steam at a pressure and a temperature, as the water and
// steam calculator shows it.
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calc/rounding.hpp"
#include "calc/steam_tables.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "data/number_text.hpp"
#include "units/conversions.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::cli {
namespace {

using json = nlohmann::ordered_json;

bool OneOf(const std::string& name, const std::vector<std::string>& names) {
    for (const auto& n : names)
        if (n == name) return true;
    return false;
}

// A value as the calculator shows it with `decimals` decimals.
json Shown(double v, int decimals) { return std::isfinite(v) ? RoundValue(v, decimals, -1) : 0.0; }

// 1/density, or 0 for a state outside the range of the steam tables.
double Volume(double rho) { return rho != 0 ? 1 / rho : 0; }

}  // namespace

SteamState ComputeSteamState(double pressure, const std::string& pressureUnit, double temperature,
                             const std::string& temperatureUnit) {
    SteamState s;
    const double p = PressureToInternal(pressureUnit, pressure);
    double T = TemperatureConvert(temperatureUnit, temperature, "°K");
    double Tsat = 0, psat = 0;
    if (temperature != 0) {
        Tsat = BoundaryTemperature(p);
        psat = BoundaryPressure(T);
        if (T >= Tsat) {
            s.state = "vapour";
            s.vapourEnthalpy = VapourEnthalpy(T, p);
            s.vapourVolume = Volume(VapourDensity(T, p));
            s.hasVapour = true;
        } else {
            s.state = "liquid";
            const double rho = LiquidDensity(T, p);
            s.liquidEnthalpy = LiquidEnthalpy(T, p, rho);
            s.liquidVolume = Volume(rho);
            s.hasLiquid = true;
        }
    } else {
        s.state = "saturation";
        Tsat = BoundaryTemperature(p);
        psat = p;
        const double rhoL = LiquidDensity(Tsat, p);
        s.liquidEnthalpy = LiquidEnthalpy(Tsat, p, rhoL);
        s.liquidVolume = Volume(rhoL);
        s.vapourEnthalpy = VapourEnthalpy(Tsat, p);
        s.vapourVolume = Volume(VapourDensity(Tsat, p));
        s.hasLiquid = s.hasVapour = true;
        // The calculator shows the saturation temperature with 3 decimals and goes on with that.
        T = ParseNumber(FormatNumber(Tsat, 3));
    }
    s.pressure = pressure;
    s.saturationPressure = PressureFromInternal(pressureUnit, psat);
    s.saturationTemperature = TemperatureConvert("°K", Tsat, temperatureUnit);
    s.temperature = TemperatureConvert("°K", T, temperatureUnit);
    return s;
}

int SteamCommand(std::vector<std::string>& args) {
    std::string error, pText, tText = "0", pUnit = "bar", tUnit = "°C";
    const bool hasPressure = TakeOption(args, "--pressure", pText, error);
    if (error.empty()) TakeOption(args, "--temperature", tText, error);
    if (error.empty()) TakeOption(args, "--pressure-unit", pUnit, error);
    if (error.empty()) TakeOption(args, "--temperature-unit", tUnit, error);
    double pressure = 0, temperature = 0;
    if (error.empty() && !args.empty()) error = "unexpected argument '" + args[0] + "'";
    if (error.empty() && !hasPressure) error = "--pressure is missing";
    if (error.empty() && !ParseDoubleArg(pText, pressure)) error = "--pressure takes a number, not '" + pText + "'";
    if (error.empty() && !ParseDoubleArg(tText, temperature))
        error = "--temperature takes a number, not '" + tText + "'";
    if (error.empty() && !OneOf(pUnit, FillUnitList(kListPressure, kAnyMediumState).names))
        error = "unknown pressure unit '" + pUnit + "' (bar, MPa, kPa, psi, m H2O, kg/cm2, atm)";
    if (error.empty() && !OneOf(tUnit, FillUnitList(kListTemperature, kAnyMediumState).names))
        error = "unknown temperature unit '" + tUnit + "' (°C, °F, °K)";
    if (!error.empty()) {
        std::fprintf(stderr, "tarvik-cli steam: %s\n", error.c_str());
        return kExitUsage;
    }

    const SteamState s = ComputeSteamState(pressure, pUnit, temperature, tUnit);
    const bool saturated = s.state == "saturation";
    json out = {{"state", s.state},
                {"pressureUnit", pUnit},
                {"temperatureUnit", tUnit},
                {"pressure", Shown(s.pressure, 3)},
                {"saturationPressure", Shown(s.saturationPressure, 3)},
                {"saturationTemperature", Shown(s.saturationTemperature, 3)},
                {"temperature", Shown(s.temperature, 3)},
                {"liquidEnthalpy", s.hasLiquid ? Shown(s.liquidEnthalpy, 2) : json("***")},
                {"liquidSpecificVolume", s.hasLiquid ? Shown(s.liquidVolume, saturated ? 5 : 7) : json("***")},
                {"vapourEnthalpy", s.hasVapour ? Shown(s.vapourEnthalpy, 2) : json("***")},
                {"vapourSpecificVolume", s.hasVapour ? Shown(s.vapourVolume, 7) : json("***")}};
    std::printf("%s\n", out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    return kExitOk;
}

}  // namespace tarvik::cli
