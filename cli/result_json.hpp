#pragma once
// One operating point's results in the keys `size` and `calc` both print.
#include <nlohmann/json.hpp>

#include "calc/process_data.hpp"

namespace tarvik::cli {

using OrderedJson = nlohmann::ordered_json;  // keys in the documented order

// JSON carries no NaN or infinity; the run guards its results, this guards the output too.
double FiniteOrZero(double v);

// Kv, opening, regime, velocity, dLi, noise, message and, for steam and gas, Mo: as stored.
OrderedJson PointResultJson(const SizingResult& r, bool liquid);
// The same results unrounded.
OrderedJson ExactResultJson(const SizingResult& r);

}  // namespace tarvik::cli
