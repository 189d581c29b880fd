// tarvik-cli actuator: the force or torque an actuator must deliver for a valve type, and the
// fitting actuators of the program folder's actuator catalogues, as the actuator page sizes them.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "project/actuator_sizing.hpp"

namespace tarvik::cli {
namespace {

using json = nlohmann::ordered_json;

const char* kUsage =
    "actuator --type CODE --dp MPA [--diameter MM] [--packing CLASS] [--dn DN] [--kind 0|1|2|3] "
    "[--second-force] [--x X --y Y]";

int Usage(const std::string& error) {
    std::fprintf(stderr, "tarvik-cli actuator: %s\nusage: tarvik-cli %s\n", error.c_str(), kUsage);
    return kExitUsage;
}

}  // namespace

int ActuatorCommand(std::vector<std::string>& args) {
    std::string error, type, dp, diameter = "0", packing, dn = "0", kind = "0", x = "0", y = "0";
    const bool hasType = TakeOption(args, "--type", type, error);
    const bool hasDp = error.empty() && TakeOption(args, "--dp", dp, error);
    if (error.empty()) TakeOption(args, "--diameter", diameter, error);
    if (error.empty()) TakeOption(args, "--packing", packing, error);
    if (error.empty()) TakeOption(args, "--dn", dn, error);
    if (error.empty()) TakeOption(args, "--kind", kind, error);
    if (error.empty()) TakeOption(args, "--x", x, error);
    if (error.empty()) TakeOption(args, "--y", y, error);
    const bool secondForce = TakeFlag(args, "--second-force");
    if (!error.empty()) return Usage(error);
    if (!args.empty()) return Usage("unexpected argument '" + args[0] + "'");
    if (!hasType) return Usage("--type CODE is required");
    if (!hasDp) return Usage("--dp MPA is required");

    ActuatorInputs in;
    if (!ParseIntArg(type, in.typeCode) || in.typeCode < 1 || in.typeCode > 11)
        return Usage("--type takes a valve type code from 1 to 11, not '" + type + "'");
    if (!ParseIntArg(kind, in.kind) || in.kind < 0 || in.kind > 3)
        return Usage("--kind takes 0 (pneumatic), 1 (hydraulic), 2 (electric linear) or 3 (electric rotary), not '" +
                     kind + "'");
    const struct {
        const char* option;
        const std::string& text;
        double& value;
    } numbers[] = {{"--dp", dp, in.dp}, {"--diameter", diameter, in.D}, {"--dn", dn, in.DN}, {"--x", x, in.X}, {"--y", y, in.Y}};
    for (const auto& n : numbers)
        if (!ParseDoubleArg(n.text, n.value)) return Usage(std::string(n.option) + " takes a number, not '" + n.text + "'");
    in.pressureA = in.dp;
    in.packingChosen = !packing.empty();
    in.packingClass = PackingClass(packing);
    in.secondForce = secondForce;

    Session& session = CurrentSession();
    const ActuatorSizing s = SizeActuator(in, session.specCatalogue(), session.specTables());
    json out = json::object();
    if (!s.refused) {
        out["typeCode"] = in.typeCode;
        out["torque"] = s.torque;
        out["unit"] = s.torque ? "Nm" : "kN";
        out["value"] = s.hasResult ? json(s.value) : json(nullptr);
        out["outputs"] = s.outputs;
        json columns = json::array();
        if (!s.columnFormat.empty())
            for (std::size_t at = 0;;) {
                const std::size_t bar = s.columnFormat.find('|', at);
                columns.push_back(s.columnFormat.substr(at, bar == std::string::npos ? bar : bar - at));
                if (bar == std::string::npos) break;
                at = bar + 1;
            }
        out["columns"] = columns;
        json rows = json::array();
        for (const ActuatorCandidate& c : s.candidates) rows.push_back({{"columns", c.columns}, {"selectable", c.selectable}});
        out["candidates"] = rows;
    }
    if (s.message != 0) {
        out["message"] = s.message;
        out["messageText"] = s.messageText;
    }
    std::printf("%s\n", out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    return s.message != 0 ? kExitRefused : kExitOk;
}

}  // namespace tarvik::cli
