#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "data/number_text.hpp"
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
    for (const DwfShape& s : d.shapes)
        if (s.kind == DwfShape::Text) texts[std::to_string(s.points[0].x) + "," + std::to_string(s.points[0].y)] = s.text;
    const std::map<std::string, std::string> expected = {
        {"9700,5150", "L"},           {"3700,8800", "H1"},          {"18900,3700", "Teplárna Žatec"},
        {"23900,3700", "K1"},         {"18900,2500", "FV-101"},     {"23900,2500", "TV 100"},
        {"18900,1300", "07.12.2026"}, {"21300,1300", "Tarvik 2.7"}, {"25400,1300", FormatNumber(15.5, 0) + " kg"}};
    EXPECT_EQ(texts, expected);
    EXPECT_TRUE(d.complete);
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
