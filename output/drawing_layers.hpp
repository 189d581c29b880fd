#pragma once
// The layers of a loaded drawing as a list, switched one by one, and their state recorded as a
// layer specification (";+A;-B;": one entry per layer, "+" visible, "-" hidden), the form in
// which a chosen variant is kept with the position.
#include <string>
#include <string_view>
#include <vector>

#include "output/drawing_viewer.hpp"

namespace tarvik {

struct DrawingLayer {
    std::string name;
    bool visible = false;
    bool operator==(const DrawingLayer&) const = default;
};

// Every layer in the viewer's order.
std::vector<DrawingLayer> DrawingLayers(DrawingViewer& viewer);

// Shows or hides the layer of that name; false when the drawing has none.
bool SetDrawingLayerVisible(DrawingViewer& viewer, std::string_view name, bool visible);

// ";" followed by "+NAME;" or "-NAME;" for each layer; "" for a drawing without layers.
std::string RecordedLayerState(DrawingViewer& viewer);

}  // namespace tarvik
