#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <utility>
#include <sstream>
#include <string>
#include <vector>

#include "calc/noise.hpp"
#include "data/language.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"
#include "support/pack_texts.hpp"

namespace tarvik {
namespace {

// Markers instead of real texts, so the tests see which warning was given.
class AeroNoise : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = CurrentLanguage();
        for (int id : {63045, 63046, 63047, 63048, 63049, 63050, 63082})
            CurrentLanguage().Set(id, "<" + std::to_string(id) + ">");
    }
    NoiseResult Run(const AerodynamicNoiseInput& in, int point = 0) {
        warning.clear();
        flags.clear();
        return CalcAerodynamicNoise(in, nullptr, test::Texts(), warning, point, flags);
    }
    void TearDown() override { CurrentLanguage() = saved_; }
    std::string warning;
    ResultMarks flags;

private:
    LanguagePack saved_;
};

// Air through a line-size valve; p2 is set by each test.
AerodynamicNoiseInput Air() {
    AerodynamicNoiseInput in;
    in.p1 = 0.5;
    in.p2 = 0.4;
    in.gama = 1.4;
    in.W = 5000;
    in.M = 28.96;
    in.T1 = 293.15;
    in.Fl = 0.9;
    in.Fd = 0.46;
    in.D1 = in.D2 = in.d = in.D = 100;
    in.pa = 0.1013;
    in.Kv = 100;
    in.ro1 = 5.95;
    in.rw = 0.25;
    in.tp = 4;
    return in;
}

// The calculation written out once more, step by step, from the formulas of IEC 60534-8-3 as
// this program applies them (FLP/Fp for FL, pi to 14 decimals, trim attenuation added).
struct Reference {
    double F, pvcc, p2c, p2b, p2ce, fp, fo, fr, fg, Mo, M2, level;
    std::string regime;
};

