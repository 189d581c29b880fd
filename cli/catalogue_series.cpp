// Valve-series files (*.dbv) as JSON.
#include <algorithm>
#include <cctype>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/valve_series.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

const char* const kTableNames[6] = {"FL", "xT", "Fd", "xFz", "dLnLiquid", "dLnGas"};

json TextsJson(const std::vector<std::string>& raw) {
    json a = json::array();
    for (const auto& t : raw) a.push_back(RawTextJson(t));
    return a;
}

json ValveJson(const SeriesValve& v) {
    json j = {{"characteristic", v.characteristic},
              {"dn", v.dn},
              {"item54", v.item54},
              {"item108", v.item108},
              {"Kvs", v.Kvs},
              {"minKv", v.minKv},
              {"field7", v.field7},
              {"noiseInput2", v.FLn},
              {"noiseInput3", v.nyF},
              {"liquidNoiseInput", v.dLF}};
    for (int t = 0; t < 6; ++t) j[kTableNames[t]] = v.tables[t];
    j["Kv"] = v.kvTable;
    j["valveValue"] = v.valveValue;
    j["specNumbers"] = v.specNumbers;
    j["discarded"] = {{"value", v.discarded.value}, {"longCount", v.discarded.longCount},
                      {"texts", TextsJson(v.discarded.texts)}};
    j["specText"] = v.specText;
    j["specTexts"] = v.specTexts;
    j["loaded"] = {{"noiseInput1", v.rw}, {"specValue", v.specValue}};
    return j;
}

json ChoiceJson(const SeriesChoice& c, std::int64_t version) {
    json j = {{"id", c.id}};
    if (version == 800) {
        json sections = json::array();
        for (const auto& [key, text] : c.storedSections) sections.push_back(json::array({key, text}));
        j["sections"] = sections;
    } else {
        j["text"] = c.storedText;
        if (version >= 701 && version < 800) j["text2"] = c.storedText2;
    }
    j["condition"] = c.condition;
    j["attribute"] = c.attribute;
    j["code"] = c.code;
    j["typeCode"] = c.typeCode;
    j["loadedText"] = c.text;
    return j;
}

SeriesValve ValveFromJson(const json& source, const std::string& where) {
    JsonObject o(source, where);
    o.AllowOnly({"characteristic", "dn", "item54", "item108", "Kvs", "minKv", "field7", "noiseInput2", "noiseInput3",
                 "liquidNoiseInput", "FL", "xT", "Fd", "xFz", "dLnLiquid", "dLnGas", "Kv", "valveValue",
                 "specNumbers", "discarded", "specText", "specTexts", "loaded"});
    SeriesValve v;
    v.characteristic = o.Int("characteristic", 0);
    v.dn = o.Number("dn", 0);
    v.item54 = o.Number("item54", 0);
    v.item108 = o.Number("item108", 0);
    v.Kvs = o.Number("Kvs", 0);
    v.minKv = o.Number("minKv", 0);
    v.field7 = o.Number("field7", 0);
    v.FLn = o.Number("noiseInput2", 0);
    v.nyF = o.Number("noiseInput3", 1e-8);
    v.dLF = o.Number("liquidNoiseInput", 0);
    for (int t = 0; t < 6; ++t) v.tables[t] = o.Numbers<11>(kTableNames[t]);
    v.kvTable = o.Numbers<11>("Kv");
    v.valveValue = o.Int("valveValue", 0);
    v.specNumbers = o.Numbers<2>("specNumbers");
    JsonObject d = o.Object("discarded");
    d.AllowOnly({"value", "longCount", "texts"});
    v.discarded.value = d.Int("value", 0);
    if (d.Has("longCount")) {
        const json& lc = source.at("discarded").at("longCount");
        if (!lc.is_boolean()) JsonFail(d.Where("longCount"), "expected true or false");
        v.discarded.longCount = lc.get<bool>();
    }
    const auto texts = d.Array("texts");
    for (std::size_t i = 0; i < texts.size(); ++i) v.discarded.texts.push_back(JsonRawText(texts[i], Indexed(d.Where("texts"), i)));
    v.specText = o.Text("specText");
    v.specTexts = o.Texts<2>("specTexts");
    return v;
}

SeriesChoice ChoiceFromJson(const json& source, const std::string& where, std::int64_t version) {
    JsonObject o(source, where);
    o.AllowOnly({"id", "text", "text2", "sections", "condition", "attribute", "code", "typeCode", "loadedText"});
    SeriesChoice c;
    c.id = o.Int("id", 0);
    c.storedText = o.Text("text");
    c.storedText2 = o.Text("text2");
    const auto sections = o.Array("sections");
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::string w = Indexed(o.Where("sections"), i);
        if (!sections[i].is_array() || sections[i].size() != 2) JsonFail(w, "expected [language key, text]");
        c.storedSections.emplace_back(JsonInt32(sections[i][0], w + "[0]"), JsonText(sections[i][1], w + "[1]"));
    }
    if (version == 800 && o.Has("text")) JsonFail(o.Where("text"), "a file of version 8.00 stores \"sections\"");
    if (version != 800 && !sections.empty()) JsonFail(o.Where("sections"), "only files of version 8.00 store sections");
    c.condition = o.Text("condition");
    c.attribute = o.Text("attribute");
    c.code = o.Text("code");
    c.typeCode = o.Text("typeCode");
    return c;
}

}  // namespace

