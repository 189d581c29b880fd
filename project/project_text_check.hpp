#pragma once
// The texts of a project that its file (code page 1250) cannot hold. Saving refuses such a
// project, naming the position and field; the form checks one field with CheckText.
#include <cstddef>
#include <optional>

#include "data/text_check.hpp"
#include "project/project_document.hpp"

namespace tarvik {

// The first text that does not fit: project fields first, then the positions in list order.
// Fields are named as `tarvik-cli dump` names them ("note", "units[2]", "item 74").
std::optional<TextProblem> FindUnstorableText(const ProjectDocument& doc);
// One position; `number` (1-based) labels it when its name itself does not fit.
std::optional<TextProblem> FindUnstorableText(const ValvePosition& position, std::size_t number);

}  // namespace tarvik
