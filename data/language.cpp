#include "data/language.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <vector>

namespace tarvik {
namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            if (c == 'n') out += '\n';
            else if (c == 't') out += '\t';
            else if (c == '\\') out += '\\';
            else { out += '\\'; out += c; }
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

bool LanguagePack::Load(const std::filesystem::path& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return false;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    if (files.empty()) return false;
    std::sort(files.begin(), files.end());
    texts_.clear();
    duplicates_.clear();
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            std::size_t i = 0;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
            if (i == 0 || i > 9 || i >= line.size() || line[i] != '\t') continue;
            const int number = std::atoi(line.substr(0, i).c_str());
            if (!texts_.insert_or_assign(number, Unescape(line.substr(i + 1))).second) duplicates_.push_back(number);
        }
    }
    return true;
}

const std::string& LanguagePack::Text(int number) const {
    static const std::string empty;
    auto it = texts_.find(number);
    return it == texts_.end() ? empty : it->second;
}

std::filesystem::path LanguagePackPath(const std::filesystem::path& programDir, int lang) {
    return programDir / ("TarvikD" + std::to_string(lang));
}

LanguagePack& CurrentLanguage() {
    static LanguagePack pack;
    return pack;
}

bool LoadLanguage(const std::filesystem::path& programDir, int lang, std::string& error) {
    auto path = LanguagePackPath(programDir, lang);
    LanguagePack pack;
    if (!pack.Load(path)) {
        error = "Can not find DLL !! " + path.string();
        return false;
    }
    CurrentLanguage() = std::move(pack);
    return true;
}

const std::string& GetText(int number) { return CurrentLanguage().Text(number); }

std::string FormatText(int number, const std::string& arg) { return FormatTextWith(GetText(number), arg); }

}  // namespace tarvik
