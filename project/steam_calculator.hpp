#pragma once
// The water and steam calculator: the state of water or steam at a pressure and a temperature,
// as its eight output fields show it. GUI-free; the dialog and `tarvik-cli steam` show what
// ComputeSteamCalculator returns.
#include <string>

namespace tarvik {

enum class SteamCalculatorState {
    Saturation,  // temperature 0: the saturation state at the pressure
    Liquid,
    Vapour,      // also a temperature exactly at saturation
};

// One output field: its number rounded to the decimals it is shown with, or "***".
struct SteamOutput {
    bool shown = false;  // false: the field shows "***" (the other phase)
    double value = 0;    // rounded; 0 for a state outside the range of the steam tables
    int decimals = 3;

    // "***" or the number text with its decimals.
    std::string Text() const;
};

struct SteamCalculatorResult {
    SteamCalculatorState state = SteamCalculatorState::Saturation;
    // Pressures in the pressure unit, temperatures in the temperature unit.
    SteamOutput pressure, saturationPressure, saturationTemperature, temperature;
    // kJ/kg and m3/kg.
    SteamOutput liquidEnthalpy, liquidVolume, vapourEnthalpy, vapourVolume;
};

// "saturation", "liquid" or "vapour".
const char* SteamStateName(SteamCalculatorState state);

// Compute: pressure (absolute, no gauge correction) and temperature in the given units of the
// pressure and temperature lists; temperature 0 asks for the saturation state. Every output is a
// finite number: a property outside the range of the steam tables is 0 and a density of 0 is
// not inverted.
SteamCalculatorResult ComputeSteamCalculator(double pressure, const std::string& pressureUnit, double temperature,
                                             const std::string& temperatureUnit);

}  // namespace tarvik
