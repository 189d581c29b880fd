#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/archive.hpp"
#include "data/messages.hpp"
#include "data/spec_catalogue.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

std::filesystem::path TempDir(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("tarvik_spec_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

template <class T>
std::vector<std::uint8_t> Bytes(const T& value, void (*write)(ArchiveWriter&, const T&)) {
    ArchiveWriter out;
    write(out, value);
    return out.bytes();
}

template <class T>
T Read(const std::vector<std::uint8_t>& bytes, T (*read)(ArchiveReader&)) {
    ArchiveReader in(bytes, "specpoh.tkd");
    return read(in);
}

// Writes, reads, writes again: same bytes; and every shorter prefix is refused.
template <class T>
T CheckRoundTrip(const T& value, void (*write)(ArchiveWriter&, const T&), T (*read)(ArchiveReader&)) {
    const auto bytes = Bytes(value, write);
    T back = Read(bytes, read);
    EXPECT_EQ(Bytes(back, write), bytes);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_THROW(Read(prefix, read), ArchiveError) << "prefix of " << n << " bytes";
    }
    return back;
}

SpecCatalogue FullCatalogue(std::int32_t version) {
    SpecCatalogue c;
    c.version = version;
    c.catalogueCodes = {"A", "B", "C", "D"};
    c.valueCount1 = version >= 2 ? 2 : 0;
    SpecActuator a;
    a.name = "MT 60";
    a.second = "pneumatic";
    a.kind = "AT";
    a.codes = {"o1", "o2", "ofp", "ofn"};
    SpecSizeItem size{"250", 250, "t", "S2", {}};
    for (std::int32_t i = 0; i < c.valueCount1; ++i) size.values.push_back({"F", 1.5 + i, "kN"});
    a.sizes = {size, size};
    a.springs = {{20, 100, "20..100", "S1"}, {6, 30, "S06", "S6"}};
    a.supplies = {{400, "400 kPa", "P4"}};
    a.options = {{{"Hand wheel", "x", "y", "HW"}}};
    c.section1 = {a};
    c.codeE = "e";
    c.valueCount2 = version >= 2 ? 1 : 0;
    SpecSection2Entry e;
    e.name = "EL";
    e.second = "electric";
    SpecSizeItem s2{"S", 1, version > 2 ? "t" : "", "", {}};
    if (c.valueCount2) s2.values = {{"v", 2, "x"}};
    e.a = {s2};
    e.b = {{1, 2, "b", "0"}};
    e.c = {{"c1", "c2"}};
    e.d = {{{"d1", "d2", "d3", ""}}};
    c.section2 = {e};
    c.codeF = "f";
    c.valueCount3 = 1;
    c.section3 = {{"x", "y", {{"n", 3, "t3", "", {{"w", 4, "z"}}}}}};
    c.valueListText = "own";
    c.valueList = {{"a", 1, "b"}, {"c", 2, "d"}};
    return c;
}

TEST(SpecCatalogue, EveryVersionWritesBackTheSameBytesAndRefusesEveryPrefix) {
    for (std::int32_t v = 1; v <= 7; ++v) {
        SCOPED_TRACE("version " + std::to_string(v));
        const SpecCatalogue back = CheckRoundTrip(FullCatalogue(v), WriteSpecCatalogue, ReadSpecCatalogue);
        ASSERT_EQ(back.section1.size(), 1u);
        EXPECT_EQ(back.section1[0].springs[1].to, 30);
        EXPECT_EQ(back.section2[0].c[0].second, "c2");
    }
}

TEST(SpecCatalogue, VersionGatesAndTheirDefaults) {
    // Version 3: no catalogue codes, code E "E", a section 3 but code F "N".
    const SpecCatalogue v3 = Read(Bytes(FullCatalogue(3), WriteSpecCatalogue), ReadSpecCatalogue);
    EXPECT_EQ(v3.catalogueCodes, (std::array<std::string, 4>{"P", "R", "S", "N"}));
    EXPECT_EQ(v3.codeE, "E");
    EXPECT_EQ(v3.codeF, "N");
    ASSERT_EQ(v3.section3.size(), 1u);
    EXPECT_EQ(v3.valueList.size(), 2u);
    const SpecActuator& a3 = v3.section1[0];
    EXPECT_EQ(a3.kind, "");
    EXPECT_EQ(a3.codes[kCodeO1], "");
    EXPECT_EQ(a3.springs[0].code, "0");  // no spring code before version 4
    EXPECT_EQ(SizeCode(a3.sizes[0], 3), "t");
    EXPECT_EQ(SupplyCode(a3.supplies[0], 3), "400 kPa");
    EXPECT_EQ(a3.options[0].texts[3], "");
    EXPECT_EQ(a3.sizes[0].values.size(), 2u);

    // Versions 4 and 5 store the catalogue codes; 5 the kind; 6 the actuator codes and fourth texts.
    const SpecCatalogue v4 = Read(Bytes(FullCatalogue(4), WriteSpecCatalogue), ReadSpecCatalogue);
    EXPECT_EQ(v4.catalogueCodes[3], "D");
    EXPECT_EQ(v4.codeE, "e");
    EXPECT_EQ(v4.codeF, "f");
    EXPECT_EQ(v4.section1[0].springs[0].code, "S1");
    EXPECT_EQ(v4.section1[0].kind, "");
    const SpecCatalogue v5 = Read(Bytes(FullCatalogue(5), WriteSpecCatalogue), ReadSpecCatalogue);
    EXPECT_EQ(v5.section1[0].kind, "AT");
    EXPECT_EQ(v5.section1[0].codes[kCodeOFN], "");
    const SpecCatalogue v6 = Read(Bytes(FullCatalogue(6), WriteSpecCatalogue), ReadSpecCatalogue);
    EXPECT_EQ(v6.catalogueCodes[0], "P");
    EXPECT_EQ(v6.section1[0].codes[kCodeOFN], "ofn");
    EXPECT_EQ(SizeCode(v6.section1[0].sizes[0], 6), "S2");
    EXPECT_EQ(SupplyCode(v6.section1[0].supplies[0], 6), "P4");
    EXPECT_EQ(v6.section1[0].options[0].texts[3], "HW");
    EXPECT_EQ(v6.FindActuator("MT 60"), &v6.section1[0]);
    EXPECT_EQ(v6.FindActuator("MT 6"), nullptr);

    // Versions 1 and 2: no section 3; version 1 no value items.
    const SpecCatalogue v1 = Read(Bytes(FullCatalogue(1), WriteSpecCatalogue), ReadSpecCatalogue);
    EXPECT_TRUE(v1.section3.empty());
    EXPECT_TRUE(v1.section1[0].sizes[0].values.empty());
    EXPECT_EQ(SizeCode(v1.section1[0].sizes[0], 1), "250");
}

TEST(SpecCatalogue, HandMadeVersion2File) {
    ArchiveWriter w;
    w.WriteInt32(2);
    w.WriteInt32(1);  // one actuator
    w.WriteInt32(1);  // one value item per size
    w.WriteText("A1");
    w.WriteText("second");
    w.WriteInt32(1);  // sizes
    w.WriteText("100");
    w.WriteDouble(100);
    w.WriteText("F");
    w.WriteDouble(2.5);
    w.WriteText("kN");
    w.WriteInt32(0);  // springs
    w.WriteInt32(0);  // supplies
    w.WriteInt32(0);  // options
    w.WriteInt32(0);  // section 2
    w.WriteInt32(0);
    w.WriteBytes({0xDE, 0xAD});  // trailing bytes are ignored
    const SpecCatalogue c = Read(w.bytes(), ReadSpecCatalogue);
    ASSERT_EQ(c.section1.size(), 1u);
    EXPECT_EQ(c.section1[0].sizes[0].values[0].value, 2.5);
    EXPECT_EQ(c.codeE, "E");
    EXPECT_TRUE(c.section3.empty());
}

TEST(SpecTables, RoundTripsAndPrefixes) {
    SpecCurveTable curves{3, {{1, 2, {{0.5, {{1, 2}, {3, 4}}}, {1.5, {}}}}, {-1, -1, {}}}};
    const SpecCurveTable c = CheckRoundTrip(curves, WriteSpecCurveTable, ReadSpecCurveTable);
    EXPECT_EQ(c.entries[0].rows[0].points[1][1], 4);
    EXPECT_EQ(c.entries[1].key1, -1);

    SpecTable06a a{1, {{"Ř 120", {{2, {{1, 2, 3}}}}}}, {{1, 2, 3, 4, 5}}};
    const SpecTable06a a2 = CheckRoundTrip(a, WriteSpecTable06a, ReadSpecTable06a);
    EXPECT_EQ(a2.entries[0].name, "Ř 120");
    EXPECT_EQ(a2.records[0][4], 5);

    SpecTable06b b{1, {{1, 2, 3, "d", 4, "f", 5}, {6, 7, 8, "", 9, "ž", 10}}};
    const SpecTable06b b2 = CheckRoundTrip(b, WriteSpecTable06b, ReadSpecTable06b);
    EXPECT_EQ(b2.records[1].f, "ž");
    EXPECT_EQ(b2.records[1].c, 8);
}

TEST(SpecTables, MissingAndDamagedFilesLeaveOnlyTheirListEmpty) {
    test::UseLanguage(2);
    auto dir = TempDir("load");
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });

    SpecCatalogue catalogue = FullCatalogue(6);
    EXPECT_FALSE(LoadSpecCatalogue(dir / "specpoh.tkd", catalogue));
    EXPECT_TRUE(catalogue.section1.empty());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, 63002);

    {
        ArchiveWriter w;
        WriteSpecCurveTable(w, {0, {{4, 5, {}}}});
        w.SaveAtomically(dir / "specpoh09.tkd");
        ArchiveWriter bad;
        bad.WriteInt32(1);
        bad.WriteInt32(1000);  // more records than the file holds
        bad.SaveAtomically(dir / "specpoh06b.tkd");
    }
    shown.clear();
    SpecTables tables;
    EXPECT_FALSE(LoadSpecTables(dir, tables));
    ASSERT_EQ(shown.size(), 4u);  // 06a, 07 and 10 missing; 06b damaged
    EXPECT_EQ(shown[0].number, 63002);
    EXPECT_EQ(shown[1].number, 63930);
    EXPECT_NE(shown[1].text.find("specpoh06b.tkd"), std::string::npos) << shown[1].text;
    EXPECT_NE(shown[2].text.find((dir / "specpoh07.tkd").string()), std::string::npos) << shown[2].text;
    ASSERT_EQ(tables.t09.entries.size(), 1u);
    EXPECT_EQ(tables.t09.entries[0].key2, 5);
    EXPECT_TRUE(tables.t06b.records.empty());

    ArchiveWriter w;
    WriteSpecCatalogue(w, FullCatalogue(7));
    w.SaveAtomically(dir / "specpoh.tkd");
    EXPECT_TRUE(LoadSpecCatalogue(dir / "specpoh.tkd", catalogue));
    EXPECT_EQ(catalogue.section1.size(), 1u);
}

}  // namespace
}  // namespace tarvik
