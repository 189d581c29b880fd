// What the desktop program decides without a window: the monthly update rule, the stored window
// rectangle, layout texts from the pack, and the water and steam calculator's outputs.
#include <gtest/gtest.h>

#include "data/language.hpp"
#include "project/app_start.hpp"
#include "project/layout_texts.hpp"
#include "project/steam_calculator_view.hpp"

namespace tarvik {
namespace {

TEST(AppStart, MonthlyUpdateRule) {
    struct Case { int update, updateData; bool admin; int expected; };
    const Case cases[] = {
        {1, 0, false, 1},       // never checked: counts as last month, so the check runs
        {1, 202612, false, 0},  // checked this month
        {1, 202611, false, 1},  // checked last month
        {1, 202612, true, 1},   // administrator: every start
        {0, 0, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateSwitchAtStart(c.update, c.updateData, c.admin, 202612), c.expected)
            << c.update << " " << c.updateData << " " << c.admin;
}

TEST(AppStart, EmptyOrInvertedPlacementBecomesDefaultSizeAtItsCorner) {
    const WindowRect zero = PlacementAtStart({});
    EXPECT_EQ(zero.right, 500);
    EXPECT_EQ(zero.bottom, 400);
    const WindowRect inverted = PlacementAtStart({700, 50, 600, 300});
    EXPECT_EQ(inverted.left, 700);
    EXPECT_EQ(inverted.right, 1200);
    EXPECT_EQ(inverted.bottom, 450);
    const WindowRect kept = PlacementAtStart({10, 20, 810, 620});
    EXPECT_EQ(kept.right, 810);
}

TEST(LayoutTexts, NumbersResolvedEscapedAndMissingListed) {
    LanguagePack pack;
    pack.Set(62001, "Flow <Q> & co_2 \\");
    const ResolvedLayout r = ResolveLayoutTexts("<label>@62001</label><x>@@1 @99999 @99999 a@b</x>", pack);
    EXPECT_EQ(r.xml, "<label>Flow &lt;Q&gt; &amp; co__2 \\\\</label><x>@1   a@b</x>");
    EXPECT_EQ(r.missing, std::vector<int>{99999});
}

TEST(SteamCalculator, PhasesAndSaturation) {
    // 1 bar and 0 °C: the saturation state with every property.
    const SteamCalculatorView sat = ComputeSteamCalculator("1", "bar", "0", "°C");
    EXPECT_NEAR(std::stod(sat.saturationTemperature), 99.6, 0.1);
    EXPECT_EQ(sat.temperature, sat.saturationTemperature);
    EXPECT_EQ(std::stod(sat.saturationPressure), 1.0);
    for (const auto* t : {&sat.liquidEnthalpy, &sat.liquidVolume, &sat.vapourEnthalpy, &sat.vapourVolume})
        EXPECT_NE(*t, "***");
    // Liquid at 20 °C, vapour at 150 °C; the other phase shows "***".
    const SteamCalculatorView liquid = ComputeSteamCalculator("1", "bar", "20", "°C");
    EXPECT_EQ(liquid.vapourEnthalpy, "***");
    EXPECT_EQ(liquid.vapourVolume, "***");
    EXPECT_NE(liquid.liquidEnthalpy, "***");
    const SteamCalculatorView vapour = ComputeSteamCalculator("1", "bar", "150", "°C");
    EXPECT_EQ(vapour.liquidEnthalpy, "***");
    EXPECT_NE(vapour.vapourVolume, "***");
    // Text that is no number reads as 0: the saturation state, never NaN on screen.
    const SteamCalculatorView junk = ComputeSteamCalculator("abc", "bar", "1e999", "°C");
    for (const auto* t : {&junk.pressure, &junk.temperature, &junk.liquidVolume})
        EXPECT_EQ(t->find("nan"), std::string::npos);
    EXPECT_EQ(LabelWithUnit("Pressure (bar)", "kPa"), "Pressure (kPa)");
    EXPECT_EQ(LabelWithUnit("Pressure", "kPa"), "Pressure");
}

}  // namespace
}  // namespace tarvik
