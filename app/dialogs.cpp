#include "app/dialogs.hpp"

#include <filesystem>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/layouts.hpp"
#include "app/startup.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "data/program_dir.hpp"
#include "data/program_version.hpp"
#include "project/app_start.hpp"
#include "project/steam_calculator_view.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }
std::string U(const wxString& s) { return s.utf8_string(); }

void FillChoice(wxChoice* choice, int kind, const std::string& selected) {
    if (!choice) return;
    choice->Clear();
    for (const auto& name : FillUnitList(kind, kAnyMediumState).names) choice->Append(W(name));
    if (selected.empty() || !choice->SetStringSelection(W(selected))) choice->SetSelection(selected.empty() ? wxNOT_FOUND : 0);
}

std::string Text(wxWindow* parent, int id) {
    auto* t = Control<wxTextCtrl>(parent, id);
    return t ? U(t->GetValue()) : std::string();
}

void SetText(wxWindow* parent, int id, const std::string& s) {
    if (auto* t = Control<wxTextCtrl>(parent, id)) t->ChangeValue(W(s));
}

std::string Selected(wxWindow* parent, int id) {
    auto* c = Control<wxChoice>(parent, id);
    return c ? U(c->GetStringSelection()) : std::string();
}

}  // namespace

ModalRunner& ModalHook() {
    static ModalRunner hook;
    return hook;
}

namespace {

// The stock buttons would speak the desktop's language; the program speaks the pack's.
void LabelStockButtons(wxWindow& window) {
    for (wxWindow* child : window.GetChildren()) {
        if (auto* button = dynamic_cast<wxButton*>(child)) {
            const int text = button->GetId() == wxID_OK ? 64410 : button->GetId() == wxID_CANCEL ? 64411 : 0;
            if (text && !GetText(text).empty()) button->SetLabel(wxString::FromUTF8(GetText(text)));
        }
        LabelStockButtons(*child);
    }
}

}  // namespace

int RunModal(wxDialog& dialog) {
    LabelStockButtons(dialog);
    return ModalHook() ? ModalHook()(dialog) : dialog.ShowModal();
}

void CloseDialog(wxDialog& dialog, int code) {
    if (dialog.IsModal())
        dialog.EndModal(code);
    else
        dialog.SetReturnCode(code);
}

// ---- Position dialog ----

PositionDialog::PositionDialog(wxWindow* parent, const PositionDialogValues& v, Accept accept)
    : accept_(std::move(accept)) {
    wxXmlResource::Get()->LoadDialog(this, parent, "PositionDialog");
    SetText(this, 1124, v.name);
    SetText(this, 1001, v.note);
    if (auto* c = Control<wxChoice>(this, 1002)) c->SetSelection(v.mediumState >= 0 && v.mediumState < 4 ? v.mediumState : wxNOT_FOUND);
    if (auto* c = Control<wxCheckBox>(this, 1044)) c->SetValue(v.gaugePressures);
    SetText(this, 1126, v.maxPressure);
    SetText(this, 1128, v.maxTemperature);
    SetText(this, 1125, v.pieces);
    FillChoice(Control<wxChoice>(this, 1003), kListPressure, v.maxPressureUnit);
    FillChoice(Control<wxChoice>(this, 1004), kListTemperature, v.maxTemperatureUnit);
    Bind(wxEVT_BUTTON, &PositionDialog::OnOk, this, wxID_OK);
    if (auto* name = Control<wxTextCtrl>(this, 1124)) name->SetFocus();
}

PositionDialogValues PositionDialog::Values() const {
    wxWindow* self = const_cast<PositionDialog*>(this);
    PositionDialogValues v;
    v.name = Text(self, 1124);
    v.note = Text(self, 1001);
    if (auto* c = Control<wxChoice>(self, 1002)) v.mediumState = c->GetSelection();
    if (auto* c = Control<wxCheckBox>(self, 1044)) v.gaugePressures = c->GetValue();
    v.maxPressure = Text(self, 1126);
    v.maxPressureUnit = Selected(self, 1003);
    v.maxTemperature = Text(self, 1128);
    v.maxTemperatureUnit = Selected(self, 1004);
    v.pieces = Text(self, 1125);
    return v;
}

void PositionDialog::OnOk(wxCommandEvent&) {
    const DialogCheck check = accept_ ? accept_(Values()) : DialogCheck{};
    if (check.ok()) {
        CloseDialog(*this, wxID_OK);
        return;
    }
    if (wxWindow* w = FindWindow(check.field == DialogField::MediumState ? 1002 : 1124)) w->SetFocus();
}

// ---- Water and steam ----

