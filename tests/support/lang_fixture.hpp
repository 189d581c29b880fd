#pragma once
// Loads a language pack from the source tree for the duration of a test.
#include <gtest/gtest.h>

#include <string>

#include "data/language.hpp"
#include "data/settings.hpp"

namespace tarvik::test {

inline void UseLanguage(int lang) {
    std::string error;
    ASSERT_TRUE(LoadLanguage(std::string(TARVIK_SOURCE_DIR) + "/lang", lang, error)) << error;
    CurrentSettings().lang = lang;
}

}  // namespace tarvik::test
