#include <clocale>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "data/number_text.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

using test::NumericLocale;

TEST(NumberText, FormatRemovesTrailingZerosOnly) {
    NumericLocale c("C");
    EXPECT_EQ(FormatNumber(2.5, 3), "2.5");
    EXPECT_EQ(FormatNumber(3.0, 3), "3");
    EXPECT_EQ(FormatNumber(100.0, 2), "100");
    EXPECT_EQ(FormatNumber(-1.50, 2), "-1.5");
    EXPECT_EQ(FormatNumber(0.1, 0), "0.1");
    EXPECT_EQ(FormatNumber(123.456, 0), "123.456");
    EXPECT_EQ(FormatNumber(0.000015, 0), "1.5e-5");
    EXPECT_EQ(FormatNumber(2.5e-10, 0), "2.5e-10");
    EXPECT_EQ(FormatNumber(1.5e20, 0), "1.5e+20");
    EXPECT_EQ(FormatNumber(15.0, 0), "15");
    // A text without a separator is returned as formatted, exponent and all.
    EXPECT_EQ(FormatNumber(1.0e-5, 0), "1e-05");
    EXPECT_EQ(FormatNumber(0.0, 3), "0");
}

TEST(NumberText, ParseAcceptsBothSeparatorsAndStopsAtGarbage) {
    NumericLocale c("C");
    EXPECT_DOUBLE_EQ(ParseNumber("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(ParseNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(ParseNumber("  \t-0.75 bar"), -0.75);
    EXPECT_DOUBLE_EQ(ParseNumber("1.234,5"), 1.234);
    EXPECT_DOUBLE_EQ(ParseNumber("2e3"), 2000.0);
    EXPECT_DOUBLE_EQ(ParseNumber("2e"), 2.0);
    EXPECT_DOUBLE_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("abc"), 0.0);
    EXPECT_EQ(ParseNumber(""), 0.0);
    EXPECT_EQ(ParseNumber("-"), 0.0);
    // Never NaN or infinity.
    EXPECT_EQ(ParseNumber("nan"), 0.0);
    EXPECT_EQ(ParseNumber("inf"), 0.0);
    EXPECT_EQ(ParseNumber("1e999"), 0.0);
    EXPECT_EQ(ParseNumber("0x10"), 0.0);
}

TEST(NumberText, DecimalCommaLocale) {
    NumericLocale cz("cs_CZ.UTF-8");
    if (!cz.ok()) GTEST_SKIP() << "cs_CZ.UTF-8 is not generated";
    EXPECT_EQ(LocaleDecimalSeparator().locale, ',');
    EXPECT_DOUBLE_EQ(ParseNumber("0.75"), 0.75);
    EXPECT_DOUBLE_EQ(ParseNumber("0,75"), 0.75);
    EXPECT_EQ(FormatNumber(2.5, 3), "2,5");
    EXPECT_EQ(FormatNumber(0.000015, 0), "1,5e-5");
    std::string text = "0.75";
    EXPECT_TRUE(NormaliseDecimalSeparators(text));
    EXPECT_EQ(text, "0,75");
    EXPECT_FALSE(NormaliseDecimalSeparators(text));
    EXPECT_EQ(text, "0,75");
}

TEST(NumberText, NominalSizes) {
    NumericLocale c("C");
    EXPECT_EQ(NominalSizeText("PN 16", 50), "DN50");
    EXPECT_EQ(NominalSizeText("PN40", 150), "DN150");
    EXPECT_EQ(NominalSizeText("Class 300", 50), "2\"");
    EXPECT_EQ(NominalSizeText("Class 300", 40), "1.1/2\"");
    EXPECT_EQ(NominalSizeText("", 81), "3\"");
    EXPECT_EQ(NominalSizeText("", 90), "3\"");
    EXPECT_EQ(NominalSizeText("", 100), "4\"");
    EXPECT_EQ(NominalSizeText("", 12), "");
    EXPECT_EQ(NominalSizeText("", 60), "");
}

}  // namespace
}  // namespace tarvik
