#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "data/media.hpp"
#include "data/messages.hpp"
#include "data/settings.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Hand-made file bytes, independent of the writer under test.
struct ByteBuilder {
    Bytes b;
    ByteBuilder& Int(std::int32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    ByteBuilder& Double(double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    ByteBuilder& Text(const std::string& cp1250) {
        b.push_back(static_cast<std::uint8_t>(cp1250.size()));
        b.insert(b.end(), cp1250.begin(), cp1250.end());
        return *this;
    }
    // The eleven doubles 1.5, 2.5, ... and the number.
    ByteBuilder& Tail(std::int32_t number) {
        for (int i = 0; i < 11; ++i) Double(i + 1.5);
        return Int(number);
    }
};

MediaFile Read(const Bytes& bytes, MediaFileKind kind) {
    ArchiveReader in(bytes, "test.tkd");
    return ReadMediaFile(in, kind);
}

Bytes Write(const MediaFile& file) {
    ArchiveWriter out;
    WriteMediaFile(out, file);
    return out.bytes();
}

fs::path TempDir(const std::string& name) {
    auto dir = fs::temp_directory_path() / ("tarvik_media_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteBytes(const fs::path& p, const Bytes& bytes) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Medium Sample(const std::string& name, int phase, int number, const std::string& source = "U") {
    Medium m;
    m.name = name;
    m.name2 = name + "2";
    m.phase = phase;
    m.note = "note";
    m.density = 800;
    m.vapourPressure = 0.01;
    m.viscosity = 2;
    m.criticalPressure = 4;
    m.soundSpeed = 1300;
    m.source = source;
    m.number = number;
    return m;
}

class MediaFiles : public ::testing::Test {
protected:
    void SetUp() override { saved_ = CurrentSettings(); }
    void TearDown() override { CurrentSettings() = saved_; }
    Settings saved_;
};

// ---- Version gates ---------------------------------------------------------------------------

TEST_F(MediaFiles, MultilingualNamesFrom803FollowTheLanguage) {
    Bytes bytes = ByteBuilder().Double(8.03).Int(1).Text("[0:A][1:B][2:C]").Int(1).Text("n").Tail(7).b;
    const char* names[] = {"A", "B", "C", "A"};  // no section 3: section 0
    for (int lang = 0; lang < 4; ++lang) {
        CurrentSettings().lang = lang;
        MediaFile f = Read(bytes, MediaFileKind::System);
        ASSERT_EQ(f.records.size(), 1u);
        EXPECT_EQ(f.records[0].medium.name, names[lang]) << lang;
        EXPECT_EQ(f.records[0].medium.name2, "C") << lang;
        EXPECT_EQ(f.records[0].names, "[0:A][1:B][2:C]");
        EXPECT_EQ(f.records[0].medium.source, "S");
        EXPECT_EQ(Write(f), bytes) << lang;
    }
}

TEST_F(MediaFiles, BelowVersion803AndUserFilesHoldTwoNames) {
    Bytes sys = ByteBuilder().Double(8.02).Int(1).Text("[0:A]").Text("B").Int(1).Text("").Tail(1).b;
    MediaFile f = Read(sys, MediaFileKind::System);
    EXPECT_EQ(f.records[0].medium.name, "[0:A]");
    EXPECT_EQ(f.records[0].medium.name2, "B");
    EXPECT_TRUE(f.records[0].names.empty());

    // The user file never holds multilingual names, whatever its version.
    Bytes user = ByteBuilder().Double(9.5).Int(1).Text("A").Text("B").Int(0).Text("Pozn\xE1mka").Tail(42).b;
    f = Read(user, MediaFileKind::User);
    const Medium& m = f.records[0].medium;
    EXPECT_EQ(m.name, "A");
    EXPECT_EQ(m.name2, "B");
    EXPECT_EQ(m.note, "Poznámka");
    EXPECT_EQ(m.source, "U");
    const double values[] = {m.auxValue1, m.density, m.normalDensity, m.vapourPressure, m.viscosity,
                             m.criticalPressure, m.auxValue2, m.molarMass, m.compressibility,
                             m.kappa, m.soundSpeed};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(values[i], i + 1.5) << i;
    EXPECT_EQ(m.number, 42);
    EXPECT_EQ(Write(f), user);
}

TEST_F(MediaFiles, TextPhaseCodesBelowVersion13) {
    ByteBuilder b;
    b.Double(1.29).Int(5);
    for (const char* code : {"K", "C", "P", "G", "X"}) b.Text("n").Text("n2").Text(code).Text("").Tail(1);
    for (MediaFileKind kind : {MediaFileKind::System, MediaFileKind::User}) {
        MediaFile f = Read(b.b, kind);
        ASSERT_EQ(f.records.size(), 5u);
        const int expected[] = {1, 1, 0, 0, 0};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(f.records[i].medium.phase, expected[i]) << i;
        EXPECT_EQ(f.records[1].phaseCode, "C");
        EXPECT_EQ(Write(f), b.b);
    }
    // From 1.3 the phase is an int32, stored as it is.
    Bytes v13 = ByteBuilder().Double(1.3).Int(1).Text("n").Text("n2").Int(1).Text("").Tail(1).b;
    EXPECT_EQ(Read(v13, MediaFileKind::User).records[0].medium.phase, 1);
}

TEST_F(MediaFiles, SmallestRecordOfEveryLayoutIsRead) {
    // Empty texts: 96 bytes with a text phase code, 98 with one multilingual name. Whatever the
    // writer produces must read again.
    const Bytes textPhase = ByteBuilder().Double(1.29).Int(1).Text("").Text("").Text("").Text("").Tail(1).b;
    const Bytes oneName = ByteBuilder().Double(8.03).Int(1).Text("").Int(0).Text("").Tail(1).b;
    EXPECT_EQ(Write(Read(textPhase, MediaFileKind::User)), textPhase);
    EXPECT_EQ(Write(Read(oneName, MediaFileKind::System)), oneName);
}

// ---- Bad files -------------------------------------------------------------------------------

TEST_F(MediaFiles, EveryTruncationAndBadNumberIsRefused) {
    MediaFile f;
    f.kind = MediaFileKind::System;
    f.version = 8.03;
    for (int i = 0; i < 2; ++i) f.records.push_back({Sample("a", 1, i + 1, "S"), "[0:a][2:b]", ""});
    const Bytes bytes = Write(f);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(Read(prefix, MediaFileKind::System), ArchiveError) << n;
    }
    // Trailing bytes are ignored.
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Read(longer, MediaFileKind::System).records.size(), 2u);

    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(Read(ByteBuilder().Double(bad).Int(0).b, MediaFileKind::User), ArchiveError);
        Bytes b = ByteBuilder().Double(2.7).Int(1).Text("n").Text("").Int(1).Text("").Double(bad).b;
        EXPECT_THROW(Read(b, MediaFileKind::User), ArchiveError);
    }
    // A count far beyond the bytes present is refused before anything is allocated.
    EXPECT_THROW(Read(ByteBuilder().Double(2.7).Int(0x7fffffff).b, MediaFileKind::User), ArchiveError);
    EXPECT_THROW(Read(ByteBuilder().Double(2.7).Int(-1).b, MediaFileKind::User), ArchiveError);
}

