// The desktop program's windows, driven by control ID as a user would: every layout in every
// language, start-up and exit, a project walk through the form, and the calculator.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/print.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>
#include <wx/xrc/xmlres.h>

#include "app/assert_handler.hpp"
#include "app/catalogue_dialogs.hpp"
#include "app/dc_canvas.hpp"
#include "app/dialogs.hpp"
#include "app/drawing_window.hpp"
#include "app/form_ids.hpp"
#include "app/form_view.hpp"
#include "app/layouts.hpp"
#include "app/printing.hpp"
#include "app/spec_sheet_dialog.hpp"
#include "app/list_grid.hpp"
#include "app/project_doc.hpp"
#include "app/startup.hpp"
#include "support/ftp_server.hpp"
#include "app/tarvik_app.hpp"
#include "app/update_dialog.hpp"
#include "app/user_dialogs.hpp"
#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "data/media.hpp"
#include "data/number_text.hpp"
#include "data/pipes.hpp"
#include "data/valve_series.hpp"
#include "units/unit_files.hpp"

namespace fs = std::filesystem;
using namespace tarvik;
using namespace tarvik::app;

namespace {

fs::path g_temp;

// A program folder of its own: start and exit write tarvik.ini.
fs::path ProgramCopy(const std::string& name, bool withPacks = true) {
    const fs::path dir = g_temp / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& e : fs::directory_iterator(TARVIK_PROGRAM_DIR_FOR_TESTS)) {
        const std::string n = e.path().filename().string();
        if (n == "tarvik" || n == "tarvik-cli" || (!withPacks && n.rfind("TarvikD", 0) == 0)) continue;
        fs::copy(e.path(), dir / n, fs::copy_options::recursive);
    }
    return dir;
}

// Messages told to the user, and scripted answers to questions.
struct UserScript {
    std::vector<std::string> told;
    std::vector<Answer> answers;
    UserScript() {
        User().tell = [this](const std::string& t) { told.push_back(t); };
        User().ask = [this](const std::string& t, bool) {
            told.push_back(t);
            if (answers.empty()) return Answer::No;
            const Answer a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
    ~UserScript() { User() = {}; }
};

template <class T>
T* Ctl(wxWindow* w, int id) {
    T* c = Control<T>(w, id);
    EXPECT_NE(c, nullptr) << "control " << id;
    return c;
}

void Click(wxWindow* parent, int id) {
    wxWindow* w = parent->FindWindow(id);
    ASSERT_NE(w, nullptr) << id;
    wxCommandEvent e(wxEVT_BUTTON, id);
    e.SetEventObject(w);
    w->ProcessWindowEvent(e);
}

void Type(wxWindow* parent, int id, const std::string& text) {
    if (auto* e = Ctl<wxTextCtrl>(parent, id)) e->SetValue(wxString::FromUTF8(text));
}

void Choose(wxWindow* parent, int id, const std::string& item) {
    auto* c = Ctl<wxChoice>(parent, id);
    if (!c) return;
    const int i = c->FindString(wxString::FromUTF8(item));
    ASSERT_NE(i, wxNOT_FOUND) << item << " in " << id;
    c->SetSelection(i);
    wxCommandEvent e(wxEVT_CHOICE, id);
    e.SetInt(i);
    e.SetEventObject(c);
    c->ProcessWindowEvent(e);
}

void Check(wxWindow* parent, int id, bool on) {
    auto* c = Ctl<wxCheckBox>(parent, id);
    if (!c) return;
    c->SetValue(on);
    wxCommandEvent e(wxEVT_CHECKBOX, id);
    e.SetInt(on);
    e.SetEventObject(c);
    c->ProcessWindowEvent(e);
}

std::string Value(wxWindow* parent, int id) {
    if (auto* e = Control<wxTextCtrl>(parent, id)) return e->GetValue().utf8_string();
    if (auto* s = Control<wxStaticText>(parent, id)) return s->GetLabel().utf8_string();
    ADD_FAILURE() << "no text control " << id;
    return {};
}

bool Enabled(wxEvtHandler& view, int command) {
    wxUpdateUIEvent e(CommandId(command));
    view.ProcessEvent(e);
    return e.GetEnabled();
}

// Fills the position dialog and presses OK; the dialog's return code tells whether it closed.
ModalRunner FillPositionDialog(const std::string& name, int mediumState) {
    return [=](wxDialog& d) {
        Type(&d, 1124, name);
        if (mediumState >= 0) Ctl<wxChoice>(&d, 1002)->SetSelection(mediumState);
        d.SetReturnCode(0);
        Click(&d, wxID_OK);
        return d.GetReturnCode();
    };
}

struct AppRun {
    fs::path dir;
    // `prepare` changes the program folder before the start.
    explicit AppRun(const std::string& name, const std::string& open = "",
                    const std::function<void(const fs::path&)>& prepare = {})
        : dir(ProgramCopy(name)) {
        if (prepare) prepare(dir);
        StartOptions o;
        o.programDir = dir.string();
        o.openFile = open;
        started = StartApplication(o);
    }
    ~AppRun() {
        ModalHook() = nullptr;
        if (!started) return;
        // Unmodified first, or closing would ask whether to save.
        for (wxDocument* d : DocManager()->GetDocumentsVector()) d->Modify(false);
        DocManager()->CloseDocuments(true);
        EndApplication();
        for (wxWindow* w : wxTopLevelWindows) w->Destroy();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        ReleaseApplication();
    }
    ProjectDoc& Doc() { return *static_cast<ProjectDoc*>(DocManager()->GetDocumentsVector().back()); }
    FormView& View() { return *static_cast<FormView*>(Doc().GetFirstView()); }
    wxPanel* Form() { return View().panel(); }
    bool started = false;
};

}  // namespace

// ---- Layouts ----

TEST(Layouts, EveryLayoutLoadsInEveryLanguageWithEveryControl) {
    std::vector<int> form{1000, 1001, 1002, 1004, 1005, 1006, 1117, 1104, 1168, 1134, 1175,
                          1073, 1075, 1092, 1077, 1121, 1133, 1135, 1143, 1170, 1171, 1177,
                          kCopyPoint12Button, kCopyPoint23Button, kClearPoint2Button, kClearPoint3Button};
    for (const auto& row : kGridIds) form.insert(form.end(), row.begin(), row.end());
    for (const auto& row : kResultIds) form.insert(form.end(), row.begin(), row.end());
    for (const auto* ids : {&kUnitIds, &kRowLabelIds}) form.insert(form.end(), ids->begin(), ids->end());
    form.insert(form.end(), kPointChecks.begin(), kPointChecks.end());
    form.insert(form.end(), kResultLabelIds.begin(), kResultLabelIds.end());
    form.insert(form.end(), kResultUnitIds.begin(), kResultUnitIds.end());
    form.insert(form.end(), kFieldIds.begin(), kFieldIds.end());
    const std::vector<std::pair<std::string, std::vector<int>>> dialogs{
        {"100", {1226, 1228, wxID_OK}},
        {"173", {1224, 1225, 1222, 1223, 1217, 1130, 1218, 1131, 1219, 1221, 1220, 1127, 1213, 1214, 1215, 1216, 1212}},
        {"179", {1000, wxID_OK, wxID_CANCEL}},
        {"135", {wxID_OK, wxID_CANCEL}},  // the grid is placed in at run time
        {"146", {1125, 1124, 1000, 1001, 1002, 3, wxID_OK, wxID_CANCEL}},
        {"PositionDialog", {1124, 1001, 1002, 1044, 1126, 1003, 1128, 1004, 1125, wxID_OK, wxID_CANCEL}},
        {"ProjectPropertiesDialog", {1124, 1126, 1128, 1003, 1000, 1001, 1002, wxID_OK, wxID_CANCEL}},
        {"DefaultUnitsDialog", {1000, 1001, 1002, wxID_OK, wxID_CANCEL}},
        {"UserUnitsDialog", {3, 4, 5, wxID_OK, wxID_CANCEL}},
        {"176", {1000, 1001, 1124, 1126, wxID_OK, wxID_CANCEL}},
        {"132", {3, 4, 5, wxID_OK, wxID_CANCEL}},
        {"134", {1001, 1124, 1126, 1000, 1128, 1002, 1010, 1003, 1004, 1005, 1006, 1007, 1009, 1008, 1011, wxID_OK}},
        {"143", {3, 4, 5, 6, wxID_OK, wxID_CANCEL}},
        {"144", {1002, 1001, 1124, 1126, 1128, wxID_OK, wxID_CANCEL}},
        {"PipeSelectionDialog", {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, wxID_OK, wxID_CANCEL}},
        {"138", {1135, 3, 1044, 1045, 1000, 1043, wxID_OK, wxID_CANCEL}},
        {"166", {1000, 1001, wxID_CANCEL}},
        {"SpecTreeDialog", {1000, wxID_OK, wxID_CANCEL}}};
    // The specification sheet's pages (its grid is placed in at run time).
    const std::vector<std::pair<std::string, std::vector<int>>> panels{
        {"SpecPage1", {1179, 1180, 1181, 1182, 1183, 1184, 1185, 1186, 1187, 1192, 1193, 1194, 1191, 1002, 1004,
                       1128, 1129, 1126, 1042, 1043, 1044, 1124, 1125, 1005}},
        {"SpecPage2", {1179, 1180, 1181, 1182, 1183, 1187, 1189, 1184, 1185, 1186}},
        {"SpecPage3", {1000, 1179, 1180, 1181, 1182, 1183, 1044, 1042, 1124, 1125, 1126, 1127, 1128, 1129, 1130,
                       1131, 1132, 1133, 1134}},
        {"SpecPage4", {1194, 1001, 1135, 1136, 1042, 1043, 1044, 1073, 1075, 1076}},
        {"SpecPage5", {1001}},
        {"SpecPage6", {1124, 1125, 1042, 1198}}};
    std::vector<int> menu{wxID_NEW,         wxID_OPEN, wxID_CLOSE,   wxID_SAVE, wxID_SAVEAS, wxID_PRINT,
                          wxID_PREVIEW,     wxID_PRINT_SETUP, wxID_EXIT, wxID_ABOUT};
    for (int command : {32772, 32796, 32783, 32786, 32785, 32784, 32792, 32793, 32777, 32798, 32799, 32771, 32775,
                        32782, 32795, 32800, 32801})
        menu.push_back(CommandId(command));
    for (int lang = 0; lang < 4; ++lang) {
        SCOPED_TRACE("language " + std::to_string(lang));
        std::string error;
        ASSERT_TRUE(LoadLanguage(TARVIK_PROGRAM_DIR_FOR_TESTS, lang, error)) << error;
        std::vector<std::string> problems;
        EXPECT_TRUE(LoadLayouts(TARVIK_PROGRAM_DIR_FOR_TESTS, lang, &problems));
        for (const auto& p : problems) ADD_FAILURE() << p;

        auto* frame = new wxFrame(nullptr, wxID_ANY, "layouts");
        wxPanel* panel = wxXmlResource::Get()->LoadPanel(frame, "101");
        ASSERT_NE(panel, nullptr);
        for (int id : form) EXPECT_NE(panel->FindWindow(id), nullptr) << "form control " << id;
        wxPanel* drawing = wxXmlResource::Get()->LoadPanel(frame, "DrawingPanel");
        ASSERT_NE(drawing, nullptr);
        for (int id : {1001, 1002, 1003, 1004}) EXPECT_NE(drawing->FindWindow(id), nullptr) << "drawing control " << id;
        for (const auto& [name, ids] : dialogs) {
            wxDialog d;
            ASSERT_TRUE(wxXmlResource::Get()->LoadDialog(&d, frame, name)) << name;
            for (int id : ids) EXPECT_NE(d.FindWindow(id), nullptr) << name << " control " << id;
        }
        for (const auto& [name, ids] : panels) {
            wxPanel* page = wxXmlResource::Get()->LoadPanel(frame, name);
            ASSERT_NE(page, nullptr) << name;
            for (int id : ids) EXPECT_NE(page->FindWindow(id), nullptr) << name << " control " << id;
        }
        for (const char* name : {"129", "171"}) {
            std::unique_ptr<wxMenuBar> bar(wxXmlResource::Get()->LoadMenuBar(name));
            ASSERT_NE(bar, nullptr) << name;
            for (int id : menu) EXPECT_NE(bar->FindItem(id), nullptr) << "menu " << name << " item " << id;
            EXPECT_EQ(bar->FindItem(CommandId(32797)) != nullptr, std::string(name) == "171");
        }
        wxToolBar* tools = wxXmlResource::Get()->LoadToolBar(frame, "128");
        ASSERT_NE(tools, nullptr);
        EXPECT_FALSE(tools->GetToolShortHelp(CommandId(32783)).empty());
        frame->Destroy();
    }
}

// ---- Start-up and exit ----

TEST(Startup, MissingPackEndsTheStartWithTheFixedText) {
    UserScript user;
    const fs::path dir = ProgramCopy("nopack", false);
    StartOptions o;
    o.programDir = dir.string();
    EXPECT_FALSE(StartApplication(o));
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_EQ(user.told[0], "Can not find DLL !!");
}

TEST(Startup, TitleMenuAndUpdateSwitchWrittenAtExit) {
    UserScript user;
    fs::path ini;
    {
        AppRun s("start");
        ASSERT_TRUE(s.started);
        ini = s.dir / "tarvik.ini";
        EXPECT_EQ(TheMainFrame()->GetTitle().utf8_string().rfind(GetText(57344), 0), 0u);
        wxMenuBar* bar = TheMainFrame()->GetMenuBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->FindItem(CommandId(32797)), nullptr);  // not in administrator mode
        EXPECT_FALSE(bar->IsChecked(CommandId(32795)));
        bar->Check(CommandId(32795), true);
        wxCommandEvent toggle(wxEVT_MENU, CommandId(32795));
        toggle.SetInt(1);
        TheMainFrame()->ProcessWindowEvent(toggle);
        EXPECT_EQ(DocManager()->GetDocumentsVector().size(), 1u);  // a new empty project
    }
    EXPECT_EQ(IniProfile::Load(ini).GetString("FTP", "Update"), "1");
    EXPECT_TRUE(user.told.empty());
}

