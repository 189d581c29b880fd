#pragma once
// The installer's wizard: welcome, agreement, folder, summary, finish. Every decision (where,
// whether, what is copied) is the core's (setup/installer.hpp); the pages only show and ask.
#include <filesystem>

#include <wx/wizard.h>

#include "setup/install_paths.hpp"

class wxTextCtrl;

namespace tarvik::setup {

// Fills a page's text area: the heading in bold, then the body and the closing line.
void FillPageText(wxTextCtrl* area, int heading, int body, int closing);

class SetupWizard : public wxWizard {
public:
    // The language pack and the layout file must be loaded.
    SetupWizard(wxWindow* parent, std::filesystem::path distDir, std::filesystem::path dest, UserPlaces places,
                int lang);
    wxWizardPage* FirstPage() const { return welcome_; }
    wxWizardPage* FolderPage() const { return folder_; }
    bool Installed() const { return installed_; }
    // The folder browser (dialog 130) for the folder page's path; OK copies its path there.
    void Browse();

private:
    std::filesystem::path distDir_, dest_;
    UserPlaces places_;
    int lang_;
    bool installed_ = false;
    wxWizardPageSimple *welcome_ = nullptr, *agreement_ = nullptr, *folder_ = nullptr, *summary_ = nullptr,
                       *finish_ = nullptr;

    wxWizardPageSimple* AddPage(const char* layout);
    void OnChanging(wxWizardEvent& e);
    void OnChanged(wxWizardEvent& e);
};

// The folder browser: "This computer" with the home folder and the root folder, each one
// level ahead of what is expanded; choosing a folder proposes it + "/Tarvik".
class FolderBrowser {
public:
    FolderBrowser(wxWindow* parent, const std::filesystem::path& home);
    ~FolderBrowser();
    wxDialog* dialog() const { return dialog_; }
    // Shows the browser; the chosen path, or "" after Cancel.
    std::string Run(const std::string& start);

private:
    wxDialog* dialog_;
};

// Starts wx for a wizard with the program's message boxes and assertion handling; false (and a
// note on stderr) when no window can be opened.
bool StartWizardToolkit(char** argv);

// tarvik-setup's window mode: starts wx, refuses a second installation (message 126), runs
// the wizard. Returns the exit code.
int RunSetupWizard(int argc, char** argv, const std::filesystem::path& distDir, const std::filesystem::path& dest,
                   const UserPlaces& places, int lang);

}  // namespace tarvik::setup
