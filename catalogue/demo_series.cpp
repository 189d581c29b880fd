#include "catalogue/demo_series.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "data/archive.hpp"

namespace tarvik::demo {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::runtime_error(where + ": " + what);
}

double Number(const json& v, const std::string& where) {
    if (!v.is_number()) Fail(where, "expected a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) Fail(where, "not a finite number");
    return d;
}

std::string LangText(const json& v, const std::string& where) {
    if (v.is_string()) return v.get<std::string>();
    if (!v.is_array() || v.size() != 4) Fail(where, "expected a text or four texts (cs, pl, en, de)");
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!v[i].is_string()) Fail(where, "expected texts");
        text += "[" + std::to_string(i) + ":" + v[i].get<std::string>() + "]";
    }
    return text;
}

std::string Text(const json& o, const char* key) {
    return o.contains(key) ? LangText(o.at(key), key) : std::string();
}

// Two values (0 % and 75 % travel) in two-point mode, eleven in table mode.
SeriesTable11 Table(const json& trim, const char* key, bool tableMode, const std::string& where) {
    SeriesTable11 t{};
    if (!trim.contains(key)) {
        if (tableMode || std::string(key).rfind("dLn", 0) != 0) Fail(where, std::string("missing ") + key);
        return t;
    }
    const json& v = trim.at(key);
    const std::size_t n = tableMode ? 11 : 2;
    if (!v.is_array() || v.size() != n)
        Fail(where + "." + key, tableMode ? "table mode needs 11 values" : "two-point mode needs 2 values");
    if (tableMode) {
        for (std::size_t i = 0; i < 11; ++i) t[i] = Number(v[i], where + "." + key);
    } else {
        t[0] = Number(v[0], where + "." + key);
        t[10] = Number(v[1], where + "." + key);
    }
    return t;
}

// Seat diameter in mm from the Kvs: Kvs ~ k d^2 for a single-seat globe trim, never wider than
// the port.
// The steps of the rounded R10 series (1, 1.25, 1.6, 2, 2.5, 3.2, 4, 5, 6.3, 8 per decade) from
// `from` to `to`, both included.
std::vector<double> R10Steps(double from, double to) {
    static const double mantissa[10] = {1, 1.25, 1.6, 2, 2.5, 3.2, 4, 5, 6.3, 8};
    std::vector<double> steps;
    for (int decade = -2; decade <= 4; ++decade)
        for (double m : mantissa) {
            const double v = std::round(m * std::pow(10.0, decade) * 1000.0) / 1000.0;
            if (v >= from * 0.999 && v <= to * 1.001) steps.push_back(v);
        }
    return steps;
}

std::vector<double> KvsList(const json& v, const std::string& where) {
    std::vector<double> list;
    if (v.is_object() && v.contains("R10")) {
        const json& r = v.at("R10");
        if (!r.is_array() || r.size() != 2) Fail(where, "R10 needs [smallest, largest]");
        list = R10Steps(Number(r[0], where), Number(r[1], where));
    } else if (v.is_array()) {
        for (const json& k : v) list.push_back(Number(k, where));
    } else {
        Fail(where, "expected a list of Kvs or {\"R10\": [smallest, largest]}");
    }
    if (list.empty()) Fail(where, "no Kvs");
    return list;
}

double SeatDiameter(double Kvs, double dn, double k) {
    const double d = std::round(std::sqrt(Kvs / k));
    return std::min(std::max(d, 3.0), dn);
}

}  // namespace