SteamDialog::SteamDialog(wxWindow* parent) {
    wxXmlResource::Get()->LoadDialog(this, parent, "173");
    FillChoice(Control<wxChoice>(this, 1222), kListPressure, "bar");
    FillChoice(Control<wxChoice>(this, 1223), kListTemperature, "°C");
    const int labelIds[4] = {1213, 1215, 1214, 1216};
    for (int i = 0; i < 4; ++i)
        if (auto* s = Control<wxStaticText>(this, labelIds[i])) labels_[i] = s->GetLabel();
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Compute(); }, 1212);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CloseDialog(*this, wxID_OK); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CloseDialog(*this, wxID_CANCEL); }, wxID_CANCEL);
}

void SteamDialog::Compute() {
    const std::string pUnit = Selected(this, 1222), tUnit = Selected(this, 1223);
    const SteamCalculatorView v = ComputeSteamCalculator(Text(this, 1224), pUnit, Text(this, 1225), tUnit);
    const std::pair<int, const std::string*> outputs[] = {
        {1217, &v.pressure},       {1130, &v.saturationPressure}, {1218, &v.saturationTemperature},
        {1131, &v.temperature},    {1219, &v.liquidEnthalpy},     {1221, &v.liquidVolume},
        {1220, &v.vapourEnthalpy}, {1127, &v.vapourVolume}};
    for (const auto& [id, text] : outputs)
        if (auto* s = Control<wxStaticText>(this, id)) s->SetLabel(W(*text));
    const int labelIds[4] = {1213, 1215, 1214, 1216};
    for (int i = 0; i < 4; ++i)
        if (auto* s = Control<wxStaticText>(this, labelIds[i])) s->SetLabel(W(LabelWithUnit(U(labels_[i]), i < 2 ? pUnit : tUnit)));
    Layout();
}

// ---- About, company index, project properties ----

void ShowAbout(wxWindow* parent) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "100")) return;
    const std::filesystem::path picture = ProgramDir() / "TarLB.tkd";
    if (auto* bitmap = Control<wxStaticBitmap>(&dialog, 1226)) {
        wxLogNull quiet;  // a missing or unreadable picture leaves the control empty
        wxImage image;
        std::error_code ec;
        if (std::filesystem::is_regular_file(picture, ec) && image.LoadFile(W(picture.string()), wxBITMAP_TYPE_BMP))
            bitmap->SetBitmap(wxBitmap(image));
    }
    if (auto* text = Control<wxStaticText>(&dialog, 1228))
        text->SetLabel(text->GetLabel() + W(FormatNumber(kProgramVersion, 1) + " - " + kProgramReleaseDate));
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_OK); }, wxID_OK);
    dialog.Fit();
    RunModal(dialog);
}

bool EditCompanyIndex(wxWindow* parent) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "179")) return false;
    const std::string old = Core().settings.companyIndex;
    SetText(&dialog, 1000, old);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_OK); }, wxID_OK);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    if (RunModal(dialog) != wxID_OK) return false;
    const std::string index = Text(&dialog, 1000);
    if (index == old) return false;
    if (!StoreCompanyIndex(IniPath(), index)) {
        Tell(FormatText(64406, IniPath().string()));
        return false;
    }
    Tell(GetText(64400));
    return true;
}

bool EditProjectProperties(wxWindow* parent, ProjectDocument& doc) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "ProjectPropertiesDialog")) return false;
    SetText(&dialog, 1124, doc.customer);
    SetText(&dialog, 1126, doc.project);
    SetText(&dialog, 1128, doc.projectText3);
    SetText(&dialog, 1003, FormatNumber(doc.atmosphericPressure, 0));
    FillChoice(Control<wxChoice>(&dialog, 1000), kListFlow, doc.defaultFlowUnit);
    FillChoice(Control<wxChoice>(&dialog, 1001), kListPressure, doc.defaultPressureUnit);
    FillChoice(Control<wxChoice>(&dialog, 1002), kListTemperature, doc.defaultTemperatureUnit);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_OK); }, wxID_OK);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    if (RunModal(dialog) != wxID_OK) return false;
    doc.customer = Text(&dialog, 1124);
    doc.project = Text(&dialog, 1126);
    doc.projectText3 = Text(&dialog, 1128);
    doc.atmosphericPressure = ParseNumber(Text(&dialog, 1003));
    doc.defaultFlowUnit = Selected(&dialog, 1000);
    doc.defaultPressureUnit = Selected(&dialog, 1001);
    doc.defaultTemperatureUnit = Selected(&dialog, 1002);
    doc.modified = true;
    return true;
}

}  // namespace tarvik::app
