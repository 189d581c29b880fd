#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "data/key_value_list.hpp"
#include "data/lang_text.hpp"
#include "data/settings.hpp"
#include "data/spec_items.hpp"

namespace tarvik {
namespace {

class SpecItems : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = CurrentSettings();
        CurrentSettings().lang = 0;
        CurrentSettings().langCount = 4;
        ConditionVariable dn;
        dn.name = "dn";
        dn.value = 50;
        vars_ = {dn};
        choices_ = {
            {10, "[0:Litina][1:Żeliwo][2:Cast iron][3:Grauguss]", "{dn<=40}", "A1", "L", "1"},
            {10, "[0:Ocel][1:Stal][2:Steel][3:Stahl]", "", "A2", "O", "2"},
            {10, "[0:Nerez][1:Nierdzewna][2:Stainless][3:Edelstahl]", "{dn>=50}", "", "N", "3"},
            {10, "[1:Tylko polski]", "", "", "", ""},
            {11, "[0:PTFE][2:PTFE]", "{dn>100}", "", "P", "T"},
        };
    }
    void TearDown() override { CurrentSettings() = saved_; }
    Settings saved_;
    ConditionVariableList vars_;
    SpecItemList choices_;
};

TEST_F(SpecItems, ComboHoldsTheAdmissibleChoicesOfTheField) {
    auto fill = FillChoiceCombo(10, choices_, vars_);
    EXPECT_EQ(fill.entries, (std::vector<std::string>{"Ocel", "Nerez"}));  // the Polish-only text is empty here
    EXPECT_TRUE(fill.enabled);

    CurrentSettings().lang = 1;
    fill = FillChoiceCombo(10, choices_, vars_);
    EXPECT_EQ(fill.entries, (std::vector<std::string>{"Stal", "Nierdzewna", "Tylko polski"}));

    fill = FillChoiceCombo(11, choices_, vars_);
    EXPECT_TRUE(fill.entries.empty());
    EXPECT_FALSE(fill.enabled);
    EXPECT_TRUE(FillChoiceCombo(11, choices_, vars_, 1).enabled);
}

TEST_F(SpecItems, ShownTextPrefersTheChosenItem) {
    SpecItemList items;
    EXPECT_EQ(ShowItemText(10, items, choices_, vars_), "Ocel");  // first admissible choice
    EXPECT_EQ(ShowItemText(11, items, choices_, vars_), "");       // leave the control alone
    StoreItemText(10, items, &choices_, "Nerez");
    EXPECT_EQ(ShowItemText(10, items, choices_, vars_), "Nerez");
}

TEST_F(SpecItems, StoringAChoiceKeepsItsLanguagesAndCodes) {
    SpecItemList items;
    StoreItemText(10, items, &choices_, "Ocel", "ignored", "ignored");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, choices_[1].text);
    EXPECT_EQ(items[0].attribute, "A2");
    EXPECT_EQ(items[0].code, "O");
    EXPECT_EQ(items[0].typeCode, "2");
    EXPECT_EQ(items[0].condition, "");
    EXPECT_EQ(ItemText(10, items, 3), "Stahl");
    CurrentSettings().lang = 2;
    EXPECT_EQ(ItemText(10, items), "Steel");  // switching the language shows the choice anew
    EXPECT_EQ(ItemCode(10, items), "O");

    // A choice of another field with the same text is not taken.
    StoreItemText(11, items, &choices_, "Steel", "", "c11");
    EXPECT_EQ(items[1].text, "[0:Steel][1:Steel][2:Steel][3:Steel]");
    EXPECT_EQ(items[1].typeCode, "");
}

TEST_F(SpecItems, FreeTextsOverwriteAndEmptyTexts) {
    SpecItemList items;
    StoreItemText(20, items, &choices_, "", "", "x");
    EXPECT_TRUE(items.empty());  // an empty text adds nothing

    StoreItemText(20, items, nullptr, "Poznámka", "Remark", "R");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "[0:Poznámka][1:Poznámka][2:Remark][3:Poznámka]");
    EXPECT_EQ(items[0].code, "R");

    StoreItemText(10, items, &choices_, "Ocel");
    StoreItemText(10, items, &choices_, "vlastní");  // a free text replaces the choice's codes
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].attribute, "");
    EXPECT_EQ(items[1].typeCode, "");
    EXPECT_EQ(ItemText(10, items, 1), "vlastní");

    StoreItemText(20, items, nullptr, "");  // empty text overwrites an existing item
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(ItemText(20, items), "");
    EXPECT_EQ(ItemCode(20, items), "");

    EXPECT_EQ(ItemText(99, items), "");
    EXPECT_EQ(ItemCode(99, items), "");
}

