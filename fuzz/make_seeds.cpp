// Writes the seed files of the fuzz targets: tarvik_fuzz_seeds FUZZ_CORPUS_FOLDER
// Seeds are small valid inputs; the replay test derives its prefixes and corruptions from them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/archive.hpp"
#include "data/spec_items.hpp"
#include "tests/support/workbook_files.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik;

void Save(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Save(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// Tags of the archive target: int, double, finite double, text, raw text, bytes, count.
void ArchiveSeeds(const fs::path& dir) {
    ArchiveWriter w;
    w.WriteBytes({1});
    w.WriteDouble(8.03);
    w.WriteBytes({6});
    w.WriteInt32(2);
    w.WriteBytes({3});
    w.WriteText("[0:Voda][1:Woda][2:Water][3:Wasser]");
    w.WriteBytes({0});
    w.WriteInt32(-7);
    w.WriteBytes({2});
    w.WriteDouble(-0.25);
    w.WriteBytes({4});
    w.WriteRawText("\x81\x83\x88\x90\x98");
    w.WriteBytes({5, 3, 'a', 'b', 'c'});
    w.WriteBytes({3});
    w.WriteText("");
    Save(dir / "mixed.bin", w.bytes());

    ArchiveWriter longText;
    longText.WriteBytes({3});
    longText.WriteText(std::string(254, 'x'));
    longText.WriteBytes({3});
    longText.WriteText(std::string(255, 'y'));
    Save(dir / "long_texts.bin", longText.bytes());
}

void ConditionSeeds(const fs::path& dir) {
    Save(dir / "specpodm.tkd",
         "// name;source;index;unit;kind;\r\n"
         "dn;v;5;mm;l;\r\n"
         "p1;pa;3;bar;p;\r\n"
         "t1;pi;2;C;t;\r\n"
         "\r\n"
         "{dn<=50}{p1>1,6}{t1=20}\r\n");
    Save(dir / "lf_only.tkd", "dn;;5;mm;l;\nx\n{dn <= 10}{xx>1\n");
    // Lines that the whole-file reading keeps or writes back in another form.
    Save(dir / "rewritten.tkd", "//note\r\r\n;\r\n\r\r\nx\ra;v;-1;mm;\n//\nname;src;abc;u;k;extra\n\xb0" "C;v");
}

void SpecItemSeeds(const fs::path& dir) {
    constexpr double kVersions[] = {7.0, 7.01, 7.05, 7.06, 7.07, 7.13, 8.0, 8.03};
    const SpecItemList items = {
        {10, "[0:Ocel][1:Stal][2:Steel][3:Stahl]", "{dn<=50}", "A", "O", "1"},
        {68, "[1:a|+b-|]", "", "", "", ""},
    };
    for (int kind = 0; kind < 2; ++kind) {
        for (int v = 0; v < 8; ++v) {
            ArchiveWriter w;
            w.WriteBytes({static_cast<std::uint8_t>(v + 8 * kind)});
            if (kind == 0) {
                WriteChoiceList(w, items, kVersions[v], 1);
            } else {
                WritePositionItems(w, items, kVersions[v], 1);
            }
            const std::string name = (kind == 0 ? "choices_" : "items_") + std::to_string(v) + ".bin";
            Save(dir / name, w.bytes());
        }
    }
}

// Small workbooks: a pipe table as .xlsx (shared and inline strings, two sheets), .ods (with
// repeats and a covered cell) and .csv in two encodings.
void WorkbookSeeds(const fs::path& dir) {
    using namespace workbook_test;
    const Table table = {{"K", "S", "W", "D", "s"}, {"A", "DN 5", "", "#6.3", "1,2"}, {"B", "#2", "x", "#1e3", "#0"}};
    std::vector<std::string> strings;
    const std::string rows = XlsxRows(table, strings);
    Save(dir / "two_sheets.xlsx", MakeXlsx({rows, "<row r=\"2\"><c r=\"B2\" t=\"b\"><v>1</v></c></row>"}, strings, 1));
    Save(dir / "inline.xlsx", TableToXlsx(table, true));
    Save(dir / "repeats.ods", MakeOds(OdsTable("T", table, "<table:table-row table:number-rows-repeated=\"3\"><table:covered-table-cell/>"
                                                      "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"boolean\" "
                                                      "office:boolean-value=\"true\"/></table:table-row>"),
                                      "T"));
    Save(dir / "semicolon.csv", std::string("K;S;W;D;s\r\n\"A;\"\"\";DN 5;;6,3;1\r\nB;\x9A;;;\r\n"));
    Save(dir / "bom_tab.csv", std::string("\xEF\xBB\xBFK\tS\tW\tD\ts\nA\t\xC5\xA1\tW\t1 016,5\t2\n"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FUZZ_CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    ArchiveSeeds(root / "archive");
    ConditionSeeds(root / "condition_variables");
    SpecItemSeeds(root / "spec_items");
    WorkbookSeeds(root / "workbook");
    return 0;
}
