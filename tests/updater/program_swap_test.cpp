// tarvik-update: a fit Tarvik.new replaces the program in one step with the old one kept; an unfit
// or missing one changes nothing; the program removes the backup after its next good start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "project/app_start.hpp"
#include "support/cli_run.hpp"
#include "updater/program_files.hpp"
#include "updater/program_swap.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using cli_test::Q;
using cli_test::ReadWhole;
using cli_test::TempDir;

// A small ELF program of this computer that ends at once with status 0.
constexpr const char* kSystemProgram = "/bin/true";

void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

mode_t Mode(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

// A program folder with an old program (a script, mode 0750) and a Tarvik.new made by `make`.
struct Folder {
    fs::path dir;
    explicit Folder(const std::string& name) : dir(TempDir("tarvik-update-", name)) {
        Write(dir / kProgramFile, "#!/bin/sh\nexit 7\n");
        fs::permissions(dir / kProgramFile, fs::perms(0750));
    }
    ~Folder() { fs::remove_all(dir); }
    fs::path New() const { return dir / kNewProgramFile; }
    // A copy of the system program with `patch` bytes written at `offset`.
    void NewElf(std::size_t offset = 0, const std::string& patch = "") const {
        std::string bytes = ReadWhole(kSystemProgram);
        bytes.replace(offset, patch.size(), patch);
        Write(New(), bytes);
        fs::permissions(New(), fs::perms(0644));
    }
};

updater::ElfIdentity Platform() {
    updater::ElfIdentity id;
    std::string error;
    EXPECT_TRUE(updater::ThisPlatform(id, error)) << error;
    return id;
}

TEST(ProgramSwap, FitProgramReplacesTheOldOneWhichIsKept) {
    Folder f("fit");
    const std::string oldProgram = ReadWhole(f.dir / kProgramFile);
    f.NewElf();
    const updater::SwapResult r = updater::ReplaceProgram(f.dir, Platform());
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(ReadWhole(f.dir / kProgramFile), ReadWhole(kSystemProgram));
    EXPECT_EQ(Mode(f.dir / kProgramFile), 0750u);  // the old program's mode
    EXPECT_EQ(ReadWhole(f.dir / kProgramBackupFile), oldProgram);
    EXPECT_FALSE(fs::exists(f.New()));

    // A second update before the new program has started keeps the backup that did start.
    f.NewElf();
    ASSERT_TRUE(updater::ReplaceProgram(f.dir, Platform()).ok);
    EXPECT_EQ(ReadWhole(f.dir / kProgramBackupFile), oldProgram);
}

TEST(ProgramSwap, UnfitOrMissingNewProgramChangesNothing) {
    // Offsets into the ELF header: 4 class, 16 type, 18 machine, 24 entry point.
    struct Case {
        const char* name;
        std::function<void(const Folder&)> make;
        const char* says;
    };
    const Case cases[] = {
        {"text", [](const Folder& f) { Write(f.New(), "#!/bin/sh\necho hello\n"); }, "not a program"},
        {"short", [](const Folder& f) { Write(f.New(), "\x7f" "ELF\x02\x01\x01"); }, "not a program"},
        {"machine", [](const Folder& f) { f.NewElf(18, std::string("\xb7\x00", 2)); }, "another processor"},
        {"class", [](const Folder& f) { f.NewElf(4, "\x01"); }, "32-bit program"},
        {"library", [](const Folder& f) { f.NewElf(24, std::string(8, '\0')); }, "no executable"},
        {"object", [](const Folder& f) { f.NewElf(16, std::string("\x01\x00", 2)); }, "no executable"},
        {"link", [](const Folder& f) { fs::create_symlink(kSystemProgram, f.New()); }, "not a plain file"},
        {"missing", [](const Folder&) {}, "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f(c.name);
        c.make(f);
        const std::string oldProgram = ReadWhole(f.dir / kProgramFile);
        const std::string fresh = ReadWhole(f.New());
        const updater::SwapResult r = updater::ReplaceProgram(f.dir, Platform());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
        EXPECT_NE(r.message.find("unchanged"), std::string::npos) << r.message;
        EXPECT_EQ(ReadWhole(f.dir / kProgramFile), oldProgram);
        EXPECT_EQ(Mode(f.dir / kProgramFile), 0750u);
        EXPECT_FALSE(fs::exists(f.dir / kProgramBackupFile));
        EXPECT_EQ(ReadWhole(f.New()), fresh);
    }
}

TEST(ProgramSwap, TheProgramStartsTheNewProgramOrExplainsWhyNot) {
    Folder f("binary");
    fs::copy_file(TARVIK_UPDATE_PATH, f.dir / kUpdaterFile);
    const auto run = [&] {
        const std::string cmd = Q(f.dir / kUpdaterFile) + " 2>" + Q(f.dir / "err.txt");
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    // Missing: status 1, the reason on the terminal and in the log.
    EXPECT_EQ(run(), 1);
    EXPECT_NE(ReadWhole(f.dir / "err.txt").find("does not exist"), std::string::npos);
    EXPECT_NE(ReadWhole(f.dir / kUpdateLogFile).find("tarvik-update: no new program"), std::string::npos);
    // Fit, reached the way the program hands over at its end: replaced and started (the new
    // program ends with 0, the old one would give 7).
    f.NewElf();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error;
        HandOverToUpdater(f.dir, error);
        ::_exit(99);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadWhole(f.dir / kProgramFile), ReadWhole(kSystemProgram));
    EXPECT_NE(ReadWhole(f.dir / kUpdateLogFile).find("installed"), std::string::npos);
}

TEST(ProgramSwap, HandOverAndTheBackupRemovedAfterAGoodStart) {
    Folder f("handover");
    const UpdaterCommand c = UpdaterCommandFor(f.dir);
    EXPECT_EQ(c.program, f.dir / kUpdaterFile);
    EXPECT_EQ(c.arguments, std::vector<std::string>{(f.dir / kUpdaterFile).string()});
    // No updater in the folder: the program learns why and goes on; the log keeps it.
    std::string error;
    HandOverToUpdater(f.dir, error);
    EXPECT_NE(error.find(kUpdaterFile), std::string::npos) << error;
    EXPECT_NE(ReadWhole(f.dir / kUpdateLogFile).find(error), std::string::npos);

    Write(f.dir / kProgramBackupFile, "old");
    // Started from the backup itself (put back by hand): it stays.
    EXPECT_FALSE(RemoveProgramBackup(f.dir, f.dir / kProgramBackupFile));
    EXPECT_TRUE(fs::exists(f.dir / kProgramBackupFile));
    EXPECT_TRUE(RemoveProgramBackup(f.dir, f.dir / kProgramFile));
    EXPECT_FALSE(fs::exists(f.dir / kProgramBackupFile));
    EXPECT_FALSE(RemoveProgramBackup(f.dir, f.dir / kProgramFile));
}

}  // namespace
}  // namespace tarvik
