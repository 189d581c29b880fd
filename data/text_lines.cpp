#include "data/text_lines.hpp"

#include <fstream>
#include <iterator>

#include "data/cp1250.hpp"

namespace tarvik {

void ForEachRawLine(std::string_view bytes, const std::function<void(std::string_view)>& line) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view text = bytes.substr(pos, end - pos);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        pos = next;
        line(text);
    }
}

std::vector<std::string> SplitDataLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachRawLine(bytes, [&](std::string_view line) {
        if (!line.empty() && !line.starts_with("//")) lines.push_back(Cp1250ToUtf8(line));
    });
    return lines;
}

std::optional<std::vector<std::string>> ReadDataLines(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return SplitDataLines(bytes);
}

}  // namespace tarvik
