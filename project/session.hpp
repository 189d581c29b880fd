#pragma once
// The running program: its configuration, language pack and catalogues, from start to end.
// Every front end (tarvik-cli, the GUI) opens one Session at start and keeps it until it exits;
// no GUI toolkit here.
//
// Opening reads tarvik.ini of the program folder (with the front end's overrides), loads the
// language pack, then the catalogues in this order: default units (units.tkd), media, valve
// series (the series table, with the drawings extracted to files), pipes, user units
// (jednotky2.tkd, or jednotky.tkd). The specification catalogue, its tables and the condition
// variables are loaded on first use. Loaders report through the message sink (ShowMessage); a
// missing or damaged catalogue never stops the start, only a missing language pack does.
//
// The settings, the language pack and the unit lists are process-wide (CurrentSettings(),
// CurrentLanguage(), UserUnits(), DefaultUnitNames(), CurrentConditionVariables()), since the
// unit conversions and text routines read them; a Session fills them, and only one Session is
// open at a time. Closing (the destructor) empties the unit lists, the condition variables and
// the language pack and deletes the extracted drawing files with their companions.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "data/media.hpp"
#include "data/pipes.hpp"
#include "data/settings.hpp"
#include "data/spec_catalogue.hpp"
#include "data/conditions.hpp"
#include "data/valve_series.hpp"
#include "project/position_form.hpp"
#include "project/project_document.hpp"
#include "project/project_file.hpp"
#include "units/unit_files.hpp"

namespace tarvik {

struct SessionOptions {
    std::filesystem::path programDir;  // empty: ProgramDir(), the running program's folder
    // Overrides of tarvik.ini.
    std::optional<int> lang;
    std::optional<int> langCount;
    std::optional<bool> admin;
    // Where the series drawings are extracted. Unset: a private folder of this session in the
    // system's temporary folder, so that programs running side by side on one program folder
    // (or on a read-only one) never write or delete each other's drawings.
    std::optional<std::filesystem::path> drawingDir;
    // Seconds since 1970-01-01 UTC; unset: the system clock.
    std::function<std::uint32_t()> clock;
};

class Session {
public:
    // Starts the program as described above. Null, with `error` set to one line, when the program
    // folder does not exist, the language pack cannot be loaded ("Can not find DLL !!" and its
    // path), an override is out of range or a session is already open.
    static std::unique_ptr<Session> Open(const SessionOptions& options, std::string& error);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::filesystem::path& programDir() const { return programDir_; }
    const Settings& settings() const { return settings_; }
    std::uint32_t Now() const;

    // ---- Catalogues loaded at start ----
    const DefaultUnits& defaultUnits() const { return DefaultUnitNames(); }
    const std::vector<UnitDef>& userUnits() const { return UserUnits(); }
    MediaCatalogue& media() { return media_; }
    PipeCatalogue& pipes() { return pipes_; }
    // Series display name -> series file; the one table every series lookup uses.
    const SeriesTable& seriesTable() const { return series_.table; }
    // Series name -> its extracted drawing "dwfNN.dwf" (the template is DrawingTemplatePath).
    const SeriesDrawingMap& drawings() const { return series_.drawings; }
    // The series file of a designation taken under `selector` (FindSeriesEntry); none when the
    // table has no such series or the entry has no file.
    std::optional<std::filesystem::path> SeriesFile(const std::string& designation, const std::string& selector) const;

    // ---- Catalogues loaded on first use ----
    // Each is loaded while its list is still empty, so a file missing at one use is tried again
    // at the next (with its message each time).
    SpecCatalogue& specCatalogue();
    SpecTables& specTables();
    ConditionVariableList& conditionVariables();

    // ---- What the project and the form need from the running program ----
    // Series table, company index, language and the clock: loading refreshes series and
    // designations and gives positions of files without a time stamp the current time.
    ProjectLoadContext LoadContext() const;
    // A new project with the default units of units.tkd.
    ProjectDocument NewProject() const;
    // Loads a project as the program opens it; throws ArchiveError on a damaged file.
    ProjectDocument OpenProject(const std::filesystem::path& path) const;
    // Saves in the current layout (temporary file and rename); throws ArchiveError.
    void SaveProject(const ProjectDocument& doc, const std::filesystem::path& path) const;
    // The form's context: series table, company index, administrator switch and clock. A batch
    // that calculates many positions passes a cache so that each series file is read once.
    FormContext MakeFormContext(std::map<std::filesystem::path, ValveSeries>* seriesCache = nullptr) const;

private:
    Session() = default;

    std::filesystem::path programDir_;
    Settings settings_;
    std::function<std::uint32_t()> clock_;
    MediaCatalogue media_;
    PipeCatalogue pipes_;
    SeriesScan series_;
    std::filesystem::path privateDrawingDir_;  // removed at the end when the session made it
    SpecCatalogue specCatalogue_;
    SpecTables specTables_;
};

// The open session, or null: for core routines that the front ends call without one (printing).
Session* ActiveSession();

}  // namespace tarvik