TEST(Startup, AdministratorModeAboutCompanyIndexAndMissingIni) {
    UserScript user;
    {
        AppRun s("admin", "", [](const fs::path& dir) {
            std::ofstream(dir / "tarvik.ini") << "[Setup]\nLang=2\nAdmin=1\nIndex=7\n";
        });
        ASSERT_TRUE(s.started);
        EXPECT_EQ(MenuTemplate(), 171);
        EXPECT_NE(TheMainFrame()->GetMenuBar()->FindItem(CommandId(32797)), nullptr);
        FormView& view = s.View();
        wxPanel* f = s.Form();
        ModalHook() = FillPositionDialog("FV-1", 0);
        view.Command(32783);
        // Rows 9 to 11 are typed in only with the manual coefficients switched on.
        EXPECT_TRUE(f->FindWindow(1171)->IsShown());
        EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[9][0])->IsEnabled());
        Click(f, 1171);
        for (int row : {9, 10, 11}) EXPECT_TRUE(Ctl<wxTextCtrl>(f, kGridIds[row][0])->IsEnabled()) << row;
        EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[9][1])->IsEnabled());  // point 2 is off

        // Manual valve: Kvs, d, D and the characteristic are typed only while it is checked.
        EXPECT_FALSE(f->FindWindow(1138)->IsEnabled());
        view.Command(32792);
        wxUpdateUIEvent checked(CommandId(32792));
        view.ProcessEvent(checked);
        EXPECT_TRUE(checked.GetChecked());
        for (int id : {1138, 1109, 1110, 1168}) EXPECT_TRUE(f->FindWindow(id)->IsEnabled()) << id;
        view.Command(32792);
        EXPECT_FALSE(f->FindWindow(1168)->IsEnabled());

        // About: the template text, then the version and its date.
        std::string about;
        ModalHook() = [&](wxDialog& d) {
            about = Value(&d, 1228);
            return wxID_OK;
        };
        wxCommandEvent aboutCmd(wxEVT_MENU, wxID_ABOUT);
        TheMainFrame()->ProcessWindowEvent(aboutCmd);
        EXPECT_EQ(about, GetText(64301) + FormatNumber(2.7, 1) + " - 10/2010");

        // Company index: the same text does nothing; another is saved and ends the program.
        const auto indexDialog = [](const std::string& text, int button) {
            return [=](wxDialog& d) {
                EXPECT_EQ(Value(&d, 1000), "7");
                Type(&d, 1000, text);
                Click(&d, button);
                return d.GetReturnCode();
            };
        };
        ModalHook() = indexDialog("8", wxID_CANCEL);
        EXPECT_FALSE(EditCompanyIndex(TheMainFrame()));
        ModalHook() = indexDialog("7", wxID_OK);
        EXPECT_FALSE(EditCompanyIndex(TheMainFrame()));
        EXPECT_TRUE(user.told.empty());
        ModalHook() = indexDialog("8", wxID_OK);
        EXPECT_TRUE(EditCompanyIndex(TheMainFrame()));
        EXPECT_EQ(IniProfile::Load(s.dir / "tarvik.ini").GetString("Setup", "Index"), "8");
        ASSERT_EQ(user.told.size(), 1u);
        EXPECT_EQ(user.told[0], GetText(64400));
    }
    // Without tarvik.ini the defaults apply: language 0, no administrator mode.
    user.told.clear();
    AppRun s("noini", "", [](const fs::path& dir) { fs::remove(dir / "tarvik.ini"); });
    ASSERT_TRUE(s.started);
    EXPECT_EQ(Core().settings.lang, 0);
    EXPECT_EQ(MenuTemplate(), 129);
    EXPECT_TRUE(TheMainFrame()->IsShown());
    EXPECT_TRUE(user.told.empty());
}

