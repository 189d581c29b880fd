#include <gtest/gtest.h>

#include "project/catalogue_lists.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

TEST(CatalogueLists, ColumnFormatCaptionsAndAlignment) {
    struct Case {
        std::string format;
        std::vector<std::string> texts;
        std::vector<ColumnAlign> aligns;
    };
    const Case cases[] = {
        {"", {}, {}},
        {"^ Name |<Note|>x", {" Name ", "Note", "x"}, {ColumnAlign::Centre, ColumnAlign::Left, ColumnAlign::Right}},
        {"a||b;row1|row2", {"a", "", "b"}, {ColumnAlign::Default, ColumnAlign::Default, ColumnAlign::Default}},
        {"|", {"", ""}, {ColumnAlign::Default, ColumnAlign::Default}},
    };
    for (const Case& c : cases) {
        const auto cols = ParseColumnFormat(c.format);
        ASSERT_EQ(cols.size(), c.texts.size()) << c.format;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            EXPECT_EQ(cols[i].text, c.texts[i]) << c.format;
            EXPECT_EQ(cols[i].align, c.aligns[i]) << c.format;
        }
    }
}

Medium M(const std::string& name, int phase, const std::string& source, int number) {
    Medium m;
    m.name = name;
    m.phase = phase;
    m.source = source;
    m.number = number;
    return m;
}

TEST(CatalogueLists, MediaRowsFilterSortAndPadding) {
    test::UseLanguage(2);
    test::NumericLocale c("C");
    // "Ácetone" starts above "ž" in the code page: it still sorts before the empty rows.
    const std::vector<Medium> media{M("oil", 1, "S", 1), M("Air", 0, "S", 2), M("Ácetone", 1, "U", 3), M("Benzene", 1, "U", 3)};
    struct Case {
        int filter;
        std::vector<std::string> names;
    };
    for (const Case& k : {Case{-1, {"Air", "Benzene", "oil", "Ácetone"}}, Case{1, {"Benzene", "oil", "Ácetone"}}, Case{0, {"Air"}}}) {
        const auto rows = MediaListRows(media, k.filter);
        ASSERT_EQ(rows.size(), 20u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].cells.size(), 18u);
            EXPECT_EQ(rows[i].cells[1], i < k.names.size() ? k.names[i] : "") << k.filter << " row " << i;
            EXPECT_EQ(rows[i].index >= 0, i < k.names.size());
        }
    }
    const auto rows = MediaListRows(media, -1);
    EXPECT_EQ(rows[0].cells[4], GetText(63077));
    EXPECT_EQ(rows[0].cells[6], "0");
    EXPECT_TRUE(MediumRowEditable(rows, 1));
    EXPECT_FALSE(MediumRowEditable(rows, 0));   // system record
    EXPECT_FALSE(MediumRowEditable(rows, 10));  // empty row
    // Both records numbered 3 stay apart: rows name their place in the list.
    EXPECT_EQ(SingleRowIndex(rows, 1, 1), 3);
    EXPECT_EQ(SingleRowIndex(rows, 3, 3), 2);
    EXPECT_FALSE(SingleRowIndex(rows, 1, 2));
    EXPECT_FALSE(SingleRowIndex(rows, 9, 9));
    EXPECT_EQ(RowIndices(rows, 3, 1), (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(RowIndices(rows, 2, 30), (std::vector<int>{2, 0}));

    std::vector<Medium> copy = media;
    EraseRecords(copy, RowIndices(rows, 1, 2));
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[0].name, "Air");
    EXPECT_EQ(copy[1].name, "Ácetone");

    EXPECT_EQ(PhaseFromText(GetText(63074), kPhaseGas), kPhaseLiquid);
    EXPECT_EQ(PhaseFromText(GetText(63076), kPhaseLiquid), kPhaseGas);
    EXPECT_EQ(PhaseFromText("", kPhaseLiquid), kPhaseLiquid);
}

TEST(CatalogueLists, PipeRowsSortBySizeTextAndUnitRowsKeepOrder) {
    test::NumericLocale c("C");
    std::vector<Pipe> pipes{{"A", "DN 50", "S 2", 60.3, 2.9, 1}, {"A", "DN 100", "S 3", 114.3, 3.6, 2}};
    const auto rows = PipeListRows(pipes);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"A", "DN 100", "S 3", "114.3", "3.6", "2", "DN 100"}));
    EXPECT_EQ(rows[1].index, 0);

    std::vector<UnitDef> units{{"b", kQuantityPressure, 2, 0.1, 0}, {"a", kQuantityVolumeFlow, 1, 1, 0}};
    const auto unitRows = UnitListRows(units);
    EXPECT_EQ(unitRows[0].cells[1], "b");
    EXPECT_EQ(unitRows[1].cells[3], "1");
    EXPECT_EQ(AddUserUnit(units, {"c", kQuantityTemperature, 0, 1, 0}).number, 3);
}

TEST(CatalogueLists, UnitDialogRefusesMissingNameOrQuantity) {
    struct Case {
        std::string name;
        int quantity;
        int message;
    };
    for (const Case& c : {Case{"psi", kQuantityPressure, 0}, Case{"", kQuantityPressure, kMsgUnitIncomplete},
                          Case{"  ", kQuantityMassFlow, kMsgUnitIncomplete}, Case{"psi", -1, kMsgUnitIncomplete},
                          Case{"psi", 4, kMsgUnitIncomplete}})
        EXPECT_EQ(CheckUnitDialog({c.name, c.quantity, 0, 1, 0}), c.message) << c.name << " " << c.quantity;
}

}  // namespace
}  // namespace tarvik