TEST_F(SpecItems, TypeCodeOfTheChoiceWithTheCurrentText) {
    EXPECT_EQ(ChoiceTypeCode(10, "Nerez", choices_), "3");
    EXPECT_EQ(ChoiceTypeCode(10, "Litina", choices_), "1");  // conditions do not matter here
    EXPECT_EQ(ChoiceTypeCode(10, "Stainless", choices_), "");
    EXPECT_EQ(ChoiceTypeCode(11, "Nerez", choices_), "");
}

TEST(KeyValueList, KeysAreUniqueAndKeepTheirPlace) {
    KeyValueList list;
    SetKeyValue("kks", "V1", list, false);
    SetKeyValue("ozn", "RV 111", list, false);
    SetKeyValue("kks", "V2", list, false);
    EXPECT_EQ(list.Value("kks"), "V1");
    SetKeyValue("kks", "V3", list, true);
    SetKeyValue("KKS", "other", list, true);
    ASSERT_EQ(list.pairs.size(), 3u);
    EXPECT_EQ(list.pairs[0], (std::pair<std::string, std::string>{"kks", "V3"}));
    EXPECT_EQ(list.pairs[2].first, "KKS");
    EXPECT_EQ(list.Find("absent"), nullptr);
    EXPECT_EQ(list.Value("absent"), "");
}

// ---- File forms ---------------------------------------------------------------------------

SpecItemList ReadChoices(const ArchiveWriter& w, double version, int lang, int langCount = 4) {
    ArchiveReader r(w.bytes(), "series.dbv");
    auto list = ReadChoiceList(r, version, lang, langCount);
    EXPECT_TRUE(r.AtEnd()) << version;
    return list;
}

TEST(SpecItemFiles, ChoiceListVersionForms) {
    // Below 7.01: one plain text of the configured language, completed to every language.
    {
        ArchiveWriter w;
        w.WriteInt32(1);
        w.WriteInt32(5);
        w.WriteText("Přímý");
        w.WriteText("{dn<50}");
        auto list = ReadChoices(w, 7.0, 1);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].id, 5);
        EXPECT_EQ(list[0].text, "[1:Přímý][0:Přímý][2:Přímý][3:Přímý]");
        EXPECT_EQ(list[0].condition, "{dn<50}");
        EXPECT_EQ(list[0].attribute, "");
    }
    // Exactly 8: (index, text) pairs.
    {
        ArchiveWriter w;
        w.WriteInt32(1);
        w.WriteInt32(5);
        w.WriteInt32(2);
        w.WriteInt32(0);
        w.WriteText("A");
        w.WriteInt32(3);
        w.WriteText("");
        for (int i = 0; i < 4; ++i) w.WriteText("x");
        auto list = ReadChoices(w, 8.0, 0, 4);
        EXPECT_EQ(list[0].text, "[0:A][3:A][1:A][2:A]");
        EXPECT_EQ(list[0].typeCode, "x");
    }
}

TEST(SpecItemFiles, ChoiceListsWriteWhatTheirVersionHolds) {
    const SpecItemList choices = {{5, "[0:Přímý][1:Prosty][2:Straight][3:Gerade]", "{dn<50}", "a", "c", "t"}};
    for (double version : {7.0, 7.01, 7.05, 7.07, 7.13, 8.0, 8.03}) {
        ArchiveWriter w;
        WriteChoiceList(w, choices, version, 1);
        const auto read = ReadChoices(w, version, 1);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(GetLangText(read[0].text, 1), "Prosty") << version;
        EXPECT_EQ(GetLangText(read[0].text, 2), version >= 7.01 ? "Straight" : "Prosty") << version;
        EXPECT_EQ(read[0].attribute, version >= 7.05 ? "a" : "") << version;
        EXPECT_EQ(read[0].code, version >= 7.07 ? "c" : "") << version;
        EXPECT_EQ(read[0].typeCode, version >= 7.13 ? "t" : "") << version;
        if (version >= 8.0) {
            EXPECT_EQ(read, choices) << version;
        }
    }
}

