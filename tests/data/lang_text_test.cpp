#include <gtest/gtest.h>

#include "data/lang_text.hpp"
#include "data/settings.hpp"

namespace tarvik {
namespace {

class LangText : public ::testing::Test {
protected:
    void SetUp() override { saved_ = CurrentSettings(); }
    void TearDown() override { CurrentSettings() = saved_; }
    Settings saved_;
};

TEST_F(LangText, SectionLookupAndFallbacks) {
    EXPECT_EQ(GetLangText("[0:A][3:D]", "3"), "D");
    EXPECT_EQ(GetLangText("[0:A][3:D]", "1"), "A");  // missing language: section 0
    EXPECT_EQ(GetLangText("A", "3"), "A");           // unsectioned: every language
    EXPECT_EQ(GetLangText("[1:B]", "3"), "");         // neither the language nor section 0
    EXPECT_EQ(GetLangText("[3:D", "3"), "");          // not closed
    EXPECT_EQ(GetLangText("[0:A][3:", "3"), "");      // the language's section is not closed
    EXPECT_EQ(GetLangText("[0:][2:Water]", "2"), "Water");
    EXPECT_EQ(GetLangText("[0:][2:Water]", "1"), "");
    EXPECT_EQ(GetLangText("[11:K][1:B]", "1"), "B");  // "[1:" is not found inside "[11:"
    EXPECT_EQ(GetLangText("[ACME:x][0:y]", "ACME"), "x");  // company keys use the same form
    EXPECT_EQ(GetLangText("", "0"), "");
}

TEST_F(LangText, CurrentLanguageKey) {
    CurrentSettings().lang = 3;
    EXPECT_EQ(GetLangText("[0:A][3:D]", "-1"), "D");
    EXPECT_EQ(GetLangText("[0:A][3:D]", -1), "D");
    EXPECT_EQ(GetLangText("[0:A][3:D]", 0), "A");
    CurrentSettings().lang = 1;
    EXPECT_EQ(GetLangText("[0:A][3:D]", "-1"), "A");
}

TEST_F(LangText, MakeRepeatsThePlainTextInEveryLanguage) {
    EXPECT_EQ(MakeLangText("A", "", 4), "[0:A][1:A][2:A][3:A]");
    EXPECT_EQ(MakeLangText("A", "B", 4), "[0:A][1:A][2:B][3:A]");
    EXPECT_EQ(MakeLangText("A", "B", 2), "[0:A][1:A]");
    EXPECT_EQ(MakeLangText("[1:X]", "B", 4), "[1:X]");
    EXPECT_EQ(MakeLangText("", "", 3), "[0:][1:][2:]");
    CurrentSettings().langCount = 5;
    EXPECT_EQ(MakeLangText("A", ""), "[0:A][1:A][2:A][3:A][4:A]");
    for (int lang = 0; lang < 5; ++lang) EXPECT_EQ(GetLangText(MakeLangText("Kohout", ""), lang), "Kohout");
}

TEST_F(LangText, CompletionFillsMissingAndEmptySections) {
    EXPECT_EQ(CompleteLangText("[1:B]", 1, 4), "[1:B][0:B][2:B][3:B]");
    EXPECT_EQ(CompleteLangText("[0:][1:B][2:C]", 1, 4), "[0:B][1:B][2:C][3:B]");
    EXPECT_EQ(CompleteLangText("[0:A][2:C]", 1, 4), "[0:A][2:C]");   // no section for the language
    EXPECT_EQ(CompleteLangText("[0:A][1:]", 1, 4), "[0:A][1:]");     // nothing to fill with
    EXPECT_EQ(CompleteLangText("[0:A][1:B][2:C][3:D]", 0, 4), "[0:A][1:B][2:C][3:D]");
    const std::string completed = CompleteLangText("[2:Valve]", 2, 4);
    for (int lang = 0; lang < 4; ++lang) EXPECT_EQ(GetLangText(completed, lang), "Valve");
}

}  // namespace
}  // namespace tarvik