TEST(Startup, UpdateWithoutServerRecordsTheMonthAndTheStartGoesOn) {
    UserScript user;
    fs::path ini;
    {
        AppRun s("update", "", [](const fs::path& dir) { std::ofstream(dir / "tarvik.ini") << "[FTP]\nUpdate=1\n"; });
        ASSERT_TRUE(s.started);
        ini = s.dir / "tarvik.ini";
        EXPECT_FALSE(Core().restartForUpdate);
        EXPECT_TRUE(TheMainFrame()->GetMenuBar()->IsChecked(CommandId(32795)));
        EXPECT_EQ(IniProfile::Load(ini).GetInt("FTP", "UpdateData", 0), CurrentMonthKey());
    }
    EXPECT_TRUE(user.told.empty());
}

// A start with the switch on against a real server: the user says Yes, the newer data file
// replaces the old one, the new program waits as Tarvik.new and the start ends for tarvik-update.
TEST(Startup, UpdateFromServerDownloadsAndEndsTheStartForTheUpdater) {
    if (!test::HaveFtpServer()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    const fs::path server = g_temp / "ftp-root";
    fs::remove_all(server);
    const std::int64_t fresh = std::time(nullptr) - 3600;
    test::WriteDated(server / "upd" / "extra.tkd", "newer data", fresh);
    test::WriteDated(server / "upd" / "Tarvik.exe", "new program", fresh);
    test::FtpServer ftp(server, g_temp, {});
    ASSERT_NE(ftp.port(), 0);
    UserScript user;
    user.answers = {Answer::Yes};
    fs::path dir;
    {
        AppRun s("update-server", "", [&](const fs::path& d) {
            std::ofstream(d / "tarvik.ini") << "[Setup]\nLang=2\n[FTP]\nUpdate=1\nServer=ftp://127.0.0.1:"
                                            << ftp.port() << "\nDir=upd\nPassive=1\n";
            test::WriteDated(d / "extra.tkd", "old data", fresh - 86400 * 3);
            test::WriteDated(d / "tarvik", "old program", fresh - 86400 * 3);
        });
        dir = s.dir;
        EXPECT_FALSE(s.started);
        EXPECT_TRUE(Core().restartForUpdate);
        Core().restartForUpdate = false;  // this test process is not handed over
    }
    std::ifstream data(dir / "extra.tkd"), program(dir / "Tarvik.new");
    std::string dataText, programText;
    std::getline(data, dataText);
    std::getline(program, programText);
    std::ifstream logFile(dir / "update.log");
    const std::string log{std::istreambuf_iterator<char>(logFile), std::istreambuf_iterator<char>()};
    EXPECT_EQ(dataText, "newer data") << log;
    EXPECT_EQ(programText, "new program");
    EXPECT_EQ(IniProfile::Load(dir / "tarvik.ini").GetInt("FTP", "UpdateData", 0), CurrentMonthKey());
    // The question with the numbered list, then the closing message about the new program.
    ASSERT_EQ(user.told.size(), 2u);
    EXPECT_NE(user.told[0].find("extra.tkd"), std::string::npos) << user.told[0];
    EXPECT_EQ(user.told[1], GetText(63089));
}

// The progress window as the update drives it through UpdateUi.
TEST(UpdateDialog, StatusBarCancelAndMessages) {
    UserScript user;
    std::string error;
    ASSERT_TRUE(LoadLanguage(TARVIK_PROGRAM_DIR_FOR_TESTS, 2, error)) << error;
    ASSERT_TRUE(LoadLayouts(TARVIK_PROGRAM_DIR_FOR_TESTS, 2));
    UpdateDialogUi ui;
    UpdateUi& update = ui;
    EXPECT_EQ(ui.Window(), nullptr);
    update.ShowProgress();
    wxDialog* d = ui.Window();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->IsShown());
    EXPECT_EQ(d->GetTitle().utf8_string(), GetText(64800));
    update.Status("Tarvik.tkd (1./2)");
    EXPECT_EQ(Value(d, 1000), "Tarvik.tkd (1./2)");
    // Totals beyond what a gauge holds, and a position past the end, stay on the bar.
    auto* bar = Ctl<wxGauge>(d, 1001);
    update.SetRange(8'000'000'000ULL);
    EXPECT_EQ(bar->GetValue(), 0);
    update.SetPosition(2'000'000'000ULL);
    EXPECT_EQ(bar->GetValue(), bar->GetRange() / 4);
    update.SetPosition(9'000'000'000ULL);
    EXPECT_EQ(bar->GetValue(), bar->GetRange());

    user.answers = {Answer::Yes};
    EXPECT_TRUE(update.Confirm("Download?"));
    EXPECT_FALSE(update.Confirm("Download?"));  // no answer is No
    update.Tell("done");
    EXPECT_EQ(user.told, (std::vector<std::string>{"Download?", "Download?", "done"}));

    EXPECT_FALSE(update.Cancelled());
    Click(d, wxID_CANCEL);
    EXPECT_TRUE(update.Cancelled());
    EXPECT_FALSE(d->FindWindow(wxID_CANCEL)->IsEnabled());
    EXPECT_EQ(Value(d, 1000), GetText(64802));
    EXPECT_FALSE(d->Close());  // closing asks for the same: the window stays for the run
    EXPECT_TRUE(d->IsShown());
    update.HideProgress();
    EXPECT_EQ(ui.Window(), nullptr);
    EXPECT_TRUE(update.Cancelled());
}

// ---- The form ----

TEST(Form, NewPositionCalculateRefuseRenameCopyDelete) {
    UserScript user;
    AppRun s("form");
    ASSERT_TRUE(s.started);
    FormView& view = s.View();
    wxPanel* f = s.Form();
    EXPECT_FALSE(Enabled(view, 32784));

    // A new water position: point 1 on, 2 and 3 off, all values 0.
    ModalHook() = FillPositionDialog("FV-1", 0);
    view.Command(32783);
    EXPECT_EQ(Ctl<wxChoice>(f, 1000)->GetStringSelection(), "FV-1");
    EXPECT_TRUE(Ctl<wxCheckBox>(f, 1044)->GetValue());
    EXPECT_FALSE(Ctl<wxCheckBox>(f, 1045)->GetValue());
    EXPECT_EQ(Value(f, kGridIds[0][0]), "0");
    EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[0][1])->IsEnabled());
    EXPECT_TRUE(Enabled(view, 32784));
    // Water: rows 4 to 8 are computed, rows 9 to 11 typed only in administrator mode.
    EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[4][0])->IsEnabled());
    EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[9][0])->IsEnabled());
    EXPECT_FALSE(f->FindWindow(1171)->IsShown());

    // Values in three units; changing a unit keeps the number as typed.
    Type(f, kGridIds[0][0], "20");
    Choose(f, kUnitIds[0], "m3/h");
    Type(f, kGridIds[1][0], "5");
    Choose(f, kUnitIds[1], "bar");
    Type(f, kGridIds[2][0], "400");
    Choose(f, kUnitIds[2], "kPa");
    EXPECT_EQ(Value(f, kGridIds[2][0]), "400");
    Type(f, kGridIds[3][0], "80");
    Choose(f, kUnitIds[3], "°C");
    EXPECT_TRUE(s.Doc().IsModified());
    Click(f, 1073);
    EXPECT_NE(Value(f, kGridIds[7][0]), "0");  // density filled in
    Click(f, 1077);
    EXPECT_FALSE(Value(f, kResultIds[0][0]).empty()) << (user.told.empty() ? "" : user.told.back());
    for (const auto& row : kResultIds) {
        auto* s1 = Ctl<wxStaticText>(f, row[0]);
        const bool flagged = view.form().ResultFlagged(row[0]);
        EXPECT_EQ(s1->GetForegroundColour(), flagged ? wxColour(255, 0, 0) : wxColour(0, 0, 255));
    }
    EXPECT_EQ(Value(f, kGridIds[2][0]), "400");

    // A refusal shows its message and focuses the field.
    user.told.clear();
    Type(f, kGridIds[0][0], "0");
    Click(f, 1077);
    ASSERT_FALSE(user.told.empty());
    EXPECT_EQ(user.told[0], GetText(63107));
    EXPECT_EQ(wxWindow::FindFocus(), f->FindWindow(kGridIds[0][0]));
    Type(f, kGridIds[0][0], "2,5");  // the other decimal separator
    Click(f, 2778);                  // copy point 1 to 2
    EXPECT_TRUE(Ctl<wxCheckBox>(f, 1045)->GetValue());
    EXPECT_TRUE(Ctl<wxTextCtrl>(f, kGridIds[0][1])->IsEnabled());
    EXPECT_DOUBLE_EQ(view.form().Value(0, 1), 2.5);
    EXPECT_EQ(Value(f, kGridIds[1][1]), "5");
    Check(f, 1045, false);
    EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[0][1])->IsEnabled());

    // Rename refused onto another position's name, accepted to its own.
    ModalHook() = FillPositionDialog("FV-2", 2);
    view.Command(32783);
    user.told.clear();
    int attempts = 0;
    ModalHook() = [&](wxDialog& d) {
        const int code = FillPositionDialog("FV-1", -1)(d);
        EXPECT_NE(code, wxID_OK);
        EXPECT_EQ(wxWindow::FindFocus(), d.FindWindow(1124));
        ++attempts;
        return FillPositionDialog("FV-2", -1)(d);
    };
    view.Command(32786);
    EXPECT_EQ(attempts, 1);
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_EQ(user.told[0], GetText(63039));
    EXPECT_EQ(Ctl<wxChoice>(f, 1000)->GetCount(), 2u);

    // Delete asks; Yes empties the form and disables the position commands.
    user.answers = {Answer::Yes};
    view.Command(32784);
    EXPECT_EQ(Ctl<wxChoice>(f, 1000)->GetCount(), 1u);
    EXPECT_EQ(Ctl<wxChoice>(f, 1000)->GetSelection(), wxNOT_FOUND);
    for (int id : {32784, 32785, 32786}) EXPECT_FALSE(Enabled(view, id)) << id;
    EXPECT_FALSE(Ctl<wxTextCtrl>(f, kGridIds[0][0])->IsEnabled());
    EXPECT_FALSE(Enabled(view, 32796));  // export needs a saved project
}

