#include "output/cairo_canvas.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace tarvik {
namespace {

bool Finite(PointD p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool Finite(double v) { return std::isfinite(v); }

void PathOf(cairo_t* cr, std::span<const PointD> points) {
    bool first = true;
    for (const PointD& p : points) {
        if (!Finite(p)) continue;
        if (first) cairo_move_to(cr, p.x, p.y);
        else cairo_line_to(cr, p.x, p.y);
        first = false;
    }
}

// libpng reports errors by longjmp: nothing that needs a destructor lives in this frame.
bool WritePngRows(png_structp png, png_infop info, std::FILE* f, int w, int h, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

// Writes an RGB24 image surface as PNG. Drawings are mostly paper: the fastest compression
// already makes them small, and it is several times quicker than the default.
bool WritePng(cairo_surface_t* surface, const char* path) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<unsigned char> rows(static_cast<std::size_t>(w) * 3 * h);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        unsigned char* dst = &rows[static_cast<std::size_t>(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<unsigned char>(src[x] >> 16);
            dst[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<unsigned char>(src[x]);
        }
    }
    std::vector<png_bytep> rowPointers(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) rowPointers[y] = &rows[static_cast<std::size_t>(y) * w * 3];

    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = png && info && WritePngRows(png, info, f, w, h, rowPointers.data());
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* cr) : cr_(cairo_reference(cr)) {
    cairo_save(cr_);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgba(cr_, 0, 0, 0, 1);
    SetFont(FontSpec{});
}

CairoCanvas::~CairoCanvas() {
    while (clipDepth_ > 0) PopClip();
    cairo_restore(cr_);
    cairo_destroy(cr_);
}

void CairoCanvas::SetColour(Rgba c) {
    cairo_set_source_rgba(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

void CairoCanvas::SetLineWidth(double width) { lineWidth_ = Finite(width) ? std::max(0.0, width) : 0.0; }

void CairoCanvas::SetLineDash(std::span<const double> dashes) {
    std::vector<double> d;
    for (double v : dashes)
        if (Finite(v) && v > 0) d.push_back(v);
    cairo_set_dash(cr_, d.data(), static_cast<int>(d.size()), 0);
}

void CairoCanvas::SetFont(const FontSpec& font) {
    // The toy font API goes through fontconfig, whose aliases give "Arial" the metric-compatible
    // Liberation Sans.
    cairo_select_font_face(cr_, font.name.c_str(), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, Finite(font.size) && font.size > 0 ? font.size : 1.0);
}

void CairoCanvas::PushClip(const RectD& r) {
    cairo_save(cr_);
    ++clipDepth_;
    if (!Finite(r.left) || !Finite(r.top) || !Finite(r.right) || !Finite(r.bottom)) return;
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_clip(cr_);
}

void CairoCanvas::PopClip() {
    if (clipDepth_ == 0) return;
    --clipDepth_;
    cairo_restore(cr_);
}

void CairoCanvas::Stroke() {
    // Width 0 is a hairline: one device pixel whatever the scale.
    double w = lineWidth_;
    if (w <= 0) {
        double ux = 1, uy = 0;
        cairo_device_to_user_distance(cr_, &ux, &uy);
        w = std::hypot(ux, uy);
    }
    cairo_set_line_width(cr_, w);
    cairo_stroke(cr_);
}

void CairoCanvas::Line(PointD from, PointD to) {
    const PointD pts[] = {from, to};
    Polyline(pts);
}

void CairoCanvas::Polyline(std::span<const PointD> points) {
    PathOf(cr_, points);
    Stroke();
}

void CairoCanvas::Polygon(std::span<const PointD> points, bool filled) {
    PathOf(cr_, points);
    cairo_close_path(cr_);
    if (filled) cairo_fill(cr_);
    else Stroke();
}

void CairoCanvas::Ellipse(PointD centre, double rx, double ry, double rotation, bool filled) {
    Arc(centre, rx, ry, rotation, 0, 2 * M_PI, filled);
}

void CairoCanvas::Arc(PointD c, double rx, double ry, double rotation, double start, double end, bool filled) {
    if (!Finite(c) || !Finite(rx) || !Finite(ry) || !Finite(rotation) || !Finite(start) || !Finite(end)) return;
    if (rx <= 0 || ry <= 0) return;
    // Counter-clockwise on a Y-down page is cairo's negative direction.
    cairo_save(cr_);
    cairo_translate(cr_, c.x, c.y);
    cairo_rotate(cr_, -rotation);
    cairo_scale(cr_, rx, ry);
    cairo_new_path(cr_);
    if (filled && end - start < 2 * M_PI) cairo_move_to(cr_, 0, 0);
    cairo_arc_negative(cr_, 0, 0, 1, -start, -end);
    if (filled) cairo_close_path(cr_);
    cairo_restore(cr_);  // the stroke width must not be scaled with the ellipse
    if (filled) cairo_fill(cr_);
    else Stroke();
}

void CairoCanvas::Text(PointD at, std::string_view utf8, double angle, HAlign h, VAlign v) {
    if (!Finite(at) || !Finite(angle) || utf8.empty()) return;
    const std::string text(utf8);
    cairo_text_extents_t te;
    cairo_font_extents_t fe;
    cairo_text_extents(cr_, text.c_str(), &te);
    cairo_font_extents(cr_, &fe);
    double dx = 0, dy = 0;
    if (h == HAlign::Centre) dx = -te.x_advance / 2;
    if (h == HAlign::Right) dx = -te.x_advance;
    if (v == VAlign::Top) dy = fe.ascent;
    if (v == VAlign::Middle) dy = (fe.ascent - fe.descent) / 2;
    if (v == VAlign::Bottom) dy = -fe.descent;
    cairo_save(cr_);
    cairo_translate(cr_, at.x, at.y);
    cairo_rotate(cr_, -angle);
    cairo_move_to(cr_, dx, dy);
    cairo_show_text(cr_, text.c_str());
    cairo_new_path(cr_);
    cairo_restore(cr_);
}

void CairoCanvas::Image(const RectD& where, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0 || where.width() <= 0 || where.height() <= 0) return;
    if (image.pixels.size() < static_cast<std::size_t>(image.width) * image.height * 3) return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return;
    }
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        const std::uint8_t* src = &image.pixels[static_cast<std::size_t>(y) * image.width * 3];
        for (int x = 0; x < image.width; ++x)
            row[x] = (std::uint32_t{src[3 * x]} << 16) | (std::uint32_t{src[3 * x + 1]} << 8) | src[3 * x + 2];
    }
    cairo_surface_mark_dirty(s);
    cairo_save(cr_);
    cairo_translate(cr_, where.left, where.top);
    cairo_scale(cr_, where.width() / image.width, where.height() / image.height);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

TextExtent CairoCanvas::MeasureText(std::string_view utf8) {
    const std::string text(utf8);
    cairo_text_extents_t te;
    cairo_font_extents_t fe;
    cairo_text_extents(cr_, text.c_str(), &te);
    cairo_font_extents(cr_, &fe);
    return {te.x_advance, fe.ascent, fe.descent};
}

std::optional<PageFormat> PageFormatOf(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".pdf") return PageFormat::Pdf;
    if (ext == ".png") return PageFormat::Png;
    if (ext == ".svg") return PageFormat::Svg;
    return std::nullopt;
}

namespace {
// Puts a completely written temporary file in place of `file`; otherwise removes it, so that a
// failure leaves no partial file and the previous one whole.
bool CommitTemporary(const std::filesystem::path& temp, const std::filesystem::path& file, bool ok,
                     std::string& error) {
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp, file, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        error = "cannot write " + file.string();
    }
    return ok;
}
}  // namespace

bool WritePageFile(const std::filesystem::path& file, const PageSetup& page,
                   const std::function<void(Canvas&)>& draw, std::string& error) {
    const auto format = PageFormatOf(file);
    if (!format) {
        error = "unknown output format '" + file.extension().string() + "' (use .pdf, .png or .svg)";
        return false;
    }
    if (!(page.widthPt > 0 && page.heightPt > 0 && page.widthPt < 1e5 && page.heightPt < 1e5 && page.pngDpi > 0 &&
          page.pngDpi <= 2400)) {
        error = "invalid page size";
        return false;
    }
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid());
    const std::string tempName = temp.string();

