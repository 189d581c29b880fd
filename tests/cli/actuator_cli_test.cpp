#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/cli_run.hpp"

namespace tarvik {
namespace {

using namespace cli_test;

// The output texts follow the user's decimal separator; compared with a point.
std::string Dotted(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

TEST(ActuatorCli, SizesListsRefusesAndRejectsBadOptions) {
    const fs::path dir = TempDir("tarvik_actuator_cli_", "run");
    CliRun r = Cli("actuator --lang 2 --type 1 --dp 1 --diameter 50 --packing IV", dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["outputs"].size(), 2u);
    EXPECT_EQ(Dotted(j["outputs"][0]), "Fd=0.7854");
    EXPECT_EQ(Dotted(j["outputs"][1]), "Fs=3.0238");
    EXPECT_NEAR(j["value"].get<double>(), 3.0238, 1e-4);
    EXPECT_FALSE(j["torque"].get<bool>());
    ASSERT_FALSE(j["candidates"].empty());
    EXPECT_EQ(j["columns"][2], "Spring opens");

    const struct {
        std::string args;
        int exitCode;
        std::string text;
    } others[] = {
        {"--type 7 --dp 1.6 --dn 100", 0, "\"M=73.8\""},
        {"--type 1 --dp 1 --diameter 50", 1, "\"message\": 63096"},
        {"--type 1 --dp 1 --diameter 50 --packing IV --kind 1", 1, "not sized yet"},
        {"--type 12 --dp 1", 2, "from 1 to 11"},
        {"--type 1 --dp x", 2, "--dp takes a number"},
        {"--dp 1", 2, "--type CODE is required"},
    };
    for (const auto& o : others) {
        r = Cli("actuator --lang 2 " + o.args, dir);
        EXPECT_EQ(r.exitCode, o.exitCode) << o.args << r.err;
        EXPECT_NE(Dotted(r.out + r.err).find(o.text), std::string::npos) << o.args << "\n" << r.out << r.err;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
