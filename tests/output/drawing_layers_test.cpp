#include <gtest/gtest.h>

#include "output/dimension_drawing.hpp"
#include "output/drawing_layers.hpp"

namespace tarvik {
namespace {

TEST(DrawingLayers, ListSwitchAndRecordEveryLayer) {
    DwfViewer viewer;
    EXPECT_EQ(RecordedLayerState(viewer), "");  // no drawing, nothing to record
    viewer.LoadStream("(DWF V00.42)(Layer 1 BODY)L 0,0 1,1(Layer 2 VALVE_A)L 0,1 1,0(Layer 3 VALVE_B)L 0,0 1,0(EndOfDWF)");
    EXPECT_EQ(DrawingLayers(viewer), (std::vector<DrawingLayer>{{"BODY", true}, {"VALVE_A", true}, {"VALVE_B", true}}));

    EXPECT_TRUE(SetDrawingLayerVisible(viewer, "VALVE_A", false));
    EXPECT_FALSE(SetDrawingLayerVisible(viewer, "VALVE", false));  // a name, not a prefix
    EXPECT_EQ(RecordedLayerState(viewer), ";+BODY;-VALVE_A;+VALVE_B;");

    // The recorded text brings the same state back onto a fresh copy of the drawing.
    const std::string recorded = RecordedLayerState(viewer);
    DwfViewer again;
    again.LoadStream("(DWF V00.42)(Layer 1 BODY)L 0,0 1,1(Layer 2 VALVE_A)L 0,1 1,0(Layer 3 VALVE_B)L 0,0 1,0(EndOfDWF)");
    ApplyLayerSpecification(again, recorded, false);
    EXPECT_EQ(RecordedLayerState(again), recorded);
}

}  // namespace
}  // namespace tarvik
