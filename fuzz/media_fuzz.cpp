// The media file reader. The first byte picks the kind (even: media.tkd, odd: mediau.tkd); the
// rest is the file. What was read must write back and read again unchanged.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "data/media.hpp"
#include "fuzz/fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    if (size == 0) return 0;
    const MediaFileKind kind = data[0] % 2 ? MediaFileKind::User : MediaFileKind::System;
    MediaFile file;
    try {
        ArchiveReader in(std::vector<std::uint8_t>(data + 1, data + size), "media.tkd");
        file = ReadMediaFile(in, kind);
    } catch (const ArchiveError&) {
        return 0;
    }
    ArchiveWriter out;
    WriteMediaFile(out, file);
    ArchiveReader again(out.bytes(), "again.tkd");
    const MediaFile back = ReadMediaFile(again, kind);
    TARVIK_FUZZ_CHECK(again.AtEnd());
    TARVIK_FUZZ_CHECK(back == file);
    return 0;
}
