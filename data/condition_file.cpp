#include "data/condition_file.hpp"

#include "data/archive.hpp"
#include "data/cp1250.hpp"
#include "data/text_lines.hpp"

namespace tarvik {
namespace {

constexpr const char* kFieldNames[] = {"name", "source", "index", "unit", "kind"};

std::string Cp1250Field(std::string_view utf8, std::size_t line, const char* field) {
    bool lossy = false;
    std::string bytes = Utf8ToCp1250(utf8, &lossy);
    if (lossy) throw ConditionFileError(line, field, "text has characters that code page 1250 cannot store");
    return bytes;
}

std::string VariableLine(const ConditionVariable& v, std::size_t line) {
    const std::string fields[] = {v.name, v.source, std::to_string(v.index), v.unit, v.kind};
    const bool set[] = {!v.name.empty(), !v.source.empty(), v.index != -1, !v.unit.empty(), !v.kind.empty()};
    int last = -1;
    for (int f = 0; f < 5; ++f)
        if (set[f]) last = f;
    // A lone ";" is a line that is neither empty nor a comment: a variable with the defaults.
    if (last < 0) return ";";
    std::string text;
    for (int f = 0; f <= last; ++f) {
        const std::string& field = fields[f];
        // The reader ends a line at its first empty field and splits fields at ";".
        if (field.empty()) throw ConditionFileError(line, kFieldNames[f], "cannot be empty while a later field is set");
        if (field.find(';') != std::string::npos) throw ConditionFileError(line, kFieldNames[f], "cannot contain \";\"");
        if (field.find('\n') != std::string::npos)
            throw ConditionFileError(line, kFieldNames[f], "cannot contain a line break");
        text += Cp1250Field(field, line, kFieldNames[f]) + ";";
    }
    if (text.starts_with("//")) throw ConditionFileError(line, "name", "cannot start with \"//\" (a comment)");
    return text;
}

std::string SkippedLine(const std::string& text, std::size_t line) {
    if (!text.empty() && !text.starts_with("//"))
        throw ConditionFileError(line, "", "a text line must be empty or a comment starting with \"//\"");
    // A carriage return at the end would be taken for part of the line end.
    if (text.find('\n') != std::string::npos || text.ends_with('\r'))
        throw ConditionFileError(line, "", "cannot contain a line break");
    return Cp1250Field(text, line, "");
}

}  // namespace

ConditionFileError::ConditionFileError(std::size_t line, std::string field, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line + 1) + (field.empty() ? "" : ", " + field) + ": " + reason),
      line_(line),
      field_(std::move(field)),
      reason_(reason) {}

ConditionFile ParseConditionFile(std::string_view bytes) {
    ConditionFile file;
    const std::size_t firstEnd = bytes.find('\n');
    if (firstEnd != std::string_view::npos) file.crlf = firstEnd > 0 && bytes[firstEnd - 1] == '\r';
    // The same line rules as SplitDataLines, keeping the lines it drops.
    ForEachRawLine(bytes, [&](std::string_view line) {
        ConditionFileLine l;
        if (line.empty() || line.starts_with("//")) {
            // A comment's trailing carriage returns carry nothing and could not be written back.
            while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            l.skipped = true;
            l.text = Cp1250ToUtf8(line);
        } else {
            l.variable = ParseConditionVariable(Cp1250ToUtf8(line));
        }
        file.lines.push_back(std::move(l));
    });
    return file;
}

ConditionFile ReadConditionFile(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const std::vector<std::uint8_t> bytes = in.ReadBytes(in.remaining());
    return ParseConditionFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string WriteConditionFile(const ConditionFile& file) {
    const char* end = file.crlf ? "\r\n" : "\n";
    std::string bytes;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const ConditionFileLine& l = file.lines[i];
        bytes += l.skipped ? SkippedLine(l.text, i) : VariableLine(l.variable, i);
        bytes += end;
    }
    return bytes;
}

void SaveConditionFile(const ConditionFile& file, const std::filesystem::path& path) {
    const std::string bytes = WriteConditionFile(file);
    ArchiveWriter w;
    w.WriteBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    w.SaveAtomically(path);
}

}  // namespace tarvik
