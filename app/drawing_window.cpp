#include "app/drawing_window.hpp"

#include <algorithm>
#include <cmath>

#include <wx/dcbuffer.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include "app/dc_canvas.hpp"
#include "app/layouts.hpp"
#include "app/startup.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "output/drawing_layers.hpp"
#include "output/position_drawing.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

// Zoom limits relative to the fitted drawing: beyond them nothing useful is left to see.
constexpr double kMinZoom = 0.1, kMaxZoom = 200;
constexpr double kStep = 1.25;

}  // namespace

DrawingPanel::DrawingPanel(wxWindow* parent) {
    // A pack's own layout may lack parts: the panel then still works with what it has.
    if (!wxXmlResource::Get()->LoadPanel(this, parent, "DrawingPanel")) Create(parent, wxID_ANY);
    view_ = new wxWindow(this, kView, wxDefaultPosition, wxSize(480, 340), wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS);
    view_->SetBackgroundStyle(wxBG_STYLE_PAINT);
    wxXmlResource::Get()->AttachUnknownControl(std::to_string(kView), view_, this);
    layers_ = dynamic_cast<wxCheckListBox*>(FindWindow(kLayers));
    if (!layers_) {
        layers_ = new wxCheckListBox(this, kLayers);
        layers_->Hide();
    }
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Fit(); }, kFit);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Zoom(kStep); }, kZoomIn);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Zoom(1 / kStep); }, kZoomOut);
    layers_->Bind(wxEVT_CHECKLISTBOX, &DrawingPanel::OnLayerToggled, this);
    view_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) { OnPaint(); });
    view_->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        e.Skip();
        // A fitted drawing stays fitted; a zoomed one keeps its place.
        if (fitted_) target_ = FittedTarget();
        view_->Refresh();
    });
    view_->Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& e) {
        if (e.GetWheelRotation() == 0) return;
        ZoomAt({static_cast<double>(e.GetX()), static_cast<double>(e.GetY())}, e.GetWheelRotation() > 0 ? kStep : 1 / kStep);
    });
    view_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        dragFrom_ = e.GetPosition();
        dragging_ = true;
        if (!view_->HasCapture()) view_->CaptureMouse();
    });
    view_->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        if (!dragging_ || !e.LeftIsDown()) return;
        const wxPoint d = e.GetPosition() - dragFrom_;
        dragFrom_ = e.GetPosition();
        Pan(d.x, d.y);
    });
    auto endDrag = [this](wxMouseEvent&) {
        dragging_ = false;
        if (view_->HasCapture()) view_->ReleaseMouse();
    };
    view_->Bind(wxEVT_LEFT_UP, endDrag);
    view_->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { dragging_ = false; });
    target_ = FittedTarget();
}

RectD DrawingPanel::FittedTarget() const {
    const wxSize s = view_->GetClientSize();
    // A small margin, so that the drawing's frame is not cut by the window's edge.
    const double m = 6;
    return {m, m, std::max(m + 1, s.x - m), std::max(m + 1, s.y - m)};
}

void DrawingPanel::Reload() {
    layers_->Clear();
    for (const DrawingLayer& layer : DrawingLayers(viewer_)) {
        const int i = layers_->Append(W(layer.name));
        layers_->Check(static_cast<unsigned>(i), layer.visible);
    }
    Fit();
}

void DrawingPanel::Fit() {
    fitted_ = true;
    target_ = FittedTarget();
    view_->Refresh();
}

void DrawingPanel::Zoom(double factor) {
    const wxSize s = view_->GetClientSize();
    ZoomAt({s.x / 2.0, s.y / 2.0}, factor);
}

void DrawingPanel::ZoomAt(PointD at, double factor) {
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(at.x) || !std::isfinite(at.y)) return;
    const double fitted = FittedTarget().width();
    const double zoom = std::clamp(target_.width() * factor / fitted, kMinZoom, kMaxZoom);
    factor = zoom * fitted / target_.width();
    // The point under the pointer stays where it is.
    target_ = {at.x + (target_.left - at.x) * factor, at.y + (target_.top - at.y) * factor,
               at.x + (target_.right - at.x) * factor, at.y + (target_.bottom - at.y) * factor};
    fitted_ = false;
    view_->Refresh();
}

void DrawingPanel::Pan(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    target_.left += dx;
    target_.right += dx;
    target_.top += dy;
    target_.bottom += dy;
    fitted_ = false;
    view_->Refresh();
}

std::string DrawingPanel::LayerState() { return RecordedLayerState(viewer_); }

void DrawingPanel::OnLayerToggled(wxCommandEvent& event) {
    const int i = event.GetInt();
    if (i < 0 || i >= static_cast<int>(layers_->GetCount())) return;
    const auto n = static_cast<unsigned>(i);
    SetDrawingLayerVisible(viewer_, layers_->GetString(n).utf8_string(), layers_->IsChecked(n));
    view_->Refresh();
}

void DrawingPanel::OnPaint() {
    wxAutoBufferedPaintDC dc(view_);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    DcCanvas canvas(dc);
    if (canvas.ok()) viewer_.Draw(canvas, target_);
}

DrawingFrame::DrawingFrame(wxWindow* parent, const std::string& title)
    : wxFrame(parent, wxID_ANY, W(title), wxDefaultPosition, wxSize(900, 640)), panel_(new DrawingPanel(this)) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(panel_, 1, wxEXPAND);
    SetSizer(sizer);
}

DrawingFrame* ShowPositionDrawing(wxWindow* parent, ProjectDocument& doc, ValvePosition& position) {
    auto* frame = new DrawingFrame(parent, position.name);
    std::string why;
    if (!Core().session || !PrepareDrawingPage(*Core().session, doc, position, frame->panel()->viewer(), why)) {
        frame->Destroy();
        Tell(GetText(64716));
        return nullptr;
    }
    frame->panel()->Reload();
    frame->Show();
    return frame;
}

}  // namespace tarvik::app
