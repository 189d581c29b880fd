#pragma once
// Installing Tarvik from a distribution folder and removing it again, without any window: the
// wizards and the unattended modes of tarvik-setup and tarvik-uninstall call these. No wx here.
//
// Distribution folder: setup.ini ("[Setup] Lang"), Tarvik/tarvik.inf (the script),
// Tarvik/<program files>, Tarvik/dbv/*.dbv (the valve series), Tarvik/licence.txt.
#include <filesystem>
#include <string>
#include <vector>

#include "setup/install_paths.hpp"

namespace tarvik::setup {

// The language of the wizards: "[Setup] Lang" of `ini` when it is 0..3, otherwise the
// language of the user's locale (LC_ALL, LC_MESSAGES, LANG): cs 0, pl 1, de 3, else English 2.
int WizardLanguage(const std::filesystem::path& ini);
int SystemLanguage();

// The installed version ("" when none) and the destination remembered from the last
// installation (the default destination when there is none).
std::string InstalledVersion(const UserPlaces& places);
std::filesystem::path RememberedDestination(const UserPlaces& places);

// The script text with `names` ("name\n" each) inserted after the line
// "[Product.del.dbv.files]"; unchanged when the script lacks that line.
std::string RecordSeriesFiles(const std::string& script, const std::vector<std::string>& names);

// The agreement text: "licence.txt" read line by line; false when it cannot be opened.
bool ReadLicence(const std::filesystem::path& distDir, std::string& text);

struct InstallRequest {
    std::filesystem::path distDir;
    std::filesystem::path dest;
    UserPlaces places;
    std::string menuComment;  // the menu entry's tooltip, in the wizard's language
    int lang = 2;             // the wizard's language, the installed program's first one
};

enum class InstallStatus {
    Installed,
    Blocked,  // a version is installed already (message 126 with `version`)
    Refused,  // the destination may not hold an installation (`detail` says why)
    Failed,   // the script did not complete; everything it had copied is removed again
};

struct InstallResult {
    InstallStatus status = InstallStatus::Failed;
    std::string version;                   // Blocked: the installed version
    std::string detail;                    // Refused, Failed: what went wrong
    std::vector<std::string> seriesFiles;  // Installed: the series files recorded
};

InstallResult Install(const InstallRequest& request);

struct UninstallResult {
    bool ok = false;
    std::vector<std::string> problems;  // what could not be removed, or why nothing was
};

// Runs "DefaultUninstall" of the installed script; its folder is the installation folder.
// Files of the user that the script does not name stay, and so do the folders holding them.
UninstallResult Uninstall(const std::filesystem::path& script, const UserPlaces& places);

}  // namespace tarvik::setup
