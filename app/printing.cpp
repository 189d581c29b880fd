#include "app/printing.hpp"

#include <algorithm>
#include <filesystem>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/printdlg.h>
#include <wx/xrc/xmlres.h>

#include "app/dc_canvas.hpp"
#include "app/dialogs.hpp"
#include "app/layouts.hpp"
#include "app/tarvik_app.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

// The program's page setup (Print Setup) in the job's orientation.
wxPrintDialogData JobPrintData(const PrintOptions& options) {
    wxPrintData& data = PageSetup().GetPrintData();
    data.SetOrientation(options.landscape ? wxLANDSCAPE : wxPORTRAIT);
    return wxPrintDialogData(data);
}

}  // namespace

PrintOptions PrintOptionsOf(const ProjectDocument& doc) {
    PrintOptions o;
    o.landscape = doc.printLandscape != 0;
    o.drawings = doc.printExtraPages != 0;
    o.secondLanguage = doc.itemLanguage == 2;
    return o;
}

// ---- The dialog ----

PrintDialog::PrintDialog(wxWindow* parent, ProjectDocument& doc, bool preview)
    : doc_(doc), model_(PrintDialogModel::Open(doc, preview)) {
    wxXmlResource::Get()->LoadDialog(this, parent, "138");
    if (auto* list = Control<wxListBox>(this, 1135)) {
        wxArrayString names;
        for (const auto& n : model_.names) names.Add(W(n));
        list->Set(names);
    }
    if (auto* combo = Control<wxComboBox>(this, 1000)) {
        combo->Clear();
        for (const auto& t : PrintLanguageTexts()) combo->Append(W(t));
        combo->SetValue(W(model_.language));
    }
    Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { Read(); Show_(); }, 1135);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        Read();
        model_.ToggleAll();
        Show_();
    }, 3);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Read(); Show_(); }, 1044);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Read(); Show_(); }, 1045);
    Bind(wxEVT_BUTTON, &PrintDialog::OnOk, this, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SavePdf(); }, 1043);
    Show_();
    Fit();
}

// Controls -> model.
void PrintDialog::Read() {
    if (auto* list = Control<wxListBox>(this, 1135))
        for (std::size_t i = 0; i < model_.selected.size(); ++i) model_.selected[i] = list->IsSelected(static_cast<int>(i));
    if (auto* c = Control<wxCheckBox>(this, 1044)) model_.SetLandscape(c->GetValue());
    if (auto* c = Control<wxCheckBox>(this, 1045)) model_.SetDrawings(c->GetValue());
    if (auto* combo = Control<wxComboBox>(this, 1000)) model_.language = combo->GetValue().utf8_string();
}

// Model -> controls.
void PrintDialog::Show_() {
    if (auto* list = Control<wxListBox>(this, 1135))
        for (std::size_t i = 0; i < model_.selected.size(); ++i) {
            const int n = static_cast<int>(i);
            if (list->IsSelected(n) != model_.selected[i]) {
                if (model_.selected[i]) list->SetSelection(n);
                else list->Deselect(n);
            }
        }
    if (auto* b = Control<wxButton>(this, 3)) b->SetLabel(W(GetText(model_.ToggleCaption())));
    if (auto* c = Control<wxCheckBox>(this, 1044)) c->SetValue(model_.landscape);
    if (auto* c = Control<wxCheckBox>(this, 1045)) {
        c->SetValue(model_.drawings);
        c->Enable(model_.DrawingsEnabled());
    }
    for (int id : {static_cast<int>(wxID_OK), 1043})
        if (wxWindow* w = FindWindow(id)) w->Enable(model_.OkEnabled());
    Layout();
}

void PrintDialog::OnOk(wxCommandEvent&) {
    Read();
    if (const int refusal = model_.Check()) {
        Tell(GetText(refusal));
        if (wxWindow* w = FindWindow(1000)) w->SetFocus();
        return;
    }
    model_.Apply(doc_);
    CloseDialog(*this, wxID_OK);
}

