#include "project/specification_sheet.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/lang_text.hpp"
#include "data/messages.hpp"
#include "data/valve_series.hpp"
#include "project/position_form.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

const char* kConnections =
    "// connections\n"
    "Flanges\n"
    "\tPN16\n"
    "\t\tcold [Flange PN16 form B1] |B1| *PN16*\n"
    "\tClass 150 [Flange RF] |RF| *Class 150*\n"
    "Weld\n"
    "\tPN40 [Weld end PN40] |BW| *PN40*\n"
    "[substitutions]\n"
    "form B1 [B1]\n"
    "Class [CL]\n";

const char* kAccessories =
    "Positioner_\n"
    "\tdigital,_HART\n"
    "Handwheel\n"
    "[subst]\n"
    "HART [HART 7]\n";

std::string Item(const ValvePosition& p, int id) { return ItemText(id, p.specItems); }

class SpecificationSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tarvik_spec_sheet_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "specprip.tkd") << kConnections;
        std::ofstream(dir / "specprisl.tkd") << kAccessories;

        ValvePosition p;
        p.name = "FV-1";
        p.savedAt = 86400 * 365;
        p.valveData[kVdKvs] = 40;
        p.valveData[kVdInletSize] = 50;
        p.valveData[kVdOutletSize] = 50;
        p.pieces = "2";
        p.specItems = {{7, "[0:Old][1:Old][2:Old][3:Old]", "", "", "K", ""}};
        doc.customer = "Customer";
        doc.project = "Plant";
        doc.positions.push_back(p);

        series.name = "V100";
        series.texts713 = {"/R", "/E"};
        series.secondDesignationTemplate = "[ks] pcs";
        SeriesValve v;
        v.dn = 50;
        v.Kvs = 40;
        series.valves = {v};
        auto choice = [&](int id, const char* text, const char* condition, const char* code, const char* typeCode) {
            SeriesChoice c;
            c.id = id;
            c.text = text;
            c.condition = condition;
            c.code = code;
            c.typeCode = typeCode;
            series.choices.push_back(c);
        };
        choice(5, "Extended bonnet", "", "PV", "P");
        choice(6, "Perforated plug", "", "PE", "D");
        choice(7, "Standard paint", "", "", "0");
        choice(7, "Old", "", "K", "7");
        choice(21, "Certificate 3.1", "", "31", "3");
        choice(9, "Shown", "{xx<1}", "", "");
        choice(9, "Hidden", "{xx>1}", "", "");
        choice(106, "PN16", "", "", "16");
        vars = {{"dn", "v", 1, "mm", "l", 50}};
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<SpecificationSheet> Open(bool withValve = true) {
        form.ShowPosition(doc, 0);
        if (withValve) {
            form.series = series;
            form.designationText = "V100";
            form.selectedCandidate = 0;
        }
        SpecSheetEnvironment env;
        env.programDir = dir;
        env.variables = &vars;
        env.catalogue = catalogue;
        return SpecificationSheet::Open(form, doc, env);
    }

    fs::path dir;
    ProjectDocument doc;
    ValveSeries series;
    ConditionVariableList vars;
    PositionForm form;
    SpecCatalogue* catalogue = nullptr;
};

TEST_F(SpecificationSheetTest, OpenIsRefusedWithoutCatalogueValve) {
    EXPECT_EQ(Open(false), nullptr);
    EXPECT_TRUE(doc.positions[0].titleBlock.pairs.empty());
}

