#pragma once
// The dimension drawing of one valve position: its title block and the layer specifications of
// a printed drawing page.
#include <array>
#include <string>
#include <string_view>

#include "data/key_value_list.hpp"
#include "project/project_document.hpp"

namespace tarvik {

// "Tarvik 2.7": the drawing's "drawn by" entry.
std::string DrawingProgramText();

// The entries the specification dialog stores, overwriting: customer, project, tag, program and
// the position's last-saved date ("%d.%m.%Y", local time).
void SetDialogTitleBlock(const ProjectDocument& doc, ValvePosition& position);

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

}  // namespace tarvik
