#pragma once
// Windows code page 1250 <-> UTF-8, lossless both ways: the five byte values the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 controls U+0081 … U+0098 and back.
#include <string>
#include <string_view>

namespace tarvik {

std::string Cp1250ToUtf8(std::string_view bytes);
// Appends the UTF-8 form of one code point (U+0000 to U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);
// Characters without a code page 1250 form become "?" (and `lossy` is set when given).
std::string Utf8ToCp1250(std::string_view utf8, bool* lossy = nullptr);

// The first character without a code page 1250 form; an invalid UTF-8 sequence counts as one.
struct NonCp1250 {
    std::size_t offset = std::string_view::npos;  // npos: the whole text has a form
    std::size_t length = 0;                       // bytes of the character or invalid sequence
    char32_t codePoint = 0;                       // when !invalid
    bool invalid = false;
};
NonCp1250 FindNonCp1250(std::string_view utf8);

}  // namespace tarvik
