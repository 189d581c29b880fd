#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "output/cairo_canvas.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::uint32_t BigEndian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

class CairoFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarvik_cairo_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    static void Sample(Canvas& c) {
        c.SetColour({0, 0, 255, 255});
        c.SetLineWidth(2);
        const double dash[] = {6, 3};
        c.SetLineDash(dash);
        c.Line({10, 10}, {200, 100});
        c.SetLineDash({});
        const PointD tri[] = {{10, 10}, {50, 10}, {30, 40}};
        c.Polygon(tri, true);
        c.Arc({100, 100}, 40, 20, 0.5, 0, M_PI, false);
        c.SetFont({"Arial", 12, true, false});
        c.Text({100, 300}, "Váha: 15 kg", M_PI / 2, HAlign::Centre, VAlign::Middle);
        c.Image({300, 300, 340, 320}, RgbImage{2, 1, {255, 0, 0, 0, 255, 0}});
    }
    fs::path dir_;
};

TEST_F(CairoFiles, EachFormatIsWrittenWithItsPageSize) {
    std::string error;
    PageSetup page;
    page.pngDpi = 72;
    ASSERT_TRUE(WritePageFile(dir_ / "a.PNG", page, Sample, error)) << error;
    const std::string png = ReadWhole(dir_ / "a.PNG");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(BigEndian(png, 16), 842u);
    EXPECT_EQ(BigEndian(png, 20), 595u);

    ASSERT_TRUE(WritePageFile(dir_ / "a.pdf", page, Sample, error)) << error;
    EXPECT_EQ(ReadWhole(dir_ / "a.pdf").substr(0, 5), "%PDF-");
    if (std::system("command -v pdfinfo >/dev/null 2>&1") == 0) {
        const fs::path info = dir_ / "info.txt";
        ASSERT_EQ(std::system(("pdfinfo '" + (dir_ / "a.pdf").string() + "' >'" + info.string() + "'").c_str()), 0);
        const std::string text = ReadWhole(info);
        const std::size_t pages = text.find("Pages:");
        ASSERT_NE(pages, std::string::npos) << text;
        EXPECT_EQ(std::stoi(text.substr(pages + 6)), 1) << text;
        EXPECT_NE(text.find("842 x 595 pts"), std::string::npos) << text;
    }
    ASSERT_TRUE(WritePageFile(dir_ / "a.svg", page, Sample, error)) << error;
    EXPECT_NE(ReadWhole(dir_ / "a.svg").find("<svg"), std::string::npos);
    // Only the finished files are left.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3 + (fs::exists(dir_ / "info.txt") ? 1 : 0));
}

TEST_F(CairoFiles, FailuresLeaveNothingHalfWritten) {
    std::string error;
    std::ofstream(dir_ / "keep.pdf") << "previous";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    const bool root = ::geteuid() == 0;
    for (const fs::path& p : {dir_ / "missing" / "x.pdf", dir_ / "missing" / "x.png", dir_ / "keep.pdf"}) {
        if (root && p == dir_ / "keep.pdf") continue;  // root writes into a read-only folder
        error.clear();
        EXPECT_FALSE(WritePageFile(p, {}, Sample, error)) << p;
        EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    }
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(ReadWhole(dir_ / "keep.pdf"), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    EXPECT_FALSE(WritePageFile(dir_ / "x.bmp", {}, Sample, error));
    EXPECT_NE(error.find("unknown output format"), std::string::npos);
    EXPECT_FALSE(WritePageFile(dir_ / "x.png", {1e9, 1e9, 2400}, Sample, error));
}

// "Arial" must measure like its metric-compatible stand-in.
TEST_F(CairoFiles, ArialHasLiberationSansMetrics) {
    double arial = 0, liberation = 0, serif = 0;
    std::string error;
    ASSERT_TRUE(WritePageFile(dir_ / "m.png", {100, 100, 72}, [&](Canvas& c) {
        const std::string text = "Teplárna Žatec, DN 100 / PN 40";
        c.SetFont({"Arial", 20});
        arial = c.MeasureText(text).width;
        c.SetFont({"Liberation Sans", 20});
        liberation = c.MeasureText(text).width;
        c.SetFont({"Liberation Serif", 20});
        serif = c.MeasureText(text).width;
    }, error));
    EXPECT_GT(arial, 100);
    EXPECT_DOUBLE_EQ(arial, liberation);
    EXPECT_NE(arial, serif);
}

}  // namespace
}  // namespace tarvik
