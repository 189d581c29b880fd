// The calculation run of a three-point position without log: water without noise (no catalogue
// valve, so the noise routine ends early), water and gas with noise.
#include <benchmark/benchmark.h>

#include <string>

#include "calc/calculation_run.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "project/language_texts.hpp"

namespace tarvik {
namespace {

void LoadTexts() {
    static bool loaded = [] {
        std::string error;
        return LoadLanguage(std::string(TARVIK_SOURCE_DIR) + "/lang", 2, error);
    }();
    (void)loaded;
}

CatalogueValve Valve() {
    CatalogueValve v;
    v.characteristic = kCharEqualPercentage;
    v.Kvs = 40;
    v.minKv = 0.8;
    v.nyF = 1e-8;
    v.tableFlags = {1, 1, 1, 1, 1, 1};
    for (std::size_t k = 0; k < 11; ++k) {
        const double c = static_cast<double>(k);
        v.FL[k] = 0.95 - 0.01 * c;
        v.xT[k] = 0.75 - 0.01 * c;
        v.Fd[k] = 0.1 + 0.04 * c;
        v.xFz[k] = 0.35 - 0.01 * c;
        v.Kv[k] = 40 * c / 10;
        v.dLnLiquid[k] = -0.5 * c;
        v.dLnGas[k] = -0.5 * c;
    }
    return v;
}

ProcessData Water(bool noise) {
    ProcessData d;
    d.medium = MediumState::Liquid;
    d.units = {"m3/h", "bar", "bar", "°C", "cSt", "bar", "bar"};
    d.characteristic = Characteristic::EqualPercentage;
    d.d = 50;
    d.D = 80;
    d.pipes = {88.9, 3.2, 88.9, 3.2};
    if (noise) {
        d.valve = Valve();
        d.Kvs = 40;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        OperatingPoint& p = d.points[i];
        p.enabled = true;
        p.Q() = 10 + 10 * static_cast<double>(i);
        p.p1() = 10;
        p.p2() = 6 - static_cast<double>(i);
        p.T1() = 40;
        p.ny() = 1;
        p.pv() = 0.07;
        p.pc() = 221;
        p.ro1() = 992;
        p.cF() = 1500;
        p.Fl() = 0.9;
        p.Fd() = 0.4;
        p.xFz() = 0.3;
    }
    return d;
}

ProcessData Gas() {
    ProcessData d;
    d.medium = MediumState::Gas;
    d.units = {"Nm3/h", "bar", "bar", "°C", "cSt", "kg/Nm3", "bar"};
    d.characteristic = Characteristic::EqualPercentage;
    d.d = 50;
    d.D = 80;
    d.pipes = {88.9, 3.2, 88.9, 3.2};
    d.rw = 0.25;
    d.valve = Valve();
    d.Kvs = 40;
    for (std::size_t i = 0; i < 3; ++i) {
        OperatingPoint& p = d.points[i];
        p.enabled = true;
        p.Q() = 1000 + 1000 * static_cast<double>(i);
        p.p1() = 10;
        p.p2() = 8 - 2 * static_cast<double>(i);
        p.T1() = 20;
        p.rho1() = 1.293;
        p.M() = 28.97;
        p.Z() = 1;
        p.gama() = 1.4;
        p.Fl() = 0.9;
        p.Fd() = 0.4;
        p.xT() = 0.7;
    }
    return d;
}

void RunThreePoints(benchmark::State& state, const ProcessData& position) {
    ScopedMessageSink quiet([](const Message&) {});
    for (auto _ : state) {
        ProcessData d = position;
        RunOutcome out = RunCalculation(d, CurrentLanguageTexts());
        benchmark::DoNotOptimize(out);
        benchmark::DoNotOptimize(d.results);
    }
}

void BM_RunThreePointsWithoutNoise(benchmark::State& state) {
    LoadTexts();
    RunThreePoints(state, Water(false));
}
void BM_RunThreePointsLiquidWithNoise(benchmark::State& state) {
    LoadTexts();
    RunThreePoints(state, Water(true));
}
void BM_RunThreePointsGasWithNoise(benchmark::State& state) {
    LoadTexts();
    RunThreePoints(state, Gas());
}

BENCHMARK(BM_RunThreePointsWithoutNoise);
BENCHMARK(BM_RunThreePointsLiquidWithNoise);
BENCHMARK(BM_RunThreePointsGasWithNoise);

}  // namespace
}  // namespace tarvik
