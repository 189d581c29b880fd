#include <gtest/gtest.h>

#include "calc/calc_log.hpp"
#include "calc/calculation_run.hpp"
#include "project/catalogue_valve_from_series.hpp"
#include "calc/travel.hpp"
#include "data/archive.hpp"
#include "support/lang_fixture.hpp"
#include "project/language_texts.hpp"

namespace tarvik {
namespace {

// A series as it comes from a file of version 8.04: valve 1 linear with two-point FL,
// valve 2 with its own Kv table and FL over the opening.
ValveSeries LoadedSeries() {
    ValveSeries s;
    s.rawVersion = 804;
    s.name = "R";
    s.tableFlags = {0, 0, 0, 0, 0, 1};
    SeriesValve linear;
    linear.characteristic = kCharLinear;
    linear.dn = 50;
    linear.Kvs = 40;
    linear.minKv = 0.8;
    linear.tables[kSeriesFL] = {0.95, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.85};
    linear.tables[kSeriesFd] = {0.4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.4};
    linear.tables[kSeriesDLnGas] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    linear.nyF = 2e-8;
    linear.dLF = -1.5;
    SeriesValve table = linear;
    table.characteristic = kCharTable;
    table.kvTable = {0, 2, 4, 7, 10, 14, 18, 23, 28, 34, 40};
    s.valves = {linear, table};
    ArchiveReader in(ValveSeriesBytes(s), "r.dbv");
    return ReadValveSeries(in, "r", {2, 4});
}

TEST(CatalogueValveFromSeries, CarriesWhatTheRunUses) {
    const ValveSeries s = LoadedSeries();
    const CatalogueValve v = ToCatalogueValve(s.valves[1], s);
    EXPECT_EQ(v.characteristic, kCharTable);
    EXPECT_EQ(v.Kvs, 40);
    EXPECT_EQ(v.minKv, 0.8);
    EXPECT_EQ(v.Kv[3], 7);
    EXPECT_EQ(v.FL[10], 0.85);
    EXPECT_EQ(v.dLnGas[4], 4);
    EXPECT_EQ(v.nyF, 2e-8);
    EXPECT_EQ(v.dLF, -1.5);
    EXPECT_EQ(v.tableFlags, (std::array<int, 6>{0, 0, 0, 0, 0, 1}));

    // Kv 14 lies at 50 % of the table characteristic and at 35 % of the linear one.
    EXPECT_NEAR(TravelFromKv(14, v.Kvs, Characteristic::Table, v.Kv), 0.5, 1e-12);
    const CatalogueValve lin = ToCatalogueValve(s.valves[0], s);
    EXPECT_NEAR(TravelFromKv(14, lin.Kvs, Characteristic::Linear, lin.Kv), 0.35, 1e-12);
}

TEST(CatalogueValveFromSeries, FeedsTheCalculationRun) {
    test::UseLanguage(2);
    const ValveSeries s = LoadedSeries();
    for (const SeriesValve& sv : s.valves) {
        ProcessData data;
        data.medium = MediumState::Water;
        data.units = {"m3/h", "bar", "bar", "°C", "cSt", "bar", "bar"};
        OperatingPoint& p = data.points[0];
        p.enabled = true;
        p.Q() = 20;
        p.p1() = 10;
        p.p2() = 8;
        p.T1() = 20;
        p.ny() = 1;
        p.pv() = 0.0234;
        p.pc() = 221;
        p.ro1() = 998;
        data.valve = ToCatalogueValve(sv, s);
        data.Kvs = data.valve->Kvs;
        data.d = data.D = sv.dn;
        data.characteristic = CharacteristicFromCode(data.valve->characteristic);
        CalcLog log;
        RunOptions options;
        options.log = &log;
        const RunOutcome outcome = RunCalculation(data, CurrentLanguageTexts(), options);
        ASSERT_TRUE(outcome.validation.ok()) << "refused with text " << outcome.validation.message;
        const SizingResult& r = data.results[0];
        ASSERT_TRUE(outcome.computed) << outcome.summary << " / " << r.message;
        EXPECT_GT(r.Kv, 10);
        EXPECT_LT(r.Kv, 20);
        EXPECT_GT(r.opening, 20) << "characteristic " << sv.characteristic;
        EXPECT_LT(r.opening, 60) << "characteristic " << sv.characteristic;
    }
}

}  // namespace
}  // namespace tarvik
