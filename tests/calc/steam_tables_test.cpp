// Water and steam properties as the program asks for them: sides, ranges, the region-3
// density search and the viscosity.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/if97.hpp"
#include "calc/steam_tables.hpp"

namespace tarvik {
namespace {

void ExpectRel(double actual, double expected, double rel) {
    EXPECT_NEAR(actual, expected, rel * std::fabs(expected));
}

TEST(SteamTables, ReleaseValuesThroughTheProgramInterface) {
    ExpectRel(BoundaryPressure(300), 0.00353658941, 1e-8);
    ExpectRel(BoundaryTemperature(0.1), 372.755919, 1e-8);
    const double rho = LiquidDensity(300, 3);
    ExpectRel(rho, 1 / 0.00100215168, 1e-8);
    ExpectRel(LiquidEnthalpy(300, 3, rho), 115.331273, 1e-8);
    ExpectRel(LiquidSoundSpeed(300, 3, rho), 1507.73921, 1e-8);
    ExpectRel(VapourDensity(300, 0.0035), 1 / 39.4913866, 1e-8);
    ExpectRel(VapourEnthalpy(300, 0.0035), 2549.91145, 1e-8);
    ExpectRel(VapourSoundSpeed(300, 0.0035), 427.920172, 1e-8);
    // Above 623.15 K the liquid side takes enthalpy and speed of sound from region 3 at the
    // caller's density.
    ExpectRel(LiquidEnthalpy(650, 25.5837018, 500), 1863.43019, 1e-8);
    ExpectRel(LiquidSoundSpeed(650, 25.5837018, 500), 502.005554, 1e-8);
    ExpectRel(VapourEnthalpy(700, 30), 2631.49474, 1e-8);
}

TEST(SteamTables, BoundaryPressureAndTemperaturePieces) {
    EXPECT_EQ(BoundaryPressure(273.14), 0.0);
    ExpectRel(BoundaryPressure(623.15), 16.5291643, 1e-8);
    ExpectRel(BoundaryPressure(700), if97::B23Pressure(700), 1e-15);
    ExpectRel(BoundaryPressure(863.15), 100.0, 1e-4);
    EXPECT_EQ(BoundaryPressure(900), 100.0);
    EXPECT_EQ(BoundaryPressure(std::nan("")), 0.0);

    EXPECT_EQ(BoundaryTemperature(0.0006), 0.0);
    EXPECT_EQ(BoundaryTemperature(100.01), 0.0);
    EXPECT_GT(BoundaryTemperature(100.0), 863.0);
    ExpectRel(BoundaryTemperature(16.5291643), 623.15, 1e-8);
    // Between 16.53 MPa and the critical pressure the boundary is B23, not saturation.
    ExpectRel(BoundaryTemperature(20), if97::B23Temperature(20), 1e-15);
    for (double T : {300.0, 450.0, 620.0, 700.0, 850.0}) {
        SCOPED_TRACE(T);
        ExpectRel(BoundaryTemperature(BoundaryPressure(T)), T, 1e-9);
    }
}

TEST(SteamTables, EachSideAnswersOnlyForItsStates) {
    EXPECT_EQ(VapourDensity(300, 3), 0.0);
    EXPECT_EQ(VapourEnthalpy(300, 3), 0.0);
    EXPECT_EQ(VapourSoundSpeed(300, 3), 0.0);
    EXPECT_EQ(LiquidDensity(300, 0.0035), 0.0);
    EXPECT_EQ(LiquidEnthalpy(300, 0.0035, 996), 0.0);
    EXPECT_EQ(LiquidSoundSpeed(300, 0.0035, 996), 0.0);
    // Above 863.15 K every pressure up to 100 MPa is vapour.
    EXPECT_GT(VapourDensity(900, 99.9), 0.0);
    EXPECT_EQ(LiquidDensity(900, 99.9), 0.0);
}

TEST(SteamTables, SaturationLineBelongsToBothSides) {
    for (double p : {0.001, 0.1, 1.0, 10.0, 16.5}) {
        SCOPED_TRACE(p);
        const double T = BoundaryTemperature(p);
        const double liquid = LiquidDensity(T, p);
        const double vapour = VapourDensity(T, p);
        EXPECT_GT(vapour, 0.0);
        EXPECT_GT(liquid, vapour);
        EXPECT_GT(VapourEnthalpy(T, p), LiquidEnthalpy(T, p, liquid));
    }
}

TEST(SteamTables, EverythingIsZeroOutsideTheRange) {
    const double Ts[] = {1100.0, 273.0, -5.0, 0.0, std::nan(""), INFINITY};
    for (double T : Ts) {
        SCOPED_TRACE(T);
        EXPECT_EQ(LiquidDensity(T, 3), 0.0);
        EXPECT_EQ(LiquidEnthalpy(T, 100, 500), 0.0);
        EXPECT_EQ(LiquidSoundSpeed(T, 100, 500), 0.0);
        EXPECT_EQ(VapourDensity(T, 0.1), 0.0);
        EXPECT_EQ(VapourEnthalpy(T, 0.1), 0.0);
        EXPECT_EQ(VapourSoundSpeed(T, 0.1), 0.0);
    }
    const double ps[] = {100.5, 0.0, -1.0, std::nan("")};
    for (double p : ps) {
        SCOPED_TRACE(p);
        EXPECT_EQ(LiquidDensity(300, p), 0.0);
        EXPECT_EQ(LiquidDensity(700, p), 0.0);
        EXPECT_EQ(VapourDensity(700, p), 0.0);
        EXPECT_EQ(VapourEnthalpy(500, p), 0.0);
    }
}

TEST(SteamTablesRegion3Search, FindsTheDensityOfTheIsotherm) {
    const double rho = LiquidDensity(650, 25);
    ASSERT_GT(rho, 0.0);
    ExpectRel(if97::Region3Pressure(650, rho), 25.0, 1e-3);
    // The release's point T = 650 K, rho = 500 kg/m3 lies at 25.5837018 MPa.
    ExpectRel(LiquidDensity(650, 25.5837018), 500.0, 5e-3);
    // Region 1 below and region 3 above 623.15 K meet.
    ExpectRel(LiquidDensity(623.16, 20), LiquidDensity(623.15, 20), 2e-3);
    ExpectRel(LiquidDensity(623.16, 90), LiquidDensity(623.15, 90), 2e-3);
}

TEST(SteamTablesRegion3Search, StaysFiniteAndConsistentOverTheWholeLiquidSide) {
    for (double T = 623.5; T <= 863.15; T += 7.5) {
        const double pMin = BoundaryPressure(T);
        for (double f = 0.0; f <= 1.0; f += 0.125) {
            const double p = pMin + f * (100.0 - pMin);
            SCOPED_TRACE(testing::Message() << "T=" << T << " p=" << p);
            const double rho = LiquidDensity(T, p);
            ASSERT_GT(rho, 0.0);
            ASSERT_TRUE(std::isfinite(rho));
            ExpectRel(if97::Region3Pressure(T, rho), p, 1.5e-3);
            EXPECT_TRUE(std::isfinite(LiquidEnthalpy(T, p, rho)));
            EXPECT_TRUE(std::isfinite(LiquidSoundSpeed(T, p, rho)));
        }
    }
}

// Above 863.15 K the pressure test alone would let p = 100 MPa through as liquid; region 3
// extrapolated there gives nonsense (1316 kg/m3 at 1073.15 K), so only the vapour side answers.
TEST(SteamTablesRegion3Search, NoLiquidAboveTheB23Range) {
    for (double T : {863.2, 900.0, 948.5, 1073.15}) {
        SCOPED_TRACE(T);
        EXPECT_EQ(LiquidDensity(T, 100), 0.0);
        EXPECT_EQ(LiquidEnthalpy(T, 100, 300), 0.0);
        EXPECT_GT(VapourDensity(T, 100), 0.0);
    }
    EXPECT_GT(LiquidDensity(863.15, 100), 0.0);
}

TEST(SteamTablesRegion3Search, ACallerDensityOfZeroGivesZero) {
    EXPECT_EQ(LiquidEnthalpy(650, 25, 0), 0.0);
    EXPECT_EQ(LiquidSoundSpeed(650, 25, -3), 0.0);
}

// Tabulated values of the 1985 formulation (four significant digits), in uPa s, evaluated
// at the IF97 density of the state.
TEST(WaterViscosity, MatchesTheFormulationsTables) {
    struct Row {
        double tC, p, mu;
        bool liquid;
    };
    const Row rows[] = {
        {25, 0.1, 890.1, true},  {200, 0.1, 16.18, false},  {800, 0.1, 40.38, false},
        {25, 100, 889.7, true},  {200, 100, 155.9, true},   {800, 100, 52.10, false},
    };
    for (const Row& r : rows) {
        const double T = r.tC + 273.15;
        SCOPED_TRACE(testing::Message() << "t=" << r.tC << " p=" << r.p);
        const double rho = r.liquid ? LiquidDensity(T, r.p) : VapourDensity(T, r.p);
        ASSERT_GT(rho, 0.0);
        ExpectRel(WaterViscosity(T, r.p, rho) * 1e6, r.mu, 5e-4);
    }
}

TEST(WaterViscosity, PressureLimitsDependOnTemperature) {
    const double rho = 1000.0;
    auto mu = [&](double tC, double p) { return WaterViscosity(tC + 273.15, p, rho); };
    EXPECT_GT(mu(150, 500), 0.0);
    EXPECT_EQ(mu(150, 500.1), 0.0);
    EXPECT_GT(mu(150.1, 350), 0.0);
    EXPECT_EQ(mu(150.1, 350.1), 0.0);
    EXPECT_GT(mu(600, 350), 0.0);
    EXPECT_GT(mu(600.1, 300), 0.0);
    EXPECT_EQ(mu(600.1, 300.1), 0.0);
    EXPECT_GT(mu(900, 300), 0.0);
    EXPECT_EQ(mu(900.1, 0.1), 0.0);
    EXPECT_EQ(mu(-0.1, 0.1), 0.0);
    EXPECT_EQ(WaterViscosity(std::nan(""), 0.1, rho), 0.0);
    EXPECT_EQ(WaterViscosity(300, 0.1, 0.0), 0.0);
}

}  // namespace
}  // namespace tarvik
