#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

#include "data/number_text.hpp"
#include "data/valve_series.hpp"
#include "output/dimension_drawing.hpp"
#include "output/dwf_drawing.hpp"
#include "output/position_drawing.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

KeyValueList List(std::vector<std::pair<std::string, std::string>> pairs) { return KeyValueList{std::move(pairs)}; }

std::string Hex(const std::string& utf8) { return EncodeDwfHexString(utf8); }

TEST(PlaceholderSubstitution, FillsTextOpcodesOnly) {
    const KeyValueList tb = List({{"zakaznik", "ab"}, {"akce", "Kotelna Žatec"}, {"kreslil", "Tarvik 2.7"}, {"datum", "07.12.2026"}});
    const struct {
        std::string in, out;
    } cases[] = {
        // The filled line is joined to the previous one; the hex string keeps its double quotes.
        {"L 0,0 1,1\n(Text 10,20 'Customer: *zakaznik*')\nL 2,2 3,3\n",
         "L 0,0 1,1(Text 10,20 \"0043007500730074006F006D00650072003A002000610062\")\nL 2,2 3,3\n"},
        {"(Text 10,20 '*zakaznik*')\n", "(Text 10,20 " + Hex("ab") + ")\n"},
        {"(text 1,1 '*akce*')\n", "(text 1,1 " + Hex("Kotelna Žatec") + ")\n"},
        // Unknown keys, placeholders outside text opcodes and hex operands stay as they are.
        {"(Text 1,1 '*ozn*')\n", "(Text 1,1 '*ozn*')\n"},
        {"(Comment '*zakaznik*')\n", "(Comment '*zakaznik*')\n"},
        {"(Text 1,1 \"002A\")*zakaznik*\n", "(Text 1,1 \"002A\")*zakaznik*\n"},
        // Two placeholders in one opcode: the key first in the list wins, the other stays literal.
        {"(Text 1,1 '*akce* *zakaznik*')\n", "(Text 1,1 " + Hex("*akce* ab") + ")\n"},
        {"(Text 1,1 'it\\'s *zakaznik*')\n", "(Text 1,1 " + Hex("it's ab") + ")\n"},
        // A line joined from text opcodes keeps each of them: filling the later key first must not
        // swallow the earlier opcode into the argument of the one before it.
        {"(Text 1,1 '*datum*')\n(Text 2,2 '*kreslil*')\n",
         "(Text 1,1 " + Hex("07.12.2026") + ")(Text 2,2 " + Hex("Tarvik 2.7") + ")\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubstitutePlaceholders(c.in, tb), c.out) << c.in;
}

TEST(PlaceholderSubstitution, DemoDrawingReadsAsItsTitleBlock) {
    std::ifstream in(fs::path(TARVIK_SOURCE_DIR) / "catalogue/series/globe.dwf", std::ios::binary);
    std::stringstream body;
    body << in.rdbuf();
    ASSERT_FALSE(body.str().empty());
    KeyValueList tb = List({{"zakaznik", "Teplárna Žatec"}, {"akce", "K1"}, {"kks", "FV-101"}, {"kreslil", "Tarvik 2.7"},
                            {"datum", "07.12.2026"}, {"VAHAP", "12,5"}, {"VAHAT", "3"}, {"ozn", "TV 100"}});
    SetTotalWeight(tb);
    const DwfDrawing d = ParseDwf(AssembleDrawingStream(SubstitutePlaceholders(body.str(), tb)));
    std::map<std::string, std::string> texts;  // position -> text
    for (const DwfShape& s : d.shapes) {
        if (s.kind != DwfShape::Text) continue;
        texts[std::to_string(s.points[0].x) + "," + std::to_string(s.points[0].y)] = s.text;
        EXPECT_EQ(s.text.find('*'), std::string::npos) << s.text;  // every placeholder filled
    }
    const std::map<std::string, std::string> expected = {
        {"23150,5850", "Teplárna Žatec"}, {"32150,5850", "K1"},         {"23150,3450", "FV-101"},
        {"23150,4650", "TV 100"},         {"35150,3450", "07.12.2026"}, {"29150,3450", "Tarvik 2.7"},
        {"33550,2300", FormatNumber(15.5, 0) + " kg"}};
    for (const auto& [at, text] : expected) EXPECT_EQ(texts[at], text) << at;
    EXPECT_TRUE(d.complete);
}

// The drawings of the demo series as the program folder holds them: clean to read, with their
// variant layers, one text opcode per title-block placeholder, and every layer that a variant
// record of the series names.
TEST(DemoDrawings, ReadCleanlyWithTheirLayersAndPlaceholders) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "dbv")) {
        ValveSeries series;
        ASSERT_TRUE(LoadValveSeries(entry.path(), series)) << entry.path();
        const std::string dwf = series.DrawingBytes();
        const DwfDrawing d = ParseDwf(dwf);
        EXPECT_TRUE(d.complete) << series.name;
        EXPECT_TRUE(d.notes.empty()) << series.name << ": " << (d.notes.empty() ? "" : d.notes.front());
        std::set<std::string> layers;
        for (const DwfLayer& l : d.layers) layers.insert(l.name);
        for (const char* name : {"BODY", "TITLE", "CONNECTION_FLANGED", "CONNECTION_WELD", "OUTLET_EQUAL",
                                 "OUTLET_REDUCED", "ACTUATOR_A", "ACTUATOR_B"})
            EXPECT_TRUE(layers.count(name)) << series.name << " " << name;
        for (const auto& record : series.textList) {
            std::istringstream names(record[0]);
            for (std::string name; std::getline(names, name, ';');) {
                if (!name.empty() && (name[0] == '+' || name[0] == '-')) name.erase(0, 1);
                EXPECT_TRUE(name.empty() || layers.count(name)) << series.name << " record layer " << name;
            }
        }
        // The template filler needs "(Text x,y '...*key*...')" alone on its line, once per key.
        for (const char* key : {"*zakaznik*", "*akce*", "*kks*", "*kreslil*", "*datum*", "*ozn*", "*VAHA*"}) {
            int lines = 0;
            std::istringstream in(dwf);
            for (std::string line; std::getline(in, line);)
                if (line.find(key) != std::string::npos) {
                    ++lines;
                    EXPECT_TRUE(line.rfind("(Text ", 0) == 0 && line.back() == ')') << series.name << " " << line;
                }
            EXPECT_EQ(lines, 1) << series.name << " " << key;
        }
        ++seen;
    }
    EXPECT_GE(seen, 5);
}