Reference Compute(const AerodynamicNoiseInput& in) {
    const double pi = 3.14159265358979, R = 8314;
    Reference r{};
    double P1 = in.p1 * 1e6, P2 = in.p2 * 1e6, Pa = in.pa * 1e6;
    double Di = in.D2 / 1000, t = in.tp / 1000, Dm = in.D / 1000;
    double k = in.gama;

    double mass = 0;
    if (in.W > 0 && in.Q0 == 0) mass = in.W / 3600;
    if (in.Q0 > 0 && in.W == 0) mass = in.Q0 * (in.ro1 * 1.01325 * in.T1 / (10 * in.p1 * 273.15)) / 3600;

    // Fittings: valve between reducers (IEC 60534-2-1, Kv with mm).
    double a = in.d / in.D1, b = in.d / in.D2, c = in.Kv / (in.d * in.d);
    double sumK = 0.5 * std::pow(1 - a * a, 2) + std::pow(1 - b * b, 2) + (1 - std::pow(a, 4)) -
                  (1 - std::pow(b, 4));
    double inletK = 0.5 * std::pow(1 - a * a, 2) + 1 - std::pow(a, 4);
    double fp20 = 1 / std::sqrt(1 + sumK / 0.0016 * c * c);
    double flp = in.Fl / std::sqrt(1 + in.Fl * in.Fl / 0.0016 * inletK * c * c);
    r.F = flp / fp20;

    double pvc = P1 - (P1 - P2) / (r.F * r.F);
    r.pvcc = P1 * std::pow(2 / (k + 1), k / (k - 1));
    r.p2c = P1 - r.F * r.F * (P1 - r.pvcc);
    double alpha = r.pvcc / r.p2c;
    r.p2b = P1 / alpha * std::pow(1 / k, k / (k - 1));
    r.p2ce = P1 / (22 * alpha);

    double jet = in.FLn != 0 ? in.FLn : r.F;
    double Dj = 0.0049 * in.Fd * std::sqrt(in.Kv * jet);
    double trim = in.FLn != 0 ? in.dLn : 0;

    double Wa;
    double cvcc = std::sqrt(k * R * (2 * in.T1 / (k + 1)) / in.M);
    double Wms = mass * cvcc * cvcc / 2;
    double Mj = std::sqrt(2 / (k - 1) * (std::pow(P1 / (alpha * P2), (k - 1) / k) - 1));
    double exponent = 6.6 * r.F * r.F;
    if (P2 >= r.p2c) {
        r.regime = "I";
        double Uvc = std::sqrt(2 * k / (k - 1) * (1 - std::pow(pvc / P1, (k - 1) / k)) * P1 / in.ro1);
        double Tvc = in.T1 * std::pow(pvc / P1, (k - 1) / k);
        double Mvc = Uvc / std::sqrt(k * R * Tvc / in.M);
        Wa = 1e-4 * std::pow(Mvc, 3.6) * in.rw * (mass * Uvc * Uvc / 2) * r.F * r.F;
        r.fp = 0.2 * Uvc / Dj;
    } else if (P2 >= r.pvcc) {
        r.regime = "II";
        Wa = 1e-4 * std::pow(Mj, exponent) * in.rw * Wms * (P1 - P2) / (P1 - r.pvcc);
        r.fp = 0.2 * Mj * cvcc / Dj;
    } else if (P2 >= r.p2b) {
        r.regime = "III";
        Wa = 1e-4 * std::pow(Mj, exponent) * in.rw * Wms;
        r.fp = 0.2 * Mj * cvcc / Dj;
    } else if (P2 >= r.p2ce) {
        r.regime = "IV";
        Wa = 1e-4 * Mj * Mj / 2 * std::pow(std::sqrt(2.0), exponent) * in.rw * Wms;
        r.fp = 0.35 * cvcc / (1.25 * Dj * std::sqrt(Mj * Mj - 1));
    } else {
        r.regime = "V";
        double Mj5 = std::sqrt(2 / (k - 1) * (std::pow(22.0, (k - 1) / k) - 1));
        Wa = 1e-4 * Mj5 * Mj5 / 2 * std::pow(std::sqrt(2.0), exponent) * in.rw * Wms;
        r.fp = 0.35 * cvcc / (1.25 * Dj * std::sqrt(Mj5 * Mj5 - 1));
    }

    double rho2 = in.ro1 * P2 / P1;
    double c2 = std::sqrt(k * R * in.T1 / in.M);
    r.Mo = 4 * mass / (pi * Dm * Dm * rho2 * c2);
    double Lpi = 10 * std::log10(3.2e9 * Wa * rho2 * c2 / (Di * Di));
    r.fr = 5000 / (pi * Di);
    r.fo = r.fr / 4 * c2 / 343;
    r.fg = std::sqrt(3.0) * 343 * 343 / (pi * t * 5000);
    double Gx, Gy;
    if (r.fp < r.fo) {
        Gx = std::pow(r.fo / r.fr, 2.0 / 3.0) * std::pow(r.fp / r.fo, 4);
        Gy = r.fo < r.fg ? r.fo / r.fg : 1;
    } else {
        Gx = r.fp < r.fr ? std::pow(r.fp / r.fr, 2.0 / 3.0) : 1;
        Gy = r.fp < r.fg ? r.fp / r.fg : 1;
    }
    double TL = 10 * std::log10(7.6e-7 * std::pow(c2 / (t * r.fp), 2) * Gx /
                                (rho2 * c2 / (415 * Gy) + 1) * Pa / 101325);
    r.M2 = 4 * mass / (pi * Di * Di * rho2 * c2);
    double Lg = 16 * std::log10(1 / (1 - r.M2));
    double at1m = 5 + Lpi + TL + Lg + trim - 10 * std::log10((Di + 2 * t + 2) / (Di + 2 * t));
    r.level = std::max(0.0, at1m - in.dLi);
    return r;
}

// p2 in MPa whose value in Pa is exactly `pa`, when the conversion can hit it.
std::optional<double> MpaHitting(double pa) {
    double x = pa / 1e6;
    for (int i = 0; i < 8; ++i, x = std::nextafter(x, 0.0))
        if (x * 1e6 == pa) return x;
    x = pa / 1e6;
    for (int i = 0; i < 8; ++i, x = std::nextafter(x, 1e9))
        if (x * 1e6 == pa) return x;
    return std::nullopt;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream s(text);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
}

