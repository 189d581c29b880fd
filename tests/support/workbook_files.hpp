#pragma once
// Hand-made workbooks for tests, seeds and benchmarks: zip archives written with libzip, and
// .xlsx, .ods and .csv forms of one small table.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>
#include <zip.h>

namespace tarvik::workbook_test {

struct ZipEntry {
    std::string name, data;
};

inline std::vector<std::uint8_t> MakeZip(const std::vector<ZipEntry>& entries) {
    static int serial = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("tarvik_zip_" + std::to_string(::getpid()) + "_" + std::to_string(++serial) + ".zip");
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) throw std::runtime_error("zip_open failed");
    for (const ZipEntry& e : entries) {
        zip_source_t* src = zip_source_buffer(z, e.data.data(), e.data.size(), 0);
        if (!src || zip_file_add(z, e.name.c_str(), src, ZIP_FL_OVERWRITE) < 0) throw std::runtime_error("zip_file_add failed");
    }
    if (zip_close(z) != 0) throw std::runtime_error("zip_close failed");
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

inline std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// A cell of a table: "#57.5" is a number cell, anything else text ("" empty).
using Table = std::vector<std::vector<std::string>>;
inline bool IsNumberCell(const std::string& c) { return c.size() > 1 && c[0] == '#'; }

inline std::string ColumnName(std::size_t i) { return std::string(1, static_cast<char>('A' + i)); }

// One sheet's <sheetData> rows; texts as shared strings (appended to `strings`) or inline.
inline std::string XlsxRows(const Table& table, std::vector<std::string>& strings, bool inlineText = false) {
    std::ostringstream x;
    for (std::size_t r = 0; r < table.size(); ++r) {
        x << "<row r=\"" << r + 1 << "\">";
        for (std::size_t c = 0; c < table[r].size(); ++c) {
            const std::string& v = table[r][c];
            if (v.empty()) continue;
            const std::string ref = ColumnName(c) + std::to_string(r + 1);
            if (IsNumberCell(v)) {
                x << "<c r=\"" << ref << "\"><v>" << v.substr(1) << "</v></c>";
            } else if (inlineText) {
                x << "<c r=\"" << ref << "\" t=\"inlineStr\"><is><t>" << Escape(v) << "</t></is></c>";
            } else {
                x << "<c r=\"" << ref << "\" t=\"s\"><v>" << strings.size() << "</v></c>";
                strings.push_back(v);
            }
        }
        x << "</row>";
    }
    return x.str();
}

// An .xlsx with one sheet per entry of `sheetRows` (their <sheetData> content) and the tab
// `active` active.
inline std::vector<std::uint8_t> MakeXlsx(const std::vector<std::string>& sheetRows, const std::vector<std::string>& strings,
                                          int active = 0) {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<ZipEntry> e;
    std::string types = "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>";
    e.push_back({"[Content_Types].xml", types});
    e.push_back({"_rels/.rels", "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    std::string wb = "<?xml version=\"1.0\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel + "\"><bookViews><workbookView activeTab=\"" +
                     std::to_string(active) + "\"/></bookViews><sheets>";
    std::string rels = "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < sheetRows.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        wb += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        e.push_back({"xl/worksheets/sheet" + n + ".xml",
                     "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns + "\"><sheetData>" + sheetRows[i] + "</sheetData></worksheet>"});
    }
    rels += "<Relationship Id=\"rIdS\" Type=\"" + rel + "/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/></Relationships>";
    e.push_back({"xl/workbook.xml", wb + "</sheets></workbook>"});
    e.push_back({"xl/_rels/workbook.xml.rels", rels});
    std::string sst = "<?xml version=\"1.0\"?><sst xmlns=\"" + ns + "\">";
    for (const std::string& s : strings) sst += "<si><t xml:space=\"preserve\">" + Escape(s) + "</t></si>";
    e.push_back({"xl/sharedStrings.xml", sst + "</sst>"});
    return MakeZip(e);
}

inline std::vector<std::uint8_t> TableToXlsx(const Table& table, bool inlineText = false) {
    std::vector<std::string> strings;
    const std::string rows = XlsxRows(table, strings, inlineText);
    return MakeXlsx({rows}, strings);
}

// One <table:table> of an .ods content.xml.
inline std::string OdsTable(const std::string& name, const Table& table, const std::string& extraRows = "") {
    std::ostringstream x;
    x << "<table:table table:name=\"" << name << "\">";
    for (const auto& row : table) {
        x << "<table:table-row>";
        for (const std::string& v : row) {
            if (v.empty()) x << "<table:table-cell/>";
            else if (IsNumberCell(v))
                x << "<table:table-cell office:value-type=\"float\" office:value=\"" << v.substr(1) << "\"><text:p>" << v.substr(1) << "</text:p></table:table-cell>";
            else x << "<table:table-cell office:value-type=\"string\"><text:p>" << Escape(v) << "</text:p></table:table-cell>";
        }
        x << "</table:table-row>";
    }
    x << extraRows << "</table:table>";
    return x.str();
}

inline std::vector<std::uint8_t> MakeOds(const std::string& tables, const std::string& activeTable = "") {
    std::vector<ZipEntry> e;
    e.push_back({"mimetype", "application/vnd.oasis.opendocument.spreadsheet"});
    e.push_back({"content.xml",
                 "<?xml version=\"1.0\"?><office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                 "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
                 "<office:body><office:spreadsheet>" + tables + "</office:spreadsheet></office:body></office:document-content>"});
    if (!activeTable.empty())
        e.push_back({"settings.xml",
                     "<?xml version=\"1.0\"?><office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                     "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"><office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
                     "<config:config-item config:name=\"ActiveTable\" config:type=\"string\">" + activeTable + "</config:config-item>"
                     "</config:config-item-set></office:settings></office:document-settings>"});
    return MakeZip(e);
}

inline std::vector<std::uint8_t> TableToOds(const Table& table) { return MakeOds(OdsTable("Sheet1", table)); }

inline std::vector<std::uint8_t> TableToCsv(const Table& table, char sep = ';') {
    std::string s;
    for (const auto& row : table) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) s += sep;
            s += IsNumberCell(row[c]) ? row[c].substr(1) : row[c];
        }
        s += "\r\n";
    }
    return {s.begin(), s.end()};
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace tarvik::workbook_test
