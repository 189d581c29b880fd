#pragma once
// The calculation's view of a valve of a loaded valve series.
#include "calc/catalogue_valve.hpp"
#include "data/valve_series.hpp"

namespace tarvik {

// Copies the characteristic, Kvs, minimum Kv, the seven tables, nyF, dLF and the series' table
// flags.
CatalogueValve ToCatalogueValve(const SeriesValve& valve, const ValveSeries& series);

}  // namespace tarvik
