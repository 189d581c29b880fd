#include <cmath>
#include <filesystem>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "calc/steam_tables.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "project/position_commands.hpp"
#include "project/position_form.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

class PositionFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseLanguage(2);
        doc.defaultFlowUnit = "m3/h";
        doc.defaultPressureUnit = "bar";
        doc.defaultTemperatureUnit = "°C";
        context.now = [] { return 1700000000u; };
    }

    // Water, 10 m3/h from 10 to 9 bar at 20 °C, FL 0.9: Kv = 10 * sqrt(1 / 1) = 10.
    ValvePosition WaterPosition(const std::string& name = "FV-1") {
        ValvePosition p;
        p.name = name;
        p.mediumState = 0;
        auto set = [&](int slot, double v, const char* unit) {
            p.values[slot] = {v, 0, 0};
            p.units[slot] = unit;
        };
        set(2, 10, "m3/h");
        set(4, 10, "bar");
        set(5, 9, "bar");
        set(10, 20, "°C");
        set(28, 1, "cSt");
        set(14, 2.34, "kPa");
        set(15, 22.12, "MPa");
        set(12, 1000, "kg/m3");
        set(7, 0.9, "");
        set(21, 1, "");
        set(23, 0.5, "");
        p.characteristic = 0;
        return p;
    }

    std::vector<int> Messages() const { return messages; }

    ProjectDocument doc;
    FormContext context;
    std::vector<int> messages;
    ScopedMessageSink sink{[this](const Message& m) { messages.push_back(m.number); }};
};

TEST_F(PositionFormTest, RowLayoutLabelsAndRowIdList) {
    EXPECT_EQ(RowIdListFor(0), "2;4;5;10;28;14;15;12;22;7;21;23;");
    EXPECT_EQ(RowIdListFor(3), "2;4;5;10;28;12;8;9;11;7;21;6;");
    EXPECT_EQ(ParseRowIdList("2;x;40;;5;123456789;7"), (std::vector<int>{2, 5, 7}));

    ValvePosition p = WaterPosition();
    p.mediumState = 3;
    p.gaugePressures = 1;
    doc.positions.push_back(p);
    PositionForm form(context);
    ASSERT_TRUE(form.ShowPosition(doc, 0));
    EXPECT_EQ(form.rowIdList, RowIdListFor(3));
    EXPECT_EQ(form.rows[1].labelNumber, 62031);  // gauge labels; the values stay in slots 4 and 5
    EXPECT_EQ(form.rows[2].labelNumber, 62032);
    EXPECT_EQ(form.rows[1].slot, 4);
    EXPECT_EQ(form.resultLabels[3], 62030);
    EXPECT_EQ(form.resultUnits[3], "-");
    EXPECT_EQ(form.mediumText, "[]");
    EXPECT_GT(RowLabelText(62003).size(), 99u);
    EXPECT_EQ(RowLabelText(62003).rfind("Flow Q . .", 0), 0u);
}

TEST_F(PositionFormTest, EnablingByMediumPointsAndAdministratorMode) {
    ValvePosition p = WaterPosition();
    p.pointEnabled = {1, 0, 1};
    p.manualCoefficients = 1;
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    // Water: the steam tables fill rows 4 to 8; coefficients only in administrator mode.
    EXPECT_TRUE(form.rows[3].editEnabled[0]);
    EXPECT_FALSE(form.rows[3].editEnabled[1]);
    EXPECT_FALSE(form.rows[5].editEnabled[0]);
    EXPECT_FALSE(form.rows[5].unitEnabled);
    EXPECT_FALSE(form.rows[8].unitEnabled);
    EXPECT_FALSE(form.rows[9].editEnabled[0]);
    EXPECT_FALSE(form.rows[10].unitShown);

    form.context().admin = true;
    form.ApplyEnabling();
    EXPECT_TRUE(form.rows[9].editEnabled[0]);
    EXPECT_TRUE(form.rows[11].editEnabled[2]);
    EXPECT_FALSE(form.rows[11].editEnabled[1]);

    form.selectedMedium = Medium{};
    form.ChangeMediumState(doc, 3);
    EXPECT_TRUE(form.selectedMedium.has_value());
    EXPECT_TRUE(MediumControlsFor(3).mediumFieldsShown);
    EXPECT_EQ(MediumControlsFor(2).propertiesButtonText, 63055);
    EXPECT_TRUE(form.rows[5].editEnabled[0]);
    EXPECT_TRUE(form.rows[5].unitEnabled);
    EXPECT_FALSE(form.rows[7].unitShown);
    EXPECT_EQ(form.rows[5].unitNames, (std::vector<std::string>{"kg/m3", "kg/Nm3"}));
}

