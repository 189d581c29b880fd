#include "output/drawing_layers.hpp"

namespace tarvik {

std::vector<DrawingLayer> DrawingLayers(DrawingViewer& viewer) {
    std::vector<DrawingLayer> layers;
    for (bool more = viewer.StartLayerEnumeration(""); more; more = viewer.NextLayer())
        layers.push_back({viewer.LayerName(), viewer.LayerVisible()});
    return layers;
}

bool SetDrawingLayerVisible(DrawingViewer& viewer, std::string_view name, bool visible) {
    bool found = false;
    // Names are not required to be unique: switch every layer that carries it.
    for (bool more = viewer.StartLayerEnumeration(""); more; more = viewer.NextLayer())
        if (viewer.LayerName() == name) {
            viewer.SetLayerVisible(visible);
            found = true;
        }
    return found;
}

std::string RecordedLayerState(DrawingViewer& viewer) {
    const std::vector<DrawingLayer> layers = DrawingLayers(viewer);
    if (layers.empty()) return {};
    std::string state = ";";
    for (const DrawingLayer& layer : layers) state += (layer.visible ? "+" : "-") + layer.name + ";";
    return state;
}

}  // namespace tarvik
