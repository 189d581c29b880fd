// tarvik-cli pipes import: appending a workbook's pipe table to a pipe file.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "data/pipes.hpp"
#include "support/cli_run.hpp"
#include "support/workbook_files.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using cli_test::Q;
using cli_test::ReadWhole;

void Save(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const workbook_test::Table kTable = {
    {"Kind", "Size", "Wall", "D", "s"},     {"A", "DN 15", "S 2", "#21.3", "#2"}, {"A", "DN 20", "S 2", "#26.9", "#2"},
    {"A", "DN 25", "S 2.6", "#33.7", "2,6"}, {"B", "DN 50", "S 2.9", "#57", "#2.9"},
};

TEST(PipesCli, ImportAppendsAndRefusalsLeaveTheFileAlone) {
    const fs::path dir = cli_test::TempDir("tarvik_cli_pipes_", "import");
    // A program folder of its own, so that the default target is not the build's.
    const fs::path program = dir / "program";
    fs::create_directories(program);
    fs::copy(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "TarvikD2", program / "TarvikD2", fs::copy_options::recursive);
    fs::copy_file(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "tarvik.ini", program / "tarvik.ini");
    auto cli = [&](const std::string& args) { return cli_test::Cli("pipes " + args + " --program-dir " + Q(program) + " --lang 2", dir); };

    Save(dir / "pipes.xlsx", workbook_test::TableToXlsx(kTable));
    Save(dir / "pipes.csv", workbook_test::TableToCsv(kTable));
    auto few = kTable;
    few.pop_back();
    Save(dir / "few.ods", workbook_test::TableToOds(few));
    std::vector<std::string> strings;
    const std::string rows = workbook_test::XlsxRows(kTable, strings);
    Save(dir / "sheets.xlsx", workbook_test::MakeXlsx({rows, rows}, strings));

    // Into the program folder's pipe file, then once more into the same file.
    auto run = cli("import " + Q(dir / "pipes.xlsx"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("4 rows appended"), std::string::npos) << run.out;
    run = cli("import " + Q(dir / "pipes.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<Pipe> pipes = ReadPipes(program / kPipesFileName);
    ASSERT_EQ(pipes.size(), 8u);
    EXPECT_EQ(pipes[6].wall, "S 2.6");
    EXPECT_DOUBLE_EQ(pipes[6].wallThickness, 2.6);
    EXPECT_DOUBLE_EQ(pipes[7].outsideDiameter, 57);

    run = cli("import " + Q(dir / "sheets.xlsx") + " --into " + Q(dir / "other.tkd"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("more than one sheet"), std::string::npos) << run.err;
    EXPECT_EQ(ReadPipes(dir / "other.tkd").size(), 4u);

    const std::string before = ReadWhole(program / kPipesFileName);
    std::ofstream(dir / "damaged.tkd", std::ios::binary) << std::string("\x05\x00\x00\x00garbage", 11);
    const struct {
        const char* name;
        std::string args;
        fs::path target;
        const char* error;
    } refusals[] = {
        {"too few rows", "import " + Q(dir / "few.ods"), program / kPipesFileName, "too few filled cells"},
        {"not a workbook", "import " + Q(dir / "damaged.tkd"), program / kPipesFileName, "cannot be read"},
        {"missing workbook", "import " + Q(dir / "none.xlsx"), program / kPipesFileName, "does not exist"},
        {"damaged pipe file", "import " + Q(dir / "pipes.xlsx") + " --into " + Q(dir / "damaged.tkd"), dir / "damaged.tkd", "left as it is"},
    };
    for (const auto& r : refusals) {
        const std::string bytes = ReadWhole(r.target);
        run = cli(r.args);
        EXPECT_EQ(run.exitCode, 1) << r.name;
        EXPECT_NE(run.err.find(r.error), std::string::npos) << r.name << ": " << run.err;
        EXPECT_EQ(ReadWhole(r.target), bytes) << r.name;
    }
    EXPECT_EQ(ReadWhole(program / kPipesFileName), before);
    EXPECT_EQ(cli("export " + Q(dir / "pipes.xlsx")).exitCode, 2);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
