#pragma once
// The two text exports of a project: a summary line per position ("…tke.txt") and the
// specification text of every position ("…tkep.txt"), written beside the project file in code
// page 1250 with CR LF line ends, as the other tools that read them expect (or in UTF-8).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "data/text_check.hpp"
#include "project/project_document.hpp"

namespace tarvik {

enum class ExportKind { Summary, Specification };
enum class ExportEncoding { Cp1250, Utf8 };

// "cp1250" or "utf-8" (also "utf8", any case); false for any other name.
bool ParseExportEncoding(std::string_view name, ExportEncoding& encoding);

constexpr int kMsgExportWritten = 63103;

// The project path up to and including the last "." of its file name, then "tke.txt" or
// "tkep.txt". A file name without a dot gets one, so the export never replaces the project.
std::filesystem::path ExportPath(const std::filesystem::path& projectPath, ExportKind kind);

// One line per position, in list order, item texts in language `lang` (-1 = current):
// name;item 71;nominal size(s);rating(s);Kvs <Kvs>
std::string SummaryText(const ProjectDocument& doc, int lang = -1);
// The text of item 74 of every position, one line each.
std::string SpecificationText(const ProjectDocument& doc, int lang = -1);

// The first text the export would need that code page 1250 cannot hold, by position and field.
std::optional<TextProblem> FindUnexportableText(const ProjectDocument& doc, ExportKind kind, int lang = -1);
// The file's bytes for a text of "\n"-ended lines: CR LF line ends; in code page 1250 every
// character must have a form (FindUnexportableText), else it would become "?".
std::string ExportFileBytes(std::string_view text, ExportEncoding encoding);

struct ExportResult {
    bool ok = false;
    std::filesystem::path path;
    std::string error;                   // one line, when !ok
    std::optional<TextProblem> problem;  // when a text had no code page 1250 form
};

// Writes the export beside `projectPath` (temporary file and rename, so a failure leaves any
// earlier export whole) and shows message 63103 with the path. A failure shows nothing and is
// returned for the caller to report; a text without a code page 1250 form is such a failure
// (error: message kMsgTextNotStorable naming the position and field), and nothing is written.
ExportResult ExportProject(const ProjectDocument& doc, const std::filesystem::path& projectPath,
                           ExportKind kind, ExportEncoding encoding = ExportEncoding::Cp1250);

}  // namespace tarvik
