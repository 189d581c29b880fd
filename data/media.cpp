#include "data/media.hpp"

#include <algorithm>
#include <unordered_set>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/messages.hpp"

namespace tarvik {
namespace {

// Smallest record of a version: empty texts (one name text or two), the phase as int32 or as a
// text code, eleven doubles and the number. The bound must be the version's own: a larger one
// would refuse a file of small records that the writer produces.
std::size_t MinRecordBytes(bool multilingual, bool intPhase) {
    return (multilingual ? 1 : 2) + (intPhase ? 4 : 1) + 1 + 11 * 8 + 4;
}

// Catalogue file messages shared with the unit files (%1: the file, with the reason where known).
// A present catalogue file that cannot be read.
constexpr int kMsgCatalogueRefused = 63930;
// The file was refused at load and is not saved over.
constexpr int kMsgCatalogueNotSaved = 63931;
// The file could not be written.
constexpr int kMsgCatalogueWriteFailed = 63932;

void ReadValues(ArchiveReader& in, Medium& m) {
    for (double* v : {&m.auxValue1, &m.density, &m.normalDensity, &m.vapourPressure, &m.viscosity,
                      &m.criticalPressure, &m.auxValue2, &m.molarMass, &m.compressibility,
                      &m.kappa, &m.soundSpeed})
        *v = in.ReadFiniteDouble();
}

void WriteValues(ArchiveWriter& out, const Medium& m) {
    for (double v : {m.auxValue1, m.density, m.normalDensity, m.vapourPressure, m.viscosity,
                     m.criticalPressure, m.auxValue2, m.molarMass, m.compressibility, m.kappa,
                     m.soundSpeed})
        out.WriteDouble(v);
}

const char* SourceOf(MediaFileKind kind) { return kind == MediaFileKind::System ? "S" : "U"; }

// A present file that cannot be read is reported and left alone; a missing one is no error.
std::optional<MediaFile> LoadOne(const std::filesystem::path& path, MediaFileKind kind,
                                 bool& refused) {
    refused = false;
    try {
        auto in = ArchiveReader::OpenIfPresent(path);
        if (!in) return std::nullopt;
        return ReadMediaFile(*in, kind);
    } catch (const ArchiveError& e) {
        refused = true;
        ShowMessage(kMsgCatalogueRefused, e.what());
        return std::nullopt;
    }
}

}  // namespace

bool HasMultilingualNames(MediaFileKind kind, double version) {
    return kind == MediaFileKind::System && version >= kMediaMultilingualNamesVersion;
}

bool HasIntPhase(double version) { return version >= kMediaIntPhaseVersion; }

int PhaseFromCode(const std::string& code) {
    return code == "K" || code == "C" ? kPhaseLiquid : kPhaseGas;
}

MediaFile ReadMediaFile(ArchiveReader& in, MediaFileKind kind) {
    MediaFile file;
    file.kind = kind;
    file.version = in.ReadFiniteDouble();
    const std::int32_t count = in.ReadInt32();
    const bool multilingual = HasMultilingualNames(kind, file.version);
    const bool intPhase = HasIntPhase(file.version);
    in.CheckCount(count, MinRecordBytes(multilingual, intPhase));
    file.records.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        MediaFileRecord r;
        Medium& m = r.medium;
        if (multilingual) {
            r.names = in.ReadText();
            m.name = GetLangText(r.names, "-1");
            m.name2 = GetLangText(r.names, "2");
        } else {
            m.name = in.ReadText();
            m.name2 = in.ReadText();
        }
        if (intPhase) {
            m.phase = in.ReadInt32();
        } else {
            r.phaseCode = in.ReadText();
            m.phase = PhaseFromCode(r.phaseCode);
        }
        m.note = in.ReadText();
        ReadValues(in, m);
        m.number = in.ReadInt32();
        m.source = SourceOf(kind);
        file.records.push_back(std::move(r));
    }
    return file;
}

MediaFile ReadMediaFile(const std::filesystem::path& path, MediaFileKind kind) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return ReadMediaFile(in, kind);
}

