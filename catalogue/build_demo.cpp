// Compiles the readable demo-catalogue sources of this folder into the binary files of the
// program folder. The sources hold each figure once (a pipe's outside diameter once per size, a
// trim's coefficients once per series); this program expands them into records. Same sources,
// same bytes: nothing here depends on the clock, the locale or the file system order.
//
//   build_demo units SOURCE.json OUTDIR        units.tkd and jednotky2.tkd
//   build_demo pipes SOURCE.json OUT           potrubi.tkd
//   build_demo media SOURCE.json OUT           media.tkd
//   build_demo series SOURCE.json OUT          one dbv file (its drawing is read beside SOURCE)
//   build_demo bitmap NAME OUT                 one of the logo bitmaps
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/demo_series.hpp"
#include "data/archive.hpp"
#include "data/media.hpp"
#include "data/pipes.hpp"
#include "data/valve_series.hpp"
#include "units/unit_files.hpp"

namespace fs = std::filesystem;
using nlohmann::json;

namespace tarvik::demo {
namespace {

json ReadJson(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return json::parse(in, nullptr, true, /*ignore_comments=*/true);
}

double Finite(const json& v, const std::string& where) {
    if (!v.is_number()) throw std::runtime_error(where + ": expected a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) throw std::runtime_error(where + ": not a finite number");
    return d;
}

void BuildUnits(const fs::path& source, const fs::path& outDir) {
    const json j = ReadJson(source);
    DefaultUnits d;
    d.flow = j.at("defaults").at("flow").get<std::string>();
    d.temperature = j.at("defaults").at("temperature").get<std::string>();
    d.pressure = j.at("defaults").at("pressure").get<std::string>();
    ArchiveWriter defaults;
    WriteDefaultUnitsFile(defaults, d);
    defaults.SaveAtomically(outDir / kDefaultUnitsFileName);

    static const std::vector<std::string> quantities = {"volume flow", "temperature", "pressure", "mass flow"};
    std::vector<UnitDef> units;
    for (const json& u : j.at("units")) {
        UnitDef def;
        def.name = u.at("name").get<std::string>();
        const std::string q = u.at("quantity").get<std::string>();
        def.quantity = -1;
        for (std::size_t i = 0; i < quantities.size(); ++i)
            if (q == quantities[i]) def.quantity = static_cast<int>(i);
        if (def.quantity < 0) throw std::runtime_error("unit " + def.name + ": unknown quantity " + q);
        def.factor = Finite(u.at("factor"), def.name);
        def.offset = Finite(u.value("offset", json(0.0)), def.name);
        def.number = static_cast<int>(units.size()) + 1;
        units.push_back(def);
    }
    ArchiveWriter user;
    WriteUnitFile(user, units);
    user.SaveAtomically(outDir / kUnitFileName);
}

// "1.1/2" style sizes and "Sch 40" / "s 2.9" walls, as the pipe dialog keys them.
std::string WallText(const std::string& prefix, double t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s %g", prefix.c_str(), t);
    return buf;
}

void BuildPipes(const fs::path& source, const fs::path& out) {
    const json j = ReadJson(source);
    std::vector<Pipe> pipes;
    for (const json& series : j.at("metric")) {
        for (const json& kind : series.at("kinds")) {
            const std::string kindName = kind.at("kind").get<std::string>();
            const std::string column = kind.at("walls").get<std::string>();
            for (const json& row : series.at("sizes")) {
                const int dn = row.at("DN").get<int>();
                const double od = Finite(row.at("OD"), kindName);
                for (const json& t : row.at(column)) {
                    Pipe p;
                    p.kind = kindName;
                    p.size = "DN " + std::to_string(dn);
                    p.wall = WallText("s", Finite(t, p.size));
                    p.outsideDiameter = od;
                    p.wallThickness = Finite(t, p.size);
                    pipes.push_back(p);
                }
            }
        }
    }
    for (const json& series : j.at("inch")) {
        const std::string kindName = series.at("kind").get<std::string>();
        for (const json& row : series.at("sizes")) {
            const std::string size = row.at("NPS").get<std::string>();
            const double od = Finite(row.at("OD"), size);
            for (const auto& [schedule, t] : row.at("schedules").items()) {
                Pipe p;
                p.kind = kindName;
                p.size = "NPS " + size;
                p.wall = "Sch " + schedule;
                p.outsideDiameter = od;
                p.wallThickness = Finite(t, size);
                pipes.push_back(p);
            }
        }
    }
    for (std::size_t i = 0; i < pipes.size(); ++i) pipes[i].number = static_cast<int>(i) + 1;
    ArchiveWriter w;
    WritePipes(w, pipes);
    w.SaveAtomically(out);
}

std::string LangSections(const json& names) {
    if (!names.is_array() || names.size() != 4) throw std::runtime_error("names: expected four texts");
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) text += "[" + std::to_string(i) + ":" + names[i].get<std::string>() + "]";
    return text;
}

void BuildMedia(const fs::path& source, const fs::path& out) {
    const json j = ReadJson(source);
    MediaFile file;
    file.kind = MediaFileKind::System;
    file.version = kMediaMultilingualNamesVersion;
    auto number = [](const json& m, const char* key, const std::string& where) {
        return m.contains(key) ? Finite(m.at(key), where + "." + key) : 0.0;
    };
    for (const json& m : j.at("media")) {
        MediaFileRecord r;
        r.names = LangSections(m.at("names"));
        const std::string where = m.at("names")[2].get<std::string>();
        const std::string phase = m.at("phase").get<std::string>();
        if (phase != "liquid" && phase != "gas") throw std::runtime_error(where + ": phase is liquid or gas");
        Medium& md = r.medium;
        md.name = m.at("names")[2].get<std::string>();
        md.name2 = md.name;
        md.phase = phase == "liquid" ? kPhaseLiquid : kPhaseGas;
        md.note = m.at("note").get<std::string>();
        md.auxValue1 = number(m, "t", where);
        md.density = number(m, "rho", where);
        md.normalDensity = number(m, "rhoN", where);
        md.vapourPressure = number(m, "pv", where);
        md.viscosity = number(m, "nu", where);
        md.criticalPressure = number(m, "pc", where);
        md.molarMass = number(m, "M", where);
        md.compressibility = number(m, "Z", where);
        md.kappa = number(m, "kappa", where);
        md.soundSpeed = number(m, "c", where);
        md.source = "S";
        md.number = static_cast<int>(file.records.size()) + 1;
        file.records.push_back(r);
    }
    ArchiveWriter w;
    WriteMediaFile(w, file);
    w.SaveAtomically(out);
}

void BuildSeries(const fs::path& source, const fs::path& out) {
    json j = ReadJson(source);
    // Choices shared by several series live in one file beside them.
    if (j.contains("commonChoices")) {
        const json common = ReadJson(source.parent_path() / j.at("commonChoices").get<std::string>());
        json merged = common.at("choices");
        for (const json& c : j.value("choices", json::array())) merged.push_back(c);
        j["choices"] = merged;
        j.erase("commonChoices");
    }
    std::string drawing;
    if (j.contains("drawing")) {
        std::ifstream in(source.parent_path() / j.at("drawing").get<std::string>(), std::ios::binary);
        if (!in) throw std::runtime_error("cannot open the drawing " + j.at("drawing").get<std::string>());
        std::ostringstream s;
        s << in.rdbuf();
        drawing = s.str();
    }
    SaveValveSeries(out, ExpandSeries(j, drawing));
}

}  // namespace
}  // namespace tarvik::demo

int main(int argc, char** argv) {
    using namespace tarvik::demo;
    if (argc != 4) {
        std::fprintf(stderr, "usage: build_demo units|pipes|media|series|bitmap SOURCE OUT\n");
        return 2;
    }
    const std::string what = argv[1];
    try {
        if (what == "units") BuildUnits(argv[2], argv[3]);
        else if (what == "pipes") BuildPipes(argv[2], argv[3]);
        else if (what == "media") BuildMedia(argv[2], argv[3]);
        else if (what == "series") BuildSeries(argv[2], argv[3]);
        else if (what == "bitmap") WriteLogoBitmap(argv[2], argv[3]);
        else {
            std::fprintf(stderr, "build_demo: unknown kind %s\n", what.c_str());
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "build_demo %s %s: %s\n", argv[1], argv[2], e.what());
        return 1;
    }
    return 0;
}
