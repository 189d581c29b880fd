#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "calc/calculation_run.hpp"
#include "calc/steam_tables.hpp"
#include "data/language.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"
#include "support/pack_texts.hpp"

namespace tarvik {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size())) ++n;
    return n;
}

class CalculationRun : public ::testing::Test {
protected:
    void SetUp() override { test::UseLanguage(2); }

    // The hand-checked water point: 10 m3/h, 10 -> 9 bar, FL 0.9 gives Kv 10.0.
    static OperatingPoint WaterPoint(double Q = 10) {
        OperatingPoint p;
        p.enabled = true;
        p.Q() = Q;
        p.p1() = 10;
        p.p2() = 9;
        p.T1() = 20;
        p.ny() = 1;
        p.pv() = 0.023;
        p.pc() = 221;
        p.ro1() = 1000;
        p.cF() = 1480;
        p.Fl() = 0.9;
        p.Fd() = 0.5;
        p.xFz() = 0.5;
        return p;
    }

    static ProcessData Water() {
        ProcessData d;
        d.medium = MediumState::Water;
        d.units = {"m3/h", "bar", "bar", "°C", "cSt", "bar", "bar"};
        d.characteristic = Characteristic::Linear;
        d.points[0] = WaterPoint();
        return d;
    }

    static ProcessData Gas() {
        ProcessData d;
        d.medium = MediumState::Gas;
        d.units = {"Nm3/h", "bar", "bar", "°C", "cSt", "kg/Nm3", "bar"};
        d.characteristic = Characteristic::Linear;
        OperatingPoint& p = d.points[0];
        p.enabled = true;
        p.Q() = 1000;
        p.p1() = 5;
        p.p2() = 4;
        p.T1() = 20;
        p.rho1() = 1.293;
        p.M() = 28.97;
        p.Z() = 1;
        p.gama() = 1.4;
        p.Fl() = 0.9;
        p.Fd() = 0.46;
        p.xT() = 0.7;
        return d;
    }

    // A linear valve of Kvs 25 whose FL falls from 0.95 to 0.85 over the travel.
    static CatalogueValve LinearValve() {
        CatalogueValve v;
        v.characteristic = kCharLinear;
        v.Kvs = 25;
        v.minKv = 0.5;
        v.tableFlags = {1, 0, 1, 0, 1, 1};
        for (std::size_t k = 0; k < 11; ++k) {
            v.FL[k] = 0.95 - 0.01 * static_cast<double>(k);
            v.Fd[k] = 0.1 + 0.05 * static_cast<double>(k);
            v.Kv[k] = 2.5 * static_cast<double>(k);
        }
        v.xT[0] = 0.75;
        v.xT[10] = 0.65;
        v.xFz[0] = 0.3;
        v.xFz[10] = 0.2;
        return v;
    }

    RunOutcome Run(ProcessData& d, RunOptions options = {}) {
        options.log = &log_;
        return RunCalculation(d, test::Texts(), options);
    }

    CalcLog log_;
};

