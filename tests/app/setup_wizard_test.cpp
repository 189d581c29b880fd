// The installer's and uninstaller's wizards clicked through in Czech, from the distribution
// folder into a temporary folder, with the installed program started in between.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/textctrl.h>

#include "app/layouts.hpp"
#include "app/tarvik_app.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "setup/desktop_entry.hpp"
#include "setup/installer.hpp"
#include "setup/setup_wizard.hpp"
#include "uninstall/uninstall_wizard.hpp"

namespace tarvik::setup {
namespace {

namespace fs = std::filesystem;

void Forward(wxWizard* w) {
    wxWindow* next = w->FindWindow(wxID_FORWARD);
    ASSERT_NE(next, nullptr);
    wxCommandEvent e(wxEVT_BUTTON, wxID_FORWARD);
    e.SetEventObject(next);
    next->ProcessWindowEvent(e);
}

std::string ForwardLabel(wxWizard* w) { return w->FindWindow(wxID_FORWARD)->GetLabel().utf8_string(); }

TEST(SetupWizard, InstallsAndUninstallsInCzech) {
    const fs::path dist = TARVIK_DIST_DIR;
    const fs::path root = fs::temp_directory_path() / ("tarvik-wizard-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    UserPlaces places;
    places.home = root / "home";
    places.dataHome = root / "data";
    places.configHome = root / "config";
    fs::create_directories(places.home);
    std::vector<std::string> told;
    app::User().tell = [&](const std::string& t) { told.push_back(t); };

    std::string error;
    for (int lang : {1, 2, 3, 0}) {  // every language's texts, Czech for the walk
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadLanguage(dist / "Tarvik", lang, error)) << error;
        EXPECT_TRUE(app::LoadLayoutFile(dist / "Tarvik", lang, "setup.xrc", &problems));
        for (const auto& p : problems) ADD_FAILURE() << p;
    }

    const fs::path dest = root / "home/nástroje/Tarvik";
    auto* wizard = new SetupWizard(nullptr, dist, places.DefaultDestination(), places, 0);
    std::vector<std::string> labels;
    std::string licence, folderPreset;
    wxTheApp->CallAfter([&] {
        Forward(wizard);  // welcome -> agreement
        labels.push_back(ForwardLabel(wizard));
        licence = app::Control<wxTextCtrl>(wizard->GetCurrentPage(), 1000)->GetValue().utf8_string();
        Forward(wizard);  // agreement -> folder
        auto* path = app::Control<wxTextCtrl>(wizard->GetCurrentPage(), 1000);
        folderPreset = path->GetValue().utf8_string();
        path->SetValue("/usr");
        Forward(wizard);  // refused: the page stays
        path->SetValue(wxString::FromUTF8(dest.string()));
        Forward(wizard);  // folder -> summary
        labels.push_back(ForwardLabel(wizard));
        Forward(wizard);  // installs; summary -> finish
        labels.push_back(ForwardLabel(wizard));
        Forward(wizard);  // finish ends the wizard
    });
    EXPECT_TRUE(wizard->RunWizard(wizard->FirstPage()));
    EXPECT_TRUE(wizard->Installed());
    wizard->Destroy();
    EXPECT_EQ(labels, (std::vector<std::string>{"Souhlasím", "Instalace", "Dokončit"}));
    EXPECT_NE(licence.find("I agree"), std::string::npos);
    EXPECT_EQ(folderPreset, (places.home / ".local/opt/Tarvik").string());
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[1].find("Složka " + dest.string() + " neexistuje"), std::string::npos) << told[1];
    EXPECT_TRUE(fs::exists(dest / "tarvik"));
    EXPECT_NE(std::ifstream(dest / "tarvik.ini").peek(), EOF);
    EXPECT_TRUE(fs::exists(DesktopFiles(places.dataHome).entry));

    // The installed program starts from its folder and opens the demo project.
    {
        app::StartOptions o;
        o.programDir = dest.string();
        o.openFile = (dest / "Demo.tkp").string();
        ASSERT_TRUE(app::StartApplication(o));
        EXPECT_EQ(app::DocManager()->GetDocumentsVector().size(), 1u);
        for (wxDocument* d : app::DocManager()->GetDocumentsVector()) d->Modify(false);
        app::DocManager()->CloseDocuments(true);
        app::EndApplication();
        for (wxWindow* w : wxTopLevelWindows) w->Destroy();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        app::ReleaseApplication();
    }
    // The uninstaller is a process of its own, with the pack of the installed program.
    ASSERT_TRUE(LoadLanguage(dest, 0, error)) << error;

    told.clear();
    app::User().tell = [&](const std::string& t) { told.push_back(t); };
    auto* remover = new UninstallWizard(nullptr, dest / "tarvik.inf", places);
    wxTheApp->CallAfter([&] {
        Forward(remover);  // removes, then shows the closing page
        labels.push_back(ForwardLabel(remover));
        Forward(remover);
    });
    EXPECT_TRUE(remover->RunWizard(remover->FirstPage()));
    EXPECT_TRUE(remover->Removed());
    remover->Destroy();
    EXPECT_EQ(labels.back(), "OK");
    EXPECT_EQ(told, std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(dest));
    EXPECT_FALSE(fs::exists(DesktopFiles(places.dataHome).entry));

    app::User() = {};
    fs::remove_all(root);
    ASSERT_TRUE(LoadLanguage(TARVIK_PROGRAM_DIR_FOR_TESTS, 2, error)) << error;
}

}  // namespace
}  // namespace tarvik::setup
