#include "data/program_dir.hpp"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace tarvik {
namespace {

std::filesystem::path& Stored() {
    static std::filesystem::path dir = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) return std::filesystem::current_path(ec);
        return exe.parent_path();
    }();
    return dir;
}

}  // namespace

const std::filesystem::path& ProgramDir() { return Stored(); }

void SetProgramDir(const std::filesystem::path& dir) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(dir, ec);
    Stored() = ec ? dir : abs.lexically_normal();
    // No trailing separator, as every file is addressed as ProgramDir / name.
    if (!Stored().has_filename() && Stored().has_parent_path() && Stored() != Stored().root_path())
        Stored() = Stored().parent_path();
}

std::filesystem::path WorkingFilePath(const std::filesystem::path& programDir, const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path inProgramDir = programDir / name;
    std::error_code ec;
    // A file that is there must be writable itself; a new one needs a writable folder.
    const fs::path probe = fs::exists(inProgramDir, ec) ? inProgramDir : programDir;
    if (::access(probe.c_str(), W_OK) == 0) return inProgramDir;
    fs::path state;
    if (const char* x = std::getenv("XDG_STATE_HOME"); x && *x == '/') state = x;
    else if (const char* h = std::getenv("HOME"); h && *h == '/') state = fs::path(h) / ".local" / "state";
    else return inProgramDir;
    const fs::path dir = state / "tarvik";
    fs::create_directories(dir, ec);
    if (::access(dir.c_str(), W_OK) != 0) return inProgramDir;
    return dir / name;
}

}  // namespace tarvik
