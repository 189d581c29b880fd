#include "output/dwf_render.hpp"

#include <algorithm>
#include <cmath>

namespace tarvik {
namespace {

constexpr double kTurn = 2 * M_PI / kDwfFullTurn;

struct Extent {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool any = false;
    void Add(double x, double y) {
        if (!any) {
            x1 = x2 = x;
            y1 = y2 = y;
            any = true;
            return;
        }
        x1 = std::min(x1, x), x2 = std::max(x2, x);
        y1 = std::min(y1, y), y2 = std::max(y2, y);
    }
};

bool Shown(const DwfDrawing& d, const DwfShape& s) {
    return s.layer < d.layers.size() && d.layers[s.layer].visible && s.colour.a > 0;
}

// Characters of a UTF-8 text.
std::size_t Characters(const std::string& s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::optional<DwfBox> DwfShownBox(const DwfDrawing& d) {
    if (d.view) return d.view;
    Extent e;
    for (const DwfShape& s : d.shapes) {
        if (!Shown(d, s)) continue;
        const double half = s.lineWeight / 2.0;
        switch (s.kind) {
        case DwfShape::Ellipse: {
            const double r = std::max(s.rh, s.rv) + half;
            e.Add(s.points[0].x - r, s.points[0].y - r);
            e.Add(s.points[0].x + r, s.points[0].y + r);
            break;
        }
        case DwfShape::Text: {
            const DwfFont& f = d.fonts[s.font];
            const double w = 0.6 * f.height * static_cast<double>(Characters(s.text));
            const double a = s.kind == DwfShape::Text ? f.rotation * kTurn : 0;
            const DwfPoint p = s.points[0];
            e.Add(p.x, p.y);
            e.Add(p.x + w * std::cos(a), p.y + w * std::sin(a));
            e.Add(p.x - f.height * std::sin(a), p.y + f.height * std::cos(a));
            break;
        }
        default:
            for (const DwfPoint& p : s.points) {
                e.Add(p.x - half, p.y - half);
                e.Add(p.x + half, p.y + half);
            }
        }
    }
    if (!e.any) return std::nullopt;
    auto clampi = [](double v) {
        return static_cast<std::int32_t>(std::clamp(v, -2147483647.0, 2147483647.0));
    };
    DwfBox box{{clampi(std::floor(e.x1)), clampi(std::floor(e.y1))}, {clampi(std::ceil(e.x2)), clampi(std::ceil(e.y2))}};
    // A single point or a straight line still gets an area to be fitted into.
    if (box.max.x <= box.min.x) box.max.x = clampi(box.min.x + 1.0), box.min.x = clampi(box.max.x - 2.0);
    if (box.max.y <= box.min.y) box.max.y = clampi(box.min.y + 1.0), box.min.y = clampi(box.max.y - 2.0);
    return box;
}

void RenderDwf(const DwfDrawing& d, Canvas& canvas, const RectD& target, const DwfRenderOptions& options) {
    if (!(target.width() > 0 && target.height() > 0) || !std::isfinite(target.width()) || !std::isfinite(target.height()))
        return;
    canvas.PushClip(target);
    if (d.background.a > 0) {
        const PointD r[] = {{target.left, target.top}, {target.right, target.top},
                            {target.right, target.bottom}, {target.left, target.bottom}};
        canvas.SetColour(d.background);
        canvas.Polygon(r, true);
    }
    const auto box = DwfShownBox(d);
    if (!box) {
        canvas.PopClip();
        return;
    }
    const double x1 = box->min.x, y2 = box->max.y;
    const double w = static_cast<double>(box->max.x) - box->min.x, h = static_cast<double>(box->max.y) - box->min.y;
    const double s = std::min(target.width() / w, target.height() / h);
    const double ox = target.left + (target.width() - w * s) / 2;
    const double oy = target.top + (target.height() - h * s) / 2;
    auto map = [&](DwfPoint p) { return PointD{ox + (p.x - x1) * s, oy + (y2 - p.y) * s}; };

    std::vector<PointD> pts;
    for (const DwfShape& sh : d.shapes) {
        if (!Shown(d, sh)) continue;
        canvas.SetColour(sh.colour);
        canvas.SetLineWidth(std::max(options.minLineWidth, sh.lineWeight * s));
        const auto& patterns = DwfLinePatterns();
        canvas.SetLineDash(sh.pattern < patterns.size() ? patterns[sh.pattern].second : std::vector<double>{});
        pts.clear();
        for (const DwfPoint& p : sh.points) pts.push_back(map(p));
        switch (sh.kind) {
        case DwfShape::Polyline:
            if (pts.size() == 1) canvas.Line(pts[0], pts[0]);
            else if (pts.size() == 2) canvas.Line(pts[0], pts[1]);
            else canvas.Polyline(pts);
            break;
        case DwfShape::Polygon:
            canvas.Polygon(pts, true);
            break;
        case DwfShape::TriangleStrip:
            for (std::size_t i = 2; i < pts.size(); ++i) {
                const PointD t[] = {pts[i - 2], pts[i - 1], pts[i]};
                canvas.Polygon(t, true);
            }
            if (pts.size() < 3) canvas.Polyline(pts);
            break;
        case DwfShape::Ellipse: {
            const double tilt = sh.tilt * kTurn;
            if (sh.sweep >= kDwfFullTurn) {
                canvas.Ellipse(pts[0], sh.rh * s, sh.rv * s, tilt, sh.filled);
            } else {
                const double a = sh.start * kTurn;
                canvas.Arc(pts[0], sh.rh * s, sh.rv * s, tilt, a, a + sh.sweep * kTurn, sh.filled);
            }
            break;
        }
        case DwfShape::Text: {
            const DwfFont& f = d.fonts[sh.font];
            FontSpec font;
            font.name = f.name;
            font.size = f.height * s;
            font.bold = f.bold;
            font.italic = f.italic;
            if (!(font.size > 0)) break;
            canvas.SetFont(font);
            canvas.Text(pts[0], sh.text, f.rotation * kTurn, HAlign::Left, VAlign::Baseline);
            break;
        }
        }
    }
    canvas.PopClip();
}

}  // namespace tarvik
