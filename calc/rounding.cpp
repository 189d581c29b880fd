#include "calc/rounding.hpp"

#include <cmath>

namespace tarvik {

double RoundValue(double x, int decimals, int digits) {
    if (x == 0.0 || !std::isfinite(x)) return 0.0;
    const double s = x < 0 ? -1.0 : 1.0;
    const double e = std::fabs(x);
    if (decimals < 0 || digits != -1) {
        const int r = static_cast<int>(std::floor(std::log10(e))) + 1;
        const double scale = std::pow(10.0, digits - r);
        return s * std::floor(e * scale + 0.5) / scale;
    }
    const double scale = std::pow(10.0, decimals);
    return s * std::floor(e * scale + 0.5) / scale;
}

}  // namespace tarvik
