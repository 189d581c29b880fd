#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/archive.hpp"
#include "data/messages.hpp"
#include "data/settings.hpp"
#include "data/valve_series.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

std::filesystem::path TempDir(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("tarvik_series_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadWhole(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& b) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

ValveSeries Read(const std::vector<std::uint8_t>& bytes, SeriesTextOptions o = {1, 4}) {
    ArchiveReader in(bytes, "test.dbv");
    return ReadValveSeries(in, "title", o);
}

// A series with every field of its version set to a recognisable value.
ValveSeries FullSeries(std::int32_t raw) {
    ValveSeries s;
    s.rawVersion = raw;
    s.name = "V 40";
    s.storedDescription = "[0:Ventil][2:Valve]";
    s.tableFlags = {1, 0, 1, 0, 1, 1};
    s.seriesDefault = 0.25;
    s.drawingFlag = 1;
    s.drawingTexts = {"(DWF V00.42)", " L 0,0 5,5 (EndOfDWF)"};
    s.drawingLength = 30;
    s.drawingAnnotation = "{dn}";
    s.seriesValue = 7;
    s.seriesText = "series";
    s.texts710 = {"t1", "t2"};
    s.designationTemplate = "{Nazev} [dn] [pn]";
    s.texts713 = {"t3", "t4"};
    s.text801 = "t5";
    s.companyText = "[A:x][B:y]";
    s.secondDesignationTemplate = "[ks]";
    for (int i = 0; i < 2; ++i) {
        SeriesValve v;
        v.characteristic = i == 0 ? 2 : 1;
        v.dn = 15 + i;
        v.item54 = 1.5;
        v.item108 = 2.5;
        v.Kvs = 4 + i;
        v.minKv = 0.1;
        v.field7 = 9;
        v.FLn = 0.7;
        v.nyF = 1e-5;
        v.dLF = -3;
        for (int t = 0; t < 6; ++t)
            for (int k = 0; k < 11; ++k) v.tables[t][k] = t + k / 10.0;
        for (int k = 0; k < 11; ++k) v.kvTable[k] = k * 0.4;
        v.valveValue = 3;
        v.specNumbers = {1.25, 2.5};
        v.discarded = {5, i == 1, {"a", "b"}};
        v.specText = "st";
        v.specTexts = {"sa", "sb"};
        s.valves.push_back(v);
    }
    SeriesChoice c;
    c.id = 12;
    c.storedText = "Steel";
    c.storedText2 = "Stahl";
    if (SeriesVersionHundredths(raw) == 800) c.storedSections = {{0, "Ocel"}, {2, "Steel"}};
    if (SeriesVersionHundredths(raw) > 800) c.storedText = "[0:Ocel][1:Stal][2:Steel]";
    c.condition = "{dn<=50}";
    c.attribute = "at";
    c.code = "co";
    c.typeCode = "S";
    s.choices = {c, c};
    s.textList = {{"a", "b", "c", "d", "e"}};
    s.numberList = {{{"x", "y", "z"}, 11}, {{"u", "v", "w"}, 12}};
    return s;
}

const std::int32_t kVersions[] = {1,   2,   3,   4,   5,   501, 502, 503, 6,   7,   701, 702, 703, 704, 705,
                                  706, 707, 708, 709, 710, 711, 712, 713, 714, 715, 716, 717, 800, 801, 802,
                                  803, 804, 8,   9,   100, 101};

TEST(ValveSeries, EveryVersionWritesBackTheSameBytesAndRefusesEveryPrefix) {
    for (std::int32_t raw : kVersions) {
        SCOPED_TRACE("raw version " + std::to_string(raw));
        const auto bytes = ValveSeriesBytes(FullSeries(raw));
        const ValveSeries back = Read(bytes);
        EXPECT_EQ(ValveSeriesBytes(back), bytes);
        ASSERT_EQ(back.valves.size(), 2u);
        EXPECT_EQ(back.valves[1].Kvs, 5);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
            EXPECT_THROW(Read(prefix), ArchiveError) << "prefix of " << n << " bytes";
        }
    }
}

// The stored size of one valve record and one choice entry, written out from the file layout, for
// every version on both sides of each gate: a gate moved in reader and writer alike shows here.
TEST(ValveSeries, RecordSizesFollowTheVersionGates) {
    auto valveBytes = [](std::int64_t v) {
        std::size_t n = 4 * 8 + 8;                   // DN, items 54 and 108, Kvs, field 7
        if (v > 300) n += 4 + 8 + 88;                // characteristic, noise 2, xFz table
        if (v > 500) n += 8 + 88;                    // minimum Kv, Kv table (characteristic 2)
        if (v > 501) n += 16;                        // noise 3, liquid noise input
        n += 3 * 88;                                 // FL, xT, Fd with 11 entries
        if (v > 502) n += 2 * 88;                    // dLn tables
        if (v > 701 && v < 709) n += 4;              // valve value
        if (v > 701) n += 16;                        // two numbers
        if (v > 702 && v < 708) n += 4 + 2;          // discarded int32 and empty array
        if (v > 703) n += 1;                         // text
        if (v > 711) n += 2;                         // two texts
        return n;
    };
    auto choiceBytes = [](std::int64_t v) {
        std::size_t n = 4 + 1 + 1;                   // Id, text, condition
        if (v >= 701 && v < 800) n += 1;             // section-2 text
        if (v == 800) n += 4 - 1;                    // count of no sections instead of a text
        if (v >= 705) n += 1;
        if (v >= 707) n += 1;
        if (v >= 713) n += 1;
        return n;
    };
    for (std::int32_t raw : {3, 4, 5, 500, 501, 502, 503, 700, 701, 702, 703, 704, 705, 706, 707, 708, 709, 711, 712,
                             713, 714, 799, 800, 801}) {
        SCOPED_TRACE("raw version " + std::to_string(raw));
        ValveSeries s;
        s.rawVersion = raw;
        s.tableFlags = {1, 1, 1, 1, 1, 1};
        SeriesValve valve;
        valve.characteristic = 2;
        s.valves = {valve};
        const std::size_t one = ValveSeriesBytes(s).size();
        s.valves.push_back(valve);
        EXPECT_EQ(ValveSeriesBytes(s).size() - one, valveBytes(s.versionHundredths()));
        if (s.versionHundredths() >= 700) {
            const std::size_t none = ValveSeriesBytes(s).size();
            s.choices = {SeriesChoice{}};
            EXPECT_EQ(ValveSeriesBytes(s).size() - none, choiceBytes(s.versionHundredths()));
        }
    }
}

TEST(ValveSeries, OldVersionsGetTheDefaultsOfTheirAbsentFields) {
    // Version 2: no name, no description, one flag for the first four tables, no xFz table.
    ValveSeries v2 = Read(ValveSeriesBytes(FullSeries(2)));
    EXPECT_EQ(v2.name, "title");
    EXPECT_EQ(v2.description, "");
    EXPECT_EQ(v2.tableFlags, (std::array<std::int32_t, 6>{1, 1, 1, 1, 0, 0}));
    const SeriesValve& a = v2.valves[0];
    EXPECT_EQ(a.characteristic, 0);
    EXPECT_EQ(a.minKv, 0);
    EXPECT_EQ(a.rw, 0);
    EXPECT_EQ(a.FLn, 0);
    EXPECT_EQ(a.nyF, 1e-8);
    EXPECT_EQ(a.dLF, 0);
    EXPECT_EQ(a.tables[kSeriesFd][5], 2.5);  // flag 1 for all: 11 entries
    EXPECT_EQ(a.tables[kSeriesXFz], SeriesTable11{});
    EXPECT_EQ(a.kvTable, SeriesTable11{});
    EXPECT_TRUE(v2.choices.empty());

    // Version 5: flags 2 to 4 stored (xT and xFz two-point), minimum Kv and Kv table not yet.
    ValveSeries v5 = Read(ValveSeriesBytes(FullSeries(5)));
    EXPECT_EQ(v5.tableFlags, (std::array<std::int32_t, 6>{1, 0, 1, 0, 0, 0}));
    const SeriesValve& b = v5.valves[0];
    EXPECT_EQ(b.characteristic, 2);
    EXPECT_EQ(b.rw, 0.25);
    EXPECT_EQ(b.minKv, 0);
    EXPECT_EQ(b.tables[kSeriesXT], (SeriesTable11{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(b.tables[kSeriesFL][3], 0.3);
    EXPECT_EQ(b.kvTable, SeriesTable11{});
    EXPECT_EQ(b.specValue, 0);

    // 5.01: minimum Kv and the Kv table of characteristic 2; 5.02: noise inputs; 5.03: dLn tables.
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(501))).valves[0].kvTable[10], 4.0);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(501))).valves[0].nyF, 1e-8);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(502))).valves[0].nyF, 1e-5);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(502))).valves[0].tables[kSeriesDLnGas], SeriesTable11{});
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(503))).valves[0].tables[kSeriesDLnGas][4], 5.4);

    // The valve value is per valve only between 7.02 and 7.08; otherwise the series value.
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(705))).valves[0].specValue, 3);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(709))).valves[0].specValue, 7);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(701))).valves[0].specValue, 0);

    // Number list: numbers stored from 7.17, positions before.
    ValveSeries v716 = Read(ValveSeriesBytes(FullSeries(716)));
    ASSERT_EQ(v716.numberList.size(), 2u);
    EXPECT_EQ(v716.numberList[1].number, 2);
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(717))).numberList[1].number, 12);
    EXPECT_TRUE(Read(ValveSeriesBytes(FullSeries(715))).numberList.empty());

    // Series texts appear with their versions.
    ValveSeries v711 = Read(ValveSeriesBytes(FullSeries(711)));
    EXPECT_EQ(v711.texts710[1], "t2");
    EXPECT_EQ(v711.designationTemplate, "");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(712))).designationTemplate, "{Nazev} [dn] [pn]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(714))).secondDesignationTemplate, "");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(715))).secondDesignationTemplate, "[ks]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(803))).companyText, "");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(804))).companyText, "[A:x][B:y]");
}

