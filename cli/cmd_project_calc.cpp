// tarvik-cli calc PROJECT [--position NAME] [--save] [--log PATH]: the form's Calculate command
// on every position of a project (or one), as the GUI runs it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "calc/calc_log.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "data/archive.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"
#include "project/position_form.hpp"

namespace tarvik::cli {
namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// The series table as the application builds it at start, without extracting drawings.
SeriesTable ReadSeriesTable() {
    SeriesTable table;
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(ProgramDir() / "dbv", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".dbv") files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        try {
            ArchiveReader in = ArchiveReader::FromFile(f);
            table[ReadValveSeries(in, f.stem().string(), CurrentSeriesTextOptions()).DisplayName()] = f;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tarvik-cli calc: skipped %s\n", e.what());
        }
    }
    return table;
}

nlohmann::json PointJson(const SizingResult& r, int mediumState) {
    const bool liquid = mediumState == 0 || mediumState == 1;
    return {{"Kv", Finite(r.Kv)},
            {"opening", Finite(r.opening)},
            {"regime", r.regime},
            {liquid ? "velocity" : "outletMach", Finite(r.velocity)},
            {"dLi", Finite(r.dLi)},
            {"noise", Finite(r.noise)},
            {"warnings", r.message}};
}

}  // namespace

int CalcCommand(std::vector<std::string>& args) {
    const char* usage = "calc PROJECT [--position NAME] [--save] [--log PATH]";
    std::string name, logPath, error;
    const bool one = TakeOption(args, "--position", name, error);
    if (!error.empty()) return ProjectUsage("calc", error, usage);
    const bool hasLog = TakeOption(args, "--log", logPath, error);
    if (!error.empty()) return ProjectUsage("calc", error, usage);
    const bool save = TakeFlag(args, "--save");
    if (args.size() != 1)
        return ProjectUsage("calc", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);
    const std::filesystem::path projectPath = args[0];

    ProjectDocument doc;
    if (!OpenProject("calc", projectPath, doc)) return kExitRefused;
    std::vector<int> indices;
    for (int i = 0; i < static_cast<int>(doc.positions.size()); ++i)
        if (!one || doc.positions[static_cast<std::size_t>(i)].name == name) indices.push_back(i);
    if (one && indices.empty()) {
        std::fprintf(stderr, "tarvik-cli calc: the project has no position '%s'\n", name.c_str());
        return kExitRefused;
    }

    const SeriesTable table = ReadSeriesTable();
    std::map<std::filesystem::path, ValveSeries> seriesCache;
    FormContext context;
    context.seriesTable = &table;
    context.seriesCache = &seriesCache;
    context.companyIndex = CurrentSettings().companyIndex;
    context.admin = CurrentSettings().admin;

    // Messages the form would show in a box are collected per position.
    std::vector<std::string> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m.text.empty() ? std::to_string(m.number) : m.text); });

    // One log for the whole command: the blocks of every position in order.
    CalcLog log;
    CalculateOptions options;
    if (hasLog) {
        if (!log.OpenFile(logPath)) {
            std::fprintf(stderr, "tarvik-cli calc: cannot create the log %s\n", logPath.c_str());
            return kExitRefused;
        }
        options.log = &log;
    }

    bool allCalculated = true;
    nlohmann::json out = nlohmann::json::array();
    for (int index : indices) {
        shown.clear();
        const CalculateResult r = CalculatePosition(doc, index, context, options);
        const ValvePosition& p = doc.positions[static_cast<std::size_t>(index)];
        nlohmann::json j;
        j["name"] = p.name;
        j["computed"] = r.computed;
        if (!r.check.ok()) {
            allCalculated = false;
            j["refused"] = {{"message", r.check.message},
                            {"text", GetText(r.check.message)},
                            {"point", r.check.point + 1},
                            {"field", InputFieldName(r.check.field)}};
        }
        nlohmann::json points = nlohmann::json::array();
        for (std::size_t i = 0; i < kPointCount; ++i)
            if (p.pointEnabled[i] && r.check.ok()) {
                nlohmann::json pj = PointJson(r.results[i], p.mediumState);
                pj["point"] = static_cast<int>(i) + 1;
                points.push_back(std::move(pj));
            }
        j["points"] = std::move(points);
        j["summary"] = r.summary;
        j["messages"] = shown;
        out.push_back(std::move(j));
    }

    if (!log.Close()) {
        std::fprintf(stderr, "tarvik-cli calc: the log %s could not be written in full\n", logPath.c_str());
        return kExitRefused;
    }
    if (save && !SaveProjectFile("calc", doc, projectPath)) return kExitRefused;
    try {
        std::cout << out.dump(2) << "\n";
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli calc: %s\n", e.what());
        return kExitRefused;
    }
    return allCalculated ? kExitOk : kExitRefused;
}

}  // namespace tarvik::cli
