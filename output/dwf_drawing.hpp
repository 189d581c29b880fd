#pragma once
// ASCII DWF drawings (header "(DWF V00.nn)"): the parsed model and its reader.
//
// Reading never fails: unknown or malformed content is skipped where the format allows it and
// reported in `notes`; where it cannot be stepped over (binary opcodes, a truncated stream) the
// reading stops and what was read so far stays usable.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/canvas.hpp"

namespace tarvik {

// Logical coordinates: integers, Y up.
struct DwfPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const DwfPoint&) const = default;
};

struct DwfBox {
    DwfPoint min, max;  // lower left, upper right
};

// Angles are in 65536ths of a turn, counter-clockwise from +X.
constexpr std::uint32_t kDwfFullTurn = 65536;

struct DwfFont {
    std::string name = "Arial";
    std::int32_t height = 1000;
    std::uint32_t rotation = 0;
    std::int32_t widthScale = 1024;  // 1024 = normal
    std::int32_t spacing = 1024;
    std::uint32_t oblique = 0;
    bool bold = false;
    bool italic = false;
    bool underlined = false;
    bool operator==(const DwfFont&) const = default;
};

struct DwfShape {
    enum Kind : std::uint8_t {
        Polyline,       // points; one point is a dot
        Polygon,        // points, filled (even-odd, no edge)
        TriangleStrip,  // points, every three consecutive ones a filled triangle
        Ellipse,        // points[0] the centre; radii, start, sweep, tilt, filled
        Text,           // points[0] the insertion point (left end of the baseline); text, font
    } kind = Polyline;
    std::uint32_t layer = 0;  // index into DwfDrawing::layers
    Rgba colour{255, 255, 255, 255};
    std::int32_t lineWeight = 0;
    std::uint8_t pattern = 0;  // index into DwfLinePatterns()
    std::vector<DwfPoint> points;
    std::int32_t rh = 0, rv = 0;
    std::uint32_t start = 0, sweep = kDwfFullTurn, tilt = 0;
    bool filled = false;
    std::string text;  // UTF-8
    std::uint32_t font = 0;  // index into DwfDrawing::fonts
};

struct DwfLayer {
    std::int32_t number = 0;
    std::string name;  // UTF-8
    bool visible = true;
};

struct DwfDrawing {
    std::vector<DwfLayer> layers;  // in order of first appearance
    std::vector<DwfShape> shapes;  // in drawing order
    std::vector<DwfFont> fonts;    // the distinct fonts the texts use
    std::optional<DwfBox> view;    // the first (View x1,y1 x2,y2)
    std::string unitsLabel;        // (Units label matrix)
    std::optional<std::array<double, 16>> unitsMatrix;
    Rgba background{0, 0, 0, 0};
    bool complete = false;  // the trailer (EndOfDWF) was reached
    std::vector<std::string> notes;  // what was skipped or could not be read, in stream order
};

// Reads an ASCII DWF stream.
DwfDrawing ParseDwf(std::string_view stream);

// The line patterns by name ("Solid" is 0), and their dashes in points.
const std::vector<std::pair<std::string_view, std::vector<double>>>& DwfLinePatterns();

// The value of a string operand without its delimiters: 'quoted' with \' and \\ escapes, "hex"
// UTF-16, or a bare word. Bytes that are not UTF-8 are read as code page 1250.
std::string DecodeDwfString(std::string_view operand);
// UTF-8 as the hex form: UTF-16 units as four upper-case hex digits each, in double quotes.
// Characters beyond U+FFFF take a surrogate pair; invalid bytes are read as code page 1250.
std::string EncodeDwfHexString(std::string_view utf8);

}  // namespace tarvik
