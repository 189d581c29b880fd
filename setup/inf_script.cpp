#include "setup/inf_script.hpp"

#include <algorithm>
#include <cctype>

#include "data/ascii_text.hpp"

namespace tarvik::setup {
namespace {

// Installation scripts are a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxScript = 4 * 1024 * 1024;

// The line without its comment: ";" outside quotes starts one.
std::string StripComment(const std::string& line, std::size_t lineNo) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] == ';' && !quoted) return line.substr(0, i);
    }
    if (quoted) throw InfError("line " + std::to_string(lineNo) + ": unterminated quote");
    return line;
}

// Position of the first "=" outside quotes, npos when there is none.
std::size_t FindEquals(const std::string& line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] == '=' && !quoted) return i;
    }
    return std::string::npos;
}

std::string Unquote(const std::string& field) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '"') {
            if (quoted && i + 1 < field.size() && field[i + 1] == '"') {
                out += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace

InfScript InfScript::Parse(const std::string& text) {
    if (text.size() > kMaxScript) throw InfError("the script is too large");
    if (text.find('\0') != std::string::npos) throw InfError("the script is not a text file");
    InfScript inf;
    std::vector<std::string>* current = nullptr;
    std::size_t start = 0, lineNo = 0;
    // A UTF-8 byte order mark is allowed at the start.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNo;
        std::string line = TrimBlanks(StripComment(text.substr(start, end - start), lineNo));
        start = end + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.back() != ']') throw InfError("line " + std::to_string(lineNo) + ": unterminated section name");
            std::string name = AsciiLower(TrimBlanks(line.substr(1, line.size() - 2)));
            if (name.empty()) throw InfError("line " + std::to_string(lineNo) + ": empty section name");
            current = &inf.sections_[name];  // a repeated section continues the first
            continue;
        }
        if (!current) throw InfError("line " + std::to_string(lineNo) + ": text outside a section");
        current->push_back(line);
    }
    for (const auto& [key, value] : inf.Entries("Strings"))
        inf.strings_[AsciiLower(key)] = Unquote(value);
    return inf;
}

bool InfScript::HasSection(const std::string& name) const { return sections_.count(AsciiLower(name)) != 0; }

std::vector<std::string> InfScript::Lines(const std::string& section) const {
    auto it = sections_.find(AsciiLower(section));
    return it == sections_.end() ? std::vector<std::string>{} : it->second;
}

std::vector<std::pair<std::string, std::string>> InfScript::Entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& line : Lines(section)) {
        std::size_t eq = FindEquals(line);
        if (eq == std::string::npos) continue;
        out.emplace_back(TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1)));
    }
    return out;
}

std::optional<std::string> InfScript::Value(const std::string& section, const std::string& key) const {
    const std::string k = AsciiLower(key);
    for (const auto& [name, value] : Entries(section))
        if (AsciiLower(name) == k) return value;
    return std::nullopt;
}

void InfScript::Define(const std::string& name, const std::string& value) { strings_[AsciiLower(name)] = value; }

std::string InfScript::Substitute(const std::string& field) const {
    std::string out;
    std::size_t i = 0;
    while (i < field.size()) {
        std::size_t open = field.find('%', i);
        if (open == std::string::npos) break;
        std::size_t close = field.find('%', open + 1);
        if (close == std::string::npos) break;
        out += field.substr(i, open - i);
        const std::string name = field.substr(open + 1, close - open - 1);
        if (name.empty()) {
            out += '%';  // "%%" is a literal percent sign
        } else if (auto it = strings_.find(AsciiLower(name)); it != strings_.end()) {
            out += it->second;
        } else {
            out += field.substr(open, close - open + 1);
        }
        i = close + 1;
    }
    out += field.substr(i);
    return out;
}

std::vector<std::string> InfScript::Fields(const std::string& text) const {
    std::vector<std::string> out;
    std::string field;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            out.push_back(Substitute(Unquote(TrimBlanks(field))));
            field.clear();
            continue;
        }
        field += c;
    }
    out.push_back(Substitute(Unquote(TrimBlanks(field))));
    return out;
}

}  // namespace tarvik::setup
