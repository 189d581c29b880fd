#include "app/form_view.hpp"

#include <algorithm>
#include <cmath>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/docmdi.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "app/catalogue_dialogs.hpp"
#include "app/dialogs.hpp"
#include "app/drawing_window.hpp"
#include "app/spec_sheet_dialog.hpp"
#include "app/form_ids.hpp"
#include "app/layouts.hpp"
#include "app/printing.hpp"
#include "app/project_doc.hpp"
#include "app/startup.hpp"
#include "app/user_dialogs.hpp"
#include "app/valve_dialogs.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "calc/flow_regime.hpp"
#include "project/exports.hpp"
#include "project/language_texts.hpp"
#include "project/medium_properties.hpp"
#include "project/position_commands.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }
std::string U(const wxString& s) { return s.utf8_string(); }

const wxColour kRed(255, 0, 0), kBlue(0, 0, 255);

std::string ResultText(const SizingResult& r, int row) {
    auto number = [](double v) { return std::isfinite(v) ? FormatNumber(v, 0) : std::string(); };
    switch (row) {
    case kResKv: return number(r.Kv);
    case kResOpening: return number(r.opening);
    case kResRegime: return FlowRegimeText(r.regime, CurrentLanguageTexts());
    case kResVelocity: return number(r.velocity);
    case kResDLi: return number(r.dLi);
    default: return number(r.noise);
    }
}

// The control a refusal points at.
int FieldControl(const FormCheck& check) {
    const int point = check.point >= 0 && check.point < 3 ? check.point : 0;
    switch (check.field) {
    case InputField::Q: return kGridIds[0][point];
    case InputField::p1: return kGridIds[1][point];
    case InputField::p2: return kGridIds[2][point];
    case InputField::T1: return kGridIds[3][point];
    case InputField::ny: return kGridIds[4][point];
    case InputField::Density: return kGridIds[5][point];
    case InputField::M: return kGridIds[6][point];
    case InputField::Z: return kGridIds[7][point];
    case InputField::gama: return kGridIds[8][point];
    case InputField::OutletWall: return 1139;
    case InputField::rw: return 1136;
    case InputField::Characteristic: return 1168;
    default: return 0;
    }
}


}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(FormView, wxView);

FormView::FormView() = default;

ProjectDoc& FormView::Doc() const { return *static_cast<ProjectDoc*>(GetDocument()); }

bool FormView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) return false;
    form_ = PositionForm(Core().session->MakeFormContext(&seriesCache_));

    auto* parent = wxDynamicCast(wxTheApp->GetTopWindow(), wxDocMDIParentFrame);
    auto* frame = new wxDocMDIChildFrame(doc, this, parent, wxID_ANY, doc->GetUserReadableName());
    auto* scroll = new wxScrolledWindow(frame);
    panel_ = wxXmlResource::Get()->LoadPanel(scroll, "101");
    if (!panel_) {
        frame->Destroy();
        return false;
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(panel_, 1, wxEXPAND);
    scroll->SetSizer(sizer);
    scroll->SetScrollRate(10, 10);
    SetFrame(frame);
    Bind_();
    // Manual valve starts off in a new view; the rows without a position.
    form_.manualValve = false;
    form_.Clear();
    form_.SetUpRows(Doc().data, nullptr);
    if (!Core().settings.admin)
        if (auto* b = Control<wxButton>(panel_, 1171)) b->Hide();
    ShowForm();
    // A project window opens maximised the first time; later the user's size stands.
    frame->Maximize(true);
    frame->Show();
    return true;
}

