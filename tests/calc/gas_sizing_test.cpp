#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calc/gas_sizing.hpp"
#include "data/language.hpp"
#include "support/numeric_locale.hpp"
#include "support/pack_texts.hpp"

namespace tarvik {
namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

// Air 1000 Nm3/h, 0.5 -> 0.4 MPa, 20 °C, xT 0.7: x = 0.2 < Fγ xT = 0.7, Y = 1 - 0.2/2.1.
const GasSizingInput kAir{.p1 = 0.5, .p2 = 0.4, .Z = 1, .gama = 1.4, .Q0 = 1000, .M = 28.97, .T1 = 293.15,
                          .Fl = 0.9, .Fd = 1, .xT = 0.7};
const double kRho = 28.97 * 0.5e6 / (8314.46 * 293.15);  // its density by the gas law

class GasSizing : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentLanguage().Set(63044, "GAS\n");
        CurrentLanguage().Set(63045, "SUB\n");
    }
    std::string Run(const GasSizingInput& in) {
        CalcLog log;
        kv_ = SizeGas(in, &log, test::Texts(), regime_);
        return log.text();
    }
    test::NumericLocale c_{"C"};
    double kv_ = 0;
    FlowRegime regime_ = FlowRegime::Flashing;  // a value the gas sizing never sets
};

TEST_F(GasSizing, FormsByHand) {
    const double Y = 1 - 0.2 / 2.1, fxt = 1.3 / 1.4 * 0.7;  // choked cases: gama 1.3, x = 0.8
    GasSizingInput dens = kAir, molar = kAir;
    dens.Q0 = molar.Q0 = 0, dens.W = molar.W = 1000, dens.rho1 = kRho;
    const struct { GasSizingInput in; bool choked; const char* text; double kv; } cases[] = {
        {kAir, false, "Normal Flow\nKv (8) = ", 1000 / (24.6 * 500 * Y) * std::sqrt(28.97 * 293.15 / 0.2)},
        {dens, false, "Normal Flow\nKv (6) = ", 1000 / (3.16 * Y * std::sqrt(0.2 * 500 * kRho))},
        {molar, false, "Normal Flow\nKv (7) = ", 1000 / (1.1 * 500 * Y) * std::sqrt(293.15 / (0.2 * 28.97))},
        {kAir, true, "Chocked Flow\nKv (14) = ", 1000 / (0.667 * 24.6 * 500) * std::sqrt(28.97 * 293.15 / fxt)},
        {dens, true, "Chocked Flow\nKv (12) = ", 1000 / (0.667 * 3.16 * std::sqrt(fxt * 500 * kRho))},
        {molar, true, "Chocked Flow\nKv (13) = ", 1000 / (0.667 * 1.1 * 500) * std::sqrt(293.15 / (fxt * 28.97))},
    };
    for (auto c : cases) {
        if (c.choked) c.in.p2 = 0.1, c.in.gama = 1.3;
        EXPECT_NE(Run(c.in).find(c.text), std::string::npos) << c.text;
        EXPECT_NEAR(kv_, c.kv, 1e-9) << c.text;
        EXPECT_EQ(regime_, c.choked ? FlowRegime::Choked : FlowRegime::Turbulent);
    }
    GasSizingInput in = kAir;
    in.p1 = 1.0, in.p2 = 0.5, in.xT = 0.5;  // x equals Fγ xT exactly: choked
    EXPECT_NE(Run(in).find("Chocked Flow\nKv (14) = "), std::string::npos);
    in.M = 0, in.rho1 = kRho * 2;  // density without molar mass: M by the gas law
    EXPECT_NE(Run(in).find("M = rho1*Z*8314.46*T1/p1 = 28.97\n"), std::string::npos);
}

TEST_F(GasSizing, ReducerIteration) {
    GasSizingInput in = kAir;
    in.D1 = in.D2 = 25, in.ny = 1.5e-5, in.d = 25;  // pipe of valve size: the step Kv stands
    EXPECT_NE(Run(in).find("Turbulent flow\nKv = 18.51675078\n"), std::string::npos);
    in.D1 = in.D2 = 80;  // value from a separate evaluation of (20), (37) and (11)
    EXPECT_EQ(Count(Run(in), "C (11) = "), 8);
    EXPECT_NEAR(kv_, 31.792673827624316, 1e-8);
    in.Q0 = 0, in.W = 1000, in.rho1 = kRho;
    EXPECT_GT(Count(Run(in), "C (9) = "), 0);
    in.rho1 = 0, in.p2 = 0.1;
    EXPECT_GT(Count(Run(in), "C (16) = "), 0);

    in = kAir;  // 10 mm valve in 100 mm pipes: diverges, bounded or stopped by Kvs
    in.Q0 = 100000, in.D1 = in.D2 = 100, in.d = 10;
    const std::string diverging = Run(in);
    EXPECT_TRUE(std::isfinite(kv_));
    EXPECT_EQ(Count(diverging, "\nCi = "), 50);
    EXPECT_NE(diverging.find("stopped after 50 passes"), std::string::npos);
    in.Kvs = 100;
    EXPECT_EQ(Count(Run(in), "\nCi = "), 1);

    in = kAir;  // outlet expander alone, Ci/d² beyond the range of (20): Fp = 1
    in.Q0 = 20000, in.D1 = 50, in.D2 = 100, in.d = 50;
    EXPECT_NE(Run(in).find("Fp = 1\nFp (20) = 1\n"), std::string::npos);
    EXPECT_NEAR(kv_, 20 * SizeGas(kAir, nullptr, test::Texts(), regime_), 1e-6);
}

