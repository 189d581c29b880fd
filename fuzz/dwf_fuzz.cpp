// The ASCII DWF reader, the drawing rendered from what it read, and the template filler on the
// same bytes. Whatever the bytes, every shape refers to a real layer and font, and no drawing
// call gets a coordinate that is not finite.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "output/dimension_drawing.hpp"
#include "output/drawing_viewer.hpp"
#include "output/recording_canvas.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    DwfViewer viewer;
    viewer.LoadStream(bytes);
    const DwfDrawing& d = viewer.drawing();
    for (const DwfShape& s : d.shapes) {
        TARVIK_FUZZ_CHECK(s.layer < d.layers.size());
        TARVIK_FUZZ_CHECK(s.kind != DwfShape::Text || s.font < d.fonts.size());
        TARVIK_FUZZ_CHECK(s.kind != DwfShape::Ellipse || s.points.size() == 1);
    }
    ApplyLayerSpecification(viewer, ";-A%;+B;", false);
    RecordingCanvas canvas;
    viewer.Draw(canvas, {0, 0, 842, 595});
    for (const CanvasCall& c : canvas.calls) {
        for (const PointD& p : c.points) TARVIK_FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y));
        for (double v : c.values) TARVIK_FUZZ_CHECK(std::isfinite(v));
        TARVIK_FUZZ_CHECK(std::isfinite(c.lineWidth) && std::isfinite(c.font.size));
    }

    // The same bytes as a template to fill.
    KeyValueList tb{{{"k", "v\xC3\xA1"}, {"VAHAP", "2"}}};
    ShowDrawing(viewer, bytes, tb, ";-A;");
    return 0;
}
