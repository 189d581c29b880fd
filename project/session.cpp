#include "project/session.hpp"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <system_error>

#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "data/program_dir.hpp"
#include "units/unit_display.hpp"

namespace tarvik {
namespace {

// The process-wide lists a session fills: one session at a time.
std::atomic<bool> sessionOpen{false};
Session* activeSession = nullptr;

std::uint32_t SystemClock() {
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    // The project file keeps an unsigned 32-bit time.
    if (seconds < 0) return 0;
    if (seconds > 0xFFFFFFFFLL) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(seconds);
}

// A fresh folder only this process writes: "<temp>/tarvik-XXXXXX".
std::filesystem::path MakePrivateFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::string pattern = ((ec ? std::filesystem::path("/tmp") : base) / "tarvik-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return {};
    return pattern;
}

bool TablesEmpty(const SpecTables& t) {
    return t.t06a.entries.empty() && t.t06a.records.empty() && t.t06b.records.empty() && t.t07.entries.empty() &&
           t.t09.entries.empty() && t.t10.entries.empty();
}

}  // namespace

std::unique_ptr<Session> Session::Open(const SessionOptions& options, std::string& error) {
    error.clear();
    if (options.lang && *options.lang < 0) {
        error = "the language index must not be negative";
        return nullptr;
    }
    if (options.langCount && (*options.langCount < 1 || *options.langCount > 100)) {
        error = "the number of languages must lie between 1 and 100";
        return nullptr;
    }
    if (!options.programDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(options.programDir, ec)) {
            error = "program folder not found: " + options.programDir.string();
            return nullptr;
        }
    }
    if (sessionOpen.exchange(true)) {
        error = "a session is already open";
        return nullptr;
    }
    std::unique_ptr<Session> s(new Session);
    activeSession = s.get();
    if (!options.programDir.empty()) SetProgramDir(options.programDir);
    s->programDir_ = ProgramDir();
    s->clock_ = options.clock ? options.clock : SystemClock;

    // Configuration, then the language pack: without it the program has no texts at all.
    Settings settings = LoadSettings();
    if (options.lang) settings.lang = *options.lang;
    if (options.langCount) settings.langCount = *options.langCount;
    if (options.admin) settings.admin = *options.admin;
    s->settings_ = settings;
    CurrentSettings() = settings;
    if (!LoadLanguage(s->programDir_, settings.lang, error)) return nullptr;  // the destructor resets

    // The catalogues in the program's order.
    LoadDefaultUnitNames(s->programDir_);
    s->media_ = LoadMedia(s->programDir_);
    std::filesystem::path drawingDir;
    if (options.drawingDir) {
        drawingDir = *options.drawingDir;
    } else {
        s->privateDrawingDir_ = MakePrivateFolder();
        drawingDir = s->privateDrawingDir_;
    }
    // Without a private folder the drawings go where the program has always put them.
    if (drawingDir.empty()) drawingDir = s->programDir_;
    s->series_ = ScanValveSeries(s->programDir_, drawingDir);
    s->pipes_ = LoadPipes(s->programDir_);
    LoadUserUnits(s->programDir_);
    return s;
}

Session::~Session() {
    RemoveSeriesDrawings(series_.drawings);
    if (!privateDrawingDir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(privateDrawingDir_, ec);
    }
    UserUnits().clear();
    RebuildUnitDisplayTexts();
    DefaultUnitNames() = DefaultUnits{};
    CurrentConditionVariables().clear();
    CurrentLanguage() = LanguagePack{};
    activeSession = nullptr;
    sessionOpen = false;
}

std::uint32_t Session::Now() const { return clock_(); }

std::optional<std::filesystem::path> Session::SeriesFile(const std::string& designation,
                                                         const std::string& selector) const {
    const auto entry = FindSeriesEntry(series_.table, designation, selector);
    if (entry == series_.table.end() || entry->second.empty()) return std::nullopt;
    return entry->second;
}

SpecCatalogue& Session::specCatalogue() {
    if (specCatalogue_.section1.empty()) LoadSpecCatalogue(programDir_ / "specpoh.tkd", specCatalogue_);
    return specCatalogue_;
}

SpecTables& Session::specTables() {
    if (TablesEmpty(specTables_)) LoadSpecTables(programDir_, specTables_);
    return specTables_;
}

ConditionVariableList& Session::conditionVariables() {
    ConditionVariableList& vars = CurrentConditionVariables();
    if (vars.empty()) LoadConditionVariables(programDir_ / "specpodm.tkd", vars);
    return vars;
}

ProjectLoadContext Session::LoadContext() const {
    ProjectLoadContext c;
    c.seriesTable = &series_.table;
    c.companyIndex = settings_.companyIndex;
    c.lang = settings_.lang;
    c.now = Now();
    return c;
}

ProjectDocument Session::NewProject() const {
    const DefaultUnits& d = DefaultUnitNames();
    return NewProjectDocument(d.flow, d.temperature, d.pressure);
}

ProjectDocument Session::OpenProject(const std::filesystem::path& path) const {
    return LoadProject(path, LoadContext());
}

void Session::SaveProject(const ProjectDocument& doc, const std::filesystem::path& path) const {
    tarvik::SaveProject(doc, path, settings_.lang);
}

FormContext Session::MakeFormContext(std::map<std::filesystem::path, ValveSeries>* seriesCache) const {
    FormContext c;
    c.seriesTable = &series_.table;
    c.companyIndex = settings_.companyIndex;
    c.admin = settings_.admin;
    c.now = clock_;
    c.seriesCache = seriesCache;
    return c;
}

Session* ActiveSession() { return activeSession; }

}  // namespace tarvik
