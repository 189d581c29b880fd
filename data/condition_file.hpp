#pragma once
// specpodm.tkd as a whole file: its condition variables together with the comment and empty
// lines around them, so that the file can be rewritten from its contents without losing its
// notes. The program itself only needs the variables (LoadConditionVariables); both read the
// lines by the same rules, so a file written here gives the reader exactly these variables.
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/conditions.hpp"

namespace tarvik {

struct ConditionFileLine {
    // A line the reader skips (empty, or a comment starting with "//"), kept as it stands in
    // `text` (UTF-8); otherwise the line holds `variable` (its value is not stored).
    bool skipped = false;
    std::string text;
    ConditionVariable variable;
};

struct ConditionFile {
    std::vector<ConditionFileLine> lines;
    bool crlf = true;  // line ends CR LF, as the program's files have them, or LF
};

ConditionFile ParseConditionFile(std::string_view bytes);
// Throws ArchiveError when the file cannot be read.
ConditionFile ReadConditionFile(const std::filesystem::path& path);

// Something a line cannot hold: `line` is 0-based, `field` names the variable's field ("name",
// "source", "index", "unit", "kind") or is empty for a skipped line.
class ConditionFileError : public std::runtime_error {
public:
    ConditionFileError(std::size_t line, std::string field, const std::string& reason);
    std::size_t line() const { return line_; }
    const std::string& field() const { return field_; }
    const std::string& reason() const { return reason_; }

private:
    std::size_t line_;
    std::string field_;
    std::string reason_;
};

// The file's bytes (code page 1250). A variable is written as "name;source;index;unit;kind;"
// up to its last field that differs from the default; a field the reader would not give back
// (a ";" or line break in a text, an empty field before a set one, a name starting with "//", a
// character without a code page 1250 form) throws ConditionFileError.
std::string WriteConditionFile(const ConditionFile& file);
// Writes through a temporary file; throws ConditionFileError or ArchiveError, the old file
// then stays as it was.
void SaveConditionFile(const ConditionFile& file, const std::filesystem::path& path);

}  // namespace tarvik
