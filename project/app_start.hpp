#pragma once
// Decisions the desktop program takes at start and exit that do not need a window: the online
// update switch of the month, the stored main-window rectangle, the company index change.
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik {

// The "FTP" settings of tarvik.ini.
struct UpdateSettings {
    std::string server, dir;
    int update = 0;      // "Update": non-zero checks for updates at start
    int updateData = 0;  // "UpdateData": year * 100 + month of the last check
};
UpdateSettings LoadUpdateSettings(const std::filesystem::path& ini);

// yyyymm of the local clock.
int CurrentMonthKey();
// The update switch after the monthly rule: outside administrator mode a check already done in
// this month (yyyymm <= UpdateData; an absent UpdateData counts as last month) switches it off.
int UpdateSwitchAtStart(int update, int updateData, bool admin, int monthKey);

// Writes the switch as "Update" of section "FTP" at exit. False when the file cannot be written.
bool StoreUpdateSwitch(const std::filesystem::path& ini, int update);
// Writes "Index" of section "Setup". False when the file cannot be written.
bool StoreCompanyIndex(const std::filesystem::path& ini, const std::string& index);

// The main window's stored rectangle; an empty or inverted one becomes 500 x 400 at its corner.
struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
WindowRect PlacementAtStart(WindowRect stored);

// The hand-over after a program download: the running program is replaced by tarvik-update of
// the program folder, started with its own path as the only argument.
struct UpdaterCommand {
    std::filesystem::path program;
    std::vector<std::string> arguments;  // argv, the program's path first
};
UpdaterCommand UpdaterCommandFor(const std::filesystem::path& programDir);
// Replaces the process by the updater; returns only when that failed, with the reason in `error`
// (also appended to update.log).
void HandOverToUpdater(const std::filesystem::path& programDir, std::string& error);

// After a good start the program that tarvik-update replaced is no longer needed: its backup
// goes, unless the running program is that backup itself (started by hand after a failed
// update). Returns true when a backup was removed.
bool RemoveProgramBackup(const std::filesystem::path& programDir, const std::filesystem::path& runningProgram);

}  // namespace tarvik
