#include "calc/liquid_sizing.hpp"

#include <cmath>
#include <cstdio>


namespace tarvik {
namespace {

constexpr double kN2 = 0.0016;
constexpr double kN4 = 0.0707;
constexpr double kFullTrimLimit = 0.01384;  // Ci/d² above which the trim counts as full size
constexpr double kN32 = 140;
constexpr double kTurbulentReV = 10000;
constexpr double kReVWithoutViscosity = 10000.001;  // no viscosity: take the flow as turbulent
constexpr double kDefaultFf = 0.96;                 // Ff (35) at pv/pc = 0
constexpr int kNonTurbulentPasses = 5;
// The reducer iteration moves Kv by a few percent per pass and meets its 1 % criterion within
// about ten passes; one still going after 50 diverges (Kv outgrows d) and has no better answer.
constexpr int kReducerPasses = 50;

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// d/D, with no pipe (D = 0) meaning a pipe of the valve's own size.
double Beta(double d, double D) { return D > 0 ? d / D : 1.0; }

double Kv1(const LiquidSizingInput& in) {
    return Finite(10 * in.Q * std::sqrt((in.ro1 / 1000 / in.ro0) / (in.p1 - in.p2)));
}
double Kv2(const LiquidSizingInput& in, double fp) {
    return Finite(10 * in.Q / fp * std::sqrt((in.ro1 / 1000 / in.ro0) / (in.p1 - in.p2)));
}
double Kv3(const LiquidSizingInput& in, double Ff) {
    return Finite(10 * in.Q / in.Fl * std::sqrt((in.ro1 / 1000 / in.ro0) / (in.p1 - Ff * in.pv)));
}
double Kv4(const LiquidSizingInput& in, double Ff, double flp) {
    return Finite(in.Q / (0.1 * flp) * std::sqrt(in.ro1 / in.ro0 / 1000 / (in.p1 - Ff * in.pv)));
}
double Kv5(const LiquidSizingInput& in, double fr) {
    if (fr == 0) return 0;
    return Finite(in.Q / (0.1 * fr) * std::sqrt(in.ro1 / (1000 * in.ro0 * (in.p1 - in.p2))));
}

// Ff (35); pv/pc has no meaning for pc <= 0 (or a negative pv), then the value at pv = 0.
double Ff(double pv, double pc, bool& undefined) {
    const double ratio = pv / pc;
    undefined = !(pc > 0) || !(ratio >= 0);
    return undefined ? kDefaultFf : 0.96 - 0.28 * std::sqrt(ratio);
}

void WriteReV(CalcLog& log, double rev, bool turbulent) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "ReV (28) = %.2f", rev);
    log.Write(buf);
    log.Write(turbulent ? "\nTurbulent flow\n" : "\nNon-turbulent flow\n");
}

}  // namespace

double LossSum(double d, double D1, double D2) {
    const double b1 = Beta(d, D1) * Beta(d, D1), b2 = Beta(d, D2) * Beta(d, D2);
    return 0.5 * (1 - b1) * (1 - b1) + (1 - b2) * (1 - b2) + (1 - b1 * b1) - (1 - b2 * b2);
}

double InletLoss(double d, double D1) {
    const double b1 = Beta(d, D1) * Beta(d, D1);
    return 0.5 * (1 - b1) * (1 - b1) + 1 - b1 * b1;
}

double Fp(double d, double D1, double D2, double Ci, bool& outOfRange) {
    outOfRange = false;
    if (!(d > 0)) return 1;
    const double r = Ci / (d * d);
    const double radicand = 1 + LossSum(d, D1, D2) / kN2 * r * r;
    if (!(radicand > 0) || !std::isfinite(radicand)) {
        outOfRange = true;
        return 1;
    }
    return 1 / std::sqrt(radicand);
}

double FLP(double d, double D1, double Fl, double Ci, bool& outOfRange) {
    outOfRange = false;
    if (!(d > 0)) return Fl;
    const double r = Ci / (d * d);
    const double radicand = 1 + Fl * Fl / kN2 * InletLoss(d, D1) * r * r;
    if (!(radicand > 0) || !std::isfinite(radicand)) {
        outOfRange = true;
        return Fl;
    }
    return Fl / std::sqrt(radicand);
}

double Fp(double d, double D1, double D2, double Ci) {
    bool outOfRange;
    return Fp(d, D1, D2, Ci, outOfRange);
}

double FLP(double d, double D1, double Fl, double Ci) {
    bool outOfRange;
    return FLP(d, D1, Fl, Ci, outOfRange);
}

double ReV(double Q, double Fd, double Fl, double Ci, double ny, double D1) {
    if (!(ny > 0) || !(Ci * Fl > 0)) return 0;
    const double pipe = D1 > 0 ? Fl * Fl * Ci * Ci / (kN2 * D1 * D1 * D1 * D1) : 0;
    return Finite(kN4 * Fd * Q / (std::sqrt(Ci * Fl) * ny) * std::pow(pipe + 1, 0.25));
}

ReynoldsFactor FR(double Ci, double d, double Fl, double rev) {
    ReynoldsFactor f;
    const double r = Ci / (d * d);
    const bool fullTrim = r > kFullTrimLimit;
    f.n = Finite(fullTrim ? kN2 / (r * r) : 1 + kN32 * std::pow(r, 2.0 / 3.0));
    f.nLabel = fullTrim ? "n1 (30a) = " : "n2 (32a) = ";
    // Laminar (31)/(33) against transitional (30)/(32); the laminar one wins a tie. A
    // transitional factor of 0 or below (large Ci/d², small ReV) means the flow is laminar: the
    // smaller of the two would otherwise give a negative Kv.
    const double laminar = Finite(0.026 / Fl * std::sqrt(f.n * rev));
    f.FR = laminar;
    f.frLabel = fullTrim ? "Fr (31) = " : "Fr (33) = ";
    if (rev >= 10) {
        const double transitional =
            Finite(1 + 0.33 * std::sqrt(Fl) / std::pow(f.n, 0.25) * std::log10(rev / kTurbulentReV));
        if (transitional > 0 && transitional < laminar) {
            f.FR = transitional;
            f.frLabel = fullTrim ? "Fr (30) = " : "Fr (32) = ";
        }
    }
    if (f.FR > 1) f.FR = 1;
    return f;
}

