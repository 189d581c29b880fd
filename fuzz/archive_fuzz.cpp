// The field reader over a self-describing stream: each field is preceded by a tag byte that says
// how to read it. Everything read must write back and read again unchanged, and a stream whose
// texts all use the shortest length prefix must write back byte for byte.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "data/archive.hpp"
#include "data/cp1250.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

using namespace tarvik;

enum Tag : std::uint8_t { kInt, kDouble, kFiniteDouble, kText, kRawText, kBytes, kCount, kTagCount };

struct Field {
    std::uint8_t rawTag;
    Tag tag;
    std::int32_t i = 0;
    double d = 0;
    std::string s;
    std::vector<std::uint8_t> b;
};

std::size_t PrefixSize(std::size_t n) { return n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7; }

void Write(ArchiveWriter& w, const Field& f) {
    w.WriteBytes({f.rawTag});
    switch (f.tag) {
        case kInt:
        case kCount: w.WriteInt32(f.i); break;
        case kDouble:
        case kFiniteDouble: w.WriteDouble(f.d); break;
        case kText: TARVIK_FUZZ_CHECK(w.WriteText(f.s)); break;  // nothing may be lost
        case kRawText: w.WriteRawText(f.s); break;
        case kBytes:
            w.WriteBytes({static_cast<std::uint8_t>(f.b.size())});
            w.WriteBytes(f.b);
            break;
        default: break;
    }
}

// Reads fields until the end; returns the offset after the last complete field.
// Record counts are checked only in the input: what is written back may end right after them.
std::size_t ReadFields(ArchiveReader& r, std::vector<Field>& fields, bool& canonical, bool checkCounts) {
    std::size_t good = 0;
    canonical = true;
    try {
        while (!r.AtEnd()) {
            const std::uint8_t rawTag = r.ReadBytes(1)[0];
            Field f{rawTag, static_cast<Tag>(rawTag % kTagCount), 0, 0, {}, {}};
            const std::size_t start = r.offset();
            switch (f.tag) {
                case kInt: f.i = r.ReadInt32(); break;
                case kDouble: f.d = r.ReadDouble(); break;
                case kFiniteDouble: f.d = r.ReadFiniteDouble(); break;
                case kText:
                case kRawText: {
                    const std::string raw = r.ReadRawText();
                    if (r.offset() - start != PrefixSize(raw.size()) + raw.size()) canonical = false;
                    f.s = f.tag == kText ? Cp1250ToUtf8(raw) : raw;
                    TARVIK_FUZZ_CHECK(Utf8ToCp1250(Cp1250ToUtf8(raw)) == raw);
                    break;
                }
                case kBytes: f.b = r.ReadBytes(r.ReadBytes(1)[0]); break;
                case kCount:
                    f.i = r.ReadInt32();
                    if (checkCounts) r.CheckCount(f.i, 4);
                    break;
                default: break;
            }
            fields.push_back(std::move(f));
            good = r.offset();
        }
    } catch (const ArchiveError& e) {
        TARVIK_FUZZ_CHECK(e.offset() <= r.offset());
        TARVIK_FUZZ_CHECK(std::string(e.what()).starts_with(r.name() + ": corrupt or truncated at byte "));
    }
    return good;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    ArchiveReader r(input, "fuzz.tkd");
    std::vector<Field> fields;
    bool canonical = true;
    const std::size_t good = ReadFields(r, fields, canonical, true);

    ArchiveWriter w;
    for (const auto& f : fields) Write(w, f);
    if (canonical) {
        TARVIK_FUZZ_CHECK(w.bytes() == std::vector<std::uint8_t>(input.begin(), input.begin() + good));
    }

    ArchiveReader again(w.bytes(), "again.tkd");
    std::vector<Field> reread;
    bool canonicalAgain = true;
    TARVIK_FUZZ_CHECK(ReadFields(again, reread, canonicalAgain, false) == w.bytes().size());
    TARVIK_FUZZ_CHECK(canonicalAgain);
    TARVIK_FUZZ_CHECK(reread.size() == fields.size());
    for (std::size_t k = 0; k < fields.size(); ++k) {
        TARVIK_FUZZ_CHECK(reread[k].rawTag == fields[k].rawTag);
        TARVIK_FUZZ_CHECK(reread[k].i == fields[k].i);
        TARVIK_FUZZ_CHECK(std::bit_cast<std::uint64_t>(reread[k].d) == std::bit_cast<std::uint64_t>(fields[k].d));
        TARVIK_FUZZ_CHECK(reread[k].s == fields[k].s);
        TARVIK_FUZZ_CHECK(reread[k].b == fields[k].b);
    }
    return 0;
}
