// Aerodynamic valve noise after IEC 60534-8-3:2000. The log labels carry the equation numbers of
// the standard; FL is replaced throughout by FLP/Fp of the valve with its fittings.
#include <cmath>
#include <string_view>

#include "calc/liquid_sizing.hpp"
#include "calc/noise.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

constexpr double kN14 = 0.0049;          // jet diameter coefficient for Kv
constexpr double kR = 8314;              // J/(kmol K)
constexpr double kPs = 101325;           // standard atmospheric pressure, Pa
constexpr double kPi = 3.14159265358979;  // the value the published results were computed with
constexpr double kWallSound = 5000;      // speed of sound in the steel pipe wall, m/s
constexpr double kAirSound = 343;        // reference speed of sound in air, m/s
constexpr double kAirImpedance = 415;
constexpr double kTwoThirds = 2.0 / 3.0;

struct Log {
    CalcLog* log;
    const RunTexts& texts;
    void operator()(std::string_view label, double value, int precision = 0,
                    std::string_view suffix = "") const {
        if (log) log->Line(label, value, precision, suffix);
    }
    void Text(std::string_view text) const {
        if (log) log->Write(text);
    }
    // A heading of the caller's language; fetched only when there is a log to take it.
    void Heading(int number) const {
        if (log) log->Write(texts.Text(number));
    }
};

}  // namespace