// ---- The list --------------------------------------------------------------------------------

class MediaList : public MediaFiles {
protected:
    void SetUp() override {
        MediaFiles::SetUp();
        test::UseLanguage(2);
        dir_ = TempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override {
        fs::remove_all(dir_);
        MediaFiles::TearDown();
    }
    void WriteFile(const char* name, const MediaFile& f) { WriteBytes(dir_ / name, Write(f)); }
    MediaFile File(MediaFileKind kind, double version, std::vector<Medium> media) {
        MediaFile f{kind, version, {}};
        for (Medium& m : media) f.records.push_back({m, {}, {}});
        return f;
    }
    fs::path dir_;
    std::vector<Message> messages_;
    ScopedMessageSink sink_{[this](const Message& m) { messages_.push_back(m); }};
};

TEST_F(MediaList, SystemThenUserRecordsAndMissingFilesAreSilent) {
    EXPECT_TRUE(LoadMedia(dir_).media.empty());
    WriteFile(kUserMediaFileName, File(MediaFileKind::User, 2.7, {Sample("u1", 1, 3), Sample("u2", 0, 4)}));
    // Without the system file the user's records still load, so a later save keeps them.
    EXPECT_EQ(LoadMedia(dir_).media.size(), 2u);
    WriteFile(kSystemMediaFileName, File(MediaFileKind::System, 8.02, {Sample("s1", 1, 1), Sample("s2", 0, 2)}));
    MediaCatalogue c = LoadMedia(dir_);
    ASSERT_EQ(c.media.size(), 4u);
    const char* names[] = {"s1", "s2", "u1", "u2"};
    const char* sources[] = {"S", "S", "U", "U"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.media[i].name, names[i]);
        EXPECT_EQ(c.media[i].source, sources[i]);
    }
    EXPECT_FALSE(c.userFileRefused);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MediaList, CorruptFilesAreRefusedAndNeverSavedOver) {
    WriteFile(kSystemMediaFileName, File(MediaFileKind::System, 8.02, {Sample("s1", 1, 1)}));
    Bytes user = Write(File(MediaFileKind::User, 2.7, {Sample("u1", 1, 2)}));
    user.resize(user.size() - 3);
    WriteBytes(dir_ / kUserMediaFileName, user);

    MediaCatalogue c = LoadMedia(dir_);
    ASSERT_EQ(c.media.size(), 1u);  // the system records stay usable
    EXPECT_TRUE(c.userFileRefused);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find((dir_ / kUserMediaFileName).string()), std::string::npos)
        << messages_[0].text;

    AddUserMedium(c.media, Sample("new", 1, 0));
    EXPECT_FALSE(SaveUserMedia(c, dir_));
    EXPECT_EQ(ReadBytes(dir_ / kUserMediaFileName), user);
    EXPECT_EQ(messages_.size(), 2u);

    // A damaged system file does not keep the user's records out.
    WriteBytes(dir_ / kSystemMediaFileName, {0x01, 0x02});
    WriteFile(kUserMediaFileName, File(MediaFileKind::User, 2.7, {Sample("u1", 1, 2)}));
    c = LoadMedia(dir_);
    ASSERT_EQ(c.media.size(), 1u);
    EXPECT_EQ(c.media[0].name, "u1");
    EXPECT_FALSE(c.userFileRefused);
}

