#pragma once
// A Canvas that draws nothing and keeps the list of drawing calls with the state in force, for
// checking what a drawing routine produces.
#include <string>
#include <vector>

#include "output/canvas.hpp"

namespace tarvik {

struct CanvasCall {
    enum Kind { Line, Polyline, Polygon, Ellipse, Arc, Text, Image } kind = Line;
    std::vector<PointD> points;  // the points; Ellipse/Arc: the centre
    std::vector<double> values;  // Ellipse: rx, ry, rotation; Arc: those, start, end; Text: angle
    bool filled = false;
    std::string text;
    Rgba colour;
    double lineWidth = 0;
    std::vector<double> dash;
    FontSpec font;
    int clipDepth = 0;
};

class RecordingCanvas : public Canvas {
public:
    std::vector<CanvasCall> calls;
    std::vector<RectD> clips;  // every clip rectangle pushed

    void SetColour(Rgba colour) override { colour_ = colour; }
    void SetLineWidth(double width) override { lineWidth_ = width; }
    void SetFont(const FontSpec& font) override { font_ = font; }
    void SetLineDash(std::span<const double> dashes) override { dash_.assign(dashes.begin(), dashes.end()); }
    void PushClip(const RectD& rect) override {
        clips.push_back(rect);
        ++clipDepth_;
    }
    void PopClip() override {
        if (clipDepth_ > 0) --clipDepth_;
    }
    void Line(PointD from, PointD to) override { Add(CanvasCall::Line, {from, to}, {}, false); }
    void Polyline(std::span<const PointD> p) override { Add(CanvasCall::Polyline, {p.begin(), p.end()}, {}, false); }
    void Polygon(std::span<const PointD> p, bool filled) override {
        Add(CanvasCall::Polygon, {p.begin(), p.end()}, {}, filled);
    }
    void Ellipse(PointD c, double rx, double ry, double rotation, bool filled) override {
        Add(CanvasCall::Ellipse, {c}, {rx, ry, rotation}, filled);
    }
    void Arc(PointD c, double rx, double ry, double rotation, double start, double end, bool filled) override {
        Add(CanvasCall::Arc, {c}, {rx, ry, rotation, start, end}, filled);
    }
    void Text(PointD at, std::string_view utf8, double angle, HAlign, VAlign) override {
        Add(CanvasCall::Text, {at}, {angle}, false).text = std::string(utf8);
    }
    void Image(const RectD& r, const RgbImage&) override {
        Add(CanvasCall::Image, {{r.left, r.top}, {r.right, r.bottom}}, {}, false);
    }
    // Half an em per character: enough for layout checks.
    TextExtent MeasureText(std::string_view utf8) override {
        return {0.5 * font_.size * static_cast<double>(utf8.size()), 0.8 * font_.size, 0.2 * font_.size};
    }

private:
    CanvasCall& Add(CanvasCall::Kind kind, std::vector<PointD> points, std::vector<double> values, bool filled) {
        CanvasCall c;
        c.kind = kind;
        c.points = std::move(points);
        c.values = std::move(values);
        c.filled = filled;
        c.colour = colour_;
        c.lineWidth = lineWidth_;
        c.dash = dash_;
        c.font = font_;
        c.clipDepth = clipDepth_;
        calls.push_back(std::move(c));
        return calls.back();
    }
    Rgba colour_;
    double lineWidth_ = 0;
    std::vector<double> dash_;
    FontSpec font_;
    int clipDepth_ = 0;
};

}  // namespace tarvik
