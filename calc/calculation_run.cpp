#include "calc/calculation_run.hpp"

#include <cmath>
#include <string>

#include "calc/gas_sizing.hpp"
#include "calc/liquid_sizing.hpp"
#include "calc/noise.hpp"
#include "calc/rounding.hpp"
#include "calc/steam_tables.hpp"
#include "calc/travel.hpp"
#include "calc/warnings.hpp"
#include "data/text_format.hpp"
#include "units/conversions.hpp"

namespace tarvik {
namespace {

constexpr double kPi = 3.1415926535;

// The run's last guard: a non-finite value is stored as 0, and the log says so.
double Finite(double v, const char* what, CalcLog* log) {
    if (std::isfinite(v)) return v;
    if (log) log->Write(std::string(what) + " = " + (std::isnan(v) ? "NaN" : "inf") + " -> 0\n");
    return 0;
}

}  // namespace

const char* InputFieldName(InputField field) {
    switch (field) {
        case InputField::None: return "";
        case InputField::Q: return "Q";
        case InputField::p1: return "p1";
        case InputField::p2: return "p2";
        case InputField::T1: return "T1";
        case InputField::ny: return "ny";
        case InputField::Density: return "rho1";
        case InputField::M: return "M";
        case InputField::Z: return "Z";
        case InputField::gama: return "gama";
        case InputField::OutletWall: return "outletWall";
        case InputField::rw: return "rw";
        case InputField::Kv: return "Kv";
        case InputField::Characteristic: return "characteristic";
    }
    return "";
}

Validation ValidateInputs(ProcessData& data, const NegativeP2Question& ask) {
    const auto& u = data.units;
    const bool onOff = data.OnOffValve();
    const bool gauge = data.gaugePressures;
    const MediumState m = data.medium;
    auto refuse = [](int message, int point, InputField field) { return Validation{message, point, field}; };

    for (int i = 0; i < 3; ++i) {
        OperatingPoint& pt = data.points[static_cast<std::size_t>(i)];
        if (!pt.enabled) continue;
        if (pt.Q() <= 0) return refuse(63107, i, InputField::Q);

        double p1 = PressureToInternal(u[kUnitP1], pt.p1());
        double p2 = PressureToInternal(u[kUnitP2], pt.p2());
        const double fifth = PressureToInternal(u[kUnitFifth], pt[kRowFifth]);
        const double T1 = TemperatureConvert(u[kUnitT1], pt.T1(), "°C");

        if (p2 < 0 && p1 > 0) {
            bool drop = true;
            if (gauge && p2 >= -0.1 && ask) drop = ask(i);
            if (drop) {
                p2 = p1 + p2;
                pt.p2() = RoundValue(PressureFromInternal(u[kUnitP2], p2), -1, 5);
            }
        }
        if (!gauge && !onOff && (p2 >= p1 || p2 <= 0 || p1 <= 0)) return refuse(63015, i, InputField::p2);

        p1 = GaugeToAbsolute(p1, gauge);
        p2 = GaugeToAbsolute(p2, gauge);
        if (p1 < 0) return refuse(gauge ? 63108 : 63109, i, InputField::p1);
        if (p2 < 0) return refuse(gauge ? 63108 : 63109, i, InputField::p2);

        if (!onOff && m == MediumState::Water && p1 < fifth) return refuse(63022, i, InputField::p1);
        if (!onOff && m == MediumState::Liquid && p1 < fifth) return refuse(63014, i, InputField::p1);
        if (IsLiquid(m) && !onOff && data.pipes.inletOD > 0 && pt.ny() <= 0)
            return refuse(63023, i, InputField::ny);

        if (pt.T1() > 0 && (m == MediumState::Steam || m == MediumState::Water)) {
            const double Tsat = TemperatureConvert("°K", BoundaryTemperature(p1), "°C");
            if (m == MediumState::Steam && Tsat - 0.0001 > T1) return refuse(63016, i, InputField::T1);
            if (m == MediumState::Water && Tsat + 0.0001 < T1) return refuse(63017, i, InputField::T1);
        }

        if (m == MediumState::Gas && !onOff) {
            if (u[kUnitFlow] != "Nm3/h") {
                if (pt.rho1() == 0) return refuse(63024, i, InputField::Density);
            } else {
                if (pt.M() == 0) return refuse(63025, i, InputField::M);
                if (pt.Z() == 0) {
                    pt.Z() = 1;
                    return refuse(63026, i, InputField::Z);
                }
            }
            if (pt.gama() == 0) {
                pt.gama() = 1.3;
                return refuse(63027, i, InputField::gama);
            }
        }
        if (!IsLiquid(m) && !onOff) {
            if (pt.gama() <= 0) {
                pt.gama() = 1.3;
                return refuse(63028, i, InputField::gama);
            }
            if (data.pipes.inletOD > 0) {
                if (data.pipes.outletWall <= 0) return refuse(63029, i, InputField::OutletWall);
                if (data.rw <= 0.2) return refuse(63030, i, InputField::rw);
            }
        }

        const double storedKv = data.results[static_cast<std::size_t>(i)].Kv;
        if (storedKv > 0 && data.Kvs > 0 && storedKv > data.Kvs) return refuse(63031, i, InputField::Kv);
    }
    if (!data.valve && data.characteristic == Characteristic::Unknown) return refuse(63032, -1, InputField::Characteristic);
    return {};
}

double OutletVelocity(double flow, double D, int point, FlowRegime regime, const RunTexts& texts,
                      std::string& message, ResultMarks& marks) {
    if (D <= 0) return 0;
    const double v = flow / (D * D * kPi * 3600 / 4000000);
    double lower = 0, upper = 0;
    if (regime == FlowRegime::Cavitation) {
        lower = 3.0;
        upper = 6.5;
    } else if (regime == FlowRegime::Turbulent) {
        lower = 7.0;
        upper = 8.5;
    } else {
        if (v > 60) AddWarning(ResultField::Velocity, point, texts.Text(63051), message, marks);
        return v;
    }
    if (v > upper)
        AddWarning(ResultField::Velocity, point, texts.Text(63052), message, marks);
    else if (v > lower)
        AddWarning(ResultField::Velocity, point, texts.Text(63051), message, marks);
    return v;
}

double FlashingMixtureDensity(double T1, double p2) {
    const double psat1 = BoundaryPressure(T1);
    const double h1 = LiquidEnthalpy(T1, psat1, LiquidDensity(T1, psat1));
    const double Ts2 = BoundaryTemperature(p2);
    const double rhoL = LiquidDensity(Ts2, p2);
    const double rhoV = VapourDensity(Ts2, p2);
    if (rhoL <= 0 || rhoV <= 0) return 0;
    const double hL = LiquidEnthalpy(Ts2, p2, rhoL);
    const double hV = VapourEnthalpy(Ts2, p2);
    if (hV == hL) return 0;
    const double x = (h1 - hL) / (hV - hL);
    const double v = 1 / rhoL + (1 / rhoV - 1 / rhoL) * x;
    const double rho = 1 / v;
    return std::isfinite(rho) && rho > 0 ? rho : 0;
}

double AttenuationAtRatio(const CoefficientTable& t, double x, bool tableMode) {
    // A flashing liquid gives x > 1, beyond the table: the entry for ratio 1 stands for it.
    if (!(x >= 0)) x = 0;
    if (x > 1) x = 1;
    if (!tableMode) return t[0] + (t[10] - t[0]) * x;
    const double c = 10 * x;
    const int i = static_cast<int>(std::floor(c));
    if (i >= 10) return t[10];
    const auto k = static_cast<std::size_t>(i);
    return t[k] + (c - i) * (t[k + 1] - t[k]);
}

namespace {

// Everything one operating point needs in internal units.
struct PointInput {
    double p1 = 0, p2 = 0, T1 = 0, ny = 0, Fl = 0, Fd = 0, ninth = 0;
    double Q = 0;                            // liquid m3/h
    double pv = 0, pc = 0, ro1 = 0, cF = 0;  // liquids
    double rho1 = 0, M = 0, Z = 0, gama = 0, Q0 = 0, W = 0;  // steam and gas
};

class Run {
public:
    Run(ProcessData& data, const RunTexts& texts, const RunOptions& options, CalcLog* log, ResultMarks& marks)
        : data_(data), texts_(texts), options_(options), log_(log), marks_(marks), c_(data.characteristic) {
        if (data.valve) kvTable_ = data.valve->Kv;
        minKv_ = data.valve ? data.valve->minKv : 0;
        D1_ = data.pipes.D1();
        D2_ = data.pipes.D2();
    }

