// tarvik-cli size: one valve position as JSON in, the results of the calculation run as JSON out.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/calculation_run.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/result_json.hpp"
#include "cli/strict_json.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"
#include "project/language_texts.hpp"
#include "project/position_form.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;
using Out = nlohmann::ordered_json;  // output keeps the documented key order

// A fault of the command line or the input file, besides what the strict reader refuses.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Join(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names) s += (s.empty() ? "\"" : ", \"") + n + "\"";
    return s;
}

// Refuses keys outside `allowed`; `what` says which set applies (for example the medium's).
void CheckKeys(const json& object, const std::string& where, const std::vector<std::string>& allowed,
               const std::string& what = "") {
    for (const auto& [key, value] : object.items())
        if (std::find(allowed.begin(), allowed.end(), key) == allowed.end())
            JsonFail(where.empty() ? key : where + "." + key, "unknown key" + what);
}

MediumState ParseMedium(const JsonObject& doc) {
    if (!doc.Has("medium")) JsonFail("medium", "missing");
    const std::string m = doc.Text("medium");
    if (m == "water") return MediumState::Water;
    if (m == "liquid") return MediumState::Liquid;
    if (m == "steam") return MediumState::Steam;
    if (m == "gas") return MediumState::Gas;
    JsonFail("medium", "unknown medium \"" + m + "\" (water, liquid, steam or gas)");
}

std::string Unit(const JsonObject& units, const char* key, const std::string& fallback,
                 const std::vector<std::string>& allowed) {
    const std::string name = units.Text(key, fallback);
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
        JsonFail(units.Where(key), "unknown unit \"" + name + "\" (one of " + Join(allowed) + ")");
    return name;
}

void ParseUnits(const JsonObject& doc, ProcessData& data) {
    const bool liquid = IsLiquid(data.medium);
    const int state = static_cast<int>(data.medium);
    // The names the form's unit lists offer for this medium.
    const auto pressure = FillUnitList(kListPressure, state).names;
    const auto flow = FillUnitList(kListFlow, state).names;
    const auto fifth = liquid ? pressure : FillUnitList(kListDensity, state).names;

    const JsonObject units = doc.Object("units");
    units.AllowOnly({"flow", "p1", "p2", "T1", "viscosity", "unit5", "unit6"});
    auto& u = data.units;
    u[kUnitFlow] = Unit(units, "flow", liquid ? "m3/h" : "kg/h", flow);
    u[kUnitP1] = Unit(units, "p1", "bar", pressure);
    u[kUnitP2] = Unit(units, "p2", "bar", pressure);
    u[kUnitT1] = Unit(units, "T1", "°C", FillUnitList(kListTemperature, state).names);
    u[kUnitViscosity] = Unit(units, "viscosity", "cSt", FillUnitList(kListViscosity, state).names);
    u[kUnitFifth] = Unit(units, "unit5", liquid ? "bar" : "kg/m3", fifth);
    u[kUnitSixth] = Unit(units, "unit6", "bar", pressure);
}

void ParsePoints(const JsonObject& doc, ProcessData& data) {
    const bool liquid = IsLiquid(data.medium);
    // Row order of the form; rows 5 to 8 and 11 are named by the medium.
    const std::vector<std::string> names =
        liquid ? std::vector<std::string>{"Q", "p1", "p2", "T1", "ny", "pv", "pc", "ro1", "cF", "Fl", "Fd", "xFz"}
               : std::vector<std::string>{"Q", "p1", "p2", "T1", "ny", "rho1", "M", "Z", "gama", "Fl", "Fd", "xT"};
    if (!doc.Has("points")) JsonFail("points", "missing");
    const std::vector<json> points = doc.Array("points");
    if (points.size() > 3) JsonFail("points", "expected at most 3 entries");
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].is_null()) continue;
        const JsonObject p(points[i], Indexed("points", i));
        CheckKeys(points[i], p.where(), names, liquid ? " for water and liquids" : " for steam and gases");
        OperatingPoint& pt = data.points[i];
        pt.enabled = true;
        for (int r = 0; r < kPointRows; ++r) pt[r] = p.Number(names[static_cast<std::size_t>(r)].c_str(), 0);
    }
}

