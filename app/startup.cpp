#include "app/startup.hpp"

#include <cstdio>

#include "data/program_dir.hpp"
#include "net/ftp_transfer.hpp"
#include "project/online_update.hpp"

namespace tarvik::app {

CoreState& Core() {
    static CoreState core;
    return core;
}

std::filesystem::path IniPath() { return ProgramDir() / "tarvik.ini"; }
std::filesystem::path CalculationLogPath() { return WorkingFilePath(ProgramDir(), "vypocet.txt"); }

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
    const CoreState& core = Core();
    if (!core.updateSwitch) return true;
    OnlineUpdateInputs in;
    in.settings = core.update;
    in.lang = core.settings.lang;
    in.programDir = ProgramDir();
    std::unique_ptr<CurlFtpTransfer> transfer;
    if (!core.update.server.empty()) {
        std::string error, note;
        transfer = MakeUpdateTransfer(IniPath(), in.credentials, error, note);
        if (!note.empty()) UpdateLog(ProgramDir() / kUpdateLogName).Write(note);
        if (!transfer) {
            // A server text that cannot be used is a failed check: logged, the month recorded.
            UpdateLog(ProgramDir() / kUpdateLogName).Write("update not run: " + error);
            StoreUpdateMonth(IniPath(), CurrentMonthKey());
            return true;
        }
    }
    // Without a server nothing is asked of the network and the month's check counts as done.
    return RunOnlineUpdate(in, transfer.get(), ui).startMayContinue;
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
