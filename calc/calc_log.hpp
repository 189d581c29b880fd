#pragma once
// The calculation log (vypocet.txt): plain UTF-8 text, one "label value suffix" line per value.
// Routines take a CalcLog* and write nothing when it is null.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

class CalcLog {
public:
    CalcLog() = default;  // collects the text in memory
    ~CalcLog();
    CalcLog(const CalcLog&) = delete;
    CalcLog& operator=(const CalcLog&) = delete;

    // Creates (truncates) the file; false when it cannot be created.
    bool OpenFile(const std::filesystem::path& path);
    void Close();

    void Write(std::string_view text);
    // label, FormatNumber(value, precision), suffix, "\n"
    void Line(std::string_view label, double value, int precision = 0, std::string_view suffix = "");

    // What was written, when the log is held in memory.
    const std::string& text() const { return text_; }

private:
    std::FILE* file_ = nullptr;
    std::string text_;
};

}  // namespace tarvik
