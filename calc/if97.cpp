#include "calc/if97.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

namespace tarvik::if97 {
namespace {

constexpr double R = kGasConstant;

// One term n_i * x^I_i * y^J_i of a dimensionless free energy.
struct Term {
    int I;
    int J;
    double n;
};

// x^e for lo <= e <= hi (lo <= 0 <= hi) by repeated multiplication: the sums below need many
// powers of the same base, and std::pow per term would dominate the run time.
template <int lo, int hi>
class Powers {
public:
    explicit Powers(double x) {
        v_[-lo] = 1.0;
        for (int e = 1; e <= hi; ++e) v_[e - lo] = v_[e - 1 - lo] * x;
        if constexpr (lo < 0) {
            const double inv = 1.0 / x;
            for (int e = -1; e >= lo; --e) v_[e - lo] = v_[e + 1 - lo] * inv;
        }
    }
    [[gnu::always_inline]] double operator()(int e) const { return v_[e - lo]; }
    template <int e>
    [[gnu::always_inline]] double at() const {
        static_assert(e >= lo && e <= hi);
        return v_[e - lo];
    }

private:
    std::array<double, hi - lo + 1> v_{};
};

// The sums a call needs: the function and its first and second derivatives in x and y.
enum Want : unsigned { kF = 1, kFx = 2, kFxx = 4, kFy = 8, kFyy = 16, kFxy = 32 };

struct Sums {
    double f = 0, fx = 0, fxx = 0, fy = 0, fyy = 0, fxy = 0;
};

// Adds n x^I y^J and its wanted derivatives. The exponents are template arguments, so a term
// compiles to a few multiplications by table entries, and derivatives that vanish are skipped.
template <unsigned W, int I, int J, class X, class Y>
[[gnu::always_inline]] inline void AddTerm(Sums& s, double n, const X& x, const Y& y) {
    if constexpr ((W & kF) != 0) s.f += n * x.template at<I>() * y.template at<J>();
    if constexpr ((W & kFx) != 0 && I != 0) s.fx += n * I * x.template at<I - 1>() * y.template at<J>();
    if constexpr ((W & kFxx) != 0 && I != 0 && I != 1)
        s.fxx += n * I * (I - 1) * x.template at<I - 2>() * y.template at<J>();
    if constexpr ((W & kFy) != 0 && J != 0) s.fy += n * J * x.template at<I>() * y.template at<J - 1>();
    if constexpr ((W & kFyy) != 0 && J != 0 && J != 1)
        s.fyy += n * J * (J - 1) * x.template at<I>() * y.template at<J - 2>();
    if constexpr ((W & kFxy) != 0 && I != 0 && J != 0)
        s.fxy += n * I * J * x.template at<I - 1>() * y.template at<J - 1>();
}

template <unsigned W, const auto& table, class X, class Y, std::size_t... k>
void AddTerms(Sums& s, const X& x, const Y& y, std::index_sequence<k...>) {
    (AddTerm<W, table[k].I, table[k].J>(s, table[k].n, x, y), ...);
}

// All terms of a table in its order, starting from `s` (the terms outside the table).
template <unsigned W, const auto& table, class X, class Y>
Sums SumTerms(const X& x, const Y& y, Sums s = {}) {
    AddTerms<W, table>(s, x, y, std::make_index_sequence<std::size(table)>());
    return s;
}

// The base of a table without x: x^0.
struct NoX {
    template <int e>
    [[gnu::always_inline]] double at() const {
        return 1.0;
    }
};

// Dimensionless Gibbs free energy and its derivatives (p = pi, t = tau).
struct Gibbs {
    double g = 0, gp = 0, gpp = 0, gt = 0, gtt = 0, gpt = 0;
};

// Dimensionless Helmholtz free energy and its derivatives (d = delta, t = tau).
struct Helmholtz {
    double f = 0, fd = 0, fdd = 0, ft = 0, ftt = 0, fdt = 0;
};

// ---------------------------------------------------------------------------------------------
// Region 1: coefficients and exponents of the dimensionless Gibbs free energy (IF97 Table 2).
constexpr Term kRegion1[] = {
    {0, -2, 0.14632971213167},      {0, -1, -0.84548187169114},
    {0, 0, -0.37563603672040e1},    {0, 1, 0.33855169168385e1},
    {0, 2, -0.95791963387872},      {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},   {0, 5, 0.81214629983568e-3},
    {1, -9, 0.28319080123804e-3},   {1, -7, -0.60706301565874e-3},
    {1, -1, -0.18990068218419e-1},  {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},   {1, 3, -0.52838357969930e-4},
    {2, -3, -0.47184321073267e-3},  {2, 0, -0.30001780793026e-3},
    {2, 1, 0.47661393906987e-4},    {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15}, {3, -4, -0.31679644845054e-4},
    {3, 0, -0.28270797985312e-5},   {3, 6, -0.85205128120103e-9},
    {4, -5, -0.22425281908000e-5},  {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12}, {5, -8, -0.40516996860117e-6},
    {8, -11, -0.12734301741641e-8}, {8, -6, -0.17424871230634e-9},
    {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22}, {30, -39, -0.11947622640071e-22},
    {31, -40, 0.18228094581404e-23}, {32, -41, -0.93537087292458e-25},
};
static_assert(std::size(kRegion1) == 34);

constexpr double kRegion1PStar = 16.53;   // MPa
constexpr double kRegion1TStar = 1386.0;  // K

// Region 1 sums in a = 7.1 - pi and b = tau - 1.222; d/d(pi) = -d/da.
template <unsigned W>
Gibbs Region1Gibbs(double pi, double tau) {
    const Powers<0, 32> a(7.1 - pi);
    const Powers<-43, 17> b(tau - 1.222);
    const Sums s = SumTerms<W, kRegion1>(a, b);
    return {s.f, -s.fx, s.fxx, s.fy, s.fyy, -s.fxy};
}

// The powers gamma_pi needs, each the product of two lower ones: the chains of dependent
// multiplications stay a few long instead of up to 41 (the last bits differ from Powers). The
// powers no term uses stay NaN, so that a term added to the table without its power shows.
struct Region1PiPowers {
    static constexpr double kUnused = std::numeric_limits<double>::quiet_NaN();
    std::array<double, 32> a;  // (7.1 - pi)^e, e = 0..31
    std::array<double, 59> b;  // (tau - 1.222)^e, e = -41..17, at e + 41

