#include "setup/inf_runner.hpp"

#include <algorithm>
#include <cstdlib>

#include "data/ini_profile.hpp"
#include "setup/install_paths.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

constexpr unsigned kNoOverwrite = 0x10;  // CopyFiles: keep a file that already exists
constexpr unsigned kNoClobber = 0x2;     // AddReg: keep a value that already exists

unsigned Flags(const std::vector<std::string>& f, std::size_t i) {
    if (i >= f.size() || f[i].empty()) return 0;
    return static_cast<unsigned>(std::strtoul(f[i].c_str(), nullptr, 0));
}

std::string Field(const std::vector<std::string>& f, std::size_t i) { return i < f.size() ? f[i] : std::string(); }

bool IsRegistryRoot(const std::string& root) {
    for (const char* r : {"HKLM", "HKCU", "HKCR", "HKU", "HKR"})
        if (root == r) return true;
    return false;
}

// The folder holds the file or the folder itself (after resolving links): deleting stays inside.
bool InsideOrAt(const fs::path& path, const fs::path& root) {
    std::error_code ec;
    return IsInside(path, root) || fs::equivalent(path, root, ec);
}

}  // namespace

void Journal::Rollback() {
    std::error_code ec;
    for (auto it = files.rbegin(); it != files.rend(); ++it) fs::remove(*it, ec);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        if (fs::is_directory(*it, ec) && fs::is_empty(*it, ec)) fs::remove(*it, ec);
    files.clear();
    folders.clear();
}

bool CreateFolders(const fs::path& folder, Journal& journal) {
    std::error_code ec;
    std::vector<fs::path> missing;
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, ec) && !fs::is_directory(*it)) return false;
        journal.folders.push_back(*it);
    }
    return fs::is_directory(folder, ec);
}

InfRunner::InfRunner(const InfScript& inf, fs::path dest, fs::path sourceRoot)
    : inf_(inf), dest_(std::move(dest)), sourceRoot_(std::move(sourceRoot)) {}

fs::path InfRunner::TargetDir(const std::string& listSection) const {
    auto value = inf_.Value("DestinationDirs", listSection);
    if (!value) value = inf_.Value("DestinationDirs", "DefaultDestDir");
    if (!value) throw InfError("no destination folder for [" + listSection + "]");
    const auto f = inf_.Fields(*value);
    if (Field(f, 0) != std::to_string(kDestinationDirId))
        throw InfError("[" + listSection + "]: only the installation folder (" + std::to_string(kDestinationDirId) +
                       ") can be a destination, not " + Field(f, 0));
    const std::string sub = Field(f, 1);
    if (sub.empty()) return dest_;
    if (!IsSafeRelative(sub)) throw InfError("[" + listSection + "]: unsafe destination subfolder \"" + sub + "\"");
    return dest_ / sub;
}

std::vector<std::string> InfRunner::Directive(const std::string& section, const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& [key, value] : inf_.Entries(section)) {
        std::string k = key;
        std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
        std::string n = name;
        std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return std::tolower(c); });
        if (k != n) continue;
        for (const std::string& item : inf_.Fields(value))
            if (!item.empty()) out.push_back(item);
    }
    return out;
}

fs::path InfRunner::SafeJoin(const fs::path& dir, const std::string& name) const {
    if (!IsSafeRelative(name)) throw InfError("unsafe file name \"" + name + "\"");
    return dir / name;
}

bool InfRunner::CopyOne(const fs::path& source, const fs::path& target, bool keepExisting, Journal& journal) const {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) throw InfError("missing source file " + source.string());
    if (!InsideOrAt(target.parent_path(), dest_)) throw InfError(target.string() + " lies outside the folder");
    const bool existed = fs::exists(fs::symlink_status(target, ec));
    if (existed) {
        if (keepExisting) return false;
        if (!fs::is_regular_file(fs::symlink_status(target, ec)))
            throw InfError(target.string() + " exists and is not a file");
        const auto have = fs::last_write_time(target, ec);
        if (!ec && have >= fs::last_write_time(source)) return false;  // copy only when newer
    }
    if (!CreateFolders(target.parent_path(), journal)) throw InfError("cannot create " + target.parent_path().string());
    // A half-copied file never takes the target's name.
    fs::path tmp = target;
    tmp += ".tarvik-part";
    fs::copy_file(source, tmp, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::last_write_time(tmp, fs::last_write_time(source), ec);
    if (!ec) fs::rename(tmp, target, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(tmp, ignore);
        throw InfError("cannot copy " + source.string() + " to " + target.string() + ": " + ec.message());
    }
    if (!existed) journal.files.push_back(target);
    return true;
}

