#pragma once
// Kv of a control valve for incompressible fluids (IEC 60534-2-1): choked and non-choked flow,
// piping geometry factors for valves between reducers, Reynolds-number correction.
#include "calc/calc_log.hpp"
#include "calc/run_texts.hpp"

namespace tarvik {

// Internal units: MPa absolute, m3/h, kg/m3, mm, m2/s.
struct LiquidSizingInput {
    double p1 = 0, p2 = 0;  // inlet and outlet pressure
    double pv = 0;          // vapour pressure at inlet temperature
    double pc = 0;          // thermodynamic critical pressure
    double Q = 0;           // volumetric flow
    double ro1 = 0;         // density at inlet
    double ro0 = 1000;      // density of water at 15 °C as the run passes it
    double Fl = 0, Fd = 0;
    double D1 = 0, D2 = 0;  // inside diameters of inlet and outlet pipe, 0 = none
    double ny = 0;          // kinematic viscosity
    double d = 0;           // valve inlet diameter, 0 = not given
    double Kvs = 0;         // rated Kv of the chosen valve, 0 = none
};

// Returns Kv (never NaN or infinity) and writes the log block when log is not null; `texts`
// gives its headings.
double SizeLiquid(const LiquidSizingInput& in, CalcLog* log, const RunTexts& texts);

// Piping geometry factor (20) and combined factor (34); diameters in mm, Ci the trial Kv.
double Fp(double d, double D1, double D2, double Ci);
double FLP(double d, double D1, double Fl, double Ci);
// Valve Reynolds number (28); D1 stands in the fourth-power term. 0 when ny, Ci or Fl is not
// positive.
double ReV(double Q, double Fd, double Fl, double Ci, double ny, double D1);

// Loss coefficients of the reducers: the sum (21) and the inlet part K1 + KB1. A pipe diameter
// of 0 (no pipe) counts as a pipe of the valve's size, i.e. no fitting.
double LossSum(double d, double D1, double D2);
double InletLoss(double d, double D1);

// Fp and FLP with a flag telling that the radicand was not positive (a strong expander gives a
// negative loss sum): the factor is then taken as without fittings (Fp = 1, FLP = Fl).
double Fp(double d, double D1, double D2, double Ci, bool& outOfRange);
double FLP(double d, double D1, double Fl, double Ci, bool& outOfRange);

// Reynolds-number factor FR of the non-turbulent iteration, with the labels of the log.
struct ReynoldsFactor {
    double n = 0;             // n1 (30a) or n2 (32a)
    double FR = 0;            // after the cap at 1
    const char* nLabel = "";  // "n1 (30a) = " or "n2 (32a) = "
    const char* frLabel = ""; // "Fr (30) = " ... "Fr (33) = "
};
ReynoldsFactor FR(double Ci, double d, double Fl, double ReV);

}  // namespace tarvik
