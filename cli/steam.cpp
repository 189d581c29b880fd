// tarvik-cli steam: the state of water or steam at a pressure and a temperature, as the water and
// steam calculator shows it.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "project/steam_calculator.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::cli {
namespace {

using json = nlohmann::ordered_json;

bool OneOf(const std::string& name, const std::vector<std::string>& names) {
    for (const auto& n : names)
        if (n == name) return true;
    return false;
}

json Field(const SteamOutput& o) { return o.shown ? json(o.value) : json("***"); }

}  // namespace

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

    const SteamCalculatorResult s = ComputeSteamCalculator(pressure, pUnit, temperature, tUnit);
    json out = {{"state", SteamStateName(s.state)},
                {"pressureUnit", pUnit},
                {"temperatureUnit", tUnit},
                {"pressure", Field(s.pressure)},
                {"saturationPressure", Field(s.saturationPressure)},
                {"saturationTemperature", Field(s.saturationTemperature)},
                {"temperature", Field(s.temperature)},
                {"liquidEnthalpy", Field(s.liquidEnthalpy)},
                {"liquidSpecificVolume", Field(s.liquidVolume)},
                {"vapourEnthalpy", Field(s.vapourEnthalpy)},
                {"vapourSpecificVolume", Field(s.vapourVolume)}};
    std::printf("%s\n", out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    return kExitOk;
}

}  // namespace tarvik::cli
