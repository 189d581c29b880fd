#pragma once
// Kv of a control valve for gases and steam (IEC 60534-2-1): expansion factor, choked flow,
// piping geometry factors and the Reynolds-number correction.
#include <string>

#include "calc/calc_log.hpp"
#include "calc/flow_regime.hpp"
#include "calc/run_texts.hpp"

namespace tarvik {

// Internal units: MPa absolute, K, kg/h (W) or Nm3/h (Q0), kg/m3, mm, m2/s.
struct GasSizingInput {
    double p1 = 0, p2 = 0;
    double Z = 0;       // compressibility factor
    double gama = 0;    // ratio of specific heats
    double Q0 = 0;      // normal flow, Nm3/h (exactly one of Q0 and W is non-zero)
    double W = 0;       // mass flow, kg/h
    double M = 0;       // molar mass, kg/kmol
    double T1 = 0;      // inlet temperature, K
    double Fl = 0, Fd = 0;
    double D1 = 0, D2 = 0;
    double ny = 0;
    double rho1 = 0;    // operating density at inlet
    double d = 0;
    double Kvs = 0;
    double xT = 0;
};

// Returns Kv (never NaN or infinity), sets regime to Turbulent or Choked and
// writes the log block when log is not null; `texts` gives its headings.
double SizeGas(const GasSizingInput& in, CalcLog* log, const RunTexts& texts, FlowRegime& regime);

}  // namespace tarvik
