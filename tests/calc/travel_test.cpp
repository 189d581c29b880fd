// Travel on the inherent characteristic and coefficients over the travel.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/travel.hpp"

namespace tarvik {
namespace {

const CoefficientTable kLinearTable{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const CoefficientTable kNoTable{};

TEST(CharacteristicCodes, MapBothWays) {
    for (int code = 0; code < 4; ++code) {
        const Characteristic c = CharacteristicFromCode(code);
        EXPECT_NE(c, Characteristic::Unknown);
        EXPECT_EQ(CharacteristicToCode(c), code);
    }
    EXPECT_EQ(CharacteristicFromCode(4), Characteristic::Unknown);
    EXPECT_EQ(CharacteristicFromCode(-1), Characteristic::Unknown);
    EXPECT_EQ(CharacteristicToCode(Characteristic::Unknown), -1);
}

TEST(TravelFromKv, LinearAndEqualPercentage) {
    EXPECT_DOUBLE_EQ(TravelFromKv(2.5, 10, Characteristic::Linear, kNoTable), 0.25);
    EXPECT_DOUBLE_EQ(TravelFromKv(10, 10, Characteristic::EqualPercentage, kNoTable), 1.0);
    EXPECT_NEAR(TravelFromKv(0.2, 10, Characteristic::EqualPercentage, kNoTable), 0.0, 1e-15);
    EXPECT_NEAR(TravelFromKv(10 / std::sqrt(50.0), 10, Characteristic::EqualPercentage, kNoTable),
                0.5, 1e-12);
    // Below 2 % of Kvs the equal-percentage travel would be negative.
    EXPECT_EQ(TravelFromKv(0.1, 10, Characteristic::EqualPercentage, kNoTable), 0.0);
}

TEST(TravelFromKv, DegenerateInputGivesZeroNeverNaN) {
    EXPECT_EQ(TravelFromKv(5, 10, Characteristic::OnOff, kLinearTable), 0.0);
    EXPECT_EQ(TravelFromKv(5, 10, Characteristic::Unknown, kLinearTable), 0.0);
    const double nan = std::nan("");
    for (Characteristic c : {Characteristic::Linear, Characteristic::EqualPercentage,
                             Characteristic::Table}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_EQ(TravelFromKv(5, 0, c, kLinearTable), c == Characteristic::Table ? 0.5 : 0.0);
        EXPECT_EQ(TravelFromKv(0, 10, c, kLinearTable), 0.0);
        EXPECT_EQ(TravelFromKv(-1, 10, c, kLinearTable), 0.0);
        EXPECT_EQ(TravelFromKv(nan, 10, c, kLinearTable), 0.0);
        EXPECT_EQ(TravelFromKv(5, nan, c, kLinearTable), 0.0);
        EXPECT_EQ(TravelFromKv(INFINITY, 10, c, kLinearTable), 0.0);
    }
}

TEST(TravelFromKv, TableInterpolatesBetweenNeighbours) {
    const Characteristic t = Characteristic::Table;
    EXPECT_DOUBLE_EQ(TravelFromKv(2.5, 10, t, kLinearTable), 0.25);
    EXPECT_DOUBLE_EQ(TravelFromKv(9.5, 10, t, kLinearTable), 0.95);
    EXPECT_DOUBLE_EQ(TravelFromKv(10, 10, t, kLinearTable), 1.0);
    EXPECT_EQ(TravelFromKv(11, 10, t, kLinearTable), 1.0);
    EXPECT_EQ(TravelFromKv(0, 10, t, kLinearTable), 0.0);  // at t[0]: no lower neighbour

    const CoefficientTable curved{0.5, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512};
    EXPECT_EQ(TravelFromKv(0.3, 600, t, curved), 0.0);  // below t[0]
    EXPECT_DOUBLE_EQ(TravelFromKv(6, 600, t, curved), 0.35);
}

TEST(TravelFromKv, FlatOrFallingTablesNeverDivideByZero) {
    const Characteristic t = Characteristic::Table;
    const CoefficientTable flat{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    EXPECT_EQ(TravelFromKv(4, 10, t, flat), 0.0);
    EXPECT_EQ(TravelFromKv(5, 10, t, flat), 0.0);
    EXPECT_EQ(TravelFromKv(6, 10, t, flat), 1.0);
    const CoefficientTable stepped{0, 2, 2, 2, 4, 6, 8, 10, 12, 14, 16};
    EXPECT_DOUBLE_EQ(TravelFromKv(3, 16, t, stepped), 0.35);
    const CoefficientTable falling{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(TravelFromKv(20, 10, t, falling), 1.0);
    EXPECT_EQ(TravelFromKv(5, 10, t, falling), 1.0);  // above the last entry
    EXPECT_EQ(TravelFromKv(0, 10, t, falling), 0.0);
    CoefficientTable broken = kLinearTable;
    broken[4] = std::nan("");
    EXPECT_EQ(TravelFromKv(5, 10, t, broken), 0.0);
}

TEST(CoefficientAtTravel, TwoPointModeExtrapolatesFromSeventyFivePercent) {
    CoefficientTable t{};
    t[0] = 0.9;
    t[10] = 0.6;
    const Characteristic lin = Characteristic::Linear;
    EXPECT_NEAR(CoefficientAtTravel(t, 3.75, 10, false, lin, kNoTable), 0.75, 1e-12);
    EXPECT_NEAR(CoefficientAtTravel(t, 7.5, 10, false, lin, kNoTable), 0.6, 1e-12);
    EXPECT_NEAR(CoefficientAtTravel(t, 10, 10, false, lin, kNoTable), 0.5, 1e-12);
    EXPECT_NEAR(CoefficientAtTravel(t, 12, 10, false, lin, kNoTable), 0.5, 1e-12);
    EXPECT_EQ(CoefficientAtTravel(t, 5, 0, false, lin, kNoTable), 0.9);
    EXPECT_EQ(CoefficientAtTravel(t, 5, -10, false, lin, kNoTable), 0.9);
}

TEST(CoefficientAtTravel, TableModeInterpolatesOverTheOpening) {
    const CoefficientTable fl{0.9, 0.89, 0.88, 0.87, 0.86, 0.85, 0.84, 0.83, 0.82, 0.81, 0.8};
    const Characteristic lin = Characteristic::Linear;
    EXPECT_NEAR(CoefficientAtTravel(fl, 2.5, 10, true, lin, kNoTable), 0.875, 1e-12);
    EXPECT_DOUBLE_EQ(CoefficientAtTravel(fl, 10, 10, true, lin, kNoTable), 0.8);  // c = 10
    EXPECT_DOUBLE_EQ(CoefficientAtTravel(fl, 11, 10, true, lin, kNoTable), 0.8);  // Kv > Kvs
    EXPECT_DOUBLE_EQ(CoefficientAtTravel(fl, 0, 10, true, lin, kNoTable), 0.9);
    EXPECT_DOUBLE_EQ(CoefficientAtTravel(fl, 5, 0, true, lin, kNoTable), 0.9);
    // The travel comes from the characteristic: on the Kv table 2.5 of 10 is 25 %.
    EXPECT_NEAR(CoefficientAtTravel(fl, 2.5, 10, true, Characteristic::Table, kLinearTable),
                0.875, 1e-12);
    // Equal percentage at Kv = Kvs is full travel, the last entry.
    EXPECT_NEAR(CoefficientAtTravel(fl, 10, 10, true, Characteristic::EqualPercentage, kNoTable),
                0.8, 1e-12);
}

}  // namespace
}  // namespace tarvik