TEST_F(CalculationRun, EachInputProblemNamesItsMessagePointAndField) {
    struct Case {
        const char* what;
        void (*change)(ProcessData&);
        int message;
        int point;
        InputField field;
    };
    const std::vector<Case> cases = {
        {"no flow at the second point",
         [](ProcessData& d) { d.points[1] = WaterPoint(0); }, 63107, 1, InputField::Q},
        {"p2 above p1", [](ProcessData& d) { d.points[0].p2() = 11; }, 63015, 0, InputField::p2},
        {"p2 equal to p1", [](ProcessData& d) { d.points[0].p2() = 10; }, 63015, 0, InputField::p2},
        {"p2 zero", [](ProcessData& d) { d.points[0].p2() = 0; }, 63015, 0, InputField::p2},
        {"gauge p1 below vacuum",
         [](ProcessData& d) {
             d.gaugePressures = true;
             d.points[0].p1() = -2;
         },
         63108, 0, InputField::p1},
        {"water below its vapour pressure", [](ProcessData& d) { d.points[0].pv() = 12; }, 63022, 0, InputField::p1},
        {"liquid below its vapour pressure",
         [](ProcessData& d) {
             d.medium = MediumState::Liquid;
             d.points[0].pv() = 12;
         },
         63014, 0, InputField::p1},
        {"pipes without viscosity",
         [](ProcessData& d) {
             d.pipes.inletOD = 60;
             d.points[0].ny() = 0;
         },
         63023, 0, InputField::ny},
        {"water hotter than boiling", [](ProcessData& d) { d.points[0].T1() = 185; }, 63017, 0, InputField::T1},
        {"stored Kv above Kvs",
         [](ProcessData& d) {
             d.Kvs = 8;
             d.results[0].Kv = 10;
         },
         63031, 0, InputField::Kv},
        {"no characteristic", [](ProcessData& d) { d.characteristic = Characteristic::Unknown; }, 63032, -1,
         InputField::Characteristic},
    };
    for (const auto& c : cases) {
        ProcessData d = Water();
        c.change(d);
        const Validation v = ValidateInputs(d);
        EXPECT_EQ(v.message, c.message) << c.what;
        EXPECT_EQ(v.point, c.point) << c.what;
        EXPECT_EQ(v.field, c.field) << c.what;
    }
    ProcessData ok = Water();
    EXPECT_TRUE(ValidateInputs(ok).ok());
    // A refused run computes and logs nothing.
    ProcessData refused = Water();
    refused.points[0].Q() = -1;
    EXPECT_FALSE(Run(refused).validation.ok());
    EXPECT_FALSE(refused.results[0].computed);
    EXPECT_TRUE(log_.text().empty());
}

TEST_F(CalculationRun, SteamAndGasChecksCorrectTheirFields) {
    ProcessData steam = Gas();
    steam.medium = MediumState::Steam;
    steam.units[kUnitFlow] = "kg/h";
    steam.units[kUnitFifth] = "kg/m3";
    steam.points[0].T1() = 140;  // below boiling at 5 bar
    EXPECT_EQ(ValidateInputs(steam).message, 63016);
    steam.points[0].T1() = 200;
    steam.points[0].gama() = -1;
    EXPECT_EQ(ValidateInputs(steam).message, 63028);
    EXPECT_EQ(steam.points[0].gama(), 1.3);
    EXPECT_TRUE(ValidateInputs(steam).ok());

    ProcessData gas = Gas();
    gas.points[0].M() = 0;
    EXPECT_EQ(ValidateInputs(gas).field, InputField::M);
    gas.points[0].M() = 28.97;
    gas.points[0].Z() = 0;
    EXPECT_EQ(ValidateInputs(gas).message, 63026);
    EXPECT_EQ(gas.points[0].Z(), 1);
    gas.points[0].gama() = 0;
    EXPECT_EQ(ValidateInputs(gas).message, 63027);
    EXPECT_EQ(gas.points[0].gama(), 1.3);
    gas.units[kUnitFlow] = "kg/h";
    gas.points[0].rho1() = 0;
    EXPECT_EQ(ValidateInputs(gas).message, 63024);
    gas.points[0].rho1() = 5.9;
    gas.pipes.inletOD = 115;
    EXPECT_EQ(ValidateInputs(gas).message, 63029);
    gas.pipes.outletWall = 4;
    gas.rw = 0.2;
    EXPECT_EQ(ValidateInputs(gas).field, InputField::rw);
    gas.rw = 0.25;
    EXPECT_TRUE(ValidateInputs(gas).ok());
}