bool IsValveSeriesFileName(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string ext = fileName.substr(fileName.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return ext == ".dbv";
}

json DumpValveSeries(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const ValveSeries s = ReadValveSeries(in, path.stem().string(), CurrentSeriesTextOptions());
    const std::int64_t v = s.versionHundredths();
    json j = {{"kind", "dbv"}, {"rawVersion", s.rawVersion}, {"name", s.name}, {"description", s.storedDescription},
              {"tableFlags", s.tableFlags}, {"seriesDefault", s.seriesDefault}};
    json drawing = {{"flag", s.drawingFlag}};
    if (s.hasDrawing()) {
        drawing["length"] = s.drawingLength;
        drawing["texts"] = TextsJson(s.drawingTexts);
        drawing["annotation"] = RawTextJson(s.drawingAnnotation);
    }
    j["drawing"] = drawing;
    j["seriesValue"] = s.seriesValue;
    j["seriesText"] = s.seriesText;
    j["texts710"] = s.texts710;
    j["designationTemplate"] = s.designationTemplate;
    j["texts713"] = s.texts713;
    j["text801"] = s.text801;
    j["companyText"] = s.companyText;
    j["secondDesignationTemplate"] = s.secondDesignationTemplate;
    json valves = json::array();
    for (const auto& valve : s.valves) valves.push_back(ValveJson(valve));
    j["valves"] = valves;
    json choices = json::array();
    for (const auto& c : s.choices) choices.push_back(ChoiceJson(c, v));
    j["choices"] = choices;
    j["textList"] = s.textList;
    json numbers = json::array();
    for (const auto& r : s.numberList) numbers.push_back({{"texts", r.texts}, {"number", r.number}});
    j["numberList"] = numbers;
    j["loaded"] = {{"displayName", s.DisplayName()}, {"description", s.description}};
    return j;
}

void BuildValveSeries(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "rawVersion", "name", "description", "tableFlags", "seriesDefault", "drawing", "seriesValue",
                 "seriesText", "texts710", "designationTemplate", "texts713", "text801", "companyText",
                 "secondDesignationTemplate", "valves", "choices", "textList", "numberList", "loaded"});
    ValveSeries s;
    s.rawVersion = o.Int("rawVersion", s.rawVersion);
    if (s.rawVersion < 0) JsonFail("rawVersion", "a version cannot be negative");
    const std::int64_t v = s.versionHundredths();
    s.name = o.Text("name");
    s.storedDescription = o.Text("description");
    s.tableFlags = o.Ints<6>("tableFlags");
    s.seriesDefault = o.Number("seriesDefault", 0);

    JsonObject d = o.Object("drawing");
    d.AllowOnly({"flag", "length", "texts", "annotation"});
    s.drawingFlag = d.Int("flag", 0);
    const auto texts = d.Array("texts");
    std::int64_t total = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        s.drawingTexts.push_back(JsonRawText(texts[i], Indexed(d.Where("texts"), i)));
        total += static_cast<std::int64_t>(s.drawingTexts.back().size());
    }
    if (total > INT32_MAX) JsonFail(d.Where("texts"), "drawing too long");
    s.drawingLength = d.Int("length", static_cast<std::int32_t>(total));
    s.drawingAnnotation = d.RawText("annotation");
    if (s.drawingFlag != 0 && v > 705) {
        // The reader takes texts until their lengths reach the stated length: every text must be
        // needed and the last one must reach it.
        std::int64_t before = total - (s.drawingTexts.empty() ? 0 : static_cast<std::int64_t>(s.drawingTexts.back().size()));
        if (total < s.drawingLength || (!s.drawingTexts.empty() && before >= s.drawingLength))
            JsonFail(d.Where("length"), "must lie after the sum of all texts but the last and at most the sum of all");
    }

    s.seriesValue = o.Int("seriesValue", 0);
    s.seriesText = o.Text("seriesText");
    s.texts710 = o.Texts<2>("texts710");
    s.designationTemplate = o.Text("designationTemplate");
    s.texts713 = o.Texts<2>("texts713");
    s.text801 = o.Text("text801");
    s.companyText = o.Text("companyText");
    s.secondDesignationTemplate = o.Text("secondDesignationTemplate");
    const auto valves = o.Array("valves");
    for (std::size_t i = 0; i < valves.size(); ++i) s.valves.push_back(ValveFromJson(valves[i], Indexed("valves", i)));
    const auto choices = o.Array("choices");
    for (std::size_t i = 0; i < choices.size(); ++i)
        s.choices.push_back(ChoiceFromJson(choices[i], Indexed("choices", i), v));
    const auto textList = o.Array("textList");
    for (std::size_t i = 0; i < textList.size(); ++i) {
        const std::string w = Indexed("textList", i);
        if (!textList[i].is_array() || textList[i].size() != 5) JsonFail(w, "expected an array of 5 texts");
        std::array<std::string, 5> r;
        for (std::size_t k = 0; k < 5; ++k) r[k] = JsonText(textList[i][k], Indexed(w, k));
        s.textList.push_back(r);
    }
    const auto numbers = o.Array("numberList");
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        JsonObject n(numbers[i], Indexed("numberList", i));
        n.AllowOnly({"texts", "number"});
        SeriesNumberRecord r;
        r.texts = n.Texts<3>("texts");
        r.number = n.Int("number", static_cast<std::int32_t>(i + 1));
        s.numberList.push_back(r);
    }
    SaveValveSeries(out, s);
}

}  // namespace tarvik::cli