NoiseResult CalcAerodynamicNoise(const AerodynamicNoiseInput& in, CalcLog* log, const RunTexts& texts,
                                 std::string& warning, int point, ResultMarks& marks) {
    NoiseResult out;
    const Log put{log, texts};

    const double p1 = in.p1 * 1e6, p2 = in.p2 * 1e6, pa = in.pa * 1e6;
    const double D1 = in.D1 / 1000, D2 = in.D2 / 1000, d = in.d / 1000, D = in.D / 1000;
    const double tp = in.tp / 1000;
    const double g = in.gama;

    put.Heading(63046);
    put("p1 = ", p1, 0, " Pa");
    put("p2 = ", p2, 0, " Pa");
    put("gama = ", g);
    put("Q0 = ", in.Q0, 0, " Nm3/hod.");
    put("W = ", in.W, 0, " kg/hod.");
    put("M = ", in.M, 3);
    put("T1 = ", in.T1, 3, " °K");
    put("Fl = ", in.Fl);
    put("Fd = ", in.Fd);
    put("D1 = ", D1, 0, " m");
    put("D2 = ", D2, 0, " m");
    put("d = ", d, 0, " m");
    put("D = ", D, 0, " m");
    put("pa = ", pa, 0, " Pa");
    put("Kv = ", in.Kv);
    put("ro1 = ", in.ro1);
    put("rw = ", in.rw);
    put("FLn = ", in.FLn);
    put("tp = ", tp, 0, " m");
    put("dLn = ", in.dLn, 0, " dB");

    // A negative diameter is as unusable as a missing one.
    if (!(in.D1 > 0 && in.D2 > 0 && in.d > 0 && in.D > 0)) {
        put.Text("\nD = 0 tudíž konec výpočtu\n");
        AddWarning(ResultField::None, point, texts.Text(63082), warning, marks);
        return out;
    }

    // Exactly one of W and Q0 describes the flow; anything else is no flow at all.
    double m = 0;
    if (in.W > 0 && in.Q0 == 0)
        m = in.W / 3600;
    else if (in.Q0 > 0 && in.W == 0)
        m = in.Q0 * OperatingToNormalDensity(in.T1, in.p1, in.ro1) / 3600;
    put("m = ", m, 0, " kg/s");
    put.Heading(63045);

    const double F = FLP(in.d, in.D1, in.Fl, in.Kv) / Fp(in.d, in.D1, in.D2, in.Kv);
    const double F2 = F * F;
    put("Flp/Fp = ", F);

    const double e = g / (g - 1);      // exponent of the isentropic pressure ratio
    const double ei = (g - 1) / g;
    const double pvc = p1 - (p1 - p2) / F2;
    const double pvcc = p1 * std::pow(2 / (g + 1), e);
    const double p2c = p1 - F2 * (p1 - pvcc);
    const double alfa = pvcc / p2c;
    const double p2b = (p1 / alfa) * std::pow(1 / g, e);
    const double p2ce = p1 / (22 * alfa);
    put("pvc (1) = ", pvc);
    put("pvcc (2) = ", pvcc);
    put("p2c (3) = ", p2c);
    put("alfa (4) = ", alfa);
    put("p2b (5) = ", p2b);
    put("p2ce (6) = ", p2ce);

    double Dj, trim;
    if (in.FLn != 0) {
        Dj = kN14 * in.Fd * std::sqrt(in.Kv * in.FLn);
        trim = in.dLn;
        put("Dj (45) = ", Dj);
    } else {
        Dj = kN14 * in.Fd * std::sqrt(in.Kv * F);
        trim = 0;
        put("Dj (8) = ", Dj);
    }

    // The regime blocks are tested one after another; a later block that applies overwrites.
    double Wa = 0, fp = 0;
    if (p2 >= p2c) {
        const double ratio = std::pow(pvc / p1, ei);
        const double Uvc = std::sqrt((2 * g / (g - 1)) * (1 - ratio) * p1 / in.ro1);
        const double Wm = m * Uvc * Uvc / 2;
        const double Tvc = in.T1 * ratio;
        const double cvc = std::sqrt(g * kR * Tvc / in.M);
        const double Mvc = Uvc / cvc;
        const double eta1 = 1e-4 * std::pow(Mvc, 3.6);
        Wa = eta1 * in.rw * Wm * F2;
        fp = 0.2 * Uvc / Dj;
        out.noiseRegime = "I";
        put("Uvc (9) = ", Uvc);
        put("Wm (10) = ", Wm);
        put("Tvc (11) = ", Tvc);
        put("cvc (12) = ", cvc);
        put("Mvc (13) = ", Mvc);
        put("eta1 (14) = ", eta1);
        put("Wa (15) = ", Wa);
        put("fp (17) = ", fp);
    }
    // Needed by regimes II to V even when odd pressure ratios let one of them apply with
    // p2 >= p2c; logged only in the critical case proper.
    const double Tvcc = 2 * in.T1 / (g + 1);
    const double cvcc = std::sqrt(g * kR * Tvcc / in.M);
    const double Wms = m * cvcc * cvcc / 2;
    const double Mj = std::sqrt((2 / (g - 1)) * (std::pow(p1 / (alfa * p2), ei) - 1));
    if (p2 < p2c) {
        put("Tvcc (18) = ", Tvcc);
        put("cvcc (19) = ", cvcc);
        put("Wms (20) = ", Wms);
        put("Mj (21) = ", Mj);
    }
    if (pvcc <= p2 && p2 < p2c) {
        const double eta2 = 1e-4 * std::pow(Mj, 6.6 * F2);
        Wa = eta2 * in.rw * Wms * (p1 - p2) / (p1 - pvcc);
        fp = 0.2 * Mj * cvcc / Dj;
        out.noiseRegime = "II";
        put("eta2 (22) = ", eta2);
        put("Wa (23) = ", Wa);
        put("fp (24) = ", fp);
    }
    if (p2b <= p2 && p2 < pvcc) {
        const double eta3 = 1e-4 * std::pow(Mj, 6.6 * F2);
        Wa = eta3 * in.rw * Wms;
        fp = 0.2 * Mj * cvcc / Dj;
        out.noiseRegime = "III";
        put("eta3 (25) = ", eta3);
        put("Wa (26) = ", Wa);
        put("fp (24) = ", fp);
    }
    if (p2ce <= p2 && p2 < p2b) {
        const double eta4 = 1e-4 * (Mj * Mj / 2) * std::pow(std::sqrt(2.0), 6.6 * F2);
        Wa = eta4 * in.rw * Wms;
        fp = 0.35 * cvcc / (1.25 * Dj * std::sqrt(Mj * Mj - 1));
        out.noiseRegime = "IV";
        put("eta4 (27) = ", eta4);
        put("Wa (28) = ", Wa);
        put("fp (29) = ", fp);
    }
    if (p2 < p2ce) {
        const double Mj5 = std::sqrt((2 / (g - 1)) * (std::pow(22.0, ei) - 1));
        const double eta5 = 1e-4 * (Mj5 * Mj5 / 2) * std::pow(std::sqrt(2.0), 6.6 * F2);
        Wa = eta5 * in.rw * Wms;
        fp = 0.35 * cvcc / (1.25 * Dj * std::sqrt(Mj5 * Mj5 - 1));
        out.noiseRegime = "V";
        put("Mj5 (30) = ", Mj5);
        put("eta5 (31) = ", eta5);
        put("Wa (32) = ", Wa);
        put("fp (29) = ", fp);
    }
    if (log) log->Write("režim = " + out.noiseRegime + "\n");

    const double ro2 = in.ro1 * p2 / p1;
    const double c2 = std::sqrt(g * kR * in.T1 / in.M);
    const double Mo = 4 * m / (kPi * D * D * ro2 * c2);
    out.Mo = std::isfinite(Mo) ? Mo : 0;
    put("ro2 (33) = ", ro2);
    put("c2 (34) = ", c2);
    put("Mo (35) = ", Mo);
    if (Mo >= 0.4) AddWarning(ResultField::Velocity, point, texts.Text(63047), warning, marks);

    const double Di = D2;
    const double Lpi = 10 * std::log10(3.2e9 * Wa * ro2 * c2 / (Di * Di));
    const double fr = kWallSound / (kPi * Di);
    const double fo = (fr / 4) * (c2 / kAirSound);
    const double fg = std::sqrt(3.0) * kAirSound * kAirSound / (kPi * tp * kWallSound);
    double Gx, Gy;
    if (fp >= fo) {
        Gx = fp >= fr ? 1 : std::pow(fp / fr, kTwoThirds);
        Gy = fp >= fg ? 1 : fp / fg;
    } else {
        Gx = std::pow(fo / fr, kTwoThirds) * std::pow(fp / fo, 4);
        Gy = fo >= fg ? 1 : fo / fg;
    }
    const double wall = c2 / (tp * fp);
    const double TL = 10 * std::log10(7.6e-7 * wall * wall * Gx / (ro2 * c2 / (kAirImpedance * Gy) + 1) *
                                      pa / kPs);
    const double M2 = 4 * m / (kPi * Di * Di * ro2 * c2);
    put("Lpi (36) = ", Lpi);
    put("Gx = ", Gx);
    put("Gy = ", Gy);
    put("TL (37) = ", TL);
    put("fr (38) = ", fr);
    put("fo (39) = ", fo);
    put("fg (40) = ", fg);
    put("M2 (42) = ", M2);

    if (M2 >= 1) {
        AddWarning(ResultField::None, point, texts.Text(63048), warning, marks);
        return out;
    }
    if (M2 >= 0.4) AddWarning(ResultField::None, point, texts.Text(63048), warning, marks);

    const double Lg = 16 * std::log10(1 / (1 - M2));
    const double LpAe = 5 + Lpi + TL + Lg + trim;
    const double LpAe1m = LpAe - 10 * std::log10((Di + 2 * tp + 2) / (Di + 2 * tp));
    put("Lg (41) = ", Lg);
    put("dLn = ", trim);
    put("LpAe (43) = ", LpAe);
    put("LpAe,1m (44) = ", LpAe1m);
    put("dLi = ", in.dLi, 1, " ");
    put("LpAe,1m-dLi = ", LpAe1m - in.dLi, 0, " ");

    // No flow gives -inf here, degenerate inputs NaN or inf: none of them is a level.
    double level = LpAe1m - in.dLi;
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