TEST_F(SpecificationSheetTest, OpenAndCancelKeepItemsButRefreshTitleBlock) {
    doc.positions[0].titleBlock.pairs = {{"kks", "stale"}, {"own", "kept"}};
    const SpecItemList before = doc.positions[0].specItems;
    auto sheet = Open();
    ASSERT_NE(sheet, nullptr);
    sheet->SetText(7, "Standard paint");
    sheet->Fields(1);  // the view refilling its controls is no new activation
    EXPECT_TRUE(sheet->PageChanged(1));
    sheet->LeavePage(1);
    EXPECT_EQ(Item(doc.positions[0], 7), "Old");
    EXPECT_EQ(ItemText(7, sheet->items()), "Standard paint");
    // The drawing shows the pages' work and the variant layers the page holds, on a copy only.
    ASSERT_TRUE(sheet->SetText(75, ";+A;-B;"));
    const ValvePosition shown = sheet->DrawingPosition();
    EXPECT_EQ(Item(shown, 7), "Standard paint");
    EXPECT_EQ(Item(shown, 75), ";+A;-B;");
    EXPECT_EQ(Item(doc.positions[0], 75), "");
    sheet->Cancel();
    const ValvePosition& p = doc.positions[0];
    ASSERT_EQ(p.specItems.size(), 1u);
    EXPECT_EQ(p.specItems[0].text, before[0].text);
    EXPECT_EQ(p.specItems[0].code, "K");
    EXPECT_EQ(p.specItems[0].typeCode, "7");  // refreshed from the choice list
    const KeyValueList& t = p.titleBlock;
    ASSERT_EQ(t.pairs.size(), 6u);
    EXPECT_EQ(t.pairs[0], (std::pair<std::string, std::string>{"kks", "FV-1"}));
    EXPECT_EQ(t.pairs[2].first, "zakaznik");
    EXPECT_EQ(t.pairs[2].second, "Customer");
    EXPECT_EQ(t.pairs[5].first, "datum");
    EXPECT_FALSE(doc.modified);
}

TEST_F(SpecificationSheetTest, OrderCodeEndsWithTheSeriesTextForItsSizes) {
    const struct {
        double outlet;
        const char* orderCode;  // also the type designation: it holds no placeholder
    } cases[] = {
        // Codes of 5, 6, 21 and of the two connections (the outlet copied from the inlet).
        {50, "PVPE31B1B1/E"},
        {80, "PVPE31B1B1/R"},
    };
    for (const auto& c : cases) {
        doc.positions[0].specItems.clear();
        doc.positions[0].valveData[kVdOutletSize] = c.outlet;
        auto sheet = Open();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->SetText(5, "Extended bonnet"));
        EXPECT_TRUE(sheet->SetText(6, "Perforated plug"));
        EXPECT_TRUE(sheet->SetText(21, "Certificate 3.1"));
        EXPECT_FALSE(sheet->SetText(21, "no such choice"));
        sheet->ChooseConnection(51, "Flanges/ PN16/ cold");
        sheet->Ok();
        const ValvePosition& p = doc.positions[0];
        EXPECT_EQ(Item(p, 69), c.orderCode);
        EXPECT_EQ(Item(p, 71), c.orderCode);
        EXPECT_EQ(p.titleBlock.pairs.back(), (std::pair<std::string, std::string>{"ozn", c.orderCode}));
        EXPECT_EQ(Item(p, 74), "2 pcs");
        EXPECT_EQ(Item(p, 201), "DN50");
        EXPECT_EQ(Item(p, 202), "DN" + std::to_string(static_cast<int>(c.outlet)));
        EXPECT_TRUE(doc.modified);
    }
}

TEST_F(SpecificationSheetTest, FirstPageDerivesCodesAndConnections) {
    auto sheet = Open();
    ASSERT_NE(sheet, nullptr);
    sheet->SetText(5, "Extended bonnet");
    sheet->SetText(6, "Perforated plug");
    sheet->SetText(21, "Certificate 3.1");
    sheet->ChooseConnection(51, "Flanges/ PN16/ cold");  // copied to the empty outlet
    sheet->ChooseConnection(52, "Flanges/ Class 150");
    sheet->LeavePage(1);
    ValvePosition p;
    p.specItems = sheet->items();
    EXPECT_EQ(Item(p, 101), "31");
    EXPECT_EQ(Item(p, 102), "PE");
    EXPECT_EQ(Item(p, 104), "P");
    EXPECT_EQ(Item(p, 105), "Flange PN16 B1");
    EXPECT_EQ(ItemCode(105, p.specItems), "B1");
    EXPECT_EQ(Item(p, 106), "PN16");
    EXPECT_EQ(Item(p, 111), "Flange RF");
    EXPECT_EQ(Item(p, 107), "CL 150");
    EXPECT_EQ(Item(p, 51), "Flanges/ PN16/ cold");

    // Without the file the derived items keep their values and the path is reported.
    fs::remove(dir / "specprip.tkd");
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });
    sheet->ChooseConnection(51, "Weld/ PN40");
    sheet->LeavePage(1);
    p.specItems = sheet->items();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, 63020);
    EXPECT_EQ(Item(p, 105), "Flange PN16 B1");
    EXPECT_EQ(Item(p, 51), "Weld/ PN40");
}

