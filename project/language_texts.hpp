#pragma once
// The calculation in the user's language: its texts come from the language pack in force (read at
// each use, so a change of language shows at once) and its messages go to the message sink.
#include "calc/calculation_run.hpp"
#include "calc/run_texts.hpp"

namespace tarvik {

class LanguageTexts final : public RunTexts {
public:
    const std::string& Text(int number) const override;
};

// One shared instance; it holds no state.
const RunTexts& CurrentLanguageTexts();

// Runs the calculation with the current language's texts and shows its messages.
RunOutcome RunInCurrentLanguage(ProcessData& data, const RunOptions& options = {});

}  // namespace tarvik
