#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "units/unit_display.hpp"
#include "units/unit_files.hpp"
#include "support/lang_fixture.hpp"
#include "units_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, std::initializer_list<int> bytes) {
    for (int v : bytes) b.push_back(static_cast<std::uint8_t>(v));
}
void AppendText(Bytes& b, const char* cp1250) {
    b.push_back(static_cast<std::uint8_t>(std::strlen(cp1250)));
    for (const char* p = cp1250; *p; ++p) b.push_back(static_cast<std::uint8_t>(*p));
}

// jednotky2.tkd: "mbar" (pressure, 0.5 x - 2) and "°R" (temperature, 0.25 x + 1); the degree
// sign is byte 0xB0 in code page 1250.
Bytes CurrentFile() {
    Bytes b;
    Append(b, {2, 0, 0, 0});
    Append(b, {2, 0, 0, 0});
    AppendText(b, "mbar");
    Append(b, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F});  // 0.5
    Append(b, {0, 0, 0, 0, 0, 0, 0x00, 0xC0});  // -2
    Append(b, {1, 0, 0, 0});
    AppendText(b, "\xB0R");
    Append(b, {0, 0, 0, 0, 0, 0, 0xD0, 0x3F});  // 0.25
    Append(b, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F});  // 1
    return b;
}

// jednotky.tkd: the same without offsets.
Bytes OldFile() {
    Bytes b;
    Append(b, {2, 0, 0, 0});
    Append(b, {2, 0, 0, 0});
    AppendText(b, "mbar");
    Append(b, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F});
    Append(b, {1, 0, 0, 0});
    AppendText(b, "\xB0R");
    Append(b, {0, 0, 0, 0, 0, 0, 0xD0, 0x3F});
    return b;
}

Bytes DefaultsFile() {
    Bytes b;
    AppendText(b, "m3/h");
    AppendText(b, "\xB0" "C");
    AppendText(b, "bar");
    return b;
}

void ExpectHandWrittenUnits(const std::vector<UnitDef>& units, double offset0, double offset1) {
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].name, "mbar");
    EXPECT_EQ(units[0].quantity, kQuantityPressure);
    EXPECT_EQ(units[0].factor, 0.5);
    EXPECT_EQ(units[0].offset, offset0);
    EXPECT_EQ(units[0].number, 1);
    EXPECT_EQ(units[1].name, "°R");
    EXPECT_EQ(units[1].quantity, kQuantityTemperature);
    EXPECT_EQ(units[1].factor, 0.25);
    EXPECT_EQ(units[1].offset, offset1);
    EXPECT_EQ(units[1].number, 2);
}

TEST(UnitFileLayout, ReadsHandWrittenFiles) {
    ArchiveReader current(CurrentFile(), "jednotky2.tkd");
    ExpectHandWrittenUnits(ReadUnitFile(current), -2, 1);
    ArchiveReader old(OldFile(), "jednotky.tkd");
    ExpectHandWrittenUnits(ReadOldUnitFile(old), 0, 0);
    ArchiveReader defaults(DefaultsFile(), "units.tkd");
    EXPECT_EQ(ReadDefaultUnitsFile(defaults), (DefaultUnits{"m3/h", "°C", "bar"}));
}

TEST(UnitFileLayout, WritersProduceTheSameBytes) {
    ArchiveReader current(CurrentFile(), "jednotky2.tkd");
    ArchiveWriter out;
    WriteUnitFile(out, ReadUnitFile(current));
    EXPECT_EQ(out.bytes(), CurrentFile());

    ArchiveWriter defaults;
    WriteDefaultUnitsFile(defaults, DefaultUnits{"m3/h", "°C", "bar"});
    EXPECT_EQ(defaults.bytes(), DefaultsFile());
}

TEST(UnitFileLayout, RoundTripKeepsEveryField) {
    std::vector<UnitDef> units(3);
    units[0] = {"Průtok m3/min", kQuantityVolumeFlow, 1, 60, 0};
    units[1] = {std::string(300, 'x'), kQuantityMassFlow, 2, 1e-300, -1e300};
    units[2] = {"", -1, 3, 0, 0};  // added in the dialog without a quantity
    ArchiveWriter out;
    WriteUnitFile(out, units);
    ArchiveReader in(out.bytes(), "jednotky2.tkd");
    auto back = ReadUnitFile(in);
    EXPECT_TRUE(in.AtEnd());
    ASSERT_EQ(back.size(), units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_EQ(back[i].name, units[i].name);
        EXPECT_EQ(back[i].quantity, units[i].quantity);
        EXPECT_EQ(back[i].factor, units[i].factor);
        EXPECT_EQ(back[i].offset, units[i].offset);
        EXPECT_EQ(back[i].number, static_cast<int>(i) + 1);
    }
}

