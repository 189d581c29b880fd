#include "uninstall/uninstall_wizard.hpp"

#include <wx/app.h>
#include <wx/bmpbndl.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/assert_handler.hpp"
#include "app/layouts.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "setup/front_end.hpp"
#include "setup/installer.hpp"
#include "setup/setup_texts.hpp"
#include "setup/setup_wizard.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

wxWizardPageSimple* Page(wxWizard* wizard, const char* layout) {
    auto* page = new wxWizardPageSimple(wizard);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    if (wxPanel* panel = wxXmlResource::Get()->LoadPanel(page, layout)) sizer->Add(panel, 1, wxEXPAND);
    page->SetSizer(sizer);
    wizard->GetPageAreaSizer()->Add(page);
    return page;
}

void Label(wxWindow* w, int id, int text) {
    auto* b = dynamic_cast<wxButton*>(w->FindWindow(id));
    if (!b) return;
    b->SetLabel(wxString::FromUTF8(GetText(text)));
    b->InvalidateBestSize();
    b->SetMinSize(b->GetBestSize());
    if (b->GetContainingSizer()) b->GetContainingSizer()->Layout();
}

}  // namespace

UninstallWizard::UninstallWizard(wxWindow* parent, fs::path script, UserPlaces places)
    : script_(std::move(script)), places_(std::move(places)) {
    const wxBitmapBundle icon =
        wxBitmapBundle::FromSVGFile(wxString::FromUTF8((script_.parent_path() / "tarvik.svg").string()), wxSize(64, 64));
    Create(parent, wxID_ANY, wxString::FromUTF8(GetText(UninstallText(0))), icon);
    announce_ = Page(this, "Uninstall102");
    closing_ = Page(this, "Uninstall129");
    wxWizardPageSimple::Chain(announce_, closing_);
    FillPageText(app::Control<wxTextCtrl>(announce_, 1000), UninstallText(1), UninstallText(2), UninstallText(3));
    FillPageText(app::Control<wxTextCtrl>(closing_, 1000), UninstallText(4), UninstallText(5), UninstallText(6));
    Label(this, wxID_CANCEL, UninstallText(151));
    if (auto* back = FindWindow(wxID_BACKWARD)) back->Hide();
    Bind(wxEVT_WIZARD_PAGE_CHANGING, &UninstallWizard::OnChanging, this);
    Bind(wxEVT_WIZARD_PAGE_CHANGED, &UninstallWizard::OnChanged, this);
}

void UninstallWizard::OnChanging(wxWizardEvent& e) {
    if (!e.GetDirection() || e.GetPage() != announce_) return;
    wxBusyCursor busy;
    const UninstallResult r = Uninstall(script_, places_);
    if (r.ok) {
        removed_ = true;
        return;
    }
    std::string text = GetText(UninstallText(7));
    for (const std::string& p : r.problems) text += "\n" + p;
    app::Tell(text);
    e.Veto();
    CallAfter([this] { EndModal(wxID_CANCEL); });
}

void UninstallWizard::OnChanged(wxWizardEvent& e) {
    const bool last = e.GetPage() == closing_;
    Label(this, wxID_FORWARD, last ? UninstallText(152) : UninstallText(150));
    if (auto* back = FindWindow(wxID_BACKWARD)) back->Hide();
    if (auto* cancel = FindWindow(wxID_CANCEL)) cancel->Show(!last);
    Layout();
}

int RunUninstallWizard(int argc, char** argv, const fs::path& script, const UserPlaces& places) {
    (void)argc;
    if (!StartWizardToolkit(argv)) return kExitUsage;
    int code = kExitFailed;
    std::vector<std::string> problems;
    const fs::path programDir = ExecutableDir();
    const int lang = WizardLanguage(programDir / "tarvik.ini");
    if (!app::LoadLayoutFile(programDir, lang, "setup.xrc", &problems)) {
        for (const auto& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    } else {
        auto* wizard = new UninstallWizard(nullptr, fs::absolute(script), places);
        wizard->RunWizard(wizard->FirstPage());
        code = wizard->Removed() ? kExitOk : kExitCancelled;
        wizard->Destroy();
    }
    wxEntryCleanup();
    return code;
}

}  // namespace tarvik::setup
