#include "data/program_dir.hpp"

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

}  // namespace tarvik
