// The demo catalogue the build lays out in the program folder: every file loads through the
// program's own loaders without a message, its figures are plausible, every valve series feeds
// the calculation run, every drawing carries its layers and title-block placeholders, and the
// builder gives the same bytes from the same sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "calc/calculation_run.hpp"
#include "project/catalogue_valve_from_series.hpp"
#include "calc/travel.hpp"
#include "data/conditions.hpp"
#include "data/language.hpp"
#include "data/lang_text.hpp"
#include "data/media.hpp"
#include "data/messages.hpp"
#include "data/pipes.hpp"
#include "data/spec_catalogue.hpp"
#include "data/text_lines.hpp"
#include "data/type_designation.hpp"
#include "data/valve_series.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"
#include "units/unit_files.hpp"
#include "project/language_texts.hpp"

namespace fs = std::filesystem;

namespace tarvik {
namespace {

const fs::path kProgram = TARVIK_PROGRAM_DIR_FOR_TESTS;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class DemoCatalogue : public ::testing::Test {
protected:
    void SetUp() override { test::UseLanguage(2); }
    void TearDown() override {
        for (const Message& m : messages_) ADD_FAILURE() << "message " << m.number << ": " << m.text;
    }
    std::vector<Message> messages_;
    ScopedMessageSink sink_{[this](const Message& m) { messages_.push_back(m); }};
};

TEST_F(DemoCatalogue, UnitsGiveTheDefaultsAndConvertibleUserUnits) {
    LoadDefaultUnitNames(kProgram);
    EXPECT_EQ(DefaultUnitNames(), (DefaultUnits{"m3/h", "°C", "bar"}));
    LoadUserUnits(kProgram);
    const UnitDef* gpm = FindUserUnit("GPM", kQuantityVolumeFlow);
    ASSERT_NE(gpm, nullptr);
    EXPECT_NEAR(gpm->factor, 0.227124707, 1e-12);
    const UnitDef* mbar = FindUserUnit("mbar", kQuantityPressure);
    ASSERT_NE(mbar, nullptr);
    EXPECT_DOUBLE_EQ(mbar->factor, 1e-4);
    ASSERT_NE(FindUserUnit("lb/h", kQuantityMassFlow), nullptr);
    const UnitDef* rankine = FindUserUnit("°R", kQuantityTemperature);
    ASSERT_NE(rankine, nullptr);
    EXPECT_NEAR(rankine->factor * 491.67 + rankine->offset, 273.15, 1e-9);
}

TEST_F(DemoCatalogue, PipesMatchTheStandards) {
    const PipeCatalogue cat = LoadPipes(kProgram);
    ASSERT_FALSE(cat.fileRefused);
    const auto& pipes = cat.pipes;
    struct Spot { const char* kind; const char* size; const char* wall; double od, t; };
    // EN 10220 table 1 and ASME B36.10M table 1.
    const Spot spots[] = {
        {"EN 10220 seamless", "DN 15", "s 2", 21.3, 2.0},     {"EN 10220 seamless", "DN 50", "s 2.9", 60.3, 2.9},
        {"EN 10220 seamless", "DN 100", "s 3.6", 114.3, 3.6}, {"EN 10220 seamless", "DN 600", "s 17.5", 610.0, 17.5},
        {"EN 10220 welded", "DN 200", "s 4.5", 219.1, 4.5},   {"ASME B36.10M", "NPS 1/2", "Sch 80", 21.3, 3.73},
        {"ASME B36.10M", "NPS 2", "Sch 40", 60.3, 3.91},      {"ASME B36.10M", "NPS 1.1/2", "Sch 160", 48.3, 7.14},
        {"ASME B36.10M", "NPS 6", "Sch 40", 168.3, 7.11},     {"ASME B36.10M", "NPS 12", "Sch 40", 323.8, 10.31},
        {"ASME B36.10M", "NPS 24", "Sch 160", 610.0, 59.54},
    };
    for (const Spot& s : spots) {
        const Pipe* p = FindPipe(pipes, s.kind, s.size, s.wall);
        ASSERT_NE(p, nullptr) << s.kind << " " << s.size << " " << s.wall;
        EXPECT_DOUBLE_EQ(p->outsideDiameter, s.od) << s.size;
        EXPECT_DOUBLE_EQ(p->wallThickness, s.t) << s.size;
    }
    EXPECT_EQ(PipeKinds(pipes), (std::vector<std::string>{"ASME B36.10M", "EN 10220 seamless", "EN 10220 welded"}));
    EXPECT_EQ(PipeSizes(pipes, "EN 10220 welded").size(), 19u);
    const auto inch = PipeSizes(pipes, "ASME B36.10M");
    EXPECT_EQ(inch.front(), "NPS 1/2");
    EXPECT_EQ(inch.back(), "NPS 24");

    std::set<std::string> keys;
    std::map<std::string, double> odOfSize;
    for (const Pipe& p : pipes) {
        EXPECT_TRUE(keys.insert(p.kind + "|" + p.size + "|" + p.wall).second) << "duplicate " << p.size << " " << p.wall;
        EXPECT_GT(PipeSizeValue(p.size), 0) << p.size;
        EXPECT_DOUBLE_EQ(PipeWallValue(p.wall), p.wall.rfind("s ", 0) == 0 ? p.wallThickness : PipeWallValue(p.wall));
        // Thick-walled but still a pipe: D = OD - 2 t stays above half the outside diameter.
        EXPECT_GT(p.outsideDiameter - 2 * p.wallThickness, 0.5 * p.outsideDiameter) << p.size << " " << p.wall;
        // One outside diameter per size within a kind.
        const auto [it, fresh] = odOfSize.emplace(p.kind + p.size, p.outsideDiameter);
        if (!fresh) {
            EXPECT_EQ(it->second, p.outsideDiameter) << p.size;
        }
    }
    // A higher schedule of the same size never has a thinner wall.
    for (const auto& size : inch) {
        double previous = 0;
        for (const auto& wall : PipeWalls(pipes, "ASME B36.10M", size)) {
            const double t = FindPipe(pipes, "ASME B36.10M", size, wall)->wallThickness;
            EXPECT_GT(t, previous) << size << " " << wall;
            previous = t;
        }
    }
}

TEST_F(DemoCatalogue, MediaArePhysicallySoundAndNamedInEveryLanguage) {
    const MediaFile file = ReadMediaFile(kProgram / kSystemMediaFileName, MediaFileKind::System);
    EXPECT_DOUBLE_EQ(file.version, 8.03);
    const MediaCatalogue cat = LoadMedia(kProgram);
    ASSERT_EQ(cat.media.size(), file.records.size());
    ASSERT_GE(cat.media.size(), 40u);
    int liquids = 0, gases = 0;
    for (const MediaFileRecord& r : file.records) {
        for (int lang = 0; lang < 4; ++lang) EXPECT_FALSE(GetLangText(r.names, lang).empty()) << r.names;
        const Medium& m = r.medium;
        EXPECT_FALSE(m.note.empty()) << m.name;
        if (m.phase == kPhaseLiquid) {
            ++liquids;
            EXPECT_TRUE(m.density > 400 && m.density < 2000) << m.name;
            EXPECT_TRUE(m.vapourPressure > 0 && m.vapourPressure < m.criticalPressure) << m.name;
            EXPECT_TRUE(m.viscosity > 0.1 && m.viscosity < 2000) << m.name;
            EXPECT_TRUE(m.soundSpeed > 700 && m.soundSpeed < 2100) << m.name;
        } else {
            ++gases;
            // Normal density from the molar mass: M / (22.414 Z) kg/Nm3; Z is given at the reference
            // temperature, not at 0 °C, hence the 3 %.
            EXPECT_NEAR(m.normalDensity, m.molarMass / 22.414 / m.compressibility, 0.03 * m.normalDensity) << m.name;
            EXPECT_TRUE(m.kappa > 1.0 && m.kappa <= 1.67) << m.name;
            EXPECT_TRUE(m.compressibility > 0.95 && m.compressibility < 1.01) << m.name;
            EXPECT_GT(m.criticalPressure, 0) << m.name;
        }
    }
    EXPECT_GE(liquids, 20);
    EXPECT_GE(gases, 15);
}

// Water at 20 °C, 10 bar to 8 bar, sized for Kv = fraction x Kvs.
ProcessData LiquidPoint(const SeriesValve& v, const ValveSeries& s, double fraction) {
    ProcessData d;
    d.medium = MediumState::Liquid;
    d.units = {"m3/h", "bar", "bar", "°C", "cSt", "bar", "bar"};
    OperatingPoint& p = d.points[0];
    p.enabled = true;
    p.Q() = fraction * v.Kvs * std::sqrt(2.0 / 0.998);
    p.p1() = 10;
    p.p2() = 8;
    p.T1() = 20;
    p.ny() = 1.0;
    p.pv() = 0.0234;
    p.pc() = 220.64;
    p.ro1() = 998;
    p.cF() = 1480;
    d.Kvs = v.Kvs;
    d.d = d.D = v.dn;
    d.rw = v.rw;
    d.FLn = v.FLn;
    d.valve = ToCatalogueValve(v, s);
    d.characteristic = CharacteristicFromCode(v.characteristic);
    return d;
}

// Air at 20 °C, 10 bar to 8 bar, mass flow for about Kv = fraction x Kvs.
ProcessData GasPoint(const SeriesValve& v, const ValveSeries& s, double fraction) {
    ProcessData d = LiquidPoint(v, s, fraction);
    d.medium = MediumState::Gas;
    d.units = {"kg/h", "bar", "bar", "°C", "cSt", "kg/m3", "bar"};
    OperatingPoint& p = d.points[0];
    p.rho1() = 11.9;
    p.M() = 28.96;
    p.Z() = 1.0;
    p.gama() = 1.4;
    p.Q() = fraction * v.Kvs * 31.6 * 0.9 * std::sqrt(0.2 * 10 * 11.9);
    return d;
}

bool Smooth(const SeriesTable11& t) {
    // Neighbouring entries differ by less than a quarter of the table's span plus a little.
    const auto [lo, hi] = std::minmax_element(t.begin(), t.end());
    for (int i = 0; i < 10; ++i)
        if (std::fabs(t[static_cast<std::size_t>(i + 1)] - t[static_cast<std::size_t>(i)]) > 0.25 * (*hi - *lo) + 0.02) return false;
    return true;
}

class DemoSeries : public DemoCatalogue {
protected:
    void SetUp() override {
        DemoCatalogue::SetUp();
        drawings_ = fs::temp_directory_path() / ("tarvik_demo_drawings_" + std::to_string(::getpid()));
        fs::create_directories(drawings_);
        scan_ = ScanValveSeries(kProgram, drawings_);
    }
    void TearDown() override {
        fs::remove_all(drawings_);
        DemoCatalogue::TearDown();
    }
    fs::path drawings_;
    SeriesScan scan_;
};

TEST_F(DemoSeries, EverySeriesLoadsWithPlausibleCoefficients) {
    ASSERT_GE(scan_.table.size(), 5u);
    std::set<int> characteristics;
    bool liquidDLn = false, gasDLn = false, rotary = false;
    for (const auto& [display, path] : scan_.table) {
        ValveSeries s;
        ASSERT_TRUE(LoadValveSeries(path, s)) << path;
        EXPECT_EQ(s.rawVersion, 803);
        for (int lang = 0; lang < 4; ++lang) EXPECT_FALSE(GetLangText(s.description, lang).empty()) << display;
        EXPECT_NE(s.designationTemplate.find("{Nazev}"), std::string::npos) << display;
        EXPECT_NE(s.designationTemplate.find("[dn]"), std::string::npos) << display;
        EXPECT_NE(s.designationTemplate.find("[kvs]"), std::string::npos) << display;
        EXPECT_FALSE(s.ChoiceList().empty()) << display;
        EXPECT_FALSE(s.textList.empty()) << display;
        EXPECT_FALSE(s.numberList.empty()) << display;
        ASSERT_FALSE(s.valves.empty()) << display;
        for (const SeriesValve& v : s.valves) {
            // Rotary and ball valves recover more pressure than globe valves.
            const bool isRotary = v.tables[kSeriesFL][10] < 0.8;
            rotary = rotary || (isRotary && s.tableFlags[kSeriesFL] != 0);
            characteristics.insert(v.characteristic);
            const std::string where = display + " DN " + std::to_string(v.dn) + " Kvs " + std::to_string(v.Kvs);
            EXPECT_GT(v.Kvs, 0) << where;
            EXPECT_TRUE(v.minKv >= 0 && v.minKv < v.Kvs) << where;
            const CatalogueValve c = ToCatalogueValve(v, s);
            // Coefficients over the whole travel, as the run reads them.
            for (double h : {0.05, 0.3, 0.6, 1.0}) {
                const double kv = h * v.Kvs;
                auto at = [&](const SeriesTable11& t, int flag) {
                    return CoefficientAtTravel(t, kv, v.Kvs, s.tableFlags[static_cast<std::size_t>(flag)] != 0,
                                               CharacteristicFromCode(v.characteristic), c.Kv);
                };
                const double FL = at(v.tables[kSeriesFL], kSeriesFL), xT = at(v.tables[kSeriesXT], kSeriesXT);
                const double Fd = at(v.tables[kSeriesFd], kSeriesFd), xFz = at(v.tables[kSeriesXFz], kSeriesXFz);
                if (isRotary) {
                    EXPECT_TRUE(FL >= 0.5 && FL < 0.95) << where;
                    EXPECT_TRUE(xT >= 0.15 && xT <= 0.8) << where;
                } else {
                    EXPECT_TRUE(FL >= 0.8 && FL <= 0.95) << where << " FL " << FL;
                    EXPECT_TRUE(xT >= 0.6 && xT <= 0.85) << where << " xT " << xT;
                }
                EXPECT_TRUE(Fd >= 0.1 && Fd <= 1.0) << where << " Fd " << Fd;
                EXPECT_TRUE(xFz > 0.1 && xFz < 0.9) << where << " xFz " << xFz;
            }
            for (int t = 0; t < 6; ++t)
                if (s.tableFlags[static_cast<std::size_t>(t)]) {
                    EXPECT_TRUE(Smooth(v.tables[static_cast<std::size_t>(t)])) << where << " table " << t;
                }
            if (s.tableFlags[kSeriesDLnLiquid]) {
                liquidDLn = true;
                for (double x : v.tables[kSeriesDLnLiquid]) EXPECT_LT(x, 0) << where;
            }
            if (s.tableFlags[kSeriesDLnGas]) {
                gasDLn = true;
                for (double x : v.tables[kSeriesDLnGas]) EXPECT_LT(x, 0) << where;
            }
            if (v.characteristic == kCharTable) {
                EXPECT_TRUE(std::is_sorted(v.kvTable.begin(), v.kvTable.end())) << where;
                EXPECT_DOUBLE_EQ(v.kvTable[10], v.Kvs) << where;
            }
        }
    }
    EXPECT_EQ(characteristics, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(liquidDLn && gasDLn && rotary);
}

TEST_F(DemoSeries, EveryValveSizedAtAReasonableKvOpensWithinItsTravel) {
    for (const auto& [display, path] : scan_.table) {
        ValveSeries s;
        ASSERT_TRUE(LoadValveSeries(path, s)) << path;
        for (const SeriesValve& v : s.valves) {
            const std::string where = display + " DN " + std::to_string(v.dn) + " Kvs " + std::to_string(v.Kvs);
            for (bool gas : {false, true}) {
                if (gas && s.tableFlags[kSeriesDLnGas] == 0 && &v != &s.valves.front()) continue;
                ProcessData d = gas ? GasPoint(v, s, 0.4) : LiquidPoint(v, s, 0.5);
                const RunOutcome out = RunCalculation(d, CurrentLanguageTexts());
                ASSERT_TRUE(out.validation.ok()) << where << ": " << out.validation.message;
                const SizingResult& r = d.results[0];
                if (v.characteristic == kCharOnOff) {
                    EXPECT_FALSE(out.computed) << where;
                    continue;
                }
                ASSERT_TRUE(out.computed) << where;
                EXPECT_TRUE(r.opening > 0 && r.opening < 100) << where << (gas ? " gas" : " liquid") << " opening " << r.opening;
                EXPECT_TRUE(std::isfinite(r.noise) && r.noise >= 0) << where;
            }
        }
    }
}

TEST_F(DemoSeries, EveryDrawingHasItsLayersAndTitleBlockPlaceholders) {
    ASSERT_EQ(scan_.drawings.size(), scan_.table.size());
    for (const auto& [name, path] : scan_.drawings) {
        const std::string dwf = ReadAll(path);
        EXPECT_EQ(dwf.rfind("(DWF V00.42)", 0), 0u) << name;
        EXPECT_NE(dwf.find("(EndOfDWF)"), std::string::npos) << name;
        for (const char* layer : {"(Layer 1 BODY)", "(Layer 2 TITLE)", "CONNECTION_FLANGED", "CONNECTION_WELD",
                                  "OUTLET_EQUAL", "OUTLET_REDUCED", "ACTUATOR_A", "ACTUATOR_B"})
            EXPECT_NE(dwf.find(layer), std::string::npos) << name << " " << layer;
        // The template filler works on lines "(Text x,y '*key*...')", one placeholder each.
        const std::string tmpl = ReadAll(DrawingTemplatePath(path));
        for (const char* key : {"*zakaznik*", "*akce*", "*kks*", "*kreslil*", "*datum*", "*ozn*", "*VAHA*"}) {
            bool found = false;
            std::istringstream lines(tmpl);
            for (std::string line; std::getline(lines, line);)
                if (line.find(key) != std::string::npos) {
                    found = line.rfind("(Text ", 0) == 0 && line.back() == ')' && line.find('\'') != std::string::npos;
                    break;
                }
            EXPECT_TRUE(found) << name << " " << key;
        }
        // Every opening parenthesis closed: a viewer skips unknown groups by balance.
        int depth = 0;
        for (char ch : dwf) {
            depth += ch == '(' ? 1 : ch == ')' ? -1 : 0;
            EXPECT_GE(depth, 0) << name;
        }
        EXPECT_EQ(depth, 0) << name;
    }
}

TEST_F(DemoCatalogue, BitmapsAreWindowsBitmaps) {
    for (const char* name : {"TarB.tkd", "TarBW.tkd", "TarLB.tkd"}) {
        const std::string b = ReadAll(kProgram / name);
        ASSERT_GT(b.size(), 54u) << name;
        EXPECT_EQ(b.substr(0, 2), "BM") << name;
        auto u32 = [&](std::size_t at) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
        };
        EXPECT_EQ(u32(2), b.size()) << name;
        EXPECT_EQ(u32(10), 54u) << name;
        const std::uint32_t w = u32(18), h = u32(22);
        EXPECT_EQ(static_cast<std::uint32_t>(b.size()), 54 + (w * 3 + 3) / 4 * 4 * h) << name;
    }
}

TEST_F(DemoCatalogue, ActuatorCatalogueAndTorqueTablesLoad) {
    SpecCatalogue cat;
    ASSERT_TRUE(LoadSpecCatalogue(kProgram / "specpoh.tkd", cat));
    const SpecActuator* pa = cat.FindActuator("PA");
    ASSERT_NE(pa, nullptr);
    EXPECT_EQ(pa->codes, (std::array<std::string, 4>{"P", "D", "1", "2"}));
    std::set<std::pair<double, double>> ranges;
    for (const SpecRangeItem& r : pa->springs) ranges.insert({r.from, r.to});
    EXPECT_EQ(ranges, (std::set<std::pair<double, double>>{{20, 100}, {40, 200}, {80, 240}}));
    for (const SpecSizeItem& size : pa->sizes) {
        // The size is named by its diaphragm area in cm2; at 240 kPa the spring gives A x 24 N.
        ASSERT_FALSE(size.values.empty());
        EXPECT_EQ(size.values[0].name, "A");
        EXPECT_DOUBLE_EQ(size.values[0].value, std::stod(size.name));
        EXPECT_FALSE(SizeCode(size, cat.version).empty());
    }
    EXPECT_FALSE(cat.section2.empty());
    EXPECT_FALSE(cat.section3.empty());

    SpecTables tables;
    ASSERT_TRUE(LoadSpecTables(kProgram, tables));
    EXPECT_FALSE(tables.t06a.entries.empty());
    EXPECT_FALSE(tables.t06b.records.empty());
    for (const SpecCurveTable* t : {&tables.t07, &tables.t09, &tables.t10}) {
        ASSERT_FALSE(t->entries.empty());
        double previousDn = 0;
        for (const SpecCurveEntry& e : t->entries) {
            EXPECT_GT(e.key1, previousDn);
            previousDn = e.key1;
            // Rows by rising pressure drop, torque rising with it.
            double p = -1, m = 0;
            for (const SpecCurveRow& r : e.rows) {
                ASSERT_EQ(r.points.size(), 1u);
                EXPECT_GT(r.x, p);
                EXPECT_GT(r.points[0][1], m);
                p = r.x;
                m = r.points[0][1];
            }
        }
    }
}

TEST_F(DemoCatalogue, ConditionVariablesSelectTheSeriesChoices) {
    ConditionVariableList vars;
    ASSERT_TRUE(LoadConditionVariables(kProgram / "specpodm.tkd", vars));
    std::map<std::string, ConditionVariable*> byName;
    for (ConditionVariable& v : vars) byName[v.name] = &v;
    ASSERT_TRUE(byName.count("dn") && byName.count("pmax") && byName.count("tmax"));
    EXPECT_EQ(byName["tmax"]->unit, "°C");
    EXPECT_EQ(byName["pmax"]->kind, "p");
    byName["dn"]->value = 50;
    byName["pmax"]->value = 40;
    byName["tmax"]->value = 300;

    ValveSeries s;
    ASSERT_TRUE(LoadValveSeries(kProgram / "dbv" / "tv100.dbv", s));
    std::vector<std::string> packings, ratings;
    for (const SpecItem& c : s.ChoiceList()) {
        if (!EvalConditions(c.condition, vars)) continue;
        if (c.id == 14) packings.push_back(c.code);
        if (c.id == 106) ratings.push_back(GetLangText(c.text, 2));
    }
    // 300 °C rules out PTFE; 40 bar rules out PN16 and PN25.
    EXPECT_EQ(packings, (std::vector<std::string>{"G", "B"}));
    EXPECT_EQ(ratings, (std::vector<std::string>{"PN40", "PN63", "PN100", "PN160"}));
}

TEST_F(DemoCatalogue, TypeDesignationOfADemoValve) {
    ValveSeries s;
    ASSERT_TRUE(LoadValveSeries(kProgram / "dbv" / "tv100.dbv", s));
    SpecCatalogue cat;
    ASSERT_TRUE(LoadSpecCatalogue(kProgram / "specpoh.tkd", cat));
    SpecItemList items;
    auto item = [&](int id, const std::string& text, const std::string& typeCode = "") {
        SpecItem i;
        i.id = id;
        i.text = text;
        i.typeCode = typeCode;
        items.push_back(i);
    };
    item(kItemActuatorKind, GetText(kTextActuatorFromCatalogue));
    item(kItemActuator, "PA");
    item(kItemFailAction, "P");
    item(kItemActuatorSize, "400");
    item(kItemSpringRange, "20..100 kPa");
    item(kItemInletRating, "PN40");
    item(kItemOutletRating, "PN40");
    item(11, "C", "3");
    item(105, "F", "1");
    const std::string text = TypeDesignationText({s.designationTemplate, 40, 50, 50}, items, s.name, cat);
    // Actuator placeholders, sizes, rating, Kvs and the item references are filled from the
    // demo data and the language pack's name of the catalogue actuator kind.
    ASSERT_FALSE(GetText(kTextActuatorFromCatalogue).empty());
    EXPECT_EQ(text.rfind("TV 100 P311 ", 0), 0u) << text;
    EXPECT_NE(text.find(" DN50 PN40 Kvs 40 3-1"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("[]"), std::string::npos) << text;
}

TEST_F(DemoCatalogue, ConnectionAndAccessoryTreesAreWellFormed) {
    for (const char* name : {"specprip.tkd", "specprisl.tkd"}) {
        const auto lines = ReadDataLines(kProgram / name);
        ASSERT_TRUE(lines.has_value()) << name;
        ASSERT_FALSE(lines->empty()) << name;
        EXPECT_NE(lines->front()[0], '\t') << name;
        // Each line at most one level deeper than the one before, until the substitutions.
        std::size_t depth = 0;
        bool substitutions = false;
        for (const std::string& line : *lines) {
            if (line[0] == '[') {
                substitutions = true;
                continue;
            }
            if (substitutions) {
                EXPECT_NE(line.find('['), std::string::npos) << name << ": " << line;
                continue;
            }
            const std::size_t tabs = line.find_first_not_of('\t');
            EXPECT_LE(tabs, depth + 1) << name << ": " << line;
            depth = tabs;
        }
        EXPECT_TRUE(substitutions) << name;
    }
}

// Same sources, same bytes: the builder run again into another folder gives identical files.
TEST(DemoCatalogueBuild, IsReproducible) {
    const fs::path builder = kProgram.parent_path() / "catalogue" / "tarvik_build_demo";
    const fs::path src = fs::path(TARVIK_SOURCE_DIR) / "catalogue";
    const fs::path out = fs::temp_directory_path() / ("tarvik_demo_again_" + std::to_string(::getpid()));
    fs::create_directories(out);
    auto run = [&](const std::string& args) {
        return std::system(("\"" + builder.string() + "\" " + args + " >/dev/null 2>&1").c_str());
    };
    ASSERT_EQ(run("units \"" + (src / "units.json").string() + "\" \"" + out.string() + "\""), 0);
    ASSERT_EQ(run("pipes \"" + (src / "pipes.json").string() + "\" \"" + (out / "potrubi.tkd").string() + "\""), 0);
    ASSERT_EQ(run("media \"" + (src / "media.json").string() + "\" \"" + (out / "media.tkd").string() + "\""), 0);
    ASSERT_EQ(run("series \"" + (src / "series" / "tv100.json").string() + "\" \"" + (out / "tv100.dbv").string() + "\""), 0);
    for (const char* f : {"units.tkd", "jednotky2.tkd", "potrubi.tkd", "media.tkd"})
        EXPECT_EQ(ReadAll(out / f), ReadAll(kProgram / f)) << f;
    EXPECT_EQ(ReadAll(out / "tv100.dbv"), ReadAll(kProgram / "dbv" / "tv100.dbv"));
    // A broken source is refused and writes nothing.
    std::ofstream(out / "bad.json") << "{\"media\": [{\"names\": [\"a\"]}]}";
    EXPECT_NE(run("media \"" + (out / "bad.json").string() + "\" \"" + (out / "bad.tkd").string() + "\""), 0);
    EXPECT_FALSE(fs::exists(out / "bad.tkd"));
    fs::remove_all(out);
}

}  // namespace
}  // namespace tarvik
