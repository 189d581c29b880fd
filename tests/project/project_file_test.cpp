#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/settings.hpp"
#include "project/project_file.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

ProjectLoadContext Context(const SeriesTable* table = nullptr) {
    ProjectLoadContext c;
    c.seriesTable = table;
    c.companyIndex = "5";
    c.lang = 2;
    c.now = 1234567;
    return c;
}

ValvePosition FullPosition() {
    ValvePosition p;
    p.name = "FV-101";
    p.auxText = "aux";
    p.note = "Poznámka: čerpadlo č. 2";
    p.mediumState = 3;
    p.auxInt = 17;
    for (int k = 0; k < kSlotCount; ++k) {
        p.units[k] = k % 2 ? "bar" : "";
        for (int j = 0; j < kPointCount; ++j) p.values[k][j] = k * 10 + j + 0.25;
    }
    p.pointEnabled = {1, 1, 0};
    p.mediumName = "Air";
    p.mediumTag = "dry";
    p.designationSelector = "1";
    p.designation = "V-100";
    p.characteristic = 1;
    for (int i = 0; i < kValveDataCount; ++i) p.valveData[i] = 100 + i;
    p.maxPressureUnit = "bar";
    p.maxTemperatureUnit = "°C";
    p.rowIdList = "2;4;5;10;";
    for (int i = 0; i < 6; ++i) p.pipeTexts[i] = "pipe" + std::to_string(i);
    for (int r = 0; r < 6; ++r)
        for (int j = 0; j < 3; ++j) p.resultTexts[r][j] = std::to_string(r) + "/" + std::to_string(j);
    p.savedAt = 1700000000u;
    p.manualCoefficients = 1;
    p.gaugePressures = 1;
    // Items 201 to 203 are present, so the refresh after loading adds none.
    p.specItems = {{10, "[0:A][1:B][2:C][3:D]", "", "", "X1", ""}, {71, "[2:Ventil V-100]", "", "", "", ""},
                   {201, "[2:DN100]", "", "", "", ""}, {202, "[2:DN100]", "", "", "", ""},
                   {203, "[2:DN25]", "", "", "", ""}};
    p.titleBlock.pairs = {{"kks", "FV-101"}, {"ozn", "V-100 DN50"}};
    p.selectedCharacteristic = 2;
    p.selectedDn = 50;
    p.selectedKvs = 40;
    p.pieces = "3";
    p.manualValve = 1;
    p.specPairs = {{1, 2}, {3, 4}};
    return p;
}

TEST(ProjectFile, EmptyProjectLayout) {
    ProjectDocument doc;
    auto bytes = StoreProject(doc, 2);
    ASSERT_EQ(bytes.size(), 23u);
    EXPECT_EQ(bytes[0], 0x23);
    EXPECT_EQ(bytes[1], 0x03);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0x00);
    auto back = ReadProject(bytes, "empty", Context());
    EXPECT_TRUE(back.positions.empty());
    EXPECT_DOUBLE_EQ(back.atmosphericPressure, 0.101325);
}

TEST(ProjectFile, VersionWord) {
    EXPECT_DOUBLE_EQ(ProjectFileVersion(5), 5.0);
    EXPECT_DOUBLE_EQ(ProjectFileVersion(512), 5.12);
    EXPECT_DOUBLE_EQ(ProjectFileVersion(803), 8.03);
    EXPECT_DOUBLE_EQ(ProjectFileVersion(100), 100.0);
}