void ParseValve(const JsonObject& v, ProcessData& data) {
    v.AllowOnly({"characteristic", "Kvs", "minKv", "nyF", "dLF", "tableFlags", "FL", "xT", "Fd", "xFz", "Kv",
                 "dLnLiquid", "dLnGas"});
    CatalogueValve c;
    c.characteristic = v.IntIn("characteristic", 0, 0, 3);
    c.Kvs = v.Number("Kvs", 0);
    c.minKv = v.Number("minKv", 0);
    c.nyF = v.Number("nyF", 1e-8);
    c.dLF = v.Number("dLF", 0);
    if (v.Has("tableFlags")) {
        const std::vector<json> flags = v.Array("tableFlags");
        if (flags.size() != 6) JsonFail(v.Where("tableFlags"), "expected 6 flags (FL, xT, Fd, xFz, dLnLiquid, dLnGas)");
        for (std::size_t k = 0; k < 6; ++k) {
            const json& f = flags[k];
            if (f.is_boolean())
                c.tableFlags[k] = f.get<bool>() ? 1 : 0;
            else if (f.is_number_integer())
                c.tableFlags[k] = f.get<long long>() != 0 ? 1 : 0;
            else
                JsonFail(Indexed(v.Where("tableFlags"), k), "expected 0, 1, true or false");
        }
    }
    c.FL = v.Numbers<11>("FL");
    c.xT = v.Numbers<11>("xT");
    c.Fd = v.Numbers<11>("Fd");
    c.xFz = v.Numbers<11>("xFz");
    c.Kv = v.Numbers<11>("Kv");
    c.dLnLiquid = v.Numbers<11>("dLnLiquid");
    c.dLnGas = v.Numbers<11>("dLnGas");
    data.valve = c;
}

struct Position {
    ProcessData data;
    bool admin = false;
};

Position ParsePosition(const json& j) {
    const JsonObject doc(j, "");
    doc.AllowOnly({"medium", "units", "gauge", "manualCoefficients", "admin", "characteristic", "Kvs", "d", "D",
                   "pipes", "rw", "FLn", "dLi", "atmosphericPressure", "points", "valve"});
    Position pos;
    ProcessData& data = pos.data;
    data.medium = ParseMedium(doc);
    ParseUnits(doc, data);
    data.gaugePressures = doc.Bool("gauge", false);
    data.manualCoefficients = doc.Bool("manualCoefficients", false);
    // Without "admin" the administrator switch of tarvik.ini applies.
    pos.admin = doc.Bool("admin", CurrentSession().settings().admin);
    // -1: no characteristic chosen.
    const int code = doc.IntIn("characteristic", 0, -1, 3);
    data.Kvs = doc.Number("Kvs", 0);
    data.d = doc.Number("d", 0);
    data.D = doc.Number("D", 0);
    if (doc.Has("pipes")) {
        const JsonObject pipes = doc.Object("pipes");
        pipes.AllowOnly({"inletOD", "inletWall", "outletOD", "outletWall"});
        data.pipes.inletOD = pipes.Number("inletOD", 0);
        data.pipes.inletWall = pipes.Number("inletWall", 0);
        data.pipes.outletOD = pipes.Number("outletOD", 0);
        data.pipes.outletWall = pipes.Number("outletWall", 0);
    }
    data.rw = doc.Number("rw", 0.25);
    data.FLn = doc.Number("FLn", 0);
    data.dLi = doc.Number("dLi", 0);
    data.atmosphericPressure = doc.Number("atmosphericPressure", 0.101325);
    ParsePoints(doc, data);
    if (auto it = j.find("valve"); it != j.end() && !it->is_null()) ParseValve(doc.Object("valve"), data);
    // Choosing a catalogue valve sets the characteristic to the valve's.
    data.characteristic = CharacteristicFromCode(data.valve ? data.valve->characteristic : code);
    return pos;
}

