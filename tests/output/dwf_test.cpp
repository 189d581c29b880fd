#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "output/drawing_viewer.hpp"
#include "output/dwf_drawing.hpp"
#include "output/recording_canvas.hpp"

namespace tarvik {
namespace {

DwfDrawing Parse(const std::string& body) { return ParseDwf("(DWF V00.42)\n" + body + "\n(EndOfDWF)\n"); }

std::string Describe(const DwfDrawing& d, const DwfShape& s) {
    std::ostringstream o;
    static const char* kKinds[] = {"line", "fill", "strip", "ellipse", "text"};
    o << kKinds[s.kind];
    for (const DwfPoint& p : s.points) o << ' ' << p.x << ',' << p.y;
    if (s.kind == DwfShape::Ellipse) {
        o << ' ' << s.rh << ',' << s.rv;
        if (s.sweep != kDwfFullTurn) o << " from " << s.start << " by " << s.sweep;
        if (s.tilt) o << " tilt " << s.tilt;
        if (s.filled) o << " filled";
    }
    if (s.kind == DwfShape::Text) o << " '" << s.text << "' h" << d.fonts[s.font].height << " r" << d.fonts[s.font].rotation;
    return o.str();
}

std::string Describe(const DwfDrawing& d) {
    std::string out;
    for (const DwfShape& s : d.shapes) out += (out.empty() ? "" : " | ") + Describe(d, s);
    return out;
}

TEST(DwfParser, EveryPrimitiveAndStringForm) {
    const struct {
        std::string body, expected;
    } cases[] = {
        {"L 5600,7800 14400,7800", "line 5600,7800 14400,7800"},
        {"L 0,0 5,5(Color 0,0,0,255)L 1,1 2,2", "line 0,0 5,5 | line 1,1 2,2"},
        {"L -5, 7 3,-4", "line -5,7 3,-4"},
        {"P 3 0,0 10,0 5,5", "line 0,0 10,0 5,5"},
        {"F P 3 0,0 10,0 5,5 f P 3 0,0 1,0 1,1", "fill 0,0 10,0 5,5 | line 0,0 1,0 1,1"},
        {"F P 2 0,0 1,1", "line 0,0 1,1"},
        {"P 4\n0,0 1,0\n1,1 0,1", "line 0,0 1,0 1,1 0,1"},
        {"R 10,9 22 F R 1,1 2", "ellipse 10,9 22,22 | ellipse 1,1 2,2 filled"},
        {"(Circle 11500,15250 1200 49152,16384)", "ellipse 11500,15250 1200,1200 from 49152 by 32768"},
        {"(Circle 1,1 5 0,65536) (Circle 1,1 5 7,7)", "ellipse 1,1 5,5 | ellipse 1,1 5,5"},
        {"E 10,16 30,3 (Ellipse 500,500 300,100 0,16384 8192)", "ellipse 10,16 30,3 | ellipse 500,500 300,100 from 0 by 16384 tilt 8192"},
        {"T 4 0,0 10,0 0,10 10,10", "strip 0,0 10,0 0,10 10,10"},
        {"(Text 18900,3700 '*zakaznik*')", "text 18900,3700 '*zakaznik*' h1000 r0"},
        {"(Text 1,1 \"005600E100680061003A\")", "text 1,1 'Váha:' h1000 r0"},
        {"(Text 1,1 \"d83dde00\")", "text 1,1 '\xF0\x9F\x98\x80' h1000 r0"},
        {"(Text 1,1 'it\\'s 5\\\\6 (x)')", "text 1,1 'it's 5\\6 (x)' h1000 r0"},
        {"(Text 1,1 2024)", "text 1,1 '2024' h1000 r0"},
        {"(Text 1,1 'V\xE1ha')", "text 1,1 'Váha' h1000 r0"},
        {"(Text 1,1 'a' (Bounds 0,0 1,0 1,1 0,1) (Overscore (1 0)))L 0,0 1,1", "text 1,1 'a' h1000 r0 | line 0,0 1,1"},
        {"(Font (Name Sans) (Height 350) (Rotation 0))(Font (Rotation 16384))(Text 3700,8800 '50')",
         "text 3700,8800 '50' h350 r16384"},
        {"(Comment 'a (bracket) and a \\' quote')(Part (Id 7) (Note 'DN 100 (flanged)'))"
         "(NamedView 100,100 900,900 INITIAL)L 0,0 1,1",
         "line 0,0 1,1"},
        {"v L 0,0 1,1 V L 2,2 3,3", "line 2,2 3,3"},
        {"M 2 0,0 1,1 G 3 S 10 L 0,0 1,1", "line 0,0 1,1"},
        {"(DWF V00.42)L 0,0 1,1", "line 0,0 1,1"},
        {std::string("{") + std::string("\x03\0\0\0", 4) + "\x01\x02}" + "L 0,0 1,1", "line 0,0 1,1"},
    };
    for (const auto& c : cases) {
        const DwfDrawing d = Parse(c.body);
        EXPECT_EQ(Describe(d), c.expected) << c.body;
        EXPECT_TRUE(d.complete) << c.body;
    }
}

TEST(DwfParser, StateOpcodesApplyToWhatFollows) {
    const DwfDrawing d = Parse(
        "(View 0,0 29700,21000)(Units mm ((100 0 0 0)(0 100 0 0)(0 0 1 0)(0 0 0 1)))"
        "(Background 255,255,255,255) L 0,0 1,1 (Layer 1 BODY)(Color 0,0,255,128)(LineWeight 50)"
        "(LinePattern Dash_Dot) L 0,0 1,1 (Layer 2 \"0041\") C 1 (Layer 1) L 0,0 1,1"
        "(ColorMap 2 1,2,3,255 4,5,6,255) C 1 (Layer 2 ACTUATOR_A) L 0,0 1,1 C 7");
    ASSERT_EQ(d.shapes.size(), 4u);
    ASSERT_TRUE(d.view);
    EXPECT_EQ(d.view->max, (DwfPoint{29700, 21000}));
    EXPECT_EQ(d.unitsLabel, "mm");
    ASSERT_TRUE(d.unitsMatrix);
    EXPECT_EQ((*d.unitsMatrix)[0], 100);
    EXPECT_EQ((*d.unitsMatrix)[15], 1);
    EXPECT_EQ(d.background, (Rgba{255, 255, 255, 255}));
    // Implicit layer 0 first, then in order of first appearance; a later name renames.
    ASSERT_EQ(d.layers.size(), 3u);
    EXPECT_EQ(d.layers[0].number, 0);
    EXPECT_EQ(d.layers[1].name, "BODY");
    EXPECT_EQ(d.layers[2].name, "ACTUATOR_A");
    EXPECT_EQ(d.shapes[0].colour, (Rgba{255, 255, 255, 255}));  // the format's default
    EXPECT_EQ(d.shapes[1].colour, (Rgba{0, 0, 255, 128}));
    EXPECT_EQ(d.shapes[1].lineWeight, 50);
    EXPECT_EQ(DwfLinePatterns()[d.shapes[1].pattern].first, "Dash_Dot");
    EXPECT_EQ(d.shapes[2].colour, (Rgba{255, 0, 0, 255}));  // default map entry 1
    EXPECT_EQ(d.shapes[2].layer, 1u);
    EXPECT_EQ(d.shapes[2].lineWeight, 50);  // a layer switch keeps the attributes
    EXPECT_EQ(d.shapes[3].colour, (Rgba{4, 5, 6, 255}));
    EXPECT_EQ(d.shapes[3].layer, 2u);
    EXPECT_TRUE(d.notes.size() == 1 && d.notes[0].find("outside the colour map") != std::string::npos);
}

// Hostile streams end with what could be read, a note, no hang and no huge allocation.
TEST(DwfParser, DamagedStreamsKeepWhatWasRead) {
    const struct {
        std::string stream;
        std::string shapes;
        std::string note;
    } cases[] = {
        {"(DWF V00.42)\nL 0,0 5,5\nP 3 0,0", "line 0,0 5,5 | line 0,0", "fewer points"},
        {"(DWF V00.42)L 99999999999999999999,-99999999999999999999 0,0", "line 2147483647,-2147483647 0,0", "without (EndOfDWF)"},
        {"(DWF V00.42)P 1000000000 0,0 1,1 L 2,2 3,3", "line 0,0 1,1 | line 2,2 3,3", "fewer points"},
        {"(DWF V00.42)P -4 0,0 L 2,2 3,3", "", "bad point count"},
        {"(DWF V00.42)L 0,0 1,1 (Foo ((((((((", "line 0,0 1,1", "inside an opcode"},
        {"(DWF V00.42)L 0,0 1,1 ))) L 1,1 2,2", "line 0,0 1,1 | line 1,1 2,2", "stray ')'"},
        {"(DWF V00.42)L 0,0 1,1 \x01\x02 L 1,1 2,2", "line 0,0 1,1", "binary DWF content not supported (byte 0x01"},
        {"(DWF V00.42)(Text 1,1 'abc'\nL 0,0 1,1\n(EndOfDWF)", "text 1,1 'abc' h1000 r0", "inside an opcode"},
        {"(DWF V00.42)(Text 1,1 'abc' (Bounds 0,0 1,0 1,1 0,1)\n(Layer 2 B)L 0,0 1,1(EndOfDWF)",
         "text 1,1 'abc' h1000 r0 | line 0,0 1,1", "not closed"},
        {"(DWF V00.42)(Text 1,1 'abc)\nL 0,0 1,1\n(EndOfDWF)", "", "not closed"},
        {"(DWF V00.42)(Text 1,1 \"0041", "", "not closed"},
        {std::string("(DWF V00.42)L 0,0 1,1 {") + std::string(4, '\0') + std::string("\x10", 1) + std::string(1, '\0') +
             "}L 2,2 3,3",
         "line 0,0 1,1", "compressed"},
        {"(DWF V00.42){\xff\xff\xff\x7f", "", "inside binary data"},
        {"(DWF V00.42)L 0,0 (Color 1,2)", "", "bad line"},
        {"(DWF V00.42)(Zork 1 2 3)(layer 1 A)(EndOfDWF)", "", "unknown opcode (Zork"},
        {"(W2D V06.00)L 0,0 1,1", "", "unsupported DWF version"},
        {"PK\x03\x04", "", "zipped"},
        {"", "", "not an ASCII DWF stream"},
    };
    for (const auto& c : cases) {
        const DwfDrawing d = ParseDwf(c.stream);
        EXPECT_EQ(Describe(d), c.shapes) << c.stream;
        std::string notes;
        for (const auto& n : d.notes) notes += n + "; ";
        EXPECT_NE(notes.find(c.note), std::string::npos) << c.stream << " -> " << notes;
    }
    // Deep nesting costs no stack.
    EXPECT_FALSE(ParseDwf("(DWF V00.42)(X " + std::string(1000000, '(')).notes.empty());
    // Many problems are listed only up to a limit.
    std::string many = "(DWF V00.42)";
    for (int i = 0; i < 5000; ++i) many += ")";
    EXPECT_LE(ParseDwf(many).notes.size(), 101u);
}

TEST(DwfStrings, HexFormRoundTripsUnicode) {
    EXPECT_EQ(EncodeDwfHexString("Váha:"), "\"005600E100680061003A\"");
    EXPECT_EQ(EncodeDwfHexString("\xF0\x9F\x98\x80"), "\"D83DDE00\"");
    EXPECT_EQ(EncodeDwfHexString("V\xE1"), "\"005600E1\"");  // a stray byte read as code page 1250
    for (const std::string s : {"", "Zákazník: Žatec", "a'b\\c"})
        EXPECT_EQ(DecodeDwfString(EncodeDwfHexString(s)), s);
    EXPECT_EQ(DecodeDwfString("'it\\'s'"), "it's");
    EXPECT_EQ(DecodeDwfString("BODY"), "BODY");
}

constexpr const char* kThreeLayers =
    "(DWF V00.42)(View 0,0 100,100)(Color 0,0,0,255)(Layer 1 BODY)L 0,0 100,100"
    "(Layer 2 VALVE_A)L 0,100 100,0(Layer 3 VALVE_B)R 50,50 10(EndOfDWF)";

TEST(DwfRender, FitsKeepsAspectAndSkipsHiddenLayers) {
    DwfViewer viewer;
    viewer.LoadStream(kThreeLayers);
    RecordingCanvas canvas;
    // 200 × 100 target, 100 × 100 view: scale 1, centred horizontally, Y flipped.
    viewer.Draw(canvas, {10, 20, 210, 120});
    ASSERT_EQ(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<PointD>{{60, 120}, {160, 20}}));
    EXPECT_EQ(canvas.calls[1].points, (std::vector<PointD>{{60, 20}, {160, 120}}));
    EXPECT_EQ(canvas.calls[2].kind, CanvasCall::Ellipse);
    EXPECT_EQ(canvas.calls[2].values[0], 10);
    EXPECT_EQ(canvas.calls[0].clipDepth, 1);
    ASSERT_EQ(canvas.clips.size(), 1u);