void FormView::Bind_() {
    panel_->Bind(wxEVT_BUTTON, &FormView::OnButton, this);
    panel_->Bind(wxEVT_CHOICE, &FormView::OnChoice, this);
    panel_->Bind(wxEVT_CHECKBOX, &FormView::OnCheck, this);
    panel_->Bind(wxEVT_TEXT, &FormView::OnText, this);
    for (int id : {32783, 32784, 32785, 32786, 32792, 32793, 32777, 32772, 32796, 32797, 32801}) {
        Bind(wxEVT_MENU, [this, id](wxCommandEvent&) { Command(id); }, CommandId(id));
        Bind(wxEVT_UPDATE_UI, &FormView::OnUpdateUi, this, CommandId(id));
    }
    for (int id : {static_cast<int>(wxID_PRINT), static_cast<int>(wxID_PREVIEW)})
        Bind(wxEVT_MENU, [this, id](wxCommandEvent&) { Command(id); }, id);
}

void FormView::OnUpdate(wxView*, wxObject*) {
    if (panel_) ShowForm();
}

bool FormView::OnClose(bool deleteWindow) {
    if (Doc().data.Current()) StoreForm();
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (deleteWindow && GetFrame()) {
        GetFrame()->Destroy();
        SetFrame(nullptr);
    }
    return true;
}

void FormView::Modified() { Doc().Modify(true); }

// ---- Exchange with the controls ----

void FormView::ReadForm() {
    for (int r = 0; r < kFormRows; ++r) {
        const auto ri = static_cast<std::size_t>(r);
        for (std::size_t p = 0; p < 3; ++p)
            if (auto* e = Control<wxTextCtrl>(panel_, kGridIds[ri][p])) form_.grid[ri][p].SetText(U(e->GetValue()));
        if (auto* c = Control<wxChoice>(panel_, kUnitIds[ri]); c && c->GetSelection() != wxNOT_FOUND)
            form_.rowUnits[ri] = U(c->GetStringSelection());
    }
    for (std::size_t i = 0; i < kFieldIds.size(); ++i)
        if (auto* e = Control<wxTextCtrl>(panel_, kFieldIds[i])) form_.fields[i].SetText(U(e->GetValue()));
    if (auto* e = Control<wxTextCtrl>(panel_, 1001)) form_.note = U(e->GetValue());
    if (auto* c = Control<wxChoice>(panel_, 1168))
        form_.characteristicText = c->GetSelection() == wxNOT_FOUND ? std::string() : CharacteristicText(c->GetSelection());
}

void FormView::StoreForm() {
    if (!panel_ || !Doc().data.Current()) return;
    ReadForm();
    form_.StorePosition(Doc().data);
}

