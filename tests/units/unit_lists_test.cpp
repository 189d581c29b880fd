#include <gtest/gtest.h>

#include "units/unit_display.hpp"
#include "units/unit_lists.hpp"
#include "units_fixture.hpp"

namespace tarvik {
namespace {

using Names = std::vector<std::string>;
using UnitLists = test::UnitsTest;

TEST_F(UnitLists, BuiltInNamesPerKind) {
    EXPECT_EQ(FillUnitList(kListTemperature, 0).names, (Names{"°C", "°F", "°K"}));
    EXPECT_EQ(FillUnitList(kListPressure, 0).names,
              (Names{"bar", "MPa", "kPa", "psi", "m H2O", "kg/cm2", "atm"}));
    EXPECT_EQ(FillUnitList(kListMassFlow, 0).names, Names{"kg/h"});
    EXPECT_EQ(FillUnitList(kListSpecificVolume, 0).names, Names{"m3/kg"});
    EXPECT_EQ(FillUnitList(kListViscosity, 0).names,
              (Names{"cP", "cSt", "m2/s", "Ns/m2", "Pa.s", "mPa.s"}));
    EXPECT_EQ(FillUnitList(kListMolarMass, 0).names, Names{"kg/kmol"});
    EXPECT_EQ(FillUnitList(kListVelocity, 0).names, Names{"m/s"});
    for (int kind = 0; kind <= 9; ++kind) EXPECT_EQ(FillUnitList(kind, 0).enabled, kind != kListNone) << kind;
    EXPECT_TRUE(FillUnitList(kListNone, 3).names.empty());
    EXPECT_TRUE(FillUnitList(42, 3).names.empty());
}

TEST_F(UnitLists, NormalUnitsOnlyForGases) {
    const Names flow{"m3/h", "l/h", "l/min", "kg/h", "kg/s", "t/h"};
    Names gasFlow = flow;
    gasFlow.push_back("Nm3/h");
    EXPECT_EQ(FillUnitList(kListFlow, 0).names, flow);  // water
    EXPECT_EQ(FillUnitList(kListFlow, 1).names, flow);  // liquid
    EXPECT_EQ(FillUnitList(kListFlow, 2).names, flow);  // steam
    EXPECT_EQ(FillUnitList(kListFlow, 3).names, gasFlow);
    EXPECT_EQ(FillUnitList(kListFlow, -1).names, gasFlow);  // any medium: default-unit dialog
    EXPECT_EQ(FillUnitList(kListDensity, 3).names, (Names{"kg/m3", "kg/Nm3"}));
    EXPECT_EQ(FillUnitList(kListDensity, 2).names, Names{"kg/m3"});
    EXPECT_EQ(FillUnitList(kListDensity, -1).names, Names{"kg/m3"});
}

TEST_F(UnitLists, UserUnitsFollowInListOrder) {
    AddUnit("lb/h", kQuantityMassFlow, 0.45);
    AddUnit("°R", kQuantityTemperature, 5.0 / 9.0);
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("mbar", kQuantityPressure, 0.0001);
    AddUnit("t/d", kQuantityMassFlow, 1000.0 / 24);
    EXPECT_EQ(FillUnitList(kListTemperature, 0).names, (Names{"°C", "°F", "°K", "°R"}));
    EXPECT_EQ(FillUnitList(kListPressure, 0).names.back(), "mbar");
    EXPECT_EQ(FillUnitList(kListMassFlow, 0).names, (Names{"kg/h", "lb/h", "t/d"}));
    EXPECT_EQ(FillUnitList(kListFlow, 3).names,
              (Names{"m3/h", "l/h", "l/min", "kg/h", "kg/s", "t/h", "Nm3/h", "lb/h", "m3/min", "t/d"}));
    // Quantities without user units stay built-in only.
    EXPECT_EQ(FillUnitList(kListViscosity, 0).names.size(), 6u);
    EXPECT_EQ(FillUnitList(kListDensity, 3).names.size(), 2u);
}

using UnitDisplay = test::UnitsTest;

TEST_F(UnitDisplay, SuperscriptsOnlyWhereMeant) {
    RebuildUnitDisplayTexts();
    EXPECT_EQ(UnitDisplayText("m3/h"), "m³/h");
    EXPECT_EQ(UnitDisplayText("Nm3/h"), "Nm³/h");
    EXPECT_EQ(UnitDisplayText("kg/m3"), "kg/m³");
    EXPECT_EQ(UnitDisplayText("kg/Nm3"), "kg/Nm³");
    EXPECT_EQ(UnitDisplayText("m3/kg"), "m³/kg");
    EXPECT_EQ(UnitDisplayText("m2/s"), "m²/s");
    EXPECT_EQ(UnitDisplayText("kg/cm2"), "kg/cm²");
    EXPECT_EQ(UnitDisplayText("Ns/m2"), "Ns/m²");
    EXPECT_EQ(UnitDisplayText("°C"), "°C");
    EXPECT_EQ(UnitDisplayText("dB(A)"), "dB(A)");
    EXPECT_EQ(UnitDisplayText("%"), "%");
    EXPECT_EQ(UnitDisplayText("mPa.s"), "mPa.s");
    // Every unit a list offers has a text, so the sheet never prints a value without its unit.
    for (int kind = 0; kind <= 9; ++kind)
        for (const std::string& n : FillUnitList(kind, -1).names) EXPECT_NE(UnitDisplayText(n), " - ") << n;
    EXPECT_EQ(UnitDisplayText("kg/Nm3"), "kg/Nm³");
    EXPECT_EQ(UnitDisplayText("m H2O"), "m H2O");
    EXPECT_EQ(UnitDisplayText(""), " - ");
    EXPECT_EQ(UnitDisplayText("furlong"), " - ");
}

TEST_F(UnitDisplay, FollowsTheUserUnitsAfterRebuild) {
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("kp/cm2", kQuantityPressure, 0.0980665);
    AddUnit("", kQuantityPressure, 1);
    RebuildUnitDisplayTexts();
    EXPECT_EQ(UnitDisplayText("m3/min"), "m³/min");
    EXPECT_EQ(UnitDisplayText("kp/cm2"), "kp/cm²");
    EXPECT_EQ(UnitDisplayText(""), " - ");
    UserUnits().erase(UserUnits().begin());
    EXPECT_EQ(UnitDisplayText("m3/min"), "m³/min");  // until rebuilt
    RebuildUnitDisplayTexts();
    EXPECT_EQ(UnitDisplayText("m3/min"), " - ");
    EXPECT_EQ(UnitDisplayText("kp/cm2"), "kp/cm²");
}

}  // namespace
}  // namespace tarvik