TEST(Form, SaveReopenDamagedFileAndFailedSave) {
    UserScript user;
    AppRun s("files");
    ASSERT_TRUE(s.started);
    ModalHook() = FillPositionDialog("PV-7", 3);
    s.View().Command(32783);
    Type(s.Form(), kGridIds[0][0], "123");
    // Coefficients stored as manual stay locked outside administrator mode.
    s.Doc().data.Current()->manualCoefficients = 1;
    const fs::path path = s.dir / "walk.tkp";
    EXPECT_FALSE(Enabled(s.View(), 32796));
    ASSERT_TRUE(s.Doc().OnSaveDocument(wxString::FromUTF8(path.string())));
    EXPECT_FALSE(s.Doc().IsModified());
    EXPECT_TRUE(Enabled(s.View(), 32796));
    EXPECT_TRUE(DocManager()->CloseDocument(&s.Doc()));

    ASSERT_NE(DocManager()->CreateDocument(wxString::FromUTF8(path.string()), wxDOC_SILENT), nullptr);
    ProjectDoc& again = s.Doc();
    ASSERT_EQ(again.data.positions.size(), 1u);
    auto* list = Ctl<wxChoice>(s.Form(), 1000);
    list->SetSelection(0);
    wxCommandEvent pick(wxEVT_CHOICE, 1000);
    pick.SetInt(0);
    list->ProcessWindowEvent(pick);
    EXPECT_EQ(Value(s.Form(), kGridIds[0][0]), "123");
    EXPECT_FALSE(Ctl<wxTextCtrl>(s.Form(), kGridIds[9][0])->IsEnabled());
    EXPECT_FALSE(again.IsModified());

    // Export writes beside the project and says so.
    user.told.clear();
    s.View().Command(32796);
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_TRUE(fs::exists(s.dir / "walk.tke.txt"));

    // A save that cannot be written says so and leaves the old file as it was.
    const auto before = fs::file_size(path);
    Type(s.Form(), kGridIds[0][0], "456");
    user.told.clear();
    fs::create_directories(s.dir / "blocker");
    EXPECT_TRUE(again.IsModified());
    EXPECT_FALSE(again.OnSaveDocument(wxString::FromUTF8((s.dir / "blocker").string())));
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_EQ(fs::file_size(path), before);

    // A damaged project opens nothing.
    const fs::path bad = s.dir / "bad.tkp";
    std::ofstream(bad, std::ios::binary) << "\x23\x03\x00";
    const std::size_t docs = DocManager()->GetDocumentsVector().size();
    user.told.clear();
    EXPECT_EQ(DocManager()->CreateDocument(wxString::FromUTF8(bad.string()), wxDOC_SILENT), nullptr);
    EXPECT_EQ(DocManager()->GetDocumentsVector().size(), docs);
    ASSERT_FALSE(user.told.empty());
    EXPECT_NE(user.told[0].find("bad.tkp"), std::string::npos);
}

// ---- Valve series and catalogue valve ----

namespace {

// A series of three equal-percentage valves: Kvs 10, 16 and 25.
void WriteTestSeries(const fs::path& dir) {
    ValveSeries s;
    s.name = "TEST 1";
    s.storedDescription = "[0:Zkušební][1:Testowy][2:Test valve][3:Testventil]";
    s.tableFlags = {0, 0, 0, 0, 0, 0};  // two-point tables: 0 % and 75 % travel
    for (const auto& [kvs, dn] : {std::pair{10.0, 25.0}, {16.0, 32.0}, {25.0, 40.0}}) {
        SeriesValve v;
        v.characteristic = 1;
        v.Kvs = kvs;
        v.dn = dn;
        v.tables[kSeriesFL] = {0.95, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.9};
        v.tables[kSeriesFd] = {0.1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.46};
        v.tables[kSeriesXFz] = {0.45, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.38};
        s.valves.push_back(v);
    }
    SaveValveSeries(dir / "dbv" / "test1.dbv", s);
}

// The series dialog's grid: placed into its layout's placeholder 1125.
ListGrid* GridIn(wxWindow* w) {
    if (auto* g = dynamic_cast<ListGrid*>(w)) return g;
    for (wxWindow* child : w->GetChildren())
        if (ListGrid* g = GridIn(child)) return g;
    return nullptr;
}

std::vector<std::string> Entries(wxWindow* parent, int id) {
    std::vector<std::string> texts;
    if (auto* c = Ctl<wxChoice>(parent, id))
        for (const auto& t : c->GetStrings()) texts.push_back(t.utf8_string());
    return texts;
}

}  // namespace

