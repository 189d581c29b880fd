#pragma once
// One valve of a loaded valve series as the calculation uses it: rated and minimum Kv, the
// characteristic and the 11-entry tables (entry k belongs to k x 10 % travel; the dLn tables
// to the pressure ratio k/10).
#include <array>

namespace tarvik {

using CoefficientTable = std::array<double, 11>;

// The characteristic as stored in files (valve series, projects).
enum CharacteristicCode { kCharLinear = 0, kCharEqualPercentage = 1, kCharTable = 2, kCharOnOff = 3 };

// The characteristic as the calculation uses it; Unknown = none chosen.
enum class Characteristic { Unknown, Linear, EqualPercentage, Table, OnOff };

// 0 linear, 1 equal percentage, 2 table, 3 on-off; anything else Unknown.
Characteristic CharacteristicFromCode(int code);
// The stored code of a characteristic, -1 for Unknown.
int CharacteristicToCode(Characteristic c);

// Indices of CatalogueValve::tableFlags.
enum TableFlag { kFlagFL = 0, kFlagXT = 1, kFlagFd = 2, kFlagXFz = 3, kFlagDLnLiquid = 4, kFlagDLnGas = 5 };

struct CatalogueValve {
    int characteristic = kCharLinear;  // CharacteristicCode
    double Kvs = 0;
    double minKv = 0;
    CoefficientTable FL{}, xT{}, Fd{}, xFz{}, Kv{}, dLnLiquid{}, dLnGas{};
    double nyF = 1e-8;  // acoustic efficiency factor for liquids
    double dLF = 0;     // liquid noise correction, dB
    // Non-zero: the table gives 11 values over the opening; zero: two-point mode.
    std::array<int, 6> tableFlags{};
};

}  // namespace tarvik
