#include "cli/common.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>


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

namespace {

std::unique_ptr<Session>& OpenSession() {
    static std::unique_ptr<Session> session;
    return session;
}

}  // namespace

bool ApplyCommonOptions(std::vector<std::string>& args, std::string& error) {
    std::string dir, lang, langCount, admin;
    error.clear();
    bool hasDir = TakeOption(args, "--program-dir", dir, error);
    if (!error.empty()) return false;
    bool hasLang = TakeOption(args, "--lang", lang, error);
    if (!error.empty()) return false;
    bool hasLangCount = TakeOption(args, "--lang-count", langCount, error);
    if (!error.empty()) return false;
    bool hasAdmin = TakeOption(args, "--admin", admin, error);
    if (!error.empty()) return false;

    SessionOptions options;
    if (hasDir) {
        if (dir.empty()) {
            error = "program folder not found: " + dir;
            return false;
        }
        options.programDir = dir;
    }
    int value = 0;
    if (hasLang) {
        if (!ParseIntArg(lang, value) || value < 0) {
            error = "--lang takes a language index (0 Czech, 1 Polish, 2 English, 3 German), not '" + lang + "'";
            return false;
        }
        options.lang = value;
    }
    if (hasLangCount) {
        if (!ParseIntArg(langCount, value) || value < 1 || value > 100) {
            error = "--lang-count takes a number of languages from 1 to 100, not '" + langCount + "'";
            return false;
        }
        options.langCount = value;
    }
    if (hasAdmin) {
        if (admin != "0" && admin != "1") {
            error = "--admin takes 1 (administrator mode) or 0, not '" + admin + "'";
            return false;
        }
        options.admin = admin == "1";
    }
    OpenSession() = Session::Open(options, error);
    return OpenSession() != nullptr;
}

Session& CurrentSession() { return *OpenSession(); }

void CloseSession() { OpenSession().reset(); }

}  // namespace tarvik::cli
