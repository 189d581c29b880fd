// Pipe tables read from hand-made .xlsx, .ods and .csv files.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/pipe_import.hpp"
#include "support/workbook_files.hpp"

namespace tarvik {
namespace {

using namespace workbook_test;
using Bytes8 = std::vector<std::uint8_t>;

PipeImportResult Import(const Bytes8& bytes, const WorkbookLimits& limits = {}) {
    return ImportPipeWorkbook(std::span<const std::uint8_t>(bytes), "test", {}, limits);
}

Pipe P(std::string kind, std::string size, std::string wall, double od, double wt) {
    return Pipe{std::move(kind), std::move(size), std::move(wall), od, wt, 0};
}

const Table kTable = {
    {"Kind", "Size", "Wall", "D", "s"},
    {"EN 10220", "DN 50", "Sch 40", "#60.3", "#2.9"},
    {"EN 10220", "DN 80", "Sch 40", "#88.9", "#3.2"},
    {"EN 10220", "DN 100", "Sch 80", "#114.3", "#6.02"},
    {"ASME", "4\"", "Sch 40", "#114.3", "#6.02"},
    {"Ocel šedá", "DN 15", "", "#21.3", "#2"},
};
const std::vector<Pipe> kPipes = {
    P("EN 10220", "DN 50", "Sch 40", 60.3, 2.9), P("EN 10220", "DN 80", "Sch 40", 88.9, 3.2),
    P("EN 10220", "DN 100", "Sch 80", 114.3, 6.02), P("ASME", "4\"", "Sch 40", 114.3, 6.02),
    P("Ocel šedá", "DN 15", "", 21.3, 2),
};

TEST(PipeImport, TheSameTableReadsTheSameInEveryFormat) {
    const struct {
        const char* name;
        Bytes8 bytes;
    } cases[] = {
        {"xlsx shared strings", TableToXlsx(kTable)},
        {"xlsx inline strings", TableToXlsx(kTable, true)},
        {"ods", TableToOds(kTable)},
        {"csv semicolon", TableToCsv(kTable, ';')},
        {"csv tab", TableToCsv(kTable, '\t')},
    };
    for (const auto& c : cases) {
        int progressCalls = 0, lastCount = 0;
        const PipeImportResult r = ImportPipeWorkbook(std::span<const std::uint8_t>(c.bytes), "t", [&](int n) {
            ++progressCalls;
            lastCount = n;
        });
        EXPECT_EQ(r.message, 0) << c.name << ": " << r.detail;
        EXPECT_EQ(r.rows, kPipes) << c.name;
        EXPECT_FALSE(r.severalSheets) << c.name;
        EXPECT_EQ(progressCalls, 5) << c.name;
        EXPECT_EQ(lastCount, 5) << c.name;
    }
}

TEST(PipeImport, SheetRules) {
    const Table header = {{"Kind", "Size", "Wall", "D", "s"}};
    auto with = [&](Table rows) {
        Table t = header;
        t.insert(t.end(), rows.begin(), rows.end());
        return t;
    };
    const std::vector<std::string> row = {"K", "DN 50", "W", "#60.3", "#2.9"};
    const struct {
        const char* name;
        Table table;
        int message;
        std::vector<Pipe> rows;
    } cases[] = {
        {"four filled cells in the first column", with({row, row, row}), kMsgWorkbookTooFewRows, {}},
        {"a gap in the first column ends its count", with({row, {"", "x", "", "#1", "#1"}, row, row, row}), kMsgWorkbookTooFewRows, {}},
        {"an empty row ends the import",
         with({row, row, row, row, {}, row}), 0, std::vector<Pipe>(4, P("K", "DN 50", "W", 60.3, 2.9))},
        {"text numbers lose their blanks and take either separator",
         with({{"K", "#50", "#4", "1 016,5", " 2.9 "}, {"K", "x", "y", "12\xC2\xA0" "000", "abc"}, row, row}), 0,
         {P("K", "50", "4", 1016.5, 2.9), P("K", "x", "y", 12000, 0), P("K", "DN 50", "W", 60.3, 2.9), P("K", "DN 50", "W", 60.3, 2.9)}},
        {"escaped characters in cell texts", with({{"A_x000D_B_x005F_x0041_", "S", "W", "#1", "#1"}, row, row, row}), 0,
         {P("A\rB_x0041_", "S", "W", 1, 1), P("K", "DN 50", "W", 60.3, 2.9), P("K", "DN 50", "W", 60.3, 2.9), P("K", "DN 50", "W", 60.3, 2.9)}},
        {"a number beyond double is no infinity", with({{"K", "S", "W", "#1e999", "1e999"}, row, row, row}), 0,
         {P("K", "S", "W", 0, 0), P("K", "DN 50", "W", 60.3, 2.9), P("K", "DN 50", "W", 60.3, 2.9), P("K", "DN 50", "W", 60.3, 2.9)}},
    };
    for (const auto& c : cases) {
        const PipeImportResult r = Import(TableToXlsx(c.table));
        EXPECT_EQ(r.message, c.message) << c.name << ": " << r.detail;
        EXPECT_EQ(r.rows, c.rows) << c.name;
        for (const Pipe& p : r.rows) EXPECT_TRUE(std::isfinite(p.outsideDiameter) && std::isfinite(p.wallThickness)) << c.name;
    }
}

TEST(PipeImport, SeveralSheetsReadTheActiveOne) {
    Table other = kTable;
    other.resize(2);
    std::vector<std::string> strings;
    const std::string first = XlsxRows(other, strings), second = XlsxRows(kTable, strings);
    const struct {
        const char* name;
        Bytes8 bytes;
    } cases[] = {
        {"xlsx", MakeXlsx({first, second}, strings, 1)},
        {"ods", MakeOds(OdsTable("One", other) + OdsTable("Two", kTable), "Two")},
    };
    for (const auto& c : cases) {
        const PipeImportResult r = Import(c.bytes);
        EXPECT_EQ(r.message, 0) << c.name << ": " << r.detail;
        EXPECT_TRUE(r.severalSheets) << c.name;
        EXPECT_EQ(r.rows, kPipes) << c.name;
    }
}

std::string Utf16Le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(PipeImport, CsvSeparatorsQuotesAndEncodings) {
    const std::string rows = "\"Ocel, \"\"A\"\"\",\"DN\n50\",W,\"60,3\",2.9\r\n";
    const std::string tail = "K,S,W,1,1\r\nK,S,W,1,1\r\nK,S,W,1,1\r\n";
    const struct {
        const char* name;
        std::string bytes;
        std::string kind, size;
        double od;
    } cases[] = {
        {"comma, quoted fields", "Kind,Size,Wall,D,s\r\n" + rows + tail, "Ocel, \"A\"", "DN\n50", 60.3},
        {"utf-8 with bom", "\xEF\xBB\xBFK;S;W;D;s\nOcel šedá;DN 50;W;60,3;2\n" + tail, "Ocel šedá", "DN 50", 60.3},
        {"utf-8 without bom", "K;S;W;D;s\nOcel šedá;DN 50;W;60,3;2\n" + tail, "Ocel šedá", "DN 50", 60.3},
        {"code page 1250", "K;S;W;D;s\nOcel \x9A" "ed\xE1;DN 50;W;60,3;2\n" + tail, "Ocel šedá", "DN 50", 60.3},
        {"utf-16 with bom", Utf16Le(u"K\tS\tW\tD\ts\n\u0161\tDN\tW\t5\t1\nK\tS\tW\t1\t1\nK\tS\tW\t1\t1\nK\tS\tW\t1\t1\n"),
         "š", "DN", 5},
    };
    for (const auto& c : cases) {
        const PipeImportResult r = Import(Bytes(c.bytes));
        ASSERT_EQ(r.message, 0) << c.name << ": " << r.detail;
        ASSERT_EQ(r.rows.size(), 4u) << c.name;
        EXPECT_EQ(r.rows[0].kind, c.kind) << c.name;
        EXPECT_EQ(r.rows[0].size, c.size) << c.name;
        EXPECT_DOUBLE_EQ(r.rows[0].outsideDiameter, c.od) << c.name;
    }
}

// Makes an entry's sizes in the archive claim `size` bytes, as a crafted archive would.
void ClaimSize(Bytes8& zip, const std::string& name, std::uint32_t size) {
    auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) zip[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    };
    for (std::size_t i = 0; i + 46 < zip.size(); ++i) {
        const bool local = zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == 3 && zip[i + 3] == 4;
        const bool central = zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == 1 && zip[i + 3] == 2;
        const std::size_t nameAt = i + (local ? 30 : 46), lengthAt = i + (local ? 26 : 28), sizeAt = i + (local ? 22 : 24);
        if (!(local || central)) continue;
        const std::size_t length = zip[lengthAt] | zip[lengthAt + 1] << 8;
        if (nameAt + length <= zip.size() && std::string(zip.begin() + static_cast<long>(nameAt), zip.begin() + static_cast<long>(nameAt + length)) == name)
            put(sizeAt);
    }
}

TEST(PipeImport, HostileFilesAreRefusedWithoutCrash) {
    WorkbookLimits small;
    small.maxEntryBytes = 1 << 20;
    const std::string zeros(4 << 20, ' ');
    Bytes8 bomb = MakeXlsx({"<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" + zeros}, {});
    Bytes8 lying = bomb;
    ClaimSize(lying, "xl/worksheets/sheet1.xml", 1000);
    Bytes8 truncated = TableToXlsx(kTable);
    truncated.resize(truncated.size() / 2);
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                               "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData></worksheet>";
    const Bytes8 entities = MakeZip({{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.xml",
        "<workbook><sheets><sheet name=\"a\" r:id=\"r1\" xmlns:r=\"x\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships><Relationship Id=\"r1\" Type=\"x/worksheet\" Target=\"s.xml\"/></Relationships>"},
        {"xl/s.xml", laughs}});
    const struct {
        const char* name;
        Bytes8 bytes;
        WorkbookLimits limits;
        const char* detail;
    } cases[] = {
        {"binary file", Bytes(std::string("\x7F" "ELF\0\0\0\x01", 8)), {}, "neither"},
        {"encrypted workbook", Bytes(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)), {}, "encrypted"},
        {"truncated archive", truncated, {}, "zip"},
        {"zip bomb", bomb, small, "more"},
        {"zip bomb with a lying size", lying, small, "sheet1.xml"},
        {"entity declarations", entities, {}, "document type"},
        {"zip that is no workbook", MakeZip({{"a.txt", "x"}}), {}, "no workbook"},
        {"text without columns", Bytes(std::string("root:x:0:0\nbin:x:1:1\na\nb\nc\nd\n")), {}, "separator"},
    };
    for (const auto& c : cases) {
        const PipeImportResult r = Import(c.bytes, c.limits);
        EXPECT_EQ(r.message, kMsgWorkbookUnreadable) << c.name;
        EXPECT_NE(r.detail.find(c.detail), std::string::npos) << c.name << ": " << r.detail;
        EXPECT_TRUE(r.rows.empty()) << c.name;
    }
}

