#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "data/archive.hpp"
#include "data/valve_series.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class ProjectCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarvik_project_cli_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    struct Run {
        int exitCode;
        std::string out, err;
    };
    Run Cli(const std::string& args, const fs::path& programDir = TARVIK_PROGRAM_DIR_FOR_TESTS) {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        // Number texts in the exports follow the locale; the expected texts are those of "C".
        const std::string cmd = std::string("LC_ALL=C '") + TARVIK_CLI_PATH + "' " + args + " --program-dir '" +
                                programDir.string() + "' --lang 2 >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(out), Read(err)};
    }
    static std::string Read(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    std::string Q(const std::string& name) const { return "'" + (dir_ / name).string() + "'"; }
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name, std::ios::binary) << text; }

    fs::path dir_;
};

json SampleProject() {
    json p1 = {{"name", "FV101"},
               {"note", "feed ;\"quoted\""},
               {"mediumState", 0},
               {"savedAt", 1700000000u},
               {"pointEnabled", {1, 1, 0}},
               {"values", {{10.5, 12, 0}, {0.6, 0.55, 0}, {0.2, 0.25, 0}}},
               {"units", {"m3/h", "MPa", "MPa"}},
               {"designation", "V-9"},
               {"valveData", {6.3, 50, 50}},
               {"characteristic", 1},
               {"resultTexts", {{"8", "12", ""}}},
               {"specItems",
                {{{"id", 71}, {"text", "V-9 globe"}, {"code", ""}},
                 {{"id", 74}, {"text", "[0:Ventil DN50][1:Zawór][2:Valve DN50][3:Ventil]"}, {"code", "A"}},
                 {{"id", 106}, {"text", "PN 40"}, {"code", ""}},
                 {{"id", 107}, {"text", "PN 40"}, {"code", ""}}}},
               {"titleBlock", json::array({json::array({"kks", "FV101"}), json::array({"ozn", "V-9 X"})})},
               {"specPairs", {{3, 4}, {-1, 7}}},
               {"pieces", "2"}};
    json p2 = {{"name", "PV-2 Žatec"},
               {"mediumState", 3},
               {"valveData", {40, 50, 80}},
               {"specItems", {{{"id", 106}, {"text", "ANSI 300"}}, {{"id", 107}, {"text", "ANSI 150"}}}}};
    return {{"project", "Boiler house"}, {"customer", "Kesta"}, {"atmosphericPressure", 0.1013},
            {"defaultFlowUnit", "m3/h"}, {"positions", {p1, p2}}};
}

