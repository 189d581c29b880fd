// The valve catalogue at start: scanning 200 series files of 50 valves each with their drawings
// (target: the scan and the full load of every series within 0.5 s).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "data/valve_series.hpp"

namespace {

using namespace tarvik;
namespace fs = std::filesystem;

constexpr int kSeries = 200;
constexpr int kValves = 50;

// A drawing of a realistic size: a few thousand polyline opcodes.
std::string Drawing() {
    std::string d = "(DWF V00.42)\n";
    for (int i = 0; d.size() < 40000; ++i)
        d += "L " + std::to_string(i) + "," + std::to_string(i * 3) + " " + std::to_string(i + 7) + ",25\n";
    return d + "(EndOfDWF)\n";
}

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
        fs::create_directories(p / "dbv");
        const std::string drawing = Drawing();
        for (int s = 0; s < kSeries; ++s) {
            ValveSeries series;
            series.rawVersion = 804;
            series.name = "Series " + std::to_string(s);
            series.storedDescription = "[0:Ventil][1:Zawór][2:Valve][3:Ventil]";
            series.tableFlags = {1, 1, 1, 1, 1, 1};
            series.drawingFlag = 1;
            series.drawingTexts = {drawing.substr(0, 30000), drawing.substr(30000)};
            series.drawingLength = static_cast<std::int32_t>(drawing.size());
            series.drawingAnnotation = "[dn] [pn] [kvs]";
            series.designationTemplate = "{Nazev} [dn] [pn] [12]";
            for (int v = 0; v < kValves; ++v) {
                SeriesValve valve;
                valve.characteristic = v % 3;
                valve.dn = 15 + v;
                valve.Kvs = 0.1 * (v + 1);
                for (auto& t : valve.tables)
                    for (int k = 0; k < 11; ++k) t[k] = 0.5 + k / 40.0;
                for (int k = 0; k < 11; ++k) valve.kvTable[k] = valve.Kvs * k / 10.0;
                valve.specText = "text";
                series.valves.push_back(valve);
            }
            for (int c = 0; c < 40; ++c) {
                SeriesChoice choice;
                choice.id = 10 + c;
                choice.storedText = "[0:Ocel " + std::to_string(c) + "][2:Steel]";
                choice.condition = "{dn<=50}";
                choice.typeCode = "S";
                series.choices.push_back(choice);
            }
            SaveValveSeries(p / "dbv" / ("s" + std::to_string(s) + ".dbv"), series);
        }
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