TEST_F(SpecificationSheetTest, ChoicesFollowConditionsOnUnknownVariables) {
    auto sheet = Open();
    ASSERT_NE(sheet, nullptr);
    const auto f = sheet->Field(9);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->choices, std::vector<std::string>{"Shown"});  // xx is 0
    EXPECT_EQ(f->text, "Shown");
    EXPECT_FALSE(sheet->SetText(9, "Hidden"));
}

TEST_F(SpecificationSheetTest, AccessoryPageStoresTheEncodedListOnce) {
    auto sheet = Open();
    ASSERT_NE(sheet, nullptr);
    sheet->accessoryEdit = "A\nB\nC";
    sheet->AppendEdit();
    sheet->CopyTreeEntry(1);
    EXPECT_EQ(sheet->accessoryEdit, "Positioner digital, HART");
    sheet->AppendEdit();
    sheet->CopyToSecond({0, 7});
    EXPECT_EQ(sheet->secondList(), std::vector<std::string>{"A|+B-||+C-|"});
    sheet->Ok();
    const std::string stored = "A|+B-||+C-|\nPositioner digital, HART 7";
    EXPECT_EQ(Item(doc.positions[0], 68), stored);
    sheet = Open();  // the list comes back from the item; leaving again keeps it as it is
    EXPECT_EQ(sheet->accessories().size(), 2u);
    sheet->Ok();
    EXPECT_EQ(Item(doc.positions[0], 68), stored);

    fs::remove(dir / "specprisl.tkd");
    std::vector<int> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m.number); });
    sheet->ShowPage(4);
    sheet->LeavePage(4);
    EXPECT_EQ(shown, std::vector<int>{63002});
}

TEST(SpecTreeFiles, AccessoryEncoding) {
    const struct {
        const char* text;
        const char* entry;
    } cases[] = {
        {"A\nB\nC", "A|+B-||+C-|"},
        {"A\r\nB", "A|+B-|"},
        {"one\tline", "one     line"},
        {"single", "single"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeAccessory(c.text), c.entry) << c.text;
        if (std::string(c.text).find_first_of("\r\t") == std::string::npos) {
            EXPECT_EQ(DecodeAccessory(c.entry), c.text);
        }
    }
}

TEST(SpecTreeFiles, ConnectionLookups) {
    const SpecTreeFile tree = ParseSpecTree(kConnections);
    ASSERT_EQ(tree.substitutions.size(), 2u);
    EXPECT_EQ(ConnectionNodePath(tree, 2), "Flanges/ PN16/ cold");
    const struct {
        const char* path;
        bool found;
        const char* connection;
    } cases[] = {
        {"Flanges/ PN16/ cold", true, "Flange PN16 B1"},
        {"Weld/ PN40", true, "Weld end PN40"},
        {"Flanges/ PN40", false, ""},     // PN40 lies under another branch
        {"Flanges/ PN16/ hot", false, ""},
        {"PN16", false, ""},              // a level must stand at its depth
        {"", false, ""},
    };
    for (const auto& c : cases) {
        const auto r = LookupConnection(tree, c.path);
        ASSERT_EQ(r.has_value(), c.found) << c.path;
        if (r) {
            EXPECT_EQ(r->connection.value_or("?"), c.connection);
        }
    }
    // A node without values gives none; unbalanced marks give none and never fail.
    const SpecTreeFile odd = ParseSpecTree("A\n\t\t\tdeep [x]\n\tB [open |half *one\n\t\tC\n[\n]broken\nx [y\n");
    auto r = LookupConnection(odd, "A/ B");
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->connection || r->replacement || r->rating);
    EXPECT_TRUE(LookupConnection(odd, "A/ B/ C"));
    EXPECT_FALSE(LookupConnection(odd, "A/ deep"));
    EXPECT_TRUE(odd.substitutions.empty());
}