double SizeLiquid(const LiquidSizingInput& in, CalcLog* log, const RunTexts& texts) {
    if (in.p1 == in.p2 || in.Fl == 0) return 0;
    if (log) {
        log->Write(texts.Text(63044));
        log->Line("p1 = ", in.p1);
        log->Line("p2 = ", in.p2);
        log->Line("pv = ", in.pv);
        log->Line("pc = ", in.pc);
        log->Line("Q = ", in.Q);
        log->Line("ro1 = ", in.ro1, 3);
        log->Line("ro0 = ", in.ro0, 3);
        log->Line("Fl = ", in.Fl);
        log->Line("Fd = ", in.Fd);
        log->Line("D1 = ", in.D1);
        log->Line("D2 = ", in.D2);
        log->Line("d = ", in.d);
        log->Line("ny = ", in.ny);
        log->Line("Kvs = ", in.Kvs);
    }

    bool ffUndefined = false;
    const double ff = Ff(in.pv, in.pc, ffUndefined);
    const double dp = in.p1 - in.p2;
    const double dpMax = in.Fl * in.Fl * (in.p1 - ff * in.pv);
    const bool choked = dp >= dpMax;
    double Kv = choked ? Kv3(in, ff) : Kv1(in);
    if (log) {
        log->Write(texts.Text(63045));
        if (ffUndefined) log->Write("Ff (35): pv/pc undefined (pc <= 0), Ff = 0.96\n");
        log->Line("Ff (35) = ", ff);
        log->Line("p1-p2 = ", dp);
        log->Line("Fl*Fl*(p1-Ff*pv) = ", dpMax);
        log->Write(choked ? "Chocked Flow\n" : "Normal Flow\n");
        log->Line(choked ? "Kv (3) = " : "Kv (1) = ", Kv, 0, "\n");
    }
    if (!(in.D1 > 0) || !(in.d > 0)) return Kv;
    if (!(Kv > 0)) return Kv;  // nothing to correct

    const double rev = in.ny > 0 ? ReV(in.Q, in.Fd, in.Fl, Kv, in.ny, in.D1) : kReVWithoutViscosity;
    const bool turbulent = rev > kTurbulentReV;
    if (log) WriteReV(*log, rev, turbulent);

    if (turbulent) {
        if (in.d == in.D1 && in.d == in.D2) {
            if (log) log->Line("Kv = ", Kv);
            return Kv;
        }
        if (log) log->Line("eps (21) = ", LossSum(in.d, in.D1, in.D2));
        for (int pass = 1;; ++pass) {
            const double Ci = Kv;
            bool fpOut = false, flpOut = false;
            const double fp = Fp(in.d, in.D1, in.D2, Ci, fpOut);
            const double flp = FLP(in.d, in.D1, in.Fl, Ci, flpOut);
            const double limit = (flp / fp) * (flp / fp) * (in.p1 - ff * in.pv);
            const bool chokedHere = dp >= limit;
            Kv = chokedHere ? Kv4(in, ff, flp) : Kv2(in, fp);
            if (log) {
                log->Line("Ci = ", Ci);
                if (fpOut) log->Write("Fp (20): 1+eps/N2*pow(Ci/d/d,2) <= 0, Fp = 1\n");
                log->Line("Fp (20) = ", fp);
                if (flpOut) log->Write("Flp (34): 1+Fl*Fl/N2*(K1+KB1)*pow(Ci/d/d,2) <= 0, Flp = Fl\n");
                log->Line("Flp (34) = ", flp);
                log->Line("p1-p2 = ", dp);
                log->Line("pow(Flp/Fp,2.0)*(p1-Ff*pv) = ", limit);
                log->Line(chokedHere ? "Kv (4) = " : "Kv (2) = ", Kv);
            }
            if (Ci / Kv >= 0.99 || in.Kvs < 0 || (in.Kvs > 0 && 2 * in.Kvs <= Kv)) break;
            if (pass == kReducerPasses) {
                if (log) log->Write("Fp iteration stopped after 50 passes without convergence\n");
                break;
            }
        }
    } else {
        double Ci = Kv;
        for (int n = 1;; ++n) {
            Ci = 1.3 * Ci;
            const double r = ReV(in.Q, in.Fd, in.Fl, Ci, in.ny, in.D1);
            const ReynoldsFactor f = FR(Ci, in.d, in.Fl, r);
            Kv = Kv5(in, f.FR);
            if (log) {
                log->Line("Ci (26) = ", Ci);
                log->Line("ReV (28) = ", r);
                log->Line(f.nLabel, f.n);
                log->Line(f.frLabel, f.FR);
                log->Line("Kv (5) = ", Kv);
            }
            // FR is never negative; FR = 0 gives Kv = 0, and 0/0 > Ci fails: stop without dividing.
            const bool goOn = f.FR > 0 && Kv / f.FR > Ci && n < kNonTurbulentPasses &&
                              (in.Kvs == 0 || (in.Kvs > 0 && 2 * in.Kvs > Kv));
            if (!goOn) break;
        }
    }
    if (log) log->Line("Kv = ", Kv);
    return Finite(Kv);
}

}  // namespace tarvik