TEST_F(CalculationRun, NegativeOutletPressureIsADropOrAsAnswered) {
    ProcessData d = Water();
    d.points[0].p1() = 6;
    d.points[0].p2() = -0.2;
    EXPECT_TRUE(ValidateInputs(d).ok());
    EXPECT_DOUBLE_EQ(d.points[0].p2(), 5.8);

    // Gauge entry near atmospheric: the answer decides; the question names the point.
    d = Water();
    d.gaugePressures = true;
    d.units[kUnitP2] = "MPa";
    d.points[0].p2() = -0.05;
    std::vector<int> asked;
    EXPECT_TRUE(ValidateInputs(d, [&](int point) {
                    asked.push_back(point);
                    return false;
                }).ok());
    EXPECT_EQ(asked, std::vector<int>{0});
    EXPECT_EQ(d.points[0].p2(), -0.05);
    EXPECT_TRUE(ValidateInputs(d, [](int) { return true; }).ok());
    EXPECT_DOUBLE_EQ(d.points[0].p2(), 0.95);

    // Further below atmospheric there is no question: always a drop.
    d.points[0].p2() = -0.5;
    asked.clear();
    EXPECT_TRUE(ValidateInputs(d, [&](int point) {
                    asked.push_back(point);
                    return false;
                }).ok());
    EXPECT_TRUE(asked.empty());
    EXPECT_DOUBLE_EQ(d.points[0].p2(), 0.5);
}

TEST_F(CalculationRun, WaterPointGivesTheHandCheckedKv) {
    test::NumericLocale c("C");
    ProcessData d = Water();
    d.D = 50;
    const RunOutcome out = Run(d);
    ASSERT_TRUE(out.computed);
    const SizingResult& r = d.results[0];
    EXPECT_NEAR(r.exact.Kv, 10.0, 1e-9);
    EXPECT_DOUBLE_EQ(r.Kv, 10.0);
    EXPECT_EQ(r.opening, 0);  // no Kvs
    EXPECT_EQ(r.regime, FlowRegime::Turbulent);
    // 10 m3/h in DN 50: 10 / (0.05^2 * pi / 4 * 3600) m/s, stored with 4 significant digits.
    EXPECT_NEAR(r.exact.velocity, 10 / (0.0025 * 3.1415926535 / 4 * 3600), 1e-9);
    EXPECT_DOUBLE_EQ(r.velocity, 1.415);
    EXPECT_EQ(out.summary, "");
    EXPECT_EQ(Count(log_.text(), GetText(63044)), 1u);  // sized once: no valve
    EXPECT_NE(log_.text().find("p1 = 1\n"), std::string::npos);
}

TEST_F(CalculationRun, GaugePressuresAreSizedAbsolute) {
    test::NumericLocale c("C");
    ProcessData d = Water();
    d.gaugePressures = true;
    d.units[kUnitP1] = d.units[kUnitP2] = "MPa";
    d.points[0].p1() = 0.5;
    d.points[0].p2() = 0.3;
    Run(d);
    EXPECT_NE(log_.text().find("p1 = 0.6013\n"), std::string::npos) << log_.text();
    EXPECT_NE(log_.text().find("p2 = 0.4013\n"), std::string::npos);
    EXPECT_NEAR(d.results[0].exact.Kv, 10 * 10 * std::sqrt(0.001 / 0.2), 1e-9);
}

TEST_F(CalculationRun, DisabledPointKeepsItsResultsAndStaysOutOfLogAndSummary) {
    ProcessData d = Water();
    d.Kvs = 12;
    d.points[2] = WaterPoint(20);  // Kv 20 > Kvs: would warn
    d.points[2].enabled = false;
    d.results[2].computed = true;
    d.results[2].Kv = 123;
    d.results[2].message = "old";
    const RunOutcome out = Run(d);
    EXPECT_EQ(d.results[2].Kv, 123);
    EXPECT_EQ(d.results[2].message, "old");
    EXPECT_EQ(out.summary, "");
    EXPECT_EQ(Count(log_.text(), GetText(63044)), 1u);
}

TEST_F(CalculationRun, SummaryHeadersAndMarksFollowThePointsThatWarn) {
    ProcessData d = Water();
    d.Kvs = 12;
    d.points[1] = WaterPoint(20);  // only the second point exceeds Kvs
    const RunOutcome out = Run(d);
    EXPECT_EQ(out.summary, "\n" + FormatText(63058, "2") + GetText(63056));
    EXPECT_EQ(out.marks, (ResultMarks{{ResultField::Kv, 1}}));
    EXPECT_EQ(d.results[0].message, "");

    d.points[0] = WaterPoint(20);
    d.results = {};
    const RunOutcome both = Run(d);
    EXPECT_EQ(both.summary, FormatText(63058, "1") + GetText(63056) + "\n" + FormatText(63058, "2") + GetText(63056));
    EXPECT_EQ(both.marks, (ResultMarks{{ResultField::Kv, 0}, {ResultField::Kv, 1}}));
}

