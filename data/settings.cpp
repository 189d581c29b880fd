#include "data/settings.hpp"

#include "data/ini_profile.hpp"
#include "data/program_dir.hpp"

namespace tarvik {

Settings SettingsFromProfile(const IniProfile& ini) {
    Settings s;
    s.lang = ini.GetInt("Setup", "Lang", 0);
    s.admin = ini.GetInt("Setup", "Admin", 0) == 1;
    s.langCount = ini.GetInt("Setup", "LangCount", 4);
    s.companyIndex = ini.GetString("Setup", "Index", "");
    return s;
}

Settings LoadSettings() { return SettingsFromProfile(IniProfile::Load(ProgramDir() / "tarvik.ini")); }

Settings& CurrentSettings() {
    static Settings settings;
    return settings;
}

}  // namespace tarvik
