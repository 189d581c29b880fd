#include "project/exports.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

#include "data/archive.hpp"
#include "data/cp1250.hpp"
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

bool ParseExportEncoding(std::string_view name, ExportEncoding& encoding) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "cp1250") encoding = ExportEncoding::Cp1250;
    else if (lower == "utf-8" || lower == "utf8") encoding = ExportEncoding::Utf8;
    else return false;
    return true;
}

std::optional<TextProblem> FindUnexportableText(const ProjectDocument& doc, ExportKind kind, int lang) {
    TextCheck check;
    // Every text a line is made of; the sizes and Kvs are written in plain digits.
    const std::initializer_list<int> summaryItems{71, 106, 107}, specItems{74};
    for (std::size_t i = 0; i < doc.positions.size() && !check.problem(); ++i) {
        const ValvePosition& p = doc.positions[i];
        const std::string record = RecordLabel(p.name, i + 1);
        if (kind == ExportKind::Summary) check.Check(p.name, record, "name");
        for (int id : kind == ExportKind::Summary ? summaryItems : specItems)
            check.Check(ItemText(id, p.specItems, lang), record, [id] { return "item " + std::to_string(id); });
    }
    return check.problem();
}

std::string ExportFileBytes(std::string_view text, ExportEncoding encoding) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return encoding == ExportEncoding::Cp1250 ? Utf8ToCp1250(crlf) : crlf;
}

ExportResult ExportProject(const ProjectDocument& doc, const std::filesystem::path& projectPath,
                           ExportKind kind, ExportEncoding encoding) {
    ExportResult result;
    result.path = ExportPath(projectPath, kind);
    const std::string text = kind == ExportKind::Summary ? SummaryText(doc) : SpecificationText(doc);
    if (encoding == ExportEncoding::Cp1250) {
        // The fields by position first; then what the lines add (the locale's number texts).
        result.problem = FindUnexportableText(doc, kind);
        if (!result.problem) result.problem = CheckText(text, {}, kind == ExportKind::Summary ? "summary" : "specification");
        if (result.problem) {
            result.error = TextProblemMessage(*result.problem);
            return result;
        }
    }
    const std::string bytes = ExportFileBytes(text, encoding);
    try {
        ArchiveWriter out;
        out.WriteBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
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
