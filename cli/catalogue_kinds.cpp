#include "cli/catalogue_kinds.hpp"

#include <cctype>

namespace tarvik::cli {

bool IsFileNamed(const std::string& fileName, const std::string& lowerCaseName) {
    const std::string base = std::filesystem::path(fileName).filename().string();
    if (base.size() != lowerCaseName.size()) return false;
    for (std::size_t i = 0; i < base.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(base[i])) != lowerCaseName[i]) return false;
    return true;
}

const std::vector<CatalogueKind>& CatalogueKinds() {
    static const std::vector<CatalogueKind> kinds = {
        {"dbv", IsValveSeriesFileName, DumpValveSeries, BuildValveSeries},
        {"specpoh", IsSpecCatalogueFileName, DumpSpecCatalogue, BuildSpecCatalogue},
        {"specpoh06a", IsSpecTable06aFileName, DumpSpecTable06a, BuildSpecTable06a},
        {"specpoh06b", IsSpecTable06bFileName, DumpSpecTable06b, BuildSpecTable06b},
        {"specpoh07", [](const std::string& n) { return IsFileNamed(n, "specpoh07.tkd"); }, DumpSpecCurveTable, BuildSpecCurveTable},
        {"specpoh09", [](const std::string& n) { return IsFileNamed(n, "specpoh09.tkd"); }, DumpSpecCurveTable, BuildSpecCurveTable},
        {"specpoh10", [](const std::string& n) { return IsFileNamed(n, "specpoh10.tkd"); }, DumpSpecCurveTable, BuildSpecCurveTable},
        {"media", IsSystemMediaFileName, DumpSystemMedia, BuildSystemMedia},
        {"mediau", IsUserMediaFileName, DumpUserMedia, BuildUserMedia},
        {"potrubi", IsPipesFileName, DumpPipes, BuildPipes},
        {"units", IsDefaultUnitsFileName, DumpDefaultUnits, BuildDefaultUnits},
        {"jednotky2", IsUserUnitsFileName, DumpUserUnits, BuildUserUnits},
        {"jednotky", IsOldUserUnitsFileName, DumpOldUserUnits, nullptr,
         "jednotky.tkd is only read, when jednotky2.tkd cannot be opened; build jednotky2.tkd "
         "instead (its JSON takes the same units, with an optional offset)"},
        {"specpodm", IsConditionFileName, DumpConditionFile, BuildConditionFile},
        {"specprip", [](const std::string& n) { return IsFileNamed(n, "specprip.tkd"); }, DumpTreeFile, BuildTreeFile},
        {"specprisl", [](const std::string& n) { return IsFileNamed(n, "specprisl.tkd"); }, DumpTreeFile, BuildTreeFile},
        {"bitmap", IsBitmapFileName, DumpBitmap, BuildBitmap},
    };
    return kinds;
}

const CatalogueKind* FindCatalogueKind(const std::string& name) {
    for (const auto& k : CatalogueKinds())
        if (name == k.name) return &k;
    return nullptr;
}

const CatalogueKind* CatalogueKindOfFile(const std::filesystem::path& path) {
    const std::string fileName = path.filename().string();
    for (const auto& k : CatalogueKinds())
        if (k.matches(fileName)) return &k;
    return nullptr;
}

}  // namespace tarvik::cli
