// The desktop program as a user meets it, timed from the user's action to what the screen
// shows: the start to the main window shown (demo catalogue, and with 200 more valve series),
// opening the demo project, and one Calculate from the button to the repainted results.
// Targets: 0.5 s, 0.5 s and 50 ms. Needs a display: xvfb-run -a tarvik_gui_bench.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/window.h>

#include "app/assert_handler.hpp"
#include "app/form_view.hpp"
#include "app/layouts.hpp"
#include "app/project_doc.hpp"
#include "app/tarvik_app.hpp"
#include "app/user_dialogs.hpp"
#include "bench/generated_series.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik::app;
using Clock = std::chrono::steady_clock;

fs::path g_temp;

// A program folder of its own (start and exit write tarvik.ini), optionally with many series.
fs::path ProgramFolder(const std::string& name, int extraSeries) {
    const fs::path dir = g_temp / name;
    if (fs::exists(dir)) return dir;
    fs::create_directories(dir);
    for (const auto& e : fs::directory_iterator(TARVIK_PROGRAM_DIR)) {
        const std::string n = e.path().filename().string();
        if (n == "tarvik" || n == "tarvik-cli") continue;
        fs::copy(e.path(), dir / n, fs::copy_options::recursive);
    }
    if (extraSeries > 0) tarvik::bench::WriteGeneratedSeries(dir, extraSeries, 50);
    return dir;
}

// Everything queued is handled and the windows are painted.
void Settle() {
    for (wxWindow* w : wxTopLevelWindows) w->Update();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
}

bool Start(const fs::path& dir, const std::string& open = {}) {
    StartOptions o;
    o.programDir = dir.string();
    o.openFile = open;
    if (!StartApplication(o)) return false;
    Settle();
    return TheMainFrame() && TheMainFrame()->IsShown();
}

void Stop() {
    if (DocManager()) {
        for (wxDocument* d : DocManager()->GetDocumentsVector()) d->Modify(false);
        DocManager()->CloseDocuments(true);
    }
    EndApplication();
    for (wxWindow* w : wxTopLevelWindows) w->Destroy();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    ReleaseApplication();
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void StartToWindow(benchmark::State& state, int extraSeries) {
    const fs::path dir = ProgramFolder("start" + std::to_string(extraSeries), extraSeries);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool shown = Start(dir);
        state.SetIterationTime(Seconds(t0));
        Stop();
        if (!shown) state.SkipWithError("the program did not start");
    }
}

void BM_StartToMainWindowShown_DemoCatalogue(benchmark::State& state) { StartToWindow(state, 0); }
BENCHMARK(BM_StartToMainWindowShown_DemoCatalogue)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_StartToMainWindowShown_200MoreSeries(benchmark::State& state) { StartToWindow(state, 200); }
BENCHMARK(BM_StartToMainWindowShown_200MoreSeries)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OpenDemoProject(benchmark::State& state) {
    const fs::path dir = ProgramFolder("open", 0);
    if (!Start(dir)) {
        state.SkipWithError("the program did not start");
        Stop();
        return;
    }
    const wxString project = wxString::FromUTF8((dir / "Demo.tkp").string());
    for (auto _ : state) {
        const auto t0 = Clock::now();
        wxDocument* doc = DocManager()->CreateDocument(project, wxDOC_SILENT);
        Settle();
        state.SetIterationTime(Seconds(t0));
        if (!doc) {
            state.SkipWithError("Demo.tkp did not open");
            break;
        }
        doc->Modify(false);
        DocManager()->CloseDocument(doc, true);
        Settle();
    }
    Stop();
}
BENCHMARK(BM_OpenDemoProject)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_CalculateClickToRepaintedResults(benchmark::State& state) {
    const fs::path dir = ProgramFolder("calculate", 0);
    if (!Start(dir, (dir / "Demo.tkp").string())) {
        state.SkipWithError("the demo project did not open");
        Stop();
        return;
    }
    auto* view = dynamic_cast<FormView*>(DocManager()->GetDocumentsVector().back()->GetFirstView());
    wxWindow* panel = view ? view->panel() : nullptr;
    auto* list = panel ? Control<wxChoice>(panel, 1000) : nullptr;
    wxWindow* button = panel ? panel->FindWindow(1077) : nullptr;
    if (!list || !button || list->GetCount() == 0) {
        state.SkipWithError("no position to calculate");
        Stop();
        return;
    }
    list->SetSelection(0);
    wxCommandEvent pick(wxEVT_CHOICE, 1000);
    pick.SetInt(0);
    pick.SetEventObject(list);
    list->ProcessWindowEvent(pick);
    Settle();
    for (auto _ : state) {
        const auto t0 = Clock::now();
        wxCommandEvent click(wxEVT_BUTTON, 1077);
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
        Settle();
        state.SetIterationTime(Seconds(t0));
    }
    Stop();
}
BENCHMARK(BM_CalculateClickToRepaintedResults)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    g_temp = fs::temp_directory_path() / ("tarvik-gui-bench-" + std::to_string(::getpid()));
    fs::create_directories(g_temp / "home");
    // The per-user settings of these runs stay in the temporary folder.
    setenv("HOME", (g_temp / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_temp / "home" / ".config").c_str(), 1);
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "tarvik_gui_bench: no display (run under xvfb-run)\n");
        return 1;
    }
    InstallProgramAssertHandler();
    wxTheApp->CallOnInit();
    // Warnings of the calculation go nowhere: no message box waits for a click.
    User().tell = [](const std::string&) {};
    User().ask = [](const std::string&, bool) { return Answer::No; };
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    std::error_code ec;
    fs::remove_all(g_temp, ec);
    return 0;
}