TEST(Form, ValveSeriesAndCatalogueValveApplied) {
    UserScript user;
    AppRun s("valves", "", WriteTestSeries);
    ASSERT_TRUE(s.started);
    FormView& view = s.View();
    wxPanel* f = s.Form();
    ModalHook() = FillPositionDialog("FV-1", 0);
    view.Command(32783);
    EXPECT_TRUE(f->FindWindow(1133)->IsEnabled());
    EXPECT_FALSE(f->FindWindow(1135)->IsEnabled());

    // The series grid: a row per series, the first preselected; Cancel keeps "...".
    int rows = 0;
    ModalHook() = [&](wxDialog& d) {
        ListGrid* grid = GridIn(&d);
        EXPECT_NE(grid, nullptr);
        if (!grid) return static_cast<int>(wxID_CANCEL);
        rows = grid->GetNumberRows();
        EXPECT_EQ(grid->CurrentRow(), 0);
        Click(&d, wxID_CANCEL);
        return d.GetReturnCode();
    };
    Click(f, 1133);
    EXPECT_EQ(rows, static_cast<int>(Core().session->MakeFormContext(nullptr).seriesTable->size()));
    EXPECT_EQ(Value(f, 1134), "...");
    ModalHook() = [&](wxDialog& d) {
        ListGrid* grid = GridIn(&d);
        if (!grid) return static_cast<int>(wxID_CANCEL);
        for (std::size_t r = 0; r < grid->Rows().size(); ++r)
            if (grid->Rows()[r].cells[0] == "TEST 1") grid->SetCurrentRow(static_cast<int>(r));
        EXPECT_EQ(grid->Rows()[static_cast<std::size_t>(grid->CurrentRow())].cells[2], "TEST 1 (Test valve)");
        // Activating the row (double-click, Enter) takes it as OK does.
        wxCommandEvent activate(EVT_LIST_ROW_ACTIVATED, grid->GetId());
        activate.SetEventObject(grid);
        grid->ProcessWindowEvent(activate);
        return d.GetReturnCode();
    };
    Click(f, 1133);
    EXPECT_EQ(Value(f, 1134), "TEST 1");
    EXPECT_EQ(wxWindow::FindFocus(), f->FindWindow(1133));
    ASSERT_TRUE(f->FindWindow(1135)->IsEnabled());

    // Kv1 = 8, Kv2 = 12: the 16 and 25 valves open between 60 and 95 %.
    Check(f, 1045, true);
    for (std::size_t i = 0; i < 2; ++i) {
        view.form().results[i].computed = true;
        view.form().results[i].Kv = i == 0 ? 8 : 12;
    }
    ModalHook() = [&](wxDialog& d) {
        EXPECT_EQ(Value(&d, 1125), "Kv1 = 8; Kv2 = 12");
        EXPECT_EQ(Value(&d, 1124), "12");
        EXPECT_EQ(Entries(&d, 1000), (std::vector<std::string>{GetText(63950), "16", "25"}));
        Choose(&d, 1000, "16");
        Choose(&d, 1001, "32");
        Choose(&d, 1002, GetText(63060));
        Click(&d, wxID_OK);
        return d.GetReturnCode();
    };
    Click(f, 1135);
    EXPECT_EQ(Value(f, 1138), "16");
    EXPECT_EQ(Value(f, 1109), "32");
    EXPECT_EQ(Value(f, 1110), "32");
    EXPECT_EQ(Ctl<wxChoice>(f, 1168)->GetSelection(), 1);
    EXPECT_NE(Value(f, kGridIds[9][1]), "0");  // FL at point 2's Kv

    // Cancel after another choice keeps the valve; so does OK when the lists name none.
    for (int button : {static_cast<int>(wxID_CANCEL), static_cast<int>(wxID_OK)}) {
        ModalHook() = [&](wxDialog& d) {
            EXPECT_EQ(Ctl<wxChoice>(&d, 1000)->GetStringSelection(), "16");  // the form's valve
            Choose(&d, 1000, "25");
            Click(&d, button);
            return d.GetReturnCode();
        };
        Click(f, 1135);
        EXPECT_EQ(Value(f, 1138), "16");
    }

    // No results: the filter is off and every valve is offered; button 3 has nothing to add.
    view.form().results = {};
    ModalHook() = [&](wxDialog& d) {
        EXPECT_EQ(Value(&d, 1125), "");
        EXPECT_EQ(Entries(&d, 1000).size(), 4u);
        EXPECT_FALSE(d.FindWindow(3)->IsEnabled());
        Choose(&d, 1000, "25");
        Choose(&d, 1001, "40");
        Choose(&d, 1002, GetText(63060));
        Click(&d, wxID_OK);
        return d.GetReturnCode();
    };
    Click(f, 1135);
    EXPECT_EQ(Value(f, 1138), "25");
    EXPECT_TRUE(user.told.empty()) << user.told.front();
}

// ---- Water and steam ----

TEST(SteamDialog, ComputeShowsResultsAndUnitLabels) {
    std::string error;
    ASSERT_TRUE(LoadLanguage(TARVIK_PROGRAM_DIR_FOR_TESTS, 2, error));
    ASSERT_TRUE(LoadLayouts(TARVIK_PROGRAM_DIR_FOR_TESTS, 2));
    SteamDialog d(nullptr);
    Type(&d, 1224, "100");  // 1 bar: liquid at 20 °C
    Type(&d, 1225, "20");
    Choose(&d, 1222, "kPa");
    Click(&d, 1212);
    EXPECT_EQ(Value(&d, 1220), "***");
    EXPECT_NE(Value(&d, 1219), "***");
    EXPECT_NE(Value(&d, 1213).find("(kPa)"), std::string::npos);
    EXPECT_NE(Value(&d, 1214).find("(°C)"), std::string::npos);
    d.Destroy();
}

// ---- Catalogue dialogs ----

namespace {

void AppCommand(int command) {
    wxCommandEvent e(wxEVT_MENU, CommandId(command));
    TheMainFrame()->ProcessWindowEvent(e);
}

// Answers each dialog by its layout name; a dialog without an answer is cancelled.
struct Dialogs {
    std::map<std::string, std::function<int(wxDialog&)>> answer;
    std::vector<std::string> opened;
    Dialogs() {
        ModalHook() = [this](wxDialog& d) {
            const std::string name = d.GetName().utf8_string();
            opened.push_back(name);
            auto it = answer.find(name);
            return it == answer.end() ? static_cast<int>(wxID_CANCEL) : it->second(d);
        };
    }
    ~Dialogs() { ModalHook() = nullptr; }
};

int Press(wxDialog& d, int id) {
    d.SetReturnCode(0);
    Click(&d, id);
    return d.GetReturnCode();
}

ListGrid* GridOf(wxDialog& d) {
    auto* list = dynamic_cast<CatalogueListDialog*>(&d);
    EXPECT_NE(list, nullptr);
    return list ? list->grid() : nullptr;
}

// The row of the grid whose column holds `text`; -1 when none.
int RowWith(const ListGrid& g, int col, const std::string& text) {
    for (std::size_t r = 0; r < g.Rows().size(); ++r)
        if (g.Rows()[r].cells[static_cast<std::size_t>(col)] == text) return static_cast<int>(r);
    return -1;
}

}  // namespace

