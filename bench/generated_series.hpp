#pragma once
// A catalogue of many series for the start-up benchmarks: `count` series files of `valves`
// valves each, with a drawing of a realistic size, written into <folder>/dbv.
#include <filesystem>
#include <string>

#include "data/valve_series.hpp"

namespace tarvik::bench {

// A drawing of a few thousand polyline opcodes.
inline std::string GeneratedDrawing() {
    std::string d = "(DWF V00.42)\n";
    for (int i = 0; d.size() < 40000; ++i)
        d += "L " + std::to_string(i) + "," + std::to_string(i * 3) + " " + std::to_string(i + 7) + ",25\n";
    return d + "(EndOfDWF)\n";
}

inline void WriteGeneratedSeries(const std::filesystem::path& folder, int count, int valves) {
    std::filesystem::create_directories(folder / "dbv");
    const std::string drawing = GeneratedDrawing();
    for (int s = 0; s < count; ++s) {
        ValveSeries series;
        series.rawVersion = 804;
        series.name = "Series " + std::to_string(s);
        series.storedDescription = "[0:Ventil][1:Zawór][2:Valve][3:Ventil]";
        series.tableFlags = {1, 1, 1, 1, 1, 1};
        series.drawingFlag = 1;
        series.drawingTexts = {drawing.substr(0, 30000), drawing.substr(30000)};
        series.drawingLength = static_cast<std::int32_t>(drawing.size());
        series.drawingAnnotation = "[dn] [pn] [kvs]";
        series.designationTemplate = "{Nazev} [dn] [pn] [12]";
        for (int v = 0; v < valves; ++v) {
            SeriesValve valve;
            valve.characteristic = v % 3;
            valve.dn = 15 + v;
            valve.Kvs = 0.1 * (v + 1);
            for (auto& t : valve.tables)
                for (int k = 0; k < 11; ++k) t[k] = 0.5 + k / 40.0;
            for (int k = 0; k < 11; ++k) valve.kvTable[k] = valve.Kvs * k / 10.0;
            valve.specText = "text";
            series.valves.push_back(valve);
        }
        for (int c = 0; c < 40; ++c) {
            SeriesChoice choice;
            choice.id = 10 + c;
            choice.storedText = "[0:Ocel " + std::to_string(c) + "][2:Steel]";
            choice.condition = "{dn<=50}";
            choice.typeCode = "S";
            series.choices.push_back(choice);
        }
        SaveValveSeries(folder / "dbv" / ("s" + std::to_string(s) + ".dbv"), series);
    }
}

}  // namespace tarvik::bench
