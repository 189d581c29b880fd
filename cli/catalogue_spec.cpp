// The specification catalogue "specpoh.tkd" and its table files as JSON.
#include <algorithm>
#include <cctype>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/spec_catalogue.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

template <class T, class F>
json ListJson(const std::vector<T>& list, F f) {
    json a = json::array();
    for (const auto& item : list) a.push_back(f(item));
    return a;
}

template <class T, class F>
std::vector<T> ListFrom(const JsonObject& o, const char* key, F f) {
    std::vector<T> list;
    const auto items = o.Array(key);
    for (std::size_t i = 0; i < items.size(); ++i) list.push_back(f(items[i], Indexed(o.Where(key), i)));
    return list;
}

json ValueItemJson(const SpecValueItem& v) { return {{"name", v.name}, {"value", v.value}, {"extra", v.extra}}; }

SpecValueItem ValueItemFrom(const json& j, const std::string& where) {
    JsonObject o(j, where);
    o.AllowOnly({"name", "value", "extra"});
    return {o.Text("name"), o.Number("value", 0), o.Text("extra")};
}

json SizeJson(const SpecSizeItem& s) {
    return {{"name", s.name}, {"value", s.value}, {"text", s.text}, {"text2", s.text2}, {"values", ListJson(s.values, ValueItemJson)}};
}

SpecSizeItem SizeFrom(const json& j, const std::string& where) {
    JsonObject o(j, where);
    o.AllowOnly({"name", "value", "text", "text2", "values"});
    SpecSizeItem s;
    s.name = o.Text("name");
    s.value = o.Number("value", 0);
    s.text = o.Text("text");
    s.text2 = o.Text("text2");
    s.values = ListFrom<SpecValueItem>(o, "values", ValueItemFrom);
    return s;
}

json RangeJson(const SpecRangeItem& r) { return {{"from", r.from}, {"to", r.to}, {"text", r.text}, {"code", r.code}}; }

SpecRangeItem RangeFrom(const json& j, const std::string& where) {
    JsonObject o(j, where);
    o.AllowOnly({"from", "to", "text", "code"});
    return {o.Number("from", 0), o.Number("to", 0), o.Text("text"), o.Text("code", "0")};
}

json ChoiceJson(const SpecChoiceItem& c) { return c.texts; }

SpecChoiceItem ChoiceFrom(const json& j, const std::string& where) {
    if (!j.is_array() || j.size() < 3 || j.size() > 4) JsonFail(where, "expected an array of 3 or 4 texts");
    SpecChoiceItem c;
    for (std::size_t k = 0; k < j.size(); ++k) c.texts[k] = JsonText(j[k], Indexed(where, k));
    return c;
}

// Every list-a entry of a section carries the section's number of value items.
using SizeLists = std::vector<std::pair<std::string, const std::vector<SpecSizeItem>*>>;

std::int32_t ValueCountFrom(const JsonObject& o, const char* key, const SizeLists& lists) {
    std::int32_t count = -1;
    if (o.Has(key)) {
        count = o.Int(key, 0);
        if (count < 0) JsonFail(o.Where(key), "cannot be negative");
    }
    for (const auto& [where, list] : lists)
        for (std::size_t i = 0; i < list->size(); ++i) {
            const auto n = static_cast<std::int32_t>((*list)[i].values.size());
            if (count < 0) count = n;
            if (n != count)
                JsonFail(Indexed(where, i), "has " + std::to_string(n) + " value items; every entry of the section needs " +
                                                std::to_string(count) + " (" + key + ")");
        }
    return std::max(count, 0);
}

void Save(const ArchiveWriter& out, const std::filesystem::path& path) { out.SaveAtomically(path); }

std::string FileNameOf(const std::string& fileName) { return Lower(std::filesystem::path(fileName).filename().string()); }

}  // namespace

