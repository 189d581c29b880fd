#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "data/text_check.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

TEST(TextCheck, FindsTheFirstCharacterWithoutACodePageForm) {
    struct Case {
        std::string text;
        std::string shown;  // "" = the text fits
    };
    const Case cases[] = {
        {"", ""},
        {"Příliš žluťoučký kůň; Zażółć gęślą; Größe € °", ""},
        {"\u0081\u0098", ""},                 // the undefined bytes as read: they must save again
        {"m³/h ²", "³ (U+00B3)"},             // the first of two
        {"DN\u200B50", "\u200B (U+200B)"},    // invisible: the code point tells it
        {"ok 😀", "😀 (U+1F600)"},
        {"a\xFF" "b", "bytes 0xFF"},          // invalid UTF-8
        {"\xE2\x82", "bytes 0xE2 0x82"},      // a truncated sequence at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsCp1250(c.text), c.shown.empty()) << c.text;
        const auto problem = CheckText(c.text, "\"FV1\"", "note");
        ASSERT_EQ(problem.has_value(), !c.shown.empty()) << c.text;
        if (problem) {
            EXPECT_EQ(DescribeTextProblem(*problem), "\"FV1\", note: " + c.shown);
        }
    }
    EXPECT_EQ(RecordLabel("PV-2 Žatec", 2), "\"PV-2 Žatec\"");
    EXPECT_EQ(RecordLabel("PV-2 ³", 2), "#2");
}

TEST(TextCheck, AWriterThatLostACharacterSavesNothing) {
    test::UseLanguage(2);
    const fs::path path = fs::temp_directory_path() / ("tarvik_text_check_" + std::to_string(::getpid()) + ".tkd");
    std::ofstream(path, std::ios::binary) << "previous bytes";
    ArchiveWriter out;
    out.WriteInt32(7);
    out.WriteText("m³/h");
    try {
        out.SaveAtomically(path);
        ADD_FAILURE() << "saved";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("text at byte 4: ³ (U+00B3)"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("code page 1250"), std::string::npos) << e.what();
    }
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(s.str(), "previous bytes");
    fs::remove(path);
}

}  // namespace
}  // namespace tarvik
