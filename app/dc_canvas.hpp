#pragma once
// The Canvas of the printed sheets and drawings on a wx device context: the screen, a memory
// bitmap, the printer and the print preview. It draws through the DC's graphics context, which
// carries the DC's scale and origin (the preview scales printer units down to the screen).
#include <memory>
#include <vector>

#include <wx/dc.h>
#include <wx/graphics.h>

#include "output/canvas.hpp"

namespace tarvik::app {

class DcCanvas : public Canvas {
public:
    // Draws on `dc`, which must outlive the canvas; what is drawn reaches the DC at the latest
    // when the canvas goes.
    explicit DcCanvas(wxDC& dc);
    ~DcCanvas() override;
    DcCanvas(const DcCanvas&) = delete;
    DcCanvas& operator=(const DcCanvas&) = delete;

    // False when the DC offers no graphics context (nothing is drawn then).
    bool ok() const { return gc_ != nullptr; }

    void SetColour(Rgba colour) override;
    void SetLineWidth(double width) override;
    void SetLineDash(std::span<const double> dashes) override;
    void SetFont(const FontSpec& font) override;
    void PushClip(const RectD& rect) override;
    void PopClip() override;
    void Line(PointD from, PointD to) override;
    void Polyline(std::span<const PointD> points) override;
    void Polygon(std::span<const PointD> points, bool filled) override;
    void Ellipse(PointD centre, double rx, double ry, double rotation, bool filled) override;
    void Arc(PointD centre, double rx, double ry, double rotation, double start, double end,
             bool filled) override;
    void Text(PointD at, std::string_view utf8, double angle, HAlign h, VAlign v) override;
    void Image(const RectD& where, const RgbImage& image) override;
    TextExtent MeasureText(std::string_view utf8) override;

private:
    void ApplyPen();
    void ApplyFont();
    // Strokes the open or closed point path, cut into dashes when a dash pattern is set.
    void StrokePoints(std::vector<PointD> points, bool closed);

    std::unique_ptr<wxGraphicsContext> gc_;
    wxColour colour_{0, 0, 0};
    double lineWidth_ = 0;
    std::vector<double> dashes_;
    FontSpec font_;
    bool fontDirty_ = true;
    int clipDepth_ = 0;
};

}  // namespace tarvik::app
