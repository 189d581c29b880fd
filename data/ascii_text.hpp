#pragma once
// Small text helpers for names and keys that are plain ASCII (file names, script keys, server
// facts): case folding that leaves other bytes alone, and trimming blanks, tabs and CR.
#include <cctype>
#include <string>
#include <string_view>

namespace tarvik {

inline std::string AsciiLower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

inline bool EndsWithNoCase(std::string_view s, std::string_view lowerSuffix) {
    return s.size() >= lowerSuffix.size() && AsciiLower(std::string(s.substr(s.size() - lowerSuffix.size()))) == lowerSuffix;
}

// Without leading and trailing blanks, tabs and carriage returns.
inline std::string TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace tarvik
