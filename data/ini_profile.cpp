#include "data/ini_profile.hpp"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvik {
namespace {

constexpr std::size_t kMaxValue = 255;

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

}  // namespace

IniProfile IniProfile::Load(const std::filesystem::path& path) {
    IniProfile ini;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ini;
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[') {
            auto close = t.find(']');
            std::string name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = nullptr;
            for (auto& s : ini.sections_)
                if (SameName(s.name, name)) current = &s;
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        auto eq = t.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string key = Trim(t.substr(0, eq));
        std::string value = Trim(t.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        bool replaced = false;
        for (auto& e : current->entries)
            if (SameName(e.key, key)) { e.value = value; replaced = true; }
        if (!replaced) current->entries.push_back({key, value});
    }
    return ini;
}

const IniProfile::Entry* IniProfile::Find(const std::string& section, const std::string& key) const {
    for (const auto& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (const auto& e : s.entries)
            if (SameName(e.key, key)) return &e;
    }
    return nullptr;
}

bool IniProfile::Has(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

std::string IniProfile::GetString(const std::string& section, const std::string& key,
                                  const std::string& def) const {
    const Entry* e = Find(section, key);
    std::string v = e ? e->value : def;
    if (v.size() > kMaxValue) v.resize(kMaxValue);
    return v;
}

int IniProfile::GetInt(const std::string& section, const std::string& key, int def) const {
    const Entry* e = Find(section, key);
    if (!e) return def;
    const std::string& v = e->value;
    std::size_t i = 0;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
    long long n = 0;
    while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) {
        n = n * 10 + (v[i++] - '0');
        if (n > 2147483647LL) n = 2147483647LL;
    }
    return static_cast<int>(negative ? -n : n);
}

void IniProfile::SetString(const std::string& section, const std::string& key, const std::string& value) {
    Section* sec = nullptr;
    for (auto& s : sections_)
        if (SameName(s.name, section)) sec = &s;
    if (!sec) {
        sections_.push_back({section, {}});
        sec = &sections_.back();
    }
    for (auto& e : sec->entries)
        if (SameName(e.key, key)) { e.value = value; return; }
    sec->entries.push_back({key, value});
}

void IniProfile::Remove(const std::string& section, const std::string& key) {
    for (auto s = sections_.begin(); s != sections_.end();) {
        if (SameName(s->name, section)) {
            std::erase_if(s->entries, [&](const Entry& e) { return SameName(e.key, key); });
            if (s->entries.empty()) {
                s = sections_.erase(s);
                continue;
            }
        }
        ++s;
    }
}

void IniProfile::RemoveSection(const std::string& section) {
    std::erase_if(sections_, [&](const Section& s) { return SameName(s.name, section); });
}

bool IniProfile::Save(const std::filesystem::path& path) const {
    std::ostringstream out;
    for (const auto& s : sections_) {
        out << '[' << s.name << "]\r\n";
        for (const auto& e : s.entries) out << e.key << '=' << e.value << "\r\n";
    }
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        const std::string text = out.str();
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
        f.flush();
        if (!f) {
            f.close();
            std::error_code ec;
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace tarvik
