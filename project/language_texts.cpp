#include "project/language_texts.hpp"

#include "data/language.hpp"
#include "data/messages.hpp"

namespace tarvik {

const std::string& LanguageTexts::Text(int number) const { return GetText(number); }

const RunTexts& CurrentLanguageTexts() {
    static const LanguageTexts texts;
    return texts;
}

RunOutcome RunInCurrentLanguage(ProcessData& data, const RunOptions& options) {
    RunOutcome outcome = RunCalculation(data, CurrentLanguageTexts(), options);
    for (const RunMessage& m : outcome.messages) ShowMessage(m.number, m.arg);
    return outcome;
}

}  // namespace tarvik
