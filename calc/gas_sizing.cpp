#include "calc/gas_sizing.hpp"

#include <cmath>
#include <cstdio>

#include "calc/liquid_sizing.hpp"

namespace tarvik {
namespace {

constexpr double kN6 = 3.16;
constexpr double kN8 = 1.1;
constexpr double kN9 = 24.6;  // normal state 0 °C
constexpr double kN22 = 17.3;
constexpr double kN27 = 0.775;
constexpr double kN5 = 0.0018;
constexpr double kChokedY = 0.667;
constexpr double kGammaAir = 1.4;
constexpr double kR = 8314.46;  // J/(kmol K)
constexpr double kTurbulentReV = 10000;
constexpr double kReVWithoutViscosity = 10000.001;
constexpr int kNonTurbulentPasses = 5;
constexpr int kReducerPasses = 50;  // as for liquids: convergent cases need about ten

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

enum Form { kQ0, kDensity, kMolarMass, kNone };

// Labels by [choked][with Fp][form].
constexpr const char* kLabels[2][2][3] = {
    {{"Kv (8) = ", "Kv (6) = ", "Kv (7) = "}, {"C (11) = ", "C (9) = ", "C (10) = "}},
    {{"Kv (14) = ", "Kv (12) = ", "Kv (13) = "}, {"C (17) = ", "C (15) = ", "C (16) = "}},
};

class GasKv {
public:
    GasKv(const GasSizingInput& in, CalcLog* log) : in_(in), log_(log) {
        if (in.Q0 != 0)
            form_ = kQ0;
        else if (in.W != 0 && in.rho1 > 0)
            form_ = kDensity;
        else if (in.W != 0 && in.Z > 0 && in.M > 0)
            form_ = kMolarMass;
    }

    Form form() const { return form_; }

    // Kv of (6) to (17); fp = 1 without fittings. With choked flow xt is Fγ·xT (or Fγ·xTP).
    double Compute(bool choked, bool fittings, double fp, double Y, double x, double fxt) {
        label_ = form_ == kNone ? "Kv = " : kLabels[choked][fittings][form_];
        const double p = 1000 * in_.p1;
        double kv = 0;
        switch (form_) {
        case kQ0:
            kv = choked ? in_.Q0 / (kChokedY * kN9 * p * fp) * std::sqrt(M() * in_.T1 * in_.Z / fxt)
                        : in_.Q0 / (kN9 * p * Y * fp) * std::sqrt(M() * in_.T1 * in_.Z / x);
            break;
        case kDensity:
            kv = choked ? in_.W / (kChokedY * kN6 * fp * std::sqrt(fxt * p * in_.rho1))
                        : in_.W / (kN6 * fp * Y * std::sqrt(x * p * in_.rho1));
            break;
        case kMolarMass:
            kv = choked ? in_.W / (kChokedY * kN8 * p * fp) * std::sqrt(in_.T1 * in_.Z / (fxt * in_.M))
                        : in_.W / (kN8 * p * Y * fp) * std::sqrt(in_.T1 * in_.Z / (x * in_.M));
            break;
        case kNone:
            break;
        }
        return Finite(kv);
    }

    // (19) or (18), the non-turbulent forms.
    double NonTurbulent(double fr) {
        const double dp2 = (in_.p1 - in_.p2) * (in_.p1 + in_.p2);
        double kv = 0;
        if (in_.Q0 != 0) {
            label_ = "C (19) = ";
            if (fr != 0) kv = in_.Q0 / (kN22 * fr) * std::sqrt(M() * in_.T1 / dp2) / 1000;
        } else {
            label_ = "C (18) = ";
            const double m = M();
            if (fr != 0 && m > 0) kv = in_.W / (kN27 * fr) * std::sqrt(in_.T1 / (dp2 * m)) / 1000;
        }
        return Finite(kv);
    }

    const char* label() const { return label_; }

    // Operating density: as given, or from the molar mass by the gas law.
    double Density() const {
        if (in_.rho1 > 0) return in_.rho1;
        const double rho = in_.M * in_.p1 * 1e6 / (in_.Z * kR * in_.T1);
        return std::isfinite(rho) && rho > 0 ? rho : 0;
    }

private:
    // Molar mass as given; a density alone gives it by the gas law, said once in the log.
    double M() {
        if (in_.M > 0) return in_.M;
        if (!derived_) {
            derived_ = true;
            const double m = in_.rho1 * in_.Z * kR * in_.T1 / (in_.p1 * 1e6);
            derivedM_ = std::isfinite(m) && m > 0 ? m : 0;
            if (log_) {
                if (derivedM_ > 0)
                    log_->Line("M = rho1*Z*8314.46*T1/p1 = ", derivedM_, 3);
                else
                    log_->Write("M = 0: no molar mass and none from rho1, Z, T1\n");
            }
        }
        return derivedM_;
    }