    std::string Points() {
        std::string summary;
        for (int i = 0; i < 3; ++i) {
            if (!data_.points[static_cast<std::size_t>(i)].enabled) continue;
            SizingResult& r = data_.results[static_cast<std::size_t>(i)];
            r.message.clear();
            Point(i, r);
            if (!r.message.empty()) {
                if (i >= 1) summary += "\n";
                summary += FormatTextWith(texts_.Text(63058), std::to_string(i + 1));
                summary += r.message;
            }
        }
        return summary;
    }

private:
    bool Liquid() const { return IsLiquid(data_.medium); }
    bool Valve() const { return data_.valve.has_value(); }
    bool Flag(int f) const { return data_.valve->tableFlags[static_cast<std::size_t>(f)] != 0; }
    double Travel(double Kv) const { return TravelFromKv(Kv, data_.Kvs, c_, kvTable_); }
    double Coefficient(const CoefficientTable& t, double Kv, int flag) const {
        return CoefficientAtTravel(t, Kv, data_.Kvs, Flag(flag), c_, kvTable_);
    }

    PointInput Convert(OperatingPoint& pt) const {
        const auto& u = data_.units;
        PointInput in;
        in.p1 = GaugeToAbsolute(PressureToInternal(u[kUnitP1], pt.p1()), data_.gaugePressures);
        in.p2 = GaugeToAbsolute(PressureToInternal(u[kUnitP2], pt.p2()), data_.gaugePressures);
        in.Fl = pt.Fl();
        in.Fd = pt.Fd();
        in.ninth = pt[kRowNinth];
        in.T1 = TemperatureConvert(u[kUnitT1], pt.T1(), "°K");
        double density = 0;
        if (Liquid()) {
            in.pv = PressureToInternal(u[kUnitFifth], pt.pv());
            in.pc = PressureToInternal(u[kUnitSixth], pt.pc());
            in.ro1 = pt.ro1();
            in.cF = pt.cF();
            in.Q = LiquidFlowToInternal(u[kUnitFlow], pt.Q(), in.ro1);
            density = in.ro1;
        } else {
            in.rho1 = pt.rho1();
            if (u[kUnitFifth] == "kg/Nm3") in.rho1 = NormalToOperatingDensity(in.T1, in.p1, in.rho1);
            in.Z = pt.Z();
            in.gama = pt.gama();
            in.M = pt.M();
            GasFlowToInternal(u[kUnitFlow], pt.Q(), in.rho1, in.Q0, in.W);
            density = in.rho1;
        }
        in.ny = ViscosityToInternal(u[kUnitViscosity], pt.ny(), density);
        return in;
    }