TEST(CatalogueDialogs, DefaultAndUserUnitsReachNewProjectsFormsAndFiles) {
    UserScript user;
    AppRun s("units");
    ASSERT_TRUE(s.started);
    ModalHook() = FillPositionDialog("PT-1", 1);
    s.View().Command(32783);
    Dialogs dialogs;

    // Default units: the second entry of each list; Cancel first changes nothing.
    const DefaultUnits before = DefaultUnitNames();
    dialogs.answer["DefaultUnitsDialog"] = [](wxDialog& d) {
        for (int id : {1000, 1001, 1002}) Ctl<wxChoice>(&d, id)->SetSelection(1);
        return static_cast<int>(wxID_CANCEL);
    };
    AppCommand(32799);
    EXPECT_EQ(DefaultUnitNames(), before);
    DefaultUnits chosen;
    dialogs.answer["DefaultUnitsDialog"] = [&](wxDialog& d) {
        for (int id : {1000, 1001, 1002}) Ctl<wxChoice>(&d, id)->SetSelection(1);
        chosen = {Ctl<wxChoice>(&d, 1000)->GetStringSelection().utf8_string(), Ctl<wxChoice>(&d, 1001)->GetStringSelection().utf8_string(),
                  Ctl<wxChoice>(&d, 1002)->GetStringSelection().utf8_string()};
        return Press(d, wxID_OK);
    };
    AppCommand(32799);
    EXPECT_EQ(DefaultUnitNames(), chosen);
    DocManager()->CreateNewDocument();
    EXPECT_EQ(s.Doc().data.defaultFlowUnit, chosen.flow);
    EXPECT_EQ(s.Doc().data.defaultPressureUnit, chosen.pressure);

    // A user unit: refused without a name, then added; the form's pressure lists offer it.
    const int unitsBefore = static_cast<int>(UserUnits().size());
    int refusals = 0;
    dialogs.answer["176"] = [&](wxDialog& d) {
        Ctl<wxChoice>(&d, 1000)->SetSelection(kQuantityPressure);
        if (Press(d, wxID_OK) != wxID_OK) ++refusals;
        Type(&d, 1001, "inH2Ox");
        Type(&d, 1124, "0,000249");
        return Press(d, wxID_OK);
    };
    dialogs.answer["UserUnitsDialog"] = [&](wxDialog& d) {
        Click(&d, 5);
        ListGrid* g = GridOf(d);
        EXPECT_EQ(RowWith(*g, 1, "inH2Ox"), unitsBefore);
        EXPECT_EQ(g->Rows()[static_cast<std::size_t>(unitsBefore)].cells[2], FormatNumber(0.000249, 4) + "x");
        return Press(d, wxID_OK);
    };
    user.told.clear();
    AppCommand(32771);
    EXPECT_EQ(refusals, 1);
    ASSERT_FALSE(user.told.empty());
    EXPECT_EQ(user.told[0], GetText(kMsgUnitIncomplete));
    ASSERT_NE(FindUserUnit("inH2Ox", kQuantityPressure), nullptr);
    FormView* first = dynamic_cast<FormView*>(DocManager()->GetDocumentsVector().front()->GetFirstView());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(Ctl<wxChoice>(first->panel(), kUnitIds[1])->FindString("inH2Ox"), wxNOT_FOUND);
    LoadUserUnits(s.dir);
    EXPECT_NE(FindUserUnit("inH2Ox", kQuantityPressure), nullptr);

    // Cancel after a delete keeps the unit.
    user.answers = {Answer::Yes};
    dialogs.answer["UserUnitsDialog"] = [&](wxDialog& d) {
        GridOf(d)->SetCurrentRow(unitsBefore);
        Click(&d, 3);
        EXPECT_EQ(RowWith(*GridOf(d), 1, "inH2Ox"), -1);
        return Press(d, wxID_CANCEL);
    };
    AppCommand(32771);
    EXPECT_NE(FindUserUnit("inH2Ox", kQuantityPressure), nullptr);
}

TEST(CatalogueDialogs, MediaAndPipesChosenForTheFormCancelKeepsTheLists) {
    UserScript user;
    AppRun s("catalogues");
    ASSERT_TRUE(s.started);
    ModalHook() = FillPositionDialog("LV-1", 1);
    s.View().Command(32783);
    wxPanel* f = s.Form();
    // Inputs the medium properties accept: Q, p1, p2, T1 of point 1.
    for (const auto& [row, text] : {std::pair{0, "10"}, std::pair{1, "10"}, std::pair{2, "5"}, std::pair{3, "20"}})
        Type(f, kGridIds[static_cast<std::size_t>(row)][0], text);
    Dialogs dialogs;
    MediaCatalogue& media = Core().session->media();
    const std::size_t mediaBefore = media.media.size();
    ASSERT_GT(mediaBefore, 0u);

    // Cancel after adding a record and deleting it with every system record: the list is as it
    // was, nothing written.
    user.answers = {Answer::Yes};
    dialogs.answer["134"] = [](wxDialog& d) {
        Type(&d, 1001, "!first");
        return Press(d, wxID_OK);
    };
    dialogs.answer["132"] = [&](wxDialog& d) {
        ListGrid* g = GridOf(d);
        EXPECT_FALSE(d.FindWindow(3)->IsEnabled());  // a system record is current
        Click(&d, 5);
        g->SelectRange(RowWith(*g, 1, "!first"), static_cast<int>(g->Rows().size()) - 1);
        EXPECT_FALSE(g->SingleRowSelected());
        EXPECT_TRUE(d.FindWindow(3)->IsEnabled());
        Click(&d, 3);
        EXPECT_EQ(RowWith(*g, 0, "S"), -1);
        return Press(d, wxID_CANCEL);
    };
    AppCommand(32775);
    EXPECT_EQ(media.media.size(), mediaBefore);
    EXPECT_FALSE(fs::exists(s.dir / kUserMediaFileName));

    // A new liquid chosen in the form's dialog: the medium text and the properties.
    dialogs.answer["134"] = [](wxDialog& d) {
        Type(&d, 1001, "Solanka");
        Type(&d, 1124, "NaCl 20 %");
        Ctl<wxChoice>(&d, 1000)->SetSelection(0);
        Type(&d, 1002, "1150");
        Type(&d, 1003, "0.002");
        Type(&d, 1005, "22");
        Type(&d, 1004, "1.6");
        return Press(d, wxID_OK);
    };
    dialogs.answer["132"] = [&](wxDialog& d) {
        ListGrid* g = GridOf(d);
        EXPECT_EQ(RowWith(*g, 4, GetText(63077)), -1);  // liquids only
        Click(&d, 5);
        const int row = RowWith(*g, 1, "Solanka");
        EXPECT_GE(row, 0);
        g->SetCurrentRow(row);
        EXPECT_TRUE(d.FindWindow(4)->IsEnabled());
        return Press(d, wxID_OK);
    };
    Click(f, 1075);
    EXPECT_EQ(Value(f, 1117), "Solanka [NaCl 20 %]");
    EXPECT_EQ(s.View().form().Value(7, 0), 1150);  // density
    ASSERT_EQ(media.media.size(), mediaBefore + 1);
    bool found = false;
    for (const Medium& m : LoadMedia(s.dir).media) found |= m.name == "Solanka" && m.source == "U";
    EXPECT_TRUE(found);
    Click(f, 1092);
    EXPECT_EQ(Value(f, 1117), "");

    // Pipes: one added in the list, then chosen for inlet and outlet.
    dialogs.answer["144"] = [](wxDialog& d) {
        Type(&d, 1002, "Testrohr");
        Type(&d, 1001, "DN 65");
        Type(&d, 1124, "S 3,2");
        Type(&d, 1126, "76.1");
        Type(&d, 1128, "3.2");
        return Press(d, wxID_OK);
    };
    // Four more from a workbook; End, Home and Enter in the grid.
    const fs::path csv = s.dir / "pipes.csv";
    std::ofstream(csv) << "kind;size;wall;OD;WT\nCsvRohr;DN 10;S 1;17.2;1.6\nCsvRohr;DN 15;S 1;21.3;2\n"
                          "CsvRohr;DN 20;S 1;26.9;2\nCsvRohr;DN 25;S 1;33.7;2.3\n";
    FileChoiceHook() = [&](wxWindow*, const std::string&, const std::string& filter) {
        EXPECT_EQ(filter, GetText(63041));
        return std::optional<std::string>(csv.string());
    };
    auto key = [](ListGrid* g, int code) {
        wxKeyEvent e(wxEVT_KEY_DOWN);
        e.m_keyCode = code;
        g->GetGridWindow()->ProcessWindowEvent(e);
    };
    dialogs.answer["143"] = [&](wxDialog& d) {
        ListGrid* g = GridOf(d);
        Click(&d, 5);
        Click(&d, 6);
        EXPECT_GE(RowWith(*g, 1, "DN 25"), 0);
        key(g, WXK_END);
        EXPECT_EQ(g->CurrentRow(), static_cast<int>(g->Rows().size()) - 1);
        key(g, WXK_HOME);
        EXPECT_EQ(g->CurrentRow(), 0);
        g->SetCurrentRow(RowWith(*g, 0, "Testrohr"));
        key(g, WXK_RETURN);  // edits the row: the record dialog opens again
        return Press(d, wxID_OK);
    };
    AppCommand(32782);
    EXPECT_EQ(std::count(dialogs.opened.begin(), dialogs.opened.end(), "144"), 2);
    EXPECT_NE(FindPipe(LoadPipes(s.dir).pipes, "Testrohr", "DN 65", "S 3,2"), nullptr);
    FileChoiceHook() = nullptr;
    EXPECT_NE(FindPipe(LoadPipes(s.dir).pipes, "CsvRohr", "DN 20", "S 1"), nullptr);
    user.told.clear();
    dialogs.answer["PipeSelectionDialog"] = [&](wxDialog& d) {
        EXPECT_NE(Press(d, wxID_OK), wxID_OK);
        for (int base : {1000, 1005}) {
            Choose(&d, base, "Testrohr");
            Choose(&d, base + 1, "DN 65");
            Choose(&d, base + 2, "S 3,2");
        }
        return Press(d, wxID_OK);
    };
    Click(f, 1170);
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_EQ(user.told[0], GetText(63004));
    EXPECT_EQ(s.View().form().pipeTexts[3], "Testrohr");
    EXPECT_DOUBLE_EQ(s.View().form().Field(kVdOutletPipeOD), 76.1);
    EXPECT_DOUBLE_EQ(s.View().form().Field(kVdInletPipeWall), 3.2);
}