void PrintDialog::SavePdf() {
    Read();
    if (!model_.OkEnabled()) return;
    if (const int refusal = model_.Check()) {
        Tell(GetText(refusal));
        return;
    }
    wxFileDialog ask(this, W(GetText(64713)), "", "", W(GetText(64714)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (RunModal(ask) != wxID_OK) return;
    wxString chosen = ask.GetPath();
    // GTK's chooser reports only what was chosen in it; a path the program set stays with the base.
    if (chosen.empty()) chosen = ask.wxFileDialogBase::GetPath();
    std::filesystem::path file(chosen.utf8_string());
    if (file.extension().empty()) file += ".pdf";
    // The file holds the pages a printer would get.
    model_.Apply(doc_);
    const PrintOptions options = PrintOptionsOf(doc_);
    std::vector<std::string> messages;
    std::string error;
    const bool ok = WritePrintPdf(file, doc_, PlanPrintPages(doc_, options, false), options, messages, error);
    std::sort(messages.begin(), messages.end());
    messages.erase(std::unique(messages.begin(), messages.end()), messages.end());
    for (const auto& m : messages) Tell(m);
    Tell(ok ? FormatText(63103, file.string()) : FormatText(64405, file.string()));
}

// ---- The printout ----

SheetPrintout::SheetPrintout(ProjectDocument& doc, const PrintOptions& options, bool preview)
    : wxPrintout(W(GetText(57344))), doc_(doc), options_(options), preview_(preview) {
    if (preview_) options_.drawings = false;
}

void SheetPrintout::OnPreparePrinting() { pages_ = PlanPrintPages(doc_, options_, preview_); }

void SheetPrintout::OnBeginPrinting() {
    // The program's page setup follows the job's orientation, as the next job starts from it.
    PageSetup().GetPrintData().SetOrientation(options_.landscape ? wxLANDSCAPE : wxPORTRAIT);
    wxPrintout::OnBeginPrinting();
}

void SheetPrintout::OnEndPrinting() {
    std::vector<std::string> fresh;
    for (const auto& m : messages_)
        if (shown_.insert(m).second) fresh.push_back(m);
    messages_.clear();
    if (fresh.empty()) return;
    // The preview draws its pages while painting: tell afterwards, not from inside the paint.
    if (preview_)
        wxTheApp->CallAfter([fresh] {
            for (const auto& m : fresh) Tell(m);
        });
    else
        for (const auto& m : fresh) Tell(m);
}

bool SheetPrintout::HasPage(int page) { return page >= 1 && page <= static_cast<int>(pages_.size()); }

void SheetPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    const int n = static_cast<int>(pages_.size());
    *minPage = n > 0 ? 1 : 0;
    *maxPage = n;
    *pageFrom = *minPage;
    *pageTo = n;
}

bool SheetPrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page)) return false;
    // Device units are printer pixels; the preview scales them down to its bitmap.
    int pw = 0, ph = 0;
    GetPageSizePixels(&pw, &ph);
    if (pw <= 0 || ph <= 0) return false;
    FitThisSizeToPage(wxSize(pw, ph));
    const wxRect r = GetLogicalPageRect();
    int ppiX = 0, ppiY = 0;
    GetPPIPrinter(&ppiX, &ppiY);
    PageDevice device;
    device.printable = {static_cast<double>(r.x), static_cast<double>(r.y), static_cast<double>(r.x + r.width),
                        static_cast<double>(r.y + r.height)};
    device.dpiX = ppiX > 0 ? ppiX : 72;
    device.dpiY = ppiY > 0 ? ppiY : 72;
    DcCanvas canvas(*dc);
    if (!canvas.ok()) return false;
    DrawPrintPage(canvas, device, doc_, pages_[static_cast<std::size_t>(page - 1)], options_, messages_);
    return true;
}

// ---- The cycle ----

wxFrame* PrintDocument(wxWindow* parent, ProjectDocument& doc, bool preview) {
    if (doc.positions.empty()) {
        Tell(GetText(63011));
        return nullptr;
    }
    PrintDialog dialog(parent, doc, preview);
    if (RunModal(dialog) != wxID_OK) return nullptr;
    if (!preview) {
        const PrintOptions options = PrintOptionsOf(doc);
        wxPrintDialogData dialogData = JobPrintData(options);
        wxPrinter printer(&dialogData);
        SheetPrintout printout(doc, options, false);
        if (!printer.Print(parent, &printout, true) && wxPrinter::GetLastError() == wxPRINTER_ERROR)
            Tell(GetText(64717));
        return nullptr;
    }
    return OpenPrintPreview(parent, doc);
}

wxFrame* OpenPrintPreview(wxWindow* parent, ProjectDocument& doc) {
    const PrintOptions options = PrintOptionsOf(doc);
    wxPrintDialogData dialogData = JobPrintData(options);
    // The preview's own Print button prints what the preview shows.
    auto* view = new wxPrintPreview(new SheetPrintout(doc, options, true), new SheetPrintout(doc, options, true), &dialogData);
    if (!view->IsOk()) {
        delete view;
        return nullptr;
    }
    auto* frame = new wxPreviewFrame(view, parent, W(GetText(64715)), wxDefaultPosition, wxSize(900, 700));
    frame->Initialize();
    frame->Show();
    return frame;
}

}  // namespace tarvik::app
