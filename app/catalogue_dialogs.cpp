#include "app/catalogue_dialogs.hpp"

#include <algorithm>
#include <tuple>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/progdlg.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/dialogs.hpp"
#include "app/form_view.hpp"
#include "app/layouts.hpp"
#include "app/startup.hpp"
#include "app/tarvik_app.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "data/pipe_import.hpp"
#include "project/valve_selection.hpp"
#include "units/unit_display.hpp"
#include "units/unit_files.hpp"
#include "units/unit_lists.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }
std::string U(const wxString& s) { return s.utf8_string(); }

constexpr int kGridId = 1183;
constexpr int kPipeGridFormat = 64600, kUnitGridFormat = 64601, kMediaGridFormat = 139;
constexpr int kQuantityTexts = 64640;  // 64640 to 64643 in the order of the quantity codes
constexpr int kMsgSelectOneRow = 63005, kMsgPipesMissing = 63004, kAskDeleteMedia = 63084;
constexpr int kImportFilter = 63041, kImportTitle = 63042, kImportProgress = 63043, kImportReading = 63008;

std::filesystem::path Dir() { return Core().session->programDir(); }

std::string Text(wxWindow* parent, int id) {
    auto* t = Control<wxTextCtrl>(parent, id);
    return t ? U(t->GetValue()) : std::string();
}
void SetText(wxWindow* parent, int id, const std::string& s) {
    if (auto* t = Control<wxTextCtrl>(parent, id)) t->ChangeValue(W(s));
}
double Number(wxWindow* parent, int id) { return ParseNumber(Text(parent, id)); }
void SetNumber(wxWindow* parent, int id, double v) { SetText(parent, id, FormatNumber(v, 0)); }

void BindOkCancel(wxDialog& d, std::function<bool()> accept = {}) {
    d.Bind(wxEVT_BUTTON, [&d, accept](wxCommandEvent&) {
        if (!accept || accept()) CloseDialog(d, wxID_OK);
    }, wxID_OK);
    d.Bind(wxEVT_BUTTON, [&d](wxCommandEvent&) { CloseDialog(d, wxID_CANCEL); }, wxID_CANCEL);
}

// ---- Record dialogs ----

bool EditUnit(wxWindow* parent, UnitDef& unit) {
    wxDialog d;
    if (!wxXmlResource::Get()->LoadDialog(&d, parent, "176")) return false;
    if (auto* c = Control<wxChoice>(&d, 1000)) {
        for (int q = kQuantityVolumeFlow; q <= kQuantityMassFlow; ++q) c->Append(W(GetText(kQuantityTexts + q)));
        c->SetSelection(unit.quantity >= 0 && unit.quantity <= kQuantityMassFlow ? unit.quantity : wxNOT_FOUND);
    }
    SetText(&d, 1001, unit.name);
    SetNumber(&d, 1124, unit.factor);
    SetNumber(&d, 1126, unit.offset);
    UnitDef edited = unit;
    BindOkCancel(d, [&] {
        auto* c = Control<wxChoice>(&d, 1000);
        edited.quantity = c ? c->GetSelection() : -1;
        edited.name = Text(&d, 1001);
        edited.factor = Number(&d, 1124);
        edited.offset = Number(&d, 1126);
        if (const int refusal = CheckUnitDialog(edited)) {
            Tell(GetText(refusal));
            if (wxWindow* w = d.FindWindow(edited.name.find_first_not_of(" \t") == std::string::npos ? 1001 : 1000)) w->SetFocus();
            return false;
        }
        return true;
    });
    if (RunModal(d) != wxID_OK) return false;
    unit = edited;
    return true;
}

