#pragma once
// The catalogue file kinds that `tarvik-cli catalogue dump` and `catalogue build` know: each
// recognises its files by name, prints a file as JSON and writes one from the same JSON.
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tarvik::cli {

struct CatalogueKind {
    const char* name;
    bool (*matches)(const std::string& fileName);
    // Throws ArchiveError (a file that cannot be read) or std::exception.
    nlohmann::json (*dump)(const std::filesystem::path&);
    // Throws CatalogueJsonError on JSON that does not describe a file of the kind; writes the
    // file atomically, so nothing is written on an error. Null for a kind that is only read.
    void (*build)(const nlohmann::json&, const std::filesystem::path&);
    // Why the kind is never written (when build is null).
    const char* readOnlyReason = nullptr;
};

const std::vector<CatalogueKind>& CatalogueKinds();

// The kind of that name, or the one whose files are named so; nullptr when none.
const CatalogueKind* FindCatalogueKind(const std::string& name);
const CatalogueKind* CatalogueKindOfFile(const std::filesystem::path& path);
// The base name of `fileName` equals `lowerCaseName` but for letter case.
bool IsFileNamed(const std::string& fileName, const std::string& lowerCaseName);

// The kinds of this folder, one function set each (specpoh07, 09 and 10 share one layout) (catalogue_series.cpp, catalogue_spec.cpp).
bool IsValveSeriesFileName(const std::string& fileName);
nlohmann::json DumpValveSeries(const std::filesystem::path& path);
void BuildValveSeries(const nlohmann::json& source, const std::filesystem::path& out);

bool IsSpecCatalogueFileName(const std::string& fileName);
nlohmann::json DumpSpecCatalogue(const std::filesystem::path& path);
void BuildSpecCatalogue(const nlohmann::json& source, const std::filesystem::path& out);

bool IsSpecTable06aFileName(const std::string& fileName);
nlohmann::json DumpSpecTable06a(const std::filesystem::path& path);
void BuildSpecTable06a(const nlohmann::json& source, const std::filesystem::path& out);

bool IsSpecTable06bFileName(const std::string& fileName);
nlohmann::json DumpSpecTable06b(const std::filesystem::path& path);
void BuildSpecTable06b(const nlohmann::json& source, const std::filesystem::path& out);

nlohmann::json DumpSpecCurveTable(const std::filesystem::path& path);
void BuildSpecCurveTable(const nlohmann::json& source, const std::filesystem::path& out);

// Media and pipe files (catalogue_media.cpp, catalogue_pipes.cpp).
bool IsSystemMediaFileName(const std::string& fileName);
nlohmann::json DumpSystemMedia(const std::filesystem::path& path);
void BuildSystemMedia(const nlohmann::json& source, const std::filesystem::path& out);

bool IsUserMediaFileName(const std::string& fileName);
nlohmann::json DumpUserMedia(const std::filesystem::path& path);
void BuildUserMedia(const nlohmann::json& source, const std::filesystem::path& out);

bool IsPipesFileName(const std::string& fileName);
nlohmann::json DumpPipes(const std::filesystem::path& path);
void BuildPipes(const nlohmann::json& source, const std::filesystem::path& out);

// Unit files (catalogue_units.cpp): default units, user units, the older user units (read only).
bool IsDefaultUnitsFileName(const std::string& fileName);
nlohmann::json DumpDefaultUnits(const std::filesystem::path& path);
void BuildDefaultUnits(const nlohmann::json& source, const std::filesystem::path& out);

bool IsUserUnitsFileName(const std::string& fileName);
nlohmann::json DumpUserUnits(const std::filesystem::path& path);
void BuildUserUnits(const nlohmann::json& source, const std::filesystem::path& out);

bool IsOldUserUnitsFileName(const std::string& fileName);
nlohmann::json DumpOldUserUnits(const std::filesystem::path& path);

// The condition variables "specpodm.tkd" (catalogue_text.cpp).
bool IsConditionFileName(const std::string& fileName);
nlohmann::json DumpConditionFile(const std::filesystem::path& path);
void BuildConditionFile(const nlohmann::json& source, const std::filesystem::path& out);

// The trees "specprip.tkd" and "specprisl.tkd" as lines (catalogue_text.cpp).
nlohmann::json DumpTreeFile(const std::filesystem::path& path);
void BuildTreeFile(const nlohmann::json& source, const std::filesystem::path& out);

// The logo bitmaps (catalogue_bitmap.cpp).
bool IsBitmapFileName(const std::string& fileName);
nlohmann::json DumpBitmap(const std::filesystem::path& path);
void BuildBitmap(const nlohmann::json& source, const std::filesystem::path& out);

}  // namespace tarvik::cli
