#pragma once

namespace tarvik {

// Rounds half away from zero. With digits != -1 (or decimals < 0) to that many significant
// digits, else to `decimals` decimals. Callers use (-1, 5), (-1, 4) and (3, -1).
double RoundValue(double x, int decimals, int digits);

}  // namespace tarvik
