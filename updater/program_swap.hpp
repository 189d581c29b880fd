#pragma once
// What tarvik-update does, without starting anything: check that Tarvik.new is a program of this
// computer, put it in place of the program in one rename, and keep the old one as a backup.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::updater {

// The ELF identity a program must share with this one to run here.
struct ElfIdentity {
    unsigned char elfClass = 0;  // 32 or 64 bit
    unsigned char data = 0;      // byte order
    unsigned machine = 0;
};

// The identity of the running program (read from its own file).
bool ThisPlatform(ElfIdentity& identity, std::string& error);

// The bytes of an ELF header needed to tell whether a file runs here.
inline constexpr std::size_t kElfHeaderBytes = 64;

// Empty when `head` (the first bytes of the file `name`) is the header of an ELF executable of
// `platform`; otherwise why not, for the user.
std::string CheckExecutableHeader(std::string_view head, const ElfIdentity& platform, const std::string& name);
// The same for a file, which must be a plain file (no link).
std::string CheckExecutable(const std::filesystem::path& file, const ElfIdentity& platform);

struct SwapResult {
    bool ok = false;
    std::string message;  // what was done, or why nothing was changed
};

// Replaces `programDir`/tarvik by `programDir`/Tarvik.new. The old program is kept as
// tarvik.previous, unless a backup is already there: that one is the last program known to have
// started, as the program removes it after each good start. The new program gets the old one's
// mode. On any failure nothing is changed.
SwapResult ReplaceProgram(const std::filesystem::path& programDir, const ElfIdentity& platform);

// Appends a dated line, signed by `who`, to the log `file` in one write, so that the program and
// tarvik-update keep one format; false when the log cannot be written.
bool AppendLogLine(const std::filesystem::path& file, const std::string& who, const std::string& line);
// The same for update.log in `programDir`.
bool AppendUpdateLog(const std::filesystem::path& programDir, const std::string& who, const std::string& line);

}  // namespace tarvik::updater
