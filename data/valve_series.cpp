#include "data/valve_series.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <system_error>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/messages.hpp"
#include "data/settings.hpp"

namespace tarvik {
namespace {

// Smallest possible records, for rejecting counts that the rest of the file cannot hold.
constexpr std::size_t kMinValveBytes = 5 * 8 + 3 * 2 * 8;
constexpr std::size_t kMinChoiceBytes = 4 + 1 + 1;
constexpr std::size_t kMinTextRecordBytes = 5;
constexpr std::size_t kMinNumberRecordBytes = 3;

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

std::string Section(const std::string& lang, const std::string& text) {
    return "[" + lang + ":" + text + "]";
}

void ReadTable(ArchiveReader& in, SeriesTable11& table, std::int32_t flag) {
    table.fill(0);
    if (flag != 0) {
        for (double& v : table) v = in.ReadFiniteDouble();
    } else {
        table[0] = in.ReadFiniteDouble();
        table[10] = in.ReadFiniteDouble();
    }
}

void WriteTable(ArchiveWriter& out, const SeriesTable11& table, std::int32_t flag) {
    if (flag != 0) {
        for (double v : table) out.WriteDouble(v);
    } else {
        out.WriteDouble(table[0]);
        out.WriteDouble(table[10]);
    }
}

std::uint32_t ReadUInt(ArchiveReader& in, std::size_t bytes) {
    std::vector<std::uint8_t> b = in.ReadBytes(bytes);
    std::uint32_t v = 0;
    for (std::size_t i = bytes; i-- > 0;) v = (v << 8) | b[i];
    return v;
}

void WriteUInt(ArchiveWriter& out, std::uint32_t v, std::size_t bytes) {
    std::vector<std::uint8_t> b(bytes);
    for (std::size_t i = 0; i < bytes; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    out.WriteBytes(b);
}

SeriesValve ReadValve(ArchiveReader& in, const ValveSeries& s, std::int64_t v) {
    SeriesValve r;
    if (v > 300) r.characteristic = in.ReadInt32();
    r.dn = in.ReadFiniteDouble();
    r.item54 = in.ReadFiniteDouble();
    r.item108 = in.ReadFiniteDouble();
    r.Kvs = in.ReadFiniteDouble();
    if (v > 500) r.minKv = in.ReadFiniteDouble();
    r.field7 = in.ReadFiniteDouble();
    if (v > 300) r.FLn = in.ReadFiniteDouble();
    if (v > 501) {
        r.nyF = in.ReadFiniteDouble();
        r.dLF = in.ReadFiniteDouble();
    }
    ReadTable(in, r.tables[kSeriesFL], s.tableFlags[0]);
    ReadTable(in, r.tables[kSeriesXT], s.tableFlags[1]);
    ReadTable(in, r.tables[kSeriesFd], s.tableFlags[2]);
    if (v > 300) ReadTable(in, r.tables[kSeriesXFz], s.tableFlags[3]);
    if (v > 502) {
        ReadTable(in, r.tables[kSeriesDLnLiquid], s.tableFlags[4]);
        ReadTable(in, r.tables[kSeriesDLnGas], s.tableFlags[5]);
    }
    if (v > 500 && r.characteristic == 2) ReadTable(in, r.kvTable, 1);
    if (v > 701 && v < 709) r.valveValue = in.ReadInt32();
    if (v > 701) {
        r.specNumbers[0] = in.ReadFiniteDouble();
        r.specNumbers[1] = in.ReadFiniteDouble();
    }
    if (v > 702 && v < 708) {
        r.discarded.value = in.ReadInt32();
        std::uint32_t count = ReadUInt(in, 2);
        if (count == 0xFFFF) {
            r.discarded.longCount = true;
            count = ReadUInt(in, 4);
        }
        in.CheckCount(count, 1);
        for (std::uint32_t i = 0; i < count; ++i) r.discarded.texts.push_back(in.ReadRawText());
    }
    if (v > 703) r.specText = in.ReadText();
    if (v > 711) {
        r.specTexts[0] = in.ReadText();
        r.specTexts[1] = in.ReadText();
    }
    r.rw = v > 300 ? s.seriesDefault : 0;
    r.specValue = (v > 701 && v < 709) ? r.valveValue : s.seriesValue;
    return r;
}

void WriteValve(ArchiveWriter& out, const SeriesValve& r, const ValveSeries& s, std::int64_t v) {
    if (v > 300) out.WriteInt32(r.characteristic);
    out.WriteDouble(r.dn);
    out.WriteDouble(r.item54);
    out.WriteDouble(r.item108);
    out.WriteDouble(r.Kvs);
    if (v > 500) out.WriteDouble(r.minKv);
    out.WriteDouble(r.field7);
    if (v > 300) out.WriteDouble(r.FLn);
    if (v > 501) {
        out.WriteDouble(r.nyF);
        out.WriteDouble(r.dLF);
    }
    WriteTable(out, r.tables[kSeriesFL], s.tableFlags[0]);
    WriteTable(out, r.tables[kSeriesXT], s.tableFlags[1]);
    WriteTable(out, r.tables[kSeriesFd], s.tableFlags[2]);
    if (v > 300) WriteTable(out, r.tables[kSeriesXFz], s.tableFlags[3]);
    if (v > 502) {
        WriteTable(out, r.tables[kSeriesDLnLiquid], s.tableFlags[4]);
        WriteTable(out, r.tables[kSeriesDLnGas], s.tableFlags[5]);
    }
    if (v > 500 && r.characteristic == 2) WriteTable(out, r.kvTable, 1);
    if (v > 701 && v < 709) out.WriteInt32(r.valveValue);
    if (v > 701) {
        out.WriteDouble(r.specNumbers[0]);
        out.WriteDouble(r.specNumbers[1]);
    }
    if (v > 702 && v < 708) {
        out.WriteInt32(r.discarded.value);
        const auto count = static_cast<std::uint32_t>(r.discarded.texts.size());
        if (r.discarded.longCount || count >= 0xFFFF) {
            WriteUInt(out, 0xFFFF, 2);
            WriteUInt(out, count, 4);
        } else {
            WriteUInt(out, count, 2);
        }
        for (const auto& t : r.discarded.texts) out.WriteRawText(t);
    }
    if (v > 703) out.WriteText(r.specText);
    if (v > 711) {
        out.WriteText(r.specTexts[0]);
        out.WriteText(r.specTexts[1]);
    }
}

SeriesChoice ReadChoice(ArchiveReader& in, std::int64_t v, const SeriesTextOptions& o) {
    SeriesChoice c;
    c.id = in.ReadInt32();
    const std::string lang = std::to_string(o.lang);
    if (v < 800) {
        c.storedText = in.ReadText();
        c.text = Section(lang, c.storedText);
        if (v >= 701) {
            c.storedText2 = in.ReadText();
            c.text += Section("2", c.storedText2);
        }
    } else if (v == 800) {
        std::int32_t n = in.ReadInt32();
        in.CheckCount(n, 5);
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t key = in.ReadInt32();
            std::string t = in.ReadText();
            c.text += Section(std::to_string(key), t);
            c.storedSections.emplace_back(key, std::move(t));
        }
    } else {
        c.storedText = in.ReadText();
        c.text = c.storedText;
    }
    c.text = CompleteLangText(c.text, o.lang, o.langCount);
    c.condition = in.ReadText();
    if (v >= 705) c.attribute = in.ReadText();
    if (v >= 707) c.code = in.ReadText();
    if (v >= 713) c.typeCode = in.ReadText();
    return c;
}

void WriteChoice(ArchiveWriter& out, const SeriesChoice& c, std::int64_t v) {
    out.WriteInt32(c.id);
    if (v < 800) {
        out.WriteText(c.storedText);
        if (v >= 701) out.WriteText(c.storedText2);
    } else if (v == 800) {
        out.WriteInt32(static_cast<std::int32_t>(c.storedSections.size()));
        for (const auto& [key, t] : c.storedSections) {
            out.WriteInt32(key);
            out.WriteText(t);
        }
    } else {
        out.WriteText(c.storedText);
    }
    out.WriteText(c.condition);
    if (v >= 705) out.WriteText(c.attribute);
    if (v >= 707) out.WriteText(c.code);
    if (v >= 713) out.WriteText(c.typeCode);
}

// Header fields 1 to 11: everything the series scan needs.
void ReadHeadUpToDrawing(ArchiveReader& in, ValveSeries& s, const std::string& title, std::int32_t& valveCount) {
    s.rawVersion = in.ReadInt32();
    if (s.rawVersion < 0) in.Fail("not a valve-series file (version " + std::to_string(s.rawVersion) + ")");
    const std::int64_t v = s.versionHundredths();
    s.name = v > 200 ? in.ReadText() : title;
    if (v > 300) s.storedDescription = in.ReadText();
    s.tableFlags[0] = in.ReadInt32();
    if (v > 400) {
        for (int i = 1; i < 4; ++i) s.tableFlags[i] = in.ReadInt32();
    } else {
        for (int i = 1; i < 4; ++i) s.tableFlags[i] = s.tableFlags[0];
    }
    if (v > 502) {
        s.tableFlags[4] = in.ReadInt32();
        s.tableFlags[5] = in.ReadInt32();
    }
    valveCount = in.ReadInt32();
    if (v > 300) s.seriesDefault = in.ReadFiniteDouble();
    if (v > 705) s.drawingFlag = in.ReadInt32();
    if (s.drawingFlag != 0) {
        s.drawingLength = in.ReadInt32();
        // Texts until their lengths reach the drawing length; each text takes at least its
        // prefix byte, so a damaged length runs into the end of the file, not into a loop.
        std::int64_t total = 0;
        while (total < s.drawingLength) {
            s.drawingTexts.push_back(in.ReadRawText());
            total += static_cast<std::int64_t>(s.drawingTexts.back().size());
        }
        if (v > 708) s.drawingAnnotation = in.ReadRawText();
    }
}

}  // namespace

std::int64_t SeriesVersionHundredths(std::int32_t rawVersion) {
    return rawVersion < 101 ? static_cast<std::int64_t>(rawVersion) * 100 : rawVersion;
}

SeriesTextOptions CurrentSeriesTextOptions() {
    const Settings& s = CurrentSettings();
    return {s.lang, s.langCount};
}

std::string ConvertSeriesDescription(const std::string& description, int lang) {
    const std::string key = std::to_string(lang);
    const std::size_t open = description.find('[');
    if (open == std::string::npos) return Section(key, description);
    const std::string before = TrimRight(description.substr(0, open));
    std::size_t close = description.find(']', open + 1);
    if (close == std::string::npos) close = description.size();
    const std::string inside = TrimRight(description.substr(open + 1, close - open - 1));
    return Section(key, before) + Section("2", inside);
}

std::string ValveSeries::DisplayName() const {
    const std::string section = GetLangText(description, -1);
    return section.empty() ? name : name + " (" + section + ")";
}

SpecItemList ValveSeries::ChoiceList() const {
    SpecItemList list;
    list.reserve(choices.size());
    for (const auto& c : choices) list.push_back({c.id, c.text, c.condition, c.attribute, c.code, c.typeCode});
    return list;
}

std::string ValveSeries::VariantLayerText(std::string_view typeDesignation) const {
    auto selected = [&](const std::array<std::string, 5>& record) {
        return !record[1].empty() && typeDesignation.find(record[1]) != std::string_view::npos;
    };
    // A designation no selector matches is the series' default variant.
    const bool anySelected = std::any_of(textList.begin(), textList.end(), selected);
    std::string shown;
    for (const auto& record : textList) {
        if (anySelected ? !selected(record) : !record[1].empty()) continue;
        const std::string& layers = record[0];
        for (std::size_t i = 0; i < layers.size(); ++i) {
            shown += layers[i];
            if (layers[i] == ';' && i + 1 < layers.size() && layers[i + 1] != ';' && layers[i + 1] != '+' &&
                layers[i + 1] != '-')
                shown += '+';
        }
    }
    return shown;
}

std::string ValveSeries::DrawingBytes() const {
    std::string all;
    for (const auto& t : drawingTexts) all += t;
    return all;
}

ValveSeries ReadValveSeries(ArchiveReader& in, const std::string& title, const SeriesTextOptions& options) {
    ValveSeries s;
    std::int32_t valveCount = 0;
    ReadHeadUpToDrawing(in, s, title, valveCount);
    const std::int64_t v = s.versionHundredths();
    if (v > 708) {
        s.seriesValue = in.ReadInt32();
        s.seriesText = in.ReadText();
    }
    if (v > 710) {
        s.texts710[0] = in.ReadText();
        s.texts710[1] = in.ReadText();
    }
    if (v > 711) s.designationTemplate = in.ReadText();
    if (v > 713) {
        s.texts713[0] = in.ReadText();
        s.texts713[1] = in.ReadText();
    }
    if (v > 801) s.text801 = in.ReadText();
    if (v > 803) s.companyText = in.ReadText();
    if (v > 714) s.secondDesignationTemplate = in.ReadText();

    if (v > 300 && v < 803)
        s.description = ConvertSeriesDescription(s.storedDescription, options.lang);
    else
        s.description = s.storedDescription;

    in.CheckCount(valveCount, kMinValveBytes);
    for (std::int32_t i = 0; i < valveCount; ++i) s.valves.push_back(ReadValve(in, s, v));
    if (v >= 700) {
        std::int32_t n = in.ReadInt32();
        in.CheckCount(n, kMinChoiceBytes);
        for (std::int32_t i = 0; i < n; ++i) s.choices.push_back(ReadChoice(in, v, options));
    }
    if (v >= 710) {
        std::int32_t n = in.ReadInt32();
        in.CheckCount(n, kMinTextRecordBytes);
        for (std::int32_t i = 0; i < n; ++i) {
            std::array<std::string, 5> r;
            for (auto& t : r) t = in.ReadText();
            s.textList.push_back(std::move(r));
        }
    }
    if (v > 715) {
        std::int32_t n = in.ReadInt32();
        in.CheckCount(n, kMinNumberRecordBytes);
        for (std::int32_t i = 0; i < n; ++i) {
            SeriesNumberRecord r;
            for (auto& t : r.texts) t = in.ReadText();
            r.number = v > 716 ? in.ReadInt32() : i + 1;
            s.numberList.push_back(std::move(r));
        }
    }
    return s;
}

void WriteValveSeries(ArchiveWriter& out, const ValveSeries& s) {
    const std::int64_t v = s.versionHundredths();
    out.WriteInt32(s.rawVersion);
    if (v > 200) out.WriteText(s.name);
    if (v > 300) out.WriteText(s.storedDescription);
    out.WriteInt32(s.tableFlags[0]);
    if (v > 400)
        for (int i = 1; i < 4; ++i) out.WriteInt32(s.tableFlags[i]);
    if (v > 502) {
        out.WriteInt32(s.tableFlags[4]);
        out.WriteInt32(s.tableFlags[5]);
    }
    out.WriteInt32(static_cast<std::int32_t>(s.valves.size()));
    if (v > 300) out.WriteDouble(s.seriesDefault);
    if (v > 705) out.WriteInt32(s.drawingFlag);
    if (v > 705 && s.drawingFlag != 0) {
        out.WriteInt32(s.drawingLength);
        for (const auto& t : s.drawingTexts) out.WriteRawText(t);
        if (v > 708) out.WriteRawText(s.drawingAnnotation);
    }
    if (v > 708) {
        out.WriteInt32(s.seriesValue);
        out.WriteText(s.seriesText);
    }
    if (v > 710) {
        out.WriteText(s.texts710[0]);
        out.WriteText(s.texts710[1]);
    }
    if (v > 711) out.WriteText(s.designationTemplate);
    if (v > 713) {
        out.WriteText(s.texts713[0]);
        out.WriteText(s.texts713[1]);
    }
    if (v > 801) out.WriteText(s.text801);
    if (v > 803) out.WriteText(s.companyText);
    if (v > 714) out.WriteText(s.secondDesignationTemplate);

    // Tables of versions up to 4 share flag 1, as the reader takes them.
    ValveSeries flags;
    flags.tableFlags = s.tableFlags;
    if (v <= 400)
        for (int i = 1; i < 4; ++i) flags.tableFlags[i] = s.tableFlags[0];
    for (const auto& valve : s.valves) WriteValve(out, valve, flags, v);
    if (v >= 700) {
        out.WriteInt32(static_cast<std::int32_t>(s.choices.size()));
        for (const auto& c : s.choices) WriteChoice(out, c, v);
    }
    if (v >= 710) {
        out.WriteInt32(static_cast<std::int32_t>(s.textList.size()));
        for (const auto& r : s.textList)
            for (const auto& t : r) out.WriteText(t);
    }
    if (v > 715) {
        out.WriteInt32(static_cast<std::int32_t>(s.numberList.size()));
        for (const auto& r : s.numberList) {
            for (const auto& t : r.texts) out.WriteText(t);
            if (v > 716) out.WriteInt32(r.number);
        }
    }
}

std::vector<std::uint8_t> ValveSeriesBytes(const ValveSeries& series) {
    ArchiveWriter out;
    WriteValveSeries(out, series);
    return out.bytes();
}

bool LoadValveSeries(const std::filesystem::path& path, ValveSeries& series) {
    try {
        std::optional<ArchiveReader> in = ArchiveReader::OpenIfPresent(path);
        if (!in) {
            ShowMessage(kMsgCannotOpenSeries, path.string());
            return false;
        }
        series = ReadValveSeries(*in, path.stem().string(), CurrentSeriesTextOptions());
        return true;
    } catch (const ArchiveError& e) {
        ShowMessage(kMsgDamagedFile, e.what());
        return false;
    }
}

void SaveValveSeries(const std::filesystem::path& path, const ValveSeries& series) {
    ArchiveWriter out;
    WriteValveSeries(out, series);
    out.SaveAtomically(path);
}

std::filesystem::path DrawingTemplatePath(const std::filesystem::path& drawingPath) {
    std::string s = drawingPath.string();
    if (s.size() < 6) return drawingPath;
    s.insert(s.size() - 6, "txt");
    return s;
}

void RemoveSeriesDrawings(const SeriesDrawingMap& drawings) {
    for (const auto& [name, path] : drawings) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        std::filesystem::remove(DrawingTemplatePath(path), ec);
    }
}

