// Opening, saving and calculating a project of 1,000 positions, made from the demo project's
// positions repeated.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "project/position_form.hpp"
#include "project/project_file.hpp"

namespace tarvik {
namespace {

constexpr int kPositions = 1000;

const ProjectDocument& BigProject() {
    static ProjectDocument doc = [] {
        SetProgramDir(TARVIK_PROGRAM_DIR);
        std::string error;
        LoadLanguage(TARVIK_PROGRAM_DIR, 2, error);
        ProjectLoadContext context;
        ProjectDocument demo = LoadProject(std::filesystem::path(TARVIK_PROGRAM_DIR) / "Demo.tkp", context);
        ProjectDocument big = demo;
        big.positions.clear();
        for (int i = 0; big.positions.size() < kPositions; ++i) {
            ValvePosition p = demo.positions[static_cast<std::size_t>(i) % demo.positions.size()];
            p.name = "P-" + std::to_string(i);
            big.positions.push_back(std::move(p));
        }
        return big;
    }();
    return doc;
}

std::filesystem::path TempFile(const char* name) {
    return std::filesystem::temp_directory_path() / (std::string("tarvik_bench_") + name);
}

void BM_OpenProject1000(benchmark::State& state) {
    const auto path = TempFile("open.tkp");
    SaveProject(BigProject(), path, 2);
    ProjectLoadContext context;
    for (auto _ : state) benchmark::DoNotOptimize(LoadProject(path, context));
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenProject1000)->Unit(benchmark::kMillisecond);

void BM_SaveProject1000(benchmark::State& state) {
    const auto path = TempFile("save.tkp");
    const ProjectDocument& doc = BigProject();
    for (auto _ : state) SaveProject(doc, path, 2);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveProject1000)->Unit(benchmark::kMillisecond);

void BM_CalculateProject1000WithLog(benchmark::State& state) {
    ScopedMessageSink quiet([](const Message&) {});
    const auto log = TempFile("vypocet.txt");
    FormContext context;
    std::map<std::filesystem::path, ValveSeries> cache;
    context.seriesCache = &cache;
    CalculateOptions options;
    options.logPath = log;
    for (auto _ : state) {
        state.PauseTiming();
        ProjectDocument doc = BigProject();
        state.ResumeTiming();
        for (int i = 0; i < kPositions; ++i) benchmark::DoNotOptimize(CalculatePosition(doc, i, context, options));
    }
    std::filesystem::remove(log);
}
BENCHMARK(BM_CalculateProject1000WithLog)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvik
