#pragma once
// The per-user configuration store that stands in for the registry: one profile file,
// CONFIG_HOME/Nebsoft/Tarvik-setup.ini, whose sections are key paths
// ("Software\Nebsoft\Tarvik\UserInfo") and whose entries are the values. The root key
// (HKLM, HKCU) is not kept apart: each user has one store. No wx here.
#include <filesystem>
#include <string>

#include "data/ini_profile.hpp"

namespace tarvik::setup {

inline constexpr const char* kProductKey = "Software\\Nebsoft\\Tarvik";
inline constexpr const char* kUserInfoKey = "Software\\Nebsoft\\Tarvik\\UserInfo";

class ConfigStore {
public:
    explicit ConfigStore(std::filesystem::path file);
    static std::filesystem::path DefaultFile(const std::filesystem::path& configHome);

    // A missing key or value reads as empty text.
    std::string Get(const std::string& key, const std::string& name) const;
    void Set(const std::string& key, const std::string& name, const std::string& value);
    void Remove(const std::string& key, const std::string& name);
    // Removes the key with all its values (not its subkeys, which are keys of their own).
    void RemoveKey(const std::string& key);
    // Writes the store (temporary file + rename), creating its folder. False on failure.
    bool Save() const;

    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    IniProfile ini_;
};

}  // namespace tarvik::setup
