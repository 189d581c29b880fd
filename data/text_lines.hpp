#pragma once
// The line-oriented data files (code page 1250, CR LF or LF line ends). Comment lines (starting
// with "//") and empty lines are dropped; the remaining lines are returned in UTF-8.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Calls `line` for every line of `bytes` (code page 1250, without its CR LF or LF), comments and
// empty lines included.
void ForEachRawLine(std::string_view bytes, const std::function<void(std::string_view)>& line);

std::vector<std::string> SplitDataLines(std::string_view bytes);
// nullopt when the file cannot be opened or read.
std::optional<std::vector<std::string>> ReadDataLines(const std::filesystem::path& path);

}  // namespace tarvik
