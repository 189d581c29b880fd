// The dimension drawing: the demo series' drawing filled, parsed and rendered to a PNG page
// (target: 50 ms), and a 1 MB drawing parsed (target: 100 ms).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "output/cairo_canvas.hpp"
#include "output/dimension_drawing.hpp"
#include "output/drawing_viewer.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik;

std::string DemoDrawing() {
    std::ifstream in(fs::path(TARVIK_SOURCE_DIR) / "catalogue/series/globe.dwf", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void BM_DrawingToPng(benchmark::State& state) {
    const std::string tmpl = DemoDrawing();
    const fs::path out = fs::temp_directory_path() / ("tarvik_drawing_bench_" + std::to_string(::getpid()) + ".png");
    for (auto _ : state) {
        DwfViewer viewer;
        KeyValueList tb{{{"zakaznik", "Teplárna Žatec"}, {"akce", "K1"}, {"kks", "FV-101"}, {"VAHAP", "12"}}};
        ShowDrawing(viewer, tmpl, tb, ";-ACTUATOR%;");
        std::string error;
        PageSetup page;
        const bool ok = WritePageFile(out, page, [&](Canvas& c) { viewer.Draw(c, {17, 12, 825, 583}); }, error);
        if (!ok) state.SkipWithError(error.c_str());
    }
    fs::remove(out);
}
BENCHMARK(BM_DrawingToPng)->Unit(benchmark::kMillisecond);

void BM_ParseLargeDrawing(benchmark::State& state) {
    std::string s = "(DWF V00.42)\n(View 0,0 29700,21000)\n(Layer 1 BODY)\n(Color 0,0,0,255)\n";
    for (int i = 0; s.size() < (1u << 20); ++i) {
        const std::string a = std::to_string(1000 + i % 20000), b = std::to_string(2000 + (i * 7) % 15000);
        s += "L " + a + "," + b + " " + b + "," + a + "\n";
        s += "P 5 " + a + "," + a + " " + b + "," + a + " " + b + "," + b + " " + a + "," + b + " " + a + "," + a + "\n";
        if (i % 10 == 0) s += "(Text " + a + "," + b + " 'DN " + a + "')\n(Circle " + a + "," + b + " 300 0,16384)\n";
        if (i % 500 == 0) s += "(Layer " + std::to_string(2 + i / 500) + " PART_" + std::to_string(i) + ")\n";
    }
    s += "(EndOfDWF)\n";
    for (auto _ : state) benchmark::DoNotOptimize(ParseDwf(s).shapes.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(s.size()));
}
BENCHMARK(BM_ParseLargeDrawing)->Unit(benchmark::kMillisecond);

}  // namespace
