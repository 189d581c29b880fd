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
    EXPECT_EQ(CompleteLangText("[0:A][1:]", 1, 4), "[0:A][1:][2:][3:]");  // an empty section completes too
    EXPECT_EQ(CompleteLangText("[0:A][1:B][2:C][3:D]", 0, 4), "[0:A][1:B][2:C][3:D]");
    const std::string completed = CompleteLangText("[2:Valve]", 2, 4);
    for (int lang = 0; lang < 4; ++lang) EXPECT_EQ(GetLangText(completed, lang), "Valve");
}

TEST_F(LangText, CompletionInEveryLanguageAndLanguageCount) {
    struct Case { const char* text; int lang, langCount; const char* completed; };
    const Case cases[] = {
        {"[0:][2:Steel]", 0, 4, "[0:][2:Steel][1:][3:]"},  // the language's section is empty
        {"[0:Ocel][2:Steel]", 0, 4, "[0:Ocel][2:Steel][1:Ocel][3:Ocel]"},
        {"[0:Ocel][2:Steel]", 1, 4, "[0:Ocel][2:Steel]"},
        {"[0:Ocel][2:Steel]", 3, 4, "[0:Ocel][2:Steel]"},
        {"[3:Stahl][2:Steel]", 3, 4, "[3:Stahl][2:Steel][0:Stahl][1:Stahl]"},
        {"[1:Stal]", 1, 2, "[1:Stal][0:Stal]"},  // only the configured languages are added
        {"[0:][1:Stal][3:]", 1, 2, "[0:Stal][1:Stal][3:]"},
        {"[3:Stahl]", 3, 2, "[3:Stahl][0:Stahl][1:Stahl]"},
        {"[0:Ocel", 0, 4, "[0:Ocel"},  // not closed: no text to complete from
        {"Ocel", 0, 4, "Ocel"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompleteLangText(c.text, c.lang, c.langCount), c.completed) << c.text << " " << c.lang << "/" << c.langCount;
}

}  // namespace
}  // namespace tarvik
