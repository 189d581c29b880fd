#include "cli/catalogue_kinds.hpp"

namespace tarvik::cli {

const std::vector<CatalogueKind>& CatalogueKinds() {
    static const std::vector<CatalogueKind> kinds = {
        {"dbv", IsValveSeriesFileName, DumpValveSeries, BuildValveSeries},
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