TEST(ProjectFile, SaveAndLoadReproducesEveryPersistedField) {
    test::NumericLocale c("C");
    ProjectDocument doc;
    doc.project = "Teplárna Jih";
    doc.customer = "Zákazník s.r.o.";
    doc.projectText3 = "third";
    doc.defaultFlowUnit = "m3/h";
    doc.defaultPressureUnit = "bar";
    doc.defaultTemperatureUnit = "°C";
    doc.atmosphericPressure = 0.0987;
    doc.specSheetText = "sheet";
    doc.positions = {FullPosition(), ValvePosition{}};
    doc.positions[1].name = "second";

    auto bytes = StoreProject(doc, 2);
    auto back = ReadProject(bytes, "full", Context());
    EXPECT_EQ(back.project, doc.project);
    EXPECT_EQ(back.customer, doc.customer);
    EXPECT_EQ(back.projectText3, doc.projectText3);
    EXPECT_EQ(back.defaultFlowUnit, doc.defaultFlowUnit);
    EXPECT_EQ(back.defaultPressureUnit, doc.defaultPressureUnit);
    EXPECT_EQ(back.defaultTemperatureUnit, doc.defaultTemperatureUnit);
    EXPECT_EQ(back.atmosphericPressure, doc.atmosphericPressure);
    EXPECT_EQ(back.specSheetText, doc.specSheetText);
    ASSERT_EQ(back.positions.size(), 2u);
    const ValvePosition& a = doc.positions[0];
    const ValvePosition& b = back.positions[0];
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.auxText, a.auxText);
    EXPECT_EQ(b.note, a.note);
    EXPECT_EQ(b.mediumState, a.mediumState);
    EXPECT_EQ(b.auxInt, a.auxInt);
    EXPECT_EQ(b.units, a.units);
    EXPECT_EQ(b.values, a.values);
    EXPECT_EQ(b.pointEnabled, a.pointEnabled);
    EXPECT_EQ(b.mediumName, a.mediumName);
    EXPECT_EQ(b.mediumTag, a.mediumTag);
    EXPECT_EQ(b.designationSelector, a.designationSelector);
    EXPECT_EQ(b.designation, a.designation);
    EXPECT_EQ(b.characteristic, a.characteristic);
    EXPECT_EQ(b.valveData, a.valveData);
    EXPECT_EQ(b.maxPressureUnit, a.maxPressureUnit);
    EXPECT_EQ(b.maxTemperatureUnit, a.maxTemperatureUnit);
    EXPECT_EQ(b.rowIdList, a.rowIdList);
    EXPECT_EQ(b.pipeTexts, a.pipeTexts);
    EXPECT_EQ(b.resultTexts, a.resultTexts);
    EXPECT_EQ(b.savedAt, a.savedAt);
    EXPECT_EQ(b.manualCoefficients, a.manualCoefficients);
    EXPECT_EQ(b.gaugePressures, a.gaugePressures);
    ASSERT_EQ(b.specItems.size(), a.specItems.size());
    for (std::size_t i = 0; i < a.specItems.size(); ++i) {
        EXPECT_EQ(b.specItems[i].id, a.specItems[i].id);
        EXPECT_EQ(b.specItems[i].text, a.specItems[i].text);
        EXPECT_EQ(b.specItems[i].code, a.specItems[i].code);
    }
    EXPECT_EQ(b.titleBlock.pairs, a.titleBlock.pairs);
    EXPECT_EQ(b.selectedCharacteristic, a.selectedCharacteristic);
    EXPECT_EQ(b.selectedDn, a.selectedDn);
    EXPECT_EQ(b.selectedKvs, a.selectedKvs);
    EXPECT_EQ(b.pieces, a.pieces);
    EXPECT_EQ(b.manualValve, a.manualValve);
    EXPECT_EQ(b.specPairs, a.specPairs);
    // A store after a load gives the same bytes.
    EXPECT_EQ(StoreProject(back, 2), bytes);
}

// Writes the fields of one position as an older program version wrote them, field by field.
struct OldPosition {
    double V;
    ArchiveWriter& w;
    void Common(int mediumState) {
        w.WriteText("P1");
        w.WriteText("aux");
        w.WriteText("note");
        w.WriteInt32(mediumState);
        if (V < 5.08) { w.WriteInt32(9); w.WriteInt32(9); w.WriteInt32(9); }
        w.WriteInt32(4);  // auxInt
        w.WriteText("Water");
        w.WriteText("");
        if (V > 5.09) w.WriteInt32(1000);
        if (V > 5.11) w.WriteInt32(1);
        if (V > 5.12) w.WriteInt32(1);
        w.WriteInt32(1); w.WriteInt32(0); w.WriteInt32(0);
        for (int k = 0; k < 30; ++k) {
            for (int j = 0; j < 3; ++j) w.WriteDouble(k + j / 10.0);
            w.WriteText(k == 16 ? "cSt" : k == 24 ? "old" : "");
        }
        if (V > 8.02) w.WriteText("0");
        w.WriteText("V-1");
    }
    void ValveData() {
        if (V > 3) for (int i = 0; i <= 8; ++i) w.WriteDouble(10 + i);
        if (V > 5.06) for (int i = 9; i <= 10; ++i) w.WriteDouble(10 + i);
        if (V > 5.08) for (int i = 11; i <= 14; ++i) w.WriteDouble(10 + i);
    }
    void Results() {
        for (int row = 0; row < 6; ++row) {
            bool present = row <= 3 ? V > 5.02 : row == 4 ? V > 5.04 : V > 5.1;
            if (present)
                for (int j = 0; j < 3; ++j) w.WriteText("r" + std::to_string(row) + std::to_string(j));
        }
    }
};

