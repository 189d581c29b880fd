// Directory listings from an update server: the first byte picks the format (even: MLSD, odd:
// LIST), the rest is what the server sent. Every entry must have a name of one line.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "project/ftp_listing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto entries = data[0] % 2 ? ParseListListing(text) : ParseMlsdListing(text);
    for (const auto& e : entries) {
        TARVIK_FUZZ_CHECK(!e.name.empty());
        TARVIK_FUZZ_CHECK(e.name.find('\n') == std::string::npos);
    }
    std::int64_t t = 0;
    ParseFtpTime(text, t);
    return 0;
}
