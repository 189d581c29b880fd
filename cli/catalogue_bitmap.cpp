// The logo bitmaps "TarB.tkd", "TarBW.tkd" and "TarLB.tkd" as JSON: the file's bytes in
// base64, so that every data file of the program folder can go through dump and build.
#include <algorithm>
#include <cstring>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    s.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (n > 1) v |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        for (std::size_t k = 0; k < 4; ++k) s += k <= n ? kAlphabet[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return s;
}

// Strict: only the alphabet, padding at the end, a length that is a multiple of four.
std::vector<std::uint8_t> FromBase64(const std::string& s, const std::string& where) {
    if (s.size() % 4 != 0) JsonFail(where, "base64 length is not a multiple of 4");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(s.size() / 4 * 3);
    for (std::size_t i = 0; i < s.size(); i += 4) {
        std::uint32_t v = 0;
        std::size_t pad = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = s[i + k];
            const bool last = i + 4 == s.size();
            if (c == '=' && last && k >= 2 && (k == 3 || s[i + 3] == '=')) {
                ++pad;
                v <<= 6;
                continue;
            }
            const char* p = c ? std::strchr(kAlphabet, c) : nullptr;
            if (!p || pad) JsonFail(where, "not base64 (character " + std::to_string(i + k) + ")");
            v = (v << 6) | static_cast<std::uint32_t>(p - kAlphabet);
        }
        bytes.push_back(static_cast<std::uint8_t>(v >> 16));
        if (pad < 2) bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        if (pad < 1) bytes.push_back(static_cast<std::uint8_t>(v));
    }
    return bytes;
}

}  // namespace

bool IsBitmapFileName(const std::string& fileName) {
    return IsFileNamed(fileName, "tarb.tkd") || IsFileNamed(fileName, "tarbw.tkd") || IsFileNamed(fileName, "tarlb.tkd");
}

json DumpBitmap(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return {{"kind", "bitmap"}, {"base64", Base64(in.ReadBytes(in.remaining()))}};
}

void BuildBitmap(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "base64"});
    if (o.Has("kind") && o.Text("kind") != "bitmap") JsonFail("kind", "expected \"bitmap\"");
    ArchiveWriter w;
    w.WriteBytes(FromBase64(o.Text("base64"), o.Where("base64")));
    w.SaveAtomically(out);
}

}  // namespace tarvik::cli
