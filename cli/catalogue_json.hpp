#pragma once
// Catalogue JSON is read with the CLI's strict JSON reader.
#include "cli/strict_json.hpp"

namespace tarvik::cli {

using CatalogueJsonError = JsonInputError;

}  // namespace tarvik::cli
