#include "updater/program_swap.hpp"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "updater/program_files.hpp"

namespace tarvik::updater {
namespace fs = std::filesystem;

namespace {

struct Header {
    ElfIdentity id;
    unsigned type = 0;
    unsigned long long entry = 0;
    bool elf = false;
};

// A field of `bytes` bytes in the file's byte order.
unsigned long long ReadField(const unsigned char* p, int bytes, unsigned char order) {
    unsigned long long v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | (order == ELFDATA2MSB ? p[i] : p[bytes - 1 - i]);
    return v;
}

// The identifying part of an ELF header: 52 bytes for 32-bit files, 64 for 64-bit ones.
Header ParseHeader(std::string_view head) {
    Header h;
    const auto* b = reinterpret_cast<const unsigned char*>(head.data());
    const std::size_t n = head.size();
    if (n < 52 || std::memcmp(b, ELFMAG, SELFMAG) != 0) return h;
    h.id.elfClass = b[EI_CLASS];
    h.id.data = b[EI_DATA];
    if (h.id.data != ELFDATA2LSB && h.id.data != ELFDATA2MSB) return h;
    if (h.id.elfClass != ELFCLASS32 && h.id.elfClass != ELFCLASS64) return h;
    if (h.id.elfClass == ELFCLASS64 && n < 64) return h;
    h.elf = b[EI_VERSION] == EV_CURRENT;
    h.type = static_cast<unsigned>(ReadField(b + 16, 2, h.id.data));
    h.id.machine = static_cast<unsigned>(ReadField(b + 18, 2, h.id.data));
    h.entry = ReadField(b + 24, h.id.elfClass == ELFCLASS64 ? 8 : 4, h.id.data);
    return h;
}

std::string ReadHead(const fs::path& file) {
    std::string head(kElfHeaderBytes, '\0');
    std::ifstream in(file, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

std::string Bits(unsigned char elfClass) { return elfClass == ELFCLASS64 ? "64-bit" : "32-bit"; }

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

bool ThisPlatform(ElfIdentity& identity, std::string& error) {
    const Header h = ParseHeader(ReadHead("/proc/self/exe"));
    if (!h.elf) {
        error = "cannot read this program's own file (/proc/self/exe) to learn the platform";
        return false;
    }
    identity = h.id;
    return true;
}

std::string CheckExecutableHeader(std::string_view head, const ElfIdentity& platform, const std::string& name) {
    const Header h = ParseHeader(head);
    if (!h.elf) return name + " is not a program (no ELF executable)";
    if (h.id.elfClass != platform.elfClass)
        return name + " is a " + Bits(h.id.elfClass) + " program; this computer runs " + Bits(platform.elfClass) +
               " ones";
    if (h.id.data != platform.data) return name + " is a program for a processor of another byte order";
    if (h.id.machine != platform.machine)
        return name + " is a program for another processor (ELF machine " + std::to_string(h.id.machine) +
               ", this computer " + std::to_string(platform.machine) + ")";
    // Position-independent programs are ET_DYN like libraries; a library has no entry point.
    if (h.type != ET_EXEC && !(h.type == ET_DYN && h.entry != 0))
        return name + " is no executable program (an object file or a library)";
    return {};
}

std::string CheckExecutable(const fs::path& file, const ElfIdentity& platform) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return SystemError(file.string());
    // A link could point anywhere; the download is always a plain file.
    if (!S_ISREG(st.st_mode)) return file.string() + " is not a plain file";
    return CheckExecutableHeader(ReadHead(file), platform, file.string());
}

SwapResult ReplaceProgram(const fs::path& programDir, const ElfIdentity& platform) {
    const fs::path program = programDir / kProgramFile;
    const fs::path fresh = programDir / kNewProgramFile;
    const fs::path backup = programDir / kProgramBackupFile;
    const std::string unchanged = "; the program is unchanged";
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(fresh, ec)))
        return {false, "no new program to install: " + fresh.string() + " does not exist" + unchanged};
    if (std::string why = CheckExecutable(fresh, platform); !why.empty()) return {false, why + unchanged};

    struct stat old {};
    const bool hasOld = ::stat(program.c_str(), &old) == 0;
    struct stat freshStat {};
    if (::stat(fresh.c_str(), &freshStat) != 0) return {false, SystemError(fresh.string()) + unchanged};

    bool madeBackup = false;
    if (hasOld && !fs::exists(fs::symlink_status(backup, ec))) {
        // A second name for the old file: no copy, and the old program stays where it is.
        if (::link(program.c_str(), backup.c_str()) != 0) {
            const fs::path temp = programDir / (std::string(kProgramBackupFile) + ".tmp");
            fs::copy_file(program, temp, fs::copy_options::overwrite_existing, ec);
            if (ec || ::rename(temp.c_str(), backup.c_str()) != 0) {
                const std::string why = ec ? ec.message() : std::strerror(errno);
                fs::remove(temp, ec);
                return {false, "cannot keep the old program as " + backup.string() + ": " + why + unchanged};
            }
        }
        madeBackup = true;
    }
    const auto undo = [&](const std::string& why) {
        ::chmod(fresh.c_str(), freshStat.st_mode & 07777);
        if (madeBackup) ::unlink(backup.c_str());
        return SwapResult{false, why + unchanged};
    };

    // The new program runs with the old one's mode, and is on disk before its name is.
    const int fd = ::open(fresh.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return undo(SystemError(fresh.string()));
    const mode_t mode = hasOld ? (old.st_mode & 07777) : 0755;
    const bool prepared = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const std::string prepareError = prepared ? "" : SystemError(fresh.string());
    ::close(fd);
    if (!prepared) return undo(prepareError);

    // One rename: whoever starts the program gets the old one or the new one, never a part.
    if (::rename(fresh.c_str(), program.c_str()) != 0)
        return undo(SystemError("cannot put " + fresh.string() + " in place of " + program.string()));
    if (const int dir = ::open(programDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    std::string message = fresh.string() + " installed as " + program.string();
    if (madeBackup)
        message += "; the previous program is kept as " + backup.string();
    else if (hasOld)
        message += "; " + backup.string() + " (the last program that started) is kept";
    return {true, message};
}

bool AppendLogLine(const fs::path& file, const std::string& who, const std::string& line) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const std::string text = std::string(stamp) + " " + who + ": " + line + "\n";
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

bool AppendUpdateLog(const fs::path& programDir, const std::string& who, const std::string& line) {
    return AppendLogLine(programDir / kUpdateLogFile, who, line);
}

}  // namespace tarvik::updater
