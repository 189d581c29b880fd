#include "app/tarvik_app.hpp"

#include <clocale>
#include <filesystem>
#include <iterator>

#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/toolbar.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "app/catalogue_dialogs.hpp"
#include "app/dialogs.hpp"
#include "app/form_view.hpp"
#include "app/layouts.hpp"
#include "app/project_doc.hpp"
#include "app/startup.hpp"
#include "app/update_dialog.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "data/program_dir.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

wxDocManager* g_manager = nullptr;
MainFrame* g_frame = nullptr;

constexpr const char* kVendor = "Kesta corp.s r.o.";

std::unique_ptr<wxConfigBase>& Config() {
    static std::unique_ptr<wxConfigBase> config;
    return config;
}

void StorePlacement() {
    if (!g_frame || !Config()) return;
    if (g_frame->IsIconized() || g_frame->IsMaximized()) return;
    const wxRect r = g_frame->GetScreenRect();
    wxConfigBase& c = *Config();
    c.Write("/Rozmery/top", r.GetTop());
    c.Write("/Rozmery/bottom", r.GetBottom() + 1);
    c.Write("/Rozmery/left", r.GetLeft());
    c.Write("/Rozmery/right", r.GetRight() + 1);
}

}  // namespace

wxDocManager* DocManager() { return g_manager; }
MainFrame* TheMainFrame() { return g_frame; }
wxPageSetupDialogData& PageSetup() { return g_manager->GetPageSetupDialogData(); }
int MenuTemplate() { return Core().settings.admin ? 171 : 129; }

MainFrame::MainFrame(wxDocManager* manager, const wxString& title)
    : wxDocMDIParentFrame(manager, nullptr, wxID_ANY, title) {
    if (wxMenuBar* menu = wxXmlResource::Get()->LoadMenuBar(std::to_string(MenuTemplate()))) {
        SetMenuBar(menu);
        // The recent projects are listed in the File menu.
        manager->FileHistoryUseMenu(menu->GetMenu(0));
        manager->FileHistoryAddFilesToMenu();
        menu->Check(CommandId(32795), Core().updateSwitch != 0);
    }
    if (wxToolBar* tools = wxXmlResource::Get()->LoadToolBar(this, "128")) SetToolBar(tools);
    CreateStatusBar(4);
    SetStatusText(W(GetText(64407)), 0);
    DragAcceptFiles(true);
    Bind(wxEVT_DROP_FILES, &MainFrame::OnDropFiles, this);
    for (int id : {32795, 32800, 32798, 32799, 32771, 32775, 32782, static_cast<int>(wxID_ABOUT)})
        Bind(wxEVT_MENU, &MainFrame::OnCommand, this, CommandId(id));
    for (int id : {32783, 32784, 32785, 32786, 32792, 32793, 32777, 32772, 32796, 32797, 32801})
        Bind(wxEVT_UPDATE_UI, &MainFrame::OnUpdateUi, this, CommandId(id));
    Bind(wxEVT_SIZE, [](wxSizeEvent& e) { e.Skip(); StorePlacement(); });
    Bind(wxEVT_MOVE, [](wxMoveEvent& e) { e.Skip(); StorePlacement(); });
}

MainFrame::~MainFrame() {
    if (g_frame == this) g_frame = nullptr;
}

void MainFrame::OnCommand(wxCommandEvent& event) {
    switch (CommandOf(event.GetId())) {
    case 32795: Core().updateSwitch = event.IsChecked() ? 1 : 0; break;
    case 32800:
        if (EditCompanyIndex(this)) Close(true);
        break;
    case 32798: {
        SteamDialog dialog(this);
        RunModal(dialog);
        break;
    }
    case 32799: EditDefaultUnits(this); break;
    case 32771: EditUserUnits(this); break;
    case 32775: EditMedia(this, -1); break;  // maintenance: a selection made there is ignored
    case 32782: EditPipes(this); break;
    case wxID_ABOUT: ShowAbout(this); break;
    default: event.Skip();
    }
}

// Without a project window the form's commands have nothing to act on.
void MainFrame::OnUpdateUi(wxUpdateUIEvent& event) { event.Enable(false); }

void MainFrame::OnDropFiles(wxDropFilesEvent& event) {
    for (int i = 0; i < event.GetNumberOfFiles(); ++i)
        g_manager->CreateDocument(event.GetFiles()[i], wxDOC_SILENT);
}

