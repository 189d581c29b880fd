// The specification catalogue and its tables. The first byte selects the file (b % 4:
// 0 "specpoh.tkd", 1 "specpoh06a.tkd", 2 "specpoh06b.tkd", 3 "specpoh07/09/10.tkd"); the rest is
// its bytes. What was read must write back and read again to the same bytes.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "data/spec_catalogue.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

template <class T>
void Check(const std::vector<std::uint8_t>& bytes, T (*read)(tarvik::ArchiveReader&),
           void (*write)(tarvik::ArchiveWriter&, const T&)) {
    using namespace tarvik;
    T value;
    try {
        ArchiveReader in(bytes, "fuzz.tkd");
        value = read(in);
    } catch (const ArchiveError&) {
        return;
    }
    ArchiveWriter out;
    write(out, value);
    ArchiveReader again(out.bytes(), "again.tkd");
    const T reread = read(again);  // must not throw
    TARVIK_FUZZ_CHECK(again.AtEnd());
    ArchiveWriter out2;
    write(out2, reread);
    TARVIK_FUZZ_CHECK(out2.bytes() == out.bytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    if (size == 0) return 0;
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    switch (data[0] % 4) {
        case 0: Check(bytes, ReadSpecCatalogue, WriteSpecCatalogue); break;
        case 1: Check(bytes, ReadSpecTable06a, WriteSpecTable06a); break;
        case 2: Check(bytes, ReadSpecTable06b, WriteSpecTable06b); break;
        default: Check(bytes, ReadSpecCurveTable, WriteSpecCurveTable); break;
    }
    return 0;
}
