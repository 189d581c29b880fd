#include "units/conversions.hpp"

#include <cmath>

#include "data/messages.hpp"
#include "units/user_units.hpp"

namespace tarvik {
namespace {

constexpr int kMsgZeroDensity = 63003;

// A stored result must never be NaN or infinity; a degenerate conversion yields 0.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// Reports a missing density at most once per conversion, however many of its rules needed it.
class DensityCheck {
public:
    explicit DensityCheck(double rho) : rho_(rho) {}
    ~DensityCheck() {
        if (missing_) ShowMessage(kMsgZeroDensity);
    }
    DensityCheck(const DensityCheck&) = delete;
    DensityCheck& operator=(const DensityCheck&) = delete;
    // True when the density can be used; otherwise notes it for the message.
    bool Usable() {
        if (rho_ != 0) return true;
        missing_ = true;
        return false;
    }

private:
    double rho_;
    bool missing_ = false;
};

}  // namespace

// Built-in rules come first and the user rule after them, so a user unit bearing a built-in
// name goes through both.
double PressureToInternal(const std::string& unit, double value) {
    if (unit == "kPa") value /= 1000;
    else if (unit == "bar") value /= 10;
    else if (unit == "psi") value *= 0.006894757;
    else if (unit == "m H2O") value *= 0.00980665;
    else if (unit == "kg/cm2") value = value * 98.067 / 1000;
    else if (unit == "atm") value = value * 101.3 / 1000;
    if (const UnitDef* u = FindUserUnit(unit, kQuantityPressure)) value = value * u->factor + u->offset;
    return Finite(value);
}

double PressureFromInternal(const std::string& unit, double mpa) {
    double value = mpa;
    if (unit == "kPa") value *= 1000;
    else if (unit == "bar") value *= 10;
    else if (unit == "psi") value /= 0.006894757;
    else if (unit == "m H2O") value /= 0.00980665;
    else if (unit == "kg/cm2") value = value * 1000 / 98.067;
    else if (unit == "atm") value = value * 1000 / 101.3;
    // A factor of 0 has no inverse; the value is left as it is rather than become infinite.
    if (const UnitDef* u = FindUserUnit(unit, kQuantityPressure); u && u->factor != 0)
        value = (value - u->offset) / u->factor;
    return Finite(value);
}

double GaugeToAbsolute(double mpa, bool gauge) { return Finite(gauge ? mpa + 0.1013 : mpa); }

double TemperatureConvert(const std::string& fromUnit, double value, const std::string& to) {
    std::string from = fromUnit;
    if (const UnitDef* u = FindUserUnit(from, kQuantityTemperature)) {
        value = value * u->factor + u->offset;
        from = "°K";
    }
    if (from == to) return Finite(value);
    if (from == "°K" && to == "°C") value -= 273.15;
    else if (from == "°F" && to == "°C") value = (value - 32) / 1.8;
    else if (from == "°F" && to == "°K") value = (value - 32) / 1.8 + 273.15;
    else if (from == "°C" && to == "°F") value = value * 1.8 + 32;
    else if (from == "°K" && to == "°F") value = (value - 273.15) * 1.8 + 32;
    else if (from == "°C" && to == "°K") value += 273.15;
    return Finite(value);
}

double LiquidFlowToInternal(const std::string& unit, double value, double rho) {
    DensityCheck density(rho);
    if (unit == "l/h") value /= 1000;
    else if (unit == "l/min") value *= 0.06;
    else if (unit == "kg/s") { if (density.Usable()) value = value * 3600 / rho; }
    else if (unit == "kg/h") { if (density.Usable()) value /= rho; }
    else if (unit == "t/h") { if (density.Usable()) value = value * 1000 / rho; }
    if (const UnitDef* u = FindUserUnit(unit, kQuantityVolumeFlow)) {
        value = value * u->factor + u->offset;
    } else if (const UnitDef* m = FindUserUnit(unit, kQuantityMassFlow)) {
        if (density.Usable()) value = (value * m->factor + m->offset) / rho;
    }
    return Finite(value);
}

void GasFlowToInternal(const std::string& unit, double value, double rho, double& Q0, double& W) {
    Q0 = 0;
    W = 0;
    DensityCheck density(rho);
    if (unit == "m3/h") { if (density.Usable()) W = value * rho; }
    else if (unit == "l/h") { if (density.Usable()) W = value / 1000 * rho; }
    else if (unit == "l/min") { if (density.Usable()) W = value * 0.06 * rho; }
    else if (unit == "kg/s") W = value * 3600;
    else if (unit == "kg/h") W = value;
    else if (unit == "t/h") W = value * 1000;
    else if (unit == "Nm3/h") Q0 = value;
    // A user volume unit needs the density as much as "m3/h" does.
    if (const UnitDef* u = FindUserUnit(unit, kQuantityVolumeFlow)) {
        if (density.Usable()) W = (value * u->factor + u->offset) * rho;
    } else if (const UnitDef* m = FindUserUnit(unit, kQuantityMassFlow)) {
        W = value * m->factor + m->offset;
    }
    Q0 = Finite(Q0);
    W = Finite(W);
}

double ViscosityToInternal(const std::string& unit, double value, double rho) {
    DensityCheck density(rho);
    if (unit == "cSt") value *= 1e-6;
    else if (unit == "cP" || unit == "mPa.s") { if (density.Usable()) value = value * 0.001 / rho; }
    else if (unit == "Pa.s") { if (density.Usable()) value /= rho; }
    else if (unit == "Ns/m2") { if (density.Usable()) value = value * 1e-6 / rho; }
    return Finite(value);
}

double ViscosityFromInternal(const std::string& unit, double m2s, double rho) {
    DensityCheck density(rho);
    double value = m2s;
    if (unit == "cSt") value /= 1e-6;
    else if (unit == "cP" || unit == "mPa.s") { if (density.Usable()) value = value * 1000 * rho; }
    else if (unit == "Pa.s") { if (density.Usable()) value *= rho; }
    else if (unit == "Ns/m2") { if (density.Usable()) value = value * 1e6 * rho; }
    return Finite(value);
}

double NormalToOperatingDensity(double T1, double p1, double rhoN) {
    return Finite(p1 * 10 * 273.15 * rhoN / (T1 * 1.01325));
}

double OperatingToNormalDensity(double T1, double p1, double rho) {
    return Finite(T1 * 1.01325 * rho / (p1 * 10 * 273.15));
}

double LengthFromInternal(const std::string& unit, double mm) {
    if (unit == "m") return Finite(mm / 1000);
    if (unit == "km") return Finite(mm / 1000000);
    return Finite(mm);
}

}  // namespace tarvik
