#include "output/drawing_viewer.hpp"

#include <fstream>
#include <iterator>
#include <set>

namespace tarvik {

void DwfViewer::LoadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Clear();
        drawing_.notes.push_back("cannot open " + file.string());
        return;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadStream(bytes);
}

void DwfViewer::LoadStream(std::string_view stream) {
    std::set<std::string> hidden;
    for (const DwfLayer& l : drawing_.layers)
        if (!l.visible) hidden.insert(l.name);
    drawing_ = ParseDwf(stream);
    for (DwfLayer& l : drawing_.layers)
        if (hidden.count(l.name)) l.visible = false;
    enumerating_ = false;
}

void DwfViewer::Clear() {
    drawing_ = DwfDrawing{};
    enumerating_ = false;
}

bool DwfViewer::Seek() {
    while (current_ < drawing_.layers.size() && drawing_.layers[current_].name.compare(0, prefix_.size(), prefix_) != 0)
        ++current_;
    enumerating_ = current_ < drawing_.layers.size();
    return enumerating_;
}

bool DwfViewer::StartLayerEnumeration(std::string_view prefix) {
    prefix_ = std::string(prefix);
    current_ = 0;
    return Seek();
}

bool DwfViewer::NextLayer() {
    if (!enumerating_) return false;
    ++current_;
    return Seek();
}

std::string DwfViewer::LayerName() const { return enumerating_ ? drawing_.layers[current_].name : std::string(); }

bool DwfViewer::LayerVisible() const { return enumerating_ && drawing_.layers[current_].visible; }

void DwfViewer::SetLayerVisible(bool visible) {
    if (enumerating_) drawing_.layers[current_].visible = visible;
}

void DwfViewer::Draw(Canvas& canvas, const RectD& target, const DwfRenderOptions& options) const {
    RenderDwf(drawing_, canvas, target, options);
}

}  // namespace tarvik
