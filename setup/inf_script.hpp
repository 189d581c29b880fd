#pragma once
// Installation scripts in the INF format, the subset the installer and uninstaller use:
// "[Section]" headers, "Key=Value" directives, plain list lines, ";" comments, quoted fields,
// and "%name%" replaced from the [Strings] section (or from values the caller defines).
// Section names match without regard to case. No wx here: the interpreter is core code.
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik::setup {

class InfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class InfScript {
public:
    // Reads the script text. Throws InfError for text that is not a script (NUL bytes, lines
    // outside any section, an unterminated section header or quote, over-long input).
    static InfScript Parse(const std::string& text);

    bool HasSection(const std::string& name) const;
    // The section's lines with comments removed, blanks trimmed and empty lines dropped, in
    // order; an empty list for a missing section.
    std::vector<std::string> Lines(const std::string& section) const;
    // The value of "key = value" in the section (first match, key case-insensitive).
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    // Every "key = value" of the section, in order, keys as written.
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

    // Defines a "%name%" replacement in addition to those of [Strings].
    void Define(const std::string& name, const std::string& value);

    // Splits a line or a value at commas; fields are trimmed, quotes removed ("" inside quotes
    // stands for one quote) and "%name%" replaced. An unknown name stays as written.
    std::vector<std::string> Fields(const std::string& text) const;

private:
    std::map<std::string, std::vector<std::string>> sections_;  // lower-case name -> lines
    std::map<std::string, std::string> strings_;                 // lower-case name -> value
    std::string Substitute(const std::string& field) const;
};

}  // namespace tarvik::setup
