#pragma once
// Windows bitmap files (the logos "TarB.tkd" and "TarBW.tkd"): uncompressed, 24 bits per pixel or
// 8 bits with a palette, rows stored bottom-up or top-down.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "output/canvas.hpp"

namespace tarvik {

// Decodes the bytes of a bitmap file. False with `error` set (and `image` untouched) for anything
// else: another format or depth, compression, a size beyond the limit, a truncated pixel array.
bool ReadBitmap(std::span<const std::uint8_t> bytes, RgbImage& image, std::string& error);

// The bitmap of the file; an empty image (width 0) when it is missing or cannot be decoded.
RgbImage LoadBitmapFile(const std::filesystem::path& file);

}  // namespace tarvik
