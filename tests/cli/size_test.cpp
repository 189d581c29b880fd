// Drives the built tarvik-cli end to end: the README examples against hand calculations, the
// refusal of bad inputs, and the steam command.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <unistd.h>

#include "data/language.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseLanguage(2);
        dir_ = fs::temp_directory_path() / ("tarvik-size-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Quote(const std::string& s) {
        std::string q = "'";
        for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }

    Result Run(const std::string& args) {
        const fs::path out = dir_ / "out.txt", err = dir_ / "err.txt";
        const std::string cmd = Quote(TARVIK_CLI_PATH) + " " + args + " --program-dir " +
                                Quote(TARVIK_PROGRAM_DIR_FOR_TESTS) + " --lang 2 >" + Quote(out.string()) + " 2>" +
                                Quote(err.string());
        const int raw = std::system(cmd.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Read(out);
        r.err = Read(err);
        return r;
    }

    Result Size(const std::string& input, const std::string& options = "") {
        const fs::path in = dir_ / "position.json";
        std::ofstream(in) << input;
        return Run("size " + Quote(in.string()) + " --log " + Quote(Log().string()) + " " + options);
    }

    Result Example(const std::string& name) {
        return Run("size " + Quote(std::string(TARVIK_SOURCE_DIR) + "/examples/" + name) + " --log " +
                   Quote(Log().string()));
    }

    fs::path Log() const { return dir_ / "vypocet.txt"; }

    static std::string Read(const fs::path& p) {
        std::ifstream f(p);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }

    // Every number of a result is finite (JSON has no NaN; a NaN would come out as null).
    static void ExpectFiniteNumbers(const json& j) {
        if (j.is_object() || j.is_array()) {
            for (const auto& v : j) ExpectFiniteNumbers(v);
        } else if (j.is_number()) {
            EXPECT_TRUE(std::isfinite(j.get<double>()));
        }
    }

    fs::path dir_;
};