TEST(ValveSeries, HandMadeVersion5FileWithTwoPointTables) {
    ArchiveWriter w;
    w.WriteInt32(5);
    w.WriteText("S5");
    w.WriteText("Globe   [Flanged ]");
    for (int i = 0; i < 4; ++i) w.WriteInt32(0);  // flags 1 to 4: two-point form
    w.WriteInt32(1);                              // one valve
    w.WriteDouble(0.6);                           // series default
    w.WriteInt32(1);                              // equal percentage
    for (double d : {25.0, 1.0, 2.0, 6.3, 0.0, 0.5}) w.WriteDouble(d);  // DN .. field 7, noise 2
    for (int t = 0; t < 4; ++t) {
        w.WriteDouble(0.9 - t * 0.1);
        w.WriteDouble(0.8 - t * 0.1);
    }
    const ValveSeries s = Read(w.bytes(), {1, 4});
    EXPECT_EQ(s.description, "[1:Globe][2:Flanged]");
    CurrentSettings().lang = 1;
    EXPECT_EQ(s.DisplayName(), "S5 (Globe)");
    ASSERT_EQ(s.valves.size(), 1u);
    const SeriesValve& v = s.valves[0];
    EXPECT_EQ(v.Kvs, 6.3);
    EXPECT_EQ(v.rw, 0.6);
    EXPECT_EQ(v.tables[kSeriesXFz], (SeriesTable11{0.6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5}));
    EXPECT_EQ(ValveSeriesBytes(s), w.bytes());
    CurrentSettings().lang = 0;
}

