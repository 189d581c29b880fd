#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "units/conversions.hpp"
#include "units_fixture.hpp"

namespace tarvik {
namespace {

using Conversions = test::UnitsTest;

TEST_F(Conversions, PressureBuiltInUnitsToMPaAndBack) {
    struct Case { const char* unit; double value; double mpa; };
    const Case cases[] = {
        {"MPa", 2.5, 2.5},          {"kPa", 250, 0.25},         {"bar", 16, 1.6},
        {"psi", 100, 0.6894757},    {"m H2O", 10, 0.0980665},   {"kg/cm2", 1, 0.098067},
        {"atm", 1, 0.1013},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        EXPECT_NEAR(PressureToInternal(c.unit, c.value), c.mpa, 1e-12);
        EXPECT_NEAR(PressureFromInternal(c.unit, c.mpa), c.value, 1e-9);
    }
    // Names are exact byte strings: other spellings have no rule.
    EXPECT_EQ(PressureToInternal("BAR", 16), 16);
    EXPECT_EQ(PressureToInternal("mbar", 16), 16);
    EXPECT_EQ(PressureFromInternal("kpa", 0.25), 0.25);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Conversions, AtmosphereAndGaugeOffsetAgree) {
    EXPECT_DOUBLE_EQ(PressureToInternal("atm", 1), 0.1013);
    EXPECT_DOUBLE_EQ(GaugeToAbsolute(0, true), 0.1013);
    EXPECT_DOUBLE_EQ(GaugeToAbsolute(PressureToInternal("bar", 5), true), 0.6013);
    EXPECT_DOUBLE_EQ(GaugeToAbsolute(0.6, false), 0.6);
}

TEST_F(Conversions, UserPressureUnitWithFactorAndOffset) {
    AddUnit("mbar", kQuantityPressure, 0.0001);
    AddUnit("barg", kQuantityPressure, 0.1, 0.1013);
    AddUnit("Pa", kQuantityVolumeFlow, 1e-6);  // another quantity: not a pressure unit
    EXPECT_DOUBLE_EQ(PressureToInternal("mbar", 1000), 0.1);
    EXPECT_DOUBLE_EQ(PressureFromInternal("mbar", 0.1), 1000);
    EXPECT_DOUBLE_EQ(PressureToInternal("barg", 5), 0.6013);
    EXPECT_DOUBLE_EQ(PressureFromInternal("barg", 0.6013), 5);
    EXPECT_EQ(PressureToInternal("Pa", 1000), 1000);
}

TEST_F(Conversions, UserUnitBearingBuiltInNameIsConvertedByBoth) {
    AddUnit("bar", kQuantityPressure, 2, 0.5);
    // 10 bar -> 1 MPa by the built-in rule, then x 2 + 0.5 by the user rule.
    EXPECT_DOUBLE_EQ(PressureToInternal("bar", 10), 2.5);
    // Back: x 10 first, then (v - 0.5) / 2.
    EXPECT_DOUBLE_EQ(PressureFromInternal("bar", 2.5), 12.25);

    AddUnit("kg/h", kQuantityMassFlow, 2);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("kg/h", 1000, 500), 2.0 * 2 / 500);
}

TEST_F(Conversions, UserUnitWithoutFactorNeverGivesInfinity) {
    AddUnit("broken", kQuantityPressure, 0, 1);
    EXPECT_DOUBLE_EQ(PressureToInternal("broken", 7), 1);
    double back = PressureFromInternal("broken", 0.3);
    EXPECT_TRUE(std::isfinite(back));
    EXPECT_DOUBLE_EQ(back, 0.3);
}

TEST_F(Conversions, ResultsAreAlwaysFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(PressureFromInternal("kPa", 1e308), 0);
    EXPECT_EQ(PressureToInternal("bar", nan), 0);
    EXPECT_EQ(TemperatureConvert("°C", std::numeric_limits<double>::infinity(), "°K"), 0);
    EXPECT_EQ(NormalToOperatingDensity(0, 1, 1.25), 0);
    EXPECT_EQ(OperatingToNormalDensity(300, 0, 10), 0);
}

TEST_F(Conversions, TemperaturePairs) {
    EXPECT_NEAR(TemperatureConvert("°F", 100, "°K"), 310.92777777777775, 1e-9);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°K", 273.15, "°C"), 0);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°F", 212, "°C"), 100);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 100, "°F"), 212);
    EXPECT_NEAR(TemperatureConvert("°K", 373.15, "°F"), 212, 1e-12);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 20, "°K"), 293.15);
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 20, "°C"), 20);
    // A pair without a rule leaves the value.
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 20, "K"), 20);
    EXPECT_DOUBLE_EQ(TemperatureConvert("C", 20, "°K"), 20);
}

TEST_F(Conversions, UserTemperatureUnitGoesThroughKelvin) {
    AddUnit("°R", kQuantityTemperature, 5.0 / 9.0);
    EXPECT_NEAR(TemperatureConvert("°R", 491.67, "°C"), 0, 1e-9);
    EXPECT_NEAR(TemperatureConvert("°R", 491.67, "°K"), 273.15, 1e-9);
    EXPECT_NEAR(TemperatureConvert("°R", 671.67, "°F"), 212, 1e-9);
    // A user unit is never a target.
    EXPECT_DOUBLE_EQ(TemperatureConvert("°C", 10, "°R"), 10);
}

