#include "calc/travel.hpp"

#include <cmath>

namespace tarvik {
namespace {

// Kv/Kvs = 50^(h - 1): h = 0 at 2 % of Kvs.
constexpr double kRangeability = 0.02;

bool Finite(const CoefficientTable& t) {
    for (double v : t)
        if (!std::isfinite(v)) return false;
    return true;
}

double TableTravel(double Kv, const CoefficientTable& t) {
    int i = 0;
    while (i < 10 && !(Kv <= t[i])) ++i;
    if (Kv > t[10]) return 1.0;
    // At or below the first entry there is no lower neighbour: the travel is 0.
    if (i == 0) return 0.0;
    if (t[i] == t[i - 1]) return static_cast<double>((2 * i + 1) / 20);
    return ((i - 1) + (Kv - t[i - 1]) / (t[i] - t[i - 1])) * 0.1;
}

}  // namespace

Characteristic CharacteristicFromCode(int code) {
    switch (code) {
        case kCharLinear: return Characteristic::Linear;
        case kCharEqualPercentage: return Characteristic::EqualPercentage;
        case kCharTable: return Characteristic::Table;
        case kCharOnOff: return Characteristic::OnOff;
        default: return Characteristic::Unknown;
    }
}

int CharacteristicToCode(Characteristic c) {
    switch (c) {
        case Characteristic::Linear: return kCharLinear;
        case Characteristic::EqualPercentage: return kCharEqualPercentage;
        case Characteristic::Table: return kCharTable;
        case Characteristic::OnOff: return kCharOnOff;
        case Characteristic::Unknown: break;
    }
    return -1;
}

double TravelFromKv(double Kv, double Kvs, Characteristic c, const CoefficientTable& kvTable) {
    if (!std::isfinite(Kv) || !std::isfinite(Kvs)) return 0.0;
    double h = 0.0;
    switch (c) {
        case Characteristic::Linear:
            h = Kvs != 0.0 ? Kv / Kvs : 0.0;
            break;
        case Characteristic::EqualPercentage:
            h = Kv > 0.0 && Kvs > 0.0 ? std::log(kRangeability * Kvs / Kv) / std::log(kRangeability)
                                      : 0.0;
            break;
        case Characteristic::Table:
            h = Finite(kvTable) ? TableTravel(Kv, kvTable) : 0.0;
            break;
        case Characteristic::OnOff:
        case Characteristic::Unknown:
            h = 0.0;
            break;
    }
    return std::isfinite(h) && h > 0.0 ? h : 0.0;
}

double CoefficientAtTravel(const CoefficientTable& t, double Kv, double Kvs, bool tableMode,
                           Characteristic c, const CoefficientTable& kvTable) {
    // A negative Kvs is as meaningless as none: the coefficient at closed travel.
    if (!(Kvs > 0.0)) return t[0];
    if (Kv > Kvs) return tableMode ? t[10] : t[0] + (t[10] - t[0]) / 0.75;
    const double x = 10.0 * TravelFromKv(Kv, Kvs, c, kvTable);
    if (!tableMode) return t[0] + x / 7.5 * (t[10] - t[0]);
    const int i = static_cast<int>(std::floor(x));
    if (i >= 10) return t[10];
    return t[i] + (x - i) * (t[i + 1] - t[i]);
}

}  // namespace tarvik
