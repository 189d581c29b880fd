// Importing a pipe table of 10,000 rows from an .xlsx file (target: at most 1 s).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "data/pipe_import.hpp"
#include "tests/support/workbook_files.hpp"

namespace tarvik {
namespace {

constexpr int kRows = 10000;

const std::filesystem::path& BigWorkbook() {
    static const std::filesystem::path path = [] {
        workbook_test::Table table = {{"Kind", "Size", "Wall", "D", "s"}};
        for (int i = 0; i < kRows; ++i)
            table.push_back({"EN 10220", "DN " + std::to_string(15 + i % 300), "Sch " + std::to_string(10 * (1 + i % 16)),
                             "#" + std::to_string(21.3 + i % 300), std::to_string(2 + i % 7) + ",6"});
        const auto bytes = workbook_test::TableToXlsx(table);
        const auto file = std::filesystem::temp_directory_path() / "tarvik_bench_pipes.xlsx";
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }();
    return path;
}

void BM_ImportPipeWorkbookXlsx10k(benchmark::State& state) {
    const auto& file = BigWorkbook();
    for (auto _ : state) {
        PipeImportResult r = ImportPipeWorkbook(file);
        if (r.rows.size() != kRows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ImportPipeWorkbookXlsx10k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvik
