#pragma once
// The main form's model: what its controls hold for the current valve position, the rules that
// enable, show and label them, the exchange with the document's position, and the Calculate
// command. GUI-free: the view copies controls to and from this model; tarvik-cli fills it from
// the project alone. Both calculate through PositionForm::Calculate.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calc/calculation_run.hpp"
#include "calc/process_data.hpp"
#include "data/media.hpp"
#include "data/valve_series.hpp"
#include "project/characteristic_text.hpp"
#include "project/project_document.hpp"

namespace tarvik {

constexpr int kFormRows = 12;
constexpr int kLabelBase = 62001;  // text number of slot 0's label

// The eight numeric position fields of the form and the valveData element each shows.
constexpr std::array<int, 8> kPositionFieldData{kVdKvs, kVdInletSize, kVdOutletSize, kVdInletPipeOD,
                                                kVdOutletPipeOD, kVdInletPipeWall, kVdOutletPipeWall,
                                                kVdField1141};

// A number as its edit control holds it. The value of the last Set survives a read as long as
// the text was not edited, so showing and storing a position never rounds what it holds.
class NumberField {
public:
    void Set(double value);
    void SetText(std::string text) { text_ = std::move(text); }  // what the user typed
    const std::string& text() const { return text_; }
    // Normalises the decimal separator of the text and returns its number.
    double Read();
    double value() const { return value_; }

private:
    std::string text_ = "0";
    std::string shown_ = "0";
    double value_ = 0;
};

// One grid row as the medium state lays it out.
struct RowLayout {
    int slot = 0;      // QuantitySlot of the position
    int unitKind = 0;  // UnitListKind
    int fallback = 0;  // unit list index chosen when no name applies
};

// The row layout of a medium state (Water/Liquid or Steam/Gas; -1 gives the liquid layout).
const std::array<RowLayout, kFormRows>& RowsFor(int mediumState);
// "2;4;5;10;28;14;15;12;22;7;21;23;" resp. "2;4;5;10;28;12;8;9;11;7;21;6;".
std::string RowIdListFor(int mediumState);
// The slots a RowIdList names, in row order; pieces that are not slot numbers are skipped.
std::vector<int> ParseRowIdList(const std::string& rowIdList);

// How SetUpRows leaves one row's controls.
struct RowState {
    int slot = 0;
    int labelNumber = 0;                  // text number of the row label
    std::array<bool, kPointCount> editEnabled{};
    std::vector<std::string> unitNames;   // the unit list's entries
    bool unitEnabled = true;
    bool unitShown = true;
};

// The label text of a row: the text padded with " ." until it is longer than 99 characters.
std::string RowLabelText(int number);

// What the form needs from the application: catalogues and switches.
struct FormContext {
    const SeriesTable* seriesTable = nullptr;  // series display name -> file
    std::string companyIndex;                  // designationSelector of a newly chosen series
    bool admin = false;                        // tarvik.ini "Admin"
    std::function<std::uint32_t()> now;        // seconds since 1970; the system clock when unset
    // Series already read, by file (a batch over many positions reads each file once); null:
    // every selection reads its file.
    std::map<std::filesystem::path, ValveSeries>* seriesCache = nullptr;
};

// The result controls a calculation marked, each control ID written as ";%i;".
using ControlFlagList = std::string;

// The control ID of a result of an operating point (Kv 1078, 1081, 1093; velocity 1123, 1129,
// 1130; noise 1142, 1169, 1173), 0 when the form has none.
int ResultControlId(ResultField field, int point);
// The marks of a run as the form's control list, in the run's order.
ControlFlagList ControlFlagsOf(const ResultMarks& marks);

// The form's refusals: a message number (shown through ShowMessage), the point and the field to
// focus.
using FormCheck = Validation;

struct CalculateOptions {
    NegativeP2Question askNegativeP2;              // unset: a negative p2 is a pressure drop
    std::optional<std::filesystem::path> logPath;  // the calculation log; none: no log
    CalcLog* log = nullptr;                        // a log held by the caller instead
};

struct CalculateResult {
    FormCheck check;        // not ok: the message was shown and nothing was calculated
    bool computed = false;  // false also for an on-off catalogue valve
    std::string summary;    // the warnings to show in one message box, "" when none
    ControlFlagList controlFlags;
    bool logWritten = false;  // RunOutcome::logWritten
    std::array<SizingResult, kPointCount> results{};
};

class PositionForm {
public:
    explicit PositionForm(FormContext context = {});

