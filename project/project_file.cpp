#include "project/project_file.hpp"

#include <cmath>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/number_text.hpp"
#include "project/project_text_check.hpp"

namespace tarvik {
namespace {

// Values are the user's numbers; a non-finite pattern in a file can only be damage, and must
// not reach a calculation or a screen.
double ReadValue(ArchiveReader& in) {
    const double v = in.ReadDouble();
    return std::isfinite(v) ? v : 0.0;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

// Stores an item text of the refresh in the form a reload keeps. A text holding "[" but not
// starting with it stays as it is in StoreItemText, and the reader would wrap it as a section of
// the current language: wrap it here already, or every open and save would change it again.
void StoreRefreshedItem(int id, SpecItemList& items, const std::string& text, int lang) {
    StoreItemText(id, items, nullptr, text);
    for (auto& item : items) {
        if (item.id != id) continue;
        if (!item.text.starts_with('[')) item.text = "[" + std::to_string(lang) + ":" + item.text + "]";
        break;
    }
}

int CharacteristicFromOldText(const std::string& text) {
    if (text == "LIN") return 0;
    if (text == "ROVN") return 1;
    if (text == "MOD") return 2;
    if (text == "On-Off") return 3;
    return 0;
}

// Smallest number of bytes one position can take in the oldest layout: four texts, one i32,
// auxInt, two texts, three i32 and 30 x (3 doubles + a text).
constexpr std::size_t kMinPositionBytes = 4 + 4 + 4 + 2 + 12 + 30 * 25;

ValvePosition ReadPosition(ArchiveReader& in, double V, const std::string& projectSelector,
                           const ProjectLoadContext& context) {
    ValvePosition p;
    p.pieces.clear();
    p.name = in.ReadText();
    p.auxText = in.ReadText();
    p.note = in.ReadText();
    p.mediumState = in.ReadInt32();
    if (V < 5.08)
        for (int i = 0; i < 3; ++i) in.ReadInt32();
    p.auxInt = in.ReadInt32();
    p.mediumName = in.ReadText();
    p.mediumTag = in.ReadText();
    p.savedAt = V > 5.09 ? static_cast<std::uint32_t>(in.ReadInt32()) : context.now;
    p.manualCoefficients = V > 5.11 ? in.ReadInt32() : 0;
    p.gaugePressures = V > 5.12 ? in.ReadInt32() : 0;
    for (auto& e : p.pointEnabled) e = in.ReadInt32();
    for (int k = 0; k < kSlotCount; ++k) {
        for (int j = 0; j < kPointCount; ++j) p.values[k][j] = ReadValue(in);
        p.units[k] = in.ReadText();
    }
    p.designationSelector = V > 8.02 ? in.ReadText() : projectSelector;
    p.designation = in.ReadText();

    if (V > 3)
        for (int i = 0; i <= 8; ++i) p.valveData[i] = ReadValue(in);
    if (V > 5.06)
        for (int i = 9; i <= 10; ++i) p.valveData[i] = ReadValue(in);
    if (V > 5.08)
        for (int i = 11; i <= 14; ++i) p.valveData[i] = ReadValue(in);
    if (V == 3.0) {
        // The oldest files kept eleven values here, already as outside diameters.
        p.valveData[0] = ReadValue(in);
        for (int i = 0; i < 4; ++i) p.valveData[1] = ReadValue(in);
        for (int i = 2; i <= 7; ++i) p.valveData[i] = ReadValue(in);
    } else if (V < 7.13) {
        // Older files stored inside diameters of the pipes.
        p.valveData[kVdInletPipeOD] += 2 * p.valveData[kVdInletPipeWall];
        p.valveData[kVdOutletPipeOD] += 2 * p.valveData[kVdOutletPipeWall];
    }

    if (V >= 5.14) {
        p.characteristic = in.ReadInt32();
        if (V < 7.02 && (p.characteristic == 1 || p.characteristic == 2)) p.characteristic = 3 - p.characteristic;
    } else if (V > 3) {
        p.characteristic = CharacteristicFromOldText(in.ReadText());
    }
    if (V > 3) p.rowIdList = in.ReadText();
    if (V > 5)
        for (auto& t : p.pipeTexts) t = in.ReadText();
    for (int row = 0; row < 6; ++row) {
        const bool present = row <= 3 ? V > 5.02 : row == 4 ? V > 5.04 : V > 5.1;
        if (!present) continue;
        for (int j = 0; j < kPointCount; ++j) p.resultTexts[row][j] = in.ReadText();
    }
    if (V < 5.04 && p.mediumState > 1)
        for (auto& t : p.resultTexts[kResRegime]) t.clear();
    if (V < 5.06 && p.mediumState < 2) {
        p.resultTexts[kResDLi] = p.resultTexts[kResVelocity];
        for (auto& t : p.resultTexts[kResVelocity]) t.clear();
    }
    if (V < 5.09) p.units[24] = p.units[16];

    if (V >= 7) p.specItems = ReadPositionItems(in, V, context.lang);
    if (V == 7.03) p.seriesFlag = in.ReadInt32();
    if (V >= 7.05) {
        const std::int32_t count = in.ReadInt32();
        in.CheckCount(count, 2);
        for (std::int32_t i = 0; i < count; ++i) {
            std::string value = in.ReadText();
            std::string key = in.ReadText();
            // The old program kept the pairs as read, even with a repeated key.
            p.titleBlock.pairs.emplace_back(std::move(key), std::move(value));
        }
    }
    if (V > 7.06) {
        p.selectedCharacteristic = in.ReadInt32();
        p.selectedDn = ReadValue(in);
        p.selectedKvs = ReadValue(in);
    } else {
        p.selectedCharacteristic = p.characteristic;
        p.selectedDn = p.valveData[kVdInletSize];
        p.selectedKvs = p.valveData[kVdKvs];
    }
    if (V > 7.07) {
        p.maxPressureUnit = in.ReadText();
        p.maxTemperatureUnit = in.ReadText();
    }
    if (V > 7.08) p.pieces = in.ReadText();
    if (V > 7.1) p.manualValve = in.ReadInt32();
    if (V > 7.11) {
        const std::int32_t count = in.ReadInt32();
        in.CheckCount(count, 8);
        for (std::int32_t i = 0; i < count; ++i) {
            SpecIndexPair pair;
            pair.first = in.ReadInt32();
            pair.second = in.ReadInt32();
            p.specPairs.push_back(pair);
        }
    }
    return p;
}

void WritePosition(ArchiveWriter& out, const ValvePosition& p, int lang) {
    out.WriteText(p.name);
    out.WriteText(p.auxText);
    out.WriteText(p.note);
    out.WriteInt32(p.mediumState);
    out.WriteInt32(p.auxInt);
    out.WriteText(p.mediumName);
    out.WriteText(p.mediumTag);
    out.WriteInt32(static_cast<std::int32_t>(p.savedAt));
    out.WriteInt32(p.manualCoefficients);
    out.WriteInt32(p.gaugePressures);
    for (auto e : p.pointEnabled) out.WriteInt32(e);
    for (int k = 0; k < kSlotCount; ++k) {
        for (int j = 0; j < kPointCount; ++j)
            out.WriteDouble(std::isfinite(p.values[k][j]) ? p.values[k][j] : 0.0);
        out.WriteText(p.units[k]);
    }
    out.WriteText(p.designationSelector);
    out.WriteText(p.designation);
    for (double v : p.valveData) out.WriteDouble(std::isfinite(v) ? v : 0.0);
    out.WriteInt32(p.characteristic);
    out.WriteText(p.rowIdList);
    for (const auto& t : p.pipeTexts) out.WriteText(t);
    for (const auto& row : p.resultTexts)
        for (const auto& t : row) out.WriteText(t);
    WritePositionItems(out, p.specItems, 8.03, lang);
    out.WriteInt32(static_cast<std::int32_t>(p.titleBlock.pairs.size()));
    for (const auto& [key, value] : p.titleBlock.pairs) {
        out.WriteText(value);
        out.WriteText(key);
    }
    out.WriteInt32(p.selectedCharacteristic);
    out.WriteDouble(std::isfinite(p.selectedDn) ? p.selectedDn : 0.0);
    out.WriteDouble(std::isfinite(p.selectedKvs) ? p.selectedKvs : 0.0);
    out.WriteText(p.maxPressureUnit);
    out.WriteText(p.maxTemperatureUnit);
    out.WriteText(p.pieces);
    out.WriteInt32(p.manualValve);
    out.WriteInt32(static_cast<std::int32_t>(p.specPairs.size()));
    for (const auto& pair : p.specPairs) {
        out.WriteInt32(pair.first);
        out.WriteInt32(pair.second);
    }
}

}  // namespace

double ProjectFileVersion(std::int32_t stored) {
    return stored < 101 ? static_cast<double>(stored) : stored / 100.0;
}

void RefreshSeries(ValvePosition& p, const ProjectLoadContext& context) {
    p.seriesFlag = 0;
    p.seriesValue.clear();
    const std::string* foundKey = nullptr;
    if (context.seriesTable) {
        const auto entry = FindSeriesEntry(*context.seriesTable, p.designation, p.designationSelector);
        if (entry != context.seriesTable->end()) {
            foundKey = &entry->first;
            p.seriesFlag = 1;
            p.seriesValue = entry->second.string();
        }
    }
    if (foundKey) {
        const std::string current = SeriesKeyDesignation(*foundKey, context.companyIndex);
        const std::string old = p.designation;
        if (!current.empty() && current != old) {
            for (auto& [key, value] : p.titleBlock.pairs)
                if (key == "ozn") value = ReplaceAll(value, old, current);
            const std::string item71 = ItemText(71, p.specItems, context.lang);
            if (!item71.empty()) StoreRefreshedItem(71, p.specItems, ReplaceAll(item71, old, current), context.lang);
            p.designation = current;
            // The designation now comes from the company index's section: without the selector
            // following it, the next open would no longer find the series.
            p.designationSelector = context.companyIndex;
        }
    }
    if (ItemText(201, p.specItems, context.lang).empty()) {
        const std::string t = NominalSizeText(ItemText(106, p.specItems, context.lang), p.valveData[kVdInletSize]);
        if (!t.empty()) StoreRefreshedItem(201, p.specItems, t, context.lang);
    }
    if (ItemText(202, p.specItems, context.lang).empty()) {
        const std::string t = NominalSizeText(ItemText(107, p.specItems, context.lang), p.valveData[kVdOutletSize]);
        if (!t.empty()) StoreRefreshedItem(202, p.specItems, t, context.lang);
    }
    if (ItemText(203, p.specItems, context.lang).empty()) {
        const std::string t =
            NominalSizeText(ItemText(111, p.specItems, context.lang), ParseNumber(ItemText(25, p.specItems, context.lang)));
        if (!t.empty()) StoreRefreshedItem(203, p.specItems, t, context.lang);
    }
}

ProjectDocument ReadProject(const std::vector<std::uint8_t>& bytes, const std::string& name,
                            const ProjectLoadContext& context) {
    ArchiveReader in(bytes, name);
    return ReadProject(in, context);
}

ProjectDocument ReadProject(ArchiveReader& in, const ProjectLoadContext& context) {
    ProjectDocument doc;
    doc.fileVersion = ProjectDocument::kFileVersion;
    const double V = ProjectFileVersion(in.ReadInt32());
    doc.project = in.ReadText();
    doc.customer = in.ReadText();
    doc.projectText3 = in.ReadText();
    doc.defaultFlowUnit = in.ReadText();
    doc.defaultPressureUnit = in.ReadText();
    doc.defaultTemperatureUnit = in.ReadText();
    const std::int32_t count = in.ReadInt32();
    in.CheckCount(count, kMinPositionBytes);
    if (V > 5.01) doc.atmosphericPressure = ReadValue(in);
    if (V > 7.09) doc.specSheetText = in.ReadText();
    std::string projectSelector = "0";
    if (V > 8.01 && V < 8.03) projectSelector = in.ReadText();
    doc.positions.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        doc.positions.push_back(ReadPosition(in, V, projectSelector, context));
        RefreshSeries(doc.positions.back(), context);
    }
    return doc;
}

ProjectDocument LoadProject(const std::filesystem::path& path, const ProjectLoadContext& context) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return ReadProject(in, context);
}