void InfRunner::CopyFiles(const std::string& section, Journal& journal) const {
    for (const std::string& list : Directive(section, "CopyFiles")) {
        if (list.front() == '@') {
            const std::string name = list.substr(1);
            const fs::path dir = TargetDir("DefaultDestDir");
            CopyOne(SafeJoin(sourceRoot_ / fs::relative(dir, dest_), name), SafeJoin(dir, name), false, journal);
            continue;
        }
        if (!inf_.HasSection(list)) throw InfError("missing file list [" + list + "]");
        const fs::path dir = TargetDir(list);
        const fs::path sourceDir = sourceRoot_ / fs::relative(dir, dest_);
        for (const std::string& line : inf_.Lines(list)) {
            const auto f = inf_.Fields(line);
            const std::string target = Field(f, 0);
            const std::string source = Field(f, 1).empty() ? target : Field(f, 1);
            CopyOne(SafeJoin(sourceDir, source), SafeJoin(dir, target), Flags(f, 3) & kNoOverwrite, journal);
        }
    }
}

void InfRunner::AddReg(const std::string& section, ConfigStore& store) const {
    for (const std::string& reg : Directive(section, "AddReg")) {
        if (!inf_.HasSection(reg)) throw InfError("missing registry section [" + reg + "]");
        for (const std::string& line : inf_.Lines(reg)) {
            const auto f = inf_.Fields(line);
            if (!IsRegistryRoot(Field(f, 0)) || Field(f, 1).empty())
                throw InfError("[" + reg + "]: not a registry line: " + line);
            const std::string name = Field(f, 2).empty() ? "(Default)" : Field(f, 2);
            if ((Flags(f, 3) & kNoClobber) && !store.Get(Field(f, 1), name).empty()) continue;
            store.Set(Field(f, 1), name, Field(f, 4));
        }
    }
}

void InfRunner::DelReg(const std::string& section, ConfigStore& store) const {
    for (const std::string& reg : Directive(section, "DelReg")) {
        for (const std::string& line : inf_.Lines(reg)) {
            const auto f = inf_.Fields(line);
            if (!IsRegistryRoot(Field(f, 0)) || Field(f, 1).empty()) continue;
            if (f.size() < 3) store.RemoveKey(Field(f, 1));
            else store.Remove(Field(f, 1), Field(f, 2).empty() ? "(Default)" : Field(f, 2));
        }
    }
}

void InfRunner::UpdateInis(const std::string& section, Journal& journal) const {
    for (const std::string& upd : Directive(section, "UpdateInis")) {
        if (!inf_.HasSection(upd)) throw InfError("missing INI section [" + upd + "]");
        const fs::path dir = TargetDir(upd);
        for (const std::string& line : inf_.Lines(upd)) {
            const auto f = inf_.Fields(line);
            const fs::path file = SafeJoin(dir, Field(f, 0));
            const std::string iniSection = Field(f, 1), oldEntry = Field(f, 2), newEntry = Field(f, 3);
            if (iniSection.empty()) throw InfError("[" + upd + "]: no INI section in: " + line);
            const bool existed = fs::exists(file);
            IniProfile ini = IniProfile::Load(file);
            if (!newEntry.empty()) {
                const auto eq = newEntry.find('=');
                if (eq == std::string::npos || eq == 0) throw InfError("[" + upd + "]: not an entry: " + newEntry);
                ini.SetString(iniSection, newEntry.substr(0, eq), newEntry.substr(eq + 1));
            } else if (!oldEntry.empty()) {
                ini.Remove(iniSection, oldEntry.substr(0, oldEntry.find('=')));
            }
            if (!CreateFolders(dir, journal) || !ini.Save(file)) throw InfError("cannot write " + file.string());
            if (!existed) journal.files.push_back(file);
        }
    }
}

std::vector<std::string> InfRunner::DelFiles(const std::string& section) const {
    std::vector<std::string> problems;
    for (const std::string& list : Directive(section, "DelFiles")) {
        try {
            const fs::path dir = TargetDir(list);
            for (const std::string& line : inf_.Lines(list)) {
                const std::string name = Field(inf_.Fields(line), 0);
                if (!IsSafeRelative(name)) {
                    problems.push_back("[" + list + "]: unsafe file name \"" + name + "\" skipped");
                    continue;
                }
                const fs::path file = dir / name;
                std::error_code ec;
                const auto st = fs::symlink_status(file, ec);
                if (!fs::exists(st)) continue;
                if (!InsideOrAt(file.parent_path(), dest_) || fs::is_directory(st)) {
                    problems.push_back(file.string() + " is not a file of the installation: kept");
                    continue;
                }
                if (!fs::remove(file, ec)) problems.push_back("cannot delete " + file.string() + ": " + ec.message());
            }
        } catch (const InfError& e) {
            problems.push_back(e.what());
        }
    }
    return problems;
}

std::vector<fs::path> InfRunner::ListFolders(const std::string& section, const std::string& directive) const {
    std::vector<fs::path> out;
    for (const std::string& list : Directive(section, directive)) {
        try {
            const fs::path dir = TargetDir(list);
            for (fs::path p = dir; p != dest_ && IsInside(p, dest_); p = p.parent_path())
                if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
        } catch (const InfError&) {
        }
    }
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) {
        return std::distance(a.begin(), a.end()) > std::distance(b.begin(), b.end());
    });
    return out;
}

}  // namespace tarvik::setup