// Each line's label: the text up to and including " = ", or the whole line.
std::vector<std::string> Labels(const std::string& text) {
    std::vector<std::string> labels;
    for (const auto& line : Lines(text)) {
        auto eq = line.find(" = ");
        labels.push_back(eq == std::string::npos ? line : line.substr(0, eq + 3));
    }
    return labels;
}

void ExpectLevel(double actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected)));
}

TEST_F(AeroNoise, CompleteCasesAgreeWithTheFormulasInEveryRegime) {
    std::vector<AerodynamicNoiseInput> cases;
    auto a = Air();
    cases.push_back(a);  // subcritical, mass flow
    a.p2 = 0.29;
    a.W = 0;
    a.Q0 = 3000;  // normal volume flow
    a.tp = 2;
    cases.push_back(a);
    a = Air();  // valve between reducers: FLP/Fp replaces FL
    a.p2 = 0.2;
    a.D1 = a.D2 = 150;
    a.tp = 2;
    cases.push_back(a);
    a = Air();  // low-noise trim: FLn sets the jet, dLn counts
    a.p2 = 0.1;
    a.FLn = 0.7;
    a.dLn = -10;
    a.dLi = 3;
    cases.push_back(a);
    AerodynamicNoiseInput steam;  // steam far beyond the critical ratio
    steam.p1 = 3;
    steam.p2 = 0.11;
    steam.gama = 1.3;
    steam.W = 10000;
    steam.M = 18.015;
    steam.T1 = 573.15;
    steam.Fl = 0.85;
    steam.Fd = 0.3;
    steam.D1 = 150;
    steam.D2 = 300;
    steam.d = 100;
    steam.D = 100;
    steam.pa = 0.1013;
    steam.Kv = 40;
    steam.ro1 = 11.5;
    steam.rw = 0.25;
    steam.tp = 8;
    cases.push_back(steam);

    std::vector<std::string> regimes;
    std::set<std::string> branches;
    for (const auto& in : cases) {
        Reference r = Compute(in);
        NoiseResult out = Run(in);
        SCOPED_TRACE("regime " + r.regime);
        EXPECT_EQ(out.noiseRegime, r.regime);
        ASSERT_GT(r.level, 0);
        ExpectLevel(out.noise, r.level);
        EXPECT_NEAR(out.Mo, r.Mo, 1e-12);
        regimes.push_back(out.noiseRegime);
        if (r.fp < r.fo)
            branches.insert(r.fo < r.fg ? "fp<fo, fo<fg" : "fp<fo, fo>=fg");
        else
            branches.insert(std::string(r.fp < r.fr ? "fp<fr" : "fp>=fr") + (r.fp < r.fg ? ", fp<fg" : ", fp>=fg"));
    }
    EXPECT_EQ(regimes, (std::vector<std::string>{"I", "II", "III", "IV", "V"}));
    // The cases reach every branch of the frequency factors.
    EXPECT_EQ(branches, (std::set<std::string>{"fp<fo, fo<fg", "fp<fo, fo>=fg", "fp<fr, fp<fg",
                                               "fp>=fr, fp>=fg"}));
}

TEST_F(AeroNoise, RegimeBoundariesBelongToTheLessCriticalRegime) {
    auto in = Air();
    in.Fl = 0.8;
    Reference r = Compute(in);
    struct Boundary {
        double pa;
        const char* at;
        const char* below;
    } boundaries[] = {{r.p2c, "I", "II"}, {r.pvcc, "II", "III"}, {r.p2b, "III", "IV"}, {r.p2ce, "IV", "V"}};
    for (const auto& b : boundaries) {
        auto p2 = MpaHitting(b.pa);
        ASSERT_TRUE(p2) << b.at;
        in.p2 = *p2;
        EXPECT_EQ(Run(in).noiseRegime, b.at);
        in.p2 = std::nextafter(*p2, 0.0);
        EXPECT_EQ(Run(in).noiseRegime, b.below);
    }
}