TEST_F(PositionFormTest, UnitPreselection) {
    ValvePosition p = WaterPosition();
    p.units[2] = "";         // empty: the document's default flow unit
    p.units[4] = "psi";      // stored name
    p.units[14] = "furlong"; // not in the list: fallback index 2
    p.units[15] = "";        // kind 1 without a name: the default pressure unit
    doc.defaultFlowUnit = "l/min";
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    EXPECT_EQ(form.rowUnits[0], "l/min");
    EXPECT_EQ(form.rowUnits[1], "psi");
    EXPECT_EQ(form.rowUnits[5], "kPa");
    EXPECT_EQ(form.rowUnits[6], "bar");
    EXPECT_EQ(form.rowUnits[8], "m/s");
    EXPECT_EQ(form.rowUnits[9], "");
}

TEST_F(PositionFormTest, ShowThenStoreKeepsEveryValue) {
    ValvePosition p = WaterPosition();
    p.pointEnabled = {1, 1, 1};
    for (int s = 0; s < kSlotCount; ++s)
        for (int i = 0; i < kPointCount; ++i) p.values[s][i] = 0.1 + 0.2 + s * 1e-13 + i / 3.0;
    p.values[4] = {1e-300, 123456789.123456789, -0.000123456789012345};
    p.values[10] = {20, 30, 40};
    for (int k = 0; k < kValveDataCount; ++k) p.valveData[k] = k / 7.0;
    p.valveData[kVdMaxPressure] = 1e9;
    p.valveData[kVdMaxTemperature] = 1e9;
    p.maxPressureUnit = "bar";
    p.maxTemperatureUnit = "°C";
    p.pipeTexts = {"a", "b", "c", "d", "e", "f"};
    p.note = "note";
    p.characteristic = 2;
    p.manualValve = 1;
    const ValvePosition before = p;
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    ASSERT_TRUE(form.StorePosition(doc).ok());
    const ValvePosition& after = doc.positions[0];
    for (int s = 0; s < kSlotCount; ++s) {
        for (int i = 0; i < kPointCount; ++i) EXPECT_EQ(after.values[s][i], before.values[s][i]) << s << "/" << i;
        if (s != 22) {
            EXPECT_EQ(after.units[s], before.units[s]) << s;
        }
    }
    EXPECT_EQ(after.units[22], "m/s");
    EXPECT_EQ(after.valveData, before.valveData);
    EXPECT_EQ(after.pipeTexts, before.pipeTexts);
    EXPECT_EQ(after.characteristic, 2);
    EXPECT_EQ(after.manualValve, 1);
    EXPECT_EQ(after.rowIdList, RowIdListFor(0));
    EXPECT_EQ(after.savedAt, 1700000000u);
}

