// The valve catalogue at start: scanning 200 series files of 50 valves each with their drawings
// (target: the scan and the full load of every series within 0.5 s).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/generated_series.hpp"
#include "data/valve_series.hpp"

namespace {

using namespace tarvik;
namespace fs = std::filesystem;

constexpr int kSeries = 200;
constexpr int kValves = 50;

// Removes the generated program folder when the benchmark program ends.
struct TempFolder {
    fs::path path;
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

const fs::path& ProgramFolder() {
    static const TempFolder folder{[] {
        fs::path p = fs::temp_directory_path() / ("tarvik_catalogue_bench_" + std::to_string(::getpid()));
        fs::remove_all(p);
        tarvik::bench::WriteGeneratedSeries(p, kSeries, kValves);
        return p;
    }()};
    return folder.path;
}

void BM_ScanValveSeries200WithDrawings(benchmark::State& state) {
    const fs::path& dir = ProgramFolder();
    for (auto _ : state) {
        SeriesScan scan = ScanValveSeries(dir, dir);
        if (scan.drawings.size() != kSeries) state.SkipWithError("drawings missing");
        benchmark::DoNotOptimize(scan);
    }
}
BENCHMARK(BM_ScanValveSeries200WithDrawings)->Unit(benchmark::kMillisecond);

void BM_ScanAndLoadValveSeries200(benchmark::State& state) {
    const fs::path& dir = ProgramFolder();
    for (auto _ : state) {
        SeriesScan scan = ScanValveSeries(dir, dir);
        std::size_t valves = 0;
        for (const auto& [name, path] : scan.table) {
            ValveSeries series;
            if (LoadValveSeries(path, series)) valves += series.valves.size();
        }
        if (valves != static_cast<std::size_t>(kSeries * kValves)) state.SkipWithError("series missing");
        benchmark::DoNotOptimize(valves);
    }
}
BENCHMARK(BM_ScanAndLoadValveSeries200)->Unit(benchmark::kMillisecond);

}  // namespace