bool EditMediumRecord(wxWindow* parent, Medium& m) {
    wxDialog d;
    if (!wxXmlResource::Get()->LoadDialog(&d, parent, "134")) return false;
    SetText(&d, 1001, m.name);
    SetText(&d, 1124, m.name2);
    SetText(&d, 1126, m.note);
    if (auto* c = Control<wxChoice>(&d, 1000)) {
        c->Append(W(PhaseText(kPhaseLiquid)));
        c->Append(W(PhaseText(kPhaseGas)));
        c->SetSelection(m.phase == kPhaseLiquid ? 0 : 1);
    }
    const std::pair<int, double Medium::*> numbers[] = {
        {1128, &Medium::auxValue1},       {1002, &Medium::density},   {1010, &Medium::normalDensity},
        {1003, &Medium::vapourPressure},  {1004, &Medium::viscosity}, {1005, &Medium::criticalPressure},
        {1006, &Medium::auxValue2},       {1007, &Medium::molarMass}, {1009, &Medium::compressibility},
        {1008, &Medium::kappa},           {1011, &Medium::soundSpeed}};
    for (const auto& [id, field] : numbers) SetNumber(&d, id, m.*field);
    BindOkCancel(d);
    if (RunModal(d) != wxID_OK) return false;
    m.name = Text(&d, 1001);
    m.name2 = Text(&d, 1124);
    m.note = Text(&d, 1126);
    if (auto* c = Control<wxChoice>(&d, 1000)) m.phase = PhaseFromText(U(c->GetStringSelection()), m.phase);
    for (const auto& [id, field] : numbers) m.*field = Number(&d, id);
    return true;
}

bool EditPipeRecord(wxWindow* parent, Pipe& p) {
    wxDialog d;
    if (!wxXmlResource::Get()->LoadDialog(&d, parent, "144")) return false;
    SetText(&d, 1002, p.kind);
    SetText(&d, 1001, p.size);
    SetText(&d, 1124, p.wall);
    SetNumber(&d, 1126, p.outsideDiameter);
    SetNumber(&d, 1128, p.wallThickness);
    BindOkCancel(d);
    if (RunModal(d) != wxID_OK) return false;
    p.kind = Text(&d, 1002);
    p.size = Text(&d, 1001);
    p.wall = Text(&d, 1124);
    p.outsideDiameter = Number(&d, 1126);
    p.wallThickness = Number(&d, 1128);
    return true;
}

// The forms show the units of the current lists.
void RefreshForms() {
    if (!DocManager()) return;
    for (wxDocument* doc : DocManager()->GetDocumentsVector())
        for (wxView* view : doc->GetViewsVector())
            if (auto* form = dynamic_cast<FormView*>(view)) form->RefreshUnitLists();
}

}  // namespace

void ShapeMediaGrid(ListGrid& g) {
    g.ScaleColumn(0, 0.75);
    for (int c = 5; c <= 13; ++c) g.ScaleColumn(c, 0.75);
    g.ScaleColumn(14, 2);
    g.SetColSize(15, static_cast<int>(g.GetColSize(14) * 0.75));
    g.HideColumn(16);
    g.HideColumn(17);
}

void ShapePipeGrid(ListGrid& g) {
    for (int c = 1; c <= 4; ++c) g.ScaleColumn(c, 0.75);
    g.HideColumn(5);
    g.HideColumn(6);
}

// ---- The list dialog ----

CatalogueListDialog::CatalogueListDialog(wxWindow* parent, const char* layout, int columnFormat) {
    wxXmlResource::Get()->LoadDialog(this, parent, layout);
    grid_ = new ListGrid(this, kGridId);
    if (!wxXmlResource::Get()->AttachUnknownControl(W(std::to_string(kGridId)), grid_, this)) grid_->Hide();
    grid_->SetColumnFormat(GetText(columnFormat));
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { New(); }, 5);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Edit(); }, 4);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Delete(); }, 3);
    Bind(EVT_LIST_ROW_SELECTED, [this](wxCommandEvent& e) { UpdateButtons(e.GetInt()); });
    Bind(EVT_LIST_ROW_ACTIVATED, [this](wxCommandEvent& e) {
        if (!editable || editable(e.GetInt())) Edit();
    });
    Bind(EVT_LIST_DELETE_KEY, [this](wxCommandEvent&) {
        if (wxWindow* b = FindWindow(3); b && b->IsEnabled()) Delete();
    });
    BindOkCancel(*this);
}

