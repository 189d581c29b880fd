#include "project/exports.hpp"

#include <vector>

#include "data/archive.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "data/spec_items.hpp"

namespace tarvik {
namespace {

// A field must not break the one-line-per-position layout.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string SummaryLine(const ValvePosition& p, int lang) {
    const std::string inletRating = ItemText(106, p.specItems, lang);
    const std::string outletRating = ItemText(107, p.specItems, lang);
    const double inletSize = p.valveData[kVdInletSize];
    const double outletSize = p.valveData[kVdOutletSize];

    std::string line = OneLine(p.name) + ";" + OneLine(ItemText(71, p.specItems, lang)) + ";";
    line += NominalSizeText(inletRating, inletSize);
    if (outletSize != inletSize) line += "/" + NominalSizeText(outletRating, outletSize);
    line += ";" + OneLine(inletRating);
    if (outletRating != inletRating) line += "/" + OneLine(outletRating);
    line += ";Kvs " + FormatNumber(p.valveData[kVdKvs], 0) + "\n";
    return line;
}

}  // namespace

std::filesystem::path ExportPath(const std::filesystem::path& projectPath, ExportKind kind) {
    std::string name = projectPath.filename().string();
    const auto dot = name.rfind('.');
    name = dot == std::string::npos ? name + "." : name.substr(0, dot + 1);
    name += kind == ExportKind::Summary ? "tke.txt" : "tkep.txt";
    return projectPath.parent_path() / name;
}

std::string SummaryText(const ProjectDocument& doc, int lang) {
    std::string text;
    for (const auto& p : doc.positions) text += SummaryLine(p, lang);
    return text;
}

std::string SpecificationText(const ProjectDocument& doc, int lang) {
    std::string text;
    for (const auto& p : doc.positions) text += OneLine(ItemText(74, p.specItems, lang)) + "\n";
    return text;
}

ExportResult ExportProject(const ProjectDocument& doc, const std::filesystem::path& projectPath,
                           ExportKind kind) {
    ExportResult result;
    result.path = ExportPath(projectPath, kind);
    const std::string text = kind == ExportKind::Summary ? SummaryText(doc) : SpecificationText(doc);
    try {
        ArchiveWriter out;
        out.WriteBytes(std::vector<std::uint8_t>(text.begin(), text.end()));
        out.SaveAtomically(result.path);
    } catch (const std::exception& e) {
        result.error = e.what();
        return result;
    }
    result.ok = true;
    ShowMessage(kMsgExportWritten, result.path.string());
    return result;
}

}  // namespace tarvik
