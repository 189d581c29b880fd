#pragma once
// The water and steam calculator dialog (173) as data: what Compute shows for the typed pressure
// and temperature in their units, "***" for the phase that does not exist.
#include <string>

namespace tarvik {

struct SteamCalculatorView {
    std::string pressure, saturationPressure, saturationTemperature, temperature;  // 3 decimals
    std::string liquidEnthalpy, liquidVolume, vapourEnthalpy, vapourVolume;         // or "***"
};

// Reads the texts as the dialog reads them (either decimal separator; text that is no number
// reads as 0, and a temperature of 0 asks for the saturation state) and computes them as
// `tarvik-cli steam` does.
SteamCalculatorView ComputeSteamCalculator(const std::string& pressureText, const std::string& pressureUnit,
                                           const std::string& temperatureText, const std::string& temperatureUnit);

// The label with the text between "(" and ")" replaced by the unit; unchanged without them.
std::string LabelWithUnit(const std::string& label, const std::string& unit);

}  // namespace tarvik
