#pragma once
// Relative travel on the valve's inherent characteristic, and coefficients that depend on it.
#include <string>

#include "calc/catalogue_valve.hpp"

namespace tarvik {

enum class Characteristic { Unknown, Linear, EqualPercentage, Table, OnOff };

// Compares the name with the language texts 63059 (linear), 63060 (equal percentage),
// 63061 (table of the catalogue valve) and 63102 (on-off); anything else is Unknown.
Characteristic CharacteristicFromName(const std::string& name);
// 0 linear, 1 equal percentage, 2 table, 3 on-off; anything else Unknown.
Characteristic CharacteristicFromCode(int code);
// The language text that names the characteristic ("" for Unknown).
std::string CharacteristicName(Characteristic c);

// h in 0..1 (never negative); 0 for on-off and Unknown.
double TravelFromKv(double Kv, double Kvs, Characteristic c, const CoefficientTable& kvTable);

// The coefficient of table t at the travel Kv needs; tableMode false = two-point mode
// (t[0] at 0 %, t[10] at 75 % travel, extrapolated beyond).
double CoefficientAtTravel(const CoefficientTable& t, double Kv, double Kvs, bool tableMode,
                           Characteristic c, const CoefficientTable& kvTable);

}  // namespace tarvik
