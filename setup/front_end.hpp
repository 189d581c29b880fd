#pragma once
// What tarvik-setup and tarvik-uninstall share before any window opens: the command line, the
// language pack, and the unattended runs that print instead of showing pages. No wx here.
#include <filesystem>
#include <string>
#include <vector>

#include "setup/installer.hpp"

namespace tarvik::setup {

struct SetupOptions {
    bool unattended = false;
    bool help = false;
    std::filesystem::path dest;  // empty: the remembered or default destination
    int lang = -1;               // -1: from setup.ini
    std::string error;           // a bad command line
};
SetupOptions ParseSetupOptions(const std::vector<std::string>& args);

struct UninstallOptions {
    bool unattended = false;
    bool help = false;
    std::filesystem::path script;
    std::string error;
};
UninstallOptions ParseUninstallOptions(const std::vector<std::string>& args);

// The folder of the running program.
std::filesystem::path ExecutableDir();

// Loads pack `lang` from `programDir` into the current language (English when that pack is
// missing). False, with the reason, when neither can be loaded.
bool LoadPack(const std::filesystem::path& programDir, int lang, std::string& error);

// Exit codes of both programs.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitBlocked = 2, kExitRefused = 3, kExitCancelled = 4, kExitUsage = 64 };

// The unattended installation: messages go to stdout/stderr in the pack's language.
int RunUnattendedSetup(const std::filesystem::path& distDir, const std::filesystem::path& dest,
                       const UserPlaces& places, int lang);
int RunUnattendedUninstall(const std::filesystem::path& script, const UserPlaces& places);

// Message texts of the results, in the current language.
std::string BlockedMessage(const std::string& version);
std::string MissingFolderMessage(const std::filesystem::path& dest);

}  // namespace tarvik::setup
