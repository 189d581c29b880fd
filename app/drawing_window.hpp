#pragma once
// The drawing window: a DwfViewer shown through the DC canvas, fitted by default, zoomed with the
// buttons or the mouse wheel (about the pointer), panned by dragging, and its layers switched in
// a check list. The panel is what other windows embed; the frame shows a position's drawing.
#include <string>

#include <wx/checklst.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "output/canvas.hpp"
#include "output/drawing_viewer.hpp"
#include "project/project_document.hpp"

namespace tarvik::app {

class DrawingPanel : public wxPanel {
public:
    // Control IDs of the panel.
    enum { kFit = 1001, kZoomIn = 1002, kZoomOut = 1003, kLayers = 1004, kView = 1005 };

    explicit DrawingPanel(wxWindow* parent);

    DwfViewer& viewer() { return viewer_; }
    // After the viewer's drawing or layers changed from outside: the list again, fitted.
    void Reload();
    void Fit();
    // Zooms about a point of the view (client coordinates); the centre when none is given.
    void Zoom(double factor);
    void ZoomAt(PointD at, double factor);
    void Pan(double dx, double dy);
    // The recorded state of every layer (";+A;-B;").
    std::string LayerState();
    // Where the drawing is fitted into, in the view's client coordinates (zoom and pan applied).
    const RectD& target() const { return target_; }
    wxCheckListBox* layers() const { return layers_; }
    wxWindow* view() const { return view_; }

private:
    RectD FittedTarget() const;
    void OnPaint();
    void OnLayerToggled(wxCommandEvent& event);

    DwfViewer viewer_;
    wxWindow* view_ = nullptr;
    wxCheckListBox* layers_ = nullptr;
    RectD target_;
    bool fitted_ = true;
    wxPoint dragFrom_;
    bool dragging_ = false;
};

class DrawingFrame : public wxFrame {
public:
    DrawingFrame(wxWindow* parent, const std::string& title);
    DrawingPanel* panel() const { return panel_; }

private:
    DrawingPanel* panel_;
};

// Opens a window with the position's drawing, filled with its title block and its print layer
// settings, titled with the position's name. Without a drawing: message 64716, no window.
DrawingFrame* ShowPositionDrawing(wxWindow* parent, ProjectDocument& doc, ValvePosition& position);

}  // namespace tarvik::app