TEST_F(Conversions, LiquidFlowUnits) {
    const double rho = 800;
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("m3/h", 12, rho), 12);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("l/h", 1200, rho), 1.2);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("l/min", 100, rho), 6);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("kg/s", 2, rho), 9);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("kg/h", 1600, rho), 2);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("t/h", 8, rho), 10);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("Nm3/h", 8, rho), 8);
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("lb/h", kQuantityMassFlow, 0.45359237);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("m3/min", 2, rho), 120);
    EXPECT_DOUBLE_EQ(LiquidFlowToInternal("lb/h", 1000, rho), 453.59237 / rho);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Conversions, ZeroDensityShowsOneMessageAndKeepsTheValue) {
    for (const char* unit : {"kg/s", "kg/h", "t/h"}) {
        SCOPED_TRACE(unit);
        shown.clear();
        EXPECT_EQ(LiquidFlowToInternal(unit, 5, 0), 5);
        EXPECT_EQ(shown, std::vector<int>{63003});
    }
    // Volume units do not need the density.
    shown.clear();
    EXPECT_EQ(LiquidFlowToInternal("l/min", 100, 0), 6);
    EXPECT_TRUE(shown.empty());
    // A user mass unit bearing a built-in name needs the density twice, but says so once.
    AddUnit("t/h", kQuantityMassFlow, 1000);
    EXPECT_EQ(LiquidFlowToInternal("t/h", 5, 0), 5);
    EXPECT_EQ(shown, std::vector<int>{63003});
}

TEST_F(Conversions, GasFlowGivesMassOrNormalFlow) {
    struct Case { const char* unit; double value; double Q0; double W; };
    const Case cases[] = {
        {"m3/h", 10, 0, 25}, {"l/h", 1000, 0, 2.5}, {"l/min", 100, 0, 15},
        {"kg/s", 1, 0, 3600}, {"kg/h", 42, 0, 42}, {"t/h", 2, 0, 2000},
        {"Nm3/h", 300, 300, 0}, {"unknown", 5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        double Q0 = -1, W = -1;  // stale outputs must be cleared
        GasFlowToInternal(c.unit, c.value, 2.5, Q0, W);
        EXPECT_DOUBLE_EQ(Q0, c.Q0);
        EXPECT_DOUBLE_EQ(W, c.W);
    }
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("lb/h", kQuantityMassFlow, 0.5, 1);
    double Q0 = -1, W = -1;
    GasFlowToInternal("m3/min", 2, 2.5, Q0, W);
    EXPECT_DOUBLE_EQ(W, 300);
    GasFlowToInternal("lb/h", 10, 0, Q0, W);
    EXPECT_DOUBLE_EQ(W, 6);
    EXPECT_EQ(Q0, 0);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Conversions, GasVolumeFlowWithZeroDensity) {
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    for (const char* unit : {"m3/h", "l/h", "l/min", "m3/min"}) {
        SCOPED_TRACE(unit);
        shown.clear();
        double Q0 = -1, W = -1;
        GasFlowToInternal(unit, 10, 0, Q0, W);
        EXPECT_EQ(Q0, 0);
        EXPECT_EQ(W, 0);
        EXPECT_EQ(shown, std::vector<int>{63003});
    }
}

TEST_F(Conversions, ViscosityKinematicAndDynamic) {
    const double rho = 1000;
    struct Case { const char* unit; double value; double m2s; };
    const Case cases[] = {
        {"m2/s", 1e-6, 1e-6}, {"cSt", 1, 1e-6}, {"cP", 1, 1e-6}, {"mPa.s", 2, 2e-6},
        {"Pa.s", 1, 1e-3},
        {"Ns/m2", 1000, 1e-6},  // deliberately not the factor of "Pa.s"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        EXPECT_NEAR(ViscosityToInternal(c.unit, c.value, rho), c.m2s, 1e-18);
        EXPECT_NEAR(ViscosityFromInternal(c.unit, c.m2s, rho), c.value, 1e-9 * c.value);
    }
    EXPECT_TRUE(shown.empty());
    for (const char* unit : {"cP", "mPa.s", "Pa.s", "Ns/m2"}) {
        SCOPED_TRACE(unit);
        shown.clear();
        EXPECT_EQ(ViscosityToInternal(unit, 3, 0), 3);
        EXPECT_EQ(ViscosityFromInternal(unit, 3e-6, 0), 3e-6);
        EXPECT_EQ(shown, (std::vector<int>{63003, 63003}));
    }
    shown.clear();
    EXPECT_DOUBLE_EQ(ViscosityToInternal("cSt", 3, 0), 3e-6);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Conversions, NormalAndOperatingDensityAreInverse) {
    const double rhoN = 1.293, T1 = 273.15, p1 = 0.101325;
    EXPECT_NEAR(NormalToOperatingDensity(T1, p1, rhoN), rhoN, 1e-12);
    const double rho = NormalToOperatingDensity(400, 1.6, rhoN);
    EXPECT_NEAR(rho, 1.6 * 10 * 273.15 * rhoN / (400 * 1.01325), 1e-12);
    EXPECT_NEAR(OperatingToNormalDensity(400, 1.6, rho), rhoN, 1e-12);
}

TEST_F(Conversions, Lengths) {
    EXPECT_DOUBLE_EQ(LengthFromInternal("m", 2500), 2.5);
    EXPECT_DOUBLE_EQ(LengthFromInternal("km", 2500000), 2.5);
    EXPECT_DOUBLE_EQ(LengthFromInternal("mm", 2500), 2500);
    EXPECT_DOUBLE_EQ(LengthFromInternal("M", 2500), 2500);
}

}  // namespace
}  // namespace tarvik