TEST_F(CalculationRun, OnOffValveComputesNothing) {
    ProcessData d = Water();
    d.valve = LinearValve();
    d.valve->characteristic = kCharOnOff;
    d.Kvs = 25;
    d.points[0].p2() = 12;  // no pressure check for an on-off valve
    d.results[0].Kv = 7;
    bool stored = false;
    RunOptions options;
    options.onValidated = [&] { stored = true; };
    const RunOutcome out = Run(d, options);
    EXPECT_TRUE(out.validation.ok());
    EXPECT_TRUE(stored);
    EXPECT_FALSE(out.computed);
    EXPECT_EQ(d.results[0].Kv, 7);
    EXPECT_TRUE(log_.text().empty());
}

TEST_F(CalculationRun, CatalogueValveIterationSettlesOnItsCoefficients) {
    // Choked water: Kv depends on FL, which depends on the opening.
    ProcessData d = Water();
    d.valve = LinearValve();
    d.Kvs = 25;
    d.points[0].p2() = 1;
    const RunOutcome out = Run(d);
    ASSERT_TRUE(out.computed);
    const SizingResult& r = d.results[0];
    const double h = r.exact.Kv / 25;
    const double Fl = 0.95 - 0.1 * h;  // the FL table is linear in the travel
    const double Ff = 0.96 - 0.28 * std::sqrt(0.0023 / 22.1);
    const double expected = 10 * 10 / Fl * std::sqrt(0.001 / (1.0 - Ff * 0.0023));
    EXPECT_NEAR(r.exact.Kv, expected, 0.01 * expected);
    EXPECT_NEAR(r.exact.opening, 100 * h, 1e-9);
    // Written back with 3 decimals from the last pass (the travel moved by at most 1 % since).
    EXPECT_NEAR(d.points[0].Fl(), Fl, 0.0006);
    EXPECT_NEAR(d.points[0].Fd(), 0.1 + 0.5 * h, 0.0006);
    EXPECT_EQ(d.points[0].Fl(), std::round(d.points[0].Fl() * 1000) / 1000);
    // xFz in two-point mode: 0.3 at 0 %, 0.2 at 75 %.
    EXPECT_DOUBLE_EQ(d.points[0].xFz(), std::round((0.3 - 0.1 * h / 0.75) * 1000) / 1000);
    const std::size_t passes = Count(log_.text(), GetText(63044));
    EXPECT_GT(passes, 1u);
    EXPECT_LT(passes, 51u);
}

TEST_F(CalculationRun, ManualCoefficientsStayAsEntered) {
    ProcessData d = Water();
    d.valve = LinearValve();
    d.Kvs = 25;
    d.manualCoefficients = true;
    Run(d);
    EXPECT_EQ(d.points[0].Fl(), 0.9);
    EXPECT_EQ(d.points[0].Fd(), 0.5);
    EXPECT_EQ(d.points[0].xFz(), 0.5);
    EXPECT_DOUBLE_EQ(d.results[0].opening, 40);  // Kv 10 of Kvs 25, linear
    EXPECT_EQ(Count(log_.text(), GetText(63044)), 1u);
}