TEST_F(PositionFormTest, StoreReadsEditsWithEitherSeparatorAndKeepsNumbersOnUnitChange) {
    test::NumericLocale c("C");
    doc.positions.push_back(WaterPosition());
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    form.grid[kRowQ][0].SetText("2,5");
    form.rowUnits[kRowQ] = "l/h";  // a unit change converts nothing
    form.pointEnabled[1] = false;
    form.grid[kRowQ][1].SetText("99");  // a disabled point is not stored
    form.StorePosition(doc);
    EXPECT_EQ(doc.positions[0].values[2][0], 2.5);
    EXPECT_EQ(doc.positions[0].values[2][1], 0);
    EXPECT_EQ(doc.positions[0].units[2], "l/h");

    ProjectDocument empty;
    PositionForm none(context);
    EXPECT_EQ(none.StorePosition(empty).message, 63013);
    EXPECT_EQ(Messages().back(), 63013);
}

TEST_F(PositionFormTest, MaximaAreRaisedInTheRowUnit) {
    ValvePosition p = WaterPosition();
    p.valveData[kVdMaxPressure] = 1.6;  // MPa from the position dialog
    p.maxPressureUnit = "MPa";
    p.valveData[kVdMaxTemperature] = 10;
    p.maxTemperatureUnit = "°C";
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    form.StorePosition(doc);
    // 1.6 MPa is 16 bar, above the 10 bar inlet pressure: kept, now in bar.
    EXPECT_DOUBLE_EQ(doc.positions[0].valveData[kVdMaxPressure], 16);
    EXPECT_EQ(doc.positions[0].maxPressureUnit, "bar");
    EXPECT_DOUBLE_EQ(doc.positions[0].valveData[kVdMaxTemperature], 20);
    form.SetValue(kRowP1, 0, 25);
    form.StorePosition(doc);
    EXPECT_DOUBLE_EQ(doc.positions[0].valveData[kVdMaxPressure], 25);
}

TEST_F(PositionFormTest, CalculateWaterStoresResultsAndResetsItems) {
    test::NumericLocale c("C");
    ValvePosition p = WaterPosition();
    p.resultTexts[kResKv] = {"old", "old2", "old3"};
    p.specItems = {{55, "[0:x][1:x][2:x][3:x]", "", "", "", ""}, {57, "[2:y]", "", "", "", ""}};
    doc.positions.push_back(p);
    const CalculateResult r = CalculatePosition(doc, 0, context);
    ASSERT_TRUE(r.check.ok()) << r.check.message;
    ASSERT_TRUE(r.computed);
    EXPECT_DOUBLE_EQ(r.results[0].Kv, 10.0);
    const ValvePosition& after = doc.positions[0];
    EXPECT_EQ(after.resultTexts[kResKv][0], "10");
    EXPECT_EQ(after.resultTexts[kResOpening][0], "0");  // no Kvs
    EXPECT_EQ(after.resultTexts[kResKv][1], "");        // a disabled point's texts are emptied
    EXPECT_EQ(ItemText(55, after.specItems, 2), "");
    EXPECT_EQ(ItemText(57, after.specItems, 2), "");
    EXPECT_EQ(after.savedAt, 1700000000u);
    EXPECT_TRUE(doc.modified);

    // A valve too small: the warning goes into the summary and marks the Kv field; the next
    // run refuses until a larger valve is chosen.
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    form.SetField(kVdKvs, 5);
    CalculateResult small = form.Calculate(doc);
    ASSERT_TRUE(small.computed);
    EXPECT_NE(small.summary.find(GetText(63056)), std::string::npos);
    EXPECT_NE(small.controlFlags.find(";1078;"), std::string::npos);
    EXPECT_EQ(doc.positions[0].valveData[kVdKvs], 5);
    EXPECT_EQ(form.Calculate(doc).check.message, 63031);
}

