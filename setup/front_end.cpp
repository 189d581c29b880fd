#include "setup/front_end.hpp"

#include <cstdio>
#include <cstdlib>

#include "data/language.hpp"
#include "setup/setup_texts.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

bool ParseLang(const std::string& text, int& lang) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') return false;
    lang = text[0] - '0';
    return true;
}

void Print(std::FILE* out, const std::string& text) {
    if (!text.empty()) std::fprintf(out, "%s\n", text.c_str());
}

}  // namespace

SetupOptions ParseSetupOptions(const std::vector<std::string>& args) {
    SetupOptions o;
    for (std::size_t i = 0; i < args.size() && o.error.empty(); ++i) {
        const std::string& a = args[i];
        if (a == "--unattended") o.unattended = true;
        else if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--dest" && i + 1 < args.size()) o.dest = args[++i];
        else if (a == "--lang" && i + 1 < args.size()) {
            if (!ParseLang(args[++i], o.lang)) o.error = "--lang takes a number from 0 to 9";
        } else o.error = "unknown argument: " + a;
    }
    return o;
}

UninstallOptions ParseUninstallOptions(const std::vector<std::string>& args) {
    UninstallOptions o;
    for (const std::string& a : args) {
        if (a == "--unattended") o.unattended = true;
        else if (a == "--help" || a == "-h") o.help = true;
        else if (!a.empty() && a[0] == '-') o.error = "unknown argument: " + a;
        else if (!o.script.empty()) o.error = "more than one script: " + a;
        else o.script = a;
    }
    if (!o.help && o.error.empty() && o.script.empty()) o.error = "no installation script given";
    return o;
}

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

bool LoadPack(const fs::path& programDir, int lang, std::string& error) {
    if (LoadLanguage(programDir, lang, error)) return true;
    return lang != 2 && LoadLanguage(programDir, 2, error);
}

std::string BlockedMessage(const std::string& version) { return FormatText(SetupText(126), version); }

std::string MissingFolderMessage(const fs::path& dest) { return FormatText(SetupText(121), dest.string()); }

int RunUnattendedSetup(const fs::path& distDir, const fs::path& dest, const UserPlaces& places, int lang) {
    std::error_code ec;
    if (!fs::is_directory(dest, ec) && dest.is_absolute()) Print(stdout, MissingFolderMessage(dest));
    const InstallResult r = Install({distDir, dest, places, GetText(kMenuComment), lang});
    switch (r.status) {
        case InstallStatus::Installed:
            Print(stdout, GetText(SetupText(115)));
            Print(stdout, GetText(SetupText(116)));
            return kExitOk;
        case InstallStatus::Blocked:
            Print(stderr, BlockedMessage(r.version));
            return kExitBlocked;
        case InstallStatus::Refused:
            Print(stderr, dest.string() + ": " + r.detail);
            return kExitRefused;
        case InstallStatus::Failed:
            break;
    }
    Print(stderr, kScriptFailed);
    Print(stderr, r.detail);
    return kExitFailed;
}

int RunUnattendedUninstall(const fs::path& script, const UserPlaces& places) {
    const UninstallResult r = Uninstall(script, places);
    if (!r.ok) {
        Print(stderr, GetText(UninstallText(7)));
        for (const std::string& p : r.problems) Print(stderr, p);
        return kExitFailed;
    }
    Print(stdout, GetText(UninstallText(5)));
    return kExitOk;
}

}  // namespace tarvik::setup
