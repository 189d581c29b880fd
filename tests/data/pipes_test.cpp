#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "data/messages.hpp"
#include "data/pipes.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

Bytes Write(const std::vector<Pipe>& pipes) {
    ArchiveWriter out;
    WritePipes(out, pipes);
    return out.bytes();
}

std::vector<Pipe> Read(const Bytes& bytes) {
    ArchiveReader in(bytes, "potrubi.tkd");
    return ReadPipes(in);
}

Pipe P(const std::string& kind, const std::string& size, const std::string& wall, double od = 0,
       double wt = 0) {
    return Pipe{kind, size, wall, od, wt, 0};
}

TEST(PipeFile, LayoutNumbersAndRoundTrip) {
    // Hand-made: count 1, "ČSN" in code page 1250, "DN 50", "S 2.9", 60.3, 2.9.
    Bytes bytes = {1, 0, 0, 0, 3, 0xC8, 'S', 'N', 5, 'D', 'N', ' ', '5', '0', 5, 'S', ' ', '2', '.', '9'};
    for (double d : {60.3, 2.9}) {
        std::uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
    std::vector<Pipe> pipes = Read(bytes);
    ASSERT_EQ(pipes.size(), 1u);
    EXPECT_EQ(pipes[0], (Pipe{"ČSN", "DN 50", "S 2.9", 60.3, 2.9, 1}));
    EXPECT_EQ(Write(pipes), bytes);

    // Records are numbered in file order.
    pipes = Read(Write({P("a", "", ""), P("b", "", ""), P("c", "", "")}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pipes[i].number, i + 1);
    EXPECT_EQ(Write({}), (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(Read(Bytes{0, 0, 0, 0}).empty());
}

TEST(PipeFile, TruncatedOrCorruptFilesAreRefused) {
    const Bytes bytes = Write({P("a", "DN 15", "S 2", 21.3, 2), P("b", "1/2", "S 3", 21.3, 3)});
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(Read(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n))), ArchiveError) << n;
    EXPECT_THROW(Read(Write({P("a", "b", "c", std::nan(""), 1)})), ArchiveError);
    EXPECT_THROW(Read(Write({P("a", "b", "c", 1, -std::numeric_limits<double>::infinity())})), ArchiveError);
    EXPECT_THROW(Read(Bytes{0xff, 0xff, 0xff, 0x7f}), ArchiveError);
    EXPECT_THROW(Read(Bytes{0xff, 0xff, 0xff, 0xff}), ArchiveError);
}

class PipeCatalogueFiles : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseLanguage(2);
        dir_ = fs::temp_directory_path() / ("tarvik_pipes_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
    std::vector<Message> messages_;
    ScopedMessageSink sink_{[this](const Message& m) { messages_.push_back(m); }};
};

TEST_F(PipeCatalogueFiles, MissingIsSilentCorruptIsRefusedAndKept) {
    PipeCatalogue c = LoadPipes(dir_);
    EXPECT_TRUE(c.pipes.empty());
    EXPECT_FALSE(c.fileRefused);
    EXPECT_TRUE(messages_.empty());

    c.pipes = {P("a", "DN 15", "S 2", 21.3, 2)};
    ASSERT_TRUE(SavePipes(c, dir_));
    EXPECT_EQ(LoadPipes(dir_).pipes.at(0).kind, "a");

    const Bytes damaged = {2, 0, 0, 0, 1, 'a'};
    std::ofstream(dir_ / kPipesFileName, std::ios::binary).write(reinterpret_cast<const char*>(damaged.data()), damaged.size());
    c = LoadPipes(dir_);
    EXPECT_TRUE(c.pipes.empty());
    EXPECT_TRUE(c.fileRefused);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find((dir_ / kPipesFileName).string()), std::string::npos);
    AddPipe(c.pipes, P("x", "y", "z", 1, 1));
    EXPECT_FALSE(SavePipes(c, dir_));
    std::ifstream in(dir_ / kPipesFileName, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), damaged);
}

TEST(PipeNumbers, NewRecordTakesTheFirstGap) {
    std::vector<Pipe> pipes = Read(Write({P("a", "", ""), P("b", "", ""), P("c", "", "")}));
    EXPECT_EQ(NewPipeNumber(pipes), 4);
    ASSERT_TRUE(RemovePipe(pipes, 2));
    EXPECT_EQ(AddPipe(pipes, P("d", "", "")).number, 2);
    EXPECT_EQ(pipes.back().kind, "d");
    EXPECT_EQ(FindPipeByNumber(pipes, 2)->kind, "d");
    pipes[0].number = 3;  // 3, 3, 2: number 1 is free
    EXPECT_EQ(NewPipeNumber(pipes), 1);
    pipes = {P("a", "", ""), P("b", "", "")};
    pipes[0].number = 2;
    pipes[1].number = 1;  // the gap at 1 is taken further on
    EXPECT_EQ(NewPipeNumber(pipes), 3);
}

