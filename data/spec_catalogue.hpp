#pragma once
// The specification catalogue "specpoh.tkd" (actuators and further catalogue sections with their
// sub-lists) and the tables of the actuator sizing "specpoh06a.tkd", "specpoh06b.tkd",
// "specpoh07.tkd", "specpoh09.tkd" and "specpoh10.tkd". Fields that a version does not store keep
// the defaults below; the writers write exactly the fields of the stored version.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik {

class ArchiveReader;
class ArchiveWriter;

struct SpecValueItem {
    std::string name;
    double value = 0;
    std::string extra;
};

// List a: a named value (for actuators: a size) with its value items.
struct SpecSizeItem {
    std::string name;
    double value = 0;
    std::string text;   // v > 2
    std::string text2;  // section 1, v > 5
    std::vector<SpecValueItem> values;
};

// List b of section 1: a spring range in kPa; list b of section 2: two numbers and a text.
struct SpecRangeItem {
    double from = 0;
    double to = 0;
    std::string text;
    std::string code = "0";  // section 1, stored from v 4
};

// List c of section 1: a supply pressure in kPa.
struct SpecSupplyItem {
    double value = 0;
    std::string text;
    std::string text2;  // v > 5
};

// List c of section 2.
struct SpecTextPair {
    std::string first, second;
};

// List d: a choice; the fourth text (section 1, v > 5) is its code.
struct SpecChoiceItem {
    std::array<std::string, 4> texts{};
};

struct SpecActuator {  // section 1
    std::string name;
    std::string second;
    std::string kind;                      // v > 4: the kind code ("AT": spring ranges "S" + number)
    std::array<std::string, 4> codes{};    // v > 5: O1, O2, OF-P, OF-N
    std::vector<SpecSizeItem> sizes;       // list a
    std::vector<SpecRangeItem> springs;    // list b
    std::vector<SpecSupplyItem> supplies;  // list c
    std::vector<SpecChoiceItem> options;   // list d
};

struct SpecSection2Entry {
    std::string name;
    std::string second;
    std::vector<SpecSizeItem> a;
    std::vector<SpecRangeItem> b;  // code unused
    std::vector<SpecTextPair> c;
    std::vector<SpecChoiceItem> d;  // three texts
};

struct SpecSection3Entry {
    std::string name;
    std::string second;
    std::vector<SpecSizeItem> a;  // name, value, text, value items
};

enum SpecActuatorCode { kCodeO1 = 0, kCodeO2, kCodeOFP, kCodeOFN };

struct SpecCatalogue {
    std::int32_t version = 6;
    std::array<std::string, 4> catalogueCodes{"P", "R", "S", "N"};  // A to D, stored in v 4 and 5
    std::int32_t valueCount1 = 0;  // value items per list-a entry, v >= 2
    std::vector<SpecActuator> section1;
    std::string codeE = "E";       // v >= 4
    std::int32_t valueCount2 = 0;
    std::vector<SpecSection2Entry> section2;
    std::string codeF = "N";       // v >= 4
    std::int32_t valueCount3 = 0;  // v > 2
    std::vector<SpecSection3Entry> section3;
    std::string valueListText;
    std::vector<SpecValueItem> valueList;

    // The first actuator of section 1 with exactly this name; nullptr when none.
    const SpecActuator* FindActuator(const std::string& name) const;
};

// Codes: the last text each entry of the version stores.
std::string SizeCode(const SpecSizeItem& item, std::int32_t version);
std::string SupplyCode(const SpecSupplyItem& item, std::int32_t version);

SpecCatalogue ReadSpecCatalogue(ArchiveReader& in);
void WriteSpecCatalogue(ArchiveWriter& out, const SpecCatalogue& catalogue);

// "specpoh07.tkd", "specpoh09.tkd", "specpoh10.tkd": per entry two keys and rows of points.
struct SpecCurveRow {
    double x = 0;
    std::vector<std::array<double, 2>> points;
};
struct SpecCurveEntry {
    std::int32_t key1 = -1;
    std::int32_t key2 = -1;
    std::vector<SpecCurveRow> rows;
};
struct SpecCurveTable {
    std::int32_t version = 0;
    std::vector<SpecCurveEntry> entries;
};

// "specpoh06a.tkd": named entries with rows of three-number points, then five-number records.
struct SpecTable06aRow {
    double x = 0;
    std::vector<std::array<double, 3>> points;
};
struct SpecTable06aEntry {
    std::string name;
    std::vector<SpecTable06aRow> rows;
};
struct SpecTable06a {
    std::int32_t version = 0;
    std::vector<SpecTable06aEntry> entries;
    std::vector<std::array<double, 5>> records;
};

// "specpoh06b.tkd".
struct SpecTable06bRecord {
    double a = 0, b = 0;
    std::int32_t c = 0;
    std::string d;
    double e = 0;
    std::string f;
    double g = 0;
};
struct SpecTable06b {
    std::int32_t version = 0;
    std::vector<SpecTable06bRecord> records;
};

SpecCurveTable ReadSpecCurveTable(ArchiveReader& in);
void WriteSpecCurveTable(ArchiveWriter& out, const SpecCurveTable& table);
SpecTable06a ReadSpecTable06a(ArchiveReader& in);
void WriteSpecTable06a(ArchiveWriter& out, const SpecTable06a& table);
SpecTable06b ReadSpecTable06b(ArchiveReader& in);
void WriteSpecTable06b(ArchiveWriter& out, const SpecTable06b& table);

struct SpecTables {
    SpecTable06a t06a;
    SpecTable06b t06b;
    SpecCurveTable t07, t09, t10;
};

// Loaders of the program folder's files. A missing file shows message 63002 with its path, a
// damaged one a message naming it; either leaves that list empty and returns false.
bool LoadSpecCatalogue(SpecCatalogue& catalogue);
bool LoadSpecCatalogue(const std::filesystem::path& path, SpecCatalogue& catalogue);
// Loads all five tables; each file on its own, so one missing file leaves only its list empty.
bool LoadSpecTables(SpecTables& tables);
bool LoadSpecTables(const std::filesystem::path& folder, SpecTables& tables);
void FreeSpecCatalogue(SpecCatalogue& catalogue, SpecTables& tables);

enum SpecMessage { kMsgCannotOpenSpecFile = 63002 };

}  // namespace tarvik