TEST_F(CalculationRun, OutletVelocityLimitsDependOnTheRegime) {
    std::string message;
    ResultMarks flags;
    const double area = 0.0025 * 3.1415926535 / 4 * 3600;  // DN 50, m3/h per m/s
    EXPECT_EQ(OutletVelocity(100, 0, 0, FlowRegime::Turbulent, test::Texts(), message, flags), 0);
    EXPECT_NEAR(OutletVelocity(8 * area, 50, 0, FlowRegime::Turbulent, test::Texts(), message, flags), 8, 1e-9);
    EXPECT_EQ(message, GetText(63051));
    OutletVelocity(9 * area, 50, 1, FlowRegime::Turbulent, test::Texts(), message, flags);
    EXPECT_EQ(message, GetText(63051) + GetText(63052));
    EXPECT_EQ(flags, (ResultMarks{{ResultField::Velocity, 0}, {ResultField::Velocity, 1}}));
    message.clear();
    OutletVelocity(6.99 * area, 50, 0, FlowRegime::Turbulent, test::Texts(), message, flags);
    OutletVelocity(3.5 * area, 50, 0, FlowRegime::Cavitation, test::Texts(), message, flags);
    EXPECT_EQ(message, GetText(63051));
    message.clear();
    OutletVelocity(59 * area, 50, 2, FlowRegime::Flashing, test::Texts(), message, flags);
    EXPECT_EQ(message, "");
    OutletVelocity(61 * area, 50, 2, FlowRegime::Flashing, test::Texts(), message, flags);
    EXPECT_EQ(message, GetText(63051));
}

TEST_F(CalculationRun, NoDiameterMeansNoVelocityAndNoWarning) {
    ProcessData d = Water();
    d.points[0].Q() = 1000;
    EXPECT_TRUE(Run(d).marks.empty());
    EXPECT_EQ(d.results[0].velocity, 0);
}

TEST_F(CalculationRun, FlashingWaterGetsTheTwoPhaseVelocity) {
    ProcessData d = Water();
    d.D = 50;
    d.points[0].T1() = 150;
    d.points[0].pv() = 4.76;
    d.points[0].p2() = 2;
    d.points[0].ro1() = 917;
    const RunOutcome flashing = Run(d);
    const SizingResult& r = d.results[0];
    ASSERT_EQ(r.regime, FlowRegime::Flashing);
    EXPECT_NE(r.message.find(GetText(63087)), std::string::npos);

    // Enthalpy balance at 150 °C flashing to 0.2 MPa.
    const double T1 = 423.15, p2 = 0.2;
    const double ps = BoundaryPressure(T1);
    const double h1 = LiquidEnthalpy(T1, ps, LiquidDensity(T1, ps));
    const double Ts = BoundaryTemperature(p2);
    const double rl = LiquidDensity(Ts, p2), rv = VapourDensity(Ts, p2);
    const double hl = LiquidEnthalpy(Ts, p2, rl), hv = VapourEnthalpy(Ts, p2);
    const double x = (h1 - hl) / (hv - hl);
    ASSERT_GT(x, 0.05);
    ASSERT_LT(x, 0.1);
    const double rhoMix = 1 / (1 / rl + (1 / rv - 1 / rl) * x);
    const double v = 10 * 917 / rhoMix / (0.0025 * 3.1415926535 / 4 * 3600);
    EXPECT_NEAR(r.exact.velocity, v, 1e-6 * v);
    EXPECT_GT(r.velocity, 60);  // far above the liquid's 1.4 m/s: the mixture is mostly vapour by volume
    EXPECT_EQ(flashing.marks, (ResultMarks{{ResultField::Velocity, 0}}));

    // Another liquid has no two-phase model: 0, not a value left from an earlier run.
    d.medium = MediumState::Liquid;
    d.results[0].velocity = 5;
    Run(d);
    EXPECT_EQ(d.results[0].regime, FlowRegime::Flashing);
    EXPECT_EQ(d.results[0].velocity, 0);
}

TEST_F(CalculationRun, GasPointStoresMachNumberAsVelocity) {
    ProcessData d = Gas();
    d.d = d.D = 107;
    d.pipes = {115, 4, 115, 4};
    d.rw = 0.25;
    const RunOutcome out = Run(d);
    ASSERT_TRUE(out.computed);
    const SizingResult& r = d.results[0];
    // Kv (8) with x = 0.2, Y = 1 - 0.2 / (3 * 0.7); d = D1 = D2 leaves it unchanged.
    const double Y = 1 - 0.2 / 2.1;
    const double Kv = 1000 / (24.6 * 500 * Y) * std::sqrt(28.97 * 293.15 / 0.2);
    EXPECT_NEAR(r.exact.Kv, Kv, 1e-9 * Kv);
    EXPECT_EQ(r.regime, FlowRegime::Turbulent);
    EXPECT_GT(r.velocity, 0);
    EXPECT_LT(r.velocity, 1);  // a Mach number, not m/s
    EXPECT_GE(r.noise, 0);
    EXPECT_TRUE(std::isfinite(r.exact.noise));
}