bool IsSpecCatalogueFileName(const std::string& fileName) { return FileNameOf(fileName) == "specpoh.tkd"; }
bool IsSpecTable06aFileName(const std::string& fileName) { return FileNameOf(fileName) == "specpoh06a.tkd"; }
bool IsSpecTable06bFileName(const std::string& fileName) { return FileNameOf(fileName) == "specpoh06b.tkd"; }

json DumpSpecCatalogue(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const SpecCatalogue c = ReadSpecCatalogue(in);
    json j = {{"kind", "specpoh"}, {"version", c.version}, {"catalogueCodes", c.catalogueCodes}, {"valueCount1", c.valueCount1}};
    j["section1"] = ListJson(c.section1, [](const SpecActuator& a) {
        return json{{"name", a.name},
                    {"second", a.second},
                    {"kind", a.kind},
                    {"codes", a.codes},
                    {"sizes", ListJson(a.sizes, SizeJson)},
                    {"springs", ListJson(a.springs, RangeJson)},
                    {"supplies", ListJson(a.supplies, [](const SpecSupplyItem& s) {
                         return json{{"value", s.value}, {"text", s.text}, {"text2", s.text2}};
                     })},
                    {"options", ListJson(a.options, ChoiceJson)}};
    });
    j["codeE"] = c.codeE;
    j["valueCount2"] = c.valueCount2;
    j["section2"] = ListJson(c.section2, [](const SpecSection2Entry& e) {
        return json{{"name", e.name},
                    {"second", e.second},
                    {"a", ListJson(e.a, SizeJson)},
                    {"b", ListJson(e.b, [](const SpecRangeItem& r) { return json{{"from", r.from}, {"to", r.to}, {"text", r.text}}; })},
                    {"c", ListJson(e.c, [](const SpecTextPair& p) { return json::array({p.first, p.second}); })},
                    {"d", ListJson(e.d, [](const SpecChoiceItem& ch) { return json::array({ch.texts[0], ch.texts[1], ch.texts[2]}); })}};
    });
    j["codeF"] = c.codeF;
    j["valueCount3"] = c.valueCount3;
    j["section3"] = ListJson(c.section3, [](const SpecSection3Entry& e) {
        return json{{"name", e.name}, {"second", e.second}, {"a", ListJson(e.a, SizeJson)}};
    });
    j["valueListText"] = c.valueListText;
    j["valueList"] = ListJson(c.valueList, ValueItemJson);
    return j;
}