namespace {

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return static_cast<bool>(f);
}

bool IsSeriesFile(const std::filesystem::directory_entry& e) {
    std::error_code ec;
    if (!e.is_regular_file(ec)) return false;
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".dbv";
}

}  // namespace

SeriesScan ScanValveSeries(const std::filesystem::path& programDir, const std::filesystem::path& drawingDir) {
    SeriesScan scan;
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(programDir / "dbv", ec), end; !ec && it != end; it.increment(ec))
        if (IsSeriesFile(*it)) files.push_back(it->path());
    if (files.empty()) {
        ShowMessage(kMsgNoSeriesFiles);
        return scan;
    }
    std::sort(files.begin(), files.end());
    const SeriesTextOptions options = CurrentSeriesTextOptions();
    int counter = 0;
    for (const auto& file : files) {
        ValveSeries s;
        try {
            ArchiveReader in = ArchiveReader::FromFile(file);
            std::int32_t valveCount = 0;
            ReadHeadUpToDrawing(in, s, file.stem().string(), valveCount);
        } catch (const ArchiveError& e) {
            ShowMessage(kMsgDamagedFile, e.what());
            continue;
        }
        const std::int64_t v = s.versionHundredths();
        s.description = (v > 300 && v < 803) ? ConvertSeriesDescription(s.storedDescription, options.lang)
                                             : s.storedDescription;
        if (s.hasDrawing()) {
            ++counter;
            char nn[16];
            std::snprintf(nn, sizeof nn, "%02d", counter);
            const std::filesystem::path drawing = drawingDir / ("dwf" + std::string(nn) + ".dwf");
            const std::filesystem::path annotation = drawingDir / ("dwftxt" + std::string(nn) + ".dwf");
            if (!WriteWholeFile(drawing, s.DrawingBytes())) {
                ShowMessage(kMsgCannotWriteDrawing, drawing.string());
            } else if (!WriteWholeFile(annotation, s.drawingAnnotation)) {
                ShowMessage(kMsgCannotWriteDrawing, annotation.string());
            } else {
                scan.drawings[s.name] = drawing;
            }
        }
        scan.table[s.DisplayName()] = file;
    }
    return scan;
}

SeriesScan ScanValveSeries(const std::filesystem::path& programDir) { return ScanValveSeries(programDir, programDir); }

std::string SeriesKeyDesignation(const std::string& key, const std::string& selector) {
    return GetLangText(std::string_view(key).substr(0, key.find(" (")), selector);
}

SeriesTable::const_iterator FindSeriesEntry(const SeriesTable& table, const std::string& designation,
                                            const std::string& selector) {
    if (designation.empty()) return table.end();
    for (auto it = table.begin(); it != table.end(); ++it)
        if (SeriesKeyDesignation(it->first, selector) == designation) return it;
    return table.end();
}

}  // namespace tarvik
