// tarvik-cli size: one valve position as JSON in, the results of the calculation run as JSON out.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/calculation_run.hpp"
#include "calc/travel.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;
using Out = nlohmann::ordered_json;  // output keeps the documented key order

// A fault of the input document; the message names the place.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};


std::string Join(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names) s += (s.empty() ? "\"" : ", \"") + n + "\"";
    return s;
}

void CheckKeys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
    for (const auto& [key, value] : object.items())
        if (!allowed.count(key)) throw InputError("unknown key \"" + key + "\" in " + where);
}

const json& Object(const json& j, const std::string& where) {
    if (!j.is_object()) throw InputError(where + " must be an object");
    return j;
}

double Number(const json& object, const std::string& key, const std::string& where, double fallback = 0) {
    auto it = object.find(key);
    if (it == object.end()) return fallback;
    if (!it->is_number()) throw InputError(where + "." + key + " must be a number");
    const double v = it->get<double>();
    if (!std::isfinite(v)) throw InputError(where + "." + key + " is not a finite number");
    return v;
}

bool Bool(const json& object, const std::string& key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) return false;
    if (!it->is_boolean()) throw InputError(where + "." + key + " must be true or false");
    return it->get<bool>();
}

int Integer(const json& object, const std::string& key, const std::string& where, int fallback, int lo, int hi) {
    auto it = object.find(key);
    if (it == object.end()) return fallback;
    if (!it->is_number_integer() || it->get<long long>() < lo || it->get<long long>() > hi)
        throw InputError(where + "." + key + " must be an integer from " + std::to_string(lo) + " to " +
                         std::to_string(hi));
    return static_cast<int>(it->get<long long>());
}

CoefficientTable Table(const json& object, const std::string& key, const std::string& where) {
    CoefficientTable t{};
    auto it = object.find(key);
    if (it == object.end()) return t;
    if (!it->is_array() || it->size() != 11) throw InputError(where + "." + key + " must be an array of 11 numbers");
    for (std::size_t k = 0; k < 11; ++k) {
        const json& v = (*it)[k];
        if (!v.is_number() || !std::isfinite(v.get<double>()))
            throw InputError(where + "." + key + "[" + std::to_string(k) + "] must be a finite number");
        t[k] = v.get<double>();
    }
    return t;
}

MediumState ParseMedium(const json& doc) {
    auto it = doc.find("medium");
    if (it == doc.end()) throw InputError("\"medium\" is missing");
    if (!it->is_string()) throw InputError("\"medium\" must be a string");
    const std::string m = it->get<std::string>();
    if (m == "water") return MediumState::Water;
    if (m == "liquid") return MediumState::Liquid;
    if (m == "steam") return MediumState::Steam;
    if (m == "gas") return MediumState::Gas;
    throw InputError("unknown medium \"" + m + "\" (water, liquid, steam or gas)");
}

std::string Unit(const json& units, const std::string& key, const std::string& fallback,
                 const std::vector<std::string>& allowed) {
    auto it = units.find(key);
    if (it == units.end()) return fallback;
    if (!it->is_string()) throw InputError("units." + key + " must be a string");
    const std::string name = it->get<std::string>();
    for (const auto& a : allowed)
        if (a == name) return name;
    throw InputError("units." + key + ": unknown unit \"" + name + "\" (one of " + Join(allowed) + ")");
}

void ParseUnits(const json& doc, ProcessData& data) {
    const bool liquid = IsLiquid(data.medium);
    const int state = static_cast<int>(data.medium);
    // The names the form's unit lists offer for this medium.
    const auto pressure = FillUnitList(kListPressure, state).names;
    const auto flow = FillUnitList(kListFlow, state).names;
    const auto fifth = liquid ? pressure : FillUnitList(kListDensity, state).names;

    json units = json::object();
    if (auto it = doc.find("units"); it != doc.end()) units = Object(*it, "units");
    CheckKeys(units, "units", {"flow", "p1", "p2", "T1", "viscosity", "unit5", "unit6"});
    auto& u = data.units;
    u[kUnitFlow] = Unit(units, "flow", liquid ? "m3/h" : "kg/h", flow);
    u[kUnitP1] = Unit(units, "p1", "bar", pressure);
    u[kUnitP2] = Unit(units, "p2", "bar", pressure);
    u[kUnitT1] = Unit(units, "T1", "°C", FillUnitList(kListTemperature, state).names);
    u[kUnitViscosity] = Unit(units, "viscosity", "cSt", FillUnitList(kListViscosity, state).names);
    u[kUnitFifth] = Unit(units, "unit5", liquid ? "bar" : "kg/m3", fifth);
    u[kUnitSixth] = Unit(units, "unit6", "bar", pressure);
}

