#include <gtest/gtest.h>

#include "project/condition_values.hpp"

namespace tarvik {
namespace {

TEST(ConditionValues, SourcesAndConversions) {
    ValvePosition p;
    p.pointEnabled = {1, 0, 1};
    p.values[4] = {12, 50, 3};  // bar; the disabled middle point is the largest
    p.units[4] = "bar";
    p.values[10] = {20, 900, 80};
    p.units[10] = "°C";
    p.valveData[kVdKvs] = 63;
    p.valveData[kVdInletSize] = 1500;
    p.valveData[kVdMaxPressure] = 40;
    p.maxPressureUnit = "bar";
    p.valveData[kVdMaxTemperature] = 300;
    p.maxTemperatureUnit = "°C";
    const struct {
        ConditionVariable var;
        double value;
    } cases[] = {
        {{"p1", "pa", 4, "kPa", "p", -1}, 1200},
        {{"p1", "pi", 4, "MPa", "p", -1}, 0.3},
        {{"t", "pa", 10, "°K", "t", -1}, 353.15},
        {{"kvs", "v", 0, "", "", -1}, 63},
        {{"pn", "v", 12, "MPa", "p", -1}, 4},
        {{"tmax", "v", 13, "°F", "t", -1}, 572},
        {{"dn", "v", 1, "m", "l", -1}, 1.5},
        {{"dn", "v", 1, "km", "l", -1}, 0.0015},
        {{"dn", "v", 1, "mm", "l", -1}, 1500},
        // No value from the source: the variable keeps its value.
        {{"x", "q", 4, "", "", -1}, -1},
        {{"x", "pa", 30, "", "", -1}, -1},
        {{"x", "v", -1, "", "", -1}, -1},
    };
    for (const auto& c : cases) {
        ConditionVariableList vars{c.var};
        UpdateConditionValues(vars, p);
        EXPECT_NEAR(vars[0].value, c.value, 1e-9) << c.var.source << " " << c.var.index << " " << c.var.unit;
    }
    p.pointEnabled = {0, 0, 0};
    ConditionVariableList none{{"p1", "pa", 4, "bar", "p", 7}};
    UpdateConditionValues(none, p);
    EXPECT_EQ(none[0].value, 7);
}

}  // namespace
}  // namespace tarvik