TEST(TotalWeight, SumsThePartsOnlyWhenPositive) {
    const struct {
        std::vector<std::pair<std::string, std::string>> in;
        std::string vaha;
    } cases[] = {
        {{{"VAHAP", "1.5"}, {"VAHAT", "2"}}, "3.5"},
        {{{"VAHA", "7"}, {"VAHAP", "0"}}, "7"},  // a total of 0 leaves VAHA alone
        {{{"VAHA", "7"}, {"VAHAD", "x"}}, "7"},
        {{{"VAHA", "7"}, {"VAHAP", "0.1"}, {"VAHAT", "0.2"}, {"VAHAD", "1000"}}, "1000.3"},
    };
    for (const auto& c : cases) {
        KeyValueList tb = List(c.in);
        SetTotalWeight(tb);
        std::string vaha = tb.Value("VAHA");
        std::replace(vaha.begin(), vaha.end(), ',', '.');  // the locale's decimal separator
        EXPECT_EQ(vaha, c.vaha);
    }
}

// A viewer over a fixed list of layers.
class FakeViewer : public DrawingViewer {
public:
    std::vector<std::pair<std::string, bool>> layers;
    std::string loaded;
    void LoadStream(std::string_view s) override { loaded = std::string(s); }
    bool StartLayerEnumeration(std::string_view) override { return (at_ = 0) < layers.size(); }
    bool NextLayer() override { return ++at_ < layers.size(); }
    std::string LayerName() const override { return layers.at(at_).first; }
    bool LayerVisible() const override { return layers.at(at_).second; }
    void SetLayerVisible(bool v) override { layers.at(at_).second = v; }
    std::string Visible() const {
        std::string s;
        for (const auto& [n, v] : layers)
            if (v) s += n + " ";
        return s;
    }

private:
    std::size_t at_ = 0;
};

