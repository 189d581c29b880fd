// tarvik-update: puts a downloaded program (Tarvik.new) in place of the program and starts it.
// The program hands over to it at exit after an online update brought a new program file.
//   tarvik-update [PROGRAM_DIR]
// Without an argument, or with its own path, the program folder is the one tarvik-update lies
// in. Exit status: 1 when nothing was changed (no or unfit Tarvik.new, a file error), 2 for a
// wrong command line, 3 when the new program is in place but could not be started; on success
// the program runs in its place.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "updater/program_files.hpp"
#include "updater/program_swap.hpp"

namespace fs = std::filesystem;
using namespace tarvik;

namespace {

// Seen on the terminal, if there is one, and in update.log in any case.
void Report(const fs::path& dir, const std::string& message, bool failure) {
    std::FILE* out = failure ? stderr : stdout;
    std::fprintf(out, "tarvik-update: %s\n", message.c_str());
    std::fflush(out);  // the program about to run in this process would not write it out
    if (!updater::AppendUpdateLog(dir, kUpdaterFile, message) && failure)
        std::fprintf(stderr, "tarvik-update: cannot write %s\n", (dir / kUpdateLogFile).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::error_code ec;
    fs::path dir;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: tarvik-update [PROGRAM_DIR]\n");
        return 2;
    }
    if (argc == 2) {
        dir = argv[1];
        if (fs::is_regular_file(dir, ec)) dir = dir.parent_path();
    } else {
        dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
        if (ec) {
            std::fprintf(stderr, "tarvik-update: cannot find its own folder: %s\n", ec.message().c_str());
            return 1;
        }
    }
    if (dir.empty()) dir = ".";
    if (!fs::is_directory(dir, ec)) {
        std::fprintf(stderr, "tarvik-update: %s is no folder\n", dir.c_str());
        return 2;
    }

    updater::ElfIdentity platform;
    std::string error;
    if (!updater::ThisPlatform(platform, error)) {
        Report(dir, error + "; the program is unchanged", true);
        return 1;
    }
    const updater::SwapResult swap = updater::ReplaceProgram(dir, platform);
    Report(dir, swap.message, !swap.ok);
    if (!swap.ok) return 1;

    const std::string program = (dir / kProgramFile).string();
    char* const args[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), args);
    Report(dir, "cannot start " + program + ": " + std::strerror(errno), true);
    return 3;
}
