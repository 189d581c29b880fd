#pragma once
// The calculation log (vypocet.txt): plain UTF-8 text, one "label value suffix" line per value.
// Routines take a CalcLog* and write nothing when it is null.
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

class CalcLog {
public:
    CalcLog() = default;  // collects the text in memory
    ~CalcLog();           // closes the file; whoever needs to know whether it was written calls Close
    CalcLog(const CalcLog&) = delete;
    CalcLog& operator=(const CalcLog&) = delete;

    // Opens (creates) the file; false when it cannot be opened. The text is held in memory and
    // written in one piece by Close, which then cuts the file to that length.
    bool OpenFile(const std::filesystem::path& path);
    // Writes and closes the file. False when the file could not be written in full (the run's
    // log is then incomplete). True without a file.
    bool Close();

    void Write(std::string_view text);
    // label, FormatNumber(value, precision), suffix, "\n"
    void Line(std::string_view label, double value, int precision = 0, std::string_view suffix = "");

    // What was written, when the log is held in memory.
    const std::string& text() const { return text_; }

private:
    int fd_ = -1;
    std::string text_;
};

}  // namespace tarvik
