#pragma once
// The calculation run of one valve position: input checks, then for every enabled operating
// point unit conversion, sizing, the opening iteration on the catalogue valve, noise, outlet
// velocity, warnings and the calculation log.
//
// What the run leaves to its caller (the form model of a project, the GUI, tarvik-cli): reading
// the form into ProcessData, storing the position into the document after the checks
// (RunOptions::onValidated) and again with the result texts and the time stamp after the run,
// emptying the specification items 55 and 57 when RunOutcome::computed is set, showing the
// summary and RunOutcome::messages and marking the results listed in RunOutcome::marks. The
// caller also supplies the texts of the user's language (RunTexts).
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/calc_log.hpp"
#include "calc/process_data.hpp"
#include "calc/run_texts.hpp"
#include "calc/warnings.hpp"

namespace tarvik {

// The form field an input check refers to (the control to focus).
enum class InputField {
    None,
    Q,
    p1,
    p2,
    T1,
    ny,
    Density,         // fifth value of a gas point
    M,
    Z,
    gama,
    OutletWall,      // outlet pipe wall thickness
    rw,
    Kv,              // the point's Kv result
    Characteristic,  // the characteristic list
};

// "Q", "p1", "p2", "T1", "ny", "rho1", "M", "Z", "gama", "outletWall", "rw", "Kv",
// "characteristic"; "" for None.
const char* InputFieldName(InputField field);

struct Validation {
    int message = 0;  // text number of the refusal; 0 = the inputs are usable
    int point = -1;   // operating point 0..2, -1 for a position field
    InputField field = InputField::None;
    bool ok() const { return message == 0; }
};

// Asked for a negative outlet pressure entered as gauge pressure of at most 0.1 MPa below
// atmospheric: true = it is a pressure drop (p2 becomes p1 + p2), false = keep it as entered.
using NegativeP2Question = std::function<bool(int point)>;

// Checks the enabled points in order and stops at the first problem. Shows no message; the
// caller shows Validation::message and focuses the field. Rewrites what the checks correct in
// `data`: a negative p2 taken as pressure drop (5 significant digits in its unit), Z set to 1,
// gama set to 1.3. Without a question callback a negative p2 is a pressure drop.
Validation ValidateInputs(ProcessData& data, const NegativeP2Question& ask = {});

struct RunOptions {
    NegativeP2Question askNegativeP2;
    // The log file; no path and no log: the run writes no log.
    std::optional<std::filesystem::path> logPath;
    // Writes to this log instead of a file when set (tests, callers that keep the text).
    CalcLog* log = nullptr;
    bool admin = false;  // administrator switch of tarvik.ini
    // Called once the checks passed, before anything is computed (the form stores the
    // position into the document here).
    std::function<void()> onValidated;
};

// A message for the user: the number of its text and the argument for "%1".
struct RunMessage {
    int number = 0;
    std::string arg;
    bool operator==(const RunMessage&) const = default;
};

struct RunOutcome {
    Validation validation;  // not ok: nothing was computed or changed but the rewrites
    bool computed = false;  // false also for an on-off catalogue valve
    std::string summary;    // the warnings of all points with their headers, "" when none
    ResultMarks marks;      // the results the warnings mark; empty unless computed
    // The run wrote its blocks to a log (the file of RunOptions::logPath, or RunOptions::log).
    // False when nothing was computed, without a log, and when the log file could not be
    // created or written in full (message 63018).
    bool logWritten = false;
    std::vector<RunMessage> messages;  // in the order they arose, for the caller to show
};

RunOutcome RunCalculation(ProcessData& data, const RunTexts& texts, const RunOptions& options = {});

// Outlet velocity in m/s of `flow` m3/h in a pipe of D mm, with the velocity warnings for the
// regime; 0 without a diameter.
double OutletVelocity(double flow, double D, int point, FlowRegime regime, const RunTexts& texts,
                      std::string& message, ResultMarks& marks);

// Density of flashing water behind the valve (kg/m3): T1 in K, p2 in MPa. 0 when the steam
// tables have no answer.
double FlashingMixtureDensity(double T1, double p2);

// The trim attenuation of a dLn table at pressure ratio x (clamped to 0..1).
double AttenuationAtRatio(const CoefficientTable& t, double x, bool tableMode);

}  // namespace tarvik
