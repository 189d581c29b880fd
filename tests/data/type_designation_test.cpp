#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/archive.hpp"
#include "data/language.hpp"
#include "data/lang_text.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"
#include "data/spec_catalogue.hpp"
#include "data/type_designation.hpp"
#include "data/valve_series.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

class TypeDesignation : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentSettings().lang = 2;
        CurrentSettings().langCount = 4;
        CurrentLanguage().Set(kTextFailOpen, "opens");
        CurrentLanguage().Set(kTextFailClosed, "closes");
        CurrentLanguage().Set(kTextActuatorFromCatalogue, "catalogue actuator");
        CurrentLanguage().Set(kTextActuatorKindH, "hand wheel");
        CurrentLanguage().Set(kTextActuatorKindE, "electric");
        CurrentLanguage().Set(kTextActuatorKindF, "other");
        SpecActuator a;
        a.name = "MT 60";
        a.kind = "ST";
        a.codes = {"A", "B", "1", "2"};
        a.sizes = {{"250", 250, "", "Z25", {}}};
        a.springs = {{20, 100, "", "S1"}, {40, 200, "", "S2"}};
        a.supplies = {{400, "", "P4"}};
        a.options = {{{"Hand wheel", "", "", "HW"}}};
        catalogue.section1 = {a};
        catalogue.codeE = "E7";
        catalogue.codeF = "F9";
    }
    void TearDown() override { CurrentSettings().lang = 0; }

    void Item(int id, const std::string& text, const std::string& typeCode = "") {
        items.push_back({id, text, "", "", "", typeCode});
    }
    std::string Type(const std::string& templ, const std::string& name = "X") {
        return TypeDesignationText({templ, 6.3, 50, 50}, items, name, catalogue);
    }

    test::NumericLocale locale{"C"};
    SpecCatalogue catalogue;
    SpecItemList items;
};

TEST_F(TypeDesignation, ActuatorPlaceholdersFromTheCatalogue) {
    Item(kItemActuatorKind, "catalogue actuator");
    Item(kItemActuator, "MT 60");
    Item(kItemFailAction, "P");
    EXPECT_EQ(Type("{Nazev} {O1}{OF}"), "X A1");
    EXPECT_EQ(Type("{o2}{Of}{ZZ}-{Nazev}{Nazev}"), "B1-X");  // only the first {Nazev} is the name

    items[2].text = "closes";
    EXPECT_EQ(Type("{OF}"), "2");
    items[2].text = "stays";
    EXPECT_EQ(Type("<{OF}>"), "<>");

    EXPECT_EQ(Type("{OSPRING}"), ".");
    Item(kItemSpringRange, "40..200 kPa");
    Item(kItemSupplyPressure, "400 kPa");
    Item(kItemActuatorSize, "250");
    Item(kItemHandOption, "Hand wheel");
    EXPECT_EQ(Type("{OSPRING}{OSUPPLY}{OSIZE}{OHW}"), "S2P4Z25HW");
    items.back().text = "none";
    items[3].text = "20..99 kPa";
    EXPECT_EQ(Type("{OSPRING}{OHW}"), "..");

    // Kind "AT" names spring ranges "S" + the lower bound, two digits at least.
    catalogue.section1[0].kind = "AT";
    catalogue.section1[0].springs = {{6, 30, "", "S6"}, {120, 300, "", "S120"}};
    items[3].text = "S06";
    EXPECT_EQ(Type("{OSPRING}"), "S6");
    items[3].text = "S120";
    EXPECT_EQ(Type("{OSPRING}"), "S120");

    // An actuator the catalogue lacks: empty codes and ".".
    items[1].text = "MT 99";
    EXPECT_EQ(Type("{O1}{OSIZE}|"), ".|");
}

