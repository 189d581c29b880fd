#include "output/position_drawing.hpp"

#include "data/language.hpp"
#include "data/lang_text.hpp"
#include "data/valve_series.hpp"
#include "output/dimension_drawing.hpp"
#include "output/drawing_viewer.hpp"
#include "project/session.hpp"

namespace tarvik {
namespace {

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

}  // namespace

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

std::string SeriesVariantList(const ValveSeries& series) {
    std::string list;
    for (const auto& record : series.textList) list += record[0];
    return list;
}

std::string PositionTypeDesignation(const ValvePosition& p) {
    const std::string item71 = GetLangText(SpecItemText(p, 71), -1);
    return item71.empty() ? p.designation : item71;
}

std::string PrintVariantSpecification(const ValveSeries& series, const ValvePosition& p) {
    // Item texts are multilingual; the layer list is the same in every section.
    const std::string item75 = GetLangText(SpecItemText(p, 75), -1);
    return item75.empty() ? HiddenVariantsSpecification(SeriesVariantList(series))
                          : VariantLayerSpecification(series.VariantLayerText(PositionTypeDesignation(p)), item75);
}

namespace {

// The table key of the position's series; the end of the table when it has none.
SeriesTable::const_iterator SeriesEntryOf(const Session& session, const ValvePosition& p) {
    return FindSeriesEntry(session.seriesTable(), p.designation, p.designationSelector);
}

}  // namespace

std::filesystem::path PositionDrawingFile(const Session& session, const ValvePosition& p) {
    const auto entry = SeriesEntryOf(session, p);
    if (entry == session.seriesTable().end()) return {};
    // The table key is the series name, then " (" + description + ")" when it has one; the
    // drawings are kept by series name. The longest name that the key starts with wins.
    const std::string& key = entry->first;
    std::filesystem::path found;
    std::size_t foundLength = 0;
    for (const auto& [name, file] : session.drawings()) {
        const bool matches = key == name || (key.size() > name.size() + 1 && key.compare(0, name.size(), name) == 0 &&
                                             key.compare(name.size(), 2, " (") == 0);
        if (matches && (found.empty() || name.size() > foundLength)) {
            found = file;
            foundLength = name.size();
        }
    }
    return found;
}

DrawingLayerSources DrawingSourcesOf(const ValveSeries& series) {
    DrawingLayerSources sources;
    sources.diameterTexts = series.texts710;  // the outlet layer texts: [0] inlet ≠ outlet, [1] equal
    return sources;
}

bool PrepareDrawingPage(Session& session, const ProjectDocument& doc, ValvePosition& p, DwfViewer& viewer,
                        std::string& why) {
    why.clear();
    const auto entry = p.designation.empty() ? session.seriesTable().end() : SeriesEntryOf(session, p);
    if (entry == session.seriesTable().end() || entry->second.empty()) {
        why = "position '" + p.name + "' has no valve series in the catalogue";
        return false;
    }
    const std::filesystem::path drawing = PositionDrawingFile(session, p);
    if (drawing.empty()) {
        why = "the series '" + entry->first + "' has no drawing";
        return false;
    }
    ValveSeries series;
    const bool seriesRead = LoadValveSeries(entry->second, series);

    viewer.Clear();
    viewer.LoadFile(drawing);
    SetDialogTitleBlock(doc, p);
    const DrawingLayerSources sources = seriesRead ? DrawingSourcesOf(series) : DrawingLayerSources{};
    ShowDrawing(viewer, LoadDrawingTemplate(drawing), p.titleBlock, PrintLayerSpecification(p, sources));

    std::string variants;
    if (!seriesRead) {
        variants = FormatText(63021, entry->first);
    } else {
        variants = PrintVariantSpecification(series, p);
    }
    ApplyLayerSpecification(viewer, variants, false);
    return true;
}

}  // namespace tarvik
