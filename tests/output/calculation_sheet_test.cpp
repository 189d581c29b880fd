#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "data/language.hpp"
#include "data/messages.hpp"
#include "data/valve_series.hpp"
#include "output/bitmap_file.hpp"
#include "output/calculation_sheet.hpp"
#include "output/dimension_drawing.hpp"
#include "output/drawing_viewer.hpp"
#include "output/position_drawing.hpp"
#include "output/recording_canvas.hpp"
#include "project/session.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// The demo project in a Czech session: the program language is Czech, the second English.
class CalculationSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SessionOptions o;
        o.programDir = TARVIK_PROGRAM_DIR_FOR_TESTS;
        o.lang = 0;
        std::string error;
        session_ = Session::Open(o, error).release();
        ASSERT_TRUE(session_) << error;
    }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(session_);
        doc_ = session_->OpenProject(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "Demo.tkp");
        ASSERT_GE(doc_.positions.size(), 3u);
    }

    std::vector<std::string> Texts(std::size_t position, const PrintOptions& o, PageDevice device = PdfPageDevice(true)) {
        if (!o.landscape) device = PdfPageDevice(false);
        RecordingCanvas canvas;
        messages_.clear();
        DrawPrintPage(canvas, device, doc_, {position, false}, o, messages_);
        std::vector<std::string> texts;
        for (const CanvasCall& c : canvas.calls)
            if (c.kind == CanvasCall::Text) texts.push_back(c.text);
        images_ = std::count_if(canvas.calls.begin(), canvas.calls.end(),
                                [](const CanvasCall& c) { return c.kind == CanvasCall::Image; });
        return texts;
    }

    // True when `wanted` occur in `texts` in this order (not necessarily adjacent).
    static ::testing::AssertionResult InOrder(const std::vector<std::string>& texts, const std::vector<std::string>& wanted) {
        auto at = texts.begin();
        for (const std::string& w : wanted) {
            at = std::find(at, texts.end(), w);
            if (at == texts.end()) return ::testing::AssertionFailure() << "missing or out of order: '" << w << "'";
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

    static Session* session_;
    ProjectDocument doc_;
    std::vector<std::string> messages_;
    long images_ = 0;
};
Session* CalculationSheet::session_ = nullptr;

TEST_F(CalculationSheet, RowsValuesAndResultsInBothLayoutsAndLanguages) {
    ValvePosition& p = doc_.positions[0];  // FV-101, water, flow in m3/h
    p.pointEnabled = {1, 0, 1};
    p.resultTexts[kResKv] = {"12.5", "stale", "4.1"};
    p.resultTexts[kResRegime] = {GetText(62186), "", GetText(62182)};
    p.valveData[kVdMaxPressure] = 16;
    p.maxPressureUnit = "bar";
    const struct {
        bool landscape, second;
        std::vector<std::string> inOrder;
    } cases[] = {
        {true, false,
         {"VÝPOČET REGULAČNÍHO VENTILU", "Zákazník:", "Pozice:", "FV-101", "Průtok Q", "m³/h", "20", " ", "6",
          "Vstupní tlak p1 (abs.)", "Průtokový součinitel Kv", "12.5", " ", "4.1", "Jmenovitý průtokový součinitel Kvs",
          "25", " ", "25", "Turbulentní proudění", " ", "Kavitace", "Další útlum ΔLi",
          "Vypočteno podle IEC 60534-2-1:1998 a IEC 60534-8-4:1994", "Nejvyšší tlak", "16 bar", "Tarvik 2.7",
          "Specifikace ventilu", "Typové označení", "TV 100 DN50"}},
        {true, true,
         {"CONTROL VALVE CALCULATION", "Customer:", "Flow Q", "Flow coefficient Kv", "Turbulent flow", " ",
          "Cavitation", "Further attenuation ΔLi", "Calculated according to IEC 60534-2-1:1998 and IEC 60534-8-4:1994",
          "Maximum pressure", "Tarvik 2.7", "Valve specification"}},
        {false, true,
         {"CONTROL VALVE CALCULATION", "Customer", "Position", "FV-101", "Valve", "Control valve TV 100 DN50 Kvs 25",
          "Valve characteristic", "equal percentage", "Flow Q", "20", " ", "6", "Turbulent flow",
          "Calculated according to IEC 60534-2-1:1998 and IEC 60534-8-4:1994", "Tarvik 2.7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.landscape ? "landscape" : "portrait") + (c.second ? ", second language" : ""));
        const auto texts = Texts(0, {c.landscape, false, c.second});
        EXPECT_TRUE(InOrder(texts, c.inOrder));
        EXPECT_EQ(images_, 1);  // the logo
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "stale"), 0);  // a disabled point prints blank
        const bool limits = std::find(texts.begin(), texts.end(), c.second ? "Maximum pressure" : "Nejvyšší tlak") != texts.end();
        EXPECT_EQ(limits, c.landscape);
    }
}

TEST_F(CalculationSheet, FlowAndPressureLabelsFollowUnitAndGauge) {
    ValvePosition& p = doc_.positions[2];  // PV-201, steam, flow in kg/h
    const auto mass = Texts(2, {true, false, true});
    EXPECT_TRUE(InOrder(mass, {"Mass flow W", "kg/h", "Inlet pressure p1 (abs.)",
                               "Calculated according to IEC 60534-2-1:1998 and IEC 60534-8-3:2000"}));
    p.units[2] = "t/h";
    p.gaugePressures = 1;
    const auto other = Texts(2, {true, false, true});
    EXPECT_TRUE(InOrder(other, {"Flow Q", "t/h", "Inlet pressure p1 (gauge)", "Outlet pressure p2 (gauge)"}));
    EXPECT_EQ(std::count(other.begin(), other.end(), "Mass flow W"), 0);
}

TEST_F(CalculationSheet, TooNarrowPageIsReportedAndStillDrawn) {
    for (bool landscape : {true, false}) {
        RecordingCanvas canvas;
        std::vector<std::string> messages;
        DrawPrintPage(canvas, {{0, 0, 150, 400}, 72, 72}, doc_, {0, false}, {landscape, false, false}, messages);
        EXPECT_EQ(messages, std::vector<std::string>{GetText(63001)}) << landscape;
        EXPECT_GT(canvas.calls.size(), 20u);
    }
}

TEST_F(CalculationSheet, PagePlanning) {
    for (auto& p : doc_.positions) p.printSelected = 0;
    doc_.positions[0].printSelected = 1;
    doc_.positions[2].printSelected = 1;
    doc_.positions[2].designation = "";  // no series, so no drawing
    const struct {
        bool landscape, drawings, preview;
        std::vector<std::pair<std::size_t, bool>> pages;
    } cases[] = {
        {true, true, false, {{0, false}, {0, true}, {2, false}}},
        {true, true, true, {{0, false}, {2, false}}},    // never in a preview
        {false, true, false, {{0, false}, {2, false}}},  // only after landscape sheets
        {true, false, false, {{0, false}, {2, false}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::size_t, bool>> got;
        for (const PrintPage& page : PlanPrintPages(doc_, {c.landscape, c.drawings, false}, c.preview))
            got.emplace_back(page.position, page.drawing);
        EXPECT_EQ(got, c.pages) << c.landscape << c.drawings << c.preview;
    }
}

TEST_F(CalculationSheet, PdfHasThePagesInTheOrientation) {
    if (std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils is not installed";
    const fs::path dir = fs::temp_directory_path() / ("tarvik_sheet_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto run = [&](const std::string& command, const fs::path& out) {
        EXPECT_EQ(std::system((command + " >'" + out.string() + "' 2>/dev/null").c_str()), 0) << command;
        std::ifstream in(out);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    for (auto& p : doc_.positions) p.printSelected = 0;
    doc_.positions[0].printSelected = doc_.positions[1].printSelected = 1;
    const struct {
        PrintOptions options;
        int pages;
        const char* size;
    } cases[] = {
        {{true, true, false}, 4, "842 x 595 pts"},
        {{false, false, true}, 2, "595 x 842 pts"},
    };
    for (const auto& c : cases) {
        const fs::path pdf = dir / "sheets.pdf";
        std::vector<std::string> messages;
        std::string error;
        ASSERT_TRUE(WritePrintPdf(pdf, doc_, PlanPrintPages(doc_, c.options, false), c.options, messages, error)) << error;
        const std::string info = run("pdfinfo '" + pdf.string() + "'", dir / "info.txt");
        const std::size_t pages = info.find("Pages:");
        ASSERT_NE(pages, std::string::npos) << info;
        EXPECT_EQ(std::stoi(info.substr(pages + 6)), c.pages) << info;
        EXPECT_NE(info.find(c.size), std::string::npos) << info;
        const std::string text = run("pdftotext '" + pdf.string() + "' -", dir / "text.txt");
        EXPECT_NE(text.find("Tarvik 2.7"), std::string::npos);
        EXPECT_NE(text.find("LV-102"), std::string::npos);
        EXPECT_NE(text.find(c.options.secondLanguage ? "Flow Q" : "Průtok Q"), std::string::npos);
    }
    // Nothing to print, or an output that cannot be written: refused, nothing left behind.
    std::vector<std::string> messages;
    std::string error;
    EXPECT_FALSE(WritePrintPdf(dir / "none.pdf", doc_, {}, {}, messages, error));
    EXPECT_FALSE(WritePrintPdf(dir / "missing" / "a.pdf", doc_, {{0, false}}, {}, messages, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    fs::remove(dir / "sheets.pdf");
    fs::remove(dir / "info.txt");
    fs::remove(dir / "text.txt");
    EXPECT_TRUE(fs::is_empty(dir));
    fs::remove_all(dir);
}

TEST_F(CalculationSheet, DrawingPageShowsOnlyTheChosenVariant) {
    ValveSeries series;
    series.textList = {{";ACTUATOR_A;", "", "", "", ""}, {";ACTUATOR_B;", "-B", "", "", ""}};
    ValvePosition p;
    p.designation = "TV 100-B";
    DwfViewer viewer;
    auto visible = [&](const std::string& spec) {
        viewer.Clear();
        viewer.LoadStream("(DWF V00.42)\n(Layer 1 BODY) L 0,0 1,1 (Layer 2 ACTUATOR_A) L 0,0 2,2 "
                          "(Layer 3 ACTUATOR_B) L 0,0 3,3\n(EndOfDWF)\n");
        ApplyLayerSpecification(viewer, spec, false);
        std::string shown;
        for (bool on = viewer.StartLayerEnumeration(""); on; on = viewer.NextLayer())
            if (viewer.LayerVisible()) shown += viewer.LayerName() + " ";
        return shown;
    };
    // Without item 75 every variant layer is hidden.
    EXPECT_EQ(visible(PrintVariantSpecification(series, p)), "BODY ");
    // With item 75 (the hide list of the chosen valve): the designation's variants show again.
    StoreItemText(75, p.specItems, nullptr, ";-ACTUATOR_A;-ACTUATOR_B;");
    EXPECT_EQ(visible(PrintVariantSpecification(series, p)), "BODY ACTUATOR_A ACTUATOR_B ");
    p.designation = "TV 100";  // "-B" is not in it: that variant stays hidden
    EXPECT_EQ(visible(PrintVariantSpecification(series, p)), "BODY ACTUATOR_A ");
    StoreItemText(71, p.specItems, nullptr, "TV 100-B DN50");  // item 71 is the type designation
    EXPECT_EQ(visible(PrintVariantSpecification(series, p)), "BODY ACTUATOR_A ACTUATOR_B ");

    // The demo drawing page: the title block filled, drawn into the page.
    ValvePosition& demo = doc_.positions[0];
    std::string why;
    ASSERT_TRUE(PrepareDrawingPage(*session_, doc_, demo, viewer, why)) << why;
    EXPECT_FALSE(viewer.drawing().layers.empty());
    demo.designation = "no such series";
    EXPECT_FALSE(PrepareDrawingPage(*session_, doc_, demo, viewer, why));
    EXPECT_NE(why.find("no valve series"), std::string::npos);
}

std::vector<std::uint8_t> Bitmap(int bits, int width, int height, std::vector<std::uint8_t> pixels,
                                 std::vector<std::uint8_t> palette = {}, std::uint32_t compression = 0) {
    std::vector<std::uint8_t> b = {'B', 'M'};
    auto u16 = [&](std::uint32_t v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const auto offset = static_cast<std::uint32_t>(54 + palette.size());
    u32(offset + static_cast<std::uint32_t>(pixels.size()));
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(height));
    u16(1);
    u16(static_cast<std::uint32_t>(bits));
    u32(compression);
    u32(static_cast<std::uint32_t>(pixels.size()));
    u32(0), u32(0);
    u32(static_cast<std::uint32_t>(palette.size() / 4));
    u32(0);
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BitmapFile, DecodesRowOrderAndPaletteAndRefusesDamage) {
    // 24 bits, bottom-up, 1 × 2 (rows padded to 4 bytes): the first stored row is the bottom one.
    const auto rgb = Bitmap(24, 1, 2, {1, 2, 3, 0, 4, 5, 6, 0});
    RgbImage image;
    std::string error;
    ASSERT_TRUE(ReadBitmap(rgb, image, error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{6, 5, 4, 3, 2, 1}));
    // 8 bits, top-down, palette of two; index 7 lies past the palette and prints black.
    const auto indexed = Bitmap(8, 3, -1, {1, 0, 7, 0}, {10, 20, 30, 0, 40, 50, 60, 0});
    ASSERT_TRUE(ReadBitmap(indexed, image, error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{60, 50, 40, 30, 20, 10, 0, 0, 0}));

    auto cut = [](std::vector<std::uint8_t> b, std::size_t size) {
        b.resize(size);
        return b;
    };
    const std::vector<std::uint8_t> bad[] = {
        cut(rgb, rgb.size() - 1),          // truncated pixels
        cut(rgb, 30),                      // truncated header
        Bitmap(16, 1, 1, {0, 0, 0, 0}),    // unsupported depth
        Bitmap(24, 1, 1, {0, 0, 0, 0}, {}, 1),  // compressed
        Bitmap(24, 0, 1, {}),              // no pixels
        Bitmap(24, 70000, 70000, {0, 0, 0, 0}),  // absurd size
        Bitmap(8, 1, 1, {0, 0, 0, 0}),     // palette missing
        {'G', 'I', 'F', '8', '9', 'a'},
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        RgbImage untouched;
        EXPECT_FALSE(ReadBitmap(bad[i], untouched, error)) << i;
        EXPECT_EQ(untouched.width, 0) << i;
    }
    EXPECT_EQ(LoadBitmapFile("/nonexistent/TarB.tkd").width, 0);
}

}  // namespace
}  // namespace tarvik
