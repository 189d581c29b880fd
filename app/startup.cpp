#include "app/startup.hpp"

#include <cstdio>

#include "data/program_dir.hpp"

namespace tarvik::app {

CoreState& Core() {
    static CoreState core;
    return core;
}

std::filesystem::path IniPath() { return ProgramDir() / "tarvik.ini"; }
std::filesystem::path CalculationLogPath() { return ProgramDir() / "vypocet.txt"; }

bool StartCore(const std::filesystem::path& programDir, std::string& error) {
    SetProgramDir(programDir);
    CoreState& core = Core();
    core.session.reset();  // a new start replaces the running one
    core.restartForUpdate = false;
    SessionOptions options;
    options.programDir = programDir;
    core.session = Session::Open(options, error);
    if (!core.session) {
        // Whatever kept the start from loading the pack, the user sees the one fixed text.
        error = "Can not find DLL !!";
        return false;
    }
    core.settings = core.session->settings();
    core.update = LoadUpdateSettings(IniPath());
    core.updateSwitch =
        UpdateSwitchAtStart(core.update.update, core.update.updateData, core.settings.admin, CurrentMonthKey());
    return true;
}

void EndCore() { Core().session.reset(); }

bool RunStartupUpdate(UpdateUi& ui) {
    (void)ui;  // the online update's plan shows its progress and questions through it
    const CoreState& core = Core();
    if (!core.updateSwitch) return true;
    // Without a server there is nothing to compare: the month's check counts as done.
    if (core.update.server.empty()) {
        StoreUpdateMonth(IniPath(), CurrentMonthKey());
        return true;
    }
    // With a server configured the plan runs here: RunOnlineUpdate(..., ui) over the FTP transfer.
    return true;
}

void ConfirmGoodStart(const std::filesystem::path& runningProgram) { RemoveProgramBackup(ProgramDir(), runningProgram); }

void HandOverIfUpdated() {
    if (!Core().restartForUpdate) return;
    // What the end of the process would do: catalogues freed, extracted drawings deleted.
    EndCore();
    std::string error;
    HandOverToUpdater(ProgramDir(), error);
    std::fprintf(stderr, "tarvik: %s\n", error.c_str());
}

ProjectLoadContext LoadContext() { return Core().session->LoadContext(); }

}  // namespace tarvik::app
