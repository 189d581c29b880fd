#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/cli_run.hpp"

namespace tarvik {
namespace {

using namespace cli_test;

TEST(SpecCli, AppliesTheSheetAndSavesOrRefuses) {
    const fs::path dir = TempDir("tarvik_spec_cli_", "apply");
    const fs::path project = dir / "Demo.tkp";
    fs::copy_file(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "Demo.tkp", project);
    const std::string args = Q(project) + " --position FV-101 --lang 2";

    CliRun r = Cli("spec apply " + args + " --save", dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto applied = nlohmann::json::parse(r.out);
    const std::string orderCode = applied.at("orderCode");
    EXPECT_FALSE(orderCode.empty());
    EXPECT_FALSE(applied.at("typeDesignation").get<std::string>().empty());
    EXPECT_EQ(applied.at("titleBlock").at("kks"), "FV-101");
    EXPECT_EQ(applied.at("titleBlock").at("ozn"), applied.at("typeDesignation"));

    // Showing reads back what was saved and changes nothing.
    r = Cli("spec " + args, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out).at("orderCode"), orderCode);

    const struct {
        std::string args;
        int exitCode;
        std::string message;
    } failures[] = {
        {"spec " + Q(project) + " --position nobody", 1, "no position 'nobody'"},
        {"spec " + Q(project), 2, "--position NAME is required"},
        {"spec " + args + " --save", 2, "--save needs 'spec apply'"},
        {"spec " + args + " --bogus", 2, "unexpected argument"},
        {"spec apply " + args + " --actuator-row 0", 2, "--actuator-row needs --actuator-kind"},
        {"spec apply " + args + " --actuator-kind 7", 2, "--actuator-kind must be"},
    };
    for (const auto& f : failures) {
        r = Cli(f.args, dir);
        EXPECT_EQ(r.exitCode, f.exitCode) << f.args;
        EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
