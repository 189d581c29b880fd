// The verification tables of the IAPWS-IF97 release, reproduced to 1e-8 relative.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/if97.hpp"

namespace tarvik::if97 {
namespace {

constexpr double kRel = 1e-8;

void ExpectRel(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, kRel * std::fabs(expected)) << what;
}

struct PtRow {
    double T, p, v, h, u, s, cp, w;
};

TEST(If97Verification, Region1) {
    const PtRow rows[] = {
        {300, 3, 0.100215168e-2, 0.115331273e3, 0.112324818e3, 0.392294792, 0.417301218e1,
         0.150773921e4},
        {300, 80, 0.971180894e-3, 0.184142828e3, 0.106448356e3, 0.368563852, 0.401008987e1,
         0.163469054e4},
        {500, 3, 0.120241800e-2, 0.975542239e3, 0.971934985e3, 0.258041912e1, 0.465580682e1,
         0.124071337e4},
    };
    for (const PtRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "T=" << r.T << " p=" << r.p);
        ExpectRel(Region1SpecificVolume(r.T, r.p), r.v, "v");
        ExpectRel(Region1Enthalpy(r.T, r.p), r.h, "h");
        ExpectRel(Region1InternalEnergy(r.T, r.p), r.u, "u");
        ExpectRel(Region1Entropy(r.T, r.p), r.s, "s");
        ExpectRel(Region1IsobaricHeatCapacity(r.T, r.p), r.cp, "cp");
        ExpectRel(Region1SoundSpeed(r.T, r.p), r.w, "w");
    }
}

TEST(If97Verification, Region2) {
    const PtRow rows[] = {
        {300, 0.0035, 0.394913866e2, 0.254991145e4, 0.241169160e4, 0.852238967e1,
         0.191300162e1, 0.427920172e3},
        {700, 0.0035, 0.923015898e2, 0.333568375e4, 0.301262819e4, 0.101749996e2,
         0.208141274e1, 0.644289068e3},
        {700, 30, 0.542946619e-2, 0.263149474e4, 0.246861076e4, 0.517540298e1, 0.103505092e2,
         0.480386523e3},
    };
    for (const PtRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "T=" << r.T << " p=" << r.p);
        ExpectRel(Region2SpecificVolume(r.T, r.p), r.v, "v");
        ExpectRel(Region2Enthalpy(r.T, r.p), r.h, "h");
        ExpectRel(Region2InternalEnergy(r.T, r.p), r.u, "u");
        ExpectRel(Region2Entropy(r.T, r.p), r.s, "s");
        ExpectRel(Region2IsobaricHeatCapacity(r.T, r.p), r.cp, "cp");
        ExpectRel(Region2SoundSpeed(r.T, r.p), r.w, "w");
    }
}

TEST(If97Verification, Region3) {
    struct Row {
        double T, rho, p, h, u, s, cp, w;
    };
    const Row rows[] = {
        {650, 500, 0.255837018e2, 0.186343019e4, 0.181226279e4, 0.405427273e1, 0.138935717e2,
         0.502005554e3},
        {650, 200, 0.222930643e2, 0.237512401e4, 0.226365868e4, 0.485438792e1, 0.446579342e2,
         0.383444594e3},
        {750, 500, 0.783095639e2, 0.225868845e4, 0.210206932e4, 0.446971906e1, 0.634165359e1,
         0.760696041e3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "T=" << r.T << " rho=" << r.rho);
        ExpectRel(Region3Pressure(r.T, r.rho), r.p, "p");
        ExpectRel(Region3Enthalpy(r.T, r.rho), r.h, "h");
        ExpectRel(Region3InternalEnergy(r.T, r.rho), r.u, "u");
        ExpectRel(Region3Entropy(r.T, r.rho), r.s, "s");
        ExpectRel(Region3IsobaricHeatCapacity(r.T, r.rho), r.cp, "cp");
        ExpectRel(Region3SoundSpeed(r.T, r.rho), r.w, "w");
    }
}

TEST(If97Verification, SaturationLine) {
    ExpectRel(SaturationPressure(300), 0.353658941e-2, "ps(300)");
    ExpectRel(SaturationPressure(500), 0.263889776e1, "ps(500)");
    ExpectRel(SaturationPressure(600), 0.123443146e2, "ps(600)");
    ExpectRel(SaturationTemperature(0.1), 0.372755919e3, "Ts(0.1)");
    ExpectRel(SaturationTemperature(1), 0.453035632e3, "Ts(1)");
    ExpectRel(SaturationTemperature(10), 0.584149488e3, "Ts(10)");
}

TEST(If97Verification, BoundaryBetweenRegions2And3) {
    ExpectRel(B23Pressure(623.15), 0.165291643e2, "p(623.15)");
    ExpectRel(B23Temperature(0.165291643e2), 0.623150000e3, "T(16.5291643)");
}

TEST(If97Ranges, SaturationEquationsAreZeroOutsideTheirRange) {
    EXPECT_EQ(SaturationPressure(273.14), 0.0);
    EXPECT_EQ(SaturationPressure(647.1), 0.0);
    EXPECT_GT(SaturationPressure(kCriticalTemperature), 22.0);
    EXPECT_EQ(SaturationTemperature(22.0641), 0.0);
    EXPECT_EQ(SaturationTemperature(0.0006), 0.0);
    EXPECT_EQ(SaturationTemperature(std::nan("")), 0.0);
    EXPECT_NEAR(SaturationTemperature(kTriplePressureLimit), 273.15, 1e-4);
    EXPECT_EQ(B23Temperature(10.0), 0.0);  // below n5 the root is imaginary
}

TEST(If97Ranges, SaturationEquationsInvertEachOther) {
    for (double T = 275.0; T < 647.0; T += 17.0) {
        SCOPED_TRACE(T);
        EXPECT_NEAR(SaturationTemperature(SaturationPressure(T)), T, 1e-9 * T);
    }
}

}  // namespace
}  // namespace tarvik::if97
