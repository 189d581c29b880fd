#pragma once
// The application: start-up (configuration, language pack, catalogues, layouts), the main
// frame with menu, toolbar and status bar, the document template, the application's commands
// and the settings written at exit.
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/docmdi.h>
#include <wx/docview.h>
#include <wx/cmndata.h>

namespace tarvik::app {

class MainFrame : public wxDocMDIParentFrame {
public:
    MainFrame(wxDocManager* manager, const wxString& title);
    ~MainFrame() override;

private:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateUi(wxUpdateUIEvent& event);
    void OnDropFiles(wxDropFilesEvent& event);
};

struct StartOptions {
    std::string programDir;  // empty: the folder of the program file
    std::string openFile;    // a project named on the command line
};

// Everything OnInit does, usable by tests with their own wxApp: false ends the start (the
// reason has been shown).
bool StartApplication(const StartOptions& options);
// What OnExit does first: placement, recent files and the update switch are written.
void EndApplication();
// Then the document manager goes (after the frames).
void ReleaseApplication();

wxDocManager* DocManager();
// The page setup chosen with Print Setup (57606): the document manager keeps it for the session,
// and printing starts from it.
wxPageSetupDialogData& PageSetup();
MainFrame* TheMainFrame();
// Creates the frame's document template once; the menu template (129 or 171) in use.
int MenuTemplate();

class TarvikApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
    bool OnExceptionInMainLoop() override;
};

}  // namespace tarvik::app