TEST(UnitFileLayout, NonFiniteNumbersAreNeverWritten) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ArchiveWriter out;
    WriteUnitFile(out, {{"bad", kQuantityPressure, 1, nan, std::numeric_limits<double>::infinity()}});
    ArchiveReader in(out.bytes(), "jednotky2.tkd");
    auto back = ReadUnitFile(in);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].factor, 0);
    EXPECT_EQ(back[0].offset, 0);
}

TEST(UnitFileLayout, EveryTruncationIsAnError) {
    struct File { const char* name; Bytes bytes; int kind; };
    const File files[] = {{"jednotky2.tkd", CurrentFile(), 0}, {"jednotky.tkd", OldFile(), 1},
                          {"units.tkd", DefaultsFile(), 2}};
    for (const File& f : files) {
        for (std::size_t n = 0; n < f.bytes.size(); ++n) {
            SCOPED_TRACE(std::string(f.name) + " cut at " + std::to_string(n));
            ArchiveReader in(Bytes(f.bytes.begin(), f.bytes.begin() + n), f.name);
            if (f.kind == 0) { EXPECT_THROW(ReadUnitFile(in), ArchiveError); }
            if (f.kind == 1) { EXPECT_THROW(ReadOldUnitFile(in), ArchiveError); }
            if (f.kind == 2) { EXPECT_THROW(ReadDefaultUnitsFile(in), ArchiveError); }
        }
    }
}

TEST(UnitFileLayout, CorruptFilesAreErrors) {
    auto expectRefused = [](Bytes b, const char* why) {
        SCOPED_TRACE(why);
        ArchiveReader in(std::move(b), "jednotky2.tkd");
        try {
            ReadUnitFile(in);
            ADD_FAILURE() << "accepted";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find("jednotky2.tkd"), std::string::npos) << e.what();
        }
    };
    Bytes b = CurrentFile();
    b[0] = 0xFF, b[1] = 0xFF, b[2] = 0xFF, b[3] = 0xFF;
    expectRefused(b, "negative count");
    b = CurrentFile();
    b[0] = 0xFF, b[1] = 0xFF, b[2] = 0xFF, b[3] = 0x7F;
    expectRefused(b, "count far beyond the file");
    b = CurrentFile();
    b[0] = 3;
    expectRefused(b, "one unit more than stored");
    b = CurrentFile();
    b[8] = 200;
    expectRefused(b, "name longer than the file");
    b = CurrentFile();
    b[13 + 6] = 0xF8, b[13 + 7] = 0x7F;
    expectRefused(b, "factor NaN");
    b = CurrentFile();
    b[21 + 6] = 0xF0, b[21 + 7] = 0xFF;
    expectRefused(b, "offset minus infinity");
}

TEST(UnitNumbers, NewUnitTakesTheSmallestFreeNumber) {
    auto numbered = [](std::initializer_list<int> numbers) {
        std::vector<UnitDef> units;
        for (int n : numbers) units.push_back(UnitDef{"u", 0, n, 1, 0});
        return units;
    };
    EXPECT_EQ(NextUnitNumber({}), 1);
    EXPECT_EQ(NextUnitNumber(numbered({1, 2, 3})), 4);
    EXPECT_EQ(NextUnitNumber(numbered({1, 3})), 2);
    EXPECT_EQ(NextUnitNumber(numbered({2, 3})), 1);
    // After deleting and adding, numbers are out of order; none may be given twice.
    EXPECT_EQ(NextUnitNumber(numbered({1, 3, 2})), 4);
    EXPECT_EQ(NextUnitNumber(numbered({3, 2, 1, 5})), 4);
}

