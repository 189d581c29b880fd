#include "project/steam_calculator_view.hpp"

#include "data/number_text.hpp"
#include "project/steam_calculator.hpp"

namespace tarvik {

SteamCalculatorView ComputeSteamCalculator(const std::string& pressureText, const std::string& pressureUnit,
                                           const std::string& temperatureText, const std::string& temperatureUnit) {
    const SteamCalculatorResult r = ComputeSteamCalculator(ParseNumber(pressureText), pressureUnit,
                                                           ParseNumber(temperatureText), temperatureUnit);
    SteamCalculatorView v;
    v.pressure = r.pressure.Text();
    v.saturationPressure = r.saturationPressure.Text();
    v.saturationTemperature = r.saturationTemperature.Text();
    v.temperature = r.temperature.Text();
    v.liquidEnthalpy = r.liquidEnthalpy.Text();
    v.liquidVolume = r.liquidVolume.Text();
    v.vapourEnthalpy = r.vapourEnthalpy.Text();
    v.vapourVolume = r.vapourVolume.Text();
    return v;
}

std::string LabelWithUnit(const std::string& label, const std::string& unit) {
    const auto open = label.find('(');
    const auto close = label.find(')', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return label;
    return label.substr(0, open + 1) + unit + label.substr(close);
}

}  // namespace tarvik
