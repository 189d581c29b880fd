#include "setup/config_store.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {
// Key paths compare like registry keys: case-insensitive (the profile does that) and with
// one backslash between parts.
std::string NormalKey(std::string key) {
    std::string out;
    for (char c : key) {
        if (c == '/') c = '\\';
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}
}  // namespace

ConfigStore::ConfigStore(fs::path file) : file_(std::move(file)), ini_(IniProfile::Load(file_)) {}

fs::path ConfigStore::DefaultFile(const fs::path& configHome) { return configHome / "Nebsoft" / "Tarvik-setup.ini"; }

std::string ConfigStore::Get(const std::string& key, const std::string& name) const {
    return ini_.GetString(NormalKey(key), name, "");
}

void ConfigStore::Set(const std::string& key, const std::string& name, const std::string& value) {
    ini_.SetString(NormalKey(key), name, value);
}

void ConfigStore::Remove(const std::string& key, const std::string& name) { ini_.Remove(NormalKey(key), name); }

void ConfigStore::RemoveKey(const std::string& key) { ini_.RemoveSection(NormalKey(key)); }

bool ConfigStore::Save() const {
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    return ini_.Save(file_);
}

}  // namespace tarvik::setup