std::vector<std::uint8_t> OldProject(int versionWord, double V, int mediumState,
                                     const std::function<void(ArchiveWriter&)>& characteristic,
                                     const std::function<void(ArchiveWriter&)>& tail) {
    ArchiveWriter w;
    w.WriteInt32(versionWord);
    for (const char* t : {"proj", "cust", "t3", "m3/h", "bar", "°C"}) w.WriteText(t);
    w.WriteInt32(1);
    if (V > 5.01) w.WriteDouble(0.1);
    if (V > 7.09) w.WriteText("sheet");
    if (V > 8.01 && V < 8.03) w.WriteText("0");
    OldPosition p{V, w};
    p.Common(mediumState);
    p.ValveData();
    characteristic(w);
    if (V > 3) w.WriteText("2;4;5;");
    if (V > 5) for (int i = 0; i < 6; ++i) w.WriteText("pipe");
    p.Results();
    tail(w);
    return w.bytes();
}

TEST(ProjectFile, Version5FileTakesItsDefaultsAndConversions) {
    // 5.0: no atmospheric pressure, three discarded integers, no time, no results at all,
    // characteristic as a text.
    auto bytes = OldProject(5, 5.0, 0, [](ArchiveWriter& w) { w.WriteText("ROVN"); }, [](ArchiveWriter&) {});
    auto doc = ReadProject(bytes, "v5", Context());
    ASSERT_EQ(doc.positions.size(), 1u);
    const auto& p = doc.positions[0];
    EXPECT_DOUBLE_EQ(doc.atmosphericPressure, 0.101325);
    EXPECT_EQ(p.auxInt, 4);
    EXPECT_EQ(p.savedAt, 1234567u);
    EXPECT_EQ(p.manualCoefficients, 0);
    EXPECT_EQ(p.characteristic, 1);
    EXPECT_EQ(p.designationSelector, "0");
    EXPECT_EQ(p.units[24], "cSt");  // taken from slot 16 before 5.09
    // Inside diameters of old files become outside diameters.
    EXPECT_DOUBLE_EQ(p.valveData[kVdInletPipeOD], 13 + 2 * 15);
    EXPECT_DOUBLE_EQ(p.valveData[kVdOutletPipeOD], 14 + 2 * 16);
    EXPECT_DOUBLE_EQ(p.valveData[9], 0);
    EXPECT_DOUBLE_EQ(p.selectedDn, p.valveData[kVdInletSize]);
    EXPECT_DOUBLE_EQ(p.selectedKvs, p.valveData[kVdKvs]);
    EXPECT_EQ(p.selectedCharacteristic, 1);
    EXPECT_TRUE(p.pieces.empty());
}

TEST(ProjectFile, OldCharacteristicTextsAndCodeExchange) {
    for (const auto& [text, code] : std::vector<std::pair<std::string, int>>{{"LIN", 0}, {"ROVN", 1}, {"MOD", 2}, {"On-Off", 3}, {"xyz", 0}}) {
        // clang before 16 cannot capture a structured binding: capture a copy under a name.
        auto bytes = OldProject(510, 5.1, 0, [name = text](ArchiveWriter& w) { w.WriteText(name); }, [](ArchiveWriter&) {});
        EXPECT_EQ(ReadProject(bytes, "v", Context()).positions[0].characteristic, code) << text;
    }
    // 5.14 up to 7.02 stored 1 and 2 the other way round.
    auto swapped = OldProject(514, 5.14, 0, [](ArchiveWriter& w) { w.WriteInt32(1); }, [](ArchiveWriter&) {});
    EXPECT_EQ(ReadProject(swapped, "v", Context()).positions[0].characteristic, 2);
    auto kept = OldProject(702, 7.02, 0, [](ArchiveWriter& w) { w.WriteInt32(1); },
                           [](ArchiveWriter& w) { w.WriteInt32(0); });
    EXPECT_EQ(ReadProject(kept, "v", Context()).positions[0].characteristic, 1);
}

TEST(ProjectFile, OldResultRowsAreMoved) {
    // Before 5.06 a liquid kept the noise input in row 3.
    auto liquid = OldProject(505, 5.05, 1, [](ArchiveWriter& w) { w.WriteText("LIN"); }, [](ArchiveWriter&) {});
    const auto liquidDoc = ReadProject(liquid, "v", Context());
    const auto& l = liquidDoc.positions[0];
    EXPECT_EQ(l.resultTexts[kResDLi][1], "r31");
    EXPECT_EQ(l.resultTexts[kResVelocity][1], "");
    // Before 5.04 a gas had no valid regime row.
    auto gas = OldProject(503, 5.03, 3, [](ArchiveWriter& w) { w.WriteText("LIN"); }, [](ArchiveWriter&) {});
    const auto gasDoc = ReadProject(gas, "v", Context());
    const auto& g = gasDoc.positions[0];
    EXPECT_EQ(g.resultTexts[kResRegime][0], "");
    EXPECT_EQ(g.resultTexts[kResKv][0], "r00");
    EXPECT_EQ(g.resultTexts[kResVelocity][0], "r30");
}