    double Size(const PointInput& in, FlowRegime& regime) const {
        if (Liquid()) {
            LiquidSizingInput s;
            s.p1 = in.p1;
            s.p2 = in.p2;
            s.pv = in.pv;
            s.pc = in.pc;
            s.Q = in.Q;
            s.ro1 = in.ro1;
            s.ro0 = 1000;
            s.Fl = in.Fl;
            s.Fd = in.Fd;
            s.D1 = D1_;
            s.D2 = D2_;
            s.ny = in.ny;
            s.d = data_.d;
            s.Kvs = data_.Kvs;
            return SizeLiquid(s, log_, texts_);
        }
        GasSizingInput s;
        s.p1 = in.p1;
        s.p2 = in.p2;
        s.Z = in.Z;
        s.gama = in.gama;
        s.Q0 = in.Q0;
        s.W = in.W;
        s.M = in.M;
        s.T1 = in.T1;
        s.Fl = in.Fl;
        s.Fd = in.Fd;
        s.D1 = D1_;
        s.D2 = D2_;
        s.ny = in.ny;
        s.rho1 = in.rho1;
        s.d = data_.d;
        s.Kvs = data_.Kvs;
        s.xT = in.ninth;
        return SizeGas(s, log_, texts_, regime);
    }

    // Re-sizes with the valve's coefficients at the travel until the travel settles.
    double IterateOpening(double Kv, PointInput& in, OperatingPoint& pt, FlowRegime& regime) const {
        const CatalogueValve& v = *data_.valve;
        double h = Travel(Kv);
        for (int pass = 0; pass < 50; ++pass) {
            const double hOld = h;
            in.Fl = Coefficient(v.FL, Kv, kFlagFL);
            in.Fd = Coefficient(v.Fd, Kv, kFlagFd);
            pt.Fl() = RoundValue(in.Fl, 3, -1);
            pt.Fd() = RoundValue(in.Fd, 3, -1);
            if (!Liquid()) {
                in.ninth = Coefficient(v.xT, Kv, kFlagXT);
                pt.xT() = RoundValue(in.ninth, 3, -1);
            }
            Kv = Size(in, regime);
            h = Travel(Kv);
            if (h != 0 && std::fabs(h - hOld) <= 0.01 * h) break;
        }
        return Kv;
    }

