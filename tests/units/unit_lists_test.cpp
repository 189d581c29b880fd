#include <gtest/gtest.h>

#include "units/unit_display.hpp"
#include "units/unit_lists.hpp"
#include "units_fixture.hpp"

namespace tarvik {
namespace {

using Names = std::vector<std::string>;
using UnitLists = test::UnitsTest;

TEST_F(UnitLists, NormalUnitsOnlyForGases) {
    const Names flow{"m3/h", "l/h", "l/min", "kg/h", "kg/s", "t/h"};
    Names gasFlow = flow;
    gasFlow.push_back("Nm3/h");
    for (int state : {0, 1, 2}) EXPECT_EQ(FillUnitList(kListFlow, state).names, flow) << state;
    EXPECT_EQ(FillUnitList(kListFlow, 3).names, gasFlow);
    EXPECT_EQ(FillUnitList(kListFlow, -1).names, gasFlow);  // any medium
    EXPECT_EQ(FillUnitList(kListDensity, 3).names, (Names{"kg/m3", "kg/Nm3"}));
    EXPECT_EQ(FillUnitList(kListDensity, -1).names, Names{"kg/m3"});
    const UnitList none = FillUnitList(kListNone, 3);
    EXPECT_TRUE(none.names.empty());
    EXPECT_FALSE(none.enabled);
    EXPECT_TRUE(FillUnitList(kListViscosity, 3).enabled);
}

TEST_F(UnitLists, UserUnitsFollowInListOrder) {
    AddUnit("lb/h", kQuantityMassFlow, 0.45);
    AddUnit("°R", kQuantityTemperature, 5.0 / 9.0);
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("mbar", kQuantityPressure, 0.0001);
    AddUnit("t/d", kQuantityMassFlow, 1000.0 / 24);
    EXPECT_EQ(FillUnitList(kListTemperature, 0).names, (Names{"°C", "°F", "°K", "°R"}));
    EXPECT_EQ(FillUnitList(kListPressure, 0).names,
              (Names{"bar", "MPa", "kPa", "psi", "m H2O", "kg/cm2", "atm", "mbar"}));
    EXPECT_EQ(FillUnitList(kListMassFlow, 0).names, (Names{"kg/h", "lb/h", "t/d"}));
    EXPECT_EQ(FillUnitList(kListFlow, 3).names,
              (Names{"m3/h", "l/h", "l/min", "kg/h", "kg/s", "t/h", "Nm3/h", "lb/h", "m3/min", "t/d"}));
    EXPECT_EQ(FillUnitList(kListViscosity, 0).names.size(), 6u);
}

using UnitDisplay = test::UnitsTest;

TEST_F(UnitDisplay, SuperscriptsOnlyWhereMeant) {
    RebuildUnitDisplayTexts();
    for (const char* name : {"m3/h", "Nm3/h", "kg/m3", "kg/Nm3", "m3/kg", "m2/s", "kg/cm2", "Ns/m2"})
        EXPECT_EQ(UnitDisplayText(name), SuperscriptDigits(name)) << name;
    EXPECT_EQ(UnitDisplayText("kg/cm2"), "kg/cm²");
    EXPECT_EQ(UnitDisplayText("dB(A)"), "dB(A)");
    EXPECT_EQ(UnitDisplayText("m H2O"), "m H2O");
    EXPECT_EQ(UnitDisplayText(""), " - ");
    EXPECT_EQ(UnitDisplayText("furlong"), " - ");
    // Every unit a list offers has a text, so the sheet never prints a value without its unit.
    for (int kind = 0; kind <= 9; ++kind)
        for (const std::string& n : FillUnitList(kind, -1).names) EXPECT_NE(UnitDisplayText(n), " - ") << n;
}

TEST_F(UnitDisplay, FollowsTheUserUnitsAfterRebuild) {
    AddUnit("m3/min", kQuantityVolumeFlow, 60);
    AddUnit("", kQuantityPressure, 1);
    RebuildUnitDisplayTexts();
    EXPECT_EQ(UnitDisplayText("m3/min"), "m³/min");
    EXPECT_EQ(UnitDisplayText(""), " - ");
    UserUnits().clear();
    RebuildUnitDisplayTexts();
    EXPECT_EQ(UnitDisplayText("m3/min"), " - ");
}

}  // namespace
}  // namespace tarvik
