#pragma once
// Valve noise: aerodynamic (IEC 60534-8-3, gas and steam) and hydrodynamic (IEC 60534-8-4,
// liquids). Inputs in the internal units of the run; the routines convert what they need.
#include <string>

#include "calc/calc_log.hpp"
#include "calc/flow_regime.hpp"
#include "calc/run_texts.hpp"
#include "calc/warnings.hpp"

namespace tarvik {

struct NoiseResult {
    double noise = 0;    // LpAe,1m in dB(A); never NaN or infinity
    FlowRegime regime = FlowRegime::None;  // hydrodynamic noise
    std::string noiseRegime;  // aerodynamic noise: "I" to "V", "" when none applies
    double Mo = 0;       // Mach number at the valve outlet (aerodynamic only)
};

// Arguments in the order the run passes them.
struct AerodynamicNoiseInput {
    double p1 = 0, p2 = 0, gama = 0, Q0 = 0, W = 0, M = 0, T1 = 0, Fl = 0, Fd = 0;
    double D1 = 0, D2 = 0, dLn = 0, dLi = 0, d = 0, D = 0;
    double pa = 0;     // atmospheric pressure of the document, MPa
    double Kv = 0, ro1 = 0, FLn = 0, rw = 0;
    double tp = 0;     // outlet pipe wall thickness, mm
};

struct HydrodynamicNoiseInput {
    double p1 = 0, p2 = 0, pv = 0, T1 = 0, xFz = 0, xFzfi = 0, nyF = 0, dLF = 0, dLi = 0;
    double h = 0;      // travel 0..1
    double Fl = 0, Q = 0, pc = 0, cF = 0;
    double tp = 0;     // outlet pipe wall thickness, mm
    double D2 = 0, ro1 = 0, FLn = 0, dLn = 0;
};

// `warning` is the point's message text; marks go to `marks` for operating point `point`. `texts`
// gives the warnings and the log's headings.
NoiseResult CalcAerodynamicNoise(const AerodynamicNoiseInput& in, CalcLog* log, const RunTexts& texts,
                                 std::string& warning, int point, ResultMarks& marks);
NoiseResult CalcHydrodynamicNoise(const HydrodynamicNoiseInput& in, CalcLog* log, const RunTexts& texts,
                                  std::string& warning, int point, ResultMarks& marks, bool catalogueValve,
                                  bool admin);

}  // namespace tarvik