TEST(PipeImport, TextWithoutCodePageFormIsRefusedNamingTheRow) {
    Table t = kTable;
    t[3][2] = "Sch 40 日";
    const PipeImportResult r = Import(TableToXlsx(t));
    EXPECT_EQ(r.message, kMsgTextNotStorable);
    EXPECT_NE(r.detail.find("row 4"), std::string::npos) << r.detail;
    EXPECT_TRUE(r.rows.empty());
}

TEST(PipeImport, OdsRepeatsAreBounded) {
    const std::string cell = "<table:table-cell office:value-type=\"string\"><text:p>K</text:p></table:table-cell>";
    const std::string num = "<table:table-cell office:value-type=\"float\" office:value=\"2\"/>";
    const std::string tables =
        "<table:table table:name=\"S\"><table:table-row>" + cell + "</table:table-row>"
        "<table:table-row table:number-rows-repeated=\"4\">" + cell + "<table:covered-table-cell><text:p>hidden</text:p></table:covered-table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"/>" + num + "<table:table-cell table:number-columns-repeated=\"4000000000\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"99999999999\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
        "</table:table>";
    const PipeImportResult r = Import(MakeOds(tables));
    EXPECT_EQ(r.message, 0) << r.detail;
    EXPECT_EQ(r.rows, std::vector<Pipe>(4, P("K", "", "", 0, 2)));
}

TEST(PipeImport, AppendedRowsGetUniqueNumbers) {
    const struct {
        std::vector<int> existing;
        std::vector<int> expected;
    } cases[] = {
        {{}, {1, 2}},
        {{1, 2}, {3, 4}},
        {{1, 3}, {4, 5}},  // after a deletion the new count is taken already
    };
    for (const auto& c : cases) {
        std::vector<Pipe> pipes;
        for (int n : c.existing) pipes.push_back(P("A", "B", "C", 1, 1)), pipes.back().number = n;
        AppendImportedPipes(pipes, {P("X", "Y", "Z", 2, 2), P("X", "Y", "Z", 3, 3)});
        ASSERT_EQ(pipes.size(), c.existing.size() + 2);
        EXPECT_EQ(pipes[pipes.size() - 2].number, c.expected[0]);
        EXPECT_EQ(pipes.back().number, c.expected[1]);
        EXPECT_EQ(pipes.back().outsideDiameter, 3);
    }
}

}  // namespace
}  // namespace tarvik
