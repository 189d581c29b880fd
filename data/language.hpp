#pragma once
// Language packs: every user-visible text of the program, by number.
//
// A pack is the folder "TarvikD<Lang>" in the program folder. Each *.txt file in it holds lines
//   <number><TAB><text>
// in UTF-8, where the text may use the escapes \n, \t and \\. Lines starting with "#" and empty
// lines are ignored. Files are read in name order; a later definition of a number wins.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/text_format.hpp"

namespace tarvik {

class LanguagePack {
public:
    // Loads the pack folder. Returns false when the folder does not exist or holds no text file.
    bool Load(const std::filesystem::path& folder);
    // The text for the number, "" when the pack lacks it.
    const std::string& Text(int number) const;
    std::size_t size() const { return texts_.size(); }
    const std::map<int, std::string>& Texts() const { return texts_; }
    // Numbers the loaded files define more than once, in reading order: only the last
    // definition shows, so a pack that has any is wrong.
    const std::vector<int>& Duplicates() const { return duplicates_; }
    void Set(int number, std::string text) { texts_[number] = std::move(text); }

private:
    std::map<int, std::string> texts_;
    std::vector<int> duplicates_;
};

std::filesystem::path LanguagePackPath(const std::filesystem::path& programDir, int lang);

// The pack in force for this process.
LanguagePack& CurrentLanguage();
// Loads the pack of language `lang` from the program folder into CurrentLanguage().
// On failure returns false and sets `error` to "Can not find DLL !!" followed by the path.
bool LoadLanguage(const std::filesystem::path& programDir, int lang, std::string& error);

// The text of the number in the current pack ("" when missing).
const std::string& GetText(int number);
// The text with every "%1" replaced by the argument.
std::string FormatText(int number, const std::string& arg);

}  // namespace tarvik
