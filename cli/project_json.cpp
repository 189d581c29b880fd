#include "cli/project_json.hpp"

#include <cmath>
#include <set>
#include <string>

namespace tarvik::cli {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) { JsonFail(where, what); }

// ---- to JSON -----------------------------------------------------------------------------

json ToJson(const std::string& v) { return v; }
json ToJson(std::int32_t v) { return v; }
json ToJson(std::uint32_t v) { return v; }
// JSON has no NaN or infinity; the project file never stores them either.
json ToJson(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }
json ToJson(const SpecItem& item) { return {{"id", item.id}, {"text", item.text}, {"code", item.code}}; }
json ToJson(const SpecIndexPair& pair) { return json::array({pair.first, pair.second}); }
json ToJson(const KeyValueList& list) {
    json out = json::array();
    for (const auto& [key, value] : list.pairs) out.push_back(json::array({key, value}));
    return out;
}
template <class T, std::size_t N>
json ToJson(const std::array<T, N>& values) {
    json out = json::array();
    for (const auto& v : values) out.push_back(ToJson(v));
    return out;
}
template <class T>
json ToJson(const std::vector<T>& values) {
    json out = json::array();
    for (const auto& v : values) out.push_back(ToJson(v));
    return out;
}

// ---- from JSON ---------------------------------------------------------------------------

void FromJson(const json& j, const std::string& where, std::string& v) { v = JsonText(j, where); }
void FromJson(const json& j, const std::string& where, std::int32_t& v) { v = JsonInt32(j, where); }
void FromJson(const json& j, const std::string& where, std::uint32_t& v) { v = JsonUint32(j, where); }
void FromJson(const json& j, const std::string& where, double& v) { v = JsonNumber(j, where); }

void FromJson(const json& j, const std::string&, json& v) { v = j; }

void ExpectArray(const json& j, const std::string& where, std::size_t size) {
    if (!j.is_array()) Fail(where, "expected an array");
    if (size && j.size() != size) Fail(where, "expected " + std::to_string(size) + " entries");
}

template <class T, std::size_t N>
void FromJson(const json& j, const std::string& where, std::array<T, N>& values) {
    if (!j.is_array()) Fail(where, "expected an array");
    // Fewer entries keep the defaults of the rest, so hand-written sources stay short.
    if (j.size() > N) Fail(where, "expected at most " + std::to_string(N) + " entries");
    for (std::size_t i = 0; i < j.size(); ++i) FromJson(j[i], where + "[" + std::to_string(i) + "]", values[i]);
}

void CheckKeys(const json& j, const std::string& where, const std::set<std::string>& allowed) {
    for (const auto& [key, value] : j.items())
        if (!allowed.count(key)) Fail(where.empty() ? key : where + "." + key, "unknown key");
}

void FromJson(const json& j, const std::string& where, SpecItem& item) {
    if (!j.is_object()) Fail(where, "expected an object");
    CheckKeys(j, where, {"id", "text", "code"});
    if (j.contains("id")) FromJson(j["id"], where + ".id", item.id);
    if (j.contains("text")) FromJson(j["text"], where + ".text", item.text);
    if (j.contains("code")) FromJson(j["code"], where + ".code", item.code);
}

void FromJson(const json& j, const std::string& where, SpecIndexPair& pair) {
    ExpectArray(j, where, 2);
    FromJson(j[0], where + "[0]", pair.first);
    FromJson(j[1], where + "[1]", pair.second);
}

void FromJson(const json& j, const std::string& where, KeyValueList& list) {
    if (!j.is_array()) Fail(where, "expected an array of [key, value] pairs");
    for (std::size_t i = 0; i < j.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        ExpectArray(j[i], at, 2);
        std::pair<std::string, std::string> pair;
        FromJson(j[i][0], at + "[0]", pair.first);
        FromJson(j[i][1], at + "[1]", pair.second);
        list.pairs.push_back(std::move(pair));
    }
}

