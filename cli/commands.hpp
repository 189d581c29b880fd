#pragma once
// The commands of tarvik-cli. Each takes the arguments after the command name (the common
// options already applied) and returns the exit code.
#include <string>
#include <vector>

namespace tarvik::cli {

// catalogue dump FILE | catalogue build SOURCE.json OUT: catalogue files as JSON and back.
int RunCatalogue(std::vector<std::string>& args);

// size [FILE|-] [--log PATH] [--p2-drop]: sizes one valve position given as JSON.
int SizeCommand(std::vector<std::string>& args);

// steam --pressure P [--pressure-unit U] [--temperature T] [--temperature-unit U]
int SteamCommand(std::vector<std::string>& args);

// Project files (extension .tkp): dump PROJECT, load JSON PROJECT, export summary|spec PROJECT,
// candidates PROJECT --position NAME [--all], calc PROJECT [--position NAME] [--save] [--log PATH].
int DumpCommand(std::vector<std::string>& args);
int LoadCommand(std::vector<std::string>& args);
int ExportCommand(std::vector<std::string>& args);
int CandidatesCommand(std::vector<std::string>& args);
int CalcCommand(std::vector<std::string>& args);

// What the water and steam calculator shows, unrounded; pressures and temperatures in the
// chosen units, enthalpies in kJ/kg, specific volumes in m3/kg.
struct SteamState {
    std::string state;  // "saturation" (temperature 0), "liquid" or "vapour"
    double pressure = 0, saturationPressure = 0, saturationTemperature = 0, temperature = 0;
    bool hasLiquid = false, hasVapour = false;  // false: the calculator shows "***"
    double liquidEnthalpy = 0, liquidVolume = 0, vapourEnthalpy = 0, vapourVolume = 0;
};
SteamState ComputeSteamState(double pressure, const std::string& pressureUnit, double temperature,
                             const std::string& temperatureUnit);

}  // namespace tarvik::cli