void FormView::ShowForm() {
    showing_ = true;
    ProjectDocument& d = Doc().data;
    const bool has = d.Current() != nullptr;
    if (auto* list = Control<wxChoice>(panel_, 1000)) {
        list->Clear();
        for (const auto& p : d.positions) list->Append(W(p.name));
        list->SetSelection(has ? d.currentPosition : wxNOT_FOUND);
    }
    if (auto* e = Control<wxTextCtrl>(panel_, 1001)) {
        e->ChangeValue(W(form_.note));
        e->Enable(has);
    }
    if (auto* c = Control<wxChoice>(panel_, 1002)) {
        c->SetSelection(form_.mediumState >= 0 && form_.mediumState < 4 ? form_.mediumState : wxNOT_FOUND);
        c->Enable(has);
    }
    const std::pair<int, const std::string*> projectTexts[] = {{1004, &d.customer}, {1005, &d.project}, {1006, &d.projectText3}};
    for (const auto& [id, text] : projectTexts)
        if (auto* s = Control<wxStaticText>(panel_, id)) s->SetLabel(W(*text));
    for (std::size_t p = 0; p < 3; ++p)
        if (auto* c = Control<wxCheckBox>(panel_, kPointChecks[p])) {
            c->SetValue(form_.pointEnabled[p]);
            c->Enable(has);
        }

    int labelWidth = 0;
    for (int r = 0; r < kFormRows; ++r) {
        const auto ri = static_cast<std::size_t>(r);
        const RowState& row = form_.rows[ri];
        if (auto* s = Control<wxStaticText>(panel_, kRowLabelIds[ri])) {
            s->SetLabel(W(RowLabelText(row.labelNumber)));
            labelWidth = std::max(labelWidth, s->GetTextExtent(W(GetText(row.labelNumber))).GetWidth());
        }
        if (auto* c = Control<wxChoice>(panel_, kUnitIds[ri])) {
            wxArrayString names;
            for (const auto& n : row.unitNames) names.Add(W(n));
            if (c->GetStrings() != names) c->Set(names);
            if (!c->SetStringSelection(W(form_.rowUnits[ri]))) c->SetSelection(names.empty() ? wxNOT_FOUND : 0);
            c->Enable(has && row.unitEnabled);
            c->Show(row.unitShown);
        }
        for (std::size_t p = 0; p < 3; ++p)
            if (auto* e = Control<wxTextCtrl>(panel_, kGridIds[ri][p])) {
                e->ChangeValue(W(form_.grid[ri][p].text()));
                e->Enable(has && row.editEnabled[p]);
            }
    }
    // The labels carry a dot leader to 100 characters; they are as wide as the longest text.
    for (int id : kRowLabelIds)
        if (auto* s = Control<wxStaticText>(panel_, id)) s->SetMinSize(wxSize(labelWidth + 24, -1));

    for (std::size_t i = 0; i < kFieldIds.size(); ++i)
        if (auto* e = Control<wxTextCtrl>(panel_, kFieldIds[i])) {
            e->ChangeValue(W(form_.fields[i].text()));
            e->Enable(has && (i >= 3 || form_.ValveFieldsEnabled()));
        }
    if (auto* c = Control<wxChoice>(panel_, 1168)) {
        const int code = CharacteristicCode(form_.characteristicText);
        c->SetSelection(code >= 0 && code < 4 ? code : wxNOT_FOUND);
        // As wide as the longest characteristic of the language, with room for the arrow.
        int widest = 0;
        for (unsigned i = 0; i < c->GetCount(); ++i) widest = std::max(widest, c->GetTextExtent(c->GetString(i)).x);
        c->SetMinSize(wxSize(widest + 48, -1));
        c->Enable(has && form_.ValveFieldsEnabled());
    }
    if (auto* s = Control<wxStaticText>(panel_, 1134)) s->SetLabel(W(form_.designationText.empty() ? "..." : form_.designationText));

    const MediumControls medium = MediumControlsFor(form_.mediumState);
    for (int id : {1117, 1104, 1075, 1092})
        if (wxWindow* w = panel_->FindWindow(id)) w->Show(medium.mediumFieldsShown);
    if (auto* e = Control<wxTextCtrl>(panel_, 1117)) e->ChangeValue(W(form_.mediumText));
    if (auto* b = Control<wxButton>(panel_, 1073)) {
        b->SetLabel(W(GetText(medium.propertiesButtonText)));
        b->Enable(has && form_.mediumState >= 0);
    }
    for (int id : {1075, 1092})
        if (auto* b = Control<wxButton>(panel_, id)) b->Enable(has && medium.mediumFieldsShown);

    for (std::size_t k = 0; k < kResultIds.size(); ++k) {
        for (std::size_t p = 0; p < 3; ++p)
            if (auto* s = Control<wxStaticText>(panel_, kResultIds[k][p])) {
                const SizingResult& r = form_.results[p];
                s->SetLabel(r.computed && form_.pointEnabled[p] ? W(ResultText(r, static_cast<int>(k))) : wxString());
                // GTK keeps a label's first size and wraps longer texts into it: make room.
                s->SetMinSize(wxSize(s->GetTextExtent(s->GetLabel()).x + 8, -1));
                s->SetForegroundColour(form_.ResultFlagged(kResultIds[k][p]) ? kRed : kBlue);
            }
        if (auto* s = Control<wxStaticText>(panel_, kResultLabelIds[k])) {
            s->SetLabel(W(GetText(form_.resultLabels[k])));
            s->SetForegroundColour(kBlue);
        }
        if (auto* s = Control<wxStaticText>(panel_, kResultUnitIds[k])) {
            s->SetLabel(W(form_.resultUnits[k]));
            s->SetForegroundColour(kBlue);
        }
    }
    if (auto* s = Control<wxStaticText>(panel_, 1175)) s->SetForegroundColour(kBlue);

    for (int id : {1077, 1170, 1177, kClearPoint2Button, kClearPoint3Button, kCopyPoint12Button, kCopyPoint23Button, 1171})
        if (wxWindow* w = panel_->FindWindow(id)) w->Enable(has);
    if (wxWindow* w = panel_->FindWindow(1133)) w->Enable(has && form_.context().seriesTable);
    if (wxWindow* w = panel_->FindWindow(1135)) w->Enable(has && form_.CatalogueValveEnabled());
    panel_->Layout();
    if (wxWindow* scroll = panel_->GetParent()) scroll->FitInside();
    showing_ = false;
}