TEST_F(Cli, WaterExampleGivesTheHandCalculatedKv) {
    const Result r = Example("water.json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_TRUE(j["valid"].get<bool>());
    const json& p = j["points"][0];
    // 10 m3/h, 10 -> 9 bar, not choked: Kv = 10 Q sqrt(rho/rho0 / dp[kPa]) = 10 * 10 * sqrt(0.001 / 0.1)
    EXPECT_DOUBLE_EQ(p["Kv"].get<double>(), 10.0);
    EXPECT_NEAR(p["exact"]["Kv"].get<double>(), 10.0, 1e-9);
    EXPECT_EQ(p["opening"].get<double>(), 0);
    EXPECT_EQ(p["regime"], GetText(62186));
    // 10 m3/h in 50 mm: 1.4147 m/s
    EXPECT_DOUBLE_EQ(p["velocity"].get<double>(), 1.415);
    EXPECT_EQ(p["coefficients"]["Fl"].get<double>(), 0.9);
    EXPECT_TRUE(p["coefficients"].contains("xFz"));
    EXPECT_TRUE(p["noise"].is_number());
    EXPECT_TRUE(j["points"][1].is_null());
    EXPECT_TRUE(j["points"][2].is_null());
    EXPECT_EQ(j["summary"], "");
    EXPECT_EQ(j["log"], Log().string());
    EXPECT_NE(Read(Log()).find(GetText(63044)), std::string::npos);
    ExpectFiniteNumbers(j);
}

TEST_F(Cli, SteamExampleIsChokedAndWarns) {
    const Result r = Example("steam.json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    const json& p = j["points"][0];
    // x = 0.7 >= Fgamma xT = 1.3 / 1.4 * 0.72: choked, Kv (12) = W / (0.667 N6 sqrt(Fgamma xT p1[kPa] rho1))
    const double FgxT = 1.3 / 1.4 * 0.72;
    const double Kv = 1000 / (0.667 * 3.16 * std::sqrt(FgxT * 1000 * 1.0 * 4.854));
    EXPECT_NEAR(p["exact"]["Kv"].get<double>(), Kv, 1e-9 * Kv);
    EXPECT_NEAR(p["Kv"].get<double>(), Kv, 0.001);
    EXPECT_EQ(p["regime"], GetText(62187));
    // Outlet Mach number in the 50 mm pipe: 4 m / (pi D^2 rho2 c2), rho2 = rho1 p2 / p1, c2 = sqrt(gamma R T1 / M)
    const double Mo = 4 * (1000.0 / 3600) /
                      (M_PI * 0.05 * 0.05 * 4.854 * 0.3 * std::sqrt(1.3 * 8314 * 473.15 / 18.015));
    EXPECT_NEAR(p["exact"]["velocity"].get<double>(), Mo, 1e-6 * Mo);
    EXPECT_EQ(p["Mo"], p["velocity"]);
    // A level above 85 dB(A) marks the noise result of point 1.
    EXPECT_GT(p["noise"].get<double>(), 85);
    EXPECT_NE(j["controlFlags"].get<std::string>().find(";1142;"), std::string::npos);
    EXPECT_TRUE(p["coefficients"].contains("xT"));
    EXPECT_NE(j["summary"].get<std::string>().find(GetText(63088)), std::string::npos);
    EXPECT_EQ(j["summary"].get<std::string>().rfind(FormatText(63058, "1"), 0), 0u);
    ExpectFiniteNumbers(j);
}

TEST_F(Cli, GasExampleInNormalCubicMetres) {
    const Result r = Example("gas.json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    const json& p = j["points"][0];
    // Kv (8) = Q0 / (N9 p1[kPa] Y) sqrt(M T1 Z / x), x = 0.2, Y = 1 - x / (3 Fgamma xT)
    const double Y = 1 - 0.2 / (3 * 0.7);
    const double Kv = 1000 / (24.6 * 500 * Y) * std::sqrt(28.97 * 293.15 * 1 / 0.2);
    EXPECT_NEAR(p["exact"]["Kv"].get<double>(), Kv, 1e-9 * Kv);
    EXPECT_EQ(p["regime"], GetText(62186));
    // Outlet Mach number: m = Q0 rhoN / 3600, rho2 = rho1 p2 / p1, c2 = sqrt(gamma R T1 / M)
    const double rho1 = 0.5 * 10 * 273.15 * 1.293 / (293.15 * 1.01325);
    const double m = 1000 * (rho1 * 1.01325 * 293.15 / (10 * 0.5 * 273.15)) / 3600;
    const double c2 = std::sqrt(1.4 * 8314 * 293.15 / 28.97);
    const double Mo = 4 * m / (M_PI * 0.107 * 0.107 * rho1 * 0.8 * c2);
    EXPECT_NEAR(p["Mo"].get<double>(), Mo, 0.01 * Mo);
    EXPECT_EQ(p["Mo"], p["velocity"]);
    EXPECT_GE(p["noise"].get<double>(), 0);
    ExpectFiniteNumbers(j);
}

TEST_F(Cli, LiquidWithCatalogueValveTakesTheTableCoefficients) {
    const Result r = Example("liquid-catalogue-valve.json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    // Not choked: Kv (1) does not depend on FL, so the opening settles at once.
    const double Kv0 = 10 * 20 * std::sqrt(850.0 / 1000 / 1000 / 0.3);
    const double Kv2 = 10 * 30 * std::sqrt(850.0 / 1000 / 1000 / 0.3);
    const json& p = j["points"][0];
    EXPECT_NEAR(p["exact"]["Kv"].get<double>(), Kv0, 1e-9);
    EXPECT_NEAR(p["exact"]["opening"].get<double>(), 100 * Kv0 / 25, 1e-9);
    EXPECT_DOUBLE_EQ(p["opening"].get<double>(), std::round(100000 * Kv0 / 25) / 1000);
    const double c = 10 * Kv0 / 25;  // travel in tenths
    EXPECT_DOUBLE_EQ(p["coefficients"]["Fl"].get<double>(), std::round(1000 * (0.95 - 0.01 * c)) / 1000);
    EXPECT_DOUBLE_EQ(p["coefficients"]["Fd"].get<double>(), std::round(1000 * (0.10 + 0.05 * c)) / 1000);
    EXPECT_DOUBLE_EQ(p["coefficients"]["xFz"].get<double>(), std::round(1000 * (0.3 - 0.1 * c / 7.5)) / 1000);
    EXPECT_TRUE(j["points"][1].is_null());
    EXPECT_NEAR(j["points"][2]["exact"]["Kv"].get<double>(), Kv2, 1e-9);
    // xF = 0.3 / (0.8 - 0.01) lies above xFz: cavitation is reported for both points.
    EXPECT_EQ(p["regime"], GetText(62182));
    EXPECT_NE(p["message"].get<std::string>().find(GetText(63086)), std::string::npos);
    const std::string summary = j["summary"];
    EXPECT_EQ(summary.rfind(FormatText(63058, "1"), 0), 0u);
    EXPECT_NE(summary.find("\n" + FormatText(63058, "3")), std::string::npos);
    EXPECT_EQ(summary.find(FormatText(63058, "2")), std::string::npos);
    ExpectFiniteNumbers(j);
}

TEST_F(Cli, RefusedInputExitsWithOneAndNamesTheField) {
    const Result r = Size(R"({"medium":"water","points":[{"Q":10,"p1":5,"p2":6,"T1":20,"ro1":1000,"Fl":0.9}]})");
    EXPECT_EQ(r.status, 1);
    const json j = json::parse(r.out);
    EXPECT_FALSE(j["valid"].get<bool>());
    EXPECT_EQ(j["message"], 63015);
    EXPECT_EQ(j["text"], GetText(63015));
    EXPECT_EQ(j["point"], 0);
    EXPECT_EQ(j["field"], "p2");
    EXPECT_FALSE(fs::exists(Log()));  // nothing computed, no log

    const Result third = Size(R"({"medium":"gas","units":{"flow":"Nm3/h"},
        "points":[null,null,{"Q":100,"p1":5,"p2":4,"T1":20,"M":0,"Z":1,"gama":1.4,"Fl":0.9,"xT":0.7}]})");
    EXPECT_EQ(third.status, 1);
    EXPECT_EQ(json::parse(third.out)["point"], 2);
    EXPECT_EQ(json::parse(third.out)["field"], "M");
}

TEST_F(Cli, NegativeGaugeOutletPressureFollowsTheOption) {
    const std::string in = R"({"medium":"water","gauge":true,"points":[
        {"Q":10,"p1":9,"p2":-0.5,"T1":20,"pv":0.023,"pc":221,"ro1":1000,"Fl":0.9,"Fd":0.5,"xFz":0.5}]})";
    const Result kept = Size(in);
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(json::parse(kept.out)["points"][0]["p2"], -0.5);
    const Result drop = Size(in, "--p2-drop");
    ASSERT_EQ(drop.status, 0) << drop.err;
    const json j = json::parse(drop.out);
    EXPECT_DOUBLE_EQ(j["points"][0]["p2"].get<double>(), 8.5);
    EXPECT_NEAR(j["points"][0]["exact"]["Kv"].get<double>(), 10 * 10 * std::sqrt(0.001 / 0.05), 1e-9);
}