double Fin(double v) { return FiniteOrZero(v); }

Out PointJson(const ProcessData& data, int i) {
    const SizingResult& r = data.results[static_cast<std::size_t>(i)];
    OperatingPoint pt = data.points[static_cast<std::size_t>(i)];
    const bool liquid = IsLiquid(data.medium);
    Out p = PointResultJson(r, liquid);
    p["coefficients"] = {{"Fl", Fin(pt.Fl())}, {"Fd", Fin(pt.Fd())}, {liquid ? "xFz" : "xT", Fin(pt[kRowNinth])}};
    p["p2"] = Fin(pt.p2());
    p["exact"] = ExactResultJson(r);
    return p;
}

std::string ReadInput(const std::string& file) {
    if (file == "-") {
        std::ostringstream s;
        s << std::cin.rdbuf();
        return s.str();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) throw InputError("cannot open " + file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int SizeCommand(std::vector<std::string>& args) {
    std::string error, logPath;
    const bool hasLog = TakeOption(args, "--log", logPath, error);
    if (!error.empty()) {
        std::fprintf(stderr, "tarvik-cli size: %s\n", error.c_str());
        return kExitUsage;
    }
    const bool p2Drop = TakeFlag(args, "--p2-drop");
    if (args.size() > 1 || (args.size() == 1 && args[0].size() > 1 && args[0][0] == '-')) {
        std::fprintf(stderr, "tarvik-cli size: unexpected argument '%s' (usage: size [FILE|-] [--log PATH] [--p2-drop])\n",
                     args.back().c_str());
        return kExitUsage;
    }
    const std::string file = args.empty() ? "-" : args[0];

    Position pos;
    try {
        const std::string text = ReadInput(file);
        json doc;
        try {
            doc = ParseJsonInput(text);
        } catch (const JsonInputError& e) {
            throw InputError(std::string("malformed JSON: ") + e.what());
        }
        pos = ParsePosition(doc);
    } catch (const std::exception& e) {
        std::string what = e.what();
        for (char& c : what)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "tarvik-cli size: %s\n", what.c_str());
        return kExitUsage;
    }

    Out messages = Out::array();
    ScopedMessageSink sink([&](const Message& m) { messages.push_back({{"number", m.number}, {"text", m.text}}); });
    RunOptions options;
    options.admin = pos.admin;
    options.logPath = hasLog ? std::filesystem::path(logPath) : WorkingFilePath(CurrentSession().programDir(), "vypocet.txt");
    // Without --p2-drop a negative gauge p2 near atmospheric is taken as entered (vacuum).
    options.askNegativeP2 = [p2Drop](int) { return p2Drop; };
    ProcessData& data = pos.data;
    RunOutcome outcome = RunInCurrentLanguage(data, options);

    Out out;
    if (!outcome.validation.ok()) {
        const Validation& v = outcome.validation;
        out = {{"valid", false},
               {"message", v.message},
               {"text", GetText(v.message)},
               {"point", v.point},
               {"field", InputFieldName(v.field)}};
        std::printf("%s\n", out.dump(2, ' ', false, Out::error_handler_t::replace).c_str());
        return kExitRefused;
    }
    out["valid"] = true;
    out["computed"] = outcome.computed;
    Out points = Out::array();
    for (int i = 0; i < 3; ++i) {
        const bool shown = outcome.computed && data.points[static_cast<std::size_t>(i)].enabled;
        points.push_back(shown ? PointJson(data, i) : Out(nullptr));
    }
    out["points"] = points;
    out["summary"] = outcome.summary;
    out["controlFlags"] = ControlFlagsOf(outcome.marks);
    out["messages"] = messages;
    if (outcome.logWritten) out["log"] = options.logPath->string();
    std::printf("%s\n", out.dump(2, ' ', false, Out::error_handler_t::replace).c_str());
    return kExitOk;
}

}  // namespace tarvik::cli
