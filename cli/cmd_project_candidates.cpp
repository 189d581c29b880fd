// tarvik-cli candidates PROJECT --position NAME [--all]: the catalogue valves the valve dialog
// offers for a position, from the series of its designation in the program folder.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "data/number_text.hpp"
#include "data/valve_series.hpp"
#include "project/characteristic_text.hpp"
#include "project/valve_selection.hpp"

namespace tarvik::cli {
namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

int CandidatesCommand(std::vector<std::string>& args) {
    const char* usage = "candidates PROJECT --position NAME [--all]";
    std::string name, error;
    const bool hasPosition = TakeOption(args, "--position", name, error);
    if (!error.empty()) return ProjectUsage("candidates", error, usage);
    const bool all = TakeFlag(args, "--all");
    if (!hasPosition) return ProjectUsage("candidates", "--position NAME is required", usage);
    if (args.size() != 1) return ProjectUsage("candidates", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);

    ProjectDocument doc;
    if (!OpenProject("candidates", args[0], doc)) return kExitRefused;
    const ValvePosition* p = doc.Find(name);
    if (!p) {
        std::fprintf(stderr, "tarvik-cli candidates: the project has no position '%s'\n", name.c_str());
        return kExitRefused;
    }
    if (p->designation.empty()) {
        std::fprintf(stderr, "tarvik-cli candidates: position '%s' has no valve series\n", name.c_str());
        return kExitRefused;
    }
    const auto file = CurrentSession().SeriesFile(p->designation, p->designationSelector);
    if (!file) {
        std::fprintf(stderr, "tarvik-cli candidates: no valve series '%s' in %s\n", p->designation.c_str(),
                     (CurrentSession().programDir() / "dbv").string().c_str());
        return kExitRefused;
    }
    ValveSeries series;
    if (!LoadValveSeries(*file, series)) return kExitRefused;  // the message names the file

    // The computed Kv of each point; a point without a result counts 0.
    std::array<double, 3> kv{};
    for (std::size_t i = 0; i < kv.size(); ++i)
        if (p->pointEnabled[i]) kv[i] = std::max(0.0, ParseNumber(p->resultTexts[kResKv][i]));
    const double sizingKv = SizingKv(kv);
    const bool filter = !all && sizingKv > 0;
    const auto offered = OfferedCandidates(series.valves, sizingKv, filter);

    nlohmann::json out;
    out["position"] = p->name;
    out["series"] = series.name;
    out["seriesFile"] = file->string();
    out["kvText"] = CandidateKvText(kv);
    out["sizingKv"] = Finite(sizingKv);
    out["openingFilter"] = filter;
    nlohmann::json list = nlohmann::json::array();
    for (auto i : offered) {
        const SeriesValve& v = series.valves[i];
        list.push_back({{"Kvs", Finite(v.Kvs)},
                        {"DN", Finite(v.dn)},
                        {"characteristic", v.characteristic},
                        {"characteristicText", CharacteristicText(v.characteristic)},
                        {"opening", sizingKv > 0 ? Finite(CandidateOpening(v, sizingKv)) : 0.0}});
    }
    out["candidates"] = std::move(list);
    try {
        std::cout << out.dump(2) << "\n";
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli candidates: %s\n", e.what());
        return kExitRefused;
    }
    return std::cout.good() ? kExitOk : kExitRefused;
}

}  // namespace tarvik::cli
