// The unit files as JSON: "units.tkd" (default units of new documents), "jednotky2.tkd" (user
// units) and the older "jednotky.tkd" (user units without offsets; read, never written).
#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "units/unit_files.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

json UnitsJson(const std::vector<UnitDef>& units, bool withOffset) {
    json list = json::array();
    for (const UnitDef& u : units) {
        json j = {{"name", u.name}, {"quantity", u.quantity}, {"factor", u.factor}};
        if (withOffset) j["offset"] = u.offset;
        list.push_back(std::move(j));
    }
    return list;
}

}  // namespace

bool IsDefaultUnitsFileName(const std::string& fileName) { return IsFileNamed(fileName, kDefaultUnitsFileName); }
bool IsUserUnitsFileName(const std::string& fileName) { return IsFileNamed(fileName, kUnitFileName); }
bool IsOldUserUnitsFileName(const std::string& fileName) { return IsFileNamed(fileName, kOldUnitFileName); }

json DumpDefaultUnits(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const DefaultUnits d = ReadDefaultUnitsFile(in);
    return {{"kind", "units"}, {"flow", d.flow}, {"temperature", d.temperature}, {"pressure", d.pressure}};
}

void BuildDefaultUnits(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "flow", "temperature", "pressure"});
    if (o.Has("kind") && o.Text("kind") != "units") JsonFail("kind", "expected \"units\"");
    const DefaultUnits d{o.Text("flow"), o.Text("temperature"), o.Text("pressure")};
    ArchiveWriter w;
    WriteDefaultUnitsFile(w, d);
    w.SaveAtomically(out);
}

json DumpUserUnits(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return {{"kind", "jednotky2"}, {"units", UnitsJson(ReadUnitFile(in), true)}};
}

json DumpOldUserUnits(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return {{"kind", "jednotky"}, {"units", UnitsJson(ReadOldUnitFile(in), false)}};
}

void BuildUserUnits(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "units"});
    if (o.Has("kind") && o.Text("kind") != "jednotky2") JsonFail("kind", "expected \"jednotky2\"");
    std::vector<UnitDef> units;
    const auto list = o.Array("units");
    for (std::size_t i = 0; i < list.size(); ++i) {
        JsonObject u(list[i], Indexed(o.Where("units"), i));
        u.AllowOnly({"name", "quantity", "factor", "offset"});
        UnitDef def;
        def.name = u.Text("name");
        // Any code the reader accepts is kept, so that every file read can be written back;
        // the lists offer only 0 to 3.
        def.quantity = u.Int("quantity", kQuantityVolumeFlow);
        def.factor = u.Number("factor", 1);
        def.offset = u.Number("offset", 0);
        def.number = static_cast<int>(i) + 1;
        units.push_back(std::move(def));
    }
    ArchiveWriter w;
    WriteUnitFile(w, units);
    w.SaveAtomically(out);
}

}  // namespace tarvik::cli
