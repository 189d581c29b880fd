#pragma once
// The words of a calculation (log headings, warnings, names of flow regimes) are texts of the
// user's language. The calculation does not know the language packs: whoever starts it hands
// in the texts, and shows the messages the run reports in its outcome.
#include <string>

namespace tarvik {

class RunTexts {
public:
    virtual ~RunTexts() = default;
    // The text of the number, "" when there is none. The texts object holds it, so that a run
    // does not copy a text for every warning.
    virtual const std::string& Text(int number) const = 0;
};

}  // namespace tarvik
