#include "app/startup.hpp"

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

ProjectLoadContext LoadContext() { return Core().session->LoadContext(); }

}  // namespace tarvik::app
