#pragma once
// Configuration files in the classic profile format ("[Section]" headers, "Key=Value" lines),
// read and written with the semantics the program relies on: section and key names match
// without regard to case, a missing key gives the caller's default, text values are cut at
// 255 characters, and integer reads skip leading blanks and tabs.
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik {

class IniProfile {
public:
    // Reads the file; a missing or unreadable file gives an empty profile (all defaults).
    static IniProfile Load(const std::filesystem::path& path);

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = "") const;
    // Leading blanks and tabs are skipped, then an optional sign and decimal digits are read;
    // a value that does not start with a number reads as 0. A missing key gives def.
    int GetInt(const std::string& section, const std::string& key, int def) const;
    bool Has(const std::string& section, const std::string& key) const;

    void SetString(const std::string& section, const std::string& key, const std::string& value);
    // Removes the key (no error when it is missing); a section left empty is dropped.
    void Remove(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);
    // Writes the profile to a temporary file beside the target and renames it over the target.
    // Returns false (and leaves the old file) when that is not possible.
    bool Save(const std::filesystem::path& path) const;

private:
    struct Entry { std::string key, value; };
    struct Section { std::string name; std::vector<Entry> entries; };
    const Entry* Find(const std::string& section, const std::string& key) const;
    std::vector<Section> sections_;
};

}  // namespace tarvik
