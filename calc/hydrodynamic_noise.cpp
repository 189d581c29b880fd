// Hydrodynamic valve noise after IEC 60534-8-4:1994, with the pipe transmission loss taken band by
// band over five octaves and A-weighted before summing.
#include <cmath>
#include <string_view>

#include "calc/noise.hpp"

namespace tarvik {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kWallSound = 5180;   // speed of sound in the pipe wall cs, m/s
constexpr double kWallDensity = 7850; // density of the pipe wall, kg/m3
constexpr double kPipeLength = 3;     // pipe length taken into account, m
constexpr double kDistance = 1;       // measuring distance, m
constexpr int kBands = 5;
constexpr double kBandFrequency[kBands] = {500, 1000, 2000, 4000, 8000};
constexpr double kAWeighting[kBands] = {-3.2, 0, 1.2, 1.0, -1.1};
constexpr std::string_view kLWiLabel[kBands] = {"LWi500 = ", "LWi1000 = ", "LWi2000 = ", "LWi4000 = ",
                                                "LWi8000 = "};
constexpr std::string_view kTLLabel[kBands] = {"TL500 = ", "TL1000 = ", "TL2000 = ", "TL4000 = ",
                                               "TL8000 = "};
constexpr std::string_view kLWeLabel[kBands] = {"LWe500 = ", "LWe1000 = ", "LWe2000 = ", "LWe4000 = ",
                                                "LWe8000 = "};

struct Log {
    CalcLog* log;
    void operator()(std::string_view label, double value, int precision = 0,
                    std::string_view suffix = "") const {
        if (log) log->Line(label, value, precision, suffix);
    }
    void Text(std::string_view text) const {
        if (log) log->Write(text);
    }
};

}  // namespace

NoiseResult CalcHydrodynamicNoise(const HydrodynamicNoiseInput& in, CalcLog* log, const RunTexts& texts,
                                  std::string& warning, int point, ResultMarks& marks, bool catalogueValve,
                                  bool admin) {
    NoiseResult out;
    const Log put{log};

    const double p1 = in.p1 * 1e6, p2 = in.p2 * 1e6, pv = in.pv * 1e6, pc = in.pc * 1e6;
    const double t = in.tp / 1000, d1 = in.D2 / 1000;
    const double d0 = (2 * in.tp + in.D2) / 1000;
    const double roF = in.ro1;
    const double dp = p1 - p2;
    const double m = in.Q * roF / 3600;

    put.Text("*****************\nVýpočet hlučnosti\n*****************\n\nVstupní hodnoty:\n\n");
    put("p1 = ", p1, 0, " Pa");
    put("p2 = ", p2, 0, " Pa");
    put("pv = ", pv, 0, " Pa");
    put("pc = ", pc, 0, " Pa");
    put("d1 = ", d1, 0, " m");
    put("t = ", t, 0, " m");
    put("d0 = ", d0, 0, " m");
    put("roF = ", roF, 0, " kg/m3");
    put("Q = ", in.Q, 0, " m3/h");
    put("m = ", m, 0, " kg/s");
    put("xFz = ", in.xFz, 0, " ");
    put("xFzfi = ", in.xFzfi, 0, " ");
    put("nyF = ", in.nyF, 0, " ");
    put("dLF = ", in.dLF, 0, " ");
    put("fi = ", in.h, 0, " ");
    put("FL = ", in.Fl, 0, " ");
    put("dp = ", dp, 0, " ");
    put("dLn = ", in.dLn, 0, " ");

    const double trim = in.FLn != 0 ? in.dLn : 0;

    if (pv > p2) {
        out.regime = FlowRegime::Flashing;
        put.Text("Flashing \n");
        return out;
    }

    const double xF = dp / (p1 - pv);
    put("xF = ", xF, 0, " ");

    double LWi;
    if (xF >= in.xFz) {
        out.regime = FlowRegime::Cavitation;
        const double Ff = 0.96 - 0.28 * std::sqrt(pv / pc);
        put("Ff = ", Ff);
        const double choked = in.Fl * in.Fl * (p1 - Ff * pv);
        const double dp1 = choked < dp ? choked : dp;
        put("dp1 = ", dp1);
        const double x = xF > 0.95 ? 0.95 : xF;
        LWi = 10 * std::log10(in.nyF) + 120 + 10 * std::log10(m) + 10 * std::log10(dp1) -
              10 * std::log10(roF) + in.dLF +
              180 * std::pow(in.xFzfi, 0.0625) / std::pow(x, in.xFzfi) * std::pow(1 - x, 0.8) *
                  std::log10((1 - in.xFzfi) / (1 - x)) +
              trim;
    } else {
        out.regime = FlowRegime::Turbulent;
        LWi = 10 * std::log10(in.nyF) + 120 + 10 * std::log10(m) + 10 * std::log10(dp) -
              10 * std::log10(roF);
    }
    if (log) log->Write(FlowRegimeText(out.regime, texts) + " \n");

    if (!catalogueValve && !admin) return out;
    // Negative dimensions are as unusable as missing ones.
    if (!(d1 > 0 && d0 > 0 && t > 0)) {
        AddWarning(ResultField::None, point, texts.Text(63082), warning, marks);
        return out;
    }
    if (!(in.cF > 0)) {
        AddWarning(ResultField::None, point, texts.Text(63083), warning, marks);
        return out;
    }
    put("LWi = ", LWi);

    double LWif[kBands], TL[kBands], LWe[kBands];
    for (int i = 0; i < kBands; ++i) {
        LWif[i] = LWi - 10 * std::log10(kBandFrequency[i] / 500) - 2.9;
        put(kLWiLabel[i], LWif[i]);
    }
    const double fr = kWallSound / (kPi * d0);
    put("fr = ", fr);
    const double wall = 10 * std::log10(kWallSound * kWallDensity * t / (in.cF * roF * d0));
    for (int i = 0; i < kBands; ++i) {
        const double f = kBandFrequency[i];
        TL[i] = 10 + wall + 20 * std::log10(fr / f + std::pow(f / fr, 1.5));
        put(kTLLabel[i], TL[i]);
    }
    double sum = 0;
    for (int i = 0; i < kBands; ++i) {
        LWe[i] = LWif[i] - TL[i] - 17.37 * kPipeLength / (2 * d0) * std::pow(10.0, -TL[i] / 10) +
                 10 * std::log10(4 * kPipeLength / d0) + kAWeighting[i];
        put(kLWeLabel[i], LWe[i]);
        sum += std::pow(10.0, 0.1 * LWe[i]);
    }
    const double LWAe = 10 * std::log10(sum);
    put("LWAe (10) = ", LWAe);
    const double LpAe = LWAe - 10 * std::log10((kPi * kPipeLength / kDistance) * (d1 / d0 + 1));
    put("LpAe (11) = ", LpAe);
    put("dLi = ", in.dLi, 1);
    put("LpAe-dLi = ", LpAe - in.dLi);

    // No flow or no pressure drop gives -inf, degenerate properties NaN: none of them is a level.
    double level = LpAe - in.dLi;
    if (!std::isfinite(level) || level < 0) level = 0;
    out.noise = level;

    if (level > 85) {
        if (in.FLn == 0)
            AddWarning(ResultField::Noise, point, texts.Text(63049), warning, marks);
        else if (in.FLn > 0)
            AddWarning(ResultField::Noise, point, texts.Text(63050), warning, marks);
    }
    return out;
}

}  // namespace tarvik