void ParsePoints(const json& doc, ProcessData& data) {
    const bool liquid = IsLiquid(data.medium);
    // Row order of the form; rows 5 to 8 and 11 are named by the medium.
    const std::vector<std::string> names =
        liquid ? std::vector<std::string>{"Q", "p1", "p2", "T1", "ny", "pv", "pc", "ro1", "cF", "Fl", "Fd", "xFz"}
               : std::vector<std::string>{"Q", "p1", "p2", "T1", "ny", "rho1", "M", "Z", "gama", "Fl", "Fd", "xT"};
    auto it = doc.find("points");
    if (it == doc.end()) throw InputError("\"points\" is missing");
    if (!it->is_array() || it->size() > 3) throw InputError("\"points\" must be an array of at most 3 entries");
    for (std::size_t i = 0; i < it->size(); ++i) {
        const json& p = (*it)[i];
        if (p.is_null()) continue;
        const std::string where = "points[" + std::to_string(i) + "]";
        Object(p, where);
        CheckKeys(p, where + " (" + (liquid ? "water, liquid" : "steam, gas") + ")",
                  std::set<std::string>(names.begin(), names.end()));
        OperatingPoint& pt = data.points[i];
        pt.enabled = true;
        for (int r = 0; r < kPointRows; ++r) pt[r] = Number(p, names[static_cast<std::size_t>(r)], where);
    }
}

void ParseValve(const json& v, ProcessData& data) {
    Object(v, "valve");
    CheckKeys(v, "valve", {"characteristic", "Kvs", "minKv", "nyF", "dLF", "tableFlags", "FL", "xT", "Fd", "xFz",
                           "Kv", "dLnLiquid", "dLnGas"});
    CatalogueValve c;
    c.characteristic = Integer(v, "characteristic", "valve", 0, 0, 3);
    c.Kvs = Number(v, "Kvs", "valve");
    c.minKv = Number(v, "minKv", "valve");
    c.nyF = Number(v, "nyF", "valve", 1e-8);
    c.dLF = Number(v, "dLF", "valve");
    if (auto it = v.find("tableFlags"); it != v.end()) {
        if (!it->is_array() || it->size() != 6)
            throw InputError("valve.tableFlags must be an array of 6 flags (FL, xT, Fd, xFz, dLnLiquid, dLnGas)");
        for (std::size_t k = 0; k < 6; ++k) {
            const json& f = (*it)[k];
            if (f.is_boolean())
                c.tableFlags[k] = f.get<bool>() ? 1 : 0;
            else if (f.is_number_integer())
                c.tableFlags[k] = f.get<long long>() != 0 ? 1 : 0;
            else
                throw InputError("valve.tableFlags[" + std::to_string(k) + "] must be 0, 1, true or false");
        }
    }
    c.FL = Table(v, "FL", "valve");
    c.xT = Table(v, "xT", "valve");
    c.Fd = Table(v, "Fd", "valve");
    c.xFz = Table(v, "xFz", "valve");
    c.Kv = Table(v, "Kv", "valve");
    c.dLnLiquid = Table(v, "dLnLiquid", "valve");
    c.dLnGas = Table(v, "dLnGas", "valve");
    data.valve = c;
}

struct Position {
    ProcessData data;
    bool admin = false;
};