void BuildSpecCatalogue(const json& source, const std::filesystem::path& path) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "version", "catalogueCodes", "valueCount1", "section1", "codeE", "valueCount2", "section2",
                 "codeF", "valueCount3", "section3", "valueListText", "valueList"});
    SpecCatalogue c;
    c.version = o.Int("version", c.version);
    if (o.Has("catalogueCodes")) c.catalogueCodes = o.Texts<4>("catalogueCodes");
    c.section1 = ListFrom<SpecActuator>(o, "section1", [](const json& j, const std::string& where) {
        JsonObject e(j, where);
        e.AllowOnly({"name", "second", "kind", "codes", "sizes", "springs", "supplies", "options"});
        SpecActuator a;
        a.name = e.Text("name");
        a.second = e.Text("second");
        a.kind = e.Text("kind");
        a.codes = e.Texts<4>("codes");
        a.sizes = ListFrom<SpecSizeItem>(e, "sizes", SizeFrom);
        a.springs = ListFrom<SpecRangeItem>(e, "springs", RangeFrom);
        a.supplies = ListFrom<SpecSupplyItem>(e, "supplies", [](const json& sj, const std::string& w) {
            JsonObject s(sj, w);
            s.AllowOnly({"value", "text", "text2"});
            return SpecSupplyItem{s.Number("value", 0), s.Text("text"), s.Text("text2")};
        });
        a.options = ListFrom<SpecChoiceItem>(e, "options", ChoiceFrom);
        return a;
    });
    c.codeE = o.Text("codeE", c.codeE);
    c.section2 = ListFrom<SpecSection2Entry>(o, "section2", [](const json& j, const std::string& where) {
        JsonObject e(j, where);
        e.AllowOnly({"name", "second", "a", "b", "c", "d"});
        SpecSection2Entry s;
        s.name = e.Text("name");
        s.second = e.Text("second");
        s.a = ListFrom<SpecSizeItem>(e, "a", SizeFrom);
        s.b = ListFrom<SpecRangeItem>(e, "b", RangeFrom);
        s.c = ListFrom<SpecTextPair>(e, "c", [](const json& pj, const std::string& w) {
            if (!pj.is_array() || pj.size() != 2) JsonFail(w, "expected an array of 2 texts");
            return SpecTextPair{JsonText(pj[0], w + "[0]"), JsonText(pj[1], w + "[1]")};
        });
        s.d = ListFrom<SpecChoiceItem>(e, "d", ChoiceFrom);
        return s;
    });
    c.codeF = o.Text("codeF", c.codeF);
    c.section3 = ListFrom<SpecSection3Entry>(o, "section3", [](const json& j, const std::string& where) {
        JsonObject e(j, where);
        e.AllowOnly({"name", "second", "a"});
        return SpecSection3Entry{e.Text("name"), e.Text("second"), ListFrom<SpecSizeItem>(e, "a", SizeFrom)};
    });
    c.valueListText = o.Text("valueListText");
    c.valueList = ListFrom<SpecValueItem>(o, "valueList", ValueItemFrom);

    SizeLists lists1, lists2, lists3;
    for (std::size_t i = 0; i < c.section1.size(); ++i) lists1.emplace_back(Indexed("section1", i) + ".sizes", &c.section1[i].sizes);
    for (std::size_t i = 0; i < c.section2.size(); ++i) lists2.emplace_back(Indexed("section2", i) + ".a", &c.section2[i].a);
    for (std::size_t i = 0; i < c.section3.size(); ++i) lists3.emplace_back(Indexed("section3", i) + ".a", &c.section3[i].a);
    c.valueCount1 = ValueCountFrom(o, "valueCount1", lists1);
    c.valueCount2 = ValueCountFrom(o, "valueCount2", lists2);
    c.valueCount3 = ValueCountFrom(o, "valueCount3", lists3);
    if (c.version < 2 && (c.valueCount1 != 0 || c.valueCount2 != 0))
        JsonFail("version", "files before version 2 store no value items");

    ArchiveWriter out;
    WriteSpecCatalogue(out, c);
    Save(out, path);
}

json DumpSpecTable06a(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const SpecTable06a t = ReadSpecTable06a(in);
    json j = {{"kind", "specpoh06a"}, {"version", t.version}};
    j["entries"] = ListJson(t.entries, [](const SpecTable06aEntry& e) {
        return json{{"name", e.name}, {"rows", ListJson(e.rows, [](const SpecTable06aRow& r) {
                                           return json{{"x", r.x}, {"points", r.points}};
                                       })}};
    });
    j["records"] = t.records;
    return j;
}