    // ---- What the controls hold ----
    std::array<std::array<NumberField, kPointCount>, kFormRows> grid{};
    std::array<std::string, kFormRows> rowUnits{};        // selected unit text per row
    std::array<RowState, kFormRows> rows{};               // enabling, labels and unit lists
    std::array<bool, kPointCount> pointEnabled{true, false, false};
    std::array<NumberField, 8> fields{};                  // kPositionFieldData
    std::array<double, kValveDataCount> positionValues{}; // valveData; 0..6 and 11 via `fields`
    std::array<SizingResult, kPointCount> results{};
    std::string name, note, mediumText, characteristicText, designationText, seriesQualifier;
    std::string rowIdList;
    std::array<std::string, 6> pipeTexts{};
    std::string maxPressureUnit, maxTemperatureUnit;
    int mediumState = -1;
    bool gaugePressures = false, manualCoefficients = false, manualValve = false;
    std::optional<Medium> selectedMedium;
    std::optional<ValveSeries> series;  // the loaded valve series
    int seriesFlag = 0;                 // from the loaded series
    std::string seriesValue;
    int selectedCandidate = -1;         // index into series->valves
    ControlFlagList controlFlags;
    std::array<int, 6> resultLabels{};              // text numbers
    std::array<std::string, 6> resultUnits{};
    bool positionButtonsEnabled = false;

    const FormContext& context() const { return context_; }
    FormContext& context() { return context_; }

    // ---- Exchange with the document ----
    // Loads position `index` into the form and makes it current; false when there is none.
    bool ShowPosition(ProjectDocument& doc, int index);
    // Writes the form into the current position; 63013 without one.
    FormCheck StorePosition(ProjectDocument& doc);
    // Empties the form (no position, medium state -1).
    void Clear();
    // Labels, unit lists (preselected from `position` and the document) and enabling; fills the
    // grid from the position's slots.
    void SetUpRows(const ProjectDocument& doc, const ValvePosition* position);
    // The medium state list: drops the medium of water and steam and sets the rows up again.
    void ChangeMediumState(const ProjectDocument& doc, int state);
    // Kvs, d, D and the characteristic list are typed in only with the manual-valve switch.
    bool ValveFieldsEnabled() const { return manualValve; }
    // Button 1135 acts once a series is loaded; the specification sheet (32793) needs a valve.
    bool CatalogueValveEnabled() const { return series.has_value(); }
    bool SpecificationEnabled() const { return Candidate() != nullptr; }
    // A result control the last calculation marked (shown red).
    bool ResultFlagged(int controlId) const {
        return controlFlags.find(";" + std::to_string(controlId) + ";") != std::string::npos;
    }
    // Re-applies the enabling of the grid for the medium state, the point check boxes and the
    // manual-coefficient switch, without touching values or unit lists.
    void ApplyEnabling();

    // The grid and the position fields as numbers (decimal separators normalised).
    double Value(int row, int point);
    void SetValue(int row, int point, double v) { grid[row][point].Set(v); }
    double Field(int valveDataIndex);
    void SetField(int valveDataIndex, double v);

    // The process data the calculation reads, with the selected catalogue valve.
    ProcessData ReadProcessData(const ProjectDocument& doc);
    // Writes what a run changed (rewritten inputs, catalogue coefficients) back into the grid.
    void TakeProcessData(const ProcessData& data);

    // ---- Calculate (button 1077) ----
    CalculateResult Calculate(ProjectDocument& doc, const CalculateOptions& options = {});

    // ---- Valve series and catalogue valve ----
    // Finds and loads the series named by `designation`, then the catalogue valve with this
    // DN, Kvs and characteristic code (when Kvs is not 0). Messages 63021 and 63062.
    FormCheck SelectSeries(const std::string& designation, const std::string& selector, int characteristic,
                           double dn, double Kvs);
    const SeriesValve* Candidate() const;
    std::optional<CatalogueValve> SelectedValve() const;

    std::uint32_t Now() const;

private:
    FormContext context_;
};

// The medium text, its label and the media buttons (shown for Liquid and Gas) and the text of
// the medium-properties button.
struct MediumControls {
    bool mediumFieldsShown = false;
    int propertiesButtonText = 63053;
};
MediumControls MediumControlsFor(int mediumState);

// The form's Calculate on one position of a project, as tarvik-cli runs it: shows the position
// in a fresh form, calculates and leaves the results in the document.
CalculateResult CalculatePosition(ProjectDocument& doc, int positionIndex, const FormContext& context,
                                  const CalculateOptions& options = {});

}  // namespace tarvik
