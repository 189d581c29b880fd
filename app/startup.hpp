#pragma once
// What the desktop program loads before its first window: program folder, tarvik.ini, the
// language pack, the valve-series table. One function, so that every front end starts alike.
#include <filesystem>
#include <string>

#include "data/media.hpp"
#include "data/pipes.hpp"
#include "data/settings.hpp"
#include "data/valve_series.hpp"
#include "project/app_start.hpp"
#include "project/project_file.hpp"

namespace tarvik::app {

struct CoreState {
    Settings settings;
    UpdateSettings update;
    int updateSwitch = 0;  // after the monthly rule; the check mark of 32795, written at exit
    MediaCatalogue media;
    SeriesTable seriesTable;
    PipeCatalogue pipes;
};

// The process-wide state of the running program.
CoreState& Core();

// Reads tarvik.ini from `programDir`, loads the language pack and the catalogues (default units,
// media, valve series, pipes, user units, in this order) into Core().
// Returns false with the fixed "Can not find DLL !!" text in `error` when the pack is missing.
bool StartCore(const std::filesystem::path& programDir, std::string& error);

// How projects are read with the running configuration.
ProjectLoadContext LoadContext();

std::filesystem::path IniPath();
std::filesystem::path CalculationLogPath();

}  // namespace tarvik::app
