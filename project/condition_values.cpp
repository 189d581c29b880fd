#include "project/condition_values.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "units/conversions.hpp"

namespace tarvik {
namespace {

struct SourceValue {
    double value;
    std::string unit;
};

std::optional<SourceValue> ValueOf(const ConditionVariable& var, const ValvePosition& p) {
    const int i = var.index;
    if (var.source == "pa" || var.source == "pi") {
        if (i < 0 || i >= kSlotCount) return std::nullopt;
        const bool largest = var.source == "pa";
        std::optional<double> best;
        for (int k = 0; k < kPointCount; ++k) {
            if (!p.pointEnabled[k]) continue;
            const double v = p.values[i][k];
            if (!best || (largest ? v > *best : v < *best)) best = v;
        }
        // No enabled point: the extreme starting value would be no value at all.
        if (!best) return std::nullopt;
        return SourceValue{*best, p.units[i]};
    }
    if (var.source == "v") {
        if (i < 0 || i >= kValveDataCount) return std::nullopt;
        const std::string unit = i == kVdMaxPressure ? p.maxPressureUnit : i == kVdMaxTemperature ? p.maxTemperatureUnit : "";
        return SourceValue{p.valveData[i], unit};
    }
    return std::nullopt;
}

}  // namespace

void UpdateConditionValues(ConditionVariableList& vars, const ValvePosition& p) {
    for (ConditionVariable& var : vars) {
        const auto source = ValueOf(var, p);
        if (!source) continue;
        double v = source->value;
        if (var.kind == "p") {
            v = PressureFromInternal(var.unit, PressureToInternal(source->unit, v));
        } else if (var.kind == "t") {
            v = TemperatureConvert(source->unit, v, var.unit);
        } else if (var.kind == "l") {
            if (var.unit == "m") v *= 0.001;
            else if (var.unit == "km") v *= 0.000001;
        }
        if (std::isfinite(v)) var.value = v;
    }
}

}  // namespace tarvik
