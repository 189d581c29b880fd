#include <gtest/gtest.h>

#include <fstream>

#include "support/cli_run.hpp"

namespace tarvik {
namespace {

using namespace cli_test;

TEST(PrintCli, WritesTheSheetsOrRefusesWithoutAFile) {
    const fs::path dir = TempDir("tarvik_print_cli_", "sheets");
    const std::string demo = Q(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "Demo.tkp") + " --lang 2";
    CliRun r = Cli("print " + demo + " --pdf " + Q(dir / "all.pdf") + " --landscape --drawings --position FV-101 "
                   "--position LV-102", dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWhole(dir / "all.pdf").substr(0, 5), "%PDF-");

    std::ofstream(dir / "empty.json") << R"({"project": "Empty", "positions": []})";
    const fs::path empty = dir / "empty.tkp";
    r = Cli("load " + Q(dir / "empty.json") + " " + Q(empty), dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const struct {
        std::string args;
        int exitCode;
        std::string message;
    } failures[] = {
        {"print " + demo + " --pdf " + Q(dir / "x.pdf") + " --position nobody", 1, "no position 'nobody'"},
        {"print " + Q(empty) + " --lang 2 --pdf " + Q(dir / "x.pdf"), 1, "no position to print"},
        {"print " + demo + " --pdf " + Q(dir / "missing" / "x.pdf"), 1, "cannot write"},
        {"print " + demo + " --pdf " + Q(dir / "x.png"), 2, "must end in .pdf"},
        {"print " + demo + " --pdf " + Q(dir / "x.pdf") + " --drawings", 2, "--drawings needs --landscape"},
        {"print " + demo + " --pdf " + Q(dir / "x.pdf") + " --colour", 2, "unknown option '--colour'"},
        {"print " + demo, 2, "--pdf FILE is required"},
    };
    for (const auto& f : failures) {
        r = Cli(f.args, dir);
        EXPECT_EQ(r.exitCode, f.exitCode) << f.args;
        EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "x.pdf"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