void BuildSpecTable06a(const json& source, const std::filesystem::path& path) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "version", "entries", "records"});
    SpecTable06a t;
    t.version = o.Int("version", 0);
    t.entries = ListFrom<SpecTable06aEntry>(o, "entries", [](const json& j, const std::string& where) {
        JsonObject e(j, where);
        e.AllowOnly({"name", "rows"});
        SpecTable06aEntry entry;
        entry.name = e.Text("name");
        entry.rows = ListFrom<SpecTable06aRow>(e, "rows", [](const json& rj, const std::string& w) {
            JsonObject r(rj, w);
            r.AllowOnly({"x", "points"});
            SpecTable06aRow row;
            row.x = r.Number("x", 0);
            row.points = ListFrom<std::array<double, 3>>(r, "points", [](const json& pj, const std::string& pw) {
                if (!pj.is_array() || pj.size() != 3) JsonFail(pw, "expected an array of 3 numbers");
                return std::array<double, 3>{JsonNumber(pj[0], pw + "[0]"), JsonNumber(pj[1], pw + "[1]"), JsonNumber(pj[2], pw + "[2]")};
            });
            return row;
        });
        return entry;
    });
    t.records = ListFrom<std::array<double, 5>>(o, "records", [](const json& rj, const std::string& w) {
        if (!rj.is_array() || rj.size() != 5) JsonFail(w, "expected an array of 5 numbers");
        std::array<double, 5> r{};
        for (std::size_t k = 0; k < 5; ++k) r[k] = JsonNumber(rj[k], Indexed(w, k));
        return r;
    });
    ArchiveWriter out;
    WriteSpecTable06a(out, t);
    Save(out, path);
}

json DumpSpecTable06b(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const SpecTable06b t = ReadSpecTable06b(in);
    json j = {{"kind", "specpoh06b"}, {"version", t.version}};
    j["records"] = ListJson(t.records, [](const SpecTable06bRecord& r) {
        return json{{"a", r.a}, {"b", r.b}, {"c", r.c}, {"d", r.d}, {"e", r.e}, {"f", r.f}, {"g", r.g}};
    });
    return j;
}

void BuildSpecTable06b(const json& source, const std::filesystem::path& path) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "version", "records"});
    SpecTable06b t;
    t.version = o.Int("version", 0);
    t.records = ListFrom<SpecTable06bRecord>(o, "records", [](const json& j, const std::string& where) {
        JsonObject r(j, where);
        r.AllowOnly({"a", "b", "c", "d", "e", "f", "g"});
        return SpecTable06bRecord{r.Number("a", 0), r.Number("b", 0), r.Int("c", 0), r.Text("d"),
                                  r.Number("e", 0), r.Text("f"),      r.Number("g", 0)};
    });
    ArchiveWriter out;
    WriteSpecTable06b(out, t);
    Save(out, path);
}

json DumpSpecCurveTable(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const SpecCurveTable t = ReadSpecCurveTable(in);
    json j = {{"kind", "specpoh07"}, {"version", t.version}};
    j["entries"] = ListJson(t.entries, [](const SpecCurveEntry& e) {
        return json{{"key1", e.key1}, {"key2", e.key2}, {"rows", ListJson(e.rows, [](const SpecCurveRow& r) {
                                                             return json{{"x", r.x}, {"points", r.points}};
                                                         })}};
    });
    return j;
}

void BuildSpecCurveTable(const json& source, const std::filesystem::path& path) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "version", "entries"});
    SpecCurveTable t;
    t.version = o.Int("version", 0);
    t.entries = ListFrom<SpecCurveEntry>(o, "entries", [](const json& j, const std::string& where) {
        JsonObject e(j, where);
        e.AllowOnly({"key1", "key2", "rows"});
        SpecCurveEntry entry;
        entry.key1 = e.Int("key1", -1);
        entry.key2 = e.Int("key2", -1);
        entry.rows = ListFrom<SpecCurveRow>(e, "rows", [](const json& rj, const std::string& w) {
            JsonObject r(rj, w);
            r.AllowOnly({"x", "points"});
            SpecCurveRow row;
            row.x = r.Number("x", 0);
            row.points = ListFrom<std::array<double, 2>>(r, "points", [](const json& pj, const std::string& pw) {
                if (!pj.is_array() || pj.size() != 2) JsonFail(pw, "expected an array of 2 numbers");
                return std::array<double, 2>{JsonNumber(pj[0], pw + "[0]"), JsonNumber(pj[1], pw + "[1]")};
            });
            return row;
        });
        return entry;
    });
    ArchiveWriter out;
    WriteSpecCurveTable(out, t);
    Save(out, path);
}

}  // namespace tarvik::cli