void CatalogueListDialog::SizeToColumns() {
    int width = grid_->GetRowLabelSize() + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X) + 4;
    for (int c = 0; c < grid_->GetNumberCols(); ++c)
        if (grid_->IsColShown(c)) width += grid_->GetColSize(c);
    grid_->SetMinSize(wxSize(std::min(width, 1100), 400));
    Fit();
}

void CatalogueListDialog::UpdateButtons(int row) {
    const bool on = !editable || editable(row);
    for (int id : {3, 4})
        if (wxWindow* b = FindWindow(id)) b->Enable(on);
}

void CatalogueListDialog::Refill() {
    grid_->SetRows(rows ? rows() : std::vector<ListRow>{});
    UpdateButtons(grid_->CurrentRow());
}

void CatalogueListDialog::New() {
    if (add && add()) Refill();
}

void CatalogueListDialog::Edit() {
    if (!grid_->SingleRowSelected()) {
        Tell(GetText(kMsgSelectOneRow));
        return;
    }
    const auto index = SingleRowIndex(grid_->Rows(), grid_->CurrentRow(), grid_->SelectionEnd());
    if (!index || !edit) return;
    if (edit(*index)) Refill();
}

void CatalogueListDialog::Delete() {
    if (editable && !editable(grid_->CurrentRow())) return;
    if (Ask(GetText(deleteQuestion)) != Answer::Yes) return;
    const int a = grid_->CurrentRow(), b = grid_->SelectionEnd();
    if (erase) erase(RowIndices(grid_->Rows(), a, b));
    Refill();
    grid_->SetCurrentRow(std::min(a, b));
    UpdateButtons(grid_->CurrentRow());
}

// ---- Units ----

bool EditDefaultUnits(wxWindow* parent) {
    wxDialog d;
    if (!wxXmlResource::Get()->LoadDialog(&d, parent, "DefaultUnitsDialog")) return false;
    DefaultUnits& names = DefaultUnitNames();
    const std::tuple<int, int, std::string*> lists[] = {
        {1000, kListFlow, &names.flow}, {1001, kListTemperature, &names.temperature}, {1002, kListPressure, &names.pressure}};
    for (const auto& [id, kind, name] : lists)
        if (auto* c = Control<wxChoice>(&d, id)) {
            for (const auto& n : FillUnitList(kind, kAnyMediumState).names) c->Append(W(n));
            c->SetStringSelection(W(*name));
        }
    BindOkCancel(d);
    if (RunModal(d) != wxID_OK) return false;
    for (const auto& [id, kind, name] : lists)
        if (auto* c = Control<wxChoice>(&d, id); c && c->GetSelection() != wxNOT_FOUND) *name = U(c->GetStringSelection());
    SaveDefaultUnitNames(Dir());
    return true;
}

bool EditUserUnits(wxWindow* parent) {
    std::vector<UnitDef> units = UserUnits();
    CatalogueListDialog d(parent, "UserUnitsDialog", kUnitGridFormat);
    d.rows = [&] { return UnitListRows(units); };
    d.add = [&] {
        UnitDef unit{"", -1, 0, 0, 0};
        if (!EditUnit(&d, unit)) return false;
        AddUserUnit(units, unit);
        return true;
    };
    d.edit = [&](int i) { return EditUnit(&d, units[static_cast<std::size_t>(i)]); };
    d.erase = [&](const std::vector<int>& indices) { EraseRecords(units, indices); };
    d.Refill();
    d.SizeToColumns();
    if (RunModal(d) != wxID_OK) return false;
    UserUnits() = std::move(units);
    RebuildUnitDisplayTexts();
    SaveUserUnits(Dir());
    RefreshForms();
    return true;
}

// ---- Media ----