    Region1PiPowers(double x, double y) {
        a.fill(kUnused);
        b.fill(kUnused);
        a[0] = 1.0;
        a[1] = x;
        a[2] = x * x;
        a[3] = a[2] * x;
        a[4] = a[2] * a[2];
        a[6] = a[3] * a[3];
        a[7] = a[4] * a[3];
        const double a8 = a[4] * a[4];
        const double a16 = a8 * a8;
        a[20] = a16 * a[4];
        a[22] = a16 * a[6];
        a[28] = a[20] * a8;
        a[29] = a[28] * x;
        a[30] = a[28] * a[2];
        a[31] = a[28] * a[3];

        auto B = [this](int e) -> double& { return b[static_cast<std::size_t>(e + 41)]; };
        B(0) = 1.0;
        B(1) = y;
        B(2) = y * y;
        B(3) = B(2) * y;
        const double y4 = B(2) * B(2);
        B(6) = B(3) * B(3);
        const double y8 = y4 * y4;
        B(10) = y8 * B(2);
        B(17) = y8 * y8 * y;
        const double i = 1.0 / y;
        B(-1) = i;
        B(-2) = i * i;
        B(-3) = B(-2) * i;
        B(-4) = B(-2) * B(-2);
        B(-5) = B(-4) * i;
        B(-6) = B(-3) * B(-3);
        B(-7) = B(-4) * B(-3);
        B(-8) = B(-4) * B(-4);
        B(-9) = B(-8) * i;
        B(-11) = B(-8) * B(-3);
        const double i16 = B(-8) * B(-8);
        const double i24 = i16 * B(-8);
        const double i32 = i16 * i16;
        B(-29) = i24 * B(-5);
        B(-31) = i24 * B(-7);
        B(-38) = i32 * B(-6);
        B(-39) = i32 * B(-7);
        B(-40) = i32 * B(-8);
        B(-41) = i32 * B(-9);
    }
};

struct Region1A {
    const Region1PiPowers& p;
    template <int e>
    [[gnu::always_inline]] double at() const {
        return p.a[e];
    }
};

struct Region1B {
    const Region1PiPowers& p;
    template <int e>
    [[gnu::always_inline]] double at() const {
        return p.b[e + 41];
    }
};

// gamma_pi alone, the density of every liquid point.
double Region1GammaPi(double pi, double tau) {
    const Region1PiPowers powers(7.1 - pi, tau - 1.222);
    return -SumTerms<kFx, kRegion1>(Region1A{powers}, Region1B{powers}).fx;
}

template <unsigned W>
Gibbs Region1At(double T, double p, double& pi, double& tau) {
    pi = p / kRegion1PStar;
    tau = kRegion1TStar / T;
    return Region1Gibbs<W>(pi, tau);
}

// ---------------------------------------------------------------------------------------------
// Region 2: ideal-gas part (IF97 Table 10) and residual part (IF97 Table 11).
constexpr Term kRegion2Ideal[] = {
    {0, 0, -0.96927686500217e1},  {0, 1, 0.10086655968018e2},   {0, -5, -0.56087911283020e-2},
    {0, -4, 0.71452738081455e-1}, {0, -3, -0.40710498223928},   {0, -2, 0.14240819171444e1},
    {0, -1, -0.43839511319450e1}, {0, 2, -0.28408632460772},    {0, 3, 0.21268463753307e-1},
};
static_assert(std::size(kRegion2Ideal) == 9);

constexpr Term kRegion2Residual[] = {
    {1, 0, -0.17731742473213e-2},   {1, 1, -0.17834862292358e-1},
    {1, 2, -0.45996013696365e-1},   {1, 3, -0.57581259083432e-1},
    {1, 6, -0.50325278727930e-1},   {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},   {2, 4, -0.39392777243355e-2},
    {2, 7, -0.43797295650573e-1},   {2, 36, -0.26674547914087e-4},
    {3, 0, 0.20481737692309e-7},    {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},   {3, 6, -0.15033924542148e-2},
    {3, 35, -0.40668253562649e-1},  {4, 1, -0.78847309559367e-9},
    {4, 2, 0.12790717852285e-7},    {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},    {6, 3, -0.16714766451061e-10},
    {6, 16, -0.21171472321355e-2},  {6, 35, -0.23895741934104e2},
    {7, 0, -0.59059564324270e-17},  {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1},  {8, 8, 0.11256211360459e-10},
    {8, 36, -0.82311340897998e1},   {9, 13, 0.19809712802088e-7},
    {10, 4, 0.10406965210174e-18},  {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10},
    {16, 50, 0.10693031879409},     {18, 57, -0.33662250574171},
    {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25},
    {22, 53, 0.37826947613457e-5},  {23, 39, -0.12768608934681e-14},
    {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
};
static_assert(std::size(kRegion2Residual) == 43);

constexpr double kRegion2PStar = 1.0;    // MPa
constexpr double kRegion2TStar = 540.0;  // K

// The ideal-gas part; ln(pi) and its derivatives stand outside the table.
template <unsigned W>
Gibbs Region2Ideal(double pi, double tau) {
    Sums s;
    if constexpr ((W & kF) != 0) s.f = std::log(pi);
    if constexpr ((W & kFx) != 0) s.fx = 1.0 / pi;
    if constexpr ((W & kFxx) != 0) s.fxx = -1.0 / (pi * pi);
    if constexpr ((W & (kF | kFy | kFyy)) != 0) s = SumTerms<W, kRegion2Ideal>(NoX{}, Powers<-7, 3>(tau), s);
    return {s.f, s.fx, s.fxx, s.fy, s.fyy, s.fxy};
}

template <unsigned W>
Gibbs Region2Residual(double pi, double tau) {
    const Sums s = SumTerms<W, kRegion2Residual>(Powers<0, 24>(pi), Powers<0, 58>(tau - 0.5));
    return {s.f, s.fx, s.fxx, s.fy, s.fyy, s.fxy};
}

struct Region2State {
    double pi, tau;
    Gibbs o, r;  // ideal-gas and residual parts
};

// Wo and Wr: the sums wanted of the ideal-gas and of the residual part.
template <unsigned Wo, unsigned Wr>
Region2State Region2At(double T, double p) {
    Region2State s;
    s.pi = p / kRegion2PStar;
    s.tau = kRegion2TStar / T;
    s.o = Region2Ideal<Wo>(s.pi, s.tau);
    s.r = Region2Residual<Wr>(s.pi, s.tau);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Region 3: dimensionless Helmholtz free energy (IF97 Table 30); n1 belongs to the ln(delta) term.
constexpr double kRegion3N1 = 0.10658070028513e1;
constexpr Term kRegion3[] = {
    {0, 0, -0.15732845290239e2},  {0, 1, 0.20944396974307e2},   {0, 2, -0.76867707878716e1},
    {0, 7, 0.26185947787954e1},   {0, 10, -0.28080781148620e1}, {0, 12, 0.12053369696517e1},
    {0, 23, -0.84566812812502e-2}, {1, 2, -0.12654315477714e1}, {1, 6, -0.11524407806681e1},
    {1, 15, 0.88521043984318},    {1, 17, -0.64207765181607},   {2, 0, 0.38493460186671},
    {2, 2, -0.85214708824206},    {2, 6, 0.48972281541877e1},   {2, 7, -0.30502617256965e1},
    {2, 22, 0.39420536879154e-1}, {2, 26, 0.12558408424308},    {3, 0, -0.27999329698710},
    {3, 2, 0.13899799569460e1},   {3, 4, -0.20189915023570e1},  {3, 16, -0.82147637173963e-2},
    {3, 26, -0.47596035734923},   {4, 0, 0.43984074473500e-1},  {4, 2, -0.44476435428739},
    {4, 4, 0.90572070719733},     {4, 26, 0.70522450087967},    {5, 1, 0.10770512626332},
    {5, 3, -0.32913623258954},    {5, 26, -0.50871062041158},   {6, 0, -0.22175400873096e-1},
    {6, 2, 0.94260751665092e-1},  {6, 26, 0.16436278447961},    {7, 2, -0.13503372241348e-1},
    {8, 26, -0.14834345352472e-1}, {9, 2, 0.57922953628084e-3}, {9, 26, 0.32308904703711e-2},
    {10, 0, 0.80964802996215e-4}, {10, 1, -0.16557679795037e-3}, {11, 26, -0.44923899061815e-4},
};
static_assert(std::size(kRegion3) + 1 == 40);

// n1 ln(delta) and its derivatives stand outside the table.
template <unsigned W>
Helmholtz Region3Helmholtz(double delta, double tau) {
    Sums s;
    if constexpr ((W & kF) != 0) s.f = kRegion3N1 * std::log(delta);
    if constexpr ((W & kFx) != 0) s.fx = kRegion3N1 / delta;
    if constexpr ((W & kFxx) != 0) s.fxx = -kRegion3N1 / (delta * delta);
    s = SumTerms<W, kRegion3>(Powers<0, 11>(delta), Powers<0, 26>(tau), s);
    return {s.f, s.fx, s.fxx, s.fy, s.fyy, s.fxy};
}

template <unsigned W>
Helmholtz Region3At(double T, double rho, double& delta, double& tau) {
    delta = rho / kCriticalDensity;
    tau = kCriticalTemperature / T;
    return Region3Helmholtz<W>(delta, tau);
}

}  // namespace

// ---- Region 1 ----------------------------------------------------------------------------------

double Region1SpecificVolume(double T, double p) {
    const double pi = p / kRegion1PStar;
    const double tau = kRegion1TStar / T;
    return R * T * pi * Region1GammaPi(pi, tau) / p / 1000.0;
}

double Region1Enthalpy(double T, double p) {
    double pi, tau;
    const Gibbs g = Region1At<kFy>(T, p, pi, tau);
    return R * T * tau * g.gt;
}

double Region1InternalEnergy(double T, double p) {
    double pi, tau;
    const Gibbs g = Region1At<kFx | kFy>(T, p, pi, tau);
    return R * T * (tau * g.gt - pi * g.gp);
}

double Region1Entropy(double T, double p) {
    double pi, tau;
    const Gibbs g = Region1At<kF | kFy>(T, p, pi, tau);
    return R * (tau * g.gt - g.g);
}

double Region1IsobaricHeatCapacity(double T, double p) {
    double pi, tau;
    const Gibbs g = Region1At<kFyy>(T, p, pi, tau);
    return -R * tau * tau * g.gtt;
}

double Region1SoundSpeed(double T, double p) {
    double pi, tau;
    const Gibbs g = Region1At<kFx | kFxx | kFyy | kFxy>(T, p, pi, tau);
    const double a = g.gp - tau * g.gpt;
    return std::sqrt(R * 1000.0 * T * g.gp * g.gp / (a * a / (tau * tau * g.gtt) - g.gpp));
}

// ---- Region 2 ----------------------------------------------------------------------------------

double Region2SpecificVolume(double T, double p) {
    const Region2State s = Region2At<kFx, kFx>(T, p);
    return R * T * s.pi * (s.o.gp + s.r.gp) / p / 1000.0;
}

double Region2Enthalpy(double T, double p) {
    const Region2State s = Region2At<kFy, kFy>(T, p);
    return R * T * s.tau * (s.o.gt + s.r.gt);
}

double Region2InternalEnergy(double T, double p) {
    const Region2State s = Region2At<kFx | kFy, kFx | kFy>(T, p);
    return R * T * (s.tau * (s.o.gt + s.r.gt) - s.pi * (s.o.gp + s.r.gp));
}

double Region2Entropy(double T, double p) {
    const Region2State s = Region2At<kF | kFy, kF | kFy>(T, p);
    return R * (s.tau * (s.o.gt + s.r.gt) - (s.o.g + s.r.g));
}

double Region2IsobaricHeatCapacity(double T, double p) {
    const Region2State s = Region2At<kFyy, kFyy>(T, p);
    return -R * s.tau * s.tau * (s.o.gtt + s.r.gtt);
}

double Region2SoundSpeed(double T, double p) {
    const Region2State s = Region2At<kFyy, kFx | kFxx | kFyy | kFxy>(T, p);
    const double pi = s.pi;
    const double tau = s.tau;
    const double grp = s.r.gp;
    const double a = 1.0 + pi * grp - tau * pi * s.r.gpt;
    const double num = 1.0 + 2.0 * pi * grp + pi * pi * grp * grp;
    const double den = (1.0 - pi * pi * s.r.gpp) + a * a / (tau * tau * (s.o.gtt + s.r.gtt));
    return std::sqrt(R * 1000.0 * T * num / den);
}

// ---- Region 3 ----------------------------------------------------------------------------------

// Along an isotherm d(phi)/d(delta) is n1/delta plus a polynomial S in delta whose coefficients
// depend on tau alone: gather them once. p = rho R T delta phi_delta / 1000 then needs no
// division: with rho = rho_c delta it is rho_c R T / 1000 * delta (n1 + delta S).
Region3Isotherm::Region3Isotherm(double T) : scale_(kCriticalDensity * R * T / 1000.0) {
    const Powers<0, 26> t(kCriticalTemperature / T);
    for (const Term& k : kRegion3)
        if (k.I >= 1) dCoef_[static_cast<std::size_t>(k.I - 1)] += k.n * k.I * t(k.J);
}

double Region3Isotherm::Pressure(double rho) const {
    constexpr double kInverseDensity = 1.0 / kCriticalDensity;
    const double d = rho * kInverseDensity;
    const auto& c = dCoef_;
    // S in pairs of terms (Estrin): four short chains instead of one of ten steps.
    const double d2 = d * d, d4 = d2 * d2, d8 = d4 * d4;
    const double low = (c[0] + c[1] * d) + d2 * (c[2] + c[3] * d);
    const double mid = (c[4] + c[5] * d) + d2 * (c[6] + c[7] * d);
    const double high = (c[8] + c[9] * d) + d2 * c[10];
    const double S = low + d4 * mid + d8 * high;
    return scale_ * d * (kRegion3N1 + d * S);
}

double Region3Pressure(double T, double rho) { return Region3Isotherm(T).Pressure(rho); }

double Region3Enthalpy(double T, double rho) {
    double delta, tau;
    const Helmholtz f = Region3At<kFx | kFy>(T, rho, delta, tau);
    return R * T * (tau * f.ft + delta * f.fd);
}

double Region3InternalEnergy(double T, double rho) {
    double delta, tau;
    const Helmholtz f = Region3At<kFy>(T, rho, delta, tau);
    return R * T * tau * f.ft;
}

double Region3Entropy(double T, double rho) {
    double delta, tau;
    const Helmholtz f = Region3At<kF | kFy>(T, rho, delta, tau);
    return R * (tau * f.ft - f.f);
}

double Region3IsobaricHeatCapacity(double T, double rho) {
    double delta, tau;
    const Helmholtz f = Region3At<kFx | kFxx | kFyy | kFxy>(T, rho, delta, tau);
    const double a = delta * f.fd - delta * tau * f.fdt;
    return R * (-tau * tau * f.ftt + a * a / (2.0 * delta * f.fd + delta * delta * f.fdd));
}

double Region3SoundSpeed(double T, double rho) {
    double delta, tau;
    const Helmholtz f = Region3At<kFx | kFxx | kFyy | kFxy>(T, rho, delta, tau);
    const double a = delta * f.fd - delta * tau * f.fdt;
    const double w2 = 2.0 * delta * f.fd + delta * delta * f.fdd - a * a / (tau * tau * f.ftt);
    return std::sqrt(R * 1000.0 * T * w2);
}

}  // namespace tarvik::if97
