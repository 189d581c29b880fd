#include "cli/catalogue_kinds.hpp"

namespace tarvik::cli {

const std::vector<CatalogueKind>& CatalogueKinds() {
    static const std::vector<CatalogueKind> kinds = {
        {"dbv", IsValveSeriesFileName, DumpValveSeries, BuildValveSeries},
        {"specpoh", IsSpecCatalogueFileName, DumpSpecCatalogue, BuildSpecCatalogue},
        {"specpoh06a", IsSpecTable06aFileName, DumpSpecTable06a, BuildSpecTable06a},
        {"specpoh06b", IsSpecTable06bFileName, DumpSpecTable06b, BuildSpecTable06b},
        {"specpoh07", IsSpecCurveTableFileName, DumpSpecCurveTable, BuildSpecCurveTable},
        {"specpoh09", IsSpecCurveTableFileName, DumpSpecCurveTable, BuildSpecCurveTable},
        {"specpoh10", IsSpecCurveTableFileName, DumpSpecCurveTable, BuildSpecCurveTable},
        {"media", IsSystemMediaFileName, DumpSystemMedia, BuildSystemMedia},
        {"mediau", IsUserMediaFileName, DumpUserMedia, BuildUserMedia},
        {"potrubi", IsPipesFileName, DumpPipes, BuildPipes},
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