    void Point(int i, SizingResult& r) {
        OperatingPoint& pt = data_.points[static_cast<std::size_t>(i)];
        PointInput in = Convert(pt);
        FlowRegime regime = FlowRegime::None;
        double Kv = Size(in, regime);
        if (Valve() && data_.Kvs > 0 && !data_.manualCoefficients) Kv = IterateOpening(Kv, in, pt, regime);
        Kv = Finite(Kv, "Kv", log_);

        r.computed = true;
        r.exact.Kv = Kv;
        r.Kv = RoundValue(Kv, -1, 5);
        r.exact.opening = data_.Kvs > 0 ? Finite(100 * Travel(Kv), "h", log_) : 0;
        r.opening = RoundValue(r.exact.opening, 3, -1);

        double h = 0, dLn = 0;
        if (Liquid()) {
            if (Valve() && data_.Kvs > 0) {
                h = Travel(Kv);
                dLn = AttenuationAtRatio(data_.valve->dLnLiquid, (in.p1 - in.p2) / (in.p1 - in.pv),
                                         Flag(kFlagDLnLiquid));
            }
        } else if (Valve() && Kv > 0) {
            dLn = AttenuationAtRatio(data_.valve->dLnGas, (in.p1 - in.p2) / in.p1, Flag(kFlagDLnGas));
        }

        double noise = 0, Mo = 0;
        if (Liquid()) {
            HydrodynamicNoiseInput n;
            n.xFz = in.ninth;
            if (Valve() && data_.Kvs > 0) {
                if (!data_.manualCoefficients) {
                    n.xFz = Coefficient(data_.valve->xFz, Kv, kFlagXFz);
                    pt.xFz() = RoundValue(n.xFz, 3, -1);
                }
                n.xFzfi = n.xFz;
                n.nyF = data_.valve->nyF;
                n.dLF = data_.valve->dLF;
            } else {
                n.xFzfi = 0;
                n.nyF = 1e-8;
                n.dLF = 0;
            }
            n.p1 = in.p1;
            n.p2 = in.p2;
            n.pv = in.pv;
            n.T1 = in.T1;
            n.dLi = data_.dLi;
            n.h = h;
            n.Fl = in.Fl;
            n.Q = in.Q;
            n.pc = in.pc;
            n.cF = in.cF;
            n.tp = data_.pipes.outletWall;
            n.D2 = D2_;
            n.ro1 = in.ro1;
            n.FLn = data_.FLn;
            n.dLn = dLn;
            NoiseResult res = CalcHydrodynamicNoise(n, log_, texts_, r.message, i, marks_, Valve(), options_.admin);
            noise = res.noise;
            regime = res.regime;
        } else if (Kv > 0) {
            AerodynamicNoiseInput n;
            n.p1 = in.p1;
            n.p2 = in.p2;
            n.gama = in.gama;
            n.Q0 = in.Q0;
            n.W = in.W;
            n.M = in.M;
            n.T1 = in.T1;
            n.Fl = in.Fl;
            n.Fd = in.Fd;
            n.D1 = D1_;
            n.D2 = D2_;
            n.dLn = dLn;
            n.dLi = data_.dLi;
            n.d = data_.d;
            n.D = data_.D;
            n.pa = data_.atmosphericPressure;
            n.Kv = Kv;
            n.ro1 = in.rho1;
            n.FLn = data_.FLn;
            n.rw = data_.rw;
            n.tp = data_.pipes.outletWall;
            NoiseResult res = CalcAerodynamicNoise(n, log_, texts_, r.message, i, marks_);
            noise = res.noise;
            Mo = res.Mo;
        }
        noise = Finite(noise, "LpAe,1m", log_);
        if (noise < 0) noise = 0;

        r.regime = regime;
        r.exact.noise = noise;
        r.noise = RoundValue(noise, -1, 4);
        r.dLi = RoundValue(data_.dLi, -1, 4);

        double velocity = 0;
        if (!Liquid()) {
            velocity = Mo;
        } else if (regime != FlowRegime::Flashing) {
            velocity = OutletVelocity(in.Q, data_.D, i, regime, texts_, r.message, marks_);
        } else if (data_.medium == MediumState::Water) {
            const double rhoMix = FlashingMixtureDensity(in.T1, in.p2);
            if (rhoMix > 0)
                velocity = OutletVelocity(in.Q * in.ro1 / rhoMix, data_.D, i, regime, texts_, r.message, marks_);
            else if (log_)
                log_->Write("Flashing: no two-phase density, velocity 0\n");
        }
        // A flashing liquid other than water has no two-phase model: its velocity is 0
        // rather than the value of an earlier run.
        velocity = Finite(velocity, "v", log_);
        r.exact.velocity = velocity;
        r.velocity = RoundValue(velocity, -1, 4);

        if (data_.Kvs > 0 && Kv > data_.Kvs) AddWarning(ResultField::Kv, i, texts_.Text(63056), r.message, marks_);
        if (Kv < minKv_) AddWarning(ResultField::Kv, i, texts_.Text(63057), r.message, marks_);
        if (regime == FlowRegime::Flashing) AddWarning(ResultField::None, -1, texts_.Text(63087), r.message, marks_);
        if (regime == FlowRegime::Cavitation) AddWarning(ResultField::None, -1, texts_.Text(63086), r.message, marks_);
        if (regime == FlowRegime::Choked) AddWarning(ResultField::None, -1, texts_.Text(63088), r.message, marks_);
    }

    ProcessData& data_;
    const RunTexts& texts_;
    const RunOptions& options_;
    CalcLog* log_;
    ResultMarks& marks_;
    Characteristic c_;
    CoefficientTable kvTable_{};
    double minKv_ = 0;
    double D1_ = 0, D2_ = 0;
};

}  // namespace

RunOutcome RunCalculation(ProcessData& data, const RunTexts& texts, const RunOptions& options) {
    RunOutcome out;
    out.validation = ValidateInputs(data, options.askNegativeP2);
    if (!out.validation.ok()) return out;
    if (options.onValidated) options.onValidated();
    if (data.OnOffValve()) return out;

    CalcLog file;
    CalcLog* log = options.log;
    const auto cannotWrite = [&] { out.messages.push_back({63018, options.logPath->string()}); };
    if (!log && options.logPath) {
        if (file.OpenFile(*options.logPath))
            log = &file;
        else
            cannotWrite();
    }
    out.summary = Run(data, texts, options, log, out.marks).Points();
    out.computed = true;
    out.logWritten = log != nullptr;
    // A file that could not be written in full holds no usable log: say so rather than name it.
    if (log == &file && !file.Close()) {
        out.logWritten = false;
        cannotWrite();
    }
    return out;
}

}  // namespace tarvik
