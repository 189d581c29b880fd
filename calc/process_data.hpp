#pragma once
// What a calculation run reads (the process data of one valve position, as the form holds it)
// and what it writes (one result per operating point). Plain data: the form model of a project,
// the GUI and tarvik-cli fill it alike.
#include <array>
#include <optional>
#include <string>

#include "calc/catalogue_valve.hpp"
#include "calc/flow_regime.hpp"

namespace tarvik {

enum class MediumState { Water = 0, Liquid = 1, Steam = 2, Gas = 3 };

inline bool IsLiquid(MediumState m) { return m == MediumState::Water || m == MediumState::Liquid; }

// Rows of the form's grid; one value per row and operating point. Rows 5 to 8 and 11 mean
// different quantities for liquids and for gases.
enum PointRow {
    kRowQ = 0,
    kRowP1 = 1,
    kRowP2 = 2,
    kRowT1 = 3,
    kRowNy = 4,
    kRowFifth = 5,    // pv (liquid) / rho1 (gas)
    kRowSixth = 6,    // pc / M
    kRowSeventh = 7,  // ro1 / Z
    kRowEighth = 8,   // cF / gama
    kRowFl = 9,
    kRowFd = 10,
    kRowNinth = 11,   // xFz / xT
    kPointRows = 12
};

// Indices of ProcessData::units: the unit chosen in each of the form's seven unit lists.
enum UnitSlot {
    kUnitFlow = 0,
    kUnitP1 = 1,
    kUnitP2 = 2,
    kUnitT1 = 3,
    kUnitViscosity = 4,
    kUnitFifth = 5,  // vapour pressure (liquid) resp. density (gas)
    kUnitSixth = 6,  // critical pressure (liquid)
    kUnitSlots = 7
};

// One column of the form, in the units the user chose.
struct OperatingPoint {
    bool enabled = false;
    std::array<double, kPointRows> values{};

    double& operator[](int row) { return values[static_cast<std::size_t>(row)]; }
    double operator[](int row) const { return values[static_cast<std::size_t>(row)]; }

    double& Q() { return values[kRowQ]; }
    double& p1() { return values[kRowP1]; }
    double& p2() { return values[kRowP2]; }
    double& T1() { return values[kRowT1]; }
    double& ny() { return values[kRowNy]; }
    double& pv() { return values[kRowFifth]; }
    double& rho1() { return values[kRowFifth]; }
    double& pc() { return values[kRowSixth]; }
    double& M() { return values[kRowSixth]; }
    double& ro1() { return values[kRowSeventh]; }
    double& Z() { return values[kRowSeventh]; }
    double& cF() { return values[kRowEighth]; }
    double& gama() { return values[kRowEighth]; }
    double& Fl() { return values[kRowFl]; }
    double& Fd() { return values[kRowFd]; }
    double& xFz() { return values[kRowNinth]; }
    double& xT() { return values[kRowNinth]; }
};

// The results of one operating point: the stored (rounded) values the form shows, and the
// unrounded ones they came from.
struct SizingResult {
    bool computed = false;  // false: never calculated, or emptied
    double Kv = 0;          // 5 significant digits
    double opening = 0;     // per cent, 3 decimals; 0 without Kvs
    FlowRegime regime = FlowRegime::None;
    double velocity = 0;    // m/s for liquids; outlet Mach number Mo for steam and gas
    double dLi = 0;
    double noise = 0;       // dB(A), never negative
    struct Exact {
        double Kv = 0, opening = 0, velocity = 0, noise = 0;
    } exact;
    std::string message;    // the point's warnings
};

struct PipeData {
    double inletOD = 0, inletWall = 0, outletOD = 0, outletWall = 0;  // mm
    // Inside diameters; walls thicker than the pipe give 0 (no pipe), never a negative diameter.
    double D1() const { return inletOD > 2 * inletWall ? inletOD - 2 * inletWall : 0; }
    double D2() const { return outletOD > 2 * outletWall ? outletOD - 2 * outletWall : 0; }
};

struct ProcessData {
    MediumState medium = MediumState::Water;
    std::array<OperatingPoint, 3> points{};
    std::array<SizingResult, 3> results{};
    std::array<std::string, kUnitSlots> units{};

    double Kvs = 0;    // rated Kv of the chosen valve, 0 = none
    double d = 0;      // valve inlet diameter, mm
    double D = 0;      // diameter for the outlet velocity, mm
    PipeData pipes;
    double rw = 0;     // acoustical power ratio (aerodynamic noise)
    double FLn = 0;    // pressure recovery factor of a low-noise trim, 0 = none
    double dLi = 0;    // further attenuation, dB

    // The characteristic chosen on the form; Unknown = none.
    Characteristic characteristic = Characteristic::Unknown;
    bool gaugePressures = false;
    bool manualCoefficients = false;
    // The selected catalogue valve; its table flags say table or two-point mode.
    std::optional<CatalogueValve> valve;

    double atmosphericPressure = 0.101325;  // of the document, MPa

    bool OnOffValve() const { return valve && valve->characteristic == kCharOnOff; }
};

}  // namespace tarvik
