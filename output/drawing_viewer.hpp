#pragma once
// The drawing viewer: what the dimension-drawing routines need from it, and our own ASCII DWF
// viewer behind that face.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "output/dwf_drawing.hpp"
#include "output/dwf_render.hpp"

namespace tarvik {

class DrawingViewer {
public:
    virtual ~DrawingViewer() = default;
    // Loads a complete stream given as text.
    virtual void LoadStream(std::string_view stream) = 0;
    // Starts the layer enumeration over the layers whose names begin with `prefix` (all for "");
    // true when a layer is current.
    virtual bool StartLayerEnumeration(std::string_view prefix) = 0;
    // Advances to the next layer; true while a layer is current.
    virtual bool NextLayer() = 0;
    // Name and visibility of the current layer ("" and false when there is none).
    virtual std::string LayerName() const = 0;
    virtual bool LayerVisible() const = 0;
    virtual void SetLayerVisible(bool visible) = 0;
};

class DwfViewer : public DrawingViewer {
public:
    // Loads the drawing file; an unreadable file gives an empty drawing with a note.
    void LoadFile(const std::filesystem::path& file);
    // A drawing loaded again keeps the visibility that was set for layers of the same name, so
    // that a layer specification applied to a series' drawing holds for its filled copy.
    void LoadStream(std::string_view stream) override;
    // Drops the drawing and every layer state.
    void Clear();

    bool StartLayerEnumeration(std::string_view prefix) override;
    bool NextLayer() override;
    std::string LayerName() const override;
    bool LayerVisible() const override;
    void SetLayerVisible(bool visible) override;

    // Draws the visible layers fitted into `target`.
    void Draw(Canvas& canvas, const RectD& target, const DwfRenderOptions& options = {}) const;

    const DwfDrawing& drawing() const { return drawing_; }

private:
    bool Seek();  // moves to the first layer from current_ on that matches the prefix
    DwfDrawing drawing_;
    std::string prefix_;
    std::size_t current_ = 0;
    bool enumerating_ = false;
};

}  // namespace tarvik
