#pragma once
// Expansion of a demo valve-series source (one trim table per characteristic, the Kvs steps per
// nominal size) into the catalogue valves of a series file, and the logo bitmaps.
#include <string>

#include <nlohmann/json.hpp>

#include "data/valve_series.hpp"

namespace tarvik::demo {

// Throws std::runtime_error naming the place of a source error.
ValveSeries ExpandSeries(const nlohmann::json& source, const std::string& drawing);

// name: "TarB" (colour logo), "TarBW" (black and white logo) or "TarLB" (About picture).
void WriteLogoBitmap(const std::string& name, const std::filesystem::path& out);

}  // namespace tarvik::demo
