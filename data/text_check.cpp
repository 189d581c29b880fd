#include "data/text_check.hpp"

#include <cstdio>

#include "data/cp1250.hpp"
#include "data/language.hpp"

namespace tarvik {
namespace {

// The character and its code point, since it may be invisible (a zero-width space); an invalid
// sequence by its bytes.
std::string ShowCharacter(std::string_view text, const NonCp1250& found) {
    const std::string_view s = text.substr(found.offset, found.length);
    char buffer[16];
    if (!found.invalid) {
        std::snprintf(buffer, sizeof buffer, " (U+%04X)", static_cast<unsigned>(found.codePoint));
        return std::string(s) + buffer;
    }
    std::string shown = "bytes";
    for (char c : s) {
        std::snprintf(buffer, sizeof buffer, " 0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        shown += buffer;
    }
    return shown;
}

}  // namespace

bool FitsCp1250(std::string_view utf8) { return FindNonCp1250(utf8).offset == std::string_view::npos; }

std::optional<TextProblem> CheckText(std::string_view utf8, std::string record, std::string field) {
    const NonCp1250 found = FindNonCp1250(utf8);
    if (found.offset == std::string_view::npos) return std::nullopt;
    return TextProblem{std::move(record), std::move(field), ShowCharacter(utf8, found)};
}

std::string DescribeTextProblem(const TextProblem& problem) {
    std::string text = problem.record;
    if (!problem.field.empty()) text += (text.empty() ? "" : ", ") + problem.field;
    return text + (text.empty() ? "" : ": ") + problem.character;
}

std::string TextProblemMessage(const TextProblem& problem) {
    const std::string arg = DescribeTextProblem(problem);
    const std::string text = FormatText(kMsgTextNotStorable, arg);
    return text.empty() ? "message " + std::to_string(kMsgTextNotStorable) + ": " + arg : text;
}

std::string RecordLabel(std::string_view name, std::size_t number) {
    if (FitsCp1250(name)) return "\"" + std::string(name) + "\"";
    return "#" + std::to_string(number);
}

TextNotStorable::TextNotStorable(TextProblem problem)
    : std::runtime_error(TextProblemMessage(problem)), problem_(std::move(problem)) {}

}  // namespace tarvik
