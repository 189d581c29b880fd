#pragma once
// The unit files beside the program: the user units ("jednotky2.tkd", or the older
// "jednotky.tkd" without offsets, read only when the current one cannot be opened) and the three
// default units of new documents ("units.tkd").
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/archive.hpp"
#include "data/text_check.hpp"
#include "units/user_units.hpp"

namespace tarvik {

inline constexpr const char* kUnitFileName = "jednotky2.tkd";
inline constexpr const char* kOldUnitFileName = "jednotky.tkd";
inline constexpr const char* kDefaultUnitsFileName = "units.tkd";

struct DefaultUnits {
    std::string flow;
    std::string temperature;
    std::string pressure;
    bool operator==(const DefaultUnits&) const = default;
};

// The application's default unit names, copied by every new document.
DefaultUnits& DefaultUnitNames();

// Whole-file readers; the units are numbered 1, 2, 3 … in file order. They throw ArchiveError on
// a truncated or corrupt file (also for a factor or offset that is not a finite number).
std::vector<UnitDef> ReadUnitFile(ArchiveReader& in);
std::vector<UnitDef> ReadOldUnitFile(ArchiveReader& in);
DefaultUnits ReadDefaultUnitsFile(ArchiveReader& in);
void WriteUnitFile(ArchiveWriter& out, const std::vector<UnitDef>& units);
void WriteDefaultUnitsFile(ArchiveWriter& out, const DefaultUnits& names);
// The first name that code page 1250 cannot hold (a unit by its number, or the default's field).
std::optional<TextProblem> FindUnstorableText(const std::vector<UnitDef>& units);
std::optional<TextProblem> FindUnstorableText(const DefaultUnits& names);

// Loading at start. A file that cannot be opened leaves the list (names) empty without a word; a
// damaged one is reported, loads nothing and is not saved over for the rest of the session.
// LoadUserUnits also rebuilds the display texts of unit names.
void LoadUserUnits(const std::filesystem::path& programDir);
void LoadDefaultUnitNames(const std::filesystem::path& programDir);
// Rewrite the whole file from UserUnits() / DefaultUnitNames(), atomically. On failure (also a
// name without a code page 1250 form) a message is shown and false returned; the file on disk is
// then unchanged.
bool SaveUserUnits(const std::filesystem::path& programDir);
bool SaveDefaultUnitNames(const std::filesystem::path& programDir);

// The number for a unit added to the list: the smallest positive number no unit carries.
int NextUnitNumber(const std::vector<UnitDef>& units);

}  // namespace tarvik