TEST_F(PositionFormTest, CalculateRefusesBadInputAndRewritesNegativeP2) {
    test::NumericLocale c("C");
    ValvePosition p = WaterPosition();
    p.values[2][0] = 0;
    doc.positions.push_back(p);
    CalculateResult r = CalculatePosition(doc, 0, context);
    EXPECT_EQ(r.check.message, 63107);
    EXPECT_EQ(Messages().back(), 63107);
    EXPECT_EQ(doc.positions[0].resultTexts[kResKv][0], "");
    EXPECT_EQ(doc.positions[0].savedAt, 0u);  // nothing stored

    // -1 bar as outlet pressure is a drop of 1 bar: p2 becomes 9 bar, Kv stays 10.
    doc.positions[0] = WaterPosition();
    doc.positions[0].values[5][0] = -1;
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    r = form.Calculate(doc);
    ASSERT_TRUE(r.check.ok());
    EXPECT_EQ(form.grid[kRowP2][0].text(), "9");
    EXPECT_EQ(doc.positions[0].values[5][0], 9);
    EXPECT_DOUBLE_EQ(r.results[0].Kv, 10.0);

    // Without any characteristic and no catalogue valve the run refuses.
    form.characteristicText.clear();
    EXPECT_EQ(form.Calculate(doc).check.message, 63032);
}

TEST_F(PositionFormTest, PositionDialogChecks) {
    doc.positions.push_back(WaterPosition("A"));
    doc.positions.push_back(WaterPosition("B"));
    doc.currentPosition = 0;
    PositionDialogValues v = PositionDialogValuesOf(doc.positions[0]);
    v.name = "";
    EXPECT_EQ(CheckPositionDialog(doc, PositionDialogMode::New, v).message, 63036);
    v.name = "C";
    v.mediumState = -1;
    EXPECT_EQ(CheckPositionDialog(doc, PositionDialogMode::New, v).field, DialogField::MediumState);
    v.mediumState = 1;
    v.name = "B";
    EXPECT_EQ(CheckPositionDialog(doc, PositionDialogMode::New, v).message, 63038);
    EXPECT_EQ(CheckPositionDialog(doc, PositionDialogMode::Edit, v).message, 63039);
    EXPECT_EQ(CheckPositionDialog(doc, PositionDialogMode::Copy, v).message, 63040);
    v.name = "A";  // keeping its own name is no rename
    EXPECT_TRUE(CheckPositionDialog(doc, PositionDialogMode::Edit, v).ok());
    EXPECT_EQ(Messages(), (std::vector<int>{63036, 63037, 63038, 63039, 63040}));
}