TEST_F(ProjectCli, DumpLoadDumpIsIdentical) {
    Write("source.json", SampleProject().dump());
    Run r = Cli("load " + Q("source.json") + " " + Q("A.tkp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Run first = Cli("dump " + Q("A.tkp"));
    ASSERT_EQ(first.exitCode, 0) << first.err;
    Write("first.json", first.out);
    ASSERT_EQ(Cli("load " + Q("first.json") + " " + Q("B.tkp")).exitCode, 0);
    Run second = Cli("dump " + Q("B.tkp"));
    EXPECT_EQ(first.out, second.out);
    // Loading completes item texts once (sections, nominal sizes); from then on the bytes hold.
    Write("second.json", second.out);
    ASSERT_EQ(Cli("load " + Q("second.json") + " " + Q("C.tkp")).exitCode, 0);
    EXPECT_TRUE(Read(dir_ / "B.tkp") == Read(dir_ / "C.tkp"));

    const json j = json::parse(first.out);
    ASSERT_EQ(j["positions"].size(), 2u);
    const json& p = j["positions"][0];
    EXPECT_EQ(p["values"].size(), 30u);
    EXPECT_EQ(p["values"][0], json({10.5, 12, 0}));
    EXPECT_EQ(p["specItems"][1]["text"], "[0:Ventil DN50][1:Zawór][2:Valve DN50][3:Ventil]");
    EXPECT_EQ(p["titleBlock"].dump(), R"([["kks","FV101"],["ozn","V-9 X"]])");
    EXPECT_EQ(p["specPairs"], json({{3, 4}, {-1, 7}}));
    EXPECT_EQ(p["savedAt"], 1700000000u);
    EXPECT_EQ(p["note"], "feed ;\"quoted\"");
    EXPECT_EQ(j["positions"][1]["name"], "PV-2 Žatec");
    EXPECT_EQ(j["atmosphericPressure"], 0.1013);
}

TEST_F(ProjectCli, DeeplyNestedJsonIsRefusedByEveryReader) {
    // 10,000 levels used to exhaust the stack; the readers stop at 64.
    std::string deep = std::string(10000, '[') + std::string(10000, ']');
    Write("deep-size.json", R"({"medium":"water","units":{"flow":)" + deep + "},\"points\":[]}");
    Write("deep.json", R"({"positions":)" + deep + "}");
    Write("target.tkp", "previous bytes");
    Write("target.tkd", "previous bytes");
    for (const std::string& args : {"size " + Q("deep-size.json"), "load " + Q("deep.json") + " " + Q("target.tkp"),
                                    "catalogue build " + Q("deep.json") + " " + Q("target.tkd") + " --kind potrubi"}) {
        const Run r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << args << ": " << r.err;
        EXPECT_NE(r.err.find("nested deeper than 64 levels"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(Read(dir_ / "target.tkp"), "previous bytes");
    EXPECT_EQ(Read(dir_ / "target.tkd"), "previous bytes");
    // 64 levels are still read (and refused for what they hold, not for their depth).
    Write("d64.json", R"({"positions":)" + std::string(63, '[') + std::string(63, ']') + "}");
    EXPECT_EQ(Cli("load " + Q("d64.json") + " " + Q("target.tkp")).err.find("nested"), std::string::npos);
}

TEST_F(ProjectCli, BadInputIsRefusedWithoutTouchingTheTarget) {
    Write("target.tkp", "previous bytes");
    auto refuse = [&](const json& source, const std::string& where) {
        Write("bad.json", source.dump());
        Run r = Cli("load " + Q("bad.json") + " " + Q("target.tkp"));
        EXPECT_EQ(r.exitCode, 2) << source.dump();
        EXPECT_NE(r.err.find(where), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(Read(dir_ / "target.tkp"), "previous bytes");
    };
    json j = SampleProject();
    j["positions"][1]["colour"] = "red";
    refuse(j, "positions[1].colour: unknown key");
    j = SampleProject();
    j["positions"][0]["valveData"][2] = "50";
    refuse(j, "positions[0].valveData[2]: expected a number");
    j = SampleProject();
    j["positions"][0]["mediumState"] = 1.5;
    refuse(j, "positions[0].mediumState");
    j = SampleProject();
    j["positions"][0]["pointEnabled"] = {1, 1, 1, 1};
    refuse(j, "positions[0].pointEnabled");
    j = SampleProject();
    j["positions"][0]["specItems"][0]["condition"] = "";
    refuse(j, "positions[0].specItems[0].condition");
    j = SampleProject();
    j["customer"] = "\u2713 approved";  // no code page 1250 form
    refuse(j, "customer");
    j = SampleProject();
    j["positions"][0]["savedAt"] = -1;
    refuse(j, "positions[0].savedAt");
    refuse(json::array(), "document");

    Write("bad.json", "{\"project\": \"x\",");
    Run r = Cli("load " + Q("bad.json") + " " + Q("target.tkp"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("not valid JSON"), std::string::npos) << r.err;
    EXPECT_EQ(Read(dir_ / "target.tkp"), "previous bytes");

    // A damaged project is refused by the reading commands.
    r = Cli("dump " + Q("target.tkp"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("target.tkp"), std::string::npos) << r.err;
    EXPECT_EQ(Cli("dump " + Q("none.tkp")).exitCode, 1);
}

TEST_F(ProjectCli, ExportsHaveTheirExactContent) {
    Write("source.json", SampleProject().dump());
    ASSERT_EQ(Cli("load " + Q("source.json") + " " + Q("Plant.tkp")).exitCode, 0);
    Run r = Cli("export summary " + Q("Plant.tkp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find((dir_ / "Plant.tke.txt").string()), std::string::npos) << r.out;
    // Code page 1250 with CR LF, as the other tools read it; UTF-8 on request.
    EXPECT_EQ(Read(dir_ / "Plant.tke.txt"),
              "FV101;V-9 globe;DN50;PN 40;Kvs 6.3\r\n"
              "PV-2 \x8E" "atec;;2\"/3\";ANSI 300/ANSI 150;Kvs 40\r\n");
    ASSERT_EQ(Cli("export summary " + Q("Plant.tkp") + " --encoding utf-8").exitCode, 0);
    EXPECT_EQ(Read(dir_ / "Plant.tke.txt"),
              "FV101;V-9 globe;DN50;PN 40;Kvs 6.3\r\n"
              "PV-2 Žatec;;2\"/3\";ANSI 300/ANSI 150;Kvs 40\r\n");
    ASSERT_EQ(Cli("export spec " + Q("Plant.tkp")).exitCode, 0);
    EXPECT_EQ(Read(dir_ / "Plant.tkep.txt"), "Valve DN50\r\n\r\n");
    EXPECT_EQ(Cli("export pdf " + Q("Plant.tkp")).exitCode, 2);
    EXPECT_EQ(Cli("export spec " + Q("Plant.tkp") + " --encoding latin2").exitCode, 2);
}

TEST_F(ProjectCli, CandidatesOfAHandMadeSeries) {
    const fs::path programDir = dir_ / "program";
    fs::create_directories(programDir / "dbv");
    for (const auto& e : fs::directory_iterator(TARVIK_PROGRAM_DIR_FOR_TESTS))
        if (e.path().filename().string().rfind("TarvikD", 0) == 0 || e.path().filename() == "tarvik.ini")
            fs::create_symlink(e.path(), programDir / e.path().filename());
    ValveSeries series;
    series.name = "V-9";
    for (auto [Kvs, dn] : {std::pair{10.0, 25.0}, {16.0, 32.0}, {25.0, 40.0}}) {
        SeriesValve v;
        v.Kvs = Kvs;
        v.dn = dn;
        v.characteristic = 1;
        series.valves.push_back(v);
    }
    const auto bytes = ValveSeriesBytes(series);
    std::ofstream(programDir / "dbv" / "v9.dbv", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                         static_cast<std::streamsize>(bytes.size()));
    Write("source.json", SampleProject().dump());
    ASSERT_EQ(Cli("load " + Q("source.json") + " " + Q("P.tkp"), programDir).exitCode, 0);

    // Kv1 = 8 and Kv2 = 12: at Kv 12 the Kvs 16 and 25 valves open between 60 and 95 %.
    Run r = Cli("candidates " + Q("P.tkp") + " --position FV101", programDir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["kvText"], "Kv1 = 8; Kv2 = 12");
    EXPECT_EQ(j["sizingKv"], 12.0);
    ASSERT_EQ(j["candidates"].size(), 2u);
    EXPECT_EQ(j["candidates"][0]["Kvs"], 16.0);
    EXPECT_EQ(j["candidates"][0]["DN"], 32.0);
    EXPECT_EQ(j["candidates"][1]["Kvs"], 25.0);
    EXPECT_NEAR(j["candidates"][0]["opening"].get<double>(), 0.926, 0.001);

    r = Cli("candidates " + Q("P.tkp") + " --position FV101 --all", programDir);
    EXPECT_EQ(json::parse(r.out)["candidates"].size(), 3u);
    r = Cli("candidates " + Q("P.tkp") + " --position 'PV-2 Žatec'", programDir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no valve series"), std::string::npos) << r.err;
    EXPECT_EQ(Cli("candidates " + Q("P.tkp") + " --position nobody", programDir).exitCode, 1);
    EXPECT_EQ(Cli("candidates " + Q("P.tkp"), programDir).exitCode, 2);
}

// A water position without a catalogue valve: what the form's Calculate gives, stored with --save.
TEST_F(ProjectCli, CalcRunsTheFormAndSavesOnRequest) {
    json p = {{"name", "W1"},
              {"mediumState", 0},
              {"pointEnabled", {1, 0, 0}},
              {"rowIdList", "2;4;5;10;28;14;15;12;22;7;21;23;"},
              {"units", {"", "", "m3/h", "", "bar", "bar", "", "", "", "", "°C", "", "kg/m3", "", "bar", "bar", "",
                         "", "", "", "", "", "m/s", "", "", "", "", "", "cSt"}},
              {"valveData", {0, 50, 50}}};
    json values = json::array();
    for (int k = 0; k < 29; ++k) values.push_back({0, 0, 0});
    values[2] = {20, 0, 0};
    values[4] = {7, 0, 0};
    values[5] = {4, 0, 0};
    values[10] = {80, 0, 0};
    values[12] = {971.8, 0, 0};
    values[14] = {0.4739, 0, 0};
    values[15] = {220.64, 0, 0};
    values[22] = {1480, 0, 0};
    values[28] = {0.364, 0, 0};
    values[7] = {0.9, 0, 0};
    values[21] = {0.46, 0, 0};
    p["values"] = values;
    json bad = p;
    bad["name"] = "W2";
    bad["values"][2] = {0, 0, 0};  // no flow
    Write("calc.json", json({{"positions", {p, bad}}}).dump());
    ASSERT_EQ(Cli("load " + Q("calc.json") + " " + Q("C.tkp")).exitCode, 0);
    const std::string before = Read(dir_ / "C.tkp");

    Run r = Cli("calc " + Q("C.tkp") + " --position W1 --log " + Q("log.txt"));
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    json j = json::parse(r.out);
    ASSERT_EQ(j.size(), 1u);
    EXPECT_TRUE(j[0]["computed"].get<bool>());
    // The vocabulary of `size`: one entry per operating point, null where the point is off.
    ASSERT_EQ(j[0]["points"].size(), 3u);
    EXPECT_TRUE(j[0]["points"][1].is_null());
    EXPECT_TRUE(j[0]["points"][0].contains("message"));
    EXPECT_TRUE(j[0]["points"][0]["exact"].contains("Kv"));
    // Kv = Q sqrt(rho/1000 / dp) = 20 sqrt(0.9718 / 3) = 11.38 as long as the flow is not choked.
    EXPECT_NEAR(j[0]["points"][0]["Kv"].get<double>(), 11.38, 0.05) << r.out;
    EXPECT_FALSE(Read(dir_ / "log.txt").empty());
    EXPECT_EQ(Read(dir_ / "C.tkp"), before);  // no --save: the project is untouched

    r = Cli("calc " + Q("C.tkp") + " --save");
    EXPECT_EQ(r.exitCode, 1) << r.err;  // W2 is refused
    j = json::parse(r.out);
    ASSERT_EQ(j.size(), 2u);
    EXPECT_EQ(j[1]["refused"]["point"], 0);  // numbered from 0, as `size` does
    const json saved = json::parse(Cli("dump " + Q("C.tkp")).out);
    EXPECT_FALSE(saved["positions"][0]["resultTexts"][0][0].get<std::string>().empty());
    EXPECT_EQ(Cli("calc " + Q("C.tkp") + " --position nobody").exitCode, 1);
}

// A position entered in a user unit of jednotky2.tkd computes as in the built-in unit.
TEST_F(ProjectCli, CalcKnowsTheUserUnits) {
    json p = {{"name", "W1"},
              {"mediumState", 0},
              {"pointEnabled", {1, 0, 0}},
              {"rowIdList", "2;4;5;10;28;14;15;12;22;7;21;23;"},
              {"units", {"", "", "m3/h", "", "mbar", "mbar", "", "", "", "", "°C", "", "kg/m3", "", "bar", "bar", "",
                         "", "", "", "", "", "m/s", "", "", "", "", "", "cSt"}},
              {"valveData", {0, 50, 50}}};
    json values = json::array();
    for (int k = 0; k < 29; ++k) values.push_back({0, 0, 0});
    for (auto [slot, v] : {std::pair{2, 20.0}, {4, 7000.0}, {5, 4000.0}, {10, 80.0}, {12, 971.8}, {14, 0.4739},
                           {15, 220.64}, {22, 1480.0}, {28, 0.364}, {7, 0.9}, {21, 0.46}})
        values[slot] = {v, 0, 0};
    p["values"] = values;
    Write("mbar.json", json({{"positions", {p}}}).dump());
    ASSERT_EQ(Cli("load " + Q("mbar.json") + " " + Q("M.tkp")).exitCode, 0);
    Run r = Cli("calc " + Q("M.tkp"));
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    const json j = json::parse(r.out);
    ASSERT_TRUE(j[0]["computed"].get<bool>()) << r.out;
    EXPECT_NEAR(j[0]["points"][0]["Kv"].get<double>(), 11.38, 0.05) << r.out;
}

// Opening a project as the program does: the series table refreshes the designation, files
// without a time stamp get the current time, a new project has the default units of units.tkd.
TEST_F(ProjectCli, ProjectsOpenAsTheProgramOpensThem) {
    const fs::path programDir = dir_ / "program";
    fs::create_directories(programDir / "dbv");
    for (const auto& e : fs::directory_iterator(TARVIK_PROGRAM_DIR_FOR_TESTS))
        if (e.path().filename().string().rfind("TarvikD", 0) == 0 || e.path().filename() == "units.tkd")
            fs::create_symlink(e.path(), programDir / e.path().filename());
    std::ofstream(programDir / "tarvik.ini") << "[Setup]\nLang=2\nIndex=7\n";
    ValveSeries series;
    series.name = "[0:V-9][7:W-9]";  // the designation per company index
    const auto bytes = ValveSeriesBytes(series);
    std::ofstream(programDir / "dbv" / "v9.dbv", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    json source = SampleProject();
    source.erase("defaultFlowUnit");
    source["positions"][0]["designationSelector"] = "0";
    Write("source.json", source.dump());
    ASSERT_EQ(Cli("load " + Q("source.json") + " " + Q("P.tkp"), programDir).exitCode, 0);
    Run r = Cli("dump " + Q("P.tkp"), programDir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["defaultFlowUnit"], "m3/h");
    EXPECT_EQ(j["defaultTemperatureUnit"], "°C");
    const json& p = j["positions"][0];
    EXPECT_EQ(p["designation"], "W-9");
    EXPECT_EQ(p["titleBlock"].dump(), R"([["kks","FV101"],["ozn","W-9 X"]])");
    const std::string item71 = p["specItems"][0]["text"];
    EXPECT_NE(item71.find("W-9 globe"), std::string::npos) << item71;
    EXPECT_EQ(item71.find("V-9"), std::string::npos) << item71;

    // Version 5.09: no time stamp in the file.
    ArchiveWriter w;
    w.WriteInt32(509);
    for (int i = 0; i < 6; ++i) w.WriteText("");
    w.WriteInt32(1);
    w.WriteDouble(0.101325);
    for (const char* t : {"FV-1", "", ""}) w.WriteText(t);
    w.WriteInt32(0);  // water
    w.WriteInt32(0);
    w.WriteText("");
    w.WriteText("");
    for (int i = 0; i < 3; ++i) w.WriteInt32(i == 0);
    for (int k = 0; k < 30; ++k) {
        for (int i = 0; i < 3; ++i) w.WriteDouble(0);
        w.WriteText("");
    }
    w.WriteText("V-9");
    for (int i = 0; i < 15; ++i) w.WriteDouble(0);
    w.WriteText("LIN");
    for (int i = 0; i < 1 + 6 + 15; ++i) w.WriteText("");  // row list, pipes, result rows 0 to 4
    std::ofstream(dir_ / "old.tkp", std::ios::binary)
        .write(reinterpret_cast<const char*>(w.bytes().data()), static_cast<std::streamsize>(w.bytes().size()));
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    r = Cli("dump " + Q("old.tkp"), programDir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    j = json::parse(r.out);
    EXPECT_GE(j["positions"][0]["savedAt"].get<std::uint32_t>(), before);
    EXPECT_LE(j["positions"][0]["savedAt"].get<std::uint32_t>(), before + 60);
    EXPECT_EQ(j["positions"][0]["designation"], "W-9");
}

}  // namespace
}  // namespace tarvik
