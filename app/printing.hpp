#pragma once
// Printing the calculation sheets: the print dialog (138), the printout that draws the planned
// pages on the printer or the preview, and Save as PDF from the dialog.
#include <set>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/print.h>

#include "output/calculation_sheet.hpp"
#include "project/print_dialog_model.hpp"

namespace tarvik::app {

// The print options the document holds after the dialog.
PrintOptions PrintOptionsOf(const ProjectDocument& doc);

// 138: shows the model and keeps it in step with the controls. OK refuses an empty language
// (63035); Save as PDF writes the chosen pages to a file and leaves the dialog open.
class PrintDialog : public wxDialog {
public:
    PrintDialog(wxWindow* parent, ProjectDocument& doc, bool preview);
    const PrintDialogModel& model() const { return model_; }

private:
    void Show_();
    void Read();
    void OnOk(wxCommandEvent&);
    void SavePdf();
    ProjectDocument& doc_;
    PrintDialogModel model_;
};

// The planned pages of one job drawn through the wx print cycle.
class SheetPrintout : public wxPrintout {
public:
    SheetPrintout(ProjectDocument& doc, const PrintOptions& options, bool preview);

    void OnPreparePrinting() override;
    void OnBeginPrinting() override;
    void OnEndPrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

    const std::vector<PrintPage>& pages() const { return pages_; }

private:
    ProjectDocument& doc_;
    PrintOptions options_;
    bool preview_;
    std::vector<PrintPage> pages_;
    std::vector<std::string> messages_;
    std::set<std::string> shown_;  // a message once per job, however often the preview redraws
};

// File > Print (preview false) and Print Preview of the document: no positions gives 63011;
// otherwise the dialog, then the printer's own dialog or the preview frame. The preview frame is
// returned (null when none was opened) so that callers can page through it.
wxFrame* PrintDocument(wxWindow* parent, ProjectDocument& doc, bool preview);
// The preview frame of the positions marked for printing, with the document's print options.
wxFrame* OpenPrintPreview(wxWindow* parent, ProjectDocument& doc);

}  // namespace tarvik::app