TEST_F(Cli, MalformedInputExitsWithTwoAndOneLine) {
    const std::string point = R"("Q":10,"p1":10,"p2":9,"T1":20,"ro1":1000,"Fl":0.9)";
    const std::pair<const char*, std::string> cases[] = {
        {"malformed JSON", R"({"medium":"water", "points": [)"},
        {"not an object", R"([1, 2])"},
        {"unknown key", R"({"medium":"water","colour":"red","points":[]})"},
        {"gas key in a water point", R"({"medium":"water","points":[{)" + point + R"(,"xT":0.7}]})"},
        {"unknown medium", R"({"medium":"oil","points":[]})"},
        {"missing medium", R"({"points":[]})"},
        {"number as text", R"({"medium":"water","points":[{"Q":"10"}]})"},
        {"flag as number", R"({"medium":"water","gauge":1,"points":[]})"},
        {"four points", R"({"medium":"water","points":[null,null,null,null]})"},
        {"short table", R"({"medium":"water","points":[],"valve":{"FL":[1,2,3]}})"},
        {"unknown unit", R"({"medium":"water","units":{"p1":"hPa"},"points":[]})"},
        {"normal flow for a liquid", R"({"medium":"water","units":{"flow":"Nm3/h"},"points":[]})"},
        {"characteristic out of range", R"({"medium":"water","characteristic":7,"points":[]})"},
        {"unknown valve key", R"({"medium":"water","points":[],"valve":{"size":50}})"},
        {"number too large", R"({"medium":"water","points":[{"Q":1e999}]})"},
    };
    for (const auto& [what, input] : cases) {
        const Result r = Size(input);
        EXPECT_EQ(r.status, 2) << what << ": " << r.out;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
    }
    EXPECT_EQ(Run("size " + Quote((dir_ / "missing.json").string())).status, 2);
    EXPECT_EQ(Run("size a.json b.json").status, 2);
    EXPECT_EQ(Run("size --log").status, 2);
}