    const GasSizingInput& in_;
    CalcLog* log_;
    Form form_ = kNone;
    const char* label_ = "Kv = ";
    bool derived_ = false;
    double derivedM_ = 0;
};

}  // namespace

double SizeGas(const GasSizingInput& in, CalcLog* log, const RunTexts& texts, FlowRegime& regime) {
    if (in.p1 == in.p2 || in.Fl == 0 || in.p1 == 0 || in.xT == 0 || !(in.gama > 0)) return 0;

    const double fgamma = in.gama / kGammaAir;
    const double x = (in.p1 - in.p2) / in.p1;
    const double fxt = fgamma * in.xT;
    const double Y = 1 - x / (3 * fxt);
    const bool choked = x >= fxt;
    regime = choked ? FlowRegime::Choked : FlowRegime::Turbulent;

    if (log) {
        log->Write(texts.Text(63044));
        log->Line("p1 = ", in.p1);
        log->Line("p2 = ", in.p2);
        log->Line("rho1 = ", in.rho1);
        log->Line("Z = ", in.Z);
        log->Line("gama = ", in.gama);
        log->Line("Q = ", in.Q0);
        log->Line("W = ", in.W);
        log->Line("M = ", in.M, 3);
        log->Line("T1 = ", in.T1, 3);
        log->Line("Fl = ", in.Fl);
        log->Line("Fd = ", in.Fd);
        log->Line("xT = ", in.xT);
        log->Line("D1 = ", in.D1);
        log->Line("D2 = ", in.D2);
        log->Line("d = ", in.d);
        log->Line("ny = ", in.ny);
        log->Line("Kvs = ", in.Kvs);
        log->Write(texts.Text(63045));
        log->Line("Fgama (38) = ", fgamma);
        log->Line("(p1-p2)/p1 = ", x);
        log->Line("Fgama*xT = ", fxt);
        log->Line("Y (36) = ", Y);
    }
    GasKv gas(in, log);
    double Kv = gas.Compute(choked, false, 1, Y, x, fxt);
    if (log) {
        log->Write(choked ? "Chocked Flow\n" : "Normal Flow\n");
        log->Line(gas.label(), Kv, 0, "\n");
    }
    if (!(in.D1 > 0) || !(in.d > 0)) return Kv;
    if (!(Kv > 0)) return Kv;  // nothing to correct

    // The Reynolds number takes the normal flow as it stands, a mass flow as actual volume. A
    // mass flow with the molar mass but no density takes the density by the gas law (W/rho1
    // would divide by zero), said in the log as the derived molar mass is.
    const double density = in.Q0 != 0 ? 0 : gas.Density();
    if (log && in.Q0 == 0 && !(in.rho1 > 0)) {
        if (density > 0)
            log->Line("rho1 = M*p1/(Z*8314.46*T1) = ", density, 3);
        else
            log->Write("rho1 = 0: no density and none from M, Z, T1\n");
    }
    const double flow = in.Q0 != 0 ? in.Q0 : in.W / density;
    const double rev = in.ny > 0 && std::isfinite(flow) ? ReV(flow, in.Fd, in.Fl, Kv, in.ny, in.D1)
                                                         : kReVWithoutViscosity;
    const bool turbulent = rev > kTurbulentReV;
    if (log) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "ReV (28) =%.2f", rev);
        log->Write(buf);
        log->Write(turbulent ? "\nTurbulent flow\n" : "\nNon-turbulent flow\n");
    }

    if (turbulent) {
        if (in.d == in.D1 && in.d == in.D2) {
            if (log) log->Line("Kv = ", Kv);
            return Kv;
        }
        const double inlet = InletLoss(in.d, in.D1);
        for (int pass = 1;; ++pass) {
            const double Ci = Kv;
            bool fpOut = false;
            const double fp = Fp(in.d, in.D1, in.D2, Ci, fpOut);
            const double r = Ci / (in.d * in.d);
            const double denominator = 1 + inlet * in.xT / kN5 * r * r;
            const bool xtpOut = !(denominator > 0) || !std::isfinite(denominator);
            // (37) breaks down like (20): then the inlet fitting is left out.
            const double xtp = in.xT / (fp * fp) / (xtpOut ? 1 : denominator);
            const double fxtp = fgamma * xtp;
            const bool chokedHere = x >= fxtp;
            Kv = gas.Compute(chokedHere, true, fp, Y, x, fxtp);
            if (log) {
                log->Line("Ci = ", Ci);
                if (fpOut) log->Write("Fp (20): 1+eps/N2*pow(Ci/d/d,2) <= 0, Fp = 1\n");
                log->Line("Fp (20) = ", fp);
                if (xtpOut) log->Write("xTp (37): 1+(K1+KB1)*xT/N5*pow(Ci/d/d,2) <= 0, xTp = xT/Fp/Fp\n");
                log->Line("xTp (37) = ", xtp);
                log->Line("x = ", x);
                log->Line("Fgama*xTp = ", fxtp);
                log->Line(gas.label(), Kv);
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
            const double r = ReV(flow, in.Fd, in.Fl, Ci, in.ny, in.D1);
            const ReynoldsFactor f = FR(Ci, in.d, in.Fl, r);
            Kv = gas.NonTurbulent(f.FR);
            if (log) {
                log->Line("Ci (26) = ", Ci);
                log->Line("ReV (28) = ", r);
                log->Line(f.nLabel, f.n);
                log->Line(f.frLabel, f.FR);
                log->Line(gas.label(), Kv);
            }
            const bool goOn = f.FR > 0 && Kv / f.FR > Ci && n < kNonTurbulentPasses &&
                              (in.Kvs == 0 || (in.Kvs > 0 && 2 * in.Kvs > Kv));
            if (!goOn) break;
        }
    }
    if (log) log->Line("Kv = ", Kv);
    return Finite(Kv);
}

}  // namespace tarvik
