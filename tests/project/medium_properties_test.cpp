#include <cmath>

#include <gtest/gtest.h>

#include "project/medium_properties.hpp"

namespace tarvik {
namespace {

TEST(ApplyMedium, LiquidConvertsIntoTheRowUnits) {
    Medium m;
    m.phase = kPhaseLiquid;
    m.vapourPressure = 0.0123456789;
    m.criticalPressure = 2.2;
    m.density = 876.54321;
    m.viscosity = 12.345678;
    m.soundSpeed = 1234.56789;
    MediumPoint p;
    p.vapourPressureUnit = "kPa";
    p.criticalPressureUnit = "bar";
    p.viscosityUnit = "cP";
    auto v = ApplyMedium(m, kStateLiquid, p, false);
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(*v->vapourPressure, 12.346);
    EXPECT_DOUBLE_EQ(*v->criticalPressure, 22);
    EXPECT_DOUBLE_EQ(*v->density, 876.54);
    EXPECT_DOUBLE_EQ(*v->viscosity, 10.822);  // 12.345678 cSt x 0.87654321 kg/l
    EXPECT_EQ(*v->soundSpeed, 1234.56789);     // unrounded
    EXPECT_FALSE(v->molarMass || v->kappa || v->compressibility);

    // Only a liquid for a Liquid position, only a gas for a Gas position.
    EXPECT_FALSE(ApplyMedium(m, kStateGas, p, false));
    EXPECT_FALSE(ApplyMedium(m, kStateWater, p, false));
    m.phase = kPhaseGas;
    EXPECT_FALSE(ApplyMedium(m, kStateLiquid, p, false));
    EXPECT_FALSE(ApplyMedium(m, kStateSteam, p, false));
}

TEST(ApplyMedium, GasDensityFromMolarMassOrNormalDensity) {
    Medium air;
    air.phase = kPhaseGas;
    air.molarMass = 28.96;
    air.viscosity = 15;
    air.compressibility = 0.99;
    air.kappa = 1.4;
    MediumPoint p;
    p.p1 = 0.5;
    p.p1Unit = "MPa";
    p.T1 = 293.15;
    p.T1Unit = "°K";
    p.viscosityUnit = "cSt";
    auto v = ApplyMedium(air, kStateGas, p, false);
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(*v->density, 5.9411);  // 28.96 x 0.5e6 / 8314 / 293.15, 5 digits
    EXPECT_DOUBLE_EQ(*v->molarMass, 28.96);
    EXPECT_DOUBLE_EQ(*v->viscosity, 15);
    EXPECT_EQ(*v->compressibility, 0.99);
    EXPECT_EQ(*v->kappa, 1.4);

    // Gauge entry in bar and °C gives the same absolute state.
    p.p1 = 5 - 1.013;
    p.p1Unit = "bar";
    p.T1 = 20;
    p.T1Unit = "°C";
    EXPECT_DOUBLE_EQ(*ApplyMedium(air, kStateGas, p, true)->density, 5.9411);

    // The normal density wins over the molar mass, and gives the molar mass when that is 0.
    air.normalDensity = 1.293;
    v = ApplyMedium(air, kStateGas, p, true);
    EXPECT_DOUBLE_EQ(*v->density, 5.9452);  // 0.5 x 10 x 273.15 x 1.293 / (293.15 x 1.01325)
    air.molarMass = 0;
    v = ApplyMedium(air, kStateGas, p, true);
    EXPECT_NEAR(*v->molarMass, 1.293 * 273.15 * 8314 / 101325, 1e-12);

    // A stored operating density is taken as it is.
    air.density = 3.21;
    EXPECT_DOUBLE_EQ(*ApplyMedium(air, kStateGas, p, true)->density, 3.21);

    // No temperature above absolute zero: no density rather than an infinite one.
    air.density = 0;
    air.normalDensity = 0;
    air.molarMass = 28.96;
    p.T1 = -273.15;
    v = ApplyMedium(air, kStateGas, p, true);
    EXPECT_EQ(*v->density, 0);
    EXPECT_TRUE(std::isfinite(*v->viscosity));
}

TEST(ApplyMedium, GasWithoutMediumCompletesDensityOrMolarMass) {
    MediumPoint p;
    p.p1 = 0.5;
    p.p1Unit = "MPa";
    p.T1 = 293.15;
    p.T1Unit = "°K";
    // Operating density row empty: from the molar mass.
    GasPointProperties g = CompleteGasProperties({0, "kg/m3", 28.96}, p, false);
    EXPECT_DOUBLE_EQ(g.density, 5.9411);
    EXPECT_EQ(g.molarMass, 28.96);
    // Operating density given: the molar mass from it.
    g = CompleteGasProperties({5.9412, "kg/m3", 0}, p, false);
    EXPECT_DOUBLE_EQ(g.molarMass, 28.96);
    // A normal density row stays as entered; the molar mass follows from the operating density.
    g = CompleteGasProperties({1.293, "kg/Nm3", 0}, p, false);
    EXPECT_EQ(g.density, 1.293);
    EXPECT_DOUBLE_EQ(g.molarMass, 28.98);
    // Nothing to derive from, or no pressure: unchanged.
    g = CompleteGasProperties({0, "kg/m3", 0}, p, false);
    EXPECT_EQ(g.density, 0);
    EXPECT_EQ(g.molarMass, 0);
    p.p1 = 0;
    g = CompleteGasProperties({2, "kg/m3", 0}, p, false);
    EXPECT_EQ(g.molarMass, 0);
}

}  // namespace
}  // namespace tarvik
