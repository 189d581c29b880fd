#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "data/archive.hpp"

namespace tarvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

ArchiveReader Reader(const Bytes& bytes) { return ArchiveReader(bytes, "t.tkd"); }

Bytes WrittenText(const std::string& text) {
    ArchiveWriter w;
    w.WriteRawText(text);
    return w.bytes();
}

TEST(Archive, NumbersAreLittleEndian) {
    ArchiveWriter w;
    w.WriteInt32(-2);
    w.WriteInt32(0x01020304);
    w.WriteDouble(1.0);
    EXPECT_EQ(w.bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01,  //
                                0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    auto r = Reader(w.bytes());
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadInt32(), 0x01020304);
    EXPECT_EQ(r.ReadDouble(), 1.0);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(ArchiveVersion(7), 7.0);
    EXPECT_EQ(ArchiveVersion(701), 7.01);
    EXPECT_EQ(ArchiveVersion(803), 8.03);
}

TEST(Archive, TextPrefixFormsAtTheirBoundaries) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {256, {0xFF, 0x00, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        const std::string text(c.length, 'x');
        const Bytes bytes = WrittenText(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        auto r = Reader(bytes);
        EXPECT_EQ(r.ReadRawText(), text) << c.length;
        EXPECT_TRUE(r.AtEnd());
    }
    // Longer forms than needed are read as well.
    auto r = Reader({0xFF, 0x02, 0x00, 'a', 'b', 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 'c'});
    EXPECT_EQ(r.ReadRawText(), "ab");
    EXPECT_EQ(r.ReadRawText(), "c");
    EXPECT_TRUE(r.AtEnd());
}

TEST(Archive, TextsConvertBetweenCodePageAndUtf8) {
    ArchiveWriter w;
    EXPECT_TRUE(w.WriteText("Šoupátko ř"));
    EXPECT_FALSE(w.WriteText("m³"));
    EXPECT_EQ(w.bytes(), (Bytes{10, 0x8A, 'o', 'u', 'p', 0xE1, 't', 'k', 'o', ' ', 0xF8, 2, 'm', '?'}));
    auto r = Reader(w.bytes());
    EXPECT_EQ(r.ReadText(), "Šoupátko ř");
    EXPECT_EQ(r.ReadText(), "m?");

    // The undefined bytes of the code page survive read, then write.
    const Bytes odd{5, 0x81, 0x83, 0x88, 0x90, 0x98};
    auto r2 = Reader(odd);
    ArchiveWriter w2;
    EXPECT_TRUE(w2.WriteText(r2.ReadText()));
    EXPECT_EQ(w2.bytes(), odd);
}

// A file of mixed fields, as the catalogue files are.
Bytes MixedFile() {
    ArchiveWriter w;
    w.WriteDouble(8.03);
    w.WriteInt32(2);
    w.WriteText("[0:Voda][2:Water]");
    w.WriteText(std::string(300, 'p'));
    w.WriteDouble(-0.5);
    w.WriteText("");
    return w.bytes();
}

void ReadMixed(ArchiveReader& r) {
    r.ReadFiniteDouble();
    r.ReadInt32();
    r.ReadText();
    r.ReadText();
    r.ReadFiniteDouble();
    r.ReadText();
}

TEST(Archive, EveryTruncationIsAnArchiveErrorNamingFileAndOffset) {
    const Bytes file = MixedFile();
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        auto r = ArchiveReader(Bytes(file.begin(), file.begin() + cut), "media.tkd");
        try {
            ReadMixed(r);
            ADD_FAILURE() << "no error when cut at " << cut;
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.file(), "media.tkd");
            EXPECT_LE(e.offset(), cut);
            const std::string expected = "media.tkd: corrupt or truncated at byte " + std::to_string(e.offset()) + ": ";
            EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
        }
    }
}

