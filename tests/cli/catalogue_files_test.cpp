// The data files beside the catalogues: unit files, condition variables, trees and bitmaps.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "support/cli_run.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using cli_test::Cli;
using cli_test::CliRun;
using cli_test::Q;
using cli_test::ReadWhole;

fs::path TempDir(const std::string& name) { return cli_test::TempDir("tarvik_cli_files_", name); }

// Every data file and series the build puts into the program folder dumps, and its dump builds
// the same bytes.
TEST(CatalogueFilesCli, EveryDataFileOfTheProgramFolderRoundTrips) {
    const fs::path program = TARVIK_PROGRAM_DIR_FOR_TESTS;
    auto dir = TempDir("program");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(program)) {
        if (entry.path().extension() != ".tkd" && entry.path().extension() != ".dbv") continue;
        ++files;
        const std::string name = entry.path().filename().string();
        CliRun dumped = Cli("catalogue dump " + Q(entry.path()), dir);
        ASSERT_EQ(dumped.exitCode, 0) << name << ": " << dumped.err;
        std::ofstream(dir / "dump.json") << dumped.out;
        CliRun built = Cli("catalogue build " + Q(dir / "dump.json") + " " + Q(dir / name), dir);
        ASSERT_EQ(built.exitCode, 0) << name << ": " << built.err;
        EXPECT_EQ(ReadWhole(dir / name), ReadWhole(entry.path())) << name;
    }
    EXPECT_GE(files, 20);

    // The demo's condition variables come out as the program reads them.
    json vars = json::parse(Cli("catalogue dump " + Q(program / "specpodm.tkd"), dir).out);
    EXPECT_EQ(vars["lines"][3], (json{{"name", "dn"}, {"source", "v"}, {"index", 1}, {"unit", "mm"}, {"kind", "l"}}));
    EXPECT_EQ(vars["lines"][5]["unit"], "°C");
}

// The older unit file is only read; its units, offset 0, go into the current one.
TEST(CatalogueFilesCli, OldUnitsAreDumpedButWrittenOnlyAsCurrentUnits) {
    auto dir = TempDir("old");
    const std::string old("\x01\x00\x00\x00\x02\x00\x00\x00\x04mbar\x2d\x43\x1c\xeb\xe2\x36\x1a\x3f", 21);
    std::ofstream(dir / "jednotky.tkd", std::ios::binary) << old;
    CliRun dumped = Cli("catalogue dump " + Q(dir / "jednotky.tkd"), dir);
    ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
    json j = json::parse(dumped.out);
    EXPECT_EQ(j["units"][0]["name"], "mbar");
    EXPECT_FALSE(j["units"][0].contains("offset"));

    std::ofstream(dir / "old.json") << j.dump();
    CliRun refused = Cli("catalogue build " + Q(dir / "old.json") + " " + Q(dir / "jednotky.tkd"), dir);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("never written"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadWhole(dir / "jednotky.tkd"), old);

    j["kind"] = "jednotky2";
    std::ofstream(dir / "current.json") << j.dump();
    ASSERT_EQ(Cli("catalogue build " + Q(dir / "current.json") + " " + Q(dir / "jednotky2.tkd"), dir).exitCode, 0);
    EXPECT_EQ(ReadWhole(dir / "jednotky2.tkd"), old + std::string(8, '\0'));
    json current = json::parse(Cli("catalogue dump " + Q(dir / "jednotky2.tkd"), dir).out);
    EXPECT_EQ(current["units"][0]["offset"], 0.0);
}

TEST(CatalogueFilesCli, BadSourcesAreRefusedByPlaceAndTheOldFileStays) {
    auto dir = TempDir("bad");
    struct Case {
        const char* file;
        const char* source;
        const char* place;
    };
    const Case cases[] = {
        {"units.tkd", R"({"flow": "m3/h", "presure": "bar"})", "presure: unknown key"},
        {"units.tkd", R"({"flow": "日本"})", "flow: text has characters"},
        {"jednotky2.tkd", R"({"units": [{"name": "x", "quantity": "pressure"}]})", "units[0].quantity: expected an integer"},
        {"jednotky2.tkd", R"({"units": [{"name": "x", "factor": "2"}]})", "units[0].factor: expected a number"},
        {"specpodm.tkd", R"({"lineEnds": "CR"})", "lineEnds: expected"},
        {"specpodm.tkd", R"({"lines": ["a note"]})", "lines[0]: a text line must be empty or a comment"},
        {"specpodm.tkd", R"({"lines": [{"name": "dn", "index": 5}]})", "lines[0].source: cannot be empty"},
        {"specpodm.tkd", R"({"lines": ["", {"name": "dn", "unit": "m;m", "source": "v"}]})", "lines[1].unit: cannot contain \";\""},
        {"specpodm.tkd", R"({"lines": [{"name": "//dn"}]})", "lines[0].name: cannot start with"},
        {"specpodm.tkd", R"({"lines": [7]})", "lines[0]: expected a text"},
        {"specprip.tkd", R"({"lines": ["a\nb"]})", "lines[0]: cannot contain a line break"},
        {"TarB.tkd", R"({"base64": "Qk0=!"})", "base64: base64 length"},
        {"TarB.tkd", R"({"base64": "Q=00"})", "base64: not base64"},
    };
    for (const Case& c : cases) {
        std::ofstream(dir / "wrong.json") << c.source;
        std::ofstream(dir / c.file) << "old";
        CliRun r = Cli("catalogue build " + Q(dir / "wrong.json") + " " + Q(dir / c.file), dir);
        EXPECT_EQ(r.exitCode, 2) << c.source;
        EXPECT_NE(r.err.find(c.place), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(ReadWhole(dir / c.file), "old");
    }

    // Files that cannot be read: truncated, missing.
    std::ofstream(dir / "jednotky2.tkd", std::ios::binary) << std::string("\x01\x00\x00\x00\x02", 5);
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "jednotky2.tkd"), dir).exitCode, 1);
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "none" / "specpodm.tkd"), dir).exitCode, 1);
}

}  // namespace
}  // namespace tarvik
