#pragma once
// Valve-series files (*.dbv in the folder "dbv" of the program folder): the series header with
// its embedded drawing and series texts, the catalogue valves with their coefficient tables, the
// series choice list, text list and number list.
//
// The structures keep every field as the file stores it, so that writing a series that was read
// gives the same bytes; the fields marked "loaded" are what the program derives while reading
// (language sections, defaults of older versions) and are not written.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/spec_items.hpp"

namespace tarvik {

class ArchiveReader;
class ArchiveWriter;

// The stored int32 r means version r when r < 101 and r / 100 otherwise; every gate compares the
// version in hundredths (803 = 8.03, raw 5 = 500).
std::int64_t SeriesVersionHundredths(std::int32_t rawVersion);

using SeriesTable11 = std::array<double, 11>;  // opening 0 %, 10 %, ..., 100 %

enum SeriesTableIndex { kSeriesFL = 0, kSeriesXT, kSeriesFd, kSeriesXFz, kSeriesDLnLiquid, kSeriesDLnGas };

// An int32 and a text array that versions 7.03 to 7.07 store per valve; read and kept only for
// writing the file back.
struct DiscardedTexts {
    std::int32_t value = 0;
    bool longCount = false;           // count stored as 0xFFFF + uint32
    std::vector<std::string> texts;   // as stored (code page 1250 bytes)
};

struct SeriesValve {
    int characteristic = 0;  // 0 linear, 1 equal percentage, 2 table, 3 on-off
    double dn = 0;
    double item54 = 0;       // shown as specification item 54
    double item108 = 0;      // shown as specification item 108
    double Kvs = 0;
    double minKv = 0;
    double field7 = 0;
    // The noise inputs; the catalogue's JSON calls them noiseInput2, noiseInput3, liquidNoiseInput.
    double FLn = 0;                  // pressure recovery factor of the low-noise trim, 0 = none
    double nyF = 1e-8;               // acoustic efficiency factor for liquids
    double dLF = 0;                  // liquid noise correction, dB
    // FL, xT, Fd, fourth coefficient, liquid-noise and gas-noise tables (SeriesTableIndex).
    std::array<SeriesTable11, 6> tables{};
    SeriesTable11 kvTable{};         // only with characteristic 2 (v > 5)
    std::int32_t valveValue = 0;     // stored when 7.01 < v < 7.09
    std::array<double, 2> specNumbers{};
    DiscardedTexts discarded;
    std::string specText;
    std::array<std::string, 2> specTexts{};

    // loaded
    double rw = 0;                   // acoustical power ratio: the series default from v > 3 (noiseInput1)
    std::int32_t specValue = 0;      // the valve value, or the series value where the file has none
};

// One choice entry as stored; `text` is its multilingual text after loading.
struct SeriesChoice {
    std::int32_t id = 0;
    std::string storedText;   // v < 8: the plain text; v > 8: the multilingual text
    std::string storedText2;  // 7.01 <= v < 8: the text of section 2
    std::vector<std::pair<std::int32_t, std::string>> storedSections;  // v = 8.00
    std::string condition;
    std::string attribute;    // v >= 7.05
    std::string code;         // v >= 7.07
    std::string typeCode;     // v >= 7.13

    std::string text;         // loaded: composed and completed multilingual text
};

struct SeriesNumberRecord {
    std::array<std::string, 3> texts{};
    std::int32_t number = 0;  // stored when v > 7.16, else the position counting from 1
};

struct ValveSeries {
    std::int32_t rawVersion = 803;
    std::string name;                 // stored when v > 2, else the file title
    std::string storedDescription;    // v > 3
    std::array<std::int32_t, 6> tableFlags{};
    double seriesDefault = 0;         // v > 3
    std::int32_t drawingFlag = 0;     // v > 7.05
    std::int32_t drawingLength = 0;
    std::vector<std::string> drawingTexts;  // as stored (code page 1250 bytes)
    std::string drawingAnnotation;          // as stored; v > 7.08
    std::int32_t seriesValue = 0;           // v > 7.08
    std::string seriesText;                 // v > 7.08
    std::array<std::string, 2> texts710{};  // v > 7.1
    std::string designationTemplate;        // v > 7.11: template of the type designation
    std::array<std::string, 2> texts713{};  // v > 7.13
    std::string text801;                    // v > 8.01
    std::string companyText;                // v > 8.03: sectioned by company index
    std::string secondDesignationTemplate;  // v > 7.14
    std::vector<SeriesValve> valves;
    std::vector<SeriesChoice> choices;                   // v >= 7
    std::vector<std::array<std::string, 5>> textList;    // v >= 7.1
    std::vector<SeriesNumberRecord> numberList;          // v > 7.15