TEST(ValveSeries, DescriptionAndChoiceTextsComposedForTheLanguage) {
    EXPECT_EQ(ConvertSeriesDescription("Globe valve", 3), "[3:Globe valve]");
    EXPECT_EQ(ConvertSeriesDescription("A [B", 1), "[1:A][2:B]");
    EXPECT_EQ(ConvertSeriesDescription("[B] tail", 0), "[0:][2:B]");

    // A version 8.03 description is taken as stored; older ones converted.
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(803))).description, "[0:Ventil][2:Valve]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(802)), {3, 4}).description, "[3:][2:0:Ventil]");

    // Choice texts in their three stored forms, completed for Lang 1 and 4 languages.
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(700))).choices[0].text, "[1:Steel][0:Steel][2:Steel][3:Steel]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(701))).choices[0].text, "[1:Steel][2:Stahl][0:Steel][3:Steel]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(800))).choices[0].text, "[0:Ocel][2:Steel]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(800)), {0, 4}).choices[0].text, "[0:Ocel][2:Steel][1:Ocel][3:Ocel]");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(801))).choices[0].text, "[0:Ocel][1:Stal][2:Steel][3:Stal]");

    // Fields of the choice entries by version.
    ValveSeries v704 = Read(ValveSeriesBytes(FullSeries(704)));
    EXPECT_EQ(v704.choices[0].attribute, "");
    ValveSeries v712 = Read(ValveSeriesBytes(FullSeries(712)));
    EXPECT_EQ(v712.choices[0].attribute, "at");
    EXPECT_EQ(v712.choices[0].code, "co");
    EXPECT_EQ(v712.choices[0].typeCode, "");
    EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(713))).choices[0].typeCode, "S");
}

