#pragma once
// Where an installation may go and what a script may name inside it. No wx here.
#include <filesystem>
#include <string>

namespace tarvik::setup {

// The user's environment the installer works in: the places come from HOME and the XDG
// variables, so tests can point everything at temporary folders.
struct UserPlaces {
    std::filesystem::path home;
    std::filesystem::path dataHome;    // XDG_DATA_HOME, default HOME/.local/share
    std::filesystem::path configHome;  // XDG_CONFIG_HOME, default HOME/.config
    bool root = false;                 // effective user id 0: default destination /opt/Tarvik
    bool systemWide = false;           // root without XDG_DATA_HOME: menu entry for every user

    static UserPlaces FromEnvironment();
    // Default destination: /opt/Tarvik for root, HOME/.local/opt/Tarvik otherwise.
    std::filesystem::path DefaultDestination() const;
    // The folder of the menu entry, icon and MIME type: /usr/local/share when system-wide.
    std::filesystem::path DesktopDataDir() const;
};

// "" when the folder may hold an installation, otherwise why not: "/", a home folder, a
// system folder (or a folder inside /proc, /sys, /dev, /etc, /boot, /bin, /sbin, /lib*,
// /usr/bin, /usr/lib, /usr/sbin, /usr/share) and relative paths are refused.
std::string RefusedDestination(const std::filesystem::path& dest, const UserPlaces& places);

// True for a relative path a script may name inside the installation folder: not empty, not
// absolute, no "..", "." or empty part, no backslash or NUL.
bool IsSafeRelative(const std::string& path);

// True when `path` (after resolving symbolic links of its existing part) lies inside `root`.
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& root);

}  // namespace tarvik::setup
