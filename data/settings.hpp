#pragma once
// The "Setup" settings of tarvik.ini that the core reads.
#include <filesystem>
#include <string>

namespace tarvik {

class IniProfile;

struct Settings {
    int lang = 0;               // language index: selects the language pack and text sections
    bool admin = false;         // administrator mode ("Admin" = 1)
    int langCount = 4;          // number of sections composed multilingual texts get
    std::string companyIndex;   // "Index"
};

Settings SettingsFromProfile(const IniProfile& ini);
// Reads ProgramDir()/tarvik.ini; a missing file gives the defaults.
Settings LoadSettings();

// The settings in force for this process.
Settings& CurrentSettings();

}  // namespace tarvik
