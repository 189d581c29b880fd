// The media files "media.tkd" (system) and "mediau.tkd" (user) as JSON.
#include <algorithm>
#include <cctype>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/media.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

struct ValueField {
    const char* key;
    double Medium::*member;
};

const ValueField kValueFields[] = {
    {"auxValue1", &Medium::auxValue1},           {"density", &Medium::density},
    {"normalDensity", &Medium::normalDensity},   {"vapourPressure", &Medium::vapourPressure},
    {"viscosity", &Medium::viscosity},           {"criticalPressure", &Medium::criticalPressure},
    {"auxValue2", &Medium::auxValue2},           {"molarMass", &Medium::molarMass},
    {"compressibility", &Medium::compressibility}, {"kappa", &Medium::kappa},
    {"soundSpeed", &Medium::soundSpeed},
};

const char* KindName(MediaFileKind kind) { return kind == MediaFileKind::System ? "media" : "mediau"; }

std::string LowerFileName(const std::string& fileName) {
    std::string s = std::filesystem::path(fileName).filename().string();
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

json RecordJson(const MediaFileRecord& r, const MediaFile& file) {
    const Medium& m = r.medium;
    json j = json::object();
    if (HasMultilingualNames(file.kind, file.version)) {
        j["names"] = r.names;
    } else {
        j["name"] = m.name;
        j["name2"] = m.name2;
    }
    if (HasIntPhase(file.version))
        j["phase"] = m.phase;
    else
        j["phaseCode"] = r.phaseCode;
    j["note"] = m.note;
    for (const ValueField& f : kValueFields) j[f.key] = m.*f.member;
    j["number"] = m.number;
    // What the program makes of the record in the language of this run; ignored by build.
    j["loaded"] = {{"name", m.name}, {"name2", m.name2}, {"phase", m.phase}};
    return j;
}

MediaFileRecord RecordFrom(const json& source, const std::string& where, const MediaFile& file) {
    JsonObject o(source, where);
    o.AllowOnly({"names", "name", "name2", "phase", "phaseCode", "note", "auxValue1", "density",
                 "normalDensity", "vapourPressure", "viscosity", "criticalPressure", "auxValue2",
                 "molarMass", "compressibility", "kappa", "soundSpeed", "number", "loaded"});
    const bool multilingual = HasMultilingualNames(file.kind, file.version);
    const bool intPhase = HasIntPhase(file.version);
    // A key the version does not store would be dropped without a word.
    for (const char* key : {"name", "name2"})
        if (multilingual && o.Has(key)) JsonFail(o.Where(key), "this version stores \"names\" instead");
    if (!multilingual && o.Has("names")) JsonFail(o.Where("names"), "this version stores \"name\" and \"name2\" instead");
    if (intPhase && o.Has("phaseCode")) JsonFail(o.Where("phaseCode"), "this version stores \"phase\" instead");
    if (!intPhase && o.Has("phase")) JsonFail(o.Where("phase"), "this version stores \"phaseCode\" instead");
    if (o.Has("loaded")) o.Object("loaded");  // must at least be an object

    MediaFileRecord r;
    Medium& m = r.medium;
    if (multilingual) {
        r.names = o.Text("names");
    } else {
        m.name = o.Text("name");
        m.name2 = o.Text("name2");
    }
    if (intPhase) {
        m.phase = o.Int("phase", kPhaseGas);
    } else {
        r.phaseCode = o.Text("phaseCode");
    }
    m.note = o.Text("note");
    for (const ValueField& f : kValueFields) m.*f.member = o.Number(f.key, 0);
    m.number = o.Int("number", 0);
    return r;
}

json DumpMedia(const std::filesystem::path& path, MediaFileKind kind) {
    const MediaFile file = ReadMediaFile(path, kind);
    json records = json::array();
    for (const MediaFileRecord& r : file.records) records.push_back(RecordJson(r, file));
    return {{"kind", KindName(kind)}, {"version", file.version}, {"records", records}};
}

void BuildMedia(const json& source, const std::filesystem::path& out, MediaFileKind kind) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "version", "records"});
    if (o.Has("kind") && o.Text("kind") != KindName(kind))
        JsonFail("kind", std::string("expected \"") + KindName(kind) + "\"");
    MediaFile file;
    file.kind = kind;
    file.version = o.Number("version", kind == MediaFileKind::System ? kMediaMultilingualNamesVersion
                                                                     : kUserMediaVersion);
    const auto records = o.Array("records");
    for (std::size_t i = 0; i < records.size(); ++i)
        file.records.push_back(RecordFrom(records[i], Indexed(o.Where("records"), i), file));
    ArchiveWriter w;
    WriteMediaFile(w, file);
    w.SaveAtomically(out);
}

}  // namespace

bool IsSystemMediaFileName(const std::string& fileName) { return LowerFileName(fileName) == kSystemMediaFileName; }
bool IsUserMediaFileName(const std::string& fileName) { return LowerFileName(fileName) == kUserMediaFileName; }

json DumpSystemMedia(const std::filesystem::path& path) { return DumpMedia(path, MediaFileKind::System); }
json DumpUserMedia(const std::filesystem::path& path) { return DumpMedia(path, MediaFileKind::User); }

void BuildSystemMedia(const json& source, const std::filesystem::path& out) {
    BuildMedia(source, out, MediaFileKind::System);
}
void BuildUserMedia(const json& source, const std::filesystem::path& out) {
    BuildMedia(source, out, MediaFileKind::User);
}

}  // namespace tarvik::cli