TEST_F(CalculationRun, LogThatCannotBeWrittenIsReportedOnce) {
    // Not created, or created but not written in full: either way no log, one message.
    std::vector<std::string> paths = {"/nonexistent-dir-for-tarvik/vypocet.txt"};
    if (std::filesystem::exists("/dev/full")) paths.push_back("/dev/full");
    for (const std::string& path : paths) {
        ProcessData d = Water();
        d.points[1] = WaterPoint(5);
        RunOptions options;
        options.logPath = path;
        const RunOutcome out = RunCalculation(d, test::Texts(), options);
        EXPECT_EQ(out.messages, (std::vector<RunMessage>{{63018, path}})) << path;
        EXPECT_TRUE(out.computed) << path;
        EXPECT_FALSE(out.logWritten) << path;
        EXPECT_DOUBLE_EQ(d.results[1].Kv, 5.0) << path;
    }

    ProcessData d = Water();
    d.points[1] = WaterPoint(5);
    RunOptions options;

    // Written: to a caller's log, or to a file that can be created; none without either.
    EXPECT_TRUE(Run(d).logWritten);
    EXPECT_FALSE(RunCalculation(d, test::Texts()).logWritten);
    options.logPath = std::filesystem::path(::testing::TempDir()) / "tarvik_run_log.txt";
    const RunOutcome written = RunCalculation(d, test::Texts(), options);
    EXPECT_TRUE(written.logWritten);
    EXPECT_TRUE(written.messages.empty());
    std::filesystem::remove(*options.logPath);
}

TEST(TrimAttenuation, InterpolatesAndClampsThePressureRatio) {
    CoefficientTable t{};
    for (std::size_t k = 0; k < 11; ++k) t[k] = -static_cast<double>(k);  // -1 dB per tenth
    EXPECT_NEAR(AttenuationAtRatio(t, 0.25, true), -2.5, 1e-12);
    EXPECT_EQ(AttenuationAtRatio(t, 1.0, true), -10);
    EXPECT_EQ(AttenuationAtRatio(t, 1.7, true), -10);  // flashing: the entry for ratio 1
    EXPECT_EQ(AttenuationAtRatio(t, -0.1, true), 0);
    EXPECT_EQ(AttenuationAtRatio(t, std::nan(""), true), 0);
    EXPECT_NEAR(AttenuationAtRatio(t, 0.5, false), -5, 1e-12);  // t[0] + (t[10] - t[0]) x
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

TEST(CalculationTexts, EveryLanguageHasEveryTextOfTheRun) {
    std::vector<int> numbers = {62186, 62187, 63003, 63044, 63045, 63084, 63085, 63086, 63087, 63088,
                                63102, 63107, 63108, 63109};
    for (int n = 63014; n <= 63033; ++n) numbers.push_back(n);
    for (int n = 63051; n <= 63061; ++n) numbers.push_back(n);
    const std::vector<int> withArgument = {63018, 63019, 63020, 63021, 63033, 63058};
    for (int lang = 0; lang < 4; ++lang) {
        test::UseLanguage(lang);
        for (int n : numbers) EXPECT_FALSE(GetText(n).empty()) << "language " << lang << ", text " << n;
        for (int n : withArgument)
            EXPECT_NE(GetText(n).find("%1"), std::string::npos) << "language " << lang << ", text " << n;
        // Warnings are gathered one after another into a point's message.
        for (int n : {63051, 63052, 63056, 63057, 63058, 63086, 63087, 63088})
            EXPECT_EQ(GetText(n).back(), '\n') << "language " << lang << ", text " << n;
        // The characteristic names must differ, or the travel would take the wrong curve.
        EXPECT_EQ(std::set<std::string>({GetText(63059), GetText(63060), GetText(63061), GetText(63102)}).size(), 4u);
    }
    test::UseLanguage(2);
}

}  // namespace
}  // namespace tarvik