void FormView::Focus(const FormCheck& check) {
    if (wxWindow* w = panel_->FindWindow(FieldControl(check)); w && FieldControl(check)) {
        w->SetFocus();
        if (auto* e = dynamic_cast<wxTextCtrl*>(w)) e->SelectAll();
    }
}

// ---- Events ----

void FormView::OnText(wxCommandEvent& event) {
    event.Skip();
    if (!showing_) Modified();
}

void FormView::OnChoice(wxCommandEvent& event) {
    const int id = event.GetId();
    ProjectDocument& d = Doc().data;
    if (id == 1000) {
        // What was typed into the position shown so far is kept before another is shown.
        if (d.Current()) StoreForm();
        form_.ShowPosition(d, event.GetSelection());
        ShowForm();
        return;
    }
    if (id == 1002) {
        ReadForm();
        form_.ChangeMediumState(d, event.GetSelection());
        Modified();
        ShowForm();
        return;
    }
    for (int r = 0; r < kFormRows; ++r) {
        const auto ri = static_cast<std::size_t>(r);
        if (id != kUnitIds[ri]) continue;
        // The number stays as typed; the focus goes to the row's first enabled point.
        ReadForm();
        Modified();
        for (std::size_t p = 0; p < 3; ++p)
            if (form_.pointEnabled[p])
                if (auto* e = Control<wxTextCtrl>(panel_, kGridIds[ri][p])) {
                    e->SetFocus();
                    e->SelectAll();
                    break;
                }
        return;
    }
    if (id == 1168) Modified();
}

void FormView::OnCheck(wxCommandEvent& event) {
    for (int p = 0; p < 3; ++p)
        if (event.GetId() == kPointChecks[static_cast<std::size_t>(p)]) {
            ReadForm();
            SetPointEnabled(form_, p, event.IsChecked());
            Modified();
            ShowForm();
        }
}

void FormView::OnButton(wxCommandEvent& event) { Command(CommandOf(event.GetId())); }

void FormView::OnUpdateUi(wxUpdateUIEvent& event) {
    const bool has = Doc().data.Current() != nullptr;
    switch (CommandOf(event.GetId())) {
    case 32784:
    case 32785:
    case 32786: event.Enable(has); break;
    case 32792:
        event.Enable(has);
        event.Check(form_.manualValve);
        break;
    case 32793: event.Enable(has && form_.SpecificationEnabled()); break;
    case 32796: event.Enable(Doc().GetDocumentSaved()); break;
    case 32801: event.Enable(has && PositionHasDrawing(Doc().data, *Doc().data.Current())); break;
    case 32797: event.Enable(Doc().GetDocumentSaved() && Core().settings.admin); break;
    default: event.Enable(true);
    }
}

