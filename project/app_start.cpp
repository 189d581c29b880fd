#include "project/app_start.hpp"

#include <ctime>

#include "data/ini_profile.hpp"

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
