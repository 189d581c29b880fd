#pragma once
// A project as JSON and back: every field the project file stores, multilingual texts whole.
// Reading is strict: an unknown key or a value of the wrong type is refused with its place
// ("positions[2].valveData[4]: ..."); a missing key keeps the value of a new project.
#include <nlohmann/json.hpp>

#include "cli/strict_json.hpp"
#include "project/project_document.hpp"

namespace tarvik::cli {

using ProjectJsonError = JsonInputError;

nlohmann::json ProjectToJson(const ProjectDocument& doc);
// `start` is the new project the missing keys keep their values from.
ProjectDocument ProjectFromJson(const nlohmann::json& j, ProjectDocument start = {});

nlohmann::json PositionToJson(const ValvePosition& p);

}  // namespace tarvik::cli