namespace {

void WriteProject(ArchiveWriter& out, const ProjectDocument& doc, int lang) {
    out.WriteInt32(ProjectDocument::kFileVersion);
    out.WriteText(doc.project);
    out.WriteText(doc.customer);
    out.WriteText(doc.projectText3);
    out.WriteText(doc.defaultFlowUnit);
    out.WriteText(doc.defaultPressureUnit);
    out.WriteText(doc.defaultTemperatureUnit);
    out.WriteInt32(static_cast<std::int32_t>(doc.positions.size()));
    out.WriteDouble(std::isfinite(doc.atmosphericPressure) ? doc.atmosphericPressure : 0.101325);
    out.WriteText(doc.specSheetText);
    for (const auto& p : doc.positions) WritePosition(out, p, lang);
}

}  // namespace

std::vector<std::uint8_t> StoreProject(const ProjectDocument& doc, int lang) {
    ArchiveWriter out;
    WriteProject(out, doc, lang);
    return out.bytes();
}

void SaveProject(const ProjectDocument& doc, const std::filesystem::path& path, int lang) {
    if (auto problem = FindUnstorableText(doc)) throw TextNotStorable(std::move(*problem));
    ArchiveWriter out;
    WriteProject(out, doc, lang);  // the writer's own guard covers a field the check would miss
    out.SaveAtomically(path);
}

}  // namespace tarvik
