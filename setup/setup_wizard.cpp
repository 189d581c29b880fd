#include "setup/setup_wizard.hpp"

#include <wx/app.h>
#include <wx/bmpbndl.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/xrc/xmlres.h>

#include "app/assert_handler.hpp"
#include "app/layouts.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "setup/folder_list.hpp"
#include "setup/front_end.hpp"
#include "setup/installer.hpp"
#include "setup/setup_texts.hpp"

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

wxString T(int number) { return wxString::FromUTF8(GetText(number)); }

// The tree items know their folder.
struct FolderData : wxTreeItemData {
    explicit FolderData(fs::path p) : path(std::move(p)) {}
    fs::path path;
};

void Fill(wxTreeCtrl* tree, const wxTreeItemId& item) {
    auto* data = dynamic_cast<FolderData*>(tree->GetItemData(item));
    if (!data) return;
    tree->DeleteChildren(item);
    for (const std::string& name : SubFolders(data->path))
        tree->AppendItem(item, wxString::FromUTF8(name), -1, -1, new FolderData(data->path / name));
}

void SetButtonLabel(wxWindow* w, int id, int text) {
    auto* b = dynamic_cast<wxButton*>(w->FindWindow(id));
    if (!b) return;
    b->SetLabel(T(text));
    // The wizard sized its buttons for its own labels; longer ones ("Ich stimme zu") need room.
    b->InvalidateBestSize();
    b->SetMinSize(b->GetBestSize());
    if (b->GetContainingSizer()) b->GetContainingSizer()->Layout();
}

}  // namespace

void FillPageText(wxTextCtrl* area, int heading, int body, int closing) {
    if (!area) return;
    area->Clear();
    const wxString head = T(heading);
    area->AppendText(head + "\n\n" + T(body) + "\n\n" + T(closing));
    wxTextAttr bold;
    bold.SetFontWeight(wxFONTWEIGHT_BOLD);
    area->SetStyle(0, static_cast<long>(head.length()), bold);
    area->ShowPosition(0);
}

SetupWizard::SetupWizard(wxWindow* parent, fs::path distDir, fs::path dest, UserPlaces places, int lang)
    : distDir_(std::move(distDir)), dest_(std::move(dest)), places_(std::move(places)), lang_(lang) {
    const wxBitmapBundle icon =
        wxBitmapBundle::FromSVGFile(wxString::FromUTF8((distDir_ / "Tarvik" / "tarvik.svg").string()), wxSize(64, 64));
    Create(parent, wxID_ANY, T(SetupText(129)), icon);
    welcome_ = AddPage("Setup129");
    agreement_ = AddPage("Setup142");
    folder_ = AddPage("Setup145");
    summary_ = AddPage("Setup131");
    finish_ = AddPage("Setup139");
    wxWizardPageSimple::Chain(welcome_, agreement_);
    wxWizardPageSimple::Chain(agreement_, folder_);
    wxWizardPageSimple::Chain(folder_, summary_);
    wxWizardPageSimple::Chain(summary_, finish_);

    FillPageText(app::Control<wxTextCtrl>(welcome_, 1004), SetupText(103), SetupText(104), SetupText(105));
    FillPageText(app::Control<wxTextCtrl>(agreement_, 1004), SetupText(118), SetupText(119), SetupText(120));
    FillPageText(app::Control<wxTextCtrl>(folder_, 1004), SetupText(109), SetupText(110), SetupText(111));
    FillPageText(app::Control<wxTextCtrl>(summary_, 1004), SetupText(112), SetupText(113), SetupText(114));
    FillPageText(app::Control<wxTextCtrl>(finish_, 1004), SetupText(115), SetupText(116), SetupText(117));
    if (auto* path = app::Control<wxTextCtrl>(folder_, 1000)) path->SetValue(wxString::FromUTF8(dest_.string()));
    if (auto* browse = folder_->FindWindow(3))
        browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
    SetButtonLabel(this, wxID_BACKWARD, SetupText(159));
    SetButtonLabel(this, wxID_CANCEL, SetupText(151));
    Bind(wxEVT_WIZARD_PAGE_CHANGING, &SetupWizard::OnChanging, this);
    Bind(wxEVT_WIZARD_PAGE_CHANGED, &SetupWizard::OnChanged, this);
}

