#include "units/unit_files.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "data/messages.hpp"
#include "units/unit_display.hpp"

namespace tarvik {
namespace {

// A present file that cannot be read (%1: the file, the offset and what is wrong).
constexpr int kMsgFileRefused = 63930;
// The file was refused at load and is not saved over (%1: the file).
constexpr int kMsgFileNotSaved = 63931;
// The file could not be written (%1: the file and the reason).
constexpr int kMsgWriteFailed = 63932;

// Smallest records: quantity, empty name, factor (and offset).
constexpr std::size_t kMinUnitBytes = 4 + 1 + 8 + 8;
constexpr std::size_t kMinOldUnitBytes = 4 + 1 + 8;

// Files refused at load in this session; they keep their bytes until the user moves them away.
struct Refused {
    bool unitFile = false;
    bool defaultsFile = false;
};

Refused& RefusedFiles() {
    static Refused refused;
    return refused;
}

std::vector<UnitDef> ReadUnits(ArchiveReader& in, bool withOffset) {
    const std::int32_t count = in.ReadInt32();
    in.CheckCount(count, withOffset ? kMinUnitBytes : kMinOldUnitBytes);
    std::vector<UnitDef> units;
    units.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        UnitDef u;
        u.quantity = in.ReadInt32();
        u.name = in.ReadText();
        u.factor = in.ReadFiniteDouble();
        u.offset = withOffset ? in.ReadFiniteDouble() : 0.0;
        u.number = i + 1;
        units.push_back(std::move(u));
    }
    return units;
}

// Reads the file with `read`; nullopt when it cannot be opened. A damaged file is reported.
template <typename Read>
auto LoadFile(const std::filesystem::path& path, Read read, bool& refused)
    -> std::optional<decltype(read(std::declval<ArchiveReader&>()))> {
    refused = false;
    try {
        auto in = ArchiveReader::OpenIfPresent(path);
        if (!in) return std::nullopt;
        return read(*in);
    } catch (const ArchiveError& e) {
        refused = true;
        ShowMessage(kMsgFileRefused, e.what());
        return std::nullopt;
    }
}

bool Save(const std::filesystem::path& path, const ArchiveWriter& out, bool refused,
          const std::optional<TextProblem>& problem) {
    if (refused) {
        ShowMessage(kMsgFileNotSaved, path.string());
        return false;
    }
    if (problem) {
        ShowMessage(kMsgTextNotStorable, DescribeTextProblem(*problem));
        return false;
    }
    try {
        out.SaveAtomically(path);
    } catch (const ArchiveError& e) {
        ShowMessage(kMsgWriteFailed, e.what());
        return false;
    }
    return true;
}

// The files never hold NaN or infinity; such a value had no use in a conversion anyway.
double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

DefaultUnits& DefaultUnitNames() {
    static DefaultUnits names;
    return names;
}

std::vector<UnitDef> ReadUnitFile(ArchiveReader& in) { return ReadUnits(in, true); }
std::vector<UnitDef> ReadOldUnitFile(ArchiveReader& in) { return ReadUnits(in, false); }

DefaultUnits ReadDefaultUnitsFile(ArchiveReader& in) {
    DefaultUnits names;
    names.flow = in.ReadText();
    names.temperature = in.ReadText();
    names.pressure = in.ReadText();
    return names;
}

void WriteUnitFile(ArchiveWriter& out, const std::vector<UnitDef>& units) {
    out.WriteInt32(static_cast<std::int32_t>(units.size()));
    for (const UnitDef& u : units) {
        out.WriteInt32(u.quantity);
        out.WriteText(u.name);
        out.WriteDouble(FiniteOrZero(u.factor));
        out.WriteDouble(FiniteOrZero(u.offset));
    }
}

void WriteDefaultUnitsFile(ArchiveWriter& out, const DefaultUnits& names) {
    out.WriteText(names.flow);
    out.WriteText(names.temperature);
    out.WriteText(names.pressure);
}

std::optional<TextProblem> FindUnstorableText(const std::vector<UnitDef>& units) {
    TextCheck check;
    for (const UnitDef& u : units) check.Check(u.name, "#" + std::to_string(u.number), "name");
    return check.problem();
}

std::optional<TextProblem> FindUnstorableText(const DefaultUnits& names) {
    TextCheck check;
    check.Check(names.flow, {}, "flow");
    check.Check(names.temperature, {}, "temperature");
    check.Check(names.pressure, {}, "pressure");
    return check.problem();
}

void LoadUserUnits(const std::filesystem::path& programDir) {
    bool refused = false;
    auto units = LoadFile(programDir / kUnitFileName, ReadUnitFile, refused);
    RefusedFiles().unitFile = refused;
    // The older file stands in only for a current file that cannot be opened at all.
    if (!units && !refused) {
        bool oldRefused = false;
        units = LoadFile(programDir / kOldUnitFileName, ReadOldUnitFile, oldRefused);
    }
    UserUnits() = units ? std::move(*units) : std::vector<UnitDef>{};
    RebuildUnitDisplayTexts();
}

void LoadDefaultUnitNames(const std::filesystem::path& programDir) {
    bool refused = false;
    auto names = LoadFile(programDir / kDefaultUnitsFileName, ReadDefaultUnitsFile, refused);
    RefusedFiles().defaultsFile = refused;
    DefaultUnitNames() = names ? std::move(*names) : DefaultUnits{};
}

bool SaveUserUnits(const std::filesystem::path& programDir) {
    ArchiveWriter out;
    WriteUnitFile(out, UserUnits());
    return Save(programDir / kUnitFileName, out, RefusedFiles().unitFile, FindUnstorableText(UserUnits()));
}

bool SaveDefaultUnitNames(const std::filesystem::path& programDir) {
    ArchiveWriter out;
    WriteDefaultUnitsFile(out, DefaultUnitNames());
    return Save(programDir / kDefaultUnitsFileName, out, RefusedFiles().defaultsFile,
                FindUnstorableText(DefaultUnitNames()));
}

int NextUnitNumber(const std::vector<UnitDef>& units) {
    // Numbers identify the units in the grid, so a new one must not repeat any of them, even
    // after deletions have left the list out of order.
    std::vector<int> taken;
    taken.reserve(units.size());
    for (const UnitDef& u : units) taken.push_back(u.number);
    std::sort(taken.begin(), taken.end());
    int next = 1;
    for (int n : taken) {
        if (n == next) ++next;
        else if (n > next) break;
    }
    return next;
}

}  // namespace tarvik