TEST_F(AeroNoise, MachNumberLimits) {
    auto in = Air();
    in.D = 200;  // keeps the valve outlet slow, so only the pipe warning is tested
    const double pi = 3.14159265358979;
    const double rho2 = in.ro1 * (in.p2 * 1e6) / (in.p1 * 1e6);
    const double c2 = std::sqrt(in.gama * 8314 * in.T1 / in.M);
    // Sets D2 and W so that M2 = 4m/(pi Di^2 rho2 c2) comes out as exactly the double M2; not
    // every pipe diameter allows that.
    auto flowFor = [&](double M2) {
        for (int k = 0; k < 50; ++k) {
            in.D2 = 100 + 0.01 * k;
            const double Di = in.D2 / 1000;
            double W = M2 * pi * Di * Di * rho2 * c2 / 4 * 3600;
            for (int i = 0; i < 20; ++i) W = std::nextafter(W, 0.0);
            for (int i = 0; i < 40; ++i, W = std::nextafter(W, 1e300))
                if (4 * (W / 3600) / (pi * Di * Di * rho2 * c2) == M2) return W;
        }
        ADD_FAILURE() << "no flow gives M2 = " << M2;
        return 0.0;
    };

    in.W = flowFor(1.0);
    NoiseResult out = Run(in);
    EXPECT_EQ(out.noise, 0);
    EXPECT_EQ(warning, "<63048>");
    {
        test::NumericLocale c("C");
        CalcLog log;
        CalcAerodynamicNoise(in, &log, test::Texts(), warning, 0, flags);
        EXPECT_EQ(Lines(log.text()).back(), "M2 (42) = 1");  // stops before Lg
    }
    warning.clear();
    out = Run(in);
    EXPECT_TRUE(flags.empty());
    EXPECT_NEAR(out.Mo, std::pow(in.D2 / in.D, 2), 1e-12);  // written before the stop

    in.W = flowFor(0.4);
    out = Run(in);
    EXPECT_GT(out.noise, 0);
    ExpectLevel(out.noise, Compute(in).level);
    EXPECT_EQ(warning.substr(0, 7), "<63048>");

    in.W = flowFor(0.4) * 0.999;
    Run(in);
    EXPECT_EQ(warning.find("<63048>"), std::string::npos);

    // The valve outlet has its own limit and marks the velocity field.
    in = Air();
    in.D = 25;
    NoiseResult fast = Run(in, 1);
    EXPECT_GE(fast.Mo, 0.4);
    EXPECT_EQ(warning.substr(0, 7), "<63047>");
    ASSERT_FALSE(flags.empty());
    EXPECT_EQ(flags[0], (ResultMark{ResultField::Velocity, 1}));
}

TEST_F(AeroNoise, LevelAboveEightyFiveWarnsByTrim) {
    auto in = Air();
    in.p2 = 0.2;
    const double level = Run(in).noise;
    ASSERT_GT(level, 85);
    in.dLi = level - 85;
    EXPECT_EQ(Run(in, 2).noise, 85);
    EXPECT_EQ(warning, "");
    in.dLi = level - 85.01;
    EXPECT_NEAR(Run(in, 2).noise, 85.01, 1e-9);
    EXPECT_EQ(warning, "<63049>");
    EXPECT_EQ(flags, (ResultMarks{{ResultField::Noise, 2}}));

    in.dLi = 0;
    in.FLn = 0.9;
    in.dLn = 0;
    Run(in, 0);
    EXPECT_EQ(warning, "<63050>");
    EXPECT_EQ(flags, (ResultMarks{{ResultField::Noise, 0}}));
    in.FLn = -0.9;  // not a trim factor: no advice either way
    Run(in, 0);
    EXPECT_EQ(warning, "");

    in.FLn = 0;
    in.dLi = level + 5;  // attenuation beyond the level: no negative level
    EXPECT_EQ(Run(in).noise, 0);
}

TEST_F(AeroNoise, TrimAttenuationCountsOnlyWithItsFactor) {
    auto in = Air();
    in.p2 = 0.2;
    in.dLn = -10;
    const double withoutFactor = Run(in).noise;
    in.dLn = 0;
    EXPECT_EQ(withoutFactor, Run(in).noise);
    in.FLn = in.Fl;  // same jet as without the trim: the difference is dLn alone
    const double plain = Run(in).noise;
    in.dLn = -10;
    EXPECT_NEAR(Run(in).noise, plain - 10, 1e-9);
}

