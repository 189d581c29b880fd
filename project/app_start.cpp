#include "project/app_start.hpp"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <unistd.h>

#include "data/ini_profile.hpp"
#include "updater/program_files.hpp"
#include "updater/program_swap.hpp"

namespace tarvik {

UpdateSettings LoadUpdateSettings(const std::filesystem::path& ini) {
    const IniProfile profile = IniProfile::Load(ini);
    UpdateSettings s;
    s.server = profile.GetString("FTP", "Server", "");
    s.dir = profile.GetString("FTP", "Dir", "");
    s.update = profile.GetInt("FTP", "Update", 0);
    s.updateData = profile.GetInt("FTP", "UpdateData", 0);
    return s;
}

int CurrentMonthKey() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return (local.tm_year + 1900) * 100 + local.tm_mon + 1;
}

int UpdateSwitchAtStart(int update, int updateData, bool admin, int monthKey) {
    if (updateData == 0) monthKey -= 1;
    if (!admin && monthKey <= updateData) return 0;
    return update;
}

namespace {

bool Store(const std::filesystem::path& ini, const std::string& section, const std::string& key,
           const std::string& value) {
    IniProfile profile = IniProfile::Load(ini);
    profile.SetString(section, key, value);
    return profile.Save(ini);
}

}  // namespace

bool StoreUpdateSwitch(const std::filesystem::path& ini, int update) {
    return Store(ini, "FTP", "Update", std::to_string(update));
}

bool StoreCompanyIndex(const std::filesystem::path& ini, const std::string& index) {
    return Store(ini, "Setup", "Index", index);
}

UpdaterCommand UpdaterCommandFor(const std::filesystem::path& programDir) {
    UpdaterCommand c;
    c.program = programDir / kUpdaterFile;
    c.arguments = {c.program.string()};
    return c;
}

void HandOverToUpdater(const std::filesystem::path& programDir, std::string& error) {
    const UpdaterCommand c = UpdaterCommandFor(programDir);
    std::vector<char*> argv;
    for (const std::string& a : c.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(c.program.c_str(), argv.data());
    error = "cannot start " + c.program.string() + ": " + std::strerror(errno) +
            "; the new program waits as " + (programDir / kNewProgramFile).string();
    // The update's log keeps it for whoever looks after the installation.
    updater::AppendUpdateLog(programDir, kProgramFile, error);
}

bool RemoveProgramBackup(const std::filesystem::path& programDir, const std::filesystem::path& runningProgram) {
    const std::filesystem::path backup = programDir / kProgramBackupFile;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(backup, ec))) return false;
    if (std::filesystem::equivalent(backup, runningProgram, ec)) return false;
    return std::filesystem::remove(backup, ec);
}

WindowRect PlacementAtStart(WindowRect stored) {
    if (stored.right <= stored.left || stored.bottom <= stored.top) {
        // The size of a first start, kept at the stored corner (a corner far right would otherwise
        // give an inverted rectangle again).
        stored.right = stored.left + 500;
        stored.bottom = stored.top + 400;
    }
    return stored;
}

}  // namespace tarvik
