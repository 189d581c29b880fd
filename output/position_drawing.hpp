#pragma once
// The dimension drawing of one valve position: its title block and the layer specifications of
// a printed drawing page.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "data/key_value_list.hpp"
#include "project/project_document.hpp"
#include "project/specification_sheet.hpp"

namespace tarvik {
class DwfViewer;
class Session;
struct ValveSeries;
}  // namespace tarvik

namespace tarvik {

// DrawingProgramText and SetDialogTitleBlock (the title block the specification sheet fills) are
// declared in project/specification_sheet.hpp.

// What a printed drawing page takes from outside the position.
struct DrawingLayerSources {
    std::string defaultLayerText;              // of the specification data
    KeyValueList defaultTitleBlock;            // of the specification data
    std::array<std::string, 2> diameterTexts;  // of the main form: [0] inlet ≠ outlet, [1] equal
};

// The layer specification of a printed page: the text of item 69; otherwise the text of item 70
// or, when that is empty, the default layer text (its default title block then stored into the
// position's, overwriting), followed by the codes of all items but 69 and the diameter text.
std::string PrintLayerSpecification(ValvePosition& position, const DrawingLayerSources& sources);

// The variant specification applied in show mode when item 75 has a text: the series' variant
// text followed by it, every ";;" made ";".
std::string VariantLayerSpecification(std::string_view seriesVariantText, std::string_view item75);
// Without an item 75 text: the series' variant list turned into entries that hide every layer
// (";A;B;" -> ";-A;-B;").
std::string HiddenVariantsSpecification(std::string_view variantList);

// The text of the position's specification item `id`; "" when it has none.
std::string SpecItemText(const ValvePosition& position, int id);

// The series' variant list: the first texts of its text-list records joined (";A;B;").
std::string SeriesVariantList(const ValveSeries& series);

// The type designation the variant layers are chosen by: item 71 when it has a text, else the
// position's designation.
std::string PositionTypeDesignation(const ValvePosition& position);

// The variant specification of a printed drawing page, applied in show mode: with an item 75
// text, the series' variant text for the type designation followed by it; without, the series'
// whole variant list hidden.
std::string PrintVariantSpecification(const ValveSeries& series, const ValvePosition& position);

// The extracted drawing of the position's valve series; empty when the series is not in the
// session's table or carries no drawing.
std::filesystem::path PositionDrawingFile(const Session& session, const ValvePosition& position);

// What a printed drawing page takes from the session for a position of this series: the
// specification catalogue's defaults (this catalogue stores none) and the series' two texts for
// unequal and equal inlet and outlet sizes.
DrawingLayerSources DrawingSourcesOf(const ValveSeries& series);

// Loads the position's drawing into `viewer` as a printed drawing page shows it: the series'
// drawing, the title block of the specification dialog, the filled template with the print
// layer specification, then the variant's layers in show mode (item 75 with the series' variant
// text, or every variant layer hidden). False with `why` set when the position has no series in
// the catalogue or the series has no drawing. A series file that cannot be read gives text 63021
// with the series key as the variant specification, which names no layer (the loader's message
// names the file).
bool PrepareDrawingPage(Session& session, const ProjectDocument& doc, ValvePosition& position, DwfViewer& viewer,
                        std::string& why);

}  // namespace tarvik