TEST_F(TypeDesignation, OtherActuatorKindsFillTheFirstBrace) {
    Item(kItemActuatorKind, "hand wheel");
    EXPECT_EQ(Type("V{x}{y}"), "VH{y}");
    items[0].text = "electric";
    EXPECT_EQ(Type("V{x}"), "VE7");
    items[0].text = "other";
    EXPECT_EQ(Type("V{x}"), "VF9");
    items[0].text = "anything";
    EXPECT_EQ(Type("V{x}"), "V{x}");
    // A kind missing from the language pack matches no item, not even an empty one.
    CurrentLanguage().Set(kTextActuatorKindH, "");
    items[0].text = "";
    EXPECT_EQ(Type("V{x}"), "V{x}");
}

TEST_F(TypeDesignation, SizesRatingsKvsAndItemReferences) {
    Item(kItemInletRating, "PN16");
    Item(kItemOutletRating, "PN16");
    EXPECT_EQ(TypeDesignationText({"[dn] [pn]", 6.3, 50, 80}, items, "", catalogue), "DN50 PN16 / DN80 PN16");
    EXPECT_EQ(TypeDesignationText({"[pn]-[dn]", 6.3, 50, 80}, items, "", catalogue), "PN16-DN50 / DN80 PN16");
    EXPECT_EQ(TypeDesignationText({"[dn] [pn]", 6.3, 50, 50}, items, "", catalogue), "DN50 PN16");
    items[1].text = "ANSI 300";
    EXPECT_EQ(TypeDesignationText({"[dn] [pn]", 6.3, 50, 50}, items, "", catalogue), "DN50 PN16 / 2\" ANSI 300");
    EXPECT_EQ(Type("Kvs [kvs]"), "Kvs 6.3");

    Item(7, "Steel", "ABCDE");
    EXPECT_EQ(Type("[7:2:3]|[7:4:5]|[7]|[x]|[0:1:1]"), "BCD|ABCDE|ABCDE|.|.");
    EXPECT_EQ(Type("[8]"), "");    // no such item: empty type code
    EXPECT_EQ(Type("[7:2"), "[7:2");  // an unclosed reference ends the replacement
    EXPECT_EQ(Type("[99999999999999]"), "");

    // Codes that contain placeholders are not expanded again.
    items.back().typeCode = "[7]";
    EXPECT_EQ(Type("<[7]>"), "<[7]>");
    Item(kItemActuatorKind, "catalogue actuator");
    Item(kItemActuator, "MT 60");
    catalogue.section1[0].codes[kCodeO1] = "{O1}";
    EXPECT_EQ(Type("{O1}{O2}"), "{O1}B");
}

TEST_F(TypeDesignation, ComposersStoreTheirResults) {
    Item(kItemInletRating, "PN40");
    Item(kItemOutletRating, "PN40");
    Item(71, "old");
    KeyValueList titleBlock;
    SetKeyValue("ozn", "old", titleBlock, false);
    EXPECT_EQ(ComposeTypeDesignation({"{Nazev} [dn] [pn] [ks]", 10, 25, 25}, items, titleBlock, "V 40", catalogue),
              "V 40 DN25 PN40 .");
    EXPECT_EQ(titleBlock.Value("ozn"), "V 40 DN25 PN40 .");
    EXPECT_EQ(items[2].text, MakeLangText("V 40 DN25 PN40 .", ""));
    EXPECT_EQ(GetLangText(items[2].text, 3), "V 40 DN25 PN40 .");

    EXPECT_EQ(ComposeSecondDesignation({"{Nazev}[ks]/[kvs]", 10, 25, 25}, items, "K1", catalogue), "{Nazev}K1/10");
    EXPECT_EQ(ItemText(kItemSecondDesignation, items), "{Nazev}K1/10");
}

