#include <gtest/gtest.h>

#include "support/numeric_locale.hpp"
#include "units/unit_grid_text.hpp"

namespace tarvik {
namespace {

TEST(UnitGridText, FormulaShowsOffsetOnlyWhenThere) {
    test::NumericLocale c("C");
    EXPECT_EQ(UnitFormulaText({"mbar", kQuantityPressure, 1, 0.0001, 0}), "0.0001x");
    EXPECT_EQ(UnitFormulaText({"°R", kQuantityTemperature, 2, 5.0 / 9.0, 0}), "0.5556x");
    EXPECT_EQ(UnitFormulaText({"barg", kQuantityPressure, 3, 0.1, 0.1013}), "0.1x+0.1013");
    EXPECT_EQ(UnitFormulaText({"x", kQuantityPressure, 4, 2, -273.15}), "2x-273.15");
    EXPECT_EQ(QuantityName(kQuantityMassFlow), "Hmotn.průtok");
    EXPECT_EQ(QuantityName(-1), "");
}

}  // namespace
}  // namespace tarvik
