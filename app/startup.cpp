#include "app/startup.hpp"

#include <algorithm>
#include <ctime>
#include <vector>

#include "data/archive.hpp"
#include "data/language.hpp"
#include "data/program_dir.hpp"
#include "data/valve_series.hpp"
#include "units/unit_files.hpp"

namespace tarvik::app {
namespace {

// The series table of the valve-series files in dbv/; a damaged file is skipped (the start
// goes on without it).
SeriesTable ReadSeriesTable() {
    SeriesTable table;
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(ProgramDir() / "dbv", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".dbv") files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        try {
            ArchiveReader in = ArchiveReader::FromFile(f);
            table[ReadValveSeries(in, f.stem().string(), CurrentSeriesTextOptions()).DisplayName()] = f;
        } catch (const std::exception&) {
        }
    }
    return table;
}

}  // namespace

CoreState& Core() {
    static CoreState core;
    return core;
}

std::filesystem::path IniPath() { return ProgramDir() / "tarvik.ini"; }
std::filesystem::path CalculationLogPath() { return ProgramDir() / "vypocet.txt"; }

bool StartCore(const std::filesystem::path& programDir, std::string& error) {
    SetProgramDir(programDir);
    CoreState& core = Core();
    core.settings = LoadSettings();
    CurrentSettings() = core.settings;
    core.update = LoadUpdateSettings(IniPath());
    core.updateSwitch =
        UpdateSwitchAtStart(core.update.update, core.update.updateData, core.settings.admin, CurrentMonthKey());
    if (!LoadLanguage(ProgramDir(), core.settings.lang, error)) {
        error = "Can not find DLL !!";
        return false;
    }
    LoadDefaultUnitNames(ProgramDir());
    core.media = LoadMedia(ProgramDir());
    core.seriesTable = ReadSeriesTable();
    core.pipes = LoadPipes(ProgramDir());
    LoadUserUnits(ProgramDir());
    return true;
}

ProjectLoadContext LoadContext() {
    ProjectLoadContext context;
    context.seriesTable = &Core().seriesTable;
    context.companyIndex = Core().settings.companyIndex;
    context.lang = Core().settings.lang;
    context.now = static_cast<std::uint32_t>(std::time(nullptr));
    return context;
}

}  // namespace tarvik::app