ValveSeries ExpandSeries(const json& j, const std::string& drawing) {
    ValveSeries s;
    s.rawVersion = 803;
    s.name = j.at("name").get<std::string>();
    s.storedDescription = LangText(j.at("description"), "description");
    const json& flags = j.at("tableFlags");
    if (!flags.is_array() || flags.size() != 6) Fail("tableFlags", "expected six flags");
    for (int i = 0; i < 6; ++i) s.tableFlags[i] = flags[i].get<int>();
    s.seriesDefault = Number(j.at("rw"), "rw");
    if (!drawing.empty()) {
        s.drawingFlag = 1;
        // Stored as texts of at most 4000 bytes each; the reader joins them again.
        for (std::size_t at = 0; at < drawing.size(); at += 4000) s.drawingTexts.push_back(drawing.substr(at, 4000));
        s.drawingLength = static_cast<std::int32_t>(drawing.size());
        s.drawingAnnotation = drawing;
    }
    s.seriesValue = j.value("seriesValue", 0);
    s.seriesText = Text(j, "seriesText");
    s.designationTemplate = Text(j, "designationTemplate");
    s.secondDesignationTemplate = Text(j, "secondDesignationTemplate");
    s.companyText = Text(j, "companyText");

    const double seatK = j.value("seatFactor", 0.016);
    for (const json& size : j.at("sizes")) {
        const double dn = Number(size.at("DN"), "sizes.DN");
        const std::string whereSize = s.name + " DN " + std::to_string(static_cast<int>(dn));
        const double stroke = Number(size.at("stroke"), whereSize + ".stroke");
        for (const json& trim : j.at("trims")) {
            const std::string where = whereSize + " " + trim.at("name").get<std::string>();
            for (const double kvs : KvsList(size.at("Kvs"), whereSize + ".Kvs")) {
                SeriesValve v;
                v.characteristic = trim.at("characteristic").get<int>();
                v.dn = dn;
                v.Kvs = kvs;
                // A rotary valve's closure member spans the port; a globe seat follows its Kvs.
                v.item54 = trim.value("fullBore", false) ? dn : SeatDiameter(v.Kvs, dn, seatK);
                v.item108 = stroke;
                v.minKv = v.characteristic == 3 ? 0 : v.Kvs / Number(trim.at("rangeability"), where + ".rangeability");
                v.FLn = trim.contains("FLn") ? Number(trim.at("FLn"), where + ".FLn") : 0.0;
                v.nyF = Number(trim.at("nyF"), where + ".nyF");
                v.dLF = Number(trim.at("dLF"), where + ".dLF");
                static const char* const names[6] = {"FL", "xT", "Fd", "xFz", "dLnLiquid", "dLnGas"};
                for (int t = 0; t < 6; ++t) v.tables[t] = Table(trim, names[t], s.tableFlags[t] != 0, where);
                // The reduced trims of a size open through a smaller seat: a smaller Fd.
                if (trim.contains("FdScaleWithSeat") && trim.at("FdScaleWithSeat").get<bool>()) {
                    const double ratio = std::sqrt(std::min(1.0, v.item54 / dn));
                    for (double& f : v.tables[kSeriesFd])
                        if (f != 0.0) f = std::max(0.1, std::round(f * ratio * 1000.0) / 1000.0);
                }
                if (v.characteristic == 2) {
                    const json& rel = trim.at("Kv");
                    if (!rel.is_array() || rel.size() != 11) Fail(where + ".Kv", "expected 11 relative values");
                    for (std::size_t i = 0; i < 11; ++i)
                        v.kvTable[i] = std::round(Number(rel[i], where + ".Kv") * v.Kvs * 10000.0) / 10000.0;
                }
                s.valves.push_back(v);
            }
        }
    }

    for (const json& c : j.value("choices", json::array())) {
        SeriesChoice choice;
        choice.id = c.at("id").get<int>();
        choice.storedText = LangText(c.at("text"), "choices.text");
        choice.condition = c.value("condition", "");
        choice.attribute = c.value("attribute", "");
        choice.code = c.value("code", "");
        choice.typeCode = c.value("typeCode", "");
        s.choices.push_back(choice);
    }
    for (const json& r : j.value("textList", json::array())) {
        if (!r.is_array() || r.size() != 5) Fail("textList", "expected records of five texts");
        std::array<std::string, 5> rec;
        for (std::size_t i = 0; i < 5; ++i) rec[i] = r[i].get<std::string>();
        s.textList.push_back(rec);
    }
    // The two layer texts the outlet size picks: [0] when the outlet differs from the inlet, [1]
    // when they are equal.
    if (j.contains("outletLayers")) {
        const json& o = j.at("outletLayers");
        if (!o.is_array() || o.size() != 2) Fail("outletLayers", "expected two layer texts");
        for (std::size_t i = 0; i < 2; ++i) s.texts710[i] = o[i].get<std::string>();
    }
    // The endings of the specification sheet's order code: [0] inlet and outlet sizes differ, [1]
    // equal.
    if (j.contains("orderCodeEndings")) {
        const json& o = j.at("orderCodeEndings");
        if (!o.is_array() || o.size() != 2) Fail("orderCodeEndings", "expected two texts");
        for (std::size_t i = 0; i < 2; ++i) s.texts713[i] = o[i].get<std::string>();
    }
    for (const json& r : j.value("numberList", json::array())) {
        SeriesNumberRecord rec;
        const json& texts = r.at("texts");
        if (!texts.is_array() || texts.size() != 3) Fail("numberList", "expected three texts");
        for (std::size_t i = 0; i < 3; ++i) rec.texts[i] = texts[i].get<std::string>();
        rec.number = r.at("number").get<int>();
        s.numberList.push_back(rec);
    }
    return s;
}

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

// A 24-bit bottom-up Windows bitmap of the logo: a valve symbol (two triangles meeting at the
// stem) in a frame, drawn from geometry so that no binary needs to live in the sources.
void WriteLogoBitmap(const std::string& name, const std::filesystem::path& out) {
    int w = 0, h = 0;
    bool colour = true;
    if (name == "TarB") { w = 64; h = 64; }
    else if (name == "TarBW") { w = 64; h = 64; colour = false; }
    else if (name == "TarLB") { w = 160; h = 120; }
    else throw std::runtime_error("unknown bitmap " + name);
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(w) * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(h);
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + imageBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, imageBytes);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) * 0.3;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = std::fabs(x + 0.5 - cx), dy = y + 0.5 - cy;
            // Bow tie: |dy| <= dx * 0.6 within the radius; stem and actuator above it.
            const bool body = dx <= r && std::fabs(dy) <= dx * 0.6 + 0.5;
            const bool stem = dx <= 1.0 && dy >= 0 && dy <= r * 0.9;
            const bool cap = dy >= r * 0.9 && dy <= r * 1.1 && dx <= r * 0.6;
            const bool frame = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
            std::uint8_t red = 255, green = 255, blue = 255;
            if (body || stem || cap || frame) {
                if (colour && body) { red = 0; green = 90; blue = 170; }
                else if (colour && frame) { red = 200; green = 30; blue = 30; }
                else { red = green = blue = 0; }
            }
            b.push_back(blue);
            b.push_back(green);
            b.push_back(red);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(w) * 3; pad < rowBytes; ++pad) b.push_back(0);
    }
    ArchiveWriter writer;
    writer.WriteBytes(b);
    writer.SaveAtomically(out);
}

}  // namespace tarvik::demo
