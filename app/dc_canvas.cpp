#include "app/dc_canvas.hpp"

#include <algorithm>
#include <cmath>

#include <wx/image.h>

namespace tarvik::app {
namespace {

bool Finite(double v) { return std::isfinite(v); }
bool Finite(PointD p) { return Finite(p.x) && Finite(p.y); }

// An ellipse outline as points, for dashed curves (the dashes are cut along the points).
std::vector<PointD> EllipsePoints(PointD c, double rx, double ry, double rotation, double start, double end) {
    const int n = std::clamp(static_cast<int>(std::abs(end - start) / (2 * M_PI) * 96), 8, 96);
    std::vector<PointD> pts;
    const double cr = std::cos(rotation), sr = std::sin(rotation);
    for (int i = 0; i <= n; ++i) {
        const double t = start + (end - start) * i / n;
        const double x = rx * std::cos(t), y = ry * std::sin(t);
        // Counter-clockwise on a Y-down page.
        pts.push_back({c.x + x * cr - y * sr, c.y - (x * sr + y * cr)});
    }
    return pts;
}

}  // namespace

DcCanvas::DcCanvas(wxDC& dc) : gc_(wxGraphicsContext::CreateFromUnknownDC(dc)) {
    if (!gc_) return;
    gc_->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc_->SetInterpolationQuality(wxINTERPOLATION_GOOD);
    ApplyPen();
    gc_->SetBrush(wxBrush(colour_));
}

DcCanvas::~DcCanvas() {
    while (clipDepth_ > 0) PopClip();
    if (gc_) gc_->Flush();
}

void DcCanvas::SetColour(Rgba c) {
    colour_ = wxColour(c.r, c.g, c.b, c.a);
    fontDirty_ = true;  // a graphics font carries its colour
    if (!gc_) return;
    gc_->SetBrush(wxBrush(colour_));
    ApplyPen();
}

void DcCanvas::SetLineWidth(double width) {
    lineWidth_ = Finite(width) ? std::max(0.0, width) : 0.0;
    ApplyPen();
}

void DcCanvas::SetLineDash(std::span<const double> dashes) {
    dashes_.clear();
    for (double v : dashes)
        if (Finite(v) && v > 0) dashes_.push_back(v);
    if (dashes_.size() % 2) dashes_.insert(dashes_.end(), dashes_.begin(), dashes_.end());  // as cairo repeats an odd pattern
}

void DcCanvas::ApplyPen() {
    if (!gc_) return;
    double w = lineWidth_;
    if (w <= 0) {
        // Width 0 is a hairline: one device pixel whatever the DC's scale.
        double dx = 1, dy = 0;
        gc_->GetTransform().TransformDistance(&dx, &dy);
        const double perUnit = std::hypot(dx, dy);
        w = perUnit > 0 && Finite(perUnit) ? 1 / perUnit : 1;
    }
    gc_->SetPen(gc_->CreatePen(wxGraphicsPenInfo(colour_, w).Cap(wxCAP_ROUND).Join(wxJOIN_ROUND)));
}

void DcCanvas::SetFont(const FontSpec& font) {
    if (!(font == font_)) fontDirty_ = true;
    font_ = font;
}

void DcCanvas::ApplyFont() {
    if (!gc_ || !fontDirty_) return;
    int flags = wxFONTFLAG_DEFAULT;
    if (font_.bold) flags |= wxFONTFLAG_BOLD;
    if (font_.italic) flags |= wxFONTFLAG_ITALIC;
    // fontconfig gives "Arial" its metric-compatible Liberation Sans, as the cairo backend has it.
    const double size = Finite(font_.size) && font_.size >= 1 ? std::min(font_.size, 1e5) : 1.0;
    gc_->SetFont(gc_->CreateFont(size, wxString::FromUTF8(font_.name), flags, colour_));
    fontDirty_ = false;
}

void DcCanvas::PushClip(const RectD& r) {
    if (!gc_) return;
    gc_->PushState();
    ++clipDepth_;
    if (!Finite(r.left) || !Finite(r.top) || !Finite(r.right) || !Finite(r.bottom)) return;
    gc_->Clip(r.left, r.top, std::max(0.0, r.width()), std::max(0.0, r.height()));
}

void DcCanvas::PopClip() {
    if (!gc_ || clipDepth_ == 0) return;
    --clipDepth_;
    gc_->PopState();
    ApplyPen();  // the state restored may have held another pen
    gc_->SetBrush(wxBrush(colour_));
    fontDirty_ = true;
}

void DcCanvas::StrokePoints(std::vector<PointD> pts, bool closed) {
    std::erase_if(pts, [](PointD p) { return !Finite(p); });
    if (!gc_ || pts.empty()) return;
    if (closed && pts.size() > 1) pts.push_back(pts.front());
    if (pts.size() == 1) pts.push_back(pts.front());  // a dot
    wxGraphicsPath path = gc_->CreatePath();
    if (dashes_.empty()) {
        path.MoveToPoint(pts[0].x, pts[0].y);
        for (std::size_t i = 1; i < pts.size(); ++i) path.AddLineToPoint(pts[i].x, pts[i].y);
        if (closed) path.CloseSubpath();
        gc_->StrokePath(path);
        return;
    }
    // Dashes cut along the whole path, so that a pattern runs on across the corners.
    double total = 0;
    for (double d : dashes_) total += d;
    if (!(total > 0)) return;
    std::size_t dash = 0;
    double left = dashes_[0];
    bool on = true;
    bool drawing = false;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        PointD a = pts[i - 1];
        const PointD b = pts[i];
        double len = std::hypot(b.x - a.x, b.y - a.y);
        // Very long patterns on very short segments: bounded work per segment.
        for (int guard = 0; len > 0 && guard < 100000; ++guard) {
            const double step = std::min(left, len);
            const PointD next{a.x + (b.x - a.x) * step / len, a.y + (b.y - a.y) * step / len};
            if (on) {
                if (!drawing) path.MoveToPoint(a.x, a.y);
                path.AddLineToPoint(next.x, next.y);
                drawing = true;
            }
            left -= step;
            len -= step;
            a = next;
            if (left <= 0) {
                dash = (dash + 1) % dashes_.size();
                left = dashes_[dash];
                on = !on;
                drawing = false;
            }
        }
    }
    gc_->StrokePath(path);
}

