#include "project/catalogue_valve_from_series.hpp"

namespace tarvik {

CatalogueValve ToCatalogueValve(const SeriesValve& valve, const ValveSeries& series) {
    CatalogueValve c;
    c.characteristic = valve.characteristic;
    c.Kvs = valve.Kvs;
    c.minKv = valve.minKv;
    c.FL = valve.tables[kSeriesFL];
    c.xT = valve.tables[kSeriesXT];
    c.Fd = valve.tables[kSeriesFd];
    c.xFz = valve.tables[kSeriesXFz];
    c.dLnLiquid = valve.tables[kSeriesDLnLiquid];
    c.dLnGas = valve.tables[kSeriesDLnGas];
    c.Kv = valve.kvTable;
    c.nyF = valve.nyF;
    c.dLF = valve.dLF;
    for (std::size_t i = 0; i < c.tableFlags.size(); ++i) c.tableFlags[i] = series.tableFlags[i];
    return c;
}

}  // namespace tarvik