void FormView::Command(int id) {
    ProjectDocument& d = Doc().data;
    const NegativeP2Question askP2 = [](int point) {
        return Ask(FormatText(64403, std::to_string(point + 1))) == Answer::Yes;
    };
    switch (id) {
    case 32783: PositionCommand(PositionDialogMode::New); return;
    case 32786: PositionCommand(PositionDialogMode::Edit); return;
    case 32785: PositionCommand(PositionDialogMode::Copy); return;
    case 32784:
        if (!d.Current()) return;
        ReadForm();
        if (DeletePosition(form_, d, [](const std::string& question) { return Ask(question) == Answer::Yes; })) {
            Modified();
            ShowForm();
        }
        return;
    case 32792:
        ReadForm();
        ToggleManualValve(form_);
        Modified();
        ShowForm();
        return;
    case 32777: ShowLog(); return;
    case 32772:
    case 1143:
        StoreForm();
        if (EditProjectProperties(GetFrame(), d)) {
            Modified();
            Doc().UpdateAllViews();
        }
        return;
    case 32796: Export(false); return;
    case 32797: Export(true); return;
    case wxID_PRINT:
    case wxID_PREVIEW:
        StoreForm();
        PrintDocument(GetFrame(), d, id == wxID_PREVIEW);
        return;
    case 32801:
        if (!d.Current()) return;
        StoreForm();
        ShowDrawing();
        return;
    case 32793:
        if (!d.Current() || !form_.SpecificationEnabled()) return;
        ReadForm();
        if (RunSpecificationSheet(GetFrame(), form_, d)) Modified();
        // The sheet has stored the form and may have changed the position: the form shows it again.
        form_.ShowPosition(d, d.currentPosition);
        Doc().UpdateAllViews();
        return;
    case 1077: Calculate(); return;
    case 1121: {
        wxWindow* focus = wxWindow::FindFocus();
        (focus && panel_->IsDescendant(focus) ? focus : panel_)->Navigate();
        return;
    }
    default: break;
    }
    if (!d.Current()) return;
    switch (id) {
    case 1073: {
        ReadForm();
        const FormCheck check = ApplyMediumProperties(form_, d, askP2);
        Modified();
        ShowForm();
        if (!check.ok()) Focus(check);
        return;
    }
    case 1075: ChooseMedium(); return;
    case 1170: ChoosePipes(); return;
    case 1133: ChooseSeriesCommand(); return;
    case 1135: ChooseCatalogueValveCommand(); return;
    case 1092: ClearMedium(form_); break;
    case 1171: ToggleManualCoefficients(form_); break;
    case 1177: ReadForm(); ClearPoint(form_, 0); break;
    case 32780: ReadForm(); ClearPoint(form_, 1); break;
    case 32781: ReadForm(); ClearPoint(form_, 2); break;
    case 32778: ReadForm(); CopyPoint(form_, 0); break;
    case 32779: ReadForm(); CopyPoint(form_, 1); break;
    default: return;
    }
    Modified();
    ShowForm();
}

void FormView::PositionCommand(PositionDialogMode mode) {
    ProjectDocument& d = Doc().data;
    if (mode != PositionDialogMode::New && !d.Current()) return;
    if (d.Current()) ReadForm();
    const PositionDialogValues values = mode == PositionDialogMode::New ? NewPositionDialogValues(d) : PositionDialogValuesOf(*d.Current());
    PositionDialog dialog(GetFrame(), values, [&](const PositionDialogValues& v) {
        switch (mode) {
        case PositionDialogMode::New: return NewPosition(form_, d, v);
        case PositionDialogMode::Edit: return EditPosition(form_, d, v);
        default: return CopyPosition(form_, d, v);
        }
    });
    if (RunModal(dialog) != wxID_OK) return;
    Modified();
    ShowForm();
    if (mode == PositionDialogMode::New)
        if (auto* e = Control<wxTextCtrl>(panel_, kGridIds[0][0])) {
            e->SetFocus();
            e->SelectAll();
        }
}