TEST(SpecItemFiles, PositionItemsOfOlderFilesAreWrapped) {
    ArchiveWriter w;
    w.WriteInt32(3);
    w.WriteText("plain");
    w.WriteText("C1");
    w.WriteInt32(1);
    w.WriteText("a [b] c");
    w.WriteText("");
    w.WriteInt32(68);
    w.WriteText("[0:x][2:y]");
    w.WriteText("C3");
    w.WriteInt32(3);
    ArchiveReader r(w.bytes(), "p.tkp");
    auto items = ReadPositionItems(r, 8.03, 2);
    EXPECT_TRUE(r.AtEnd());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "[2:plain]");
    EXPECT_EQ(items[0].code, "C1");
    EXPECT_EQ(items[1].text, "[2:a |+b-| c]");
    EXPECT_EQ(items[2].text, "[0:x][2:y]");

    // Before 7.06 there is no code.
    ArchiveWriter old;
    old.WriteInt32(1);
    old.WriteText("t");
    old.WriteText("t2");
    old.WriteInt32(7);
    ArchiveReader r2(old.bytes(), "p.tkp");
    items = ReadPositionItems(r2, 7.05, 0);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "[0:t][2:t2]");
    EXPECT_EQ(items[0].id, 7);
    EXPECT_TRUE(r2.AtEnd());

    // The current form round-trips byte for byte.
    const SpecItemList current = {{71, "[0:RV 111][1:RV 111][2:RV 111][3:RV 111]", "", "", "X", ""}};
    ArchiveWriter cw;
    WritePositionItems(cw, current, 8.03, 0);
    ArchiveReader cr(cw.bytes(), "p.tkp");
    EXPECT_EQ(ReadPositionItems(cr, 8.03, 0), current);
}

// Plain item texts of older projects belong to the language the project is opened in.
TEST(SpecItemFiles, PositionItemsInEveryLanguage) {
    for (int lang : {0, 1, 3}) {
        const std::string open = "[" + std::to_string(lang) + ":";
        ArchiveWriter w706;
        w706.WriteInt32(1);
        w706.WriteText("Ocel");
        w706.WriteText("Steel");
        w706.WriteText("O");
        w706.WriteInt32(11);
        ArchiveReader r706(w706.bytes(), "p.tkp");
        EXPECT_EQ(ReadPositionItems(r706, 7.06, lang), (SpecItemList{{11, open + "Ocel][2:Steel]", "", "", "O", ""}}))
            << lang;

        ArchiveWriter w803;
        w803.WriteInt32(2);
        for (const char* text : {"plain", "a [b]"}) {
            w803.WriteText(text);
            w803.WriteText("");
            w803.WriteInt32(text[0] == 'a' ? 68 : 5);
        }
        ArchiveReader r803(w803.bytes(), "p.tkp");
        const SpecItemList items = ReadPositionItems(r803, 8.03, lang);
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[0].text, open + "plain]");
        EXPECT_EQ(items[1].text, open + "a |+b-|]");
        // Other languages see it only through the fallback to section 0.
        for (int shown = 0; shown < 4; ++shown)
            EXPECT_EQ(ItemText(5, items, shown), shown == lang || lang == 0 ? "plain" : "") << lang << " " << shown;
    }
}

TEST_F(SpecItems, StoredTextsFollowTheLanguageAndLanguageCount) {
    CurrentSettings().langCount = 2;
    CurrentSettings().lang = 3;
    SpecItemList items;
    StoreItemText(20, items, nullptr, "Bemerkung", "Remark");
    StoreItemText(10, items, &choices_, "Stahl");  // a choice is found by its text in the current language
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "[0:Bemerkung][1:Bemerkung]");
    EXPECT_EQ(ItemText(20, items), "Bemerkung");  // no section 3: section 0
    EXPECT_EQ(items[1].text, choices_[1].text);
    EXPECT_EQ(items[1].typeCode, "2");

    SpecItemList czech;
    StoreItemText(10, czech, &choices_, "Ocel");  // the Czech wording is no choice in language 3
    ASSERT_EQ(czech.size(), 1u);
    EXPECT_EQ(czech[0].text, "[0:Ocel][1:Ocel]");
    EXPECT_EQ(czech[0].typeCode, "");
}

TEST(SpecItemFiles, ImplausibleCountsAreRefused) {
    ArchiveWriter w;
    w.WriteInt32(1000000);
    w.WriteInt32(1);
    ArchiveReader r(w.bytes(), "s.dbv");
    EXPECT_THROW(ReadChoiceList(r, 8.03, 0, 4), ArchiveError);

    ArchiveWriter pairs;  // version 8 pair count beyond the data
    pairs.WriteInt32(1);
    pairs.WriteInt32(5);
    pairs.WriteInt32(0x7FFFFFFF);
    ArchiveReader r2(pairs.bytes(), "s.dbv");
    EXPECT_THROW(ReadChoiceList(r2, 8.0, 0, 4), ArchiveError);

    ArchiveWriter negative;
    negative.WriteInt32(-1);
    ArchiveReader r3(negative.bytes(), "p.tkp");
    EXPECT_THROW(ReadPositionItems(r3, 8.03, 0), ArchiveError);
}

}  // namespace
}  // namespace tarvik
