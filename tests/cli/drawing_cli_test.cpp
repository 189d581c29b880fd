#include <gtest/gtest.h>

#include "support/cli_run.hpp"

namespace tarvik {
namespace {

using namespace cli_test;

TEST(DrawingCli, WritesThePageOrFailsWithoutAFile) {
    const fs::path dir = TempDir("tarvik_drawing_cli_", "page");
    const std::string demo = Q(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "Demo.tkp") + " --position FV-101 --lang 2";
    CliRun r = Cli("drawing " + demo + " --out " + Q(dir / "fv.pdf"), dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWhole(dir / "fv.pdf").substr(0, 5), "%PDF-");
    r = Cli("drawing " + demo + " --out " + Q(dir / "fv.png") + " --layers ';-BODY;'", dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWhole(dir / "fv.png").substr(1, 3), "PNG");

    const struct {
        std::string args;
        int exitCode;
        std::string message;
    } failures[] = {
        {"drawing " + demo + " --out " + Q(dir / "missing" / "fv.pdf"), 1, "cannot write"},
        {"drawing " + demo + " --out " + Q(dir / "fv.txt"), 2, ".pdf, .png or .svg"},
        {"drawing " + demo, 2, "--out FILE is required"},
        {"drawing " + Q(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "Demo.tkp") + " --position nobody --out " +
             Q(dir / "n.pdf"),
         1, "no position 'nobody'"},
    };
    for (const auto& f : failures) {
        r = Cli(f.args, dir);
        EXPECT_EQ(r.exitCode, f.exitCode) << f.args;
        EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
    }
    // Only the two pages and the captured output remain.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
