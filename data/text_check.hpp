#pragma once
// Whether a text survives the files, which hold code page 1250. Every writer checks before it
// saves, so no character is ever replaced by "?" without the user being told which text holds
// it; the form checks a field when the user leaves it. No GUI here.
#include <concepts>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvik {

// "A character cannot be stored in code page 1250: %1. Nothing has been written …"
constexpr int kMsgTextNotStorable = 63940;

// True when every character of the UTF-8 text has a code page 1250 form.
bool FitsCp1250(std::string_view utf8);

// Where a text that does not fit stands, and its first such character.
struct TextProblem {
    std::string record;     // e.g. the position: its quoted name, or "#3" when the name itself is at fault
    std::string field;      // e.g. "note", "item 74", "units[2]"
    std::string character;  // the character as UTF-8 and its code point: "³ (U+00B3)"
};

// The problem of one text, or nullopt when it fits.
std::optional<TextProblem> CheckText(std::string_view utf8, std::string record = {}, std::string field = {});

// `"PV-101", note: ³ (U+00B3)`: the argument of message kMsgTextNotStorable.
std::string DescribeTextProblem(const TextProblem& problem);
// Message kMsgTextNotStorable in the current language.
std::string TextProblemMessage(const TextProblem& problem);

// Walks the texts of a document and keeps the first that does not fit.
class TextCheck {
public:
    void Check(std::string_view utf8, std::string_view record, std::string_view field) {
        if (!problem_ && !FitsCp1250(utf8)) problem_ = CheckText(utf8, std::string(record), std::string(field));
    }
    // The field's name is made only for a text that does not fit.
    template <std::invocable MakeField>
    void Check(std::string_view utf8, std::string_view record, MakeField&& makeField) {
        if (!problem_ && !FitsCp1250(utf8)) problem_ = CheckText(utf8, std::string(record), makeField());
    }
    const std::optional<TextProblem>& problem() const { return problem_; }

private:
    std::optional<TextProblem> problem_;
};

// The label of a record in a problem: its name in quotes when that fits, else "#<number>".
std::string RecordLabel(std::string_view name, std::size_t number);

// A save refused because a text does not fit; what() is the message in the current language.
class TextNotStorable : public std::runtime_error {
public:
    explicit TextNotStorable(TextProblem problem);
    const TextProblem& problem() const { return problem_; }

private:
    TextProblem problem_;
};

}  // namespace tarvik