void FormView::RefreshUnitLists() {
    if (!panel_) return;
    ProjectDocument& d = Doc().data;
    ReadForm();
    if (d.Current()) form_.StorePosition(d);
    form_.SetUpRows(d, d.Current());
    ShowForm();
}

void FormView::ChooseMedium() {
    ProjectDocument& d = Doc().data;
    if (!MediumControlsFor(form_.mediumState).mediumFieldsShown) return;
    ReadForm();
    const int filter = form_.mediumState == kStateLiquid ? kPhaseLiquid : form_.mediumState == kStateGas ? kPhaseGas : -1;
    const MediaChoice choice = EditMedia(GetFrame(), filter);
    if (!choice.ok || !choice.medium) return;
    const FormCheck check = tarvik::ChooseMedium(form_, d, *choice.medium, [](int point) {
        return Ask(FormatText(64403, std::to_string(point + 1))) == Answer::Yes;
    });
    Modified();
    ShowForm();
    if (!check.ok()) Focus(check);
}

void FormView::ChoosePipes() {
    ReadForm();
    PipeSelection selection;
    selection.texts = form_.pipeTexts;
    if (!tarvik::app::ChoosePipes(GetFrame(), selection)) return;
    ApplyPipes(form_, selection.inletOD, selection.outletOD, selection.inletWall, selection.outletWall, selection.texts);
    Modified();
    ShowForm();
}

void FormView::ChooseSeriesCommand() {
    const SeriesTable* table = form_.context().seriesTable;
    if (!table) return;
    ReadForm();
    const std::string chosen = ChooseValveSeries(GetFrame(), SeriesRows(*table), form_.designationText);
    if (!chosen.empty()) {
        ChooseSeries(form_, Doc().data, chosen);
        Modified();
        ShowForm();
    }
    if (wxWindow* w = panel_->FindWindow(1133)) w->SetFocus();
}

void FormView::ChooseCatalogueValveCommand() {
    if (!form_.series) return;
    ReadForm();
    const int index = ChooseCatalogueValve(GetFrame(), form_.series->valves, form_.selectedCandidate, ComputedKv(form_));
    // Cancel, or no valve identified: the form keeps its valve.
    if (index < 0 || !ApplyCatalogueValve(form_, Doc().data, index)) return;
    Modified();
    ShowForm();
}

void FormView::Calculate() {
    ProjectDocument& d = Doc().data;
    if (!d.Current()) return;
    ReadForm();
    CalculateOptions options;
    options.askNegativeP2 = [](int point) { return Ask(FormatText(64403, std::to_string(point + 1))) == Answer::Yes; };
    options.logPath = CalculationLogPath();
    const CalculateResult r = form_.Calculate(d, options);
    Modified();
    ShowForm();
    if (!r.check.ok()) {
        Focus(r.check);
        return;
    }
    if (!r.summary.empty()) Tell(r.summary);
}

void FormView::ShowDrawing() {
    // Looking at the drawing changes nothing in the project: the window fills a copy's title block.
    ValvePosition copy = *Doc().data.Current();
    ShowPositionDrawing(GetFrame(), Doc().data, copy);
}

void FormView::ShowLog() {
    const std::filesystem::path log = CalculationLogPath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(log, ec) || !wxLaunchDefaultApplication(W(log.string())))
        ShowMessage(63033, log.string());
}

void FormView::Export(bool specification) {
    if (!Doc().GetDocumentSaved()) return;
    StoreForm();
    const ExportResult r = ExportProject(Doc().data, std::filesystem::path(U(Doc().GetFilename())),
                                         specification ? ExportKind::Specification : ExportKind::Summary);
    if (!r.ok) Tell(FormatText(64405, r.path.string()));
}

void StoreForms(ProjectDoc& doc) {
    for (wxView* view : doc.GetViewsVector())
        if (auto* form = dynamic_cast<FormView*>(view)) form->StoreForm();
}

}  // namespace tarvik::app
