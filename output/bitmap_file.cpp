#include "output/bitmap_file.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace tarvik {
namespace {

constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;  // 8192 × 8192: far beyond any logo

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

}  // namespace

bool ReadBitmap(std::span<const std::uint8_t> b, RgbImage& image, std::string& error) {
    constexpr std::size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 4 || b[0] != 'B' || b[1] != 'M') {
        error = "not a Windows bitmap";
        return false;
    }
    const std::uint32_t dataOffset = U32(b, 10);
    const std::uint32_t infoSize = U32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0, paletteCount = 0;
    std::size_t paletteEntry = 4;
    if (infoSize == 12) {  // the old core header: 16-bit sizes, three-byte palette entries
        if (b.size() < kFileHeader + 12) {
            error = "truncated bitmap header";
            return false;
        }
        width = U16(b, 18);
        height = U16(b, 20);
        bits = U16(b, 24);
        paletteEntry = 3;
    } else if (infoSize >= 40 && infoSize <= 1024) {
        if (b.size() < kFileHeader + infoSize) {
            error = "truncated bitmap header";
            return false;
        }
        width = static_cast<std::int32_t>(U32(b, 18));
        height = static_cast<std::int32_t>(U32(b, 22));
        bits = U16(b, 28);
        compression = U32(b, 30);
        paletteCount = U32(b, 46);
    } else {
        error = "unknown bitmap header";
        return false;
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > kMaxPixels) {
        error = "bitmap size out of range";
        return false;
    }
    if (compression != 0 || (bits != 24 && bits != 8)) {
        error = "only uncompressed bitmaps of 24 or 8 bits are read";
        return false;
    }
    std::vector<Rgba> palette;
    if (bits == 8) {
        if (paletteCount == 0 || paletteCount > 256) paletteCount = 256;
        const std::size_t at = kFileHeader + infoSize;
        // A palette cut short by the pixel data keeps the entries before it.
        const std::size_t end = std::min<std::size_t>({b.size(), dataOffset, at + paletteCount * paletteEntry});
        for (std::size_t p = at; p + paletteEntry <= end; p += paletteEntry) palette.push_back({b[p + 2], b[p + 1], b[p], 255});
        if (palette.empty()) {
            error = "bitmap palette missing";
            return false;
        }
    }
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (dataOffset < kFileHeader + infoSize || dataOffset > b.size() ||
        static_cast<std::int64_t>(b.size() - dataOffset) < rowBytes * height) {
        error = "truncated bitmap pixels";
        return false;
    }
    RgbImage out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.resize(static_cast<std::size_t>(width * height * 3));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::size_t row = dataOffset + static_cast<std::size_t>((topDown ? y : height - 1 - y) * rowBytes);
        std::uint8_t* dst = &out.pixels[static_cast<std::size_t>(y * width * 3)];
        for (std::int64_t x = 0; x < width; ++x, dst += 3) {
            if (bits == 24) {
                const std::size_t p = row + static_cast<std::size_t>(x * 3);
                dst[0] = b[p + 2];
                dst[1] = b[p + 1];
                dst[2] = b[p];
            } else {
                const std::uint8_t index = b[row + static_cast<std::size_t>(x)];
                const Rgba c = index < palette.size() ? palette[index] : Rgba{0, 0, 0, 255};
                dst[0] = c.r;
                dst[1] = c.g;
                dst[2] = c.b;
            }
        }
    }
    image = std::move(out);
    return true;
}

RgbImage LoadBitmapFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > (std::streamoff{1} << 28)) return {};
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
    RgbImage image;
    std::string error;
    if (!ReadBitmap(bytes, image, error)) return {};
    return image;
}

}  // namespace tarvik
