// tarvik_screens: pictures of the desktop program's windows for a look at their layout in one
// language. Run by scripts/screenshot.sh --dialogs under Xvfb; no test. Each dialog is shown
// modeless where the program would run it modally, captured from the screen and closed.
//   tarvik_screens PROGRAM_DIR OUT_DIR
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

#include "app/assert_handler.hpp"
#include "app/catalogue_dialogs.hpp"
#include "app/dialogs.hpp"
#include "app/drawing_window.hpp"
#include "app/form_view.hpp"
#include "app/layouts.hpp"
#include "app/printing.hpp"
#include "app/project_doc.hpp"
#include "app/spec_sheet_dialog.hpp"
#include "app/tarvik_app.hpp"
#include "app/update_dialog.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik::app;

fs::path g_out;
int g_failures = 0;

// A real event loop for a while: GTK paints on its frame clock, which a yield does not drive.
void Settle() {
    wxGUIEventLoop loop;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { loop.Exit(); });
    timer.StartOnce(500);
    loop.Run();
}

// The window's part of the screen as a PNG (ImageMagick's import reads the X server).
void Capture(wxWindow& w, const std::string& name) {
    Settle();
    const wxRect r = w.GetScreenRect();
    const fs::path png = g_out / (name + ".png");
    const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                                std::to_string(r.height) + "+" + std::to_string(r.x) + "+" + std::to_string(r.y) +
                                " +repage '" + png.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "tarvik_screens: %s not captured\n", name.c_str());
        ++g_failures;
        return;
    }
    std::printf("%s\n", png.c_str());
}

// The next dialog the program runs is captured under `name` and cancelled.
void CaptureNextDialog(const std::string& name) {
    ModalHook() = [name](wxDialog& d) {
        d.Fit();
        d.CentreOnScreen();
        d.Show();
        Capture(d, name);
        d.Hide();
        ModalHook() = nullptr;
        return static_cast<int>(wxID_CANCEL);
    };
}

class ScreensApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvik_screens PROGRAM_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path program = argv[1];
    g_out = argv[2];
    fs::create_directories(g_out);
    int wxArgc = 1;
    wxApp::SetInstance(new ScreensApp);
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "tarvik_screens: no display\n");
        return 1;
    }
    InstallProgramAssertHandler();
    wxTheApp->CallOnInit();
    User().tell = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };
    User().ask = [](const std::string&, bool) { return Answer::No; };
    StartOptions options;
    options.programDir = program.string();
    options.openFile = (program / "Demo.tkp").string();
    if (!StartApplication(options)) return 1;
    MainFrame* frame = TheMainFrame();
    frame->SetSize(0, 0, 1400, 1000);
    auto* view = dynamic_cast<FormView*>(DocManager()->GetDocumentsVector().back()->GetFirstView());
    wxWindow* panel = view->panel();
    // The first position, calculated, so that the valve dialog sizes with its Kv.
    if (auto* list = Control<wxChoice>(panel, 1000); list && list->GetCount() > 0) {
        list->SetSelection(0);
        wxCommandEvent pick(wxEVT_CHOICE, 1000);
        pick.SetInt(0);
        pick.SetEventObject(list);
        list->ProcessWindowEvent(pick);
    }
    view->Command(1077);
    Capture(*frame, "form");

    CaptureNextDialog("173-steam");
    {
        SteamDialog d(frame);
        RunModal(d);
    }
    CaptureNextDialog("100-about");
    ShowAbout(frame);
    CaptureNextDialog("179-company-index");
    EditCompanyIndex(frame);
    CaptureNextDialog("position");
    view->Command(32786);
    CaptureNextDialog("project");
    view->Command(1143);
    CaptureNextDialog("135-series");
    view->Command(1133);
    CaptureNextDialog("146-catalogue-valve");
    view->Command(1135);
    CaptureNextDialog("default-units");
    EditDefaultUnits(frame);
    CaptureNextDialog("user-units");
    EditUserUnits(frame);
    CaptureNextDialog("media");
    EditMedia(frame, -1);
    CaptureNextDialog("pipes");
    EditPipes(frame);
    CaptureNextDialog("pipe-selection");
    view->Command(1170);

    // Printing: the dialog as it opens, the preview of every position in the landscape layout,
    // and the drawing window of the first position.
    CaptureNextDialog("138-print");
    view->Command(wxID_PRINT);
    {
        // The print dialog's choices are made in the document directly: all positions, landscape.
        tarvik::ProjectDocument& doc = static_cast<tarvik::app::ProjectDoc*>(view->GetDocument())->data;
        for (auto& p : doc.positions) p.printSelected = 1;
        doc.printLandscape = 1;
        doc.printExtraPages = 0;
        if (wxFrame* preview = OpenPrintPreview(frame, doc)) {
            preview->SetSize(0, 0, 1100, 900);
            Capture(*preview, "print-preview");
            preview->Destroy();
        }
    }
    view->Command(32801);
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* drawing = dynamic_cast<DrawingFrame*>(w)) {
            drawing->SetSize(0, 0, 1100, 800);
            Capture(*drawing, "drawing-window");
            drawing->Destroy();
        }

    // 166: the update's progress in the middle of a run (the per-file status when the pack has it).
    {
        UpdateDialogUi update(frame);
        update.ShowProgress();
        const std::string file = "dbv/V200.dbv (2./5)";
        update.Status(tarvik::GetText(63095).empty() ? file : tarvik::FormatText(63095, file));
        update.SetRange(5);
        update.SetPosition(2);
        if (update.Window()) Capture(*update.Window(), "166-update");
    }
    // The specification sheet of the first position, page by page; the actuator page sized.
    ModalHook() = [](wxDialog& d) {
        auto* sheet = dynamic_cast<SpecSheetDialog*>(&d);
        if (!sheet) return static_cast<int>(wxID_CANCEL);
        d.CentreOnScreen();
        d.Show();
        tarvik::SpecificationSheet& core = sheet->sheet();
        core.SetText(57, "bar");
        core.SetText(55, "16");
        core.SetText(56, "1");
        for (int page = 1; page <= tarvik::SpecificationSheet::kPageCount; ++page) {
            sheet->SelectPage(page);
            if (page == 3) {
                core.actuatorKind = tarvik::kKindPneumatic;
                for (int item : {14, 10})
                    if (auto f = core.Field(item); f && !f->choices.empty()) core.SetText(item, f->choices.front());
                wxCommandEvent size(wxEVT_BUTTON, 1042);
                sheet->Page(3)->FindWindow(1042)->ProcessWindowEvent(size);
            }
            Capture(d, "spec-page" + std::to_string(page));
        }
        d.Hide();
        return static_cast<int>(wxID_CANCEL);
    };
    view->Command(32793);
    ModalHook() = nullptr;

    for (wxDocument* d : DocManager()->GetDocumentsVector()) d->Modify(false);
    DocManager()->CloseDocuments(true);
    EndApplication();
    for (wxWindow* w : wxTopLevelWindows) w->Destroy();
    wxTheApp->ProcessPendingEvents();
    ReleaseApplication();
    wxEntryCleanup();
    return g_failures == 0 ? 0 : 1;
}
