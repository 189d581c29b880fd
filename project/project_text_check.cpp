#include "project/project_text_check.hpp"

#include <string>

namespace tarvik {
namespace {

// Names of indexed fields, made only when one is reported.
auto Indexed(const char* field, std::size_t i) {
    return [=] { return std::string(field) + "[" + std::to_string(i) + "]"; };
}

}  // namespace

std::optional<TextProblem> FindUnstorableText(const ValvePosition& p, std::size_t number) {
    const std::string record = RecordLabel(p.name, number);
    TextCheck check;
    check.Check(p.name, record, "name");
    check.Check(p.auxText, record, "auxText");
    check.Check(p.note, record, "note");
    check.Check(p.mediumName, record, "mediumName");
    check.Check(p.mediumTag, record, "mediumTag");
    for (std::size_t k = 0; k < p.units.size(); ++k) check.Check(p.units[k], record, Indexed("units", k));
    check.Check(p.designationSelector, record, "designationSelector");
    check.Check(p.designation, record, "designation");
    check.Check(p.rowIdList, record, "rowIdList");
    for (std::size_t k = 0; k < p.pipeTexts.size(); ++k) check.Check(p.pipeTexts[k], record, Indexed("pipeTexts", k));
    for (std::size_t r = 0; r < p.resultTexts.size(); ++r)
        for (std::size_t k = 0; k < p.resultTexts[r].size(); ++k)
            check.Check(p.resultTexts[r][k], record, [&] { return Indexed("resultTexts", r)() + "[" + std::to_string(k) + "]"; });
    for (const SpecItem& item : p.specItems) {
        check.Check(item.text, record, [&] { return "item " + std::to_string(item.id); });
        check.Check(item.code, record, [&] { return "item " + std::to_string(item.id) + " code"; });
    }
    for (const auto& pair : p.titleBlock.pairs) {
        check.Check(pair.first, record, "titleBlock key");
        check.Check(pair.second, record, [&] { return "titleBlock \"" + pair.first + "\""; });
    }
    check.Check(p.maxPressureUnit, record, "maxPressureUnit");
    check.Check(p.maxTemperatureUnit, record, "maxTemperatureUnit");
    check.Check(p.pieces, record, "pieces");
    return check.problem();
}

std::optional<TextProblem> FindUnstorableText(const ProjectDocument& doc) {
    TextCheck check;
    check.Check(doc.project, {}, "project");
    check.Check(doc.customer, {}, "customer");
    check.Check(doc.projectText3, {}, "projectText3");
    check.Check(doc.defaultFlowUnit, {}, "defaultFlowUnit");
    check.Check(doc.defaultPressureUnit, {}, "defaultPressureUnit");
    check.Check(doc.defaultTemperatureUnit, {}, "defaultTemperatureUnit");
    check.Check(doc.specSheetText, {}, "specSheetText");
    if (check.problem()) return check.problem();
    for (std::size_t i = 0; i < doc.positions.size(); ++i)
        if (auto problem = FindUnstorableText(doc.positions[i], i + 1)) return problem;
    return std::nullopt;
}

}  // namespace tarvik
