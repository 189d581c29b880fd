// Kv sizing of one operating point without a log, as the opening iteration calls it.
#include <benchmark/benchmark.h>

#include <string>

#include "calc/gas_sizing.hpp"
#include "calc/liquid_sizing.hpp"
#include "project/language_texts.hpp"

namespace {

using tarvik::GasSizingInput;
using tarvik::LiquidSizingInput;

LiquidSizingInput Water() {
    LiquidSizingInput in;
    in.p1 = 1.0;
    in.p2 = 0.9;
    in.pv = 0.0023;
    in.pc = 22.1;
    in.Q = 100;
    in.ro1 = 1000;
    in.Fl = 0.9;
    in.Fd = 1;
    in.d = 50;
    in.D1 = in.D2 = 80;
    in.ny = 1e-6;
    return in;
}

GasSizingInput Air() {
    GasSizingInput in;
    in.p1 = 0.5;
    in.p2 = 0.4;
    in.Z = 1;
    in.gama = 1.4;
    in.Q0 = 1000;
    in.M = 28.97;
    in.T1 = 293.15;
    in.Fl = 0.9;
    in.Fd = 1;
    in.xT = 0.7;
    in.d = 25;
    in.D1 = in.D2 = 80;
    in.ny = 1.5e-5;
    return in;
}

// Turbulent flow between reducers: the Fp iteration.
void BM_SizeLiquidReducers(benchmark::State& state) {
    LiquidSizingInput in = Water();
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(tarvik::SizeLiquid(in, nullptr, tarvik::CurrentLanguageTexts()));
    }
}
BENCHMARK(BM_SizeLiquidReducers);

// Viscous flow: five passes of the Reynolds correction.
void BM_SizeLiquidNonTurbulent(benchmark::State& state) {
    LiquidSizingInput in = Water();
    in.Q = 1;
    in.d = in.D1 = in.D2 = 50;
    in.ny = 1e-3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(tarvik::SizeLiquid(in, nullptr, tarvik::CurrentLanguageTexts()));
    }
}
BENCHMARK(BM_SizeLiquidNonTurbulent);

// Normal flow between reducers, eight passes of the Fp/xTP iteration.
void BM_SizeGasReducers(benchmark::State& state) {
    GasSizingInput in = Air();
    tarvik::FlowRegime regime = tarvik::FlowRegime::None;
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(tarvik::SizeGas(in, nullptr, tarvik::CurrentLanguageTexts(), regime));
    }
}
BENCHMARK(BM_SizeGasReducers);

}  // namespace