template <class T>
void FromJson(const json& j, const std::string& where, std::vector<T>& values) {
    if (!j.is_array()) Fail(where, "expected an array");
    values.clear();
    for (std::size_t i = 0; i < j.size(); ++i) {
        T v{};
        FromJson(j[i], where + "[" + std::to_string(i) + "]", v);
        values.push_back(std::move(v));
    }
}

// ---- one field list for both directions --------------------------------------------------

class Writer {
public:
    template <class T>
    void operator()(const char* key, const T& value) { out[key] = ToJson(value); }
    json out = json::object();
};

class Reader {
public:
    Reader(const json& in, std::string where) : in_(in), where_(std::move(where)) {
        if (!in_.is_object()) Fail(where_.empty() ? "document" : where_, "expected an object");
    }
    template <class T>
    void operator()(const char* key, T& value) {
        keys_.insert(key);
        if (in_.contains(key)) FromJson(in_[key], where_.empty() ? key : where_ + "." + key, value);
    }
    void Finish() const { CheckKeys(in_, where_, keys_); }

private:
    const json& in_;
    std::string where_;
    std::set<std::string> keys_;
};

// The fields of a position in file order; derived and unsaved fields are left out.
template <class Io, class P>
void VisitPosition(Io& io, P& p) {
    io("name", p.name);
    io("auxText", p.auxText);
    io("note", p.note);
    io("mediumState", p.mediumState);
    io("auxInt", p.auxInt);
    io("mediumName", p.mediumName);
    io("mediumTag", p.mediumTag);
    io("savedAt", p.savedAt);
    io("manualCoefficients", p.manualCoefficients);
    io("gaugePressures", p.gaugePressures);
    io("pointEnabled", p.pointEnabled);
    io("values", p.values);
    io("units", p.units);
    io("designationSelector", p.designationSelector);
    io("designation", p.designation);
    io("valveData", p.valveData);
    io("characteristic", p.characteristic);
    io("rowIdList", p.rowIdList);
    io("pipeTexts", p.pipeTexts);
    io("resultTexts", p.resultTexts);
    io("specItems", p.specItems);
    io("titleBlock", p.titleBlock);
    io("selectedCharacteristic", p.selectedCharacteristic);
    io("selectedDn", p.selectedDn);
    io("selectedKvs", p.selectedKvs);
    io("maxPressureUnit", p.maxPressureUnit);
    io("maxTemperatureUnit", p.maxTemperatureUnit);
    io("pieces", p.pieces);
    io("manualValve", p.manualValve);
    io("specPairs", p.specPairs);
}

template <class Io, class D>
void VisitDocument(Io& io, D& doc) {
    io("project", doc.project);
    io("customer", doc.customer);
    io("projectText3", doc.projectText3);
    io("defaultFlowUnit", doc.defaultFlowUnit);
    io("defaultPressureUnit", doc.defaultPressureUnit);
    io("defaultTemperatureUnit", doc.defaultTemperatureUnit);
    io("atmosphericPressure", doc.atmosphericPressure);
    io("specSheetText", doc.specSheetText);
}

}  // namespace

json PositionToJson(const ValvePosition& p) {
    Writer w;
    VisitPosition(w, p);
    return w.out;
}

json ProjectToJson(const ProjectDocument& doc) {
    Writer w;
    // The version the project was written in; files are always stored in the current one.
    w("fileVersion", doc.fileVersion);
    VisitDocument(w, doc);
    json positions = json::array();
    for (const auto& p : doc.positions) positions.push_back(PositionToJson(p));
    w.out["positions"] = std::move(positions);
    return w.out;
}

ProjectDocument ProjectFromJson(const json& j, ProjectDocument start) {
    ProjectDocument doc = std::move(start);
    Reader r(j, "");
    std::int32_t version = ProjectDocument::kFileVersion;
    r("fileVersion", version);
    VisitDocument(r, doc);
    std::vector<json> positions;
    r("positions", positions);
    r.Finish();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        ValvePosition p;
        Reader pr(positions[i], "positions[" + std::to_string(i) + "]");
        VisitPosition(pr, p);
        pr.Finish();
        doc.positions.push_back(std::move(p));
    }
    return doc;
}

}  // namespace tarvik::cli