    cairo_surface_t* surface = nullptr;
    double scale = 1;
    if (*format == PageFormat::Pdf) {
        surface = cairo_pdf_surface_create(tempName.c_str(), page.widthPt, page.heightPt);
    } else if (*format == PageFormat::Svg) {
        surface = cairo_svg_surface_create(tempName.c_str(), page.widthPt, page.heightPt);
    } else {
        scale = page.pngDpi / 72.0;
        const int w = static_cast<int>(std::ceil(page.widthPt * scale));
        const int h = static_cast<int>(std::ceil(page.heightPt * scale));
        if (static_cast<double>(w) * h > 2.0e8) {
            error = "the picture would be too large";
            return false;
        }
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    }
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_t* cr = cairo_create(surface);
        if (*format == PageFormat::Png) {
            // A PNG has no paper: start from white.
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_scale(cr, scale, scale);
        }
        {
            CairoCanvas canvas(cr);
            draw(canvas);
        }
        ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        if (ok && *format == PageFormat::Png) ok = WritePng(surface, tempName.c_str());
        cairo_surface_finish(surface);
        ok = ok && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(surface);
    return CommitTemporary(temp, file, ok, error);
}

bool WritePagesFile(const std::filesystem::path& file, const PageSetup& page, std::size_t pageCount,
                    const std::function<void(std::size_t, Canvas&)>& draw, std::string& error) {
    if (PageFormatOf(file) != PageFormat::Pdf) {
        error = "the output file must end in .pdf";
        return false;
    }
    if (!(page.widthPt > 0 && page.heightPt > 0 && page.widthPt < 1e5 && page.heightPt < 1e5)) {
        error = "invalid page size";
        return false;
    }
    if (pageCount == 0) {
        error = "there are no pages to write";
        return false;
    }
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid());
    const std::string tempName = temp.string();
    cairo_surface_t* surface = cairo_pdf_surface_create(tempName.c_str(), page.widthPt, page.heightPt);
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_t* cr = cairo_create(surface);
        for (std::size_t i = 0; ok && i < pageCount; ++i) {
            cairo_save(cr);
            {
                CairoCanvas canvas(cr);
                draw(i, canvas);
            }
            cairo_restore(cr);
            cairo_show_page(cr);
            ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        }
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        ok = ok && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(surface);
    return CommitTemporary(temp, file, ok, error);
}

}  // namespace tarvik
