// Water and steam properties and travel: the calls the calculation run makes per operating
// point and per opening iteration.
#include <benchmark/benchmark.h>

#include "calc/steam_tables.hpp"
#include "calc/travel.hpp"

namespace {

using namespace tarvik;

void BM_LiquidDensityRegion1(benchmark::State& state) {
    double T = 300.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidDensity(T, 3.0));
    }
}
BENCHMARK(BM_LiquidDensityRegion1);

void BM_LiquidEnthalpyRegion1(benchmark::State& state) {
    double T = 300.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidEnthalpy(T, 3.0, 996.0));
    }
}
BENCHMARK(BM_LiquidEnthalpyRegion1);

void BM_LiquidSoundSpeedRegion1(benchmark::State& state) {
    double T = 300.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidSoundSpeed(T, 3.0, 996.0));
    }
}
BENCHMARK(BM_LiquidSoundSpeedRegion1);

void BM_VapourDensity(benchmark::State& state) {
    double T = 700.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(VapourDensity(T, 3.0));
    }
}
BENCHMARK(BM_VapourDensity);

void BM_VapourEnthalpy(benchmark::State& state) {
    double T = 700.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(VapourEnthalpy(T, 3.0));
    }
}
BENCHMARK(BM_VapourEnthalpy);

void BM_VapourSoundSpeed(benchmark::State& state) {
    double T = 700.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(VapourSoundSpeed(T, 3.0));
    }
}
BENCHMARK(BM_VapourSoundSpeed);

void BM_BoundaryTemperature(benchmark::State& state) {
    double p = 1.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(BoundaryTemperature(p));
    }
}
BENCHMARK(BM_BoundaryTemperature);

void BM_BoundaryTemperatureB23(benchmark::State& state) {
    double p = 50.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(BoundaryTemperature(p));
    }
}
BENCHMARK(BM_BoundaryTemperatureB23);

void BM_BoundaryPressure(benchmark::State& state) {
    double T = 450.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(BoundaryPressure(T));
    }
}
BENCHMARK(BM_BoundaryPressure);

// The region-3 density search evaluates the region-3 pressure a dozen times or more.
void BM_LiquidDensityRegion3Search(benchmark::State& state) {
    double T = 650.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidDensity(T, 25.0));
    }
}
BENCHMARK(BM_LiquidDensityRegion3Search);

void BM_LiquidEnthalpyRegion3(benchmark::State& state) {
    double T = 650.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidEnthalpy(T, 25.0, 490.0));
    }
}
BENCHMARK(BM_LiquidEnthalpyRegion3);

void BM_LiquidSoundSpeedRegion3(benchmark::State& state) {
    double T = 650.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(LiquidSoundSpeed(T, 25.0, 490.0));
    }
}
BENCHMARK(BM_LiquidSoundSpeedRegion3);

void BM_WaterViscosity(benchmark::State& state) {
    double T = 300.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(T);
        benchmark::DoNotOptimize(WaterViscosity(T, 3.0, 996.0));
    }
}
BENCHMARK(BM_WaterViscosity);

void BM_TravelFromKvTable(benchmark::State& state) {
    const CoefficientTable kv{0.5, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512};
    double Kv = 100.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kv);
        benchmark::DoNotOptimize(TravelFromKv(Kv, 512.0, Characteristic::Table, kv));
    }
}
BENCHMARK(BM_TravelFromKvTable);

void BM_TravelFromKvEqualPercentage(benchmark::State& state) {
    const CoefficientTable none{};
    double Kv = 100.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kv);
        benchmark::DoNotOptimize(TravelFromKv(Kv, 512.0, Characteristic::EqualPercentage, none));
    }
}
BENCHMARK(BM_TravelFromKvEqualPercentage);

}  // namespace
