#pragma once
// Binary field streams of the data and project files: int32, double and text fields,
// little-endian, texts in code page 1250 with a length prefix (one byte below 255; 0xFF + uint16
// up to 65533; 0xFF 0xFFFF + uint32 beyond). Inside the program every text is UTF-8; the
// conversion at this boundary is lossless both ways.
//
// The reader never trusts the file: every length is checked against what remains, and any
// shortfall raises ArchiveError naming the file and the offset.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class ArchiveError : public std::runtime_error {
public:
    // "<file>: corrupt or truncated at byte <offset>: <what>"
    ArchiveError(const std::string& file, std::size_t offset, const std::string& what);
    // A file that cannot be opened, read or written: "<file>: <what>"; offset() is npos.
    static ArchiveError Io(const std::string& file, const std::string& what);
    const std::string& file() const { return file_; }
    std::size_t offset() const { return offset_; }

private:
    struct IoTag {};
    ArchiveError(IoTag, const std::string& file, const std::string& what);
    std::string file_;
    std::size_t offset_;
};

class ArchiveReader {
public:
    // `name` is used in error messages (usually the file path).
    ArchiveReader(std::vector<std::uint8_t> bytes, std::string name);
    // Reads the whole file; throws ArchiveError when it cannot be read.
    static ArchiveReader FromFile(const std::filesystem::path& path);
    // As FromFile, but a file that cannot be opened (missing, unreadable) gives nullopt, for the
    // loaders that skip an absent catalogue silently.
    static std::optional<ArchiveReader> OpenIfPresent(const std::filesystem::path& path);

    std::int32_t ReadInt32();
    double ReadDouble();       // any bit pattern is returned as stored; see ReadFiniteDouble
    double ReadFiniteDouble(); // NaN or infinity in the file is an error
    std::string ReadText();    // code page 1250 in the file, UTF-8 returned
    std::string ReadRawText(); // the bytes as stored, no conversion
    // Reads `count` bytes as stored.
    std::vector<std::uint8_t> ReadBytes(std::size_t count);

    std::size_t offset() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    const std::string& name() const { return name_; }
    [[noreturn]] void Fail(const std::string& what) const;
    // Checks a record count read from the file against a plausible minimum record size.
    void CheckCount(std::int64_t count, std::size_t minRecordBytes) const;

private:
    const std::uint8_t* Take(std::size_t n);
    std::vector<std::uint8_t> bytes_;
    std::string name_;
    std::size_t pos_ = 0;
};

// The version of a file that stores it as an int32 r: r itself when r < 101, else r / 100
// (803 is version 8.03).
double ArchiveVersion(std::int32_t stored);

class ArchiveWriter {
public:
    void WriteInt32(std::int32_t v);
    void WriteDouble(double v);
    // Converted to code page 1250; returns false when a character had no code page 1250 form
    // and was written as "?". SaveAtomically then refuses to save these bytes.
    bool WriteText(std::string_view utf8);
    void WriteRawText(std::string_view bytes); // written as given
    void WriteBytes(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Writes to a temporary file beside the target and renames it over the target, so a failed
    // save never destroys the previous file. Throws ArchiveError on failure, also when a text
    // lost a character (the writers check their documents first and name the record; this is
    // the last guard, naming the text by its offset).
    void SaveAtomically(const std::filesystem::path& path) const;

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t lostTextAt_ = SIZE_MAX;  // offset of the first text written with "?"
    std::string lostText_;
};

}  // namespace tarvik
