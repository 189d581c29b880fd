#include "project/actuator_sizing.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/language.hpp"
#include "data/lang_text.hpp"
#include "data/type_designation.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

SpecSizeItem Size(const std::string& name, double area, double lever, double weight, double handwheel) {
    return {name, area, "", "", {{"A", area, name + " cm2"}, {"R", lever, ""}, {"H", 40, "40 mm"}, {"VAHAP", weight, "kg"}, {"VAHAK", handwheel, "kg"}}};
}

// PA: linear, sizes 160 and 400; PS: with a lever, size 400. Forces: 1 kPa on 1 cm2 is 0.1 N.
SpecCatalogue Catalogue() {
    SpecCatalogue c;
    SpecActuator pa;
    pa.name = "PA";
    pa.kind = "PA";
    pa.codes = {"P", "D", "1", "2"};
    pa.sizes = {Size("160", 160, 0, 12, 4), Size("400", 400, 0, 32, 7)};
    pa.sizes[0].text2 = "1";
    pa.sizes[1].text2 = "3";
    pa.springs = {{20, 100, ";160;400;", "S1"}, {80, 240, ";400;", "S3"}};
    pa.supplies = {{140, "140 kPa", ""}, {600, "600 kPa", ";160;"}};
    pa.options = {{{"[0:Ruční kolo][2:Handwheel]", "", "", "H"}}};
    SpecActuator ps = pa;
    ps.name = ps.kind = "PS";
    ps.sizes = {Size("400", 400, 50, 36, 7)};
    c.section1 = {pa, ps};
    c.section2 = {{"EA", "", {{"EA 6", 6, "6 kN", "", {}}}, {{0, 6, ";EA 6;", "0"}}, {{"230 V AC", "230"}}, {}}};
    c.section3 = {{"ER", "", {{"ER 60", 60, "60 Nm", "", {{"VAHAP", 5, "kg"}}}}}};
    return c;
}

SpecTables Tables() {
    SpecTables t;
    auto entry = [](int dn, std::vector<std::pair<double, double>> rows) {
        SpecCurveEntry e;
        e.key1 = dn;
        for (auto [p, m] : rows) e.rows.push_back({p, {{p, m}}});
        return e;
    };
    t.t07.entries = {entry(400, {{0, 100}, {10, 150}, {25, 300}}), entry(200, {{0, 50}, {10, 0}, {16, 80}}),
                     // Out of order and with a repeated pressure, as a hand-edited table may be.
                     entry(500, {{10, 200}, {0, 100}, {10, 250}, {25, 400}})};
    t.t09.entries = {entry(400, {{0, 11}, {40, 99}})};
    t.t10.entries = {entry(400, {{0, 22}, {40, 99}})};
    t.t06b.records = {{50, 40, 6, "IV", 24, "VI", 40}};
    return t;
}

ActuatorInputs Inputs(int code, double dp, double D, const std::string& packing, int kind = kKindPneumatic) {
    ActuatorInputs in;
    in.typeCode = code;
    in.dp = dp;
    in.D = D;
    in.packingChosen = !packing.empty();
    in.packingClass = PackingClass(packing);
    in.kind = kind;
    return in;
}

class ActuatorSizingTest : public ::testing::Test {
protected:
    void SetUp() override { test::UseLanguage(2); }
    test::NumericLocale locale_{"C"};
    SpecCatalogue cat_ = Catalogue();
    SpecTables tables_ = Tables();
};