    ASSERT_TRUE(viewer.StartLayerEnumeration("VALVE"));
    EXPECT_EQ(viewer.LayerName(), "VALVE_A");
    viewer.SetLayerVisible(false);
    ASSERT_TRUE(viewer.NextLayer());
    EXPECT_EQ(viewer.LayerName(), "VALVE_B");
    EXPECT_FALSE(viewer.NextLayer());
    EXPECT_EQ(viewer.LayerName(), "");
    canvas.calls.clear();
    viewer.Draw(canvas, {10, 20, 210, 120});
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[1].kind, CanvasCall::Ellipse);

    // A reloaded drawing keeps the layers hidden by name.
    viewer.LoadStream(kThreeLayers);
    ASSERT_TRUE(viewer.StartLayerEnumeration("VALVE_A"));
    EXPECT_FALSE(viewer.LayerVisible());
}

TEST(DwfRender, ArcsTextsWeightsAndExtents) {
    const DwfDrawing d = ParseDwf(
        "(DWF V00.42)(Color 0,0,0,255)(LineWeight 4)(Circle 0,0 10 49152,16384)"
        "(Font (Name Arial) (Height 5) (Rotation 16384))(Text 0,0 'x')"
        "(LineWeight 0)F P 3 -10,-10 10,-10 0,10(Color 0,0,0,0)L 0,0 1000,1000(EndOfDWF)");
    RecordingCanvas canvas;
    DwfRenderOptions options;
    options.minLineWidth = 0.5;
    RenderDwf(d, canvas, {0, 0, 40, 40}, options);  // no view: the extents -12..12 -> scale 40/24
    ASSERT_EQ(canvas.calls.size(), 3u);              // the transparent line is not drawn
    const double s = 40.0 / 24;
    const CanvasCall& arc = canvas.calls[0];
    EXPECT_EQ(arc.kind, CanvasCall::Arc);
    EXPECT_NEAR(arc.points[0].x, 12 * s, 1e-9);
    EXPECT_NEAR(arc.values[3], 1.5 * M_PI, 1e-12);
    EXPECT_NEAR(arc.values[4], 2.5 * M_PI, 1e-12);
    EXPECT_NEAR(arc.lineWidth, 4 * s, 1e-9);
    const CanvasCall& text = canvas.calls[1];
    EXPECT_EQ(text.text, "x");
    EXPECT_NEAR(text.values[0], M_PI / 2, 1e-12);
    EXPECT_NEAR(text.font.size, 5 * s, 1e-9);
    EXPECT_EQ(text.font.name, "Arial");
    EXPECT_TRUE(canvas.calls[2].filled);
    EXPECT_EQ(canvas.calls[2].lineWidth, 0.5);
}

}  // namespace
}  // namespace tarvik
