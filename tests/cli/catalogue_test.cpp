#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "support/cli_run.hpp"

#include "cli/catalogue_kinds.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using cli_test::Cli;
using cli_test::CliRun;
using cli_test::Q;
using cli_test::ReadWhole;

fs::path TempDir(const std::string& name) { return cli_test::TempDir("tarvik_cli_catalogue_", name); }

// Builds `source` into `file`, dumps it, builds the dump again and compares the bytes.
json RoundTrip(const json& source, const fs::path& dir, const std::string& fileName, const std::string& options = "") {
    std::ofstream(dir / "source.json") << source.dump(1);
    CliRun built = Cli("catalogue build " + Q(dir / "source.json") + " " + Q(dir / fileName) + options, dir);
    EXPECT_EQ(built.exitCode, 0) << built.err;
    CliRun dumped = Cli("catalogue dump " + Q(dir / fileName) + options, dir);
    EXPECT_EQ(dumped.exitCode, 0) << dumped.err;
    json j = json::parse(dumped.out);
    std::ofstream(dir / "again.json") << dumped.out;
    fs::create_directories(dir / "again");
    CliRun again = Cli("catalogue build " + Q(dir / "again.json") + " " + Q(dir / "again" / fileName) + options, dir);
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(ReadWhole(dir / fileName), ReadWhole(dir / "again" / fileName));
    return j;
}

TEST(CatalogueCli, ValveSeriesBuildThenDumpRoundTrips) {
    auto dir = TempDir("dbv");
    json source = {
        {"rawVersion", 705},
        {"name", "Řada 10"},
        {"description", "Kulový ventil [Ball valve]"},
        {"tableFlags", {1, 0, 1, 1, 0, 1}},
        {"seriesDefault", 0.25},
        {"valves",
         {{{"characteristic", 2}, {"dn", 50}, {"Kvs", 40}, {"Kv", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 40}},
           {"FL", {0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.85}}, {"xT", {0.7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.6}},
           {"valveValue", 4}, {"discarded", {{"value", 1}, {"texts", {"x", "y"}}}}, {"specText", "popis"}}}},
        {"choices", {{{"id", 12}, {"text", "Ocel"}, {"text2", "Steel"}, {"condition", "{dn<=50}"}, {"attribute", "A"}}}},
    };
    json j = RoundTrip(source, dir, "r10.dbv", " --lang 1");
    EXPECT_EQ(j["kind"], "dbv");
    EXPECT_EQ(j["name"], "Řada 10");
    EXPECT_EQ(j["loaded"]["displayName"], "Řada 10 (Kulový ventil)");
    EXPECT_EQ(j["valves"][0]["Kv"][10], 40);
    EXPECT_EQ(j["valves"][0]["loaded"]["noiseInput1"], 0.25);
    EXPECT_EQ(j["choices"][0]["loadedText"], "[1:Ocel][2:Steel][0:Ocel][3:Ocel]");
    // --lang-count decides the completion too.
    CliRun two = Cli("catalogue dump " + Q(dir / "r10.dbv") + " --lang 0 --lang-count 2", dir);
    ASSERT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(json::parse(two.out)["choices"][0]["loadedText"], "[0:Ocel][2:Steel][1:Ocel]");
}

