#include "data/lang_text.hpp"

#include "data/settings.hpp"

namespace tarvik {
namespace {

std::string SectionOpening(std::string_view key) {
    std::string s = "[";
    s += key;
    s += ':';
    return s;
}

// Position of the text of the section `key` and its length; false when the section is absent
// or not closed.
bool FindSection(std::string_view text, std::string_view key, std::size_t& start, std::size_t& length) {
    const std::string opening = SectionOpening(key);
    const std::size_t at = text.find(opening);
    if (at == std::string_view::npos) return false;
    const std::size_t end = text.find(']', at);
    if (end == std::string_view::npos) return false;
    start = at + opening.size();
    length = end - start;
    return true;
}

}  // namespace

std::string GetLangText(std::string_view text, std::string_view key) {
    if (text.find('[') == std::string_view::npos) return std::string(text);
    std::string resolved = key == "-1" ? std::to_string(CurrentSettings().lang) : std::string(key);
    std::string_view k = resolved;
    if (text.find(SectionOpening(k)) == std::string_view::npos) k = "0";
    std::size_t start = 0, length = 0;
    if (!FindSection(text, k, start, length)) return {};
    return std::string(text.substr(start, length));
}

std::string GetLangText(std::string_view text, int index) {
    return GetLangText(text, std::to_string(index));
}

std::string MakeLangText(std::string_view text, std::string_view second) {
    return MakeLangText(text, second, CurrentSettings().langCount);
}

std::string MakeLangText(std::string_view text, std::string_view second, int langCount) {
    if (text.find('[') != std::string_view::npos) return std::string(text);
    std::string out;
    for (int i = 0; i < langCount; ++i) {
        out += SectionOpening(std::to_string(i));
        out += (i == 2 && !second.empty()) ? second : text;
        out += ']';
    }
    return out;
}

std::string CompleteLangText(std::string_view text, int lang, int langCount) {
    std::size_t start = 0, length = 0;
    // An empty section for the language completes the text as well (missing sections are
    // appended empty): projects store the completed choice texts and must get the same text.
    if (!FindSection(text, std::to_string(lang), start, length)) return std::string(text);
    const std::string fill(text.substr(start, length));
    std::string out(text);
    for (int i = 0; i < langCount; ++i) {
        const std::string opening = SectionOpening(std::to_string(i));
        const std::size_t at = out.find(opening);
        if (at == std::string::npos) {
            out += opening + fill + "]";
        } else if (out.compare(at + opening.size(), 1, "]") == 0) {
            out.insert(at + opening.size(), fill);
        }
    }
    return out;
}

}  // namespace tarvik