TEST(ValveSeries, ChoiceTextsAndDisplayNameInEveryLanguage) {
    struct Case { std::int32_t raw; int lang, langCount; const char* text; };
    const Case cases[] = {
        {700, 0, 4, "[0:Steel][1:Steel][2:Steel][3:Steel]"},
        {700, 3, 2, "[3:Steel][0:Steel][1:Steel]"},
        {701, 0, 4, "[0:Steel][2:Stahl][1:Steel][3:Steel]"},
        {701, 3, 4, "[3:Steel][2:Stahl][0:Steel][1:Steel]"},
        {701, 1, 2, "[1:Steel][2:Stahl][0:Steel]"},
        {800, 3, 4, "[0:Ocel][2:Steel]"},  // no section for the language: shown from section 0
        {800, 1, 2, "[0:Ocel][2:Steel]"},
        {801, 0, 4, "[0:Ocel][1:Stal][2:Steel][3:Ocel]"},
        {801, 3, 4, "[0:Ocel][1:Stal][2:Steel]"},
        {801, 0, 2, "[0:Ocel][1:Stal][2:Steel]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(ValveSeriesBytes(FullSeries(c.raw)), {c.lang, c.langCount}).choices[0].text, c.text)
            << c.raw << " " << c.lang << "/" << c.langCount;

    // An empty text in the configured language still completes the missing sections, empty.
    ValveSeries blank = FullSeries(701);
    blank.choices[0].storedText = "";
    EXPECT_EQ(Read(ValveSeriesBytes(blank), {0, 4}).choices[0].text, "[0:][2:Stahl][1:][3:]");
    EXPECT_EQ(ValveSeriesBytes(Read(ValveSeriesBytes(blank), {0, 4})), ValveSeriesBytes(blank));

    const ValveSeries current = Read(ValveSeriesBytes(FullSeries(803)));
    const char* shown[] = {"V 40 (Ventil)", "V 40 (Ventil)", "V 40 (Valve)", "V 40 (Ventil)"};
    for (int lang = 0; lang < 4; ++lang) {
        CurrentSettings().lang = lang;
        EXPECT_EQ(current.DisplayName(), shown[lang]) << lang;
    }
    CurrentSettings().lang = 0;
}

TEST(ValveSeries, DamagedContentIsRefusedWithoutAllocatingOrLooping) {
    // A valve count far beyond the file, a negative version, a NaN Kvs.
    ArchiveWriter big;
    big.WriteInt32(803);
    big.WriteText("X");
    big.WriteText("");
    for (int i = 0; i < 6; ++i) big.WriteInt32(0);
    big.WriteInt32(0x7FFFFFFF);
    big.WriteDouble(0);
    big.WriteInt32(0);
    EXPECT_THROW(Read(big.bytes()), ArchiveError);

    ArchiveWriter negative;
    negative.WriteInt32(-4);
    EXPECT_THROW(Read(negative.bytes()), ArchiveError);

    ValveSeries s = FullSeries(803);
    s.valves[0].Kvs = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(Read(ValveSeriesBytes(s)), ArchiveError);

    // A drawing length beyond the file runs into its end.
    s = FullSeries(803);
    s.drawingLength = 0x7FFFFFFF;
    EXPECT_THROW(Read(ValveSeriesBytes(s)), ArchiveError);
}

TEST(ValveSeries, LoadShowsTheNumberedMessagesAndKeepsThePreviousSeries) {
    test::UseLanguage(2);
    auto dir = TempDir("load");
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });

    ValveSeries loaded = FullSeries(803);
    EXPECT_FALSE(LoadValveSeries(dir / "missing.dbv", loaded));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, 63020);
    EXPECT_EQ(loaded.name, "V 40");

    auto bytes = ValveSeriesBytes(FullSeries(803));
    bytes.resize(bytes.size() - 3);
    WriteBytes(dir / "cut.dbv", bytes);
    EXPECT_FALSE(LoadValveSeries(dir / "cut.dbv", loaded));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].number, kMsgDamagedFile);
    EXPECT_NE(shown[1].text.find("cut.dbv"), std::string::npos) << shown[1].text;
    EXPECT_EQ(loaded.name, "V 40");
    EXPECT_EQ(std::filesystem::file_size(dir / "cut.dbv"), bytes.size());

    SaveValveSeries(dir / "good.dbv", FullSeries(716));
    EXPECT_TRUE(LoadValveSeries(dir / "good.dbv", loaded));
    EXPECT_EQ(loaded.rawVersion, 716);
    EXPECT_EQ(shown.size(), 2u);
}