// Program folder of its own per test, and the unit lists of the application restored after.
class UnitFiles : public test::UnitsTest {
protected:
    UnitFiles() : savedDefaults_(DefaultUnitNames()) {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() /
              ("tarvik-units-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(dir);
        test::UseLanguage(2);
    }
    ~UnitFiles() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
        DefaultUnitNames() = savedDefaults_;
    }
    void Put(const char* name, const Bytes& b) {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    Bytes Get(const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir;
    std::vector<Message> messages;

private:
    DefaultUnits savedDefaults_;
    ScopedMessageSink sink_{[this](const Message& m) {
        shown.push_back(m.number);
        messages.push_back(m);
    }};
};

TEST_F(UnitFiles, MissingFilesLeaveEverythingEmptyWithoutAWord) {
    AddUnit("stale", kQuantityPressure, 1);
    DefaultUnitNames() = {"a", "b", "c"};
    LoadUserUnits(dir);
    LoadDefaultUnitNames(dir);
    EXPECT_TRUE(UserUnits().empty());
    EXPECT_EQ(DefaultUnitNames(), DefaultUnits{});
    EXPECT_TRUE(shown.empty());
}

TEST_F(UnitFiles, OldFileStandsInAndIsNeverWritten) {
    Put(kOldUnitFileName, OldFile());
    LoadUserUnits(dir);
    ExpectHandWrittenUnits(UserUnits(), 0, 0);
    EXPECT_EQ(UnitDisplayText("mbar"), "mbar");  // display texts follow the loaded units

    UserUnits()[0].offset = -2;
    UserUnits()[1].offset = 1;
    ASSERT_TRUE(SaveUserUnits(dir));
    EXPECT_EQ(Get(kUnitFileName), CurrentFile());
    EXPECT_EQ(Get(kOldUnitFileName), OldFile());
    // From now on the current file wins over the old one.
    LoadUserUnits(dir);
    ExpectHandWrittenUnits(UserUnits(), -2, 1);
    EXPECT_TRUE(shown.empty());
}

TEST_F(UnitFiles, DamagedFileIsReportedAndNotSavedOver) {
    Bytes damaged = CurrentFile();
    damaged.resize(damaged.size() - 3);
    Put(kUnitFileName, damaged);
    Put(kOldUnitFileName, OldFile());  // not a fallback for a file that exists
    LoadUserUnits(dir);
    EXPECT_TRUE(UserUnits().empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].number, 63930);
    EXPECT_NE(messages[0].text.find((dir / kUnitFileName).string()), std::string::npos) << messages[0].text;

    AddUnit("mbar", kQuantityPressure, 0.0001);
    EXPECT_FALSE(SaveUserUnits(dir));
    EXPECT_EQ(shown.back(), 63931);
    EXPECT_EQ(Get(kUnitFileName), damaged);
}

TEST_F(UnitFiles, DefaultUnitsRoundTripAndDamage) {
    DefaultUnitNames() = {"Nm3/h", "°F", "kg/cm2"};
    ASSERT_TRUE(SaveDefaultUnitNames(dir));
    DefaultUnitNames() = {};
    LoadDefaultUnitNames(dir);
    EXPECT_EQ(DefaultUnitNames(), (DefaultUnits{"Nm3/h", "°F", "kg/cm2"}));
    EXPECT_TRUE(shown.empty());

    Bytes damaged = DefaultsFile();
    damaged.pop_back();
    Put(kDefaultUnitsFileName, damaged);
    LoadDefaultUnitNames(dir);
    EXPECT_EQ(DefaultUnitNames(), DefaultUnits{});
    EXPECT_EQ(shown, std::vector<int>{63930});
    DefaultUnitNames() = {"m3/h", "°C", "bar"};
    EXPECT_FALSE(SaveDefaultUnitNames(dir));
    EXPECT_EQ(Get(kDefaultUnitsFileName), damaged);
}

TEST_F(UnitFiles, WriteFailureIsReported) {
    const fs::path missing = dir / "no such folder";
    LoadUserUnits(dir);  // clears any refusal left from another test
    LoadDefaultUnitNames(dir);
    AddUnit("mbar", kQuantityPressure, 0.0001);
    EXPECT_FALSE(SaveUserUnits(missing));
    EXPECT_FALSE(SaveDefaultUnitNames(missing));
    EXPECT_EQ(shown, (std::vector<int>{63932, 63932}));
    EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
}  // namespace tarvik
