#pragma once
// What the desktop program loads before its first window: the core's Session (tarvik.ini, the
// language pack and the catalogues, as every front end starts) and the update switch.
#include <filesystem>
#include <string>

#include <memory>

#include "data/settings.hpp"
#include "project/app_start.hpp"
#include "project/project_file.hpp"
#include "project/session.hpp"
#include "project/update_ui.hpp"

namespace tarvik::app {

struct CoreState {
    Settings settings;
    UpdateSettings update;
    int updateSwitch = 0;  // after the monthly rule; the check mark of 32795, written at exit
    bool restartForUpdate = false;  // a new program was downloaded: tarvik-update takes over at the end
    std::unique_ptr<Session> session;  // open from a successful start to the exit
};

// The process-wide state of the running program.
CoreState& Core();

// Opens the Session of `programDir` (tarvik.ini, the language pack, the catalogues) into Core().
// Returns false with the fixed "Can not find DLL !!" text in `error` when the pack is missing.
bool StartCore(const std::filesystem::path& programDir, std::string& error);

// How projects are read with the running configuration.
ProjectLoadContext LoadContext();

// Closes the Session: catalogues freed, extracted drawings deleted.
void EndCore();

// The online update of the start, run when the update switch is on. False when a new program
// file was downloaded: the start ends and the end of the process hands over to tarvik-update.
bool RunStartupUpdate(UpdateUi& ui);

// After a good start: the program that the last update replaced is no longer kept.
void ConfirmGoodStart(const std::filesystem::path& runningProgram);

// The end of the process: after a program download it becomes tarvik-update. Returns when there
// is nothing to hand over, or when the hand-over failed (the reason is on stderr and in the log).
void HandOverIfUpdated();

std::filesystem::path IniPath();
std::filesystem::path CalculationLogPath();

}  // namespace tarvik::app