// ---- Printing and the drawing window ----

namespace {

void SelectInList(wxWindow* parent, int id, std::initializer_list<int> rows) {
    auto* list = Ctl<wxListBox>(parent, id);
    if (!list) return;
    list->DeselectAll();
    for (int r : rows) list->SetSelection(r);
    wxCommandEvent e(wxEVT_LISTBOX, id);
    e.SetEventObject(list);
    list->ProcessWindowEvent(e);
}

std::string Caption(wxWindow* parent, int id) { return Ctl<wxButton>(parent, id)->GetLabel().utf8_string(); }

}  // namespace

TEST(Printing, DcCanvasFollowsTheScaleOfThePreviewDc) {
    wxBitmap bitmap(100, 100);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetUserScale(0.5, 0.5);  // as the preview maps printer units onto its bitmap
    {
        DcCanvas canvas(dc);
        ASSERT_TRUE(canvas.ok());
        canvas.SetColour({255, 0, 0, 255});
        const PointD square[] = {{20, 20}, {120, 20}, {120, 120}, {20, 120}};
        canvas.Polygon(square, true);
        canvas.SetFont({"Arial", 40, true, false});
        const TextExtent e = canvas.MeasureText("CALCULATION");
        EXPECT_GT(e.width, 100);
        EXPECT_GT(e.ascent, 20);
    }
    dc.SelectObject(wxNullBitmap);
    const wxImage img = bitmap.ConvertToImage();
    EXPECT_EQ(img.GetRed(30, 30), 255);  // inside (10..60 on the bitmap)
    EXPECT_EQ(img.GetGreen(30, 30), 0);
    EXPECT_EQ(img.GetGreen(80, 80), 255);  // outside
}

TEST(Printing, DialogPreviewPdfAndDrawingWindow) {
    UserScript user;
    AppRun s("print", (g_temp / "print" / "Demo.tkp").string());
    ASSERT_TRUE(s.started);
    ProjectDocument& doc = s.Doc().data;
    ASSERT_EQ(doc.positions.size(), 10u);
    wxWindow* frame = s.View().GetFrame();

    // The dialog: toggle caption, OK enabling, the drawing switch, the language refusal.
    {
        PrintDialog d(frame, doc, false);
        EXPECT_FALSE(d.FindWindow(wxID_OK)->IsEnabled());
        EXPECT_EQ(Caption(&d, 3), GetText(63079));
        Click(&d, 3);
        EXPECT_TRUE(d.FindWindow(wxID_OK)->IsEnabled());
        EXPECT_EQ(Caption(&d, 3), GetText(63078));
        Click(&d, 3);
        EXPECT_FALSE(d.FindWindow(wxID_OK)->IsEnabled());
        SelectInList(&d, 1135, {0, 2});
        EXPECT_TRUE(d.FindWindow(wxID_OK)->IsEnabled());
        EXPECT_EQ(Caption(&d, 3), GetText(63079));
        EXPECT_FALSE(d.FindWindow(1045)->IsEnabled());
        Check(&d, 1044, true);
        EXPECT_TRUE(d.FindWindow(1045)->IsEnabled());
        Check(&d, 1045, true);
        Check(&d, 1044, false);
        EXPECT_FALSE(d.FindWindow(1045)->IsEnabled());
        EXPECT_FALSE(Ctl<wxCheckBox>(&d, 1045)->GetValue());
        Ctl<wxComboBox>(&d, 1000)->SetValue("");
        user.told.clear();
        EXPECT_NE(Press(d, wxID_OK), wxID_OK);
        ASSERT_EQ(user.told.size(), 1u);
        EXPECT_EQ(user.told[0], GetText(63035));

        // Save as PDF: the two chosen sheets in a file.
        Ctl<wxComboBox>(&d, 1000)->SetValue(wxString::FromUTF8(GetText(63080)));
        const fs::path pdf = g_temp / "sheets";
        ModalHook() = [&](wxDialog& fd) {
            auto* f = dynamic_cast<wxFileDialog*>(&fd);
            EXPECT_NE(f, nullptr);
            if (f) f->SetPath(pdf.string());
            return static_cast<int>(wxID_OK);
        };
        Click(&d, 1043);
        ModalHook() = nullptr;
        std::ifstream in(g_temp / "sheets.pdf", std::ios::binary);
        std::string head(4, '\0');
        in.read(head.data(), 4);
        EXPECT_EQ(head, "%PDF") << (user.told.empty() ? "" : user.told.back());
        EXPECT_EQ(doc.positions[0].printSelected + doc.positions[1].printSelected + doc.positions[2].printSelected, 2);
        EXPECT_EQ(doc.itemLanguage, 2);
        d.Destroy();
    }
    {
        PrintDialog d(frame, doc, true);
        Check(&d, 1044, true);
        EXPECT_FALSE(d.FindWindow(1045)->IsEnabled());  // never drawing pages in a preview
        d.Destroy();
    }

    // The preview pages through every selected position.
    ModalHook() = [](wxDialog& d) {
        Click(&d, 3);
        Check(&d, 1044, true);
        return Press(d, wxID_OK);
    };
    wxFrame* preview = PrintDocument(frame, doc, true);
    ModalHook() = nullptr;
    ASSERT_NE(preview, nullptr);
    wxPreviewControlBar* bar = nullptr;
    for (wxWindow* w : preview->GetChildren())
        if (auto* b = dynamic_cast<wxPreviewControlBar*>(w)) bar = b;
    ASSERT_NE(bar, nullptr);
    wxPrintPreviewBase* pages = bar->GetPrintPreview();
    ASSERT_TRUE(pages->RenderPage(1));  // the pages are planned with the first one drawn
    EXPECT_EQ(pages->GetMaxPage(), 10);
    for (int p = 1; p <= pages->GetMaxPage(); ++p) {
        EXPECT_TRUE(pages->SetCurrentPage(p));
        EXPECT_TRUE(pages->RenderPage(p)) << p;
    }
    preview->Destroy();

    // No positions: 63011 and no dialog.
    {
        ProjectDocument empty;
        user.told.clear();
        int dialogs = 0;
        ModalHook() = [&](wxDialog&) { return ++dialogs, static_cast<int>(wxID_CANCEL); };
        EXPECT_EQ(PrintDocument(frame, empty, true), nullptr);
        ModalHook() = nullptr;
        EXPECT_EQ(dialogs, 0);
        ASSERT_EQ(user.told.size(), 1u);
        EXPECT_EQ(user.told[0], GetText(63011));
    }

    // The drawing window of the current position: layers listed, one switched off.
    EXPECT_FALSE(Enabled(s.View(), 32801));
    Choose(s.Form(), 1000, doc.positions[0].name);
    ASSERT_TRUE(Enabled(s.View(), 32801));
    const auto titleBefore = doc.positions[0].titleBlock.pairs;
    s.View().Command(32801);
    DrawingFrame* drawing = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* f = dynamic_cast<DrawingFrame*>(w); f && !f->IsBeingDeleted()) drawing = f;
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->GetTitle().utf8_string(), doc.positions[0].name);
    EXPECT_EQ(doc.positions[0].titleBlock.pairs, titleBefore);  // looking changes nothing
    DrawingPanel& panel = *drawing->panel();
    wxCheckListBox* layers = panel.layers();
    ASSERT_GT(layers->GetCount(), 1u);
    const std::string before = panel.LayerState();
    const std::string name = layers->GetString(0).utf8_string();
    EXPECT_NE(before.find(";+" + name + ";"), std::string::npos) << before;
    layers->Check(0, false);
    wxCommandEvent toggle(wxEVT_CHECKLISTBOX, DrawingPanel::kLayers);
    toggle.SetInt(0);
    toggle.SetEventObject(layers);
    layers->ProcessWindowEvent(toggle);
    const std::string after = panel.LayerState();
    EXPECT_NE(after.find(";-" + name + ";"), std::string::npos) << after;
    EXPECT_EQ(std::count(before.begin(), before.end(), ';'), std::count(after.begin(), after.end(), ';'));

    // A zoom step about the centre enlarges the drawing's box; Fit brings it back.
    const RectD fitted = panel.target();
    Click(&panel, DrawingPanel::kZoomIn);
    EXPECT_NEAR(panel.target().width(), fitted.width() * 1.25, 1e-6);
    panel.Pan(10, 0);
    Click(&panel, DrawingPanel::kFit);
    EXPECT_DOUBLE_EQ(panel.target().left, fitted.left);
    drawing->Update();  // a paint through the DC canvas
    drawing->Destroy();
}