TEST_F(AeroNoise, MissingDiameterEndsBeforeAnyResult) {
    test::NumericLocale c("C");
    for (double AerodynamicNoiseInput::*field :
         {&AerodynamicNoiseInput::D1, &AerodynamicNoiseInput::D2, &AerodynamicNoiseInput::d,
          &AerodynamicNoiseInput::D}) {
        auto in = Air();
        in.*field = 0;
        CalcLog log;
        warning.clear();
        flags.clear();
        NoiseResult out = CalcAerodynamicNoise(in, &log, test::Texts(), warning, 0, flags);
        EXPECT_EQ(out.noise, 0);
        EXPECT_EQ(out.Mo, 0);
        EXPECT_EQ(out.noiseRegime, "");
        EXPECT_EQ(warning, "<63082>");
        EXPECT_TRUE(flags.empty());
        const std::string tail = "dLn = 0 dB\n\nD = 0 tudíž konec výpočtu\n";
        ASSERT_GE(log.text().size(), tail.size());
        EXPECT_EQ(log.text().substr(log.text().size() - tail.size()), tail);
    }
}

TEST_F(AeroNoise, NoFlowOrDegenerateInputsGiveNoLevel) {
    // Flow given neither or both ways: no mass flow, an internal level of -inf, a result of 0.
    for (auto [W, Q0] : {std::pair{0.0, 0.0}, std::pair{5000.0, 3000.0}}) {
        auto in = Air();
        in.W = W;
        in.Q0 = Q0;
        NoiseResult out = Run(in);
        EXPECT_EQ(out.noise, 0);
        EXPECT_EQ(out.Mo, 0);
        EXPECT_EQ(out.noiseRegime, "I");
        EXPECT_EQ(warning, "");
    }
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::function<void(AerodynamicNoiseInput&)>> breaks = {
        [](auto& in) { in.gama = 1; },   [](auto& in) { in.gama = 0; },  [](auto& in) { in.M = 0; },
        [](auto& in) { in.tp = 0; },     [](auto& in) { in.p2 = 0; },    [](auto& in) { in.p1 = 0; },
        [](auto& in) { in.ro1 = 0; },    [](auto& in) { in.T1 = 0; },    [](auto& in) { in.Kv = 0; },
        [](auto& in) { in.Fl = 0; },     [](auto& in) { in.Fd = 0; },    [](auto& in) { in.rw = 0; },
        [](auto& in) { in.pa = 0; },     [](auto& in) { in.p2 = in.p1; }, [inf](auto& in) { in.W = inf; },
        [](auto& in) { in.D2 = -100; },
    };
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        for (double p2 : {0.4, 0.2, 0.01}) {
            auto in = Air();
            in.p2 = p2;
            breaks[i](in);
            NoiseResult out = Run(in);
            EXPECT_TRUE(std::isfinite(out.noise) && out.noise >= 0) << "case " << i << " p2 " << p2;
            EXPECT_TRUE(std::isfinite(out.Mo)) << "case " << i << " p2 " << p2;
        }
    }
}

