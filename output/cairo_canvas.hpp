#pragma once
// The cairo backend of Canvas, and files drawn through it: PDF, PNG or SVG, chosen by extension.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "output/canvas.hpp"

typedef struct _cairo cairo_t;

namespace tarvik {

class CairoCanvas : public Canvas {
public:
    // Draws on `cr`, which stays owned by the caller; the canvas keeps it referenced meanwhile.
    explicit CairoCanvas(cairo_t* cr);
    ~CairoCanvas() override;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

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
    void Stroke();
    cairo_t* cr_;
    int clipDepth_ = 0;
    double lineWidth_ = 0;
};

enum class PageFormat { Pdf, Png, Svg };

// The format named by the file's extension (case-insensitive); none for any other.
std::optional<PageFormat> PageFormatOf(const std::filesystem::path& file);

struct PageSetup {
    double widthPt = 842;   // A4 landscape
    double heightPt = 595;
    double pngDpi = 150;    // pixels of a PNG page per inch
};

// Writes one page drawn by `draw` (on a canvas of widthPt × heightPt units, Y down) to `file`
// through a temporary file and a rename, so that a failure leaves no half-written file and an
// existing file untouched. False with `error` set on an unknown extension or a write failure.
bool WritePageFile(const std::filesystem::path& file, const PageSetup& page,
                   const std::function<void(Canvas&)>& draw, std::string& error);

// Writes `pageCount` pages of the same size to a PDF file, page i drawn by `draw(i, canvas)`,
// through a temporary file and a rename like WritePageFile. False with `error` set when the file
// is not a .pdf, there are no pages, or on a write failure.
bool WritePagesFile(const std::filesystem::path& file, const PageSetup& page, std::size_t pageCount,
                    const std::function<void(std::size_t, Canvas&)>& draw, std::string& error);

}  // namespace tarvik
