#pragma once
// The dimension drawing of a valve position: the series' drawing template filled with the
// position's title block, and the drawing's layers switched to match the chosen variant.
#include <filesystem>
#include <string>
#include <string_view>

#include "data/key_value_list.hpp"
#include "output/drawing_viewer.hpp"

namespace tarvik {

// The template text of a series' graphic drawing file ("dwf07.dwf" -> "dwftxt07.dwf"), line by
// line with "\n" after each, as UTF-8; "" when the file cannot be opened.
std::string LoadDrawingTemplate(const std::filesystem::path& drawingPath);

// Sets "VAHA" to the sum of "VAHAP", "VAHAT" and "VAHAD" when that is greater than 0.
void SetTotalWeight(KeyValueList& titleBlock);

// Replaces the placeholders "*key*" inside the string operands of the text opcodes, key by key in
// list order. A filled string is written in the hex form and its line joined to the line before;
// an operand already in hex form and placeholders outside text opcodes stay as they are.
std::string SubstitutePlaceholders(std::string_view text, const KeyValueList& titleBlock);

// Header + body + trailer.
std::string AssembleDrawingStream(std::string_view body);

// Switches layers by a specification ";-NAME;" (hide), ";+NAME;" (show), a name ending in "%"
// matching every layer that begins with the text before it. Every prefix entry hides its layers;
// unless `hideOnly`, exact "+" entries and "+" prefix entries then show theirs again, a "+" prefix
// giving way to an exact "-" entry of the same layer.
void ApplyLayerSpecification(DrawingViewer& viewer, std::string_view specification, bool hideOnly);

// Hides the layers of the specification, sets the total weight, fills the template and loads
// the completed stream.
void ShowDrawing(DrawingViewer& viewer, std::string_view templateText, KeyValueList& titleBlock,
                 std::string_view layerSpecification);

}  // namespace tarvik