Position ParsePosition(const json& doc) {
    Object(doc, "the document");
    CheckKeys(doc, "the document",
              {"medium", "units", "gauge", "manualCoefficients", "admin", "characteristic", "Kvs", "d", "D", "pipes",
               "rw", "FLn", "dLi", "atmosphericPressure", "points", "valve"});
    Position pos;
    ProcessData& data = pos.data;
    data.medium = ParseMedium(doc);
    ParseUnits(doc, data);
    data.gaugePressures = Bool(doc, "gauge", "the document");
    data.manualCoefficients = Bool(doc, "manualCoefficients", "the document");
    // Without "admin" the administrator switch of tarvik.ini applies.
    pos.admin = doc.contains("admin") ? Bool(doc, "admin", "the document") : CurrentSession().settings().admin;
    // -1: no characteristic chosen.
    const int code = Integer(doc, "characteristic", "the document", 0, -1, 3);
    data.Kvs = Number(doc, "Kvs", "the document");
    data.d = Number(doc, "d", "the document");
    data.D = Number(doc, "D", "the document");
    if (auto it = doc.find("pipes"); it != doc.end()) {
        Object(*it, "pipes");
        CheckKeys(*it, "pipes", {"inletOD", "inletWall", "outletOD", "outletWall"});
        data.pipes.inletOD = Number(*it, "inletOD", "pipes");
        data.pipes.inletWall = Number(*it, "inletWall", "pipes");
        data.pipes.outletOD = Number(*it, "outletOD", "pipes");
        data.pipes.outletWall = Number(*it, "outletWall", "pipes");
    }
    data.rw = Number(doc, "rw", "the document", 0.25);
    data.FLn = Number(doc, "FLn", "the document");
    data.dLi = Number(doc, "dLi", "the document");
    data.atmosphericPressure = Number(doc, "atmosphericPressure", "the document", 0.101325);
    ParsePoints(doc, data);
    if (auto it = doc.find("valve"); it != doc.end() && !it->is_null()) ParseValve(*it, data);
    // Choosing a catalogue valve sets the characteristic to the valve's.
    const int shown = data.valve ? data.valve->characteristic : code;
    data.characteristicName = shown < 0 ? "" : CharacteristicName(CharacteristicFromCode(shown));
    return pos;
}

// JSON carries no NaN or infinity; the run guards its results, this guards the output too.
double Fin(double v) { return std::isfinite(v) ? v : 0; }

Out PointJson(const ProcessData& data, int i) {
    const SizingResult& r = data.results[static_cast<std::size_t>(i)];
    OperatingPoint pt = data.points[static_cast<std::size_t>(i)];
    const bool liquid = IsLiquid(data.medium);
    Out p = {{"Kv", Fin(r.Kv)},
              {"opening", Fin(r.opening)},
              {"regime", r.regime},
              {"velocity", Fin(r.velocity)},
              {"dLi", Fin(r.dLi)},
              {"noise", Fin(r.noise)},
              {"message", r.message}};
    if (!liquid) p["Mo"] = Fin(r.velocity);
    p["coefficients"] = {{"Fl", Fin(pt.Fl())}, {"Fd", Fin(pt.Fd())}, {liquid ? "xFz" : "xT", Fin(pt[kRowNinth])}};
    p["p2"] = Fin(pt.p2());
    p["exact"] = {{"Kv", Fin(r.exact.Kv)},
                  {"opening", Fin(r.exact.opening)},
                  {"velocity", Fin(r.exact.velocity)},
                  {"noise", Fin(r.exact.noise)}};
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
            doc = json::parse(text);
        } catch (const json::parse_error& e) {
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
    options.logPath = hasLog ? std::filesystem::path(logPath) : CurrentSession().programDir() / "vypocet.txt";
    // Without --p2-drop a negative gauge p2 near atmospheric is taken as entered (vacuum).
    options.askNegativeP2 = [p2Drop](int) { return p2Drop; };
    ProcessData& data = pos.data;
    RunOutcome outcome = RunCalculation(data, options);

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
    out["controlFlags"] = data.controlFlags;
    out["messages"] = messages;
    bool logWritten = outcome.computed;
    for (const auto& m : messages)
        if (m["number"] == 63018) logWritten = false;
    if (logWritten) out["log"] = options.logPath->string();
    std::printf("%s\n", out.dump(2, ' ', false, Out::error_handler_t::replace).c_str());
    return kExitOk;
}

}  // namespace tarvik::cli
