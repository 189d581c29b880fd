#include "data/archive.hpp"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/cp1250.hpp"
#include "data/text_check.hpp"

namespace tarvik {

namespace {

std::string ReadMessage(const std::string& file, std::size_t offset, const std::string& what) {
    return file + ": corrupt or truncated at byte " + std::to_string(offset) + ": " + what;
}

}  // namespace

ArchiveError::ArchiveError(const std::string& file, std::size_t offset, const std::string& what)
    : std::runtime_error(ReadMessage(file, offset, what)), file_(file), offset_(offset) {}

ArchiveError::ArchiveError(IoTag, const std::string& file, const std::string& what)
    : std::runtime_error(file + ": " + what), file_(file), offset_(std::string::npos) {}

ArchiveError ArchiveError::Io(const std::string& file, const std::string& what) {
    return ArchiveError(IoTag{}, file, what);
}

// ---------------------------------------------------------------------------------------------

ArchiveReader::ArchiveReader(std::vector<std::uint8_t> bytes, std::string name)
    : bytes_(std::move(bytes)), name_(std::move(name)) {}

std::optional<ArchiveReader> ArchiveReader::OpenIfPresent(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw ArchiveError::Io(path.string(), "is a folder");
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    const std::streamoff size = in.tellg();
    if (size >= 0) {
        // A read error must not pass for a short file.
        bytes.resize(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(bytes.data()), size);
        if (in.gcount() != size) throw ArchiveError::Io(path.string(), "cannot be read");
    } else {
        in.clear();
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return ArchiveReader(std::move(bytes), path.string());
}

ArchiveReader ArchiveReader::FromFile(const std::filesystem::path& path) {
    auto reader = OpenIfPresent(path);
    if (!reader) throw ArchiveError::Io(path.string(), "cannot be opened");
    return std::move(*reader);
}

double ArchiveVersion(std::int32_t stored) {
    return stored < 101 ? static_cast<double>(stored) : stored / 100.0;
}

void ArchiveReader::Fail(const std::string& what) const {
    throw ArchiveError(name_, pos_, what);
}

const std::uint8_t* ArchiveReader::Take(std::size_t n) {
    if (n > remaining()) {
        Fail("needs " + std::to_string(n) + " bytes, " + std::to_string(remaining()) + " remain");
    }
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
}

namespace {

std::uint64_t LoadLE(const std::uint8_t* p, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

std::int32_t ArchiveReader::ReadInt32() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(LoadLE(Take(4), 4)));
}

double ArchiveReader::ReadDouble() {
    return std::bit_cast<double>(LoadLE(Take(8), 8));
}

double ArchiveReader::ReadFiniteDouble() {
    const std::size_t start = pos_;
    const double v = ReadDouble();
    if (!std::isfinite(v)) throw ArchiveError(name_, start, "a number that is not finite");
    return v;
}

std::string ArchiveReader::ReadRawText() {
    const std::size_t start = pos_;
    std::size_t length = *Take(1);
    if (length == 0xFF) {
        length = LoadLE(Take(2), 2);
        if (length == 0xFFFF) {
            length = LoadLE(Take(4), 4);
        } else if (length == 0xFFFE) {
            // Marks a text in a wide encoding, which these files never hold.
            throw ArchiveError(name_, start, "unsupported text length prefix");
        }
    }
    if (length > remaining()) {
        throw ArchiveError(name_, start, "text of " + std::to_string(length) + " bytes, only " +
                                             std::to_string(remaining()) + " remain");
    }
    const auto* p = Take(length);
    return std::string(reinterpret_cast<const char*>(p), length);
}

std::string ArchiveReader::ReadText() {
    return Cp1250ToUtf8(ReadRawText());
}

std::vector<std::uint8_t> ArchiveReader::ReadBytes(std::size_t count) {
    const auto* p = Take(count);
    return std::vector<std::uint8_t>(p, p + count);
}

void ArchiveReader::CheckCount(std::int64_t count, std::size_t minRecordBytes) const {
    if (count < 0) Fail("negative record count " + std::to_string(count));
    if (minRecordBytes > 0 && static_cast<std::uint64_t>(count) > remaining() / minRecordBytes) {
        Fail("record count " + std::to_string(count) + " exceeds the " + std::to_string(remaining()) +
             " bytes that remain");
    }
}

// ---------------------------------------------------------------------------------------------

namespace {

void StoreLE(std::vector<std::uint8_t>& out, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

void ArchiveWriter::WriteInt32(std::int32_t v) {
    StoreLE(bytes_, static_cast<std::uint32_t>(v), 4);
}

void ArchiveWriter::WriteDouble(double v) {
    StoreLE(bytes_, std::bit_cast<std::uint64_t>(v), 8);
}

void ArchiveWriter::WriteRawText(std::string_view text) {
    const std::size_t n = text.size();
    if (n > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("text too long for a data file field");
    }
    // The shortest form that can hold the length; 0xFFFE after 0xFF has another meaning, so the
    // two-byte form stops at 65533.
    if (n < 0xFF) {
        bytes_.push_back(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        bytes_.push_back(0xFF);
        StoreLE(bytes_, n, 2);
    } else {
        bytes_.push_back(0xFF);
        StoreLE(bytes_, 0xFFFF, 2);
        StoreLE(bytes_, n, 4);
    }
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

bool ArchiveWriter::WriteText(std::string_view utf8) {
    bool lossy = false;
    const std::size_t at = bytes_.size();
    WriteRawText(Utf8ToCp1250(utf8, &lossy));
    if (lossy && lostTextAt_ == SIZE_MAX) {
        lostTextAt_ = at;
        lostText_ = utf8;
    }
    return !lossy;
}

void ArchiveWriter::WriteBytes(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

namespace {

std::string ErrnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Removes the temporary file unless the save went through.
struct TempFile {
    std::string path;
    int fd = -1;
    bool keep = false;
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!keep && !path.empty()) ::unlink(path.c_str());
    }
};

}  // namespace

void ArchiveWriter::SaveAtomically(const std::filesystem::path& path) const {
    std::error_code ec;
    std::filesystem::path target = path;
    // Saving through a symbolic link replaces the file it points to, not the link.
    if (std::filesystem::is_symlink(target, ec)) {
        auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    const std::string name = path.string();
    if (lostTextAt_ != SIZE_MAX) {
        auto problem = CheckText(lostText_, {}, "text at byte " + std::to_string(lostTextAt_));
        throw ArchiveError::Io(name, problem ? TextProblemMessage(*problem) : "a text lost a character");
    }
    if (std::filesystem::is_directory(target, ec)) throw ArchiveError::Io(name, "is a folder");

    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    TempFile temp;
    std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    temp.fd = ::mkstemp(pattern.data());
    if (temp.fd < 0) throw ArchiveError::Io(name, ErrnoText("cannot create a file beside it"));
    temp.path = pattern;

    // The new file gets the permissions of the one it replaces, else the usual ones.
    struct stat st {};
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(temp.fd, mode);

    const std::uint8_t* p = bytes_.data();
    std::size_t left = bytes_.size();
    while (left > 0) {
        const ssize_t n = ::write(temp.fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw ArchiveError::Io(name, ErrnoText("cannot be written"));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(temp.fd) != 0) throw ArchiveError::Io(name, ErrnoText("cannot be written"));
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0) throw ArchiveError::Io(name, ErrnoText("cannot be written"));
    if (::rename(temp.path.c_str(), target.c_str()) != 0) {
        throw ArchiveError::Io(name, ErrnoText("cannot replace the file"));
    }
    temp.keep = true;
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

}  // namespace tarvik