wxWizardPageSimple* SetupWizard::AddPage(const char* layout) {
    auto* page = new wxWizardPageSimple(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    if (wxPanel* panel = wxXmlResource::Get()->LoadPanel(page, layout)) sizer->Add(panel, 1, wxEXPAND);
    page->SetSizer(sizer);
    GetPageAreaSizer()->Add(page);
    return page;
}

void SetupWizard::Browse() {
    auto* path = app::Control<wxTextCtrl>(folder_, 1000);
    if (!path) return;
    FolderBrowser browser(this, places_.home);
    const std::string chosen = browser.Run(path->GetValue().utf8_string());
    if (!chosen.empty()) path->SetValue(wxString::FromUTF8(chosen));
}

void SetupWizard::OnChanging(wxWizardEvent& e) {
    if (!e.GetDirection()) return;
    if (e.GetPage() == agreement_ || e.GetPage() == welcome_) return;
    if (e.GetPage() == folder_) {
        auto* path = app::Control<wxTextCtrl>(folder_, 1000);
        const fs::path dest = path ? fs::path(path->GetValue().utf8_string()) : dest_;
        if (const std::string why = RefusedDestination(dest, places_); !why.empty()) {
            app::Tell(dest.string() + ": " + why);
            e.Veto();
            return;
        }
        std::error_code ec;
        if (!fs::is_directory(dest, ec)) app::Tell(MissingFolderMessage(dest));
        dest_ = dest.lexically_normal();
        return;
    }
    if (e.GetPage() == summary_) {
        wxBusyCursor busy;
        const InstallResult r = Install({distDir_, dest_, places_, GetText(kMenuComment), lang_});
        if (r.status == InstallStatus::Installed) {
            installed_ = true;
            return;
        }
        if (r.status == InstallStatus::Blocked) app::Tell(BlockedMessage(r.version));
        else if (r.status == InstallStatus::Refused) app::Tell(dest_.string() + ": " + r.detail);
        else app::Tell(std::string(kScriptFailed) + "\n\n" + r.detail);
        // No finish page after a failure: the wizard ends.
        e.Veto();
        CallAfter([this] { EndModal(wxID_CANCEL); });
    }
}

void SetupWizard::OnChanged(wxWizardEvent& e) {
    SetButtonLabel(this, wxID_FORWARD, SetupText(150));
    if (auto* back = FindWindow(wxID_BACKWARD)) back->Show(e.GetPage() != welcome_ && e.GetPage() != finish_);
    if (auto* cancel = FindWindow(wxID_CANCEL)) cancel->Show(e.GetPage() != finish_);
    if (e.GetPage() == agreement_) {
        SetButtonLabel(this, wxID_FORWARD, SetupText(152));
        auto* text = app::Control<wxTextCtrl>(agreement_, 1000);
        std::string licence;
        if (text && text->IsEmpty()) {
            if (ReadLicence(distDir_, licence)) text->SetValue(wxString::FromUTF8(licence));
            else app::Tell(GetText(SetupText(123)));  // the page stays usable
        }
    } else if (e.GetPage() == summary_) {
        SetButtonLabel(this, wxID_FORWARD, SetupText(154));
    } else if (e.GetPage() == finish_) {
        SetButtonLabel(this, wxID_FORWARD, SetupText(155));
    }
    Layout();
}

FolderBrowser::FolderBrowser(wxWindow* parent, const fs::path& home) : dialog_(new wxDialog) {
    if (!wxXmlResource::Get()->LoadDialog(dialog_, parent, "Setup130")) return;
    auto* tree = app::Control<wxTreeCtrl>(dialog_, 1002);
    auto* path = app::Control<wxTextCtrl>(dialog_, 1000);
    if (!tree || !path) return;
    const wxTreeItemId root = tree->AddRoot(T(SetupText(122)));
    for (const fs::path& top : {home, fs::path("/")}) {
        if (top.empty()) continue;
        const wxTreeItemId item = tree->AppendItem(root, wxString::FromUTF8(top.string()), -1, -1, new FolderData(top));
        Fill(tree, item);
    }
    tree->Expand(root);
    // One level ahead: expanding an item fills its children.
    tree->Bind(wxEVT_TREE_ITEM_EXPANDING, [tree](wxTreeEvent& e) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(e.GetItem(), cookie); c.IsOk(); c = tree->GetNextChild(e.GetItem(), cookie))
            Fill(tree, c);
    });
    tree->Bind(wxEVT_TREE_SEL_CHANGED, [tree, path](wxTreeEvent& e) {
        if (auto* data = dynamic_cast<FolderData*>(tree->GetItemData(e.GetItem())))
            path->SetValue(wxString::FromUTF8(ProposedDestination(data->path).string()));
    });
}

FolderBrowser::~FolderBrowser() { dialog_->Destroy(); }

std::string FolderBrowser::Run(const std::string& start) {
    auto* path = app::Control<wxTextCtrl>(dialog_, 1000);
    if (!path || !app::Control<wxTreeCtrl>(dialog_, 1002)) return "";
    path->SetValue(wxString::FromUTF8(start));
    if (dialog_->ShowModal() != wxID_OK) return "";
    return path->GetValue().utf8_string();
}

bool StartWizardToolkit(char** argv) {
    app::InstallProgramAssertHandler();
    wxApp::SetInstance(new wxApp);
    // Our options are read already; wx would refuse them as unknown.
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "cannot open a window: use --unattended\n");
        return false;
    }
    wxTheApp->CallOnInit();
    app::InstallMessageBoxes();
    return true;
}

int RunSetupWizard(int argc, char** argv, const fs::path& distDir, const fs::path& dest, const UserPlaces& places,
                   int lang) {
    (void)argc;
    if (!StartWizardToolkit(argv)) return kExitUsage;
    int code = kExitFailed;
    std::vector<std::string> problems;
    if (const std::string version = InstalledVersion(places); !version.empty()) {
        app::Tell(BlockedMessage(version));
        code = kExitBlocked;
    } else if (!app::LoadLayoutFile(distDir / "Tarvik", lang, "setup.xrc", &problems)) {
        for (const auto& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    } else {
        auto* wizard = new SetupWizard(nullptr, distDir, dest, places, lang);
        wizard->RunWizard(wizard->FirstPage());
        code = wizard->Installed() ? kExitOk : kExitCancelled;
        wizard->Destroy();
    }
    wxEntryCleanup();
    return code;
}

}  // namespace tarvik::setup
