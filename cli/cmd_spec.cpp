// tarvik-cli spec [apply] PROJECT --position NAME [--save]: a position's specification as the
// specification sheet shows it; "apply" runs the sheet over the stored items (every page left,
// then OK) for batch work, and --save writes the project back. --actuator-kind sizes the actuator
// on the way (with the stored packing and valve type) and --actuator-row chooses a candidate.
#include <cstdio>
#include <iostream>
#include <map>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "cli/result_json.hpp"
#include "data/lang_text.hpp"
#include "data/messages.hpp"
#include "project/position_form.hpp"
#include "project/session.hpp"
#include "project/specification_sheet.hpp"

namespace tarvik::cli {
namespace {

std::string ItemOf(int id, const SpecItemList& items) { return GetLangText(ItemText(id, items), -1); }

OrderedJson SheetJson(const ValvePosition& p, const std::vector<std::string>& messages) {
    OrderedJson items = OrderedJson::array();
    for (const SpecItem& item : p.specItems) {
        if (item.id == 0 && item.text.empty()) continue;  // the list's empty starter entry
        OrderedJson j;
        j["id"] = item.id;
        j["text"] = GetLangText(item.text, -1);
        j["code"] = item.code;
        j["typeCode"] = item.typeCode;
        items.push_back(std::move(j));
    }
    OrderedJson title = OrderedJson::object();
    for (const auto& [key, value] : p.titleBlock.pairs) title[key] = value;
    OrderedJson out;
    out["position"] = p.name;
    out["items"] = std::move(items);
    out["titleBlock"] = std::move(title);
    out["orderCode"] = ItemOf(69, p.specItems);
    out["typeDesignation"] = ItemOf(71, p.specItems);
    out["secondDesignation"] = ItemOf(74, p.specItems);
    out["messages"] = messages;
    return out;
}

}  // namespace

int SpecCommand(std::vector<std::string>& args) {
    const char* usage =
        "spec [apply] PROJECT --position NAME [--actuator-kind K [--actuator-row N]] [--save]";
    const bool apply = !args.empty() && args[0] == "apply";
    if (apply) args.erase(args.begin());
    std::string name, error;
    const bool hasPosition = TakeOption(args, "--position", name, error);
    if (!error.empty()) return ProjectUsage("spec", error, usage);
    std::string kindText, rowText;
    const bool hasKind = TakeOption(args, "--actuator-kind", kindText, error);
    const bool hasRow = error.empty() && TakeOption(args, "--actuator-row", rowText, error);
    if (!error.empty()) return ProjectUsage("spec", error, usage);
    int kind = kKindNone, row = -1;
    if (hasKind && (!ParseIntArg(kindText, kind) || kind < kKindPneumatic || kind > kKindElectricRotary))
        return ProjectUsage("spec", "--actuator-kind must be 0, 1, 2 or 3", usage);
    if (hasRow && (!ParseIntArg(rowText, row) || row < 0))
        return ProjectUsage("spec", "--actuator-row must be a row number from 0", usage);
    if (hasRow && !hasKind) return ProjectUsage("spec", "--actuator-row needs --actuator-kind", usage);
    if (hasKind && !apply) return ProjectUsage("spec", "--actuator-kind needs 'spec apply'", usage);
    const bool save = TakeFlag(args, "--save");
    if (!hasPosition) return ProjectUsage("spec", "--position NAME is required", usage);
    if (save && !apply) return ProjectUsage("spec", "--save needs 'spec apply'", usage);
    if (args.size() != 1)
        return ProjectUsage("spec", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);
    for (const std::string& a : args)
        if (a.starts_with("--")) return ProjectUsage("spec", "unknown option '" + a + "'", usage);
    const std::filesystem::path projectPath = args[0];

    ProjectDocument doc;
    if (!OpenProject("spec", projectPath, doc)) return kExitRefused;
    int index = -1;
    for (std::size_t i = 0; i < doc.positions.size(); ++i)
        if (doc.positions[i].name == name) index = static_cast<int>(i);
    if (index < 0) {
        std::fprintf(stderr, "tarvik-cli spec: the project has no position '%s'\n", name.c_str());
        return kExitRefused;
    }

    std::vector<std::string> messages;
    ScopedMessageSink sink([&](const Message& m) { messages.push_back(m.text.empty() ? std::to_string(m.number) : m.text); });
    Session& session = CurrentSession();
    PositionForm form(session.MakeFormContext());
    form.ShowPosition(doc, index);
    auto sheet = SpecificationSheet::Open(form, doc, SpecSheetEnvironmentOf(session));
    if (!sheet) {
        std::fprintf(stderr, "tarvik-cli spec: position '%s' has no catalogue valve selected\n", name.c_str());
        for (const std::string& m : messages) std::fprintf(stderr, "tarvik-cli spec: %s\n", m.c_str());
        return kExitRefused;
    }
    if (apply) {
        for (int page = 1; page <= SpecificationSheet::kPageCount; ++page) {
            sheet->ShowPage(page);
            if (page == 3 && hasKind) {
                // The earlier pages are left, so the sizing reads their items as the page would.
                sheet->actuatorKind = kind;
                const ActuatorSizing sizing = sheet->SizeActuator();
                std::string refusal;
                if (sizing.refused || sizing.message != 0)
                    refusal = sizing.messageText.empty() ? std::to_string(sizing.message) : sizing.messageText;
                else if (hasRow && !sheet->ChooseActuator(static_cast<std::size_t>(row)))
                    refusal = "the sizing offers no selectable row " + std::to_string(row) + " (" +
                              std::to_string(sizing.candidates.size()) + " candidates)";
                if (!refusal.empty()) {
                    std::fprintf(stderr, "tarvik-cli spec: %s\n", refusal.c_str());
                    return kExitRefused;
                }
            }
            sheet->LeavePage(page);
        }
        sheet->Ok();
    } else {
        sheet->Cancel();
    }
    std::cout << SheetJson(doc.positions[static_cast<std::size_t>(index)], messages).dump(2) << "\n";
    if (save && !SaveProjectFile("spec", doc, projectPath)) return kExitRefused;
    return kExitOk;
}

}  // namespace tarvik::cli