TEST_F(PositionFormTest, NewEditCopyAndDelete) {
    PositionForm form(context);
    PositionDialogValues v = NewPositionDialogValues(doc);
    v.name = "N1";
    v.mediumState = 3;
    v.maxPressure = "16,5";
    ASSERT_TRUE(NewPosition(form, doc, v).ok());
    ASSERT_EQ(doc.positions.size(), 1u);
    EXPECT_EQ(doc.currentPosition, 0);
    EXPECT_EQ(form.pointEnabled, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(form.Value(kRowQ, 0), 0);
    EXPECT_EQ(form.rowUnits[kRowP1], "bar");
    EXPECT_EQ(doc.positions[0].valveData[kVdMaxPressure], 16.5);
    EXPECT_EQ(doc.positions[0].maxPressureUnit, "bar");

    form.SetValue(kRowQ, 0, 42);  // an edit in the form survives the edit command
    v.name = "N1-renamed";
    v.mediumState = 1;
    ASSERT_TRUE(EditPosition(form, doc, v).ok());
    EXPECT_EQ(doc.positions[0].name, "N1-renamed");
    EXPECT_EQ(doc.positions[0].values[2][0], 42);
    EXPECT_EQ(form.rowIdList, RowIdListFor(1));

    doc.positions[0].specItems = {{10, "[2:x]", "c", "a", "code", "T"}};
    doc.positions[0].titleBlock.pairs = {{"kks", "N1-renamed"}, {"ozn", "V"}};
    doc.positions[0].resultTexts[0][0] = "5";
    v.name = "N2";
    ASSERT_TRUE(CopyPosition(form, doc, v).ok());
    ASSERT_EQ(doc.positions.size(), 2u);
    const ValvePosition& copy = doc.positions[1];
    EXPECT_EQ(doc.currentPosition, 1);
    EXPECT_EQ(copy.values[2][0], 42);
    EXPECT_EQ(copy.titleBlock.Value("kks"), "N2");
    EXPECT_EQ(copy.titleBlock.Value("ozn"), "V");
    EXPECT_EQ(copy.specItems[0].typeCode, "");
    EXPECT_EQ(copy.specItems[0].code, "code");
    EXPECT_EQ(copy.resultTexts[0][0], "");

    EXPECT_FALSE(DeletePosition(form, doc, [](const std::string&) { return false; }));
    std::string question;
    EXPECT_TRUE(DeletePosition(form, doc, [&](const std::string& q) {
        question = q;
        return true;
    }));
    EXPECT_EQ(question, "Delete the position N2?");
    EXPECT_EQ(doc.positions.size(), 1u);
    EXPECT_EQ(doc.currentPosition, -1);
    EXPECT_EQ(form.mediumState, -1);
    EXPECT_FALSE(form.positionButtonsEnabled);
    EXPECT_FALSE(form.rows[0].editEnabled[0]);
    EXPECT_EQ(EditPosition(form, doc, v).message, 63013);
}

TEST_F(PositionFormTest, OperatingPointCommands) {
    doc.positions.push_back(WaterPosition());
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    CopyPoint(form, 0);
    EXPECT_TRUE(form.pointEnabled[1]);
    EXPECT_TRUE(form.rows[0].editEnabled[1]);
    EXPECT_EQ(form.Value(kRowP1, 1), 10);
    CopyPoint(form, 1);
    EXPECT_EQ(form.Value(kRowFl, 2), 0.9);
    CopyPoint(form, 2);  // no fourth point
    ClearPoint(form, 1);
    for (int r = 0; r < kFormRows; ++r) EXPECT_EQ(form.Value(r, 1), 0);
    form.results[2].Kv = 5;
    SetPointEnabled(form, 2, false);
    EXPECT_FALSE(form.results[2].computed);
    EXPECT_EQ(form.results[2].Kv, 0);
    EXPECT_FALSE(form.rows[0].editEnabled[2]);
}

TEST_F(PositionFormTest, WaterAndSteamPropertiesFromTheSteamTables) {
    ValvePosition p = WaterPosition();
    p.values[10][0] = 0;  // 0 °C: saturation temperature at p1
    p.values[23][0] = 0;
    p.units[14] = "bar";
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    ASSERT_TRUE(ApplyMediumProperties(form, doc).ok());
    const double Tsat = BoundaryTemperature(1.0);
    EXPECT_NEAR(form.Value(kRowT1, 0), Tsat - 273.15, 1e-9);
    EXPECT_NEAR(form.Value(kRowSeventh, 0), LiquidDensity(Tsat, 1.0), 0.01);
    EXPECT_NEAR(form.Value(kRowFifth, 0), 10, 0.01);  // vapour pressure at saturation, in bar
    EXPECT_EQ(form.Value(kRowSixth, 0), 22.12);
    EXPECT_GT(form.Value(kRowEighth, 0), 1000);
    EXPECT_GT(form.Value(kRowNy, 0), 0);
    EXPECT_EQ(form.Value(kRowNinth, 0), 0.5);

    // Water hotter than saturation is refused; nothing is filled.
    form.SetValue(kRowT1, 0, 250);
    form.SetValue(kRowSeventh, 0, 1);
    EXPECT_EQ(ApplyMediumProperties(form, doc).message, 63017);
    EXPECT_EQ(form.Value(kRowSeventh, 0), 1);

    form.mediumState = 2;
    form.SetUpRows(doc, doc.Current());
    form.SetValue(kRowT1, 0, 100);  // below saturation at 10 bar: no steam
    EXPECT_EQ(ApplyMediumProperties(form, doc).message, 63016);
    form.SetValue(kRowT1, 0, 250);
    ASSERT_TRUE(ApplyMediumProperties(form, doc).ok());
    EXPECT_NEAR(form.Value(kRowFifth, 0), VapourDensity(523.15, 1.0), 0.001);
    EXPECT_EQ(form.Value(kRowSixth, 0), 18.016);
    EXPECT_EQ(form.Value(kRowEighth, 0), 1.3);

    form.SetValue(kRowQ, 0, 0);
    EXPECT_EQ(ApplyMediumProperties(form, doc).message, 63107);
}

TEST_F(PositionFormTest, LiquidAndGasPropertiesFromTheMedia) {
    ValvePosition p = WaterPosition();
    p.mediumState = 1;
    p.values[14][0] = 0;
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    Medium oil;
    oil.name = "Oil";
    oil.name2 = "light";
    oil.phase = kPhaseLiquid;
    oil.density = 850;
    oil.vapourPressure = 0.001;
    oil.criticalPressure = 2;
    oil.viscosity = 10;
    oil.soundSpeed = 1300;
    ASSERT_TRUE(ChooseMedium(form, doc, oil).ok());
    EXPECT_EQ(form.mediumText, "Oil [light]");
    EXPECT_EQ(form.Value(kRowSeventh, 0), 850);
    EXPECT_EQ(form.Value(kRowNy, 0), 10);  // cSt stays cSt
    EXPECT_EQ(form.Value(kRowSixth, 0), 2);
    EXPECT_EQ(form.Value(kRowEighth, 0), 1300);
    form.StorePosition(doc);
    EXPECT_EQ(doc.positions[0].mediumName, "Oil ");
    EXPECT_EQ(doc.positions[0].mediumTag, "light");

    // A gas without a medium: the molar mass follows from the operating density.
    form.mediumState = 3;
    form.selectedMedium.reset();
    form.SetUpRows(doc, nullptr);
    form.rowUnits[kRowP1] = "bar";
    form.rowUnits[kRowT1] = "°C";
    form.SetValue(kRowQ, 0, 100);
    form.SetValue(kRowP1, 0, 10);
    form.SetValue(kRowP2, 0, 5);
    form.SetValue(kRowT1, 0, 0);
    form.SetValue(kRowFifth, 0, 12.33);
    form.SetValue(kRowSixth, 0, 0);
    ASSERT_TRUE(ApplyMediumProperties(form, doc).ok());
    EXPECT_NEAR(form.Value(kRowSixth, 0), 12.33 * 8314 * 273.15 / 1.0 / 1e6, 0.01);
}

TEST_F(PositionFormTest, SeriesSelectionAndCatalogueValve) {
    const auto dir = std::filesystem::temp_directory_path() / "tarvik_form_series";
    std::filesystem::create_directories(dir);
    ValveSeries s;
    s.name = "V100";
    s.tableFlags = {0, 0, 0, 0, 0, 0};
    SeriesValve v;
    v.characteristic = 0;
    v.dn = 50;
    v.Kvs = 40;
    v.item54 = 16;
    v.item108 = 2.5;
    v.FLn = 0.7;
    v.tables[kSeriesFL] = {0.9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.8};
    v.tables[kSeriesFd] = {0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5};
    v.tables[kSeriesXFz] = {0.4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.4};
    s.valves = {v};
    s.textList = {{"a;b;", "", "", "", ""}, {"c;", "", "", "", ""}};
    SaveValveSeries(dir / "v100.dbv", s);
    SeriesTable table{{"V100 (Control valve)", dir / "v100.dbv"}, {"X200", ""}};
    context.seriesTable = &table;
    context.companyIndex = "1";

    ValvePosition p = WaterPosition();
    doc.positions.push_back(p);
    PositionForm form(context);
    form.ShowPosition(doc, 0);
    form.characteristicText = CharacteristicText(0);
    form.SetField(kVdInletSize, 50);
    form.SetField(kVdKvs, 40);
    ASSERT_TRUE(ChooseSeries(form, doc, "V100 (Control valve)").ok());
    EXPECT_EQ(form.designationText, "V100");
    EXPECT_EQ(form.seriesQualifier, "Control valve");
    EXPECT_EQ(form.selectedCandidate, 0);
    EXPECT_EQ(doc.positions[0].designationSelector, "1");
    EXPECT_EQ(doc.positions[0].seriesFlag, 1);

    EXPECT_EQ(ChooseSeries(form, doc, "Y300").message, 63021);
    EXPECT_EQ(ChooseSeries(form, doc, "X200").message, 63021);  // no file
    form.SetField(kVdKvs, 63);
    EXPECT_EQ(ChooseSeries(form, doc, "V100 (Control valve)").message, 63062);
    EXPECT_EQ(form.selectedCandidate, -1);

    // Applying the valve: coefficients at the point's Kv (10 of 40, linear: 25 % travel).
    form.results[0].Kv = 10;
    // The dialog sizes with the points that are on and computed.
    EXPECT_EQ(ComputedKv(form), (std::array<double, 3>{0, 0, 0}));
    form.results[0].computed = form.results[1].computed = true;
    form.results[1].Kv = 30;
    EXPECT_EQ(ComputedKv(form), (std::array<double, 3>{10, 0, 0}));
    doc.positions[0].titleBlock.pairs = {{"kks", "FV-1"}};
    ASSERT_TRUE(ApplyCatalogueValve(form, doc, 0));
    EXPECT_EQ(form.Field(kVdKvs), 40);
    EXPECT_EQ(form.Field(kVdOutletSize), 50);
    EXPECT_EQ(form.positionValues[kVdNoise2], 0.7);
    EXPECT_EQ(form.Value(kRowFd, 0), 0.5);
    EXPECT_EQ(form.Value(kRowNinth, 0), 0.4);
    EXPECT_LT(form.Value(kRowFl, 0), 0.9);
    EXPECT_GT(form.Value(kRowFl, 0), 0.8);
    EXPECT_TRUE(doc.positions[0].titleBlock.pairs.empty());
    EXPECT_EQ(ItemText(54, doc.positions[0].specItems, 2), "16");
    EXPECT_EQ(ItemText(75, doc.positions[0].specItems, 2), "a;-b;c;");
    EXPECT_EQ(JoinedSeriesTexts(s), "a;-b;c;");

    // Calculating with the catalogue valve iterates its coefficients.
    form.results = {};
    const CalculateResult r = form.Calculate(doc);
    ASSERT_TRUE(r.check.ok()) << r.check.message;
    EXPECT_GT(r.results[0].opening, 0);
    EXPECT_EQ(doc.positions[0].selectedKvs, 40);
    EXPECT_EQ(form.ResultFlagged(1078), r.controlFlags.find(";1078;") != std::string::npos);

    // A batch over the project: each position finds its valve again, the file read once.
    std::map<std::filesystem::path, ValveSeries> cache;
    context.seriesCache = &cache;
    doc.positions.push_back(doc.positions[0]);
    doc.positions[1].name = "FV-2";
    std::filesystem::remove_all(dir);
    messages.clear();
    CalculatePosition(doc, 0, context);  // file gone: calculated without the valve
    EXPECT_EQ(messages.front(), 63020);
    EXPECT_TRUE(cache.empty());
    std::filesystem::create_directories(dir);
    SaveValveSeries(dir / "v100.dbv", s);
    for (int i = 0; i < 2; ++i) {
        const CalculateResult each = CalculatePosition(doc, i, context);
        ASSERT_TRUE(each.check.ok()) << each.check.message;
        EXPECT_GT(each.results[0].opening, 0);
        std::filesystem::remove_all(dir);
    }
    EXPECT_EQ(cache.size(), 1u);
}

}  // namespace
}  // namespace tarvik
