#pragma once
// Window layouts (XRC) are language-neutral: a label, caption or tooltip names a text number as
// "@62001", which is replaced by the pack's text when the layout is loaded. A pack may bring its
// own copy of a layout in TarvikD<N>/layouts/ that takes precedence.
#include <filesystem>
#include <string>
#include <vector>

#include "data/language.hpp"

namespace tarvik {

struct ResolvedLayout {
    std::string xml;
    std::vector<int> missing;  // text numbers the pack lacks (each once, in order of appearance)
};

// Replaces every "@<digits>" by the text, escaped for XML and for XRC labels ("_" and "\" are
// XRC's own escapes). "@@" stands for a single "@".
ResolvedLayout ResolveLayoutTexts(const std::string& xml, const LanguagePack& pack);

// The layout file to load: TarvikD<lang>/layouts/<name> when the pack has it, else layouts/<name>.
std::filesystem::path LayoutPath(const std::filesystem::path& programDir, int lang, const std::string& name);

}  // namespace tarvik
