#include <gtest/gtest.h>

#include "project/print_dialog_model.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

ProjectDocument ThreePositions() {
    ProjectDocument doc;
    for (const char* name : {"FV-1", "FV-2", "FV-1"}) {
        ValvePosition p;
        p.name = name;
        p.printSelected = 1;  // left from an earlier job
        doc.positions.push_back(p);
    }
    return doc;
}

TEST(PrintDialogModel, SelectionCaptionOkAndMarks) {
    test::UseLanguage(2);
    ProjectDocument doc = ThreePositions();
    PrintDialogModel m = PrintDialogModel::Open(doc, false);
    for (const auto& p : doc.positions) EXPECT_EQ(p.printSelected, 0);
    EXPECT_FALSE(m.OkEnabled());
    EXPECT_EQ(m.ToggleCaption(), 63079);
    m.ToggleAll();
    EXPECT_TRUE(m.OkEnabled());
    EXPECT_EQ(m.ToggleCaption(), 63078);
    m.selected[1] = false;  // not all any more: the button selects all again
    EXPECT_EQ(m.ToggleCaption(), 63079);
    m.ToggleAll();
    m.ToggleAll();
    EXPECT_FALSE(m.OkEnabled());

    // The third entry names the same position as the first: only the first is marked.
    m.selected = {false, true, true};
    m.Apply(doc);
    EXPECT_EQ(doc.positions[0].printSelected, 1);
    EXPECT_EQ(doc.positions[1].printSelected, 1);
    EXPECT_EQ(doc.positions[2].printSelected, 0);
}

TEST(PrintDialogModel, SwitchesAndLanguage) {
    test::UseLanguage(2);
    ProjectDocument doc = ThreePositions();
    const struct {
        bool preview, landscape, drawings;
        bool enabled, stored;
    } cases[] = {
        {false, true, true, true, true},
        {false, false, true, false, false},  // portrait: no drawing pages
        {true, true, true, false, false},    // a preview never has drawing pages
    };
    for (const auto& c : cases) {
        PrintDialogModel m = PrintDialogModel::Open(doc, c.preview);
        m.SetLandscape(c.landscape);
        m.SetDrawings(c.drawings);
        EXPECT_EQ(m.DrawingsEnabled(), c.enabled);
        m.Apply(doc);
        EXPECT_EQ(doc.printExtraPages, c.stored ? 1 : 0);
    }
    // Switching landscape off clears the drawing switch.
    PrintDialogModel m = PrintDialogModel::Open(doc, false);
    m.SetLandscape(true);
    m.SetDrawings(true);
    m.SetLandscape(false);
    EXPECT_FALSE(m.drawings);

    // Language: preset from the document, the second-language text gives 2, any other -1.
    EXPECT_EQ(m.language, GetText(63081));
    m.language = PrintLanguageTexts()[1];
    EXPECT_EQ(m.Check(), 0);
    m.Apply(doc);
    EXPECT_EQ(doc.itemLanguage, 2);
    EXPECT_EQ(PrintDialogModel::Open(doc, false).language, GetText(63080));
    m.language = "";
    EXPECT_EQ(m.Check(), 63035);
    m.language = "typed";
    m.Apply(doc);
    EXPECT_EQ(doc.itemLanguage, -1);
}

}  // namespace
}  // namespace tarvik
