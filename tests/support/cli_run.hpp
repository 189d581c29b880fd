#pragma once
// Running the built tarvik-cli from a test: a scratch folder, the command's exit code and its
// standard output and error.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace tarvik::cli_test {

namespace fs = std::filesystem;

// An empty folder of this test process under the system's temporary folder.
inline fs::path TempDir(const std::string& prefix, const std::string& name) {
    auto dir = fs::temp_directory_path() / (prefix + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

inline std::string ReadWhole(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct CliRun {
    int exitCode;
    std::string out, err;
};

// Runs tarvik-cli with `args` (already quoted for the shell); the output goes through files in `dir`.
inline CliRun Cli(const std::string& args, const fs::path& dir) {
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const std::string cmd = std::string("'") + TARVIK_CLI_PATH + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(out), ReadWhole(err)};
}

inline std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

}  // namespace tarvik::cli_test
