// The unit files. First byte: which file (b % 3: 0 "jednotky2.tkd", 1 "jednotky.tkd",
// 2 "units.tkd"); then its bytes. What is read must write back as the current file and read
// again unchanged: that is what saving after a start with the older file does.
#include <bit>
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "fuzz/fuzz_check.hpp"
#include "units/unit_files.hpp"

namespace {

using namespace tarvik;

bool Same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

void CheckUnits(const std::vector<UnitDef>& units) {
    ArchiveWriter w;
    WriteUnitFile(w, units);
    ArchiveReader again(w.bytes(), "again.tkd");
    const auto back = ReadUnitFile(again);
    TARVIK_FUZZ_CHECK(again.AtEnd());
    TARVIK_FUZZ_CHECK(back.size() == units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        TARVIK_FUZZ_CHECK(back[i].name == units[i].name);
        TARVIK_FUZZ_CHECK(back[i].quantity == units[i].quantity);
        TARVIK_FUZZ_CHECK(Same(back[i].factor, units[i].factor));
        TARVIK_FUZZ_CHECK(Same(back[i].offset, units[i].offset));
        TARVIK_FUZZ_CHECK(back[i].number == static_cast<int>(i) + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int kind = data[0] % 3;
    ArchiveReader in(std::vector<std::uint8_t>(data + 1, data + size), "fuzz.tkd");
    try {
        if (kind == 2) {
            const DefaultUnits names = ReadDefaultUnitsFile(in);
            ArchiveWriter w;
            WriteDefaultUnitsFile(w, names);
            ArchiveReader again(w.bytes(), "again.tkd");
            TARVIK_FUZZ_CHECK(ReadDefaultUnitsFile(again) == names);
            TARVIK_FUZZ_CHECK(again.AtEnd());
        } else {
            const auto units = kind == 0 ? ReadUnitFile(in) : ReadOldUnitFile(in);
            for (const UnitDef& u : units) TARVIK_FUZZ_CHECK(kind == 0 || u.offset == 0);
            CheckUnits(units);
        }
    } catch (const ArchiveError& e) {
        TARVIK_FUZZ_CHECK(std::string(e.what()).starts_with("fuzz.tkd: corrupt or truncated at byte "));
    }
    return 0;
}