// ---- Specification sheet ----

namespace {

void ChooseAt(wxWindow* parent, int id, int index) {
    auto* c = Ctl<wxChoice>(parent, id);
    ASSERT_NE(c, nullptr);
    ASSERT_LT(index, static_cast<int>(c->GetCount())) << "control " << id;
    Choose(parent, id, c->GetString(static_cast<unsigned>(index)).utf8_string());
}

// The connection tree: the node whose path is `path`, then OK.
int ChooseTreeNode(wxDialog& d, const std::string& first, const std::string& second) {
    auto* tree = Ctl<wxTreeCtrl>(&d, 1000);
    wxTreeItemIdValue a, b;
    const wxTreeItemId root = tree->GetRootItem();
    for (wxTreeItemId n = tree->GetFirstChild(root, a); n.IsOk(); n = tree->GetNextChild(root, a))
        if (tree->GetItemText(n).utf8_string() == first)
            for (wxTreeItemId c = tree->GetFirstChild(n, b); c.IsOk(); c = tree->GetNextChild(n, b))
                if (tree->GetItemText(c).utf8_string().rfind(second, 0) == 0) tree->SelectItem(c);
    return Press(d, wxID_OK);
}

// One walk through the pages as a user would make it; `output` gets the sizing's first text.
void WalkSheet(SpecSheetDialog& w, std::string& output) {
    wxWindow* p1 = w.Page(1);
    ChooseAt(p1, 1182, 0);
    EXPECT_EQ(w.sheet().Field(7)->text, Ctl<wxChoice>(p1, 1182)->GetStringSelection().utf8_string());
    EXPECT_FALSE(Ctl<wxTextCtrl>(p1, 1002)->IsEditable());  // seat diameter: administrators only
    Click(p1, 1042);  // the inlet connection from the tree, copied to the empty outlet
    EXPECT_EQ(Value(p1, 1128), "Flanges EN 1092-1/ PN40");
    EXPECT_EQ(Value(p1, 1129), "Flanges EN 1092-1/ PN40");
    Choose(p1, 1191, "bar");
    Type(p1, 1124, "16");
    Type(p1, 1125, "1");

    w.SelectPage(2);
    ChooseAt(w.Page(2), 1179, 0);
    EXPECT_TRUE(w.sheet().PageShown(1) && w.sheet().PageChanged(2));

    w.SelectPage(3);
    wxWindow* p3 = w.Page(3);
    ChooseAt(p3, 1000, kKindPneumatic);
    ChooseAt(p3, 1179, 0);
    ChooseAt(p3, 1180, 0);
    Click(p3, 1042);
    output = Value(p3, 1124);
    EXPECT_EQ(output.rfind("Fd=", 0), 0u) << output;
    EXPECT_EQ(Value(p3, 1125).rfind("Fs=", 0), 0u);
    ListGrid* grid = w.ActuatorGrid();
    ASSERT_GT(grid->GetNumberRows(), 0);
    EXPECT_EQ(grid->GetColLabelValue(0).utf8_string() + "|", GetText(140).substr(0, GetText(140).find('|') + 1));
    grid->SetCurrentRow(0);
    EXPECT_EQ(Value(p3, 1127), grid->GetCellValue(0, 0).utf8_string());  // the chosen actuator
    EXPECT_FALSE(Value(p3, 1134).empty());

    w.SelectPage(4);
    wxWindow* p4 = w.Page(4);
    EXPECT_FALSE(p4->FindWindow(1073)->IsEnabled());
    Type(p4, 1001, "Air set\nwith gauge");
    Click(p4, 1073);
    ASSERT_EQ(Ctl<wxListBox>(p4, 1135)->GetCount(), 1u);
    EXPECT_FALSE(p4->FindWindow(1075)->IsEnabled());
    SelectInList(p4, 1135, {0});
    EXPECT_TRUE(p4->FindWindow(1075)->IsEnabled() && p4->FindWindow(1044)->IsEnabled());
    EXPECT_FALSE(p4->FindWindow(1043)->IsEnabled());

    w.SelectPage(6);
    wxWindow* p6 = w.Page(6);
    EXPECT_FALSE(p6->FindWindow(1198)->IsEnabled());
    Click(p6, 1042);  // the drawing, closed as shown: its layer states become the variant layers
    Click(p6, 1198);
    EXPECT_EQ(Value(p6, 1125).rfind(";+", 0), 0u) << Value(p6, 1125);
}

}  // namespace

TEST(SpecSheet, PagesSizingAccessoriesAndOkStoreTheItems) {
    UserScript user;
    AppRun s("spec", (g_temp / "spec" / "Demo.tkp").string());
    ASSERT_TRUE(s.started);
    ProjectDocument& doc = s.Doc().data;
    Choose(s.Form(), 1000, doc.positions[0].name);
    ASSERT_TRUE(Enabled(s.View(), 32793));
    s.Doc().Modify(false);
    std::string output;
    int sheets = 0;
    ModalHook() = [&](wxDialog& d) {
        if (d.FindWindow(1000) && dynamic_cast<wxTreeCtrl*>(d.FindWindow(1000)))
            return ChooseTreeNode(d, "Flanges EN 1092-1", "PN40");
        auto* sheet = dynamic_cast<SpecSheetDialog*>(&d);
        if (!sheet) return static_cast<int>(wxID_OK);  // the drawing
        ++sheets;
        WalkSheet(*sheet, output);
        return Press(d, wxID_OK);
    };
    s.View().Command(32793);
    ModalHook() = nullptr;
    EXPECT_EQ(sheets, 1);
    EXPECT_TRUE(user.told.empty()) << user.told.front();
    EXPECT_TRUE(s.Doc().IsModified());
    const ValvePosition& p = doc.positions[0];
    EXPECT_EQ(ItemText(68, p.specItems), "Air set|+with gauge-|");
    EXPECT_EQ(ItemText(72, p.specItems), output);
    EXPECT_FALSE(ItemText(70, p.specItems).empty());
    const std::string orderCode = ItemText(69, p.specItems);
    EXPECT_FALSE(orderCode.empty());

    // Opened again, page 6 shows the order code; Cancel keeps the items.
    std::string shown;
    ModalHook() = [&](wxDialog& d) {
        auto* sheet = dynamic_cast<SpecSheetDialog*>(&d);
        if (!sheet) return static_cast<int>(wxID_CANCEL);
        sheet->SelectPage(6);
        shown = Value(sheet->Page(6), 1124);
        Type(sheet->Page(6), 1124, "typed");
        return Press(d, wxID_CANCEL);
    };
    s.View().Command(32793);
    ModalHook() = nullptr;
    EXPECT_EQ(shown, orderCode);
    EXPECT_EQ(ItemText(69, doc.positions[0].specItems), orderCode);

    // A new position has no catalogue valve: no sheet.
    ModalHook() = FillPositionDialog("NEW-1", 0);
    s.View().Command(32783);
    ModalHook() = nullptr;
    EXPECT_FALSE(Enabled(s.View(), 32793));
}

// ---- Entry point ----

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    g_temp = fs::temp_directory_path() / ("tarvik-app-test-" + std::to_string(::getpid()));
    fs::create_directories(g_temp / "home");
    // wxConfig writes the per-user settings under HOME.
    setenv("HOME", (g_temp / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_temp / "home" / ".config").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "test_app: no display (run under xvfb-run)\n");
        return 1;
    }
    InstallAssertHandler([](const std::string& text) { ADD_FAILURE() << "wx assert: " << text; });
    wxTheApp->CallOnInit();
    const int rc = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    fs::remove_all(g_temp);
    return rc;
}
