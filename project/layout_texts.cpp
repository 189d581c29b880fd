#include "project/layout_texts.hpp"

#include <algorithm>
#include <cctype>

namespace tarvik {
namespace {

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '_': out += "__"; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
}

}  // namespace

ResolvedLayout ResolveLayoutTexts(const std::string& xml, const LanguagePack& pack) {
    ResolvedLayout r;
    r.xml.reserve(xml.size() * 2);
    for (std::size_t i = 0; i < xml.size(); ++i) {
        const char c = xml[i];
        if (c != '@') {
            r.xml += c;
            continue;
        }
        if (i + 1 < xml.size() && xml[i + 1] == '@') {
            r.xml += '@';
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < xml.size() && end - i <= 9 && std::isdigit(static_cast<unsigned char>(xml[end]))) ++end;
        if (end == i + 1) {
            r.xml += c;
            continue;
        }
        const int number = std::stoi(xml.substr(i + 1, end - i - 1));
        const std::string& text = pack.Text(number);
        if (text.empty() && std::find(r.missing.begin(), r.missing.end(), number) == r.missing.end())
            r.missing.push_back(number);
        AppendEscaped(r.xml, text);
        i = end - 1;
    }
    return r;
}

std::filesystem::path LayoutPath(const std::filesystem::path& programDir, int lang, const std::string& name) {
    const std::filesystem::path own = LanguagePackPath(programDir, lang) / "layouts" / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(own, ec)) return own;
    return programDir / "layouts" / name;
}

}  // namespace tarvik