TEST(SpecTreeFiles, SubstitutionsApplyOnce) {
    const std::vector<TextSubstitution> subs{{"NAMUR", "NAMUR (EN 60947-5-6)"}, {"Class", "CL"}};
    const std::string once = ApplySubstitutions("2 x NAMUR, Class 150", subs);
    EXPECT_EQ(once, "2 x NAMUR (EN 60947-5-6), CL 150");
    EXPECT_EQ(ApplySubstitutions(once, subs), once);
}

TEST_F(SpecificationSheetTest, ActuatorPageSizesChoosesAndStoresOnOkOnly) {
    const test::NumericLocale locale("C");  // the output texts are compared with a decimal point
    SpecCatalogue cat;
    SpecActuator pa;
    pa.name = "PA";
    pa.sizes = {{"400", 400, "", "", {{"A", 400, "400 cm2"}, {"H", 40, "40 mm"}, {"VAHAP", 32, "kg"}}}};
    pa.springs = {{80, 240, ";400;", "S3"}};
    pa.supplies = {{600, "600 kPa", ""}};
    cat.section1 = {pa};
    catalogue = &cat;
    series.choices.push_back({});
    series.choices.back().id = 14;
    series.choices.back().text = "IV.PTFE";
    series.choices.push_back({});
    series.choices.back().id = 10;
    series.choices.back().text = "Globe";
    series.choices.back().code = "1";
    // 10 bar to 0 bar over a 50 mm seat: 3.0238 kN with the class IV packing.
    for (auto [id, text] : {std::pair<int, const char*>{54, "50"}, {55, "10"}, {56, "0"}, {57, "bar"}})
        StoreItemText(id, doc.positions[0].specItems, nullptr, text);

    auto sheet = Open();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->SizeActuator().message, kMsgIncompleteChoice);  // no kind, no packing yet
    ASSERT_TRUE(sheet->SetText(14, "IV.PTFE"));
    ASSERT_TRUE(sheet->SetText(10, "Globe"));
    EXPECT_FALSE(sheet->SetText(70, "typed"));
    sheet->actuatorKind = kKindPneumatic;
    ASSERT_EQ(sheet->SizeActuator().candidates.size(), 1u);
    EXPECT_FALSE(sheet->ChooseActuator(1));
    ASSERT_TRUE(sheet->ChooseActuator(0));
    sheet->LeavePage(3);
    const ValvePosition before = doc.positions[0];
    EXPECT_EQ(before.titleBlock.Find("VAHAP"), nullptr);  // nothing reaches the position before OK
    EXPECT_EQ(Item(before, 70), "");

    sheet->Ok();
    const ValvePosition& p = doc.positions[0];
    EXPECT_EQ(Item(p, 70), "PA 400");
    EXPECT_EQ(ItemCode(70, p.specItems), "PA400");
    EXPECT_EQ(Item(p, 72), "Fd=0.7854");
    EXPECT_EQ(Item(p, 73), "Fs=3.0238");
    EXPECT_EQ(Item(p, 10), "Globe");
    EXPECT_EQ(p.titleBlock.Value("VAHAP"), "32");

    // Cancel after sizing: the position keeps what it had.
    auto again = Open();
    again->actuatorKind = kKindPneumatic;
    ASSERT_TRUE(again->SetText(14, "IV.PTFE"));
    again->SizeActuator();
    again->Cancel();
    EXPECT_EQ(Item(doc.positions[0], 72), "Fd=0.7854");
    EXPECT_EQ(Item(doc.positions[0], 70), "PA 400");
}

}  // namespace
}  // namespace tarvik