TEST(ProjectFile, Version712ConvertsPipeDiametersAnd803DoesNot) {
    auto tail712 = [](ArchiveWriter& w) {
        w.WriteInt32(0);  // spec items
        w.WriteInt32(0);  // title block
        w.WriteInt32(0); w.WriteDouble(0); w.WriteDouble(0);
        w.WriteText(""); w.WriteText("");
        w.WriteText("1");
        w.WriteInt32(0);  // manual valve
        w.WriteInt32(0);  // pairs
    };
    auto v712 = OldProject(712, 7.12, 0, [](ArchiveWriter& w) { w.WriteInt32(0); }, tail712);
    EXPECT_DOUBLE_EQ(ReadProject(v712, "v", Context()).positions[0].valveData[kVdInletPipeOD], 13 + 30);
    auto v713 = OldProject(713, 7.13, 0, [](ArchiveWriter& w) { w.WriteInt32(0); }, tail712);
    EXPECT_DOUBLE_EQ(ReadProject(v713, "v", Context()).positions[0].valveData[kVdInletPipeOD], 13);
}

TEST(ProjectFile, Version3StoresElevenValues) {
    ArchiveWriter w;
    w.WriteInt32(3);
    for (int i = 0; i < 6; ++i) w.WriteText("");
    w.WriteInt32(1);
    OldPosition p{3.0, w};
    p.Common(0);
    for (int i = 0; i < 11; ++i) w.WriteDouble(i + 1);
    auto doc = ReadProject(w.bytes(), "v3", Context());
    const auto& vd = doc.positions[0].valveData;
    EXPECT_DOUBLE_EQ(vd[0], 1);
    EXPECT_DOUBLE_EQ(vd[1], 5);  // the last of four
    for (int i = 2; i <= 7; ++i) EXPECT_DOUBLE_EQ(vd[i], i + 4);  // no diameter conversion
    EXPECT_EQ(doc.positions[0].characteristic, 0);
    EXPECT_EQ(doc.positions[0].rowIdList, "");
}

TEST(ProjectFile, SeriesRefreshFollowsTheTable) {
    SeriesTable table = {{"[0:V-9][1:X]", "nine"}, {"[0:V-1][5:V-1-ACME]", "one"}};
    auto pos = FullPosition();
    pos.designationSelector = "0";
    pos.designation = "V-1";
    pos.titleBlock.pairs = {{"ozn", "V-1 DN50"}};
    pos.specItems = {{71, "[2:Valve V-1 type]", "", "", "", ""}, {106, "[2:PN16]", "", "", "", ""}};
    pos.valveData[kVdInletSize] = 50;
    ProjectDocument doc;
    doc.positions = {pos};
    auto ctx = Context(&table);
    auto back = ReadProject(StoreProject(doc, 2), "refresh", ctx);
    const auto& p = back.positions[0];
    EXPECT_EQ(p.seriesFlag, 1);
    EXPECT_EQ(p.seriesValue, "one");
    EXPECT_EQ(p.designation, "V-1-ACME");
    EXPECT_EQ(p.titleBlock.Value("ozn"), "V-1-ACME DN50");
    EXPECT_EQ(ItemText(71, p.specItems, 2), "Valve V-1-ACME type");
    EXPECT_EQ(ItemText(201, p.specItems, 2), "DN50");
    // The selector follows the refreshed designation, so the next open still finds the series.
    EXPECT_EQ(p.designationSelector, ctx.companyIndex);
    const auto again = ReadProject(StoreProject(back, 2), "refresh", ctx).positions[0];
    EXPECT_EQ(again.seriesFlag, 1);
    EXPECT_EQ(again.designation, "V-1-ACME");

    // An item 71 whose section holds a "[": a second open and save changes nothing.
    pos.specItems[0].text = "[2:Valve V-1 [x]]";
    doc.positions = {pos};
    const auto once = StoreProject(ReadProject(StoreProject(doc, 2), "refresh", ctx), 2);
    EXPECT_EQ(StoreProject(ReadProject(once, "refresh", ctx), 2), once);

    // Not in the table: flag 0, empty value, designation kept.
    doc.positions[0].designation = "Z-7";
    auto other = ReadProject(StoreProject(doc, 2), "refresh", ctx);
    EXPECT_EQ(other.positions[0].seriesFlag, 0);
    EXPECT_EQ(other.positions[0].seriesValue, "");
    EXPECT_EQ(other.positions[0].designation, "Z-7");
}

