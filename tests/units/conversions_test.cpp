#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "units/conversions.hpp"
#include "units_fixture.hpp"

namespace tarvik {
namespace {

using Conversions = test::UnitsTest;
using Shown = std::vector<int>;

TEST_F(Conversions, PressureUnitsRoundTripAndMatchExactly) {
    struct Case { const char* unit; double value; double mpa; };
    for (const Case& c : {Case{"kPa", 250, 0.25}, {"bar", 16, 1.6}, {"psi", 100, 0.6894757},
                          {"m H2O", 10, 0.0980665}, {"kg/cm2", 1, 0.098067}, {"atm", 1, 0.1013}}) {
        EXPECT_NEAR(PressureToInternal(c.unit, c.value), c.mpa, 1e-12) << c.unit;
        EXPECT_NEAR(PressureFromInternal(c.unit, c.mpa), c.value, 1e-9) << c.unit;
    }
    EXPECT_EQ(PressureToInternal("BAR", 16), 16);  // names are exact byte strings
    // 1 atm and 0 gauge are the same absolute pressure.
    EXPECT_DOUBLE_EQ(GaugeToAbsolute(0, true), PressureToInternal("atm", 1));
    EXPECT_DOUBLE_EQ(GaugeToAbsolute(0.6, false), 0.6);
}

TEST_F(Conversions, UserPressureUnits) {
    AddUnit("mbar", kQuantityPressure, 0.0001);
    AddUnit("barg", kQuantityPressure, 0.1, 0.1013);
    AddUnit("Pa", kQuantityVolumeFlow, 1e-6);  // another quantity: no pressure rule
    EXPECT_DOUBLE_EQ(PressureToInternal("mbar", 1000), 0.1);
    EXPECT_DOUBLE_EQ(PressureFromInternal("mbar", 0.1), 1000);
    EXPECT_DOUBLE_EQ(PressureToInternal("barg", 5), 0.6013);
    EXPECT_DOUBLE_EQ(PressureFromInternal("barg", 0.6013), 5);
    EXPECT_EQ(PressureToInternal("Pa", 1000), 1000);
}

TEST_F(Conversions, UserUnitBearingBuiltInNameIsConvertedByBoth) {
    AddUnit("bar", kQuantityPressure, 2, 0.5);
    EXPECT_DOUBLE_EQ(PressureToInternal("bar", 10), 2.5);     // / 10, then x 2 + 0.5
    EXPECT_DOUBLE_EQ(PressureFromInternal("bar", 2.5), 12.25);  // x 10, then (v - 0.5) / 2
    AddUnit("kg/h", kQuantityMassFlow, 2);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("kg/h", 1000, 500), 2.0 * 2 / 500);
}

TEST_F(Conversions, ResultsAreAlwaysFinite) {
    AddUnit("broken", kQuantityPressure, 0, 1);
    EXPECT_DOUBLE_EQ(PressureFromInternal("broken", 0.3), 0.3);  // no inverse of factor 0
    EXPECT_EQ(PressureFromInternal("kPa", 1e308), 0);
    EXPECT_EQ(PressureToInternal("bar", std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(NormalToOperatingDensity(0, 1, 1.25), 0);
    EXPECT_EQ(OperatingToNormalDensity(300, 0, 10), 0);
}

TEST_F(Conversions, Temperatures) {
    EXPECT_NEAR(TemperatureConvert("°F", 100, "°K"), 310.92777777777775, 1e-9);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°K", 273.15, "°C"), 0);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°F", 212, "°C"), 100);
    EXPECT_NEAR(TemperatureConvert("°K", 373.15, "°F"), 212, 1e-12);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 20, "K"), 20);  // no rule for the pair
    // A user unit goes through kelvin and is never a target.
    AddUnit("°R", kQuantityTemperature, 5.0 / 9.0);
    EXPECT_NEAR(TemperatureConvert("°R", 491.67, "°C"), 0, 1e-9);
    EXPECT_NEAR(TemperatureConvert("°R", 671.67, "°F"), 212, 1e-9);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 10, "°R"), 10);
}

TEST_F(Conversions, LiquidFlow) {
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("l/min", 100, 800), 6);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("kg/s", 2, 800), 9);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("t/h", 8, 800), 10);
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("lb/h", kQuantityMassFlow, 0.45359237);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("m3/min", 2, 800), 120);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("lb/h", 1000, 800), 453.59237 / 800);
    EXPECT_TRUE(shown.empty());
    // Without a density a mass unit keeps its value, and says so once.
    EXPECT_EQ(LiquidFlowToInternal("kg/h", 5, 0), 5);
    EXPECT_EQ(shown, Shown{63003});
    AddUnit("t/h", kQuantityMassFlow, 1000);  // needs the density twice
    shown.clear();
    EXPECT_EQ(LiquidFlowToInternal("t/h", 5, 0), 5);
    EXPECT_EQ(shown, Shown{63003});
    shown.clear();
    EXPECT_EQ(LiquidFlowToInternal("l/min", 100, 0), 6);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Conversions, GasFlowGivesMassOrNormalFlow) {
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("lb/h", kQuantityMassFlow, 0.5, 1);
    struct Case { const char* unit; double rho; double Q0; double W; Shown shown; };
    for (const Case& c : {Case{"m3/h", 2.5, 0, 25, {}}, {"l/min", 2.5, 0, 1.5, {}},
                          {"kg/s", 2.5, 0, 36000, {}}, {"Nm3/h", 2.5, 10, 0, {}},
                          {"m3/min", 2.5, 0, 1500, {}}, {"lb/h", 0, 0, 6, {}},
                          {"l/h", 0, 0, 0, {63003}}, {"m3/min", 0, 0, 0, {63003}}}) {
        SCOPED_TRACE(c.unit);
        shown.clear();
        double Q0 = -1, W = -1;  // stale outputs must be cleared
        GasFlowToInternal(c.unit, 10, c.rho, Q0, W);
        EXPECT_DOUBLE_EQ(Q0, c.Q0);
        EXPECT_DOUBLE_EQ(W, c.W);
        EXPECT_EQ(shown, c.shown);
    }
}

TEST_F(Conversions, Viscosity) {
    EXPECT_DOUBLE_EQ(ViscosityToInternal("cSt", 3, 0), 3e-6);
    EXPECT_DOUBLE_EQ(ViscosityToInternal("cP", 1, 1000), 1e-6);
    EXPECT_DOUBLE_EQ(ViscosityToInternal("Pa.s", 1, 1000), 1e-3);
    EXPECT_DOUBLE_EQ(ViscosityToInternal("Ns/m2", 1000, 1000), 1e-6);  // not the "Pa.s" factor
    EXPECT_DOUBLE_EQ(ViscosityFromInternal("mPa.s", 2e-6, 1000), 2);
    EXPECT_DOUBLE_EQ(ViscosityFromInternal("Ns/m2", 1e-6, 1000), 1000);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ViscosityToInternal("Pa.s", 3, 0), 3);
    EXPECT_EQ(ViscosityFromInternal("cP", 3e-6, 0), 3e-6);
    EXPECT_EQ(shown, (Shown{63003, 63003}));
}

TEST_F(Conversions, NormalAndOperatingDensityAreInverse) {
    EXPECT_NEAR(NormalToOperatingDensity(273.15, 0.101325, 1.293), 1.293, 1e-12);
    const double rho = NormalToOperatingDensity(400, 1.6, 1.293);
    EXPECT_NEAR(OperatingToNormalDensity(400, 1.6, rho), 1.293, 1e-12);
}

}  // namespace
}  // namespace tarvik
