#include <gtest/gtest.h>

#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"
#include "calc/catalogue_valve.hpp"
#include "project/characteristic_text.hpp"
#include "project/valve_selection.hpp"

namespace tarvik {
namespace {

SeriesValve Valve(double Kvs, double dn, int characteristic = kCharLinear) {
    SeriesValve v;
    v.Kvs = Kvs;
    v.dn = dn;
    v.characteristic = characteristic;
    return v;
}

std::vector<double> OfferedKvs(const std::vector<SeriesValve>& valves, double Kv, bool filter = true) {
    std::vector<double> kvs;
    for (auto i : OfferedCandidates(valves, Kv, filter)) kvs.push_back(valves[i].Kvs);
    return kvs;
}

TEST(CandidateFilter, OpeningRangesAndFallbacks) {
    // Equal percentage at Kv 12: Kvs 10 would open beyond 100 %, 16 to 93 %, 25 to 81 %.
    const std::vector<SeriesValve> ep = {Valve(10, 25, kCharEqualPercentage), Valve(16, 32, kCharEqualPercentage),
                                         Valve(25, 40, kCharEqualPercentage)};
    EXPECT_EQ(SizingKv({8, 12, 0}), 12);
    EXPECT_EQ(OfferedKvs(ep, 12), (std::vector<double>{16, 25}));

    // Linear, Kv 8.5: nothing between 60 and 95 %, Kvs 16 opens 53 %.
    EXPECT_EQ(OfferedKvs({Valve(16, 32), Valve(40, 50)}, 8.5), (std::vector<double>{16}));
    // Linear, Kv 12: 10 is too small, both 25 valves too large: the smallest large one, every DN of it.
    EXPECT_EQ(OfferedKvs({Valve(10, 25), Valve(25, 40), Valve(25, 50), Valve(63, 65)}, 12),
              (std::vector<double>{25, 25}));
    // Every valve too small: nothing to offer.
    EXPECT_TRUE(OfferedKvs({Valve(4, 15), Valve(6.3, 20)}, 12).empty());
    // On-off valves (and a Kvs of 0) open 0 at any Kv: only a Kvs above the Kv makes them large enough.
    EXPECT_EQ(OfferedKvs({Valve(40, 50, kCharOnOff), Valve(4, 15, kCharOnOff), Valve(16, 32, kCharOnOff), Valve(0, 20)}, 12),
              (std::vector<double>{16}));

    // Filter off, or no point with a result: every valve.
    EXPECT_EQ(OfferedKvs(ep, 12, false), (std::vector<double>{10, 16, 25}));
    EXPECT_EQ(SizingKv({0, 0, 0}), 0);
    EXPECT_EQ(OfferedKvs(ep, 0), (std::vector<double>{10, 16, 25}));
    EXPECT_TRUE(OfferedKvs({}, 12).empty());
}

TEST(CandidateFilter, KvTextSkipsPointsWithoutResult) {
    test::NumericLocale c("C");
    EXPECT_EQ(CandidateKvText({8, 12, 0}), "Kv1 = 8; Kv2 = 12");
    EXPECT_EQ(CandidateKvText({0, 1.25, 3}), "Kv2 = 1.25; Kv3 = 3");
    EXPECT_EQ(CandidateKvText({0, 0, 0}), "");
}

TEST(CandidateLists, CascadeFromKvsToDnToCharacteristic) {
    test::NumericLocale c("C");
    test::UseLanguage(2);
    const std::vector<SeriesValve> valves = {Valve(25, 50), Valve(10, 25, kCharEqualPercentage), Valve(10, 25),
                                             Valve(10, 32), Valve(25, 50), Valve(4, 20)};
    // The Kvs 4 valve is not offered.
    CandidateLists lists(valves, {0, 1, 2, 3, 4, 99});
    EXPECT_EQ(lists.offered(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(lists.KvsValues(), (std::vector<double>{10, 25}));
    EXPECT_EQ(lists.DnValues(10), (std::vector<double>{25, 32}));
    EXPECT_EQ(lists.Characteristics(10, 25), (std::vector<int>{kCharEqualPercentage, kCharLinear}));
    EXPECT_EQ(lists.Select(10, 25, kCharLinear), std::optional<std::size_t>(2));
    // Two identical candidates do not identify one valve; an absent combination neither.
    EXPECT_EQ(lists.Select(25, 50, kCharLinear), std::nullopt);
    EXPECT_EQ(lists.Select(4, 20, kCharLinear), std::nullopt);

    const auto texts = CandidateLists::ListTexts(lists.KvsValues());
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "(not selected)");  // its own text, not the copy refusal of the position dialog
    EXPECT_EQ(texts[1], "10");
    EXPECT_EQ(texts[2], "25");
    EXPECT_EQ(CharacteristicText(kCharEqualPercentage), "equal percentage");
    EXPECT_EQ(CharacteristicText(kCharOnOff), "on-off");
}

TEST(CatalogueValveChoice, CascadePreselectionAndResult) {
    test::NumericLocale c("C");
    test::UseLanguage(2);
    const std::vector<SeriesValve> ep = {Valve(10, 25, kCharEqualPercentage), Valve(16, 32, kCharEqualPercentage),
                                         Valve(25, 40, kCharEqualPercentage), Valve(16, 32, kCharLinear),
                                         Valve(16, 40, kCharEqualPercentage)};
    using Texts = std::vector<std::string>;
    struct Case {
        const char* what;
        int selected;
        std::array<double, 3> kv;
        bool showAll;
        Texts kvs;
        int kvsSel, dnSel, charSel, result;
    };
    const Case cases[] = {
        // Kv 12 opens the 16 and 25 valves reasonably; the form's valve is preselected down the lists.
        {"chosen valve offered", 1, {8, 12, 0}, false, {"(not selected)", "16", "25"}, 1, 1, 0, 1},
        {"chosen valve filtered out", 0, {8, 12, 0}, false, {"(not selected)", "16", "25"}, 0, 0, -1, -1},
        {"filter off by button", 0, {8, 12, 0}, true, {"(not selected)", "10", "16", "25"}, 1, 1, 0, 0},
        {"no results: every valve", -1, {0, 0, 0}, false, {"(not selected)", "10", "16", "25"}, 0, 0, -1, -1},
        {"selection out of range", 99, {8, 12, 0}, false, {"(not selected)", "16", "25"}, 0, 0, -1, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CatalogueValveChoice choice(ep, k.selected, k.kv);
        if (k.showAll) choice.ShowAll();
        EXPECT_EQ(choice.KvsTexts(), k.kvs);
        EXPECT_EQ(choice.kvsSelection(), k.kvsSel);
        EXPECT_EQ(choice.dnSelection(), k.dnSel);
        EXPECT_EQ(choice.characteristicSelection(), k.charSel);
        EXPECT_EQ(choice.Selected(), k.result);
    }

    CatalogueValveChoice choice(ep, -1, {8, 12, 0});
    EXPECT_TRUE(choice.openingFilter());
    EXPECT_EQ(choice.kvText(), "Kv1 = 8; Kv2 = 12");
    EXPECT_EQ(choice.sizingKvText(), "12");
    // Kvs 16 has two DNs; DN 32 two characteristics: only all three lists name one valve.
    choice.ChooseKvs(1);
    EXPECT_EQ(choice.DnTexts(), (Texts{"(not selected)", "32", "40"}));
    EXPECT_TRUE(choice.CharacteristicTexts().empty());
    choice.ChooseDn(1);
    EXPECT_EQ(choice.CharacteristicTexts(), (Texts{"equal percentage", "linear"}));
    EXPECT_EQ(choice.Selected(), -1);
    choice.ChooseCharacteristic(1);
    EXPECT_EQ(choice.Selected(), 3);
    // Another Kvs undoes the choice; a DN without a Kvs is ignored.
    choice.ChooseKvs(2);
    EXPECT_EQ(choice.Selected(), -1);
    EXPECT_EQ(choice.DnTexts(), (Texts{"(not selected)", "40"}));
    choice.ChooseKvs(0);
    choice.ChooseDn(1);
    EXPECT_EQ(choice.dnSelection(), 0);

    const std::vector<SeriesValve> none;
    CatalogueValveChoice empty(none, 0, {8, 0, 0});
    EXPECT_TRUE(empty.KvsTexts().empty());
    EXPECT_TRUE(empty.DnTexts().empty());
    EXPECT_EQ(empty.Selected(), -1);
}

TEST(CharacteristicTexts, NamesAndCodesMapBothWays) {
    const LanguagePack saved = CurrentLanguage();
    CurrentLanguage().Set(63059, "lineární");
    CurrentLanguage().Set(63060, "rovnoprocentní");
    CurrentLanguage().Set(63061, "tabulka");
    CurrentLanguage().Set(63102, "otevřeno-zavřeno");
    for (int code = 0; code < 4; ++code) EXPECT_EQ(CharacteristicCode(CharacteristicText(code)), code);
    EXPECT_EQ(CharacteristicCode("tabulka"), kCharTable);
    EXPECT_EQ(CharacteristicCode("Lineární"), -1);
    EXPECT_EQ(CharacteristicCode("lineární "), -1);
    EXPECT_EQ(CharacteristicText(4), "");
    EXPECT_EQ(CharacteristicText(-1), "");
    // An empty text is no characteristic, even where the pack lacks one.
    CurrentLanguage().Set(63061, "");
    EXPECT_EQ(CharacteristicCode(""), -1);
    CurrentLanguage() = saved;
}

TEST(SeriesList, RowsAndPreselection) {
    test::UseLanguage(2);
    const auto rows = SeriesRows(std::vector<std::string>{"V-1 ([0:Přímý ventil][2:Globe valve?])", "V-2 (Angle (high) valve)", "V-3"});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "V-1");
    EXPECT_EQ(rows[0].description, "Globe valve");
    EXPECT_EQ(rows[0].seriesText, "V-1 (Globe valve)");
    EXPECT_EQ(rows[1].name, "V-2");
    EXPECT_EQ(rows[1].description, "Angle (high) valve");
    EXPECT_EQ(rows[2].name, "V-3");
    EXPECT_EQ(rows[2].description, "");

    EXPECT_EQ(PreselectedSeriesRow(rows, "V-2"), 1);
    EXPECT_EQ(PreselectedSeriesRow(rows, "V-1 (Globe valve)"), 0);
    EXPECT_EQ(PreselectedSeriesRow(rows, "V-9"), 0);
    EXPECT_EQ(PreselectedSeriesRow({}, "V-1"), -1);
}

}  // namespace
}  // namespace tarvik
