#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <tuple>

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
// sign is byte 0xB0 in code page 1250. jednotky.tkd is the same without the offsets.
Bytes UnitFileBytes(bool withOffsets) {
    Bytes b;
    Append(b, {2, 0, 0, 0, /* quantity */ 2, 0, 0, 0});
    AppendText(b, "mbar");
    Append(b, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F});                    // 0.5
    if (withOffsets) Append(b, {0, 0, 0, 0, 0, 0, 0x00, 0xC0});  // -2
    Append(b, {1, 0, 0, 0});
    AppendText(b, "\xB0R");
    Append(b, {0, 0, 0, 0, 0, 0, 0xD0, 0x3F});                    // 0.25
    if (withOffsets) Append(b, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F});  // 1
    return b;
}
Bytes CurrentFile() { return UnitFileBytes(true); }
Bytes OldFile() { return UnitFileBytes(false); }

Bytes DefaultsFile() {
    Bytes b;
    AppendText(b, "m3/h");
    AppendText(b, "\xB0" "C");
    AppendText(b, "bar");
    return b;
}

void ExpectHandWrittenUnits(const std::vector<UnitDef>& units, double offset0, double offset1) {
    auto fields = [](const UnitDef& u) { return std::tuple(u.name, u.quantity, u.factor, u.offset, u.number); };
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(fields(units[0]), std::tuple("mbar", kQuantityPressure, 0.5, offset0, 1));
    EXPECT_EQ(fields(units[1]), std::tuple("°R", kQuantityTemperature, 0.25, offset1, 2));
}

TEST(UnitFileLayout, HandWrittenFilesReadAndWriteBack) {
    ArchiveReader current(CurrentFile(), "jednotky2.tkd");
    const auto units = ReadUnitFile(current);
    ExpectHandWrittenUnits(units, -2, 1);
    ArchiveReader old(OldFile(), "jednotky.tkd");
    ExpectHandWrittenUnits(ReadOldUnitFile(old), 0, 0);
    ArchiveReader defaults(DefaultsFile(), "units.tkd");
    EXPECT_EQ(ReadDefaultUnitsFile(defaults), (DefaultUnits{"m3/h", "°C", "bar"}));

    ArchiveWriter out, outDefaults;
    WriteUnitFile(out, units);
    EXPECT_EQ(out.bytes(), CurrentFile());
    WriteDefaultUnitsFile(outDefaults, DefaultUnits{"m3/h", "°C", "bar"});
    EXPECT_EQ(outDefaults.bytes(), DefaultsFile());
}

TEST(UnitFileLayout, RoundTripKeepsEveryFieldButNonFiniteNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<UnitDef> units{{"Průtok m3/min", kQuantityVolumeFlow, 1, 60, 0},
                                     {std::string(300, 'x'), kQuantityMassFlow, 2, 1e-300, -1e300},
                                     {"", -1, 3, 0, 0},  // added without a quantity
                                     {"bad", kQuantityPressure, 4, std::nan(""), -inf}};
    ArchiveWriter out;
    WriteUnitFile(out, units);
    ArchiveReader in(out.bytes(), "jednotky2.tkd");
    const auto back = ReadUnitFile(in);
    EXPECT_TRUE(in.AtEnd());
    ASSERT_EQ(back.size(), units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_EQ(back[i].name, units[i].name);
        EXPECT_EQ(back[i].quantity, units[i].quantity);
        EXPECT_EQ(back[i].factor, std::isfinite(units[i].factor) ? units[i].factor : 0);
        EXPECT_EQ(back[i].offset, std::isfinite(units[i].offset) ? units[i].offset : 0);
        EXPECT_EQ(back[i].number, static_cast<int>(i) + 1);
    }
}

TEST(UnitFileLayout, EveryTruncationIsAnError) {
    auto prefix = [](const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + n); };
    const Bytes current = CurrentFile(), old = OldFile(), defaults = DefaultsFile();
    for (std::size_t n = 0; n < current.size(); ++n) {
        ArchiveReader in(prefix(current, n), "jednotky2.tkd");
        EXPECT_THROW(ReadUnitFile(in), ArchiveError) << n;
    }
    for (std::size_t n = 0; n < old.size(); ++n) {
        ArchiveReader in(prefix(old, n), "jednotky.tkd");
        EXPECT_THROW(ReadOldUnitFile(in), ArchiveError) << n;
    }
    for (std::size_t n = 0; n < defaults.size(); ++n) {
        ArchiveReader in(prefix(defaults, n), "units.tkd");
        EXPECT_THROW(ReadDefaultUnitsFile(in), ArchiveError) << n;
    }
}

TEST(UnitFileLayout, CorruptFilesAreErrorsNamingTheFile) {
    struct Damage { const char* why; std::size_t at; Bytes bytes; };
    for (const Damage& d : {Damage{"negative count", 0, {0xFF, 0xFF, 0xFF, 0xFF}},
                            {"count far beyond the file", 0, {0xFF, 0xFF, 0xFF, 0x7F}},
                            {"one unit more than stored", 0, {3}},
                            {"name longer than the file", 8, {200}},
                            {"factor NaN", 19, {0xF8, 0x7F}},
                            {"offset minus infinity", 27, {0xF0, 0xFF}}}) {
        Bytes b = CurrentFile();
        std::copy(d.bytes.begin(), d.bytes.end(), b.begin() + d.at);
        ArchiveReader in(std::move(b), "jednotky2.tkd");
        try {
            ReadUnitFile(in);
            ADD_FAILURE() << d.why << ": accepted";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find("jednotky2.tkd"), std::string::npos) << e.what();
        }
    }
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