TEST_F(ActuatorSizingTest, ForceAndTorqueByValveType) {
    const struct {
        int code;
        double dp, D, DN;
        std::string packing;
        double X, Y;
        std::string out1, out2;
    } cases[] = {
        {1, 1, 50, 0, "IV.PTFE", 0, 0, "Fd=0.7854", "Fs=3.0238"},
        {2, 1, 50, 0, "V. Graphite", 0, 0, "Fd=5.0265", "Fs=7.689"},
        {3, 1, 0, 0, "VI.Bellows", 4, 20, "Fd=0", "Fs=3.8958"},  // 1.1 (1.6 + 0.3 (sqrt 20 + 2))
        {3, 1, 0, 0, "III", 4, 20, "Fd=0", "Fs=3.0415"},
        {4, 1, 50, 0, "IV", 0, 0, "Fd=0.7854", "Fs=0.9032"},
        {5, 1, 50, 0, "VI", 0, 0, "Fd=1.2566", "Fs=2.7646"},
        {4, 1, 50, 0, "II", 0, 0, "Fd=0", "Fs=0"},  // no packing friction outside IV, V, VI
        {5, 1, 50, 0, "XX", 0, 0, "Fd=0", "Fs=0"},
        {6, 1, 40, 50, "IV", 0, 0, "M=48", ""},  // (1 x 6 + 24) x 1.2 / 0.75
        {11, 1, 40, 50, "VI", 0, 0, "M=73.6", ""},
        {6, 1, 40, 50, "V", 0, 0, "", ""},   // no plug value for class V
        {6, 1, 41, 50, "IV", 0, 0, "", ""},  // no row for this diameter
        {7, 1.0, 0, 400, "", 0, 0, "M=150", ""},    // 10 dp equals a row's pressure
        {7, 0.5, 0, 400, "", 0, 0, "M=150", ""},    // below the first step above 0 bar
        {7, 1.75, 0, 400, "", 0, 0, "M=225", ""},   // interpolated from DN 350 on
        {7, 3.0, 0, 400, "", 0, 0, "", ""},         // above the table
        {7, 1.2, 0, 200, "", 0, 0, "M=80", ""},     // below DN 350 the upper row
        {7, 1.0, 0, 200, "", 0, 0, "", ""},         // a torque of 0 shows nothing
        {7, 1.0, 0, 250, "", 0, 0, "", ""},         // no entry for the DN
        {7, 0.5, 0, 500, "", 0, 0, "M=200", ""},
        {7, 2.0, 0, 500, "", 0, 0, "M=350", ""},
        {9, 0, 0, 400, "", 0, 0, "M=11", ""},
        {10, 0, 0, 400, "", 0, 0, "M=22", ""},
        {8, 1, 50, 0, "IV", 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        ActuatorInputs in = Inputs(c.code, c.dp, c.D, c.packing, kKindHydraulic);
        in.DN = c.DN;
        in.X = c.X;
        in.Y = c.Y;
        const ActuatorSizing s = SizeActuator(in, cat_, tables_);
        EXPECT_FALSE(s.refused) << c.code;
        EXPECT_EQ(s.outputs[0], c.out1) << c.code << " dp " << c.dp << " DN " << c.DN;
        EXPECT_EQ(s.outputs[1], c.out2) << c.code << " dp " << c.dp << " DN " << c.DN;
        EXPECT_EQ(s.hasResult, !c.out1.empty());
        EXPECT_TRUE(std::isfinite(s.value));
        // Kind 1 is not listed, whatever the result.
        EXPECT_EQ(s.message, kTextHydraulicNotSized);
        EXPECT_EQ(s.messageText, "Hydraulic actuators are not sized yet...");
        EXPECT_TRUE(s.candidates.empty());
    }
}

TEST_F(ActuatorSizingTest, RefusesIncompleteOrInadmissibleChoices) {
    auto with = [](ActuatorInputs in, auto change) {
        change(in);
        return in;
    };
    const ActuatorInputs base = Inputs(1, 1, 50, "IV");
    const struct {
        ActuatorInputs in;
        int message;
    } cases[] = {
        {with(base, [](ActuatorInputs& i) { i.kind = kKindNone; }), kMsgIncompleteChoice},
        {Inputs(1, 1, 50, ""), kMsgIncompleteChoice},
        {with(base, [](ActuatorInputs& i) { i.packingAdmission = ";V;VI;"; }), kMsgPackingNotForValve},
        {with(base, [](ActuatorInputs& i) { i.valveTypeText = "1;;A;"; i.page2Choice = "B"; }), kMsgValveTypeNotForChoice},
        {Inputs(1, -0.1, 50, "IV"), kTextNegativePressureDrop},
        {Inputs(4, 1, 0, "IV"), kTextNoDiameter},
        {Inputs(6, 1, -5, "IV"), kTextNoDiameter},
    };
    for (const auto& c : cases) {
        const ActuatorSizing s = SizeActuator(c.in, cat_, tables_);
        EXPECT_TRUE(s.refused) << c.message;
        EXPECT_EQ(s.message, c.message);
        EXPECT_FALSE(s.messageText.empty()) << c.message;
        EXPECT_FALSE(s.hasResult);
        EXPECT_EQ(s.outputs[0], "");
    }
    // Passing the same checks: an admitted packing and page-2 choice, no packing where none is needed.
    const ActuatorInputs passing[] = {
        with(base, [](ActuatorInputs& i) { i.packingAdmission = ";IV;"; i.valveTypeText = "1;;A;"; i.page2Choice = "A"; }),
        Inputs(7, 1, 0, "", kKindPneumatic),
        Inputs(1, 1, 50, "", kKindElectricRotary),
    };
    for (const auto& in : passing) EXPECT_FALSE(SizeActuator(in, cat_, tables_).refused) << in.typeCode;
}

TEST_F(ActuatorSizingTest, PneumaticCandidatesPassEveryFilter) {
    // Required 3.0238 kN. Size 400 offers 0.8/4 kN (20..100 kPa) and 3.2/9.6 kN (80..240 kPa).
    const struct {
        bool second;
        ActuatorLimits limits;
        int code;
        std::vector<std::string> rows;  // name size second first supply
    } cases[] = {
        {false, {}, 1, {"PA 400 9.6 kN 3.2 kN 140 kPa"}},
        {true, {}, 1, {"PA 400 4 kN 0.8 kN 140 kPa", "PA 400 9.6 kN 3.2 kN 140 kPa"}},
        {false, {";PR;", "", 0}, 1, {}},
        {false, {"", ";160;", 0}, 1, {}},
        {false, {"", "", 500}, 1, {}},
        // A torque takes the sizes with a lever: 80 kPa x 400 cm2 x 50 mm = 160 Nm.
        {false, {}, 7, {"PS 400 480 Nm 160 Nm 140 kPa"}},
    };
    for (const auto& c : cases) {
        ActuatorInputs in = Inputs(c.code, 1, 50, "IV");
        in.DN = 400;
        in.dp = c.code == 7 ? 0.5 : 1;  // 150 Nm
        in.secondForce = c.second;
        in.limits = c.limits;
        const ActuatorSizing s = SizeActuator(in, cat_, tables_);
        std::vector<std::string> rows;
        for (const ActuatorCandidate& r : s.candidates) {
            std::string text;
            for (const std::string& col : r.columns) text += (text.empty() ? "" : " ") + col;
            rows.push_back(text);
        }
        EXPECT_EQ(rows, c.rows) << c.code << " " << c.limits.actuators << c.limits.sizes;
        EXPECT_EQ(s.message, c.rows.empty() ? kMsgNoSuitableActuator : 0);
        EXPECT_EQ(s.captions, (std::array<std::string, 2>{"Spring opens", "Spring closes"}));
    }
}

TEST_F(ActuatorSizingTest, ElectricActuatorsOfTheOtherMotionCannotBeSelected) {
    const struct {
        int code, kind;
        double dp;
        int message;
    } cases[] = {
        {1, kKindElectricLinear, 1, 0},                         // 3 kN on an EA 6
        {1, kKindElectricLinear, 3, kMsgNoActuatorSelectable},  // 7.3 kN: too weak
        {9, kKindElectricLinear, 0, kMsgNoActuatorSelectable},  // a torque on a thrust actuator
        {9, kKindElectricRotary, 0, 0},                          // 11 Nm on an ER 60
        {1, kKindElectricRotary, 1, kMsgNoActuatorSelectable},
    };
    for (const auto& c : cases) {
        ActuatorInputs in = Inputs(c.code, c.dp, 50, "IV", c.kind);
        in.DN = 400;
        const ActuatorSizing s = SizeActuator(in, cat_, tables_);
        ASSERT_EQ(s.candidates.size(), 1u) << c.code << " " << c.kind;
        EXPECT_EQ(s.message, c.message) << c.code << " " << c.kind;
        EXPECT_EQ(s.candidates[0].selectable, c.message == 0);
    }
    ActuatorInputs in = Inputs(1, 1, 50, "IV", kKindElectricLinear);
    EXPECT_EQ(SizeActuator(in, SpecCatalogue{}, tables_).message, kMsgNoSuitableActuator);
}

TEST_F(ActuatorSizingTest, SelectionFillsTheItemsTheDesignationReadsBack) {
    ActuatorInputs in = Inputs(1, 1, 50, "IV");
    const ActuatorSizing s = SizeActuator(in, cat_, tables_);
    ASSERT_EQ(s.candidates.size(), 1u);
    const ActuatorSelection sel = SelectActuator(s, 0, in, cat_);
    EXPECT_EQ(sel.whole, "PA 400");
    EXPECT_EQ(sel.force, "3.2 kN");
    EXPECT_EQ(sel.stroke, "40 mm");
    EXPECT_EQ(sel.options, std::vector<std::string>{"Handwheel"});
    EXPECT_TRUE(SelectActuator(s, 1, in, cat_).actuator.empty());

    SpecItemList items;
    StoreActuatorSelection(sel, "Handwheel", items);
    EXPECT_EQ(ItemText(kItemRequired2, items), "Fs=3.0238");
    EXPECT_EQ(ItemCode(kItemActuatorWhole, items), "PA400");
    SpecCatalogue cat = cat_;
    EXPECT_EQ(TypeDesignationText({"{O1}{OSIZE}{OSPRING}{OSUPPLY}{OF}{OHW}", 1, 50, 50}, items, "", cat), "P3S32H");

    KeyValueList title;
    SetKeyValue("A", "old", title, true);
    WriteActuatorTitleBlock(sel, true, title);
    EXPECT_EQ(title.Value("VAHAP"), "39");
    EXPECT_EQ(title.Value("A"), "400 cm2");
    EXPECT_EQ(title.Find("VAHAK"), nullptr);
    WriteActuatorTitleBlock(sel, false, title);
    EXPECT_EQ(title.Value("VAHAP"), "32");
}

TEST(ActuatorInputsTest, ReadFromItemsAndPageChoices) {
    test::UseLanguage(2);
    SpecItemList items;
    for (auto [id, text] : {std::pair<int, const char*>{55, "10"}, {56, "4"}, {57, "bar"}, {54, "50"}, {18, "[0:A][2:B]"}})
        StoreItemText(id, items, nullptr, text);
    ActuatorPageChoices page;
    page.packingText = "V. Graphite";
    const SpecItemList choices = {{10, "[0:Kohout][2:Ball valve]", "", ";PA;|;400;|250", "0;;A;", ""}};
    TakeValveTypeChoice("Ball valve", choices, page);
    page.defaultTypeCode = 10;
    page.kind = 0;
    const ActuatorInputs in = ReadActuatorInputs(items, page);
    EXPECT_NEAR(in.dp, 0.6, 1e-12);
    EXPECT_EQ(in.D, 50);
    EXPECT_EQ(in.packingClass, "V");
    EXPECT_EQ(in.typeCode, 10);
    EXPECT_EQ(in.page2Choice, "A");
    EXPECT_EQ(in.limits.actuators, ";PA;");
    EXPECT_EQ(in.limits.sizes, ";400;");
    EXPECT_EQ(in.limits.minimumSize, 250);
    EXPECT_EQ(ValveTypeCode("7;x", 3), 7);
    EXPECT_EQ(ValveTypeCode("K", 3), 3);
    EXPECT_EQ(PackingClass("IV.PTFE"), "IV");
    EXPECT_EQ(PackingClass("VI.Bellows"), "VI");
}

}  // namespace
}  // namespace tarvik
