#pragma once
// The media database: the system file media.tkd (delivered, never written by the program) and
// the user file mediau.tkd, loaded into one list: system records in file order, then user
// records in file order.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/text_check.hpp"

namespace tarvik {

class ArchiveReader;
class ArchiveWriter;

inline constexpr const char* kSystemMediaFileName = "media.tkd";
inline constexpr const char* kUserMediaFileName = "mediau.tkd";
// The version the program writes into the user file.
inline constexpr double kUserMediaVersion = 2.7;
// System files from this version hold one multilingual name text instead of two names.
inline constexpr double kMediaMultilingualNamesVersion = 8.03;
// Files below this version hold a text phase code instead of the int32 phase.
inline constexpr double kMediaIntPhaseVersion = 1.3;

inline constexpr int kPhaseGas = 0;
inline constexpr int kPhaseLiquid = 1;

struct Medium {
    std::string name;   // in the current language
    std::string name2;  // second designation, shown in brackets after the name
    int phase = kPhaseGas;
    std::string note;
    double auxValue1 = 0;
    double density = 0;           // kg/m3
    double normalDensity = 0;     // kg/Nm3, 0 = not given
    double vapourPressure = 0;    // MPa
    double viscosity = 0;         // cSt
    double criticalPressure = 0;  // MPa
    double auxValue2 = 0;
    double molarMass = 0;         // kg/kmol, 0 = not given
    double compressibility = 0;
    double kappa = 0;
    double soundSpeed = 0;        // m/s
    std::string source;           // "S" system record, "U" user record; not stored
    int number = 0;

    bool operator==(const Medium&) const = default;
};

// ---- Files -------------------------------------------------------------------------------------

enum class MediaFileKind { System, User };

// One record as a media file of some version stores it. Fields the version lacks keep their
// defaults; `medium` always holds the record as the program uses it.
struct MediaFileRecord {
    Medium medium;
    // System files from 8.03: the multilingual name text; medium.name is its section for the
    // current language and medium.name2 its section 2.
    std::string names;
    // Files below 1.3: the phase code as stored ("K" or "C" liquid, "P" or "G" gas).
    std::string phaseCode;

    bool operator==(const MediaFileRecord&) const = default;
};

struct MediaFile {
    MediaFileKind kind = MediaFileKind::System;
    double version = kUserMediaVersion;
    std::vector<MediaFileRecord> records;

    bool operator==(const MediaFile&) const = default;
};

bool HasMultilingualNames(MediaFileKind kind, double version);
bool HasIntPhase(double version);
// "K" and "C" are liquids, "P" and "G" gases; any other code is taken as a gas.
int PhaseFromCode(const std::string& code);

// Reads a whole media file; throws ArchiveError on a truncated or corrupt file (a NaN or
// infinite number counts as corrupt). Every record gets the source of its kind.
MediaFile ReadMediaFile(ArchiveReader& in, MediaFileKind kind);
MediaFile ReadMediaFile(const std::filesystem::path& path, MediaFileKind kind);
// Writes the file in its own version: a file read and written again gives the same bytes.
void WriteMediaFile(ArchiveWriter& out, const MediaFile& file);
// The first text of the file that code page 1250 cannot hold: the record (by name) and field.
std::optional<TextProblem> FindUnstorableText(const MediaFile& file);

// ---- The list ----------------------------------------------------------------------------------

struct MediaCatalogue {
    std::vector<Medium> media;  // system records, then user records
    // The user file exists but could not be read: it must not be saved over.
    bool userFileRefused = false;
};

// Loads media.tkd, then mediau.tkd, from `dir`. A missing file is skipped silently; a file that
// is present but cannot be read is refused with a message naming it and left untouched.
MediaCatalogue LoadMedia(const std::filesystem::path& dir);

// Rewrites mediau.tkd atomically with version 2.7 and every user record in list order. Returns
// false (with a message) when the file could not be written, was refused at load or a text of a
// user record has no code page 1250 form (the file then keeps its bytes).
bool SaveUserMedia(const MediaCatalogue& catalogue, const std::filesystem::path& dir);
// The user file's content for the list, as SaveUserMedia writes it.
MediaFile UserMediaFile(const std::vector<Medium>& media);

// The number of a new record: the first i, counting from 1, for which the i-th record does not
// carry i; when some later record already carries that i, the next free number after it.
int NewMediumNumber(const std::vector<Medium>& media);
// Appends a record made in the list dialog: source "U" and a new number.
Medium& AddUserMedium(std::vector<Medium>& media, Medium medium);
// The first record with this number, or null.
Medium* FindMedium(std::vector<Medium>& media, int number);
// Removes the first record with this number; false when there is none.
bool RemoveMedium(std::vector<Medium>& media, int number);
// "Name [Name2]", the medium text of the main form.
std::string MediumDisplayText(const Medium& medium);

}  // namespace tarvik
