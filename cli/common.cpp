#include "cli/common.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"

namespace tarvik::cli {

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value,
                std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
        if (args[i].rfind(name + "=", 0) == 0) {
            value = args[i].substr(name.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i)
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    return false;
}

bool ParseIntArg(const std::string& text, int& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000000L || v > 1000000000L) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseDoubleArg(const std::string& text, double& value) {
    // Option values are read independently of the locale; "," is taken as a decimal point too.
    std::string t = text;
    for (char& c : t)
        if (c == ',') c = '.';
    double v = 0;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (first != last && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (t.empty() || ec != std::errc() || ptr != last || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ApplyCommonOptions(std::vector<std::string>& args, std::string& error) {
    std::string dir, lang, langCount;
    error.clear();
    bool hasDir = TakeOption(args, "--program-dir", dir, error);
    if (!error.empty()) return false;
    bool hasLang = TakeOption(args, "--lang", lang, error);
    if (!error.empty()) return false;
    bool hasLangCount = TakeOption(args, "--lang-count", langCount, error);
    if (!error.empty()) return false;

    if (hasDir) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec)) {
            error = "program folder not found: " + dir;
            return false;
        }
        SetProgramDir(dir);
    }
    Settings settings = LoadSettings();
    if (hasLang) {
        if (!ParseIntArg(lang, settings.lang) || settings.lang < 0) {
            error = "--lang takes a language index (0 Czech, 1 Polish, 2 English, 3 German), not '" + lang + "'";
            return false;
        }
    }
    if (hasLangCount) {
        if (!ParseIntArg(langCount, settings.langCount) || settings.langCount < 1 || settings.langCount > 100) {
            error = "--lang-count takes a number of languages from 1 to 100, not '" + langCount + "'";
            return false;
        }
    }
    CurrentSettings() = settings;
    return LoadLanguage(ProgramDir(), settings.lang, error);
}

}  // namespace tarvik::cli