TEST_F(MediaList, SaveWritesOnlyUserRecordsAsVersion27) {
    WriteFile(kUserMediaFileName, File(MediaFileKind::User, 1.2, {}));
    MediaCatalogue c;
    c.media = {Sample("s", 1, 1, "S"), Sample("u1", 0, 2), Sample("s2", 1, 3, "S"), Sample("u2", 1, 4)};
    ASSERT_TRUE(SaveUserMedia(c, dir_));
    const MediaFile back = ReadMediaFile(dir_ / kUserMediaFileName, MediaFileKind::User);
    EXPECT_EQ(back.version, 2.7);
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0].medium, c.media[1]);
    EXPECT_EQ(back.records[1].medium, c.media[3]);
    EXPECT_TRUE(back.records[0].phaseCode.empty());

    // Deleting every user record leaves the version and a count of 0.
    c.media = {Sample("s", 1, 1, "S")};
    ASSERT_TRUE(SaveUserMedia(c, dir_));
    EXPECT_EQ(ReadBytes(dir_ / kUserMediaFileName), ByteBuilder().Double(2.7).Int(0).b);

    // A folder that cannot take the file: reported, not claimed as saved.
    EXPECT_FALSE(SaveUserMedia(c, dir_ / "missing" / "deeper"));
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(MediaList, ATextWithoutACodePageFormIsNotSaved) {
    MediaCatalogue c;
    c.media = {Sample("Water", 1, 1), Sample("Oil", 1, 2)};
    ASSERT_TRUE(SaveUserMedia(c, dir_));
    const Bytes before = ReadBytes(dir_ / kUserMediaFileName);
    c.media[1].note = "ν 3000 cSt";  // Greek nu: the user's "?" would replace it
    EXPECT_FALSE(SaveUserMedia(c, dir_));
    EXPECT_EQ(ReadBytes(dir_ / kUserMediaFileName), before);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].number, kMsgTextNotStorable);
    EXPECT_NE(messages_[0].text.find("\"Oil\", note: ν (U+03BD)"), std::string::npos) << messages_[0].text;
}

TEST(MediaNumbers, NewRecordsFillTheFirstGapAndStayUnique) {
    std::vector<Medium> media = {Sample("a", 1, 1), Sample("b", 1, 2), Sample("c", 1, 3)};
    EXPECT_EQ(NewMediumNumber(media), 4);
    ASSERT_TRUE(RemoveMedium(media, 2));
    Medium& added = AddUserMedium(media, Sample("d", 0, 0, ""));
    EXPECT_EQ(added.number, 2);
    EXPECT_EQ(added.source, "U");
    EXPECT_EQ(media.back().name, "d");  // appended at the tail, not in the gap
    // Numbers out of list order: the gap's number is taken elsewhere, so the next free one.
    media = {Sample("a", 1, 1), Sample("b", 1, 3), Sample("c", 1, 2)};
    EXPECT_EQ(NewMediumNumber(media), 4);
    EXPECT_EQ(NewMediumNumber({}), 1);
    EXPECT_EQ(FindMedium(media, 3)->name, "b");
    EXPECT_EQ(FindMedium(media, 9), nullptr);
    EXPECT_FALSE(RemoveMedium(media, 9));
}

}  // namespace
}  // namespace tarvik
