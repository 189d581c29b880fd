// Noise prediction of one operating point, without the calculation log.
#include <benchmark/benchmark.h>

#include <string>

#include "calc/noise.hpp"
#include "project/language_texts.hpp"

namespace {

void BM_AerodynamicNoise(benchmark::State& state) {
    tarvik::AerodynamicNoiseInput in;
    in.p1 = 0.5;
    in.p2 = 0.2;
    in.gama = 1.4;
    in.W = 5000;
    in.M = 28.96;
    in.T1 = 293.15;
    in.Fl = 0.9;
    in.Fd = 0.46;
    in.D1 = in.D2 = 150;
    in.d = in.D = 100;
    in.pa = 0.1013;
    in.Kv = 100;
    in.ro1 = 5.95;
    in.rw = 0.25;
    in.tp = 4;
    std::string warning;
    tarvik::ResultMarks flags;
    for (auto _ : state) {
        warning.clear();
        flags.clear();
        benchmark::DoNotOptimize(tarvik::CalcAerodynamicNoise(in, nullptr, tarvik::CurrentLanguageTexts(), warning, 0, flags));
    }
}
BENCHMARK(BM_AerodynamicNoise);

void BM_HydrodynamicNoise(benchmark::State& state) {
    tarvik::HydrodynamicNoiseInput in;
    in.p1 = 1.0;
    in.p2 = 0.4;
    in.pv = 0.0023;
    in.T1 = 293.15;
    in.xFz = 0.35;
    in.xFzfi = 0.3;
    in.nyF = 3e-5;
    in.dLF = 2;
    in.h = 0.6;
    in.Fl = 0.9;
    in.Q = 100;
    in.pc = 22.064;
    in.cF = 1400;
    in.tp = 6;
    in.D2 = 100;
    in.ro1 = 998;
    std::string warning;
    tarvik::ResultMarks flags;
    for (auto _ : state) {
        warning.clear();
        flags.clear();
        benchmark::DoNotOptimize(tarvik::CalcHydrodynamicNoise(in, nullptr, tarvik::CurrentLanguageTexts(), warning, 0, flags, true, false));
    }
}
BENCHMARK(BM_HydrodynamicNoise);

}  // namespace
