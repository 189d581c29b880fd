#include <string>

#include <gtest/gtest.h>

#include "data/cp1250.hpp"

namespace tarvik {
namespace {

TEST(Cp1250, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1250ToUtf8(byte);
        bool lossy = true;
        EXPECT_EQ(Utf8ToCp1250(utf8, &lossy), byte) << "byte " << b;
        EXPECT_FALSE(lossy) << "byte " << b;
    }
    // The undefined bytes become the C1 control of the same value.
    EXPECT_EQ(Cp1250ToUtf8("\x81\x83\x88\x90\x98"), "\u0081\u0083\u0088\u0090\u0098");
}

TEST(Cp1250, CentralEuropeanLetters) {
    const std::string czech = "Příliš žluťoučký kůň úpěl ďábelské ódy";
    const std::string polish = "Zażółć gęślą jaźń ŁŚŹ";
    const std::string german = "Größe Ventil Äußere Öffnung Übergang";
    for (const auto& text : {czech, polish, german}) {
        bool lossy = true;
        const std::string bytes = Utf8ToCp1250(text, &lossy);
        EXPECT_FALSE(lossy) << text;
        EXPECT_EQ(Cp1250ToUtf8(bytes), text);
    }
    EXPECT_EQ(Utf8ToCp1250("řŘšŠ€°"), "\xF8\xD8\x9A\x8A\x80\xB0");
    EXPECT_EQ(Cp1250ToUtf8("\xB9\xA5\xE6\xC6"), "ąĄćĆ");
}

TEST(Cp1250, CharactersWithoutAFormBecomeQuestionMarks) {
    bool lossy = false;
    EXPECT_EQ(Utf8ToCp1250("m³/h", &lossy), "m?/h");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Utf8ToCp1250("m²", &lossy), "m?");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Utf8ToCp1250("日本 😀", &lossy), "?? ?");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Utf8ToCp1250("plain", &lossy), "plain");
    EXPECT_FALSE(lossy);
}

TEST(Cp1250, InvalidUtf8IsReplacedNotPassedThrough) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"a\xFF" "b", "a?b"},           // never valid
        {"a\x80" "b", "a?b"},           // stray continuation byte
        {"a\xC3", "a?"},                // truncated at the end
        {"\xC3" "b", "?b"},             // lead without its continuation
        {"\xC0\xAF", "??"},             // overlong "/"
        {"\xE0\x80\xAF", "?"},          // overlong three-byte form
        {"\xED\xA0\x80", "?"},          // UTF-16 surrogate
        {"\xF4\x90\x80\x80", "?"},      // beyond U+10FFFF
        {"\xE2\x82", "?"},              // truncated euro sign
    };
    for (const auto& c : cases) {
        bool lossy = false;
        EXPECT_EQ(Utf8ToCp1250(c.in, &lossy), c.out);
        EXPECT_TRUE(lossy);
    }
}

}  // namespace
}  // namespace tarvik