TEST_F(AeroNoise, LogLinesInOrderWithUnits) {
    test::NumericLocale c("C");
    auto in = Air();
    in.T1 = 293.15;
    in.M = 28.9646;
    in.dLi = 2.46;
    CalcLog log;
    CalcAerodynamicNoise(in, &log, test::Texts(), warning, 0, flags);
    const std::vector<std::string> expected = {
        "<63046>p1 = ", "p2 = ", "gama = ", "Q0 = ", "W = ", "M = ", "T1 = ", "Fl = ", "Fd = ",
        "D1 = ", "D2 = ", "d = ", "D = ", "pa = ", "Kv = ", "ro1 = ", "rw = ", "FLn = ", "tp = ",
        "dLn = ", "m = ", "<63045>Flp/Fp = ", "pvc (1) = ", "pvcc (2) = ", "p2c (3) = ",
        "alfa (4) = ", "p2b (5) = ", "p2ce (6) = ", "Dj (8) = ", "Uvc (9) = ", "Wm (10) = ",
        "Tvc (11) = ", "cvc (12) = ", "Mvc (13) = ", "eta1 (14) = ", "Wa (15) = ", "fp (17) = ",
        "režim = ", "ro2 (33) = ", "c2 (34) = ", "Mo (35) = ", "Lpi (36) = ", "Gx = ", "Gy = ",
        "TL (37) = ", "fr (38) = ", "fo (39) = ", "fg (40) = ", "M2 (42) = ", "Lg (41) = ",
        "dLn = ", "LpAe (43) = ", "LpAe,1m (44) = ", "dLi = ", "LpAe,1m-dLi = "};
    EXPECT_EQ(Labels(log.text()), expected);
    const auto lines = Lines(log.text());
    EXPECT_EQ(lines[0], "<63046>p1 = 500000 Pa");
    EXPECT_EQ(lines[3], "Q0 = 0 Nm3/hod.");
    EXPECT_EQ(lines[4], "W = 5000 kg/hod.");
    EXPECT_EQ(lines[5], "M = 28.965");
    EXPECT_EQ(lines[6], "T1 = 293.15 °K");
    EXPECT_EQ(lines[9], "D1 = 0.1 m");
    EXPECT_EQ(lines[13], "pa = 101300 Pa");
    EXPECT_EQ(lines[18], "tp = 0.004 m");
    EXPECT_EQ(lines[19], "dLn = 0 dB");
    EXPECT_EQ(lines[20], "m = 1.388888889 kg/s");
    EXPECT_EQ(lines[37], "režim = I");
    EXPECT_EQ(lines[53], "dLi = 2.5 ");
    EXPECT_EQ(lines[54].back(), ' ');
    EXPECT_EQ(lines[50], "dLn = 0");
}

TEST_F(AeroNoise, CriticalRegimesLogTheirOwnEquations) {
    test::NumericLocale c("C");
    auto labelsFor = [&](double p2, double FLn) {
        auto in = Air();
        in.p2 = p2;
        in.FLn = FLn;
        in.dLn = -5;
        CalcLog log;
        CalcAerodynamicNoise(in, &log, test::Texts(), warning, 0, flags);
        auto all = Labels(log.text());
        auto from = std::find(all.begin(), all.end(), "p2ce (6) = ") + 1;
        auto to = std::find(all.begin(), all.end(), "ro2 (33) = ");
        return std::vector<std::string>(from, to);
    };
    const std::vector<std::string> critical = {"Tvcc (18) = ", "cvcc (19) = ", "Wms (20) = ", "Mj (21) = "};
    auto with = [&](const char* dj, std::vector<std::string> tail) {
        std::vector<std::string> v{dj};
        v.insert(v.end(), critical.begin(), critical.end());
        v.insert(v.end(), tail.begin(), tail.end());
        v.push_back("režim = ");
        return v;
    };
    EXPECT_EQ(labelsFor(0.29, 0), with("Dj (8) = ", {"eta2 (22) = ", "Wa (23) = ", "fp (24) = "}));
    EXPECT_EQ(labelsFor(0.2, 0.7), with("Dj (45) = ", {"eta3 (25) = ", "Wa (26) = ", "fp (24) = "}));
    EXPECT_EQ(labelsFor(0.1, 0), with("Dj (8) = ", {"eta4 (27) = ", "Wa (28) = ", "fp (29) = "}));
    EXPECT_EQ(labelsFor(0.01, 0),
              with("Dj (8) = ", {"Mj5 (30) = ", "eta5 (31) = ", "Wa (32) = ", "fp (29) = "}));
}

TEST(NoiseTexts, EveryLanguageCarriesTheNoiseTexts) {
    const LanguagePack saved = CurrentLanguage();
    const int savedLang = CurrentSettings().lang;
    for (int lang = 0; lang < 4; ++lang) {
        test::UseLanguage(lang);
        for (int id : {62182, 63046, 63047, 63048, 63049, 63050, 63082, 63083})
            EXPECT_FALSE(GetText(id).empty()) << "language " << lang << " text " << id;
        // Warnings are concatenated in one message: each ends its own line.
        for (int id : {63047, 63048, 63049, 63050, 63082, 63083})
            EXPECT_EQ(GetText(id).back(), '\n') << "language " << lang << " text " << id;
    }
    CurrentLanguage() = saved;
    CurrentSettings().lang = savedLang;
}

}  // namespace
}  // namespace tarvik