TEST(ValveSeries, ScanBuildsTheTableAndNumbersTheDrawings) {
    test::UseLanguage(0);
    auto program = TempDir("scan");
    auto out = TempDir("scan_out");
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });
    CurrentSettings().lang = 0;

    // No folder, then an empty folder: message 63010 and no series.
    EXPECT_TRUE(ScanValveSeries(program, out).table.empty());
    std::filesystem::create_directories(program / "dbv");
    EXPECT_TRUE(ScanValveSeries(program, out).table.empty());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].number, 63010);

    // 13 series in name order: "b00" has no drawing, "c" is damaged, the rest count 01 to 12.
    ValveSeries plain = FullSeries(705);  // drawing flag not stored yet
    plain.name = "b00";
    plain.storedDescription = "Ventil";
    SaveValveSeries(program / "dbv" / "b00.dbv", plain);
    for (int i = 1; i <= 12; ++i) {
        ValveSeries s = FullSeries(i % 2 ? 803 : 708);
        char name[16];
        std::snprintf(name, sizeof name, "s%02d", i);
        s.name = name;
        s.drawingTexts = {std::string("(DWF V00.42)") + name, " \x8a(EndOfDWF)"};
        s.drawingLength = static_cast<std::int32_t>(s.DrawingBytes().size());
        SaveValveSeries(program / "dbv" / (std::string(name) + ".DBV"), s);
    }
    WriteBytes(program / "dbv" / "c.dbv", {0x03, 0x03, 0x00});
    std::ofstream(program / "dbv" / "readme.txt") << "not a series";

    shown.clear();
    const SeriesScan scan = ScanValveSeries(program, out);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, kMsgDamagedFile);
    EXPECT_NE(shown[0].text.find("c.dbv"), std::string::npos);

    EXPECT_EQ(scan.table.size(), 13u);
    EXPECT_EQ(scan.table.at("b00 (Ventil)"), program / "dbv" / "b00.dbv");
    EXPECT_EQ(scan.table.at("s03 (Ventil)"), program / "dbv" / "s03.DBV");
    ASSERT_EQ(scan.drawings.size(), 12u);
    EXPECT_EQ(scan.drawings.count("b00"), 0u);
    EXPECT_EQ(scan.drawings.at("s03"), out / "dwf03.dwf");
    EXPECT_EQ(scan.drawings.at("s12"), out / "dwf12.dwf");
    EXPECT_EQ(ReadWhole(out / "dwf03.dwf"), "(DWF V00.42)s03 \x8a(EndOfDWF)");
    EXPECT_EQ(ReadWhole(out / "dwftxt03.dwf"), "{dn}");
    EXPECT_EQ(ReadWhole(out / "dwftxt12.dwf"), "");  // version 7.08 has no annotation
    EXPECT_EQ(DrawingTemplatePath(out / "dwf12.dwf"), out / "dwftxt12.dwf");

    // A folder the drawings cannot be written to: reported, the series stay selectable.
    shown.clear();
    const SeriesScan noDrawings = ScanValveSeries(program, out / "missing");
    EXPECT_EQ(noDrawings.table.size(), 13u);
    EXPECT_TRUE(noDrawings.drawings.empty());
    ASSERT_EQ(shown.size(), 13u);  // the damaged file and 12 drawings
    EXPECT_EQ(shown[1].number, kMsgCannotWriteDrawing);

    RemoveSeriesDrawings(scan.drawings);
    EXPECT_FALSE(std::filesystem::exists(out / "dwf01.dwf"));
    EXPECT_FALSE(std::filesystem::exists(out / "dwftxt12.dwf"));
    EXPECT_TRUE(std::filesystem::exists(program / "dbv" / "s01.DBV"));
}

