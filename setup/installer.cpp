#include "setup/installer.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "data/ini_profile.hpp"
#include "setup/config_store.hpp"
#include "setup/desktop_entry.hpp"
#include "setup/inf_runner.hpp"
#include "setup/inf_script.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

constexpr const char* kScriptName = "tarvik.inf";
constexpr const char* kSeriesSection = "Product.del.dbv.files";
constexpr std::uintmax_t kMaxScriptFile = 4 * 1024 * 1024;

bool ReadFile(const fs::path& path, std::string& text) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec || size > kMaxScriptFile) return false;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    text = s.str();
    return true;
}

bool WriteFileAtomically(const fs::path& path, const std::string& text) {
    fs::path tmp = path;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << text;
        f.flush();
        if (!f) return false;
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) fs::remove(tmp, ec);
    return !ec;
}

ConfigStore Store(const UserPlaces& places) { return ConfigStore(ConfigStore::DefaultFile(places.configHome)); }

// The recorded version. A marker whose installation folder has lost its script is left over
// from a folder removed by hand: nothing could uninstall it, so it blocks nothing (and goes).
std::string ActiveVersion(ConfigStore& store) {
    const std::string previous = store.Get(kUserInfoKey, "DestinationPath");
    std::error_code ec;
    if (!previous.empty() && !fs::exists(fs::path(previous) / kScriptName, ec)) store.Remove(kProductKey, "Version");
    return store.Get(kProductKey, "Version");
}

// Copies every *.dbv of the distribution's series folder; returns the names in order.
std::vector<std::string> CopySeries(const InfRunner& runner, const fs::path& from, const fs::path& to,
                                    Journal& journal) {
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return names;
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        const fs::path& p = entry.path();
        std::string ext = p.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".dbv" && entry.is_regular_file()) names.push_back(p.filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) runner.CopyOne(from / name, to / name, false, journal);
    return names;
}

}  // namespace

int SystemLanguage() {
    const char* value = nullptr;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if ((value = std::getenv(var)) && *value) break;
    const std::string lang = value ? std::string(value).substr(0, 2) : "";
    if (lang == "cs") return 0;
    if (lang == "pl") return 1;
    if (lang == "de") return 3;
    return 2;
}

int WizardLanguage(const fs::path& ini) {
    const int lang = IniProfile::Load(ini).GetInt("Setup", "Lang", 0);
    return lang >= 0 && lang <= 3 ? lang : SystemLanguage();
}

std::string InstalledVersion(const UserPlaces& places) {
    ConfigStore store = Store(places);
    return ActiveVersion(store);
}

fs::path RememberedDestination(const UserPlaces& places) {
    const std::string path = Store(places).Get(kUserInfoKey, "DestinationPath");
    return path.empty() ? places.DefaultDestination() : fs::path(path);
}

std::string RecordSeriesFiles(const std::string& script, const std::vector<std::string>& names) {
    const std::string header = std::string("[") + kSeriesSection + "]";
    std::string out;
    std::size_t start = 0;
    bool done = false;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        const bool hasEnd = end != std::string::npos;
        if (!hasEnd) end = script.size();
        std::string line = script.substr(start, end - start);
        const bool crlf = !line.empty() && line.back() == '\r';
        if (crlf) line.pop_back();
        out += script.substr(start, end - start) + (hasEnd ? "\n" : "");
        if (!done && hasEnd && line == header) {
            for (const std::string& n : names) out += n + (crlf ? "\r\n" : "\n");
            done = true;
        }
        start = end + 1;
    }
    return out;
}

bool ReadLicence(const fs::path& distDir, std::string& text) {
    std::ifstream f(distDir / "Tarvik" / "licence.txt");
    if (!f) return false;
    text.clear();
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += line + "\n";
    }
    return true;
}

InstallResult Install(const InstallRequest& req) {
    InstallResult result;
    ConfigStore store = Store(req.places);
    result.version = ActiveVersion(store);
    if (!result.version.empty()) {
        result.status = InstallStatus::Blocked;
        return result;
    }
    result.detail = RefusedDestination(req.dest, req.places);
    if (!result.detail.empty()) {
        result.status = InstallStatus::Refused;
        return result;
    }
    // One spelling of the folder ("/x/Tarvik/" is "/x/Tarvik"): the uninstaller knows it by its script's folder.
    fs::path dest = req.dest.lexically_normal();
    if (!dest.has_filename() && dest.has_parent_path() && dest != dest.root_path()) dest = dest.parent_path();
    const fs::path source = req.distDir / "Tarvik";
    std::string text;
    if (!ReadFile(source / kScriptName, text)) {
        result.detail = "cannot open " + (source / kScriptName).string();
        return result;
    }
    Journal journal;
    try {
        InfScript inf = InfScript::Parse(text);
        inf.Define("Lang", std::to_string(req.lang));
        if (!CreateFolders(dest, journal)) throw InfError("cannot create the folder " + dest.string());
        InfRunner runner(inf, dest, source);
        runner.CopyFiles("ProductInstall", journal);
        result.seriesFiles = CopySeries(runner, source / "dbv", dest / "dbv", journal);
        store.Set(kUserInfoKey, "DestinationPath", dest.string());
        runner.UpdateInis("ProductInstall", journal);
        runner.AddReg("ProductInstall", store);

        // The installed script learns which series files to remove.
        const fs::path installed = dest / kScriptName;
        std::string copy;
        if (!ReadFile(installed, copy)) throw InfError("the script did not install " + installed.string());
        if (!WriteFileAtomically(installed, RecordSeriesFiles(copy, result.seriesFiles)))
            throw InfError("cannot write " + installed.string());

        RegisterDesktop(dest, req.places.DesktopDataDir(), req.menuComment, journal);
        if (!store.Save()) throw InfError("cannot write " + store.file().string());
    } catch (const std::exception& e) {
        result.detail = e.what();
        journal.Rollback();
        return result;
    }
    result.status = InstallStatus::Installed;
    return result;
}

UninstallResult Uninstall(const fs::path& scriptPath, const UserPlaces& places) {
    UninstallResult result;
    std::error_code ec;
    const fs::path script = fs::absolute(scriptPath, ec).lexically_normal();
    const fs::path dest = script.parent_path();
    if (std::string why = RefusedDestination(dest, places); !why.empty()) {
        result.problems.push_back(dest.string() + ": " + why);
        return result;
    }
    std::string text;
    if (!ReadFile(script, text)) {
        result.problems.push_back("cannot open " + script.string());
        return result;
    }
    try {
        const InfScript inf = InfScript::Parse(text);
        const InfRunner runner(inf, dest, dest);
        result.problems = runner.DelFiles("DefaultUninstall");
        ConfigStore store = Store(places);
        runner.DelReg("DefaultUninstall", store);
        if (!store.Save()) result.problems.push_back("cannot write " + store.file().string());
        UnregisterDesktop(dest, places.DesktopDataDir());
        // Folders go only when empty: the user's own files keep theirs.
        for (const fs::path& folder : runner.ListFolders("DefaultUninstall", "DelFiles"))
            if (fs::is_directory(fs::symlink_status(folder, ec)) && fs::is_empty(folder, ec)) fs::remove(folder, ec);
        if (fs::is_empty(dest, ec)) fs::remove(dest, ec);
    } catch (const InfError& e) {
        result.problems.push_back(std::string(script.string()) + ": " + e.what());
        return result;
    }
    result.ok = result.problems.empty();
    return result;
}

}  // namespace tarvik::setup