TEST(PipeSelection, SizeAndWallValues) {
    for (const char* locale : {"C", "cs_CZ.UTF-8"}) {
        test::NumericLocale l(locale);
        if (!l.ok()) continue;
        EXPECT_EQ(PipeSizeValue("DN 100"), 100);
        EXPECT_EQ(PipeSizeValue("1.1/2"), 1.5);
        EXPECT_EQ(PipeSizeValue("3/4"), 0.75);
        EXPECT_EQ(PipeSizeValue("G 2.1/2\""), 2.5);
        EXPECT_EQ(PipeSizeValue(" 15"), 15);      // a leading blank keeps the whole text
        EXPECT_EQ(PipeSizeValue("DN 2.5"), 2.5);
        EXPECT_EQ(PipeSizeValue("DN 2,5"), 2.5);
        EXPECT_EQ(PipeSizeValue("/2"), 0);        // a leading "/" is no fraction
        EXPECT_EQ(PipeSizeValue("2.1/0"), 2);     // never infinite
        EXPECT_EQ(PipeSizeValue("DN"), 0);
        EXPECT_EQ(PipeWallValue("S 2.9"), 2.9);
        EXPECT_EQ(PipeWallValue("Sch 40 S"), 40);
        EXPECT_EQ(PipeWallValue("XS"), 0);
    }
}

TEST(PipeSelection, CascadeOrdersAndFindsRecords) {
    const std::vector<Pipe> pipes = {
        P("ČSN", "DN 100", "S 4", 108, 4), P("DIN", "DN 15", "S 2", 21.3, 2),
        P("ČSN", "DN 15", "S 2.6", 21.3, 2.6), P("ČSN", "DN 50", "S 10", 57, 10),
        P("ASME", "1.1/2", "Sch 80", 48.3, 5.08), P("ASME", "2", "Sch 40", 60.3, 3.91),
        P("ASME", "1/2", "Sch 40", 21.3, 2.77), P("ČSN", "DN 50", "S 2.9", 57, 2.9),
        P("ČSN", "DN 50", "S 4", 57, 4), P("ASME", "1.1/2", "Sch 40", 48.3, 3.68),
        P("Cu", "DN 15", "S 1", 15, 1), P("ČSN", "DN 50", "S 2.9", 99, 99)};
    // Code page 1250 order: "Č" (0xC8) after every ASCII letter.
    EXPECT_EQ(PipeKinds(pipes), (Texts{"ASME", "Cu", "DIN", "ČSN"}));
    EXPECT_EQ(PipeSizes(pipes, "ČSN"), (Texts{"DN 15", "DN 50", "DN 100"}));
    EXPECT_EQ(PipeSizes(pipes, "ASME"), (Texts{"1/2", "1.1/2", "2"}));
    EXPECT_EQ(PipeWalls(pipes, "ČSN", "DN 50"), (Texts{"S 2.9", "S 4", "S 10"}));
    EXPECT_EQ(PipeWalls(pipes, "ASME", "1.1/2"), (Texts{"Sch 40", "Sch 80"}));
    EXPECT_TRUE(PipeSizes(pipes, "none").empty());
    // Equal values: each new entry goes before the first one that is not smaller.
    EXPECT_EQ(PipeSizes({P("k", "DN 50", ""), P("k", "DN 50.0", ""), P("k", "DN 20", "")}, "k"),
              (Texts{"DN 20", "DN 50.0", "DN 50"}));

    // The first record with the three keys; none with an empty key.
    const Pipe* p = FindPipe(pipes, "ČSN", "DN 50", "S 2.9");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->outsideDiameter, 57);
    EXPECT_EQ(FindPipe(pipes, "ČSN", "DN 50", ""), nullptr);
    EXPECT_EQ(FindPipe(pipes, "ČSN", "DN 15", "S 4"), nullptr);

    PipeChoice in{"ASME", "2", "Sch 40"}, out{"ČSN", "DN 100", "S 4"};
    ResolvePipeChoice(pipes, in);
    ResolvePipeChoice(pipes, out);
    EXPECT_EQ(in.outsideDiameter, 60.3);
    EXPECT_EQ(in.wallThickness, 3.91);
    EXPECT_TRUE(PipeChoicesComplete(in, out));
    out.wall = "S 5";
    ResolvePipeChoice(pipes, out);
    EXPECT_EQ(out.outsideDiameter, 0);
    EXPECT_FALSE(PipeChoicesComplete(in, out));

    EXPECT_EQ(SelectByPrefix({"ASME", "Cu", "ČSN"}, "cu"), 1);
    EXPECT_EQ(SelectByPrefix({"ASME", "Cu", "ČSN"}, "AS"), 0);
    EXPECT_EQ(SelectByPrefix({"ASME", "Cu"}, "ASMEX"), -1);
    EXPECT_EQ(SelectByPrefix({"ASME", "Cu"}, ""), -1);
}

}  // namespace
}  // namespace tarvik
