#include "output/position_drawing.hpp"

#include <cstdio>
#include <ctime>

#include "data/program_version.hpp"

namespace tarvik {
namespace {

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

}  // namespace

std::string DrawingProgramText() {
    char text[64];
    std::snprintf(text, sizeof text, "Tarvik %.1f", kProgramVersion);
    std::string s = text;
    ReplaceAll(s, ",", ".");  // whatever the locale's separator
    return s;
}

void SetDialogTitleBlock(const ProjectDocument& doc, ValvePosition& p) {
    char date[32] = "";
    const std::time_t t = p.savedAt;
    std::tm tm{};
    if (localtime_r(&t, &tm)) std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
    SetKeyValue("zakaznik", doc.customer, p.titleBlock, true);
    SetKeyValue("akce", doc.project, p.titleBlock, true);
    SetKeyValue("kks", p.name, p.titleBlock, true);
    SetKeyValue("kreslil", DrawingProgramText(), p.titleBlock, true);
    SetKeyValue("datum", date, p.titleBlock, true);
}

std::string SpecItemText(const ValvePosition& p, int id) {
    for (const SpecItem& item : p.specItems)
        if (item.id == id) return item.text;
    return {};
}

std::string PrintLayerSpecification(ValvePosition& p, const DrawingLayerSources& sources) {
    std::string spec = SpecItemText(p, 69);
    if (!spec.empty()) return spec;
    spec = SpecItemText(p, 70);
    if (spec.empty()) {
        spec = sources.defaultLayerText;
        for (const auto& [key, value] : sources.defaultTitleBlock.pairs) SetKeyValue(key, value, p.titleBlock, true);
    }
    for (const SpecItem& item : p.specItems)
        if (item.id != 69) spec += item.code;
    const bool differ = p.valveData[kVdInletSize] != p.valveData[kVdOutletSize];
    spec += sources.diameterTexts[differ ? 0 : 1];
    return spec;
}

std::string VariantLayerSpecification(std::string_view seriesVariantText, std::string_view item75) {
    std::string s(seriesVariantText);
    s += item75;
    ReplaceAll(s, ";;", ";");
    return s;
}

std::string HiddenVariantsSpecification(std::string_view variantList) {
    std::string s(variantList);
    ReplaceAll(s, ";;", ";");
    ReplaceAll(s, ";", ";-");
    if (!s.empty()) s.pop_back();
    return s;
}

}  // namespace tarvik
