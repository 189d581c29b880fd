#pragma once
// The uninstaller's two pages: the announcement (102) and the closing page (129). The removal
// runs between them, so the closing page only ever reports a removal that happened.
#include <filesystem>

#include <wx/wizard.h>

#include "setup/install_paths.hpp"

namespace tarvik::setup {

class UninstallWizard : public wxWizard {
public:
    // The language pack and the layout file must be loaded.
    UninstallWizard(wxWindow* parent, std::filesystem::path script, UserPlaces places);
    wxWizardPage* FirstPage() const { return announce_; }
    bool Removed() const { return removed_; }

private:
    std::filesystem::path script_;
    UserPlaces places_;
    bool removed_ = false;
    wxWizardPageSimple *announce_ = nullptr, *closing_ = nullptr;
    void OnChanging(wxWizardEvent& e);
    void OnChanged(wxWizardEvent& e);
};

// tarvik-uninstall's window mode; returns the exit code.
int RunUninstallWizard(int argc, char** argv, const std::filesystem::path& script, const UserPlaces& places);

}  // namespace tarvik::setup