    // loaded
    std::string description;  // multilingual, converted for 3 < v < 8.03

    std::int64_t versionHundredths() const { return SeriesVersionHundredths(rawVersion); }
    bool hasDrawing() const { return drawingFlag != 0; }
    // Series name, then " (" + the description's current-language section + ")" when not empty.
    std::string DisplayName() const;
    // The choice entries as the specification pages and the type designation use them.
    SpecItemList ChoiceList() const;
    // The drawing as stored, its texts joined (code page 1250 bytes).
    std::string DrawingBytes() const;
    // The drawing layers a valve of this series shows for `typeDesignation`. A text-list record is
    // a variant: its first text a layer list (";A;B;"), its second the designation fragment that
    // selects it. The records whose fragment occurs in the designation apply; when none does, the
    // records without a fragment (the default variant) apply. Their lists become show entries
    // (";+A;+B;"); entries that already carry a sign stay as written. The variant list that hides
    // every record's layers is the item-75 text of a chosen catalogue valve.
    std::string VariantLayerText(std::string_view typeDesignation) const;
};

// Language settings the loader composes texts with.
struct SeriesTextOptions {
    int lang = 0;
    int langCount = 4;
};
SeriesTextOptions CurrentSeriesTextOptions();

// The "[lang:...]" form of an older plain description (3 < v < 8.03).
std::string ConvertSeriesDescription(const std::string& description, int lang);

// Reads a whole series file. `title` (the file name without extension) names series of
// version 2 and older. Throws ArchiveError on a truncated or corrupt file.
ValveSeries ReadValveSeries(ArchiveReader& in, const std::string& title, const SeriesTextOptions& options);
// Writes every field the series' version stores.
void WriteValveSeries(ArchiveWriter& out, const ValveSeries& series);
std::vector<std::uint8_t> ValveSeriesBytes(const ValveSeries& series);

// Loads one series file for the form, replacing `series` only on success. A missing file shows
// message 63020 with the path; a damaged one is refused with a message naming it.
bool LoadValveSeries(const std::filesystem::path& path, ValveSeries& series);
// Writes the series to `path` (temporary file and rename). Throws ArchiveError on failure.
void SaveValveSeries(const std::filesystem::path& path, const ValveSeries& series);

// Series display name -> full path of its file.
using SeriesTable = std::map<std::string, std::filesystem::path>;
// Series name -> full path of the extracted drawing "dwfNN.dwf".
using SeriesDrawingMap = std::map<std::string, std::filesystem::path>;

// The designation a series-table key stands for under `selector` (a company index or "0"): the
// section for the selector of the key's series name, the key up to its first " (" (the display
// name's description). The series dialog, the form and project loading all match by this.
std::string SeriesKeyDesignation(const std::string& key, const std::string& selector);
// The first entry of the table whose designation under `selector` is `designation`; the end of
// the table when none is (or the designation is empty).
SeriesTable::const_iterator FindSeriesEntry(const SeriesTable& table, const std::string& designation,
                                            const std::string& selector);

struct SeriesScan {
    SeriesTable table;
    SeriesDrawingMap drawings;
};

// Scans `programDir`/dbv/*.dbv in name order, builds the series table and writes the drawings
// of the series that carry one as `drawingDir`/dwfNN.dwf with the annotation in
// `drawingDir`/dwftxtNN.dwf (NN counts the series with a drawing from 01). No series file shows
// message 63010; a damaged file is reported and skipped.
SeriesScan ScanValveSeries(const std::filesystem::path& programDir, const std::filesystem::path& drawingDir);
SeriesScan ScanValveSeries(const std::filesystem::path& programDir);

// "dwf07.dwf" -> "dwftxt07.dwf" in the same folder.
std::filesystem::path DrawingTemplatePath(const std::filesystem::path& drawingPath);
// Deletes every extracted drawing and its companion file.
void RemoveSeriesDrawings(const SeriesDrawingMap& drawings);

// Message numbers of the valve catalogue; the damaged-file and cannot-write messages are those of
// every catalogue.
enum SeriesMessage {
    kMsgNoSeriesFiles = 63010,
    kMsgCannotOpenSeries = 63020,
    kMsgDamagedFile = 63930,
    kMsgCannotWriteDrawing = 63932,
};

}  // namespace tarvik
