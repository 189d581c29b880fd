// The bitmap reader of the sheet's logo: whatever the bytes, a decoded image has exactly the
// pixels its size says, and a refused one leaves the image untouched.
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "output/bitmap_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    RgbImage image;
    image.width = -1;
    std::string error;
    if (ReadBitmap(std::span<const std::uint8_t>(data, size), image, error)) {
        TARVIK_FUZZ_CHECK(image.width > 0 && image.height > 0);
        TARVIK_FUZZ_CHECK(image.pixels.size() ==
                          static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
    } else {
        TARVIK_FUZZ_CHECK(image.width == -1 && image.pixels.empty() && !error.empty());
    }
    return 0;
}