namespace {
// wx's own texts (the print preview's bar, stock buttons of its dialogs) in the pack's language.
// Only the message catalogue is switched: the C locale that number texts follow stays as set.
void UseToolkitTexts(int lang) {
    static const wxLanguage kLanguages[] = {wxLANGUAGE_CZECH, wxLANGUAGE_POLISH, wxLANGUAGE_ENGLISH_UK,
                                            wxLANGUAGE_GERMAN};
    if (lang < 0 || lang >= static_cast<int>(std::size(kLanguages))) return;
    auto* translations = new wxTranslations;
    translations->SetLanguage(kLanguages[lang]);
    translations->AddStdCatalog();  // missing catalogue files leave wx's English texts
    wxTranslations::Set(translations);
}
}  // namespace

bool StartApplication(const StartOptions& options) {
    std::filesystem::path dir = options.programDir;
    if (dir.empty()) dir = std::filesystem::path(wxStandardPaths::Get().GetExecutablePath().utf8_string()).parent_path();
    RouteCoreMessages();
    std::string error;
    if (!StartCore(dir, error)) {
        // No pack, no texts: the one message the program carries itself.
        Tell(error);
        return false;
    }
    const std::string title = GetText(57344).empty() ? "Tarvik" : GetText(57344);
    wxTheApp->SetAppName(W(title));
    wxTheApp->SetVendorName(kVendor);
    std::vector<std::string> problems;
    if (!LoadLayouts(ProgramDir(), Core().settings.lang, &problems)) {
        std::string text;
        for (const auto& p : problems) text += p + "\n";
        Tell(text);
        return false;
    }
    UseToolkitTexts(Core().settings.lang);
    if (Core().updateSwitch) {
        UpdateDialogUi ui;
        if (!RunStartupUpdate(ui)) {
            // A new program is waiting: the start ends here and tarvik-update takes over.
            Core().restartForUpdate = true;
            return false;
        }
    }
    Config() = std::make_unique<wxConfig>(W(title), kVendor);

    g_manager = new wxDocManager;
    g_manager->SetMaxDocsOpen(1000);
    // The extension is the pack's filter's; projects are *.tkp.
    new wxDocTemplate(g_manager, W(GetText(64136)), "*.tkp", "", "tkp", "Tarvik project", "Tarvik form",
                      CLASSINFO(ProjectDoc), CLASSINFO(FormView));
    g_manager->FileHistoryLoad(*Config());

    g_frame = new MainFrame(g_manager, W(title));
    wxTheApp->SetTopWindow(g_frame);

    // A project named on the command line that cannot be opened ends the start (its message has
    // been shown).
    if (!options.openFile.empty()) {
        if (!g_manager->CreateDocument(W(options.openFile), wxDOC_SILENT)) return false;
    } else {
        g_manager->CreateNewDocument();
    }

    WindowRect stored;
    stored.top = static_cast<int>(Config()->ReadLong("/Rozmery/top", 0));
    stored.bottom = static_cast<int>(Config()->ReadLong("/Rozmery/bottom", 0));
    stored.left = static_cast<int>(Config()->ReadLong("/Rozmery/left", 0));
    stored.right = static_cast<int>(Config()->ReadLong("/Rozmery/right", 0));
    const WindowRect r = PlacementAtStart(stored);
    g_frame->SetSize(r.left, r.top, r.right - r.left, r.bottom - r.top);
    g_frame->Show();
    ConfirmGoodStart(wxStandardPaths::Get().GetExecutablePath().utf8_string());
    return true;
}

void EndApplication() {
    if (g_manager) {
        if (Config()) g_manager->FileHistorySave(*Config());
    }
    // The placement is stored on every move and size change of the frame.
    if (Config()) Config()->Flush();
    StoreUpdateSwitch(IniPath(), Core().updateSwitch);
    EndCore();
}

void ReleaseApplication() {
    delete g_manager;
    g_manager = nullptr;
    Config().reset();
}

bool TarvikApp::OnInit() {
    // Number texts follow the user's regional settings.
    std::setlocale(LC_ALL, "");
    InstallMessageBoxes();
    StartOptions options;
    for (int i = 1; i < argc; ++i) {
        const wxString arg = argv[i];
        if (arg == "--program-dir" && i + 1 < argc)
            options.programDir = argv[++i].utf8_string();
        else if (!arg.StartsWith("-"))
            options.openFile = arg.utf8_string();
    }
    return StartApplication(options);
}

int TarvikApp::OnExit() {
    EndApplication();
    ReleaseApplication();
    return wxApp::OnExit();
}

bool TarvikApp::OnExceptionInMainLoop() {
    try {
        throw;
    } catch (const std::exception& e) {
        Tell(e.what());
    }
    return true;  // the program goes on; the document on disk is untouched
}

}  // namespace tarvik::app