void WriteMediaFile(ArchiveWriter& out, const MediaFile& file) {
    const bool multilingual = HasMultilingualNames(file.kind, file.version);
    const bool intPhase = HasIntPhase(file.version);
    out.WriteDouble(file.version);
    out.WriteInt32(static_cast<std::int32_t>(file.records.size()));
    for (const MediaFileRecord& r : file.records) {
        const Medium& m = r.medium;
        if (multilingual) {
            out.WriteText(r.names);
        } else {
            out.WriteText(m.name);
            out.WriteText(m.name2);
        }
        if (intPhase)
            out.WriteInt32(m.phase);
        else
            out.WriteText(r.phaseCode);
        out.WriteText(m.note);
        WriteValues(out, m);
        out.WriteInt32(m.number);
    }
}

std::optional<TextProblem> FindUnstorableText(const MediaFile& file) {
    TextCheck check;
    for (std::size_t i = 0; i < file.records.size() && !check.problem(); ++i) {
        const MediaFileRecord& r = file.records[i];
        const Medium& m = r.medium;
        const std::string record = RecordLabel(m.name.empty() ? GetLangText(r.names, 2) : m.name, i + 1);
        check.Check(r.names, record, "names");
        check.Check(m.name, record, "name");
        check.Check(m.name2, record, "name2");
        check.Check(r.phaseCode, record, "phaseCode");
        check.Check(m.note, record, "note");
    }
    return check.problem();
}

// ---- The list ----------------------------------------------------------------------------------

MediaCatalogue LoadMedia(const std::filesystem::path& dir) {
    MediaCatalogue catalogue;
    bool refused = false;
    auto system = LoadOne(dir / kSystemMediaFileName, MediaFileKind::System, refused);
    // The user file is loaded even without the system file: skipping it would let the next
    // save of the list replace the user's records by an empty file.
    auto user = LoadOne(dir / kUserMediaFileName, MediaFileKind::User, refused);
    catalogue.media.reserve((system ? system->records.size() : 0) + (user ? user->records.size() : 0));
    for (auto* file : {&system, &user}) {
        if (!*file) continue;
        for (MediaFileRecord& r : (*file)->records) catalogue.media.push_back(std::move(r.medium));
    }
    catalogue.userFileRefused = refused;
    return catalogue;
}

MediaFile UserMediaFile(const std::vector<Medium>& media) {
    MediaFile file;
    file.kind = MediaFileKind::User;
    file.version = kUserMediaVersion;
    for (const Medium& m : media) {
        if (m.source == "U") file.records.push_back(MediaFileRecord{m, {}, {}});
    }
    return file;
}

bool SaveUserMedia(const MediaCatalogue& catalogue, const std::filesystem::path& dir) {
    const std::filesystem::path path = dir / kUserMediaFileName;
    if (catalogue.userFileRefused) {
        ShowMessage(kMsgCatalogueNotSaved, path.string());
        return false;
    }
    const MediaFile file = UserMediaFile(catalogue.media);
    if (auto problem = FindUnstorableText(file)) {
        ShowMessage(kMsgTextNotStorable, DescribeTextProblem(*problem));
        return false;
    }
    ArchiveWriter out;
    WriteMediaFile(out, file);
    try {
        out.SaveAtomically(path);
    } catch (const ArchiveError& e) {
        ShowMessage(kMsgCatalogueWriteFailed, e.what());
        return false;
    }
    return true;
}

std::string MediumDisplayText(const Medium& medium) {
    return medium.name + " [" + medium.name2 + "]";
}

// ---- Record numbers ----------------------------------------------------------------------------

int NewMediumNumber(const std::vector<Medium>& media) {
    int i = 1;
    while (static_cast<std::size_t>(i) <= media.size() && media[i - 1].number == i) ++i;
    // Numbers identify records in the list dialog, so a number some later record carries is
    // passed over.
    std::unordered_set<int> used;
    for (const Medium& m : media) used.insert(m.number);
    while (used.count(i)) ++i;
    return i;
}

Medium& AddUserMedium(std::vector<Medium>& media, Medium medium) {
    medium.source = "U";
    medium.number = NewMediumNumber(media);
    media.push_back(std::move(medium));
    return media.back();
}

Medium* FindMedium(std::vector<Medium>& media, int number) {
    auto it = std::find_if(media.begin(), media.end(), [&](const Medium& m) { return m.number == number; });
    return it == media.end() ? nullptr : &*it;
}

bool RemoveMedium(std::vector<Medium>& media, int number) {
    auto it = std::find_if(media.begin(), media.end(), [&](const Medium& m) { return m.number == number; });
    if (it == media.end()) return false;
    media.erase(it);
    return true;
}

}  // namespace tarvik
