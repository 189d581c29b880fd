#pragma once
// Project files: load in every version from 3.0 to 8.03 (and later files in the newest layout
// whose conditions they meet), store in the current layout 8.03.
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "data/valve_series.hpp"
#include "project/project_document.hpp"

namespace tarvik {

class ArchiveReader;


struct ProjectLoadContext {
    // The valve-series table: series key (a multilingual text whose sections are the designations
    // per selector or company index) and the series file. Null: no series known.
    const SeriesTable* seriesTable = nullptr;
    std::string companyIndex;                  // section key of the current designation
    int lang = 0;                              // language index of plain item texts
    std::uint32_t now = 0;                     // savedAt of files that do not store it
};

// The file version as a number: n when n < 101, else n / 100 (803 is 8.03).
double ProjectFileVersion(std::int32_t stored);

// Reads a whole project. Throws ArchiveError (naming the file and the offset) when the bytes
// are truncated or corrupt; nothing is returned half-read.
ProjectDocument ReadProject(const std::vector<std::uint8_t>& bytes, const std::string& name,
                            const ProjectLoadContext& context);
ProjectDocument ReadProject(ArchiveReader& in, const ProjectLoadContext& context);
ProjectDocument LoadProject(const std::filesystem::path& path, const ProjectLoadContext& context);

// The bytes of the current file layout.
std::vector<std::uint8_t> StoreProject(const ProjectDocument& doc, int lang);
// Writes a temporary file beside the target and renames it over it; throws ArchiveError, or
// TextNotStorable (naming the position and field) before anything is written when a text has no
// code page 1250 form.
void SaveProject(const ProjectDocument& doc, const std::filesystem::path& path, int lang);

// The series and designation refresh that follows loading (also after the series table changes).
void RefreshSeries(ValvePosition& position, const ProjectLoadContext& context);

}  // namespace tarvik
