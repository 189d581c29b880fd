// Printing: the ten positions of the demo project as landscape sheets, each followed by its
// drawing page, written to one PDF (twenty pages).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "output/calculation_sheet.hpp"
#include "project/session.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik;

void BM_PrintDemoLandscapeWithDrawings(benchmark::State& state) {
    SessionOptions options;
    options.programDir = TARVIK_PROGRAM_DIR;
    options.lang = 2;
    std::string error;
    std::unique_ptr<Session> session = Session::Open(options, error);
    if (!session) {
        state.SkipWithError(error.c_str());
        return;
    }
    ProjectDocument doc = session->OpenProject(fs::path(TARVIK_PROGRAM_DIR) / "Demo.tkp");
    // Ten positions, copied from the demo's when it has fewer.
    for (std::size_t i = 0; doc.positions.size() < 10 && !doc.positions.empty(); ++i) {
        ValvePosition copy = doc.positions[i];
        copy.name += "-" + std::to_string(i);
        doc.positions.push_back(copy);
    }
    for (ValvePosition& p : doc.positions) p.printSelected = 1;
    const PrintOptions print{true, true, false};
    const std::vector<PrintPage> pages = PlanPrintPages(doc, print, false);
    const fs::path out = fs::temp_directory_path() / ("tarvik_print_bench_" + std::to_string(::getpid()) + ".pdf");
    for (auto _ : state) {
        std::vector<std::string> messages;
        if (!WritePrintPdf(out, doc, pages, print, messages, error)) state.SkipWithError(error.c_str());
    }
    state.counters["pages"] = static_cast<double>(pages.size());
    fs::remove(out);
}
BENCHMARK(BM_PrintDemoLandscapeWithDrawings)->Unit(benchmark::kMillisecond);

}  // namespace