TEST(Archive, HugeLengthsAreRefusedBeforeAnyAllocation) {
    // 4 GiB - 1 announced, two bytes present.
    auto r = Reader({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
    try {
        r.ReadRawText();
        FAIL();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.offset(), 0u);
        EXPECT_NE(std::string(e.what()).find("4294967295"), std::string::npos) << e.what();
    }
    EXPECT_THROW(Reader({0xFF, 0x00, 0x10, 'a'}).ReadRawText(), ArchiveError);
    EXPECT_THROW(Reader({0x05, 'a'}).ReadText(), ArchiveError);
    // 0xFFFE after 0xFF announces a wide text, which these files never hold.
    EXPECT_THROW(Reader({0xFF, 0xFE, 0xFF, 0x01, 'a'}).ReadRawText(), ArchiveError);
    EXPECT_THROW(Reader({1, 2}).ReadBytes(std::numeric_limits<std::size_t>::max()), ArchiveError);

    // Record counts against what remains.
    auto forty = Reader(Bytes(40, 0));
    EXPECT_NO_THROW(forty.CheckCount(5, 8));
    EXPECT_THROW(forty.CheckCount(6, 8), ArchiveError);
    EXPECT_THROW(forty.CheckCount(-1, 8), ArchiveError);
    EXPECT_THROW(forty.CheckCount(std::numeric_limits<std::int32_t>::max(), 4), ArchiveError);
}

TEST(Archive, NonFiniteNumbersAreRefusedByReadFiniteDouble) {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        ArchiveWriter w;
        w.WriteInt32(7);
        w.WriteDouble(bad);
        auto r = Reader(w.bytes());
        r.ReadInt32();
        try {
            r.ReadFiniteDouble();
            FAIL();
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.offset(), 4u);  // where the number starts
        }
    }
}

class ArchiveFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("tarvik_archive_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
        std::filesystem::remove_all(dir_);
    }
    static std::string Slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
    }
    std::filesystem::path dir_;
};

TEST_F(ArchiveFiles, SaveThenLoad) {
    ArchiveWriter w;
    w.WriteInt32(3);
    w.WriteText("Kulový kohout");
    w.SaveAtomically(dir_ / "x.tkd");
    auto r = ArchiveReader::FromFile(dir_ / "x.tkd");
    EXPECT_EQ(r.name(), (dir_ / "x.tkd").string());
    EXPECT_EQ(r.ReadInt32(), 3);
    EXPECT_EQ(r.ReadText(), "Kulový kohout");
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary left behind

    EXPECT_FALSE(ArchiveReader::OpenIfPresent(dir_ / "absent.tkd").has_value());
    try {
        ArchiveReader::FromFile(dir_ / "absent.tkd");
        FAIL();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(std::string(e.what()), (dir_ / "absent.tkd").string() + ": cannot be opened");
    }
    EXPECT_THROW(ArchiveReader::OpenIfPresent(dir_), ArchiveError);
}

TEST_F(ArchiveFiles, FailedSaveKeepsTheOldFile) {
    const auto target = dir_ / "p.tkp";
    std::ofstream(target, std::ios::binary) << "old contents";

    // The write itself fails: the file size limit stops it half-way.
    {
        ArchiveWriter w;
        w.WriteRawText(std::string(100000, 'n'));
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        EXPECT_THROW(w.SaveAtomically(target), ArchiveError);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_EQ(Slurp(target), "old contents");
    EXPECT_EQ(FilesInDir(), 1u);

    // The target is a folder, or its folder does not exist.
    ArchiveWriter w;
    w.WriteInt32(1);
    EXPECT_THROW(w.SaveAtomically(dir_), ArchiveError);
    EXPECT_THROW(w.SaveAtomically(dir_ / "missing" / "p.tkp"), ArchiveError);

    // A read-only folder (not enforced for the superuser).
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) {
        try {
            w.SaveAtomically(target);
            FAIL();
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.file(), target.string());
        }
    }
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    EXPECT_EQ(Slurp(target), "old contents");
    EXPECT_EQ(FilesInDir(), 1u);

    w.SaveAtomically(target);
    EXPECT_EQ(Slurp(target), std::string("\x01\0\0\0", 4));
}

}  // namespace
}  // namespace tarvik
