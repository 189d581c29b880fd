#include "setup/install_paths.hpp"

#include <unistd.h>

#include <array>
#include <cstdlib>

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

fs::path EnvPath(const char* name) {
    const char* v = std::getenv(name);
    return v && *v == '/' ? fs::path(v) : fs::path();
}

fs::path Normal(const fs::path& p) {
    std::error_code ec;
    fs::path n = fs::weakly_canonical(p, ec);
    if (ec) n = p.lexically_normal();
    std::string s = n.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool Within(const fs::path& path, const fs::path& root) {
    auto r = root.begin(), p = path.begin();
    for (; r != root.end(); ++r, ++p)
        if (p == path.end() || *p != *r) return false;
    return true;
}

}  // namespace

UserPlaces UserPlaces::FromEnvironment() {
    UserPlaces u;
    u.home = EnvPath("HOME");
    u.dataHome = EnvPath("XDG_DATA_HOME");
    // Root installs for every user, unless a data folder of its own is asked for.
    u.root = geteuid() == 0;
    u.systemWide = u.root && u.dataHome.empty();
    if (u.dataHome.empty() && !u.home.empty()) u.dataHome = u.home / ".local/share";
    u.configHome = EnvPath("XDG_CONFIG_HOME");
    if (u.configHome.empty() && !u.home.empty()) u.configHome = u.home / ".config";
    return u;
}

fs::path UserPlaces::DefaultDestination() const {
    return root ? fs::path("/opt/Tarvik") : home / ".local/opt/Tarvik";
}

fs::path UserPlaces::DesktopDataDir() const { return systemWide ? fs::path("/usr/local/share") : dataHome; }

std::string RefusedDestination(const fs::path& dest, const UserPlaces& places) {
    if (dest.empty() || !dest.is_absolute()) return "the folder must be given as an absolute path";
    for (char c : dest.string())
        if (static_cast<unsigned char>(c) < 0x20) return "the folder name holds a control character";
    const fs::path d = Normal(dest);
    static const std::array<const char*, 24> kSystem = {
        "/", "/bin", "/boot", "/dev", "/etc", "/home", "/lib", "/lib32", "/lib64", "/libx32",
        "/media", "/mnt", "/opt", "/proc", "/root", "/run", "/sbin", "/srv", "/sys", "/tmp",
        "/usr", "/usr/local", "/var", "/usr/local/share"};
    for (const char* s : kSystem)
        if (d == fs::path(s)) return "a system folder cannot be the installation folder";
    static const std::array<const char*, 14> kSystemTrees = {
        "/proc", "/sys", "/dev", "/etc", "/boot", "/bin", "/sbin", "/lib", "/lib32", "/lib64",
        "/usr/bin", "/usr/lib", "/usr/sbin", "/usr/share"};
    for (const char* s : kSystemTrees)
        if (Within(d, fs::path(s))) return "a system folder cannot hold the installation";
    for (const fs::path& own : {places.home, places.dataHome, places.configHome})
        if (!own.empty() && d == Normal(own)) return "a home folder cannot be the installation folder";
    return "";
}

bool IsSafeRelative(const std::string& path) {
    if (path.empty() || path.front() == '/') return false;
    if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos ||
        path.find("//") != std::string::npos)
        return false;
    for (const auto& part : fs::path(path)) {
        const std::string s = part.string();
        if (s.empty() || s == "." || s == "..") return false;
    }
    return path.back() != '/';
}

bool IsInside(const fs::path& path, const fs::path& root) {
    const fs::path r = Normal(root), p = Normal(path);
    return p != r && Within(p, r);
}

}  // namespace tarvik::setup
