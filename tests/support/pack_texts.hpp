#pragma once
// The calculation's texts from the language pack the test has loaded.
#include <string>

#include "calc/run_texts.hpp"
#include "data/language.hpp"

namespace tarvik::test {

class PackTexts final : public RunTexts {
public:
    const std::string& Text(int number) const override { return GetText(number); }
};

inline const RunTexts& Texts() {
    static const PackTexts texts;
    return texts;
}

}  // namespace tarvik::test