namespace {
// The media list opens where it was last left with OK.
int g_lastMediaRow = 0;
}  // namespace

MediaChoice EditMedia(wxWindow* parent, int phaseFilter) {
    MediaCatalogue& catalogue = Core().session->media();
    std::vector<Medium> media = catalogue.media;
    CatalogueListDialog d(parent, "132", kMediaGridFormat);
    ShapeMediaGrid(*d.grid());
    d.deleteQuestion = kAskDeleteMedia;
    d.rows = [&] { return MediaListRows(media, phaseFilter); };
    d.editable = [&](int row) { return MediumRowEditable(d.grid()->Rows(), row); };
    d.add = [&] {
        Medium m;
        m.source = "U";
        if (!EditMediumRecord(&d, m)) return false;
        AddUserMedium(media, m);
        return true;
    };
    d.edit = [&](int i) { return EditMediumRecord(&d, media[static_cast<std::size_t>(i)]); };
    d.erase = [&](const std::vector<int>& indices) { EraseRecords(media, indices); };
    d.Refill();
    d.grid()->SetCurrentRow(g_lastMediaRow);
    d.Refill();
    MediaChoice choice;
    d.SizeToColumns();
    if (RunModal(d) != wxID_OK) return choice;
    choice.ok = true;
    const ListGrid& g = *d.grid();
    if (const auto i = SingleRowIndex(g.Rows(), g.CurrentRow(), g.SelectionEnd())) choice.medium = media[static_cast<std::size_t>(*i)];
    g_lastMediaRow = std::max(0, g.CurrentRow());
    catalogue.media = std::move(media);
    SaveUserMedia(catalogue, Dir());
    return choice;
}

// ---- Pipes ----

FileChooser& FileChoiceHook() {
    static FileChooser hook;
    return hook;
}

std::optional<std::string> ChooseFileToOpen(wxWindow* parent, const std::string& title, const std::string& filter) {
    if (FileChoiceHook()) return FileChoiceHook()(parent, title, filter);
    wxFileDialog files(parent, W(title), wxString(), wxString(), W(filter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (files.ShowModal() != wxID_OK) return std::nullopt;
    return U(files.GetPath());
}

namespace {

// Button 6: pipes of a workbook appended to the dialog's list. True when some were appended.
bool ImportPipes(wxWindow* parent, std::vector<Pipe>& pipes) {
    const auto file = ChooseFileToOpen(parent, GetText(kImportTitle), GetText(kImportFilter));
    if (!file) return false;
    const std::filesystem::path path(*file);
    PipeImportResult r;
    {
        wxProgressDialog progress(W(GetText(kImportTitle)), W(GetText(kImportReading)), 100, parent, wxPD_AUTO_HIDE | wxPD_SMOOTH);
        r = ImportPipeWorkbook(path, [&](int rows) { progress.Pulse(W(FormatText(kImportProgress, std::to_string(rows)))); });
    }
    if (r.severalSheets) Tell(GetText(kMsgWorkbookSeveralSheets));
    if (r.message != 0) {
        ShowMessage(r.message, r.detail);
        return false;
    }
    AppendImportedPipes(pipes, r.rows);
    return !r.rows.empty();
}

}  // namespace

bool EditPipes(wxWindow* parent) {
    PipeCatalogue& catalogue = Core().session->pipes();
    std::vector<Pipe> pipes = catalogue.pipes;
    CatalogueListDialog d(parent, "143", kPipeGridFormat);
    ShapePipeGrid(*d.grid());
    d.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (ImportPipes(&d, pipes)) d.Refill();
    }, 6);
    d.rows = [&] { return PipeListRows(pipes); };
    d.add = [&] {
        Pipe p;
        if (!EditPipeRecord(&d, p)) return false;
        AddPipe(pipes, p);
        return true;
    };
    d.edit = [&](int i) { return EditPipeRecord(&d, pipes[static_cast<std::size_t>(i)]); };
    d.erase = [&](const std::vector<int>& indices) { EraseRecords(pipes, indices); };
    d.Refill();
    d.SizeToColumns();
    if (RunModal(d) != wxID_OK) return false;
    catalogue.pipes = std::move(pipes);
    SavePipes(catalogue, Dir());
    return true;
}

