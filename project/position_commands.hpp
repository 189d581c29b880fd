#pragma once
// The form's commands on positions, operating points, the medium, the valve series and the
// catalogue valve. Each acts on the form model and the document; refusals are shown through
// ShowMessage and returned (message 0 = done), so the view only moves the focus.
#include <functional>
#include <string>

#include "project/position_form.hpp"

namespace tarvik {

// ---- Position dialog ----

enum class PositionDialogMode { New, Edit, Copy };

struct PositionDialogValues {
    std::string name, note;
    int mediumState = -1;  // -1: none chosen
    bool gaugePressures = false;
    std::string maxPressure = "0", maxPressureUnit;  // number texts as typed
    std::string maxTemperature = "0", maxTemperatureUnit;
    std::string pieces = "1";
};

enum class DialogField { None, Name, MediumState };

struct DialogCheck {
    int message = 0;
    DialogField field = DialogField::None;
    bool ok() const { return message == 0; }
};

// The dialog's prefill: new positions take the document's default units, edit and copy the
// current position's values.
PositionDialogValues NewPositionDialogValues(const ProjectDocument& doc);
PositionDialogValues PositionDialogValuesOf(const ValvePosition& p);

// OK of the dialog: 63036 (no name), 63037 (no medium state), 63038 (new: name taken),
// 63039 (edit: name unchanged or taken by another position), 63040 (copy: name taken).
// Shows the message.
DialogCheck CheckPositionDialog(const ProjectDocument& doc, PositionDialogMode mode, const PositionDialogValues& v);

// New (32783): appends the position and shows it in the form.
DialogCheck NewPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v);
// Edit (32786): stores the form, then writes the dialog's values into the current position.
DialogCheck EditPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v);
// Copy (32785): stores the form and appends a copy of the current position under the new name.
DialogCheck CopyPosition(PositionForm& form, ProjectDocument& doc, const PositionDialogValues& v);
// Delete (32784): asks with text 63034 (Yes = true); removes the current position and empties the
// form. False when nothing was deleted.
bool DeletePosition(PositionForm& form, ProjectDocument& doc, const std::function<bool(const std::string&)>& confirm);

// ---- Operating points ----

// The point check box: enables the point's column and clears its results.
void SetPointEnabled(PositionForm& form, int point, bool enabled);
// 1177, 32780, 32781: every value of the point becomes 0.
void ClearPoint(PositionForm& form, int point);
// 32778 (0 -> 1) and 32779 (1 -> 2): copies the values and enables the target point.
void CopyPoint(PositionForm& form, int from);

// ---- Medium ----

// Button 1073: checks the enabled points, then fills their property rows by medium state.
FormCheck ApplyMediumProperties(PositionForm& form, ProjectDocument& doc, const NegativeP2Question& ask = {});
// OK of the media dialog with a medium chosen: the medium text, then the properties.
FormCheck ChooseMedium(PositionForm& form, ProjectDocument& doc, const Medium& medium,
                       const NegativeP2Question& ask = {});
// Button 1092.
void ClearMedium(PositionForm& form);

// ---- Valve series, catalogue valve, pipes, switches ----

// OK of the series dialog with the chosen entry ("designation (qualifier)").
FormCheck ChooseSeries(PositionForm& form, ProjectDocument& doc, const std::string& chosen);
// The Kv each point computed, as the catalogue valve dialog sizes with it: 0 for a point that is
// off or has no result.
std::array<double, kPointCount> ComputedKv(const PositionForm& form);
// OK of the catalogue valve dialog with candidate `index` of the loaded series.
bool ApplyCatalogueValve(PositionForm& form, ProjectDocument& doc, int index);
// Item 75: the series text list joined.
std::string JoinedSeriesTexts(const ValveSeries& series);
// OK of the pipe dialog: outside diameters and wall thicknesses in and out, and the six texts.
void ApplyPipes(PositionForm& form, double inletOD, double outletOD, double inletWall, double outletWall,
                const std::array<std::string, 6>& texts);
void ToggleManualCoefficients(PositionForm& form);
void ToggleManualValve(PositionForm& form);

}  // namespace tarvik
