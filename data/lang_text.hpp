#pragma once
// Multilingual texts: "[0:Ventil][1:Zawór][2:Valve]" carries one section per language index (or
// per company index). A text without "[" is the same in every language.
#include <string>
#include <string_view>

namespace tarvik {

// The section for `key` (decimal text); "-1" means the current language. Falls back to section 0;
// a sectioned text without either section, or whose section is not closed by "]", gives "".
std::string GetLangText(std::string_view text, std::string_view key);
// The same with the language index as a number (-1 = current language).
std::string GetLangText(std::string_view text, int index);

// The multilingual form of a plain text: one section per language 0 .. langCount - 1, section 2
// taking `second` when that is not empty. A text that already has sections is returned as it is.
std::string MakeLangText(std::string_view text, std::string_view second);
std::string MakeLangText(std::string_view text, std::string_view second, int langCount);

// Fills the gaps of a catalogue text from the section of language `lang`: every section
// 0 .. langCount - 1 that is missing is appended and every empty one is filled with that text,
// even when that text is empty. A text without a (closed) section for `lang` is returned unchanged.
std::string CompleteLangText(std::string_view text, int lang, int langCount);

}  // namespace tarvik