// One rule for the series dialog, the form and project loading: the key's series name (up to
// " (") in the section of the selector.
TEST(ValveSeries, SeriesLookupMatchesTheNameOfTheKey) {
    const SeriesTable table{{"XV100 (Globe)", "x"}, {"V100 (Globe)", "v"}, {"[0:V-1][5:V-1-ACME] (Ball)", "one"},
                            {"K7", "k"}};
    struct Case {
        const char* designation;
        const char* selector;
        const char* found;  // "" for none
    } cases[] = {
        {"V100", "0", "v"},          // not the entry that merely contains it
        {"K7", "3", "k"},            // a plain name in every section
        {"V-1", "0", "one"},
        {"V-1-ACME", "5", "one"},
        {"V-1", "9", "one"},         // a missing section falls back to section 0
        {"V-1-ACME", "0", ""},
        {"V100 (Globe)", "0", ""},   // the display name is not a designation
        {"", "0", ""},
    };
    for (const auto& c : cases) {
        const auto it = FindSeriesEntry(table, c.designation, c.selector);
        EXPECT_EQ(it == table.end() ? std::string() : it->second.string(), c.found) << c.designation;
    }
    EXPECT_EQ(SeriesKeyDesignation("[0:V-1][5:V-1-ACME] (Ball)", "5"), "V-1-ACME");
}

// Matching records replace the default variant; several matching records add up.
TEST(ValveSeries, VariantLayersFollowTheDesignation) {
    ValveSeries s;
    s.textList = {{";+FLANGED;+ACT_A;", "", "", "", ""},
                  {";WELD;-FLANGED;", "-3", "", "", ""},
                  {";ACT_B;-ACT_A;", "V1 E", "", "", ""},
                  {";EXTRA;", "", "", "", ""}};
    struct Case {
        const char* designation;
        const char* shown;
    } cases[] = {
        {"V1 P1 DN50-1", ";+FLANGED;+ACT_A;;+EXTRA;"},  // no fragment: the default records
        {"V1 P1 DN50-3", ";+WELD;-FLANGED;"},
        {"V1 E DN50-3", ";+WELD;-FLANGED;;+ACT_B;-ACT_A;"},
        {"", ";+FLANGED;+ACT_A;;+EXTRA;"},
    };
    for (const auto& c : cases) EXPECT_EQ(s.VariantLayerText(c.designation), c.shown) << c.designation;
    s.textList.resize(1);
    s.textList[0][1] = "X";  // no default record and nothing matched: nothing shown
    EXPECT_EQ(s.VariantLayerText("V1"), "");
}

}  // namespace
}  // namespace tarvik
