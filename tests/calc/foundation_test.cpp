#include <gtest/gtest.h>

#include "calc/calc_log.hpp"
#include "calc/rounding.hpp"
#include "calc/warnings.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

TEST(RoundValue, SignificantDigitsAndDecimals) {
    EXPECT_DOUBLE_EQ(RoundValue(123.456789, -1, 5), 123.46);
    EXPECT_DOUBLE_EQ(RoundValue(0.000123456, -1, 4), 0.0001235);
    EXPECT_DOUBLE_EQ(RoundValue(2.5, 3, -1), 2.5);
    EXPECT_DOUBLE_EQ(RoundValue(-1.23456, 3, -1), -1.235);
    EXPECT_DOUBLE_EQ(RoundValue(99999.5, -1, 5), 100000.0);
    EXPECT_EQ(RoundValue(0.0, -1, 5), 0.0);
}

TEST(Warnings, MarksKnownFieldsOnly) {
    std::string message;
    ResultMarks marks;
    AddWarning(ResultField::Kv, 0, "A", message, marks);
    AddWarning(ResultField::Velocity, 1, "B", message, marks);
    AddWarning(ResultField::Noise, 2, "C", message, marks);
    AddWarning(ResultField::None, -1, "D", message, marks);
    AddWarning(ResultField::Kv, 3, "E", message, marks);
    EXPECT_EQ(message, "ABCDE");
    EXPECT_EQ(marks, (ResultMarks{{ResultField::Kv, 0}, {ResultField::Velocity, 1}, {ResultField::Noise, 2}}));
}

TEST(CalcLog, LinesUseTheNumberFormatter) {
    test::NumericLocale c("C");
    CalcLog log;
    log.Line("p1 = ", 1000000.0, 0, " Pa");
    log.Line("ro1 = ", 998.2, 3);
    log.Write("end\n");
    EXPECT_EQ(log.text(), "p1 = 1000000 Pa\nro1 = 998.2\nend\n");
}

}  // namespace
}  // namespace tarvik
