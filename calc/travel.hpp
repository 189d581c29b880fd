#pragma once
// Relative travel on the valve's inherent characteristic, and coefficients that depend on it.
#include "calc/catalogue_valve.hpp"

namespace tarvik {

// h in 0..1 (never negative); 0 for on-off and Unknown.
double TravelFromKv(double Kv, double Kvs, Characteristic c, const CoefficientTable& kvTable);

// The coefficient of table t at the travel Kv needs; tableMode false = two-point mode
// (t[0] at 0 %, t[10] at 75 % travel, extrapolated beyond).
double CoefficientAtTravel(const CoefficientTable& t, double Kv, double Kvs, bool tableMode,
                           Characteristic c, const CoefficientTable& kvTable);

}  // namespace tarvik