TEST_F(GasSizing, NonTurbulentIteration) {
    GasSizingInput in = kAir;  // 2 Nm3/h, 1000 cSt, 15 mm: stops in the fourth pass
    in.Q0 = 2, in.D1 = in.D2 = 15, in.ny = 1e-3, in.d = 15;
    EXPECT_EQ(Count(Run(in), "C (19) = "), 4);
    EXPECT_NEAR(kv_, 0.05545103693403, 1e-12);
    in.Kvs = 0.02;  // the first pass reaches twice Kvs
    EXPECT_EQ(Count(Run(in), "C (19) = "), 1);

    in.Kvs = 0, in.Q0 = 0, in.W = 2, in.rho1 = kRho;  // (18): still above Ci after five passes
    EXPECT_EQ(Count(Run(in), "C (18) = "), 5);
    EXPECT_NEAR(kv_, 0.07943417885789775, 1e-12);
    in.M = 0;  // the same with M from the density
    Run(in);
    EXPECT_NEAR(kv_, 0.07943417885789775, 1e-12);
    in.M = 28.97, in.rho1 = 0;  // and with the density from M, said in the log
    EXPECT_NE(Run(in).find("rho1 = M*p1/(Z*8314.46*T1) = 5.943\nReV (28) ="), std::string::npos);
    EXPECT_NEAR(kv_, 0.07943417885789775, 1e-3 * kv_);  // N8 and N6 agree to 4 digits
    in.M = 0, in.rho1 = kRho;
    in.Z = 0;  // no M at all: 0, said in the log
    EXPECT_NE(Run(in).find("M = 0: no molar mass"), std::string::npos);
    EXPECT_EQ(kv_, 0.0);
}

TEST_F(GasSizing, DegenerateInput) {
    for (double GasSizingInput::*field : {&GasSizingInput::p1, &GasSizingInput::Fl, &GasSizingInput::xT,
                                          &GasSizingInput::gama}) {
        GasSizingInput in = kAir;
        in.*field = 0;
        EXPECT_EQ(Run(in), "");
        EXPECT_EQ(kv_, 0.0);
        EXPECT_EQ(regime_, FlowRegime::Flashing);
    }
    GasSizingInput in = kAir;
    in.p2 = 0.6;  // outlet above inlet
    EXPECT_EQ(SizeGas(in, nullptr, test::Texts(), regime_), 0.0);
    in = kAir;
    in.Q0 = 0, in.W = 1000, in.M = 0;  // mass flow without density or molar mass
    EXPECT_EQ(SizeGas(in, nullptr, test::Texts(), regime_), 0.0);
}

TEST_F(GasSizing, LogBlock) {
    GasSizingInput in = kAir;
    in.p2 = 0.1, in.D1 = in.D2 = 80, in.ny = 1.5e-5, in.d = 25;
    EXPECT_EQ(Run(in),
              "GAS\np1 = 0.5\np2 = 0.1\nrho1 = 0\nZ = 1\ngama = 1.4\nQ = 1000\nW = 0\nM = 28.97\n"
              "T1 = 293.15\nFl = 0.9\nFd = 1\nxT = 0.7\nD1 = 80\nD2 = 80\nd = 25\nny = 1.5e-5\nKvs = 0\n"
              "SUB\nFgama (38) = 1\n(p1-p2)/p1 = 0.8\nFgama*xT = 0.7\nY (36) = 0.619047619\n"
              "Chocked Flow\nKv (14) = 13.42577088\n\n"
              "ReV (28) =1356684.61\nTurbulent flow\n"
              "Ci = 13.42577088\nFp (20) = 0.8599510953\nxTp (37) = 0.7567707353\nx = 0.8\n"
              "Fgama*xTp = 0.7567707353\nC (17) = 15.01524189\n"
              "Ci = 15.01524189\nFp (20) = 0.8331669804\nxTp (37) = 0.7676087491\nx = 0.8\n"
              "Fgama*xTp = 0.7676087491\nC (17) = 15.38814406\n"
              "Ci = 15.38814406\nFp (20) = 0.8268331868\nxTp (37) = 0.7701660228\nx = 0.8\n"
              "Fgama*xTp = 0.7701660228\nC (17) = 15.48025728\n"
              "Kv = 15.48025728\n");
}

}  // namespace
}  // namespace tarvik
