#pragma once
// A small drawing surface that the printed sheets and the dimension drawing are drawn on. The
// backends are cairo (PDF, PNG and SVG files, headless) and the GUI's device context; no GUI
// toolkit here.
//
// Coordinates are device units (points for PDF and SVG, pixels for PNG) with Y growing downward.
// Angles are radians, counter-clockwise as seen on the page.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

struct PointD {
    double x = 0, y = 0;
    bool operator==(const PointD&) const = default;
};

struct RectD {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Baseline, Top, Middle, Bottom };

struct FontSpec {
    std::string name = "Arial";  // resolved to a metric-compatible face where it is missing
    double size = 10;            // em size in device units
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

struct TextExtent {
    double width = 0;
    double ascent = 0;
    double descent = 0;
};

// 8-bit RGB pixels, row after row without padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // ---- State: applies to everything drawn afterwards ----
    virtual void SetColour(Rgba colour) = 0;
    virtual void SetLineWidth(double width) = 0;  // 0: the thinnest line the device draws
    // Alternating dash and gap lengths in device units; empty: solid lines.
    virtual void SetLineDash(std::span<const double> dashes) = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    // Restricts drawing to the rectangle (intersected with an enclosing clip) until PopClip.
    virtual void PushClip(const RectD& rect) = 0;
    virtual void PopClip() = 0;

    // ---- Drawing ----
    virtual void Line(PointD from, PointD to) = 0;
    virtual void Polyline(std::span<const PointD> points) = 0;
    // Filled: even-odd rule, no edge; otherwise a closed outline.
    virtual void Polygon(std::span<const PointD> points, bool filled) = 0;
    // An ellipse with half axes rx, ry turned by `rotation`; a circle when rx == ry.
    virtual void Ellipse(PointD centre, double rx, double ry, double rotation, bool filled) = 0;
    // The part from `start` to `end` (parametric angles, counter-clockwise); filled: a pie wedge.
    virtual void Arc(PointD centre, double rx, double ry, double rotation, double start, double end,
                     bool filled) = 0;
    // UTF-8 text whose alignment point is `at`, its baseline turned by `angle`.
    virtual void Text(PointD at, std::string_view utf8, double angle = 0, HAlign h = HAlign::Left,
                      VAlign v = VAlign::Baseline) = 0;
    virtual void Image(const RectD& where, const RgbImage& image) = 0;

    // Size of the text in the current font, unrotated.
    virtual TextExtent MeasureText(std::string_view utf8) = 0;
};

}  // namespace tarvik