namespace {

// One side of the selection dialog: kind, size and wall lists from `base`, values at base + 3
// and base + 4.
class PipeSide {
public:
    PipeSide(wxDialog& d, int base, const std::vector<Pipe>& pipes, PipeChoice& choice)
        : d_(d), base_(base), pipes_(pipes), choice_(choice) {
        d.Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Pick(0); FillSizes(); }, base);
        d.Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Pick(1); FillWalls(); }, base + 1);
        d.Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Pick(2); Resolve(); }, base + 2);
    }
    void Start() { Fill(0, PipeKinds(pipes_), choice_.kind); FillSizes(); }

private:
    std::string& Key(int k) { return k == 0 ? choice_.kind : k == 1 ? choice_.size : choice_.wall; }
    // Text 63950 first; the stored key picks its entry (by prefix), or the first entry.
    void Fill(int k, const std::vector<std::string>& entries, const std::string& key) {
        auto* c = Control<wxChoice>(&d_, base_ + k);
        if (!c) return;
        c->Clear();
        c->Append(W(GetText(kTextFirstListEntry)));
        for (const auto& e : entries) c->Append(W(e));
        const int i = SelectByPrefix(entries, key);
        c->SetSelection(i + 1);
        Key(k) = i >= 0 ? entries[static_cast<std::size_t>(i)] : std::string();
    }
    void Pick(int k) {
        auto* c = Control<wxChoice>(&d_, base_ + k);
        Key(k) = c && c->GetSelection() > 0 ? U(c->GetStringSelection()) : std::string();
    }
    void FillSizes() {
        const std::string stored = choice_.size;
        Fill(1, choice_.kind.empty() ? std::vector<std::string>{} : PipeSizes(pipes_, choice_.kind), stored);
        FillWalls();
    }
    void FillWalls() {
        const std::string stored = choice_.wall;
        Fill(2, choice_.size.empty() ? std::vector<std::string>{} : PipeWalls(pipes_, choice_.kind, choice_.size), stored);
        Resolve();
    }
    void Resolve() {
        ResolvePipeChoice(pipes_, choice_);
        for (const auto& [id, v] : {std::pair{base_ + 3, choice_.outsideDiameter}, std::pair{base_ + 4, choice_.wallThickness}})
            if (auto* s = Control<wxStaticText>(&d_, id)) s->SetLabel(W(FormatNumber(v, 0)));
    }

    wxDialog& d_;
    int base_;
    const std::vector<Pipe>& pipes_;
    PipeChoice& choice_;
};

}  // namespace

bool ChoosePipes(wxWindow* parent, PipeSelection& selection) {
    wxDialog d;
    if (!wxXmlResource::Get()->LoadDialog(&d, parent, "PipeSelectionDialog")) return false;
    const std::vector<Pipe>& pipes = Core().session->pipes().pipes;
    const auto& t = selection.texts;
    PipeChoice in{t[0], t[1], t[2]}, out{t[3], t[4], t[5]};
    PipeSide inlet(d, 1000, pipes, in), outlet(d, 1005, pipes, out);
    inlet.Start();
    outlet.Start();
    BindOkCancel(d, [&] {
        if (PipeChoicesComplete(in, out)) return true;
        Tell(GetText(kMsgPipesMissing));
        return false;
    });
    d.Fit();
    if (RunModal(d) != wxID_OK) return false;
    selection.texts = {in.kind, in.size, in.wall, out.kind, out.size, out.wall};
    selection.inletOD = in.outsideDiameter;
    selection.inletWall = in.wallThickness;
    selection.outletOD = out.outsideDiameter;
    selection.outletWall = out.wallThickness;
    return true;
}

}  // namespace tarvik::app
