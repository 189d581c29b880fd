// tarvik-cli calc PROJECT [--position NAME] [--save] [--log PATH]: the form's Calculate command
// on every position of a project (or one), as the GUI runs it.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "calc/calc_log.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "cli/result_json.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "project/position_form.hpp"

namespace tarvik::cli {
namespace {

using Out = OrderedJson;

// The keys of `tarvik-cli size` for the results a position stores.
Out PointJson(const SizingResult& r, int mediumState) {
    Out p = PointResultJson(r, mediumState == 0 || mediumState == 1);
    p["exact"] = ExactResultJson(r);
    return p;
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

    std::map<std::filesystem::path, ValveSeries> seriesCache;
    const FormContext context = CurrentSession().MakeFormContext(&seriesCache);

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
    Out out = Out::array();
    for (int index : indices) {
        shown.clear();
        const CalculateResult r = CalculatePosition(doc, index, context, options);
        const ValvePosition& p = doc.positions[static_cast<std::size_t>(index)];
        Out j;
        j["name"] = p.name;
        j["computed"] = r.computed;
        if (!r.check.ok()) {
            allCalculated = false;
            j["refused"] = {{"message", r.check.message},
                            {"text", GetText(r.check.message)},
                            {"point", r.check.point},
                            {"field", InputFieldName(r.check.field)}};
        }
        // As `size`: one entry per operating point, null for a point that is off.
        Out points = Out::array();
        for (std::size_t i = 0; i < kPointCount; ++i)
            points.push_back(p.pointEnabled[i] && r.check.ok() ? PointJson(r.results[i], p.mediumState)
                                                               : Out(nullptr));
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