TEST(CatalogueCli, SpecificationFilesBuildThenDumpRoundTrip) {
    auto dir = TempDir("spec");
    json catalogue = {
        {"version", 6},
        {"section1",
         {{{"name", "MT 60"}, {"kind", "AT"}, {"codes", {"A", "B", "1", "2"}},
           {"sizes", {{{"name", "250"}, {"value", 250}, {"text2", "S2"}, {"values", {{{"name", "F"}, {"value", 1.5}}}}}}},
           {"springs", {{{"from", 6}, {"to", 30}, {"code", "S6"}}}},
           {"supplies", {{{"value", 400}, {"text2", "P4"}}}},
           {"options", {{"Ruční kolo", "", "", "HW"}}}}}},
        {"section2", {{{"name", "EL"}, {"c", json::array({json::array({"a", "b"})})}, {"d", {{"1", "2", "3"}}}}}},
        {"section3", {{{"name", "X"}, {"a", {{{"name", "n"}, {"value", 1}}}}}}},
        {"valueList", {{{"name", "v"}, {"value", 2}, {"extra", "e"}}}},
    };
    json j = RoundTrip(catalogue, dir, "specpoh.tkd");
    EXPECT_EQ(j["valueCount1"], 1);
    EXPECT_EQ(j["section1"][0]["options"][0][0], "Ruční kolo");
    EXPECT_EQ(j["codeF"], "N");

    json curves = {{"version", 1}, {"entries", {{{"key1", 3}, {"rows", {{{"x", 0.5}, {"points", {{1, 2}, {3, 4}}}}}}}}}};
    for (const char* name : {"specpoh07.tkd", "specpoh09.tkd", "specpoh10.tkd"}) {
        json c = RoundTrip(curves, dir, name);
        EXPECT_EQ(c["entries"][0]["key2"], -1);
        EXPECT_EQ(c["entries"][0]["rows"][0]["points"][1][0], 3);
    }
    json t06a = {{"entries", {{{"name", "A"}, {"rows", {{{"x", 1}, {"points", {{1, 2, 3}}}}}}}}}, {"records", {{1, 2, 3, 4, 5}}}};
    EXPECT_EQ(RoundTrip(t06a, dir, "specpoh06a.tkd")["records"][0][4], 5);
    json t06b = {{"records", {{{"a", 1}, {"c", 7}, {"d", "x"}, {"g", 2.5}}}}};
    EXPECT_EQ(RoundTrip(t06b, dir, "SPECPOH06B.TKD")["records"][0]["c"], 7);

    // A size with another number of value items than its section is refused.
    catalogue["section1"][0]["sizes"].push_back({{"name", "400"}});
    std::ofstream(dir / "uneven.json") << catalogue.dump();
    CliRun r = Cli("catalogue build " + Q(dir / "uneven.json") + " " + Q(dir / "specpoh.tkd"), dir);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("section1"), std::string::npos) << r.err;
    // A dump of one kind is not built as another.
    CliRun other = Cli("catalogue build " + Q(dir / "again.json") + " " + Q(dir / "x.dbv"), dir);
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "x.dbv"));
    // Any file name with --kind.
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "specpoh.tkd") + " --kind specpoh", dir).exitCode, 0);
    fs::copy_file(dir / "specpoh.tkd", dir / "copy.bin");
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "copy.bin") + " --kind specpoh", dir).exitCode, 0);
}

TEST(CatalogueCli, BadInputIsRefusedAndNothingIsWritten) {
    auto dir = TempDir("bad");
    std::ofstream(dir / "broken.json") << "{\"rawVersion\": 803,";
    CliRun r = Cli("catalogue build " + Q(dir / "broken.json") + " " + Q(dir / "x.dbv"), dir);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.dbv"));

    // A misspelt key, a value of the wrong type, a text code page 1250 cannot hold.
    for (const char* text : {R"({"rawVersion": 803, "valves": [{"kvs": 4}]})", R"({"rawVersion": "803"})",
                             R"({"name": "日本"})", R"({"valves": [{"Kv": [1, 2]}]})"}) {
        std::ofstream(dir / "wrong.json") << text;
        std::ofstream(dir / "old.dbv") << "old";
        CliRun w = Cli("catalogue build " + Q(dir / "wrong.json") + " " + Q(dir / "old.dbv"), dir);
        EXPECT_EQ(w.exitCode, 2) << text;
        EXPECT_NE(w.err.find("wrong.json"), std::string::npos) << w.err;
        EXPECT_EQ(ReadWhole(dir / "old.dbv"), "old");
    }

    // A damaged file, an unknown kind, a missing file.
    std::ofstream(dir / "cut.dbv") << "\x03\x03";
    CliRun cut = Cli("catalogue dump " + Q(dir / "cut.dbv"), dir);
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("cut.dbv"), std::string::npos) << cut.err;
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "cut.xyz"), dir).exitCode, 2);
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "cut.xyz") + " --kind nope", dir).exitCode, 2);
    EXPECT_EQ(Cli("catalogue dump " + Q(dir / "none.dbv"), dir).exitCode, 1);
}

TEST(CatalogueCli, EveryKindIsFoundByItsFileName) {
    for (const auto& kind : cli::CatalogueKinds()) {
        EXPECT_EQ(cli::FindCatalogueKind(kind.name), &kind);
    }
    EXPECT_STREQ(cli::CatalogueKindOfFile("/x/dbv/ABC.DBV")->name, "dbv");
    EXPECT_STREQ(cli::CatalogueKindOfFile("/x/SpecPoh09.tkd")->name, "specpoh09");
    EXPECT_EQ(cli::CatalogueKindOfFile("/x/specpoh09.tkd.bak"), nullptr);
    EXPECT_EQ(cli::CatalogueKindOfFile("/x/notes.txt"), nullptr);
}

}  // namespace
}  // namespace tarvik