TEST(LayerSpecification, HideOnlyAndShowModes) {
    const struct {
        std::string spec;
        bool hideOnly;
        std::string visible;  // starting from BODY and VALVE_A visible, VALVE_B and ACT hidden
    } cases[] = {
        {";-BODY;", true, "VALVE_A "},
        {";+VALVE%;", true, "BODY "},  // every prefix entry hides in hide-only mode
        {";-VALVE%;", true, "BODY "},
        {";+ACT;", true, "BODY VALVE_A "},
        {"-BODY;", true, "BODY VALVE_A "},
        {";+ACT;", false, "BODY VALVE_A ACT "},
        {";+VALVE%;", false, "BODY VALVE_A VALVE_B "},
        {";-VALVE%;", false, "BODY "},  // a "-" prefix keeps its layers hidden
        {";-VALVE%;+VALVE_B;", false, "BODY VALVE_B "},
        {";+VALVE%;-VALVE_A;", false, "BODY VALVE_B "},
        {";+BODY;-VAL%;", false, "BODY "},
        {";+%;", false, "BODY VALVE_A VALVE_B ACT "},
        {"", false, "BODY VALVE_A "},
    };
    for (const auto& c : cases) {
        FakeViewer v;
        v.layers = {{"BODY", true}, {"VALVE_A", true}, {"VALVE_B", false}, {"ACT", false}};
        ApplyLayerSpecification(v, c.spec, c.hideOnly);
        EXPECT_EQ(v.Visible(), c.visible) << c.spec << (c.hideOnly ? " hide-only" : " show");
    }
}

TEST(ShowDrawing, HidesFillsAndLoads) {
    FakeViewer v;
    v.layers = {{"TITLE", true}, {"ACTUATOR_A", true}};
    KeyValueList tb = List({{"kks", "FV-1"}, {"VAHAP", "2"}});
    ShowDrawing(v, "(Text 1,1 '*kks*')\n(Text 2,2 '*VAHA*')\n", tb, ";-ACTUATOR%;");
    EXPECT_EQ(v.Visible(), "TITLE ");
    EXPECT_EQ(tb.Value("VAHA"), "2");
    EXPECT_EQ(v.loaded, "(DWF V00.42)\n(Text 1,1 " + Hex("FV-1") + ")(Text 2,2 " + Hex("2") + ")\n(EndOfDWF)\n");
}

TEST(DrawingTemplate, ReadFromTheCompanionFile) {
    const fs::path dir = fs::temp_directory_path() / ("tarvik_template_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "dwftxt07.dwf", std::ios::binary) << "(Text 1,1 'V\xE1ha')\r\nL 0,0 1,1";
    EXPECT_EQ(LoadDrawingTemplate(dir / "dwf07.dwf"), "(Text 1,1 'Váha')\nL 0,0 1,1\n");
    EXPECT_EQ(LoadDrawingTemplate(dir / "dwf08.dwf"), "");
    EXPECT_EQ(AssembleDrawingStream(""), "(DWF V00.42)\n(EndOfDWF)\n");
    fs::remove_all(dir);
}

TEST(PrintedDrawing, LayerSpecificationsOfAPosition) {
    ValvePosition p;
    p.valveData[kVdInletSize] = 50;
    p.valveData[kVdOutletSize] = 80;
    p.specItems = {{71, "x", "", "", ";+A;", ""}, {69, "", "", "", ";+Z;", ""}, {73, "y", "", "", ";-B;", ""}};
    DrawingLayerSources src;
    src.defaultLayerText = ";-ALL%;";
    src.defaultTitleBlock = List({{"ozn", "TV"}});
    src.diameterTexts = {";+RED;", ";+EQ;"};
    EXPECT_EQ(PrintLayerSpecification(p, src), ";-ALL%;;+A;;-B;;+RED;");
    EXPECT_EQ(p.titleBlock.Value("ozn"), "TV");
    p.specItems.push_back({70, ";+S;", "", "", "", ""});
    p.valveData[kVdOutletSize] = 50;
    p.titleBlock = {};
    EXPECT_EQ(PrintLayerSpecification(p, src), ";+S;;+A;;-B;;+EQ;");
    EXPECT_EQ(p.titleBlock.Find("ozn"), nullptr);
    p.specItems[1].text = ";+ORDER;";
    EXPECT_EQ(PrintLayerSpecification(p, src), ";+ORDER;");

    EXPECT_EQ(VariantLayerSpecification(";+A;", ";+B;;"), ";+A;+B;");
    EXPECT_EQ(HiddenVariantsSpecification(";A;;B;"), ";-A;-B;");
    EXPECT_EQ(DrawingProgramText(), "Tarvik 2.7");

    ProjectDocument doc;
    doc.customer = "Kesta";
    doc.project = "K1";
    p.name = "FV-1";
    p.savedAt = 1700000000;  // 14 or 15 Nov 2023 depending on the zone
    SetDialogTitleBlock(doc, p);
    EXPECT_EQ(p.titleBlock.Value("zakaznik"), "Kesta");
    EXPECT_EQ(p.titleBlock.Value("kks"), "FV-1");
    EXPECT_EQ(p.titleBlock.Value("datum").substr(2), ".11.2023");
}

}  // namespace
}  // namespace tarvik
