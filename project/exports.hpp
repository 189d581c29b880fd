#pragma once
// The two text exports of a project: a summary line per position ("…tke.txt") and the
// specification text of every position ("…tkep.txt"), written beside the project file.
#include <filesystem>
#include <string>

#include "project/project_document.hpp"

namespace tarvik {

enum class ExportKind { Summary, Specification };

constexpr int kMsgExportWritten = 63103;

// The project path up to and including the last "." of its file name, then "tke.txt" or
// "tkep.txt". A file name without a dot gets one, so the export never replaces the project.
std::filesystem::path ExportPath(const std::filesystem::path& projectPath, ExportKind kind);

// One line per position, in list order, item texts in language `lang` (-1 = current):
// name;item 71;nominal size(s);rating(s);Kvs <Kvs>
std::string SummaryText(const ProjectDocument& doc, int lang = -1);
// The text of item 74 of every position, one line each.
std::string SpecificationText(const ProjectDocument& doc, int lang = -1);

struct ExportResult {
    bool ok = false;
    std::filesystem::path path;
    std::string error;  // one line, when !ok
};

// Writes the export beside `projectPath` (temporary file and rename, so a failure leaves any
// earlier export whole) and shows message 63103 with the path. A failure shows nothing and is
// returned for the caller to report.
ExportResult ExportProject(const ProjectDocument& doc, const std::filesystem::path& projectPath,
                           ExportKind kind);

}  // namespace tarvik