TEST_F(TypeDesignation, CatalogueIsLoadedOnFirstUse) {
    const std::filesystem::path saved = ProgramDir();
    const auto dir = std::filesystem::temp_directory_path() / ("tarvik_designation_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SetProgramDir(dir);
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });

    Item(kItemActuatorKind, "catalogue actuator");
    Item(kItemActuator, "MT 60");
    Item(kItemActuatorSize, "250");
    SpecCatalogue empty;
    EXPECT_EQ(TypeDesignationText({"{O1}{OSIZE}", 0, 0, 0}, items, "", empty), ".");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, 63002);

    ArchiveWriter w;
    WriteSpecCatalogue(w, catalogue);
    w.SaveAtomically(dir / "specpoh.tkd");
    EXPECT_EQ(TypeDesignationText({"{O1}{OSIZE}", 0, 0, 0}, items, "", empty), "AZ25");
    EXPECT_EQ(empty.section1.size(), 1u);
    SetProgramDir(saved);
}

// The fail-action and actuator-kind choices as the shipped packs word them resolve the demo
// series' actuator placeholders in every language.
TEST(TypeDesignationWithShippedPacks, DemoTemplateInEveryLanguage) {
    test::NumericLocale locale{"C"};
    const std::filesystem::path program = TARVIK_PROGRAM_DIR_FOR_TESTS;
    ValveSeries series;
    ASSERT_TRUE(LoadValveSeries(program / "dbv" / "tv100.dbv", series));
    SpecCatalogue catalogue;
    ASSERT_TRUE(LoadSpecCatalogue(program / "specpoh.tkd", catalogue));
    struct Case { int kind, failAction; const char* start; };
    const Case cases[] = {
        {kTextActuatorFromCatalogue, kTextFailOpen, "TV 100 P311 DN50 PN40 Kvs 40 3-1"},
        {kTextActuatorFromCatalogue, kTextFailClosed, "TV 100 P312 DN50 PN40 Kvs 40 3-1"},
        {kTextActuatorKindH, kTextFailOpen, "TV 100 H{OSIZE}"},
        {kTextActuatorKindE, kTextFailOpen, "TV 100 E{OSIZE}"},
        {kTextActuatorKindF, kTextFailOpen, "TV 100 F{OSIZE}"},
    };
    for (int lang = 0; lang < 4; ++lang) {
        test::UseLanguage(lang);
        for (const Case& c : cases) {
            const SpecItemList items = {{kItemActuatorKind, GetText(c.kind), "", "", "", ""},
                                        {kItemActuator, "PA", "", "", "", ""},
                                        {kItemFailAction, GetText(c.failAction), "", "", "", ""},
                                        {kItemActuatorSize, "400", "", "", "", ""},
                                        {kItemSpringRange, "20..100 kPa", "", "", "", ""},
                                        {kItemInletRating, "PN40", "", "", "", ""},
                                        {kItemOutletRating, "PN40", "", "", "", ""},
                                        {11, "C", "", "", "", "3"},
                                        {105, "F", "", "", "", "1"}};
            const std::string text = TypeDesignationText({series.designationTemplate, 40, 50, 50}, items, series.name, catalogue);
            EXPECT_EQ(text.rfind(c.start, 0), 0u) << "language " << lang << ": " << text;
        }
        // Every demo series' template resolves completely with the catalogue actuator kind.
        for (const auto& entry : std::filesystem::directory_iterator(program / "dbv")) {
            if (entry.path().extension() != ".dbv") continue;
            ValveSeries s;
            ASSERT_TRUE(LoadValveSeries(entry.path(), s));
            const SpecItemList items = {{kItemActuatorKind, GetText(kTextActuatorFromCatalogue), "", "", "", ""},
                                        {kItemActuator, "PA", "", "", "", ""},
                                        {kItemFailAction, GetText(kTextFailClosed), "", "", "", ""}};
            const std::string text = TypeDesignationText({s.designationTemplate, 10, 25, 25}, items, s.name, catalogue);
            EXPECT_EQ(text.find_first_of("{}[]"), std::string::npos) << "language " << lang << ": " << text;
        }
    }
    CurrentSettings().lang = 0;
}

}  // namespace
}  // namespace tarvik
