#include "calc/water_viscosity.hpp"

#include <cmath>

namespace tarvik {
namespace {

constexpr double kTStar = 647.226;     // K
constexpr double kRhoStar = 317.763;   // kg/m3
constexpr double kMuStar = 55.071e-6;  // Pa s

// Dilute-gas part: H_0 .. H_3.
constexpr double kH[4] = {1.000000, 0.978197, 0.579829, -0.202354};

// Finite-density part: H_ij, row i = power of (1/Tr - 1), column j = power of (rhor - 1).
constexpr double kHij[6][7] = {
    {0.5132047, 0.2151778, -0.2818107, 0.1778064, -0.0417661, 0.0, 0.0},
    {0.3205656, 0.7317883, -1.070786, 0.4605040, 0.0, -0.01578386, 0.0},
    {0.0, 1.241044, -1.263184, 0.2340379, 0.0, 0.0, 0.0},
    {0.0, 1.476783, 0.0, -0.4924179, 0.1600435, 0.0, -0.003629481},
    {-0.7782567, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
    {0.1885447, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
};

// invTr = 1 / Tr, shared by both parts: divisions are the slow steps here.
double Mu0(double Tr, double invTr) {
    const double sum = kH[0] + kH[1] * invTr + kH[2] * (invTr * invTr) + kH[3] * (invTr * invTr * invTr);
    return std::sqrt(Tr) / sum;
}

double Mu1(double invTr, double rhor) {
    const double x = invTr - 1.0;
    const double y = rhor - 1.0;
    double sum = 0.0;
    double xi = 1.0;
    for (const auto& row : kHij) {
        double inner = 0.0;
        double yj = 1.0;
        for (double h : row) {
            if (h != 0.0) inner += h * yj;
            yj *= y;
        }
        sum += xi * inner;
        xi *= x;
    }
    return std::exp(rhor * sum);
}

}  // namespace

double ViscosityIapws85(double T, double rho) {
    if (!(T > 0.0) || !(rho > 0.0)) return 0.0;
    const double Tr = T / kTStar;
    const double rhor = rho / kRhoStar;
    const double invTr = 1.0 / Tr;
    const double mu = kMuStar * Mu0(Tr, invTr) * Mu1(invTr, rhor);
    return std::isfinite(mu) ? mu : 0.0;
}

}  // namespace tarvik
