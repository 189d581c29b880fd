#pragma once
// A throw-away FTP server on 127.0.0.1 (pyftpdlib, tests/support/ftp_server.py) for the online
// update's tests, and files with a chosen modification time for it to serve.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::test {

inline constexpr char kPython[] = "/usr/bin/python3";

inline bool HaveFtpServer() {
    static const bool have = std::system((std::string(kPython) + " -c 'import pyftpdlib' 2>/dev/null").c_str()) == 0;
    return have;
}

// Writes `content` to `p` (parents made) and dates it `modified` seconds after the epoch (0: now).
inline void WriteDated(const std::filesystem::path& p, const std::string& content, std::int64_t modified = 0) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
    if (modified) {
        const timespec t[2] = {{static_cast<time_t>(modified), 0}, {static_cast<time_t>(modified), 0}};
        ::utimensat(AT_FDCWD, p.c_str(), t, 0);
    }
}

// The server process of one test serving `root`, stopped (by its pid) when the test ends.
// port() is 0 when it did not come up.
class FtpServer {
public:
    FtpServer(const std::filesystem::path& root, const std::filesystem::path& work,
              const std::vector<std::string>& extra) {
        const std::filesystem::path portFile = work / "port";
        std::filesystem::remove(portFile);
        std::vector<std::string> args{kPython, std::string(TARVIK_SOURCE_DIR) + "/tests/support/ftp_server.py",
                                      root.string(), portFile.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::execv(kPython, argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream in(portFile);
            const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            // The script renames the finished number into place once it listens.
            if (!text.empty()) port_ = std::atoi(text.c_str());
        }
    }
    ~FtpServer() { Stop(); }
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;
    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace tarvik::test
