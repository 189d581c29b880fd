#pragma once
// Drawing a parsed DWF drawing on a Canvas, fitted into a rectangle with its aspect kept.
#include <optional>

#include "output/canvas.hpp"
#include "output/dwf_drawing.hpp"

namespace tarvik {

struct DwfRenderOptions {
    // Device width of the thinnest line; 0 is the device's hairline (screens). Printers want about
    // 0.1 mm.
    double minLineWidth = 0;
};

// The logical rectangle that is shown: the drawing's view, else the extents of what its visible
// layers draw (text boxes estimated); none when nothing is drawn.
std::optional<DwfBox> DwfShownBox(const DwfDrawing& drawing);

// Draws the shapes of the visible layers into `target` (device units, Y down), centred, scaled
// to fit, clipped to the rectangle; the background colour, when it is not transparent, fills it.
void RenderDwf(const DwfDrawing& drawing, Canvas& canvas, const RectD& target, const DwfRenderOptions& options = {});

}  // namespace tarvik