// Chains in the series table (one series' company designation is another's plain one, sections
// missing for the company index, designations inside each other): whatever the first open
// refreshes, a second open and save of the saved file changes nothing.
TEST(ProjectFile, SeriesRefreshSettlesAfterOneOpen) {
    const std::vector<std::string> names = {"V-1", "V-2", "V-1-A", "V"};
    const std::vector<std::string> selectors = {"0", "5", "7"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::size_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::size_t>((seed >> 16) % n);
    };
    for (int round = 0; round < 400; ++round) {
        SeriesTable table;
        for (std::size_t e = 0, count = 1 + next(3); e < count; ++e) {
            std::string key;
            for (const auto& s : selectors)
                if (s == "0" || next(2)) key += "[" + s + ":" + names[next(names.size())] + "]";
            table[key + " (s" + std::to_string(e) + ")"] = "file" + std::to_string(e);
        }
        auto pos = FullPosition();
        pos.designationSelector = selectors[next(selectors.size())];
        pos.designation = names[next(names.size())];
        pos.titleBlock.pairs = {{"ozn", pos.designation + " DN50"}};
        pos.specItems = {{71, "[2:" + pos.designation + " x]", "", "", "", ""}};
        ProjectDocument doc;
        doc.positions = {pos};
        const auto ctx = Context(&table);
        const auto once = StoreProject(ReadProject(StoreProject(doc, 2), "chain", ctx), 2);
        ASSERT_EQ(StoreProject(ReadProject(once, "chain", ctx), 2), once) << round;
    }
}

TEST(ProjectFile, TruncatedAndCorruptFilesAreRefused) {
    ProjectDocument doc;
    doc.positions = {FullPosition()};
    auto bytes = StoreProject(doc, 2);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_THROW(ReadProject(prefix, "cut.tkp", Context()), ArchiveError) << n;
    }
    // A position count far beyond the file is an error, not an allocation.
    auto huge = bytes;
    std::size_t countOffset = 4 + 6;  // the six empty texts are one byte each
    huge[countOffset] = 0xFF; huge[countOffset + 1] = 0xFF; huge[countOffset + 2] = 0xFF; huge[countOffset + 3] = 0x7F;
    EXPECT_THROW(ReadProject(huge, "huge.tkp", Context()), ArchiveError);
    try {
        ReadProject(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 40), "named.tkp", Context());
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("named.tkp"), std::string::npos);
    }
}

TEST(ProjectFile, NonFiniteValuesNeverReachTheModel) {
    ProjectDocument doc;
    doc.positions = {ValvePosition{}};
    doc.positions[0].values[0][0] = std::numeric_limits<double>::quiet_NaN();
    doc.positions[0].valveData[0] = std::numeric_limits<double>::infinity();
    auto back = ReadProject(StoreProject(doc, 2), "nan", Context());
    EXPECT_EQ(back.positions[0].values[0][0], 0.0);
    EXPECT_EQ(back.positions[0].valveData[0], 0.0);
}

TEST(ProjectFile, FailedSaveKeepsTheOldFile) {
    auto dir = std::filesystem::temp_directory_path() / ("tarvik_project_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ProjectDocument doc;
    doc.project = "first";
    SaveProject(doc, dir / "a.tkp", 2);
    EXPECT_EQ(LoadProject(dir / "a.tkp", Context()).project, "first");
    // The target is a folder: the save fails and reports it; nothing else is touched.
    std::filesystem::create_directories(dir / "b.tkp");
    EXPECT_THROW(SaveProject(doc, dir / "b.tkp", 2), ArchiveError);
    EXPECT_EQ(LoadProject(dir / "a.tkp", Context()).project, "first");
    EXPECT_THROW(LoadProject(dir / "missing.tkp", Context()), ArchiveError);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// The fuzz seeds are valid files of several versions; they must keep loading.
TEST(ProjectFile, FuzzSeedsLoad) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TARVIK_SOURCE_DIR) + "/fuzz/corpus/project")) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NO_THROW(ReadProject(bytes, entry.path().string(), Context())) << entry.path();
        ++count;
    }
    EXPECT_GE(count, 5u);
}

}  // namespace
}  // namespace tarvik