TEST_F(Cli, ReadsStandardInputAndReportsAnUnwritableLog) {
    const std::string cmd = "echo " +
                            Quote(R"({"medium":"water","points":[{"Q":5,"p1":10,"p2":9,"T1":20,"ro1":1000,"Fl":0.9}]})") +
                            " | " + Quote(TARVIK_CLI_PATH) + " size - --log /nonexistent-dir-for-tarvik/vypocet.txt" +
                            " --program-dir " + Quote(TARVIK_PROGRAM_DIR_FOR_TESTS) + " --lang 2 >" +
                            Quote((dir_ / "o.txt").string());
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    const json j = json::parse(Read(dir_ / "o.txt"));
    EXPECT_DOUBLE_EQ(j["points"][0]["Kv"].get<double>(), 5.0);
    ASSERT_EQ(j["messages"].size(), 1u);
    EXPECT_EQ(j["messages"][0]["number"], 63018);
    EXPECT_FALSE(j.contains("log"));
}

TEST_F(Cli, SteamShowsSaturationLiquidOrVapour) {
    const Result sat = Run("steam --pressure 1 --pressure-unit bar --temperature 0 --temperature-unit °C");
    ASSERT_EQ(sat.status, 0) << sat.err;
    json j = json::parse(sat.out);
    EXPECT_EQ(j["state"], "saturation");
    EXPECT_NEAR(j["saturationTemperature"].get<double>(), 99.606, 0.001);  // IF97: 372.755919 K at 0.1 MPa
    EXPECT_EQ(j["temperature"], j["saturationTemperature"]);
    EXPECT_EQ(j["saturationPressure"].get<double>(), 1);
    for (const char* k : {"liquidEnthalpy", "liquidSpecificVolume", "vapourEnthalpy", "vapourSpecificVolume"})
        EXPECT_TRUE(j[k].is_number()) << k;
    EXPECT_NEAR(j["liquidEnthalpy"].get<double>(), 417.4, 0.1);
    EXPECT_NEAR(j["vapourEnthalpy"].get<double>(), 2674.9, 0.2);

    j = json::parse(Run("steam --pressure 1 --temperature 20").out);
    EXPECT_EQ(j["state"], "liquid");
    EXPECT_EQ(j["vapourEnthalpy"], "***");
    EXPECT_EQ(j["vapourSpecificVolume"], "***");
    EXPECT_NEAR(j["liquidEnthalpy"].get<double>(), 84.0, 0.1);
    EXPECT_NEAR(j["liquidSpecificVolume"].get<double>(), 0.0010018, 1e-6);
    EXPECT_NEAR(j["saturationPressure"].get<double>(), 0.023, 0.0005);  // 2.339 kPa at 20 °C, in bar

    j = json::parse(Run("steam --pressure 0.1 --pressure-unit MPa --temperature 150").out);
    EXPECT_EQ(j["state"], "vapour");
    EXPECT_EQ(j["liquidEnthalpy"], "***");
    EXPECT_EQ(j["liquidSpecificVolume"], "***");
    EXPECT_NEAR(j["vapourEnthalpy"].get<double>(), 2776.4, 0.5);
    EXPECT_NEAR(j["vapourSpecificVolume"].get<double>(), 1.9364, 0.001);

    // Outside the range of the steam tables: zeros, never NaN or infinity.
    j = json::parse(Run("steam --pressure 1 --temperature 1000").out);
    ExpectFiniteNumbers(j);
    // A pressure far beyond them: shown as entered, the properties as out-of-range states.
    j = json::parse(Run("steam --pressure 1e306 --temperature 100").out);
    for (const auto& [key, v] : j.items()) EXPECT_TRUE(v.is_string() || std::isfinite(v.get<double>())) << key;
    EXPECT_EQ(j["pressure"], 1e306);
    EXPECT_EQ(j["temperature"], 100);

    EXPECT_EQ(Run("steam --temperature 20").status, 2);
    EXPECT_EQ(Run("steam --pressure 1 --pressure-unit hPa").status, 2);
    EXPECT_EQ(Run("steam --pressure abc").status, 2);
    EXPECT_EQ(Run("steam --pressure 1 extra").status, 2);
}

}  // namespace
}  // namespace tarvik