void DcCanvas::Line(PointD from, PointD to) { StrokePoints({from, to}, false); }

void DcCanvas::Polyline(std::span<const PointD> points) { StrokePoints({points.begin(), points.end()}, false); }

void DcCanvas::Polygon(std::span<const PointD> points, bool filled) {
    if (!filled) {
        StrokePoints({points.begin(), points.end()}, true);
        return;
    }
    if (!gc_) return;
    wxGraphicsPath path = gc_->CreatePath();
    bool first = true;
    for (const PointD& p : points) {
        if (!Finite(p)) continue;
        if (first) path.MoveToPoint(p.x, p.y);
        else path.AddLineToPoint(p.x, p.y);
        first = false;
    }
    if (first) return;
    path.CloseSubpath();
    gc_->FillPath(path, wxODDEVEN_RULE);
}

void DcCanvas::Ellipse(PointD centre, double rx, double ry, double rotation, bool filled) {
    Arc(centre, rx, ry, rotation, 0, 2 * M_PI, filled);
}

void DcCanvas::Arc(PointD c, double rx, double ry, double rotation, double start, double end, bool filled) {
    if (!gc_ || !Finite(c) || !Finite(rx) || !Finite(ry) || !Finite(rotation) || !Finite(start) || !Finite(end)) return;
    if (rx <= 0 || ry <= 0) return;
    if (!filled && !dashes_.empty()) {
        StrokePoints(EllipsePoints(c, rx, ry, rotation, start, end), false);
        return;
    }
    // The unit circle turned into the ellipse; the path is transformed, not the context, so that
    // the line width stays round.
    wxGraphicsPath path = gc_->CreatePath();
    const bool whole = end - start >= 2 * M_PI;
    if (filled && !whole) path.MoveToPoint(0, 0);
    // Counter-clockwise on a Y-down page is the negative direction.
    path.AddArc(0, 0, 1, -start, whole ? -start - 2 * M_PI : -end, false);
    if (filled) path.CloseSubpath();
    wxGraphicsMatrix m = gc_->CreateMatrix();
    m.Translate(c.x, c.y);
    m.Rotate(-rotation);
    m.Scale(rx, ry);
    path.Transform(m);
    if (filled) gc_->FillPath(path, wxODDEVEN_RULE);
    else gc_->StrokePath(path);
}

void DcCanvas::Text(PointD at, std::string_view utf8, double angle, HAlign h, VAlign v) {
    if (!gc_ || !Finite(at) || !Finite(angle) || utf8.empty()) return;
    ApplyFont();
    const wxString text = wxString::FromUTF8(utf8.data(), utf8.size());
    double w = 0, height = 0, descent = 0, leading = 0;
    gc_->GetTextExtent(text, &w, &height, &descent, &leading);
    const double ascent = height - descent;
    // DrawText places the top left corner; the alignment point is on the baseline unless asked.
    double dx = 0, top = -ascent;
    if (h == HAlign::Centre) dx = -w / 2;
    if (h == HAlign::Right) dx = -w;
    if (v == VAlign::Top) top = 0;
    if (v == VAlign::Middle) top = (ascent - descent) / 2 - ascent;
    if (v == VAlign::Bottom) top = -height;
    gc_->PushState();
    gc_->Translate(at.x, at.y);
    if (angle != 0) gc_->Rotate(-angle);
    gc_->DrawText(text, dx, top);
    gc_->PopState();
}

void DcCanvas::Image(const RectD& where, const RgbImage& image) {
    if (!gc_ || image.width <= 0 || image.height <= 0 || !(where.width() > 0) || !(where.height() > 0)) return;
    if (image.pixels.size() < static_cast<std::size_t>(image.width) * image.height * 3) return;
    wxImage img(image.width, image.height, false);
    std::copy_n(image.pixels.begin(), static_cast<std::size_t>(image.width) * image.height * 3, img.GetData());
    gc_->DrawBitmap(gc_->CreateBitmapFromImage(img), where.left, where.top, where.width(), where.height());
}

TextExtent DcCanvas::MeasureText(std::string_view utf8) {
    if (!gc_) return {};
    ApplyFont();
    double w = 0, h = 0, descent = 0, leading = 0, unused = 0;
    // The ascent and descent of the font, whatever the text: measure one that has both.
    if (!utf8.empty()) gc_->GetTextExtent(wxString::FromUTF8(utf8.data(), utf8.size()), &w, &unused, &unused, &unused);
    gc_->GetTextExtent("Hg", &unused, &h, &descent, &leading);
    return {w, h - descent, descent};
}

}  // namespace tarvik::app
