// Planning the online update over 1,000 server files: against an in-memory server (the plan's own
// cost: local file checks and comparisons) and against an FTP server on the loopback.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "net/ftp_transfer.hpp"
#include "project/online_update.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 1000;

// 1,000 series files, half of them older in the program folder than on the server.
struct Tree {
    fs::path root = fs::temp_directory_path() / ("tarvik_bench_update_" + std::to_string(::getpid()));
    std::int64_t serverTime = std::time(nullptr) - 3600;
    Tree() {
        fs::remove_all(root);
        fs::create_directories(root / "server" / "upd" / "2" / "dbv");
        fs::create_directories(root / "program" / "dbv");
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "series" + std::to_string(i) + ".dbv";
            Put(root / "server" / "upd" / "2" / "dbv" / name, serverTime);
            Put(root / "program" / "dbv" / name, i % 2 ? serverTime : serverTime - 60);
        }
    }
    ~Tree() { fs::remove_all(root); }
    static void Put(const fs::path& p, std::int64_t t) {
        std::ofstream(p) << "series data";
        const timespec times[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
        ::utimensat(AT_FDCWD, p.c_str(), times, 0);
    }
};

class MemoryServer final : public FtpTransfer {
public:
    explicit MemoryServer(std::int64_t t) {
        for (int i = 0; i < kFiles; ++i)
            entries_.push_back({"series" + std::to_string(i) + ".dbv", false, 11, t});
    }
    void Connect() override {}
    std::optional<std::vector<RemoteEntry>> List(const std::string& dir) override {
        if (dir == "/upd/2/dbv") return entries_;
        return std::nullopt;
    }
    RemoteEntry Stat(const std::string&) override { return {}; }
    bool Download(const std::string&, const Sink&, std::string&) override { return false; }

private:
    std::vector<RemoteEntry> entries_;
};

void BM_UpdatePlanInMemory(benchmark::State& state) {
    Tree tree;
    MemoryServer server(tree.serverTime);
    UpdateLog log("/dev/null");
    for (auto _ : state) {
        const UpdatePlan plan = BuildUpdatePlan(server, {"upd", 2, tree.root / "program", "tarvik"}, log);
        if (plan.files.size() != kFiles / 2) state.SkipWithError("wrong plan");
    }
}
BENCHMARK(BM_UpdatePlanInMemory)->Unit(benchmark::kMillisecond);

void BM_UpdatePlanLoopback(benchmark::State& state) {
    if (std::system("/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null") != 0) {
        state.SkipWithError("python3-pyftpdlib is not installed");
        return;
    }
    Tree tree;
    const fs::path portFile = tree.root / "port";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string script = std::string(TARVIK_SOURCE_DIR) + "/tests/support/ftp_server.py";
        const std::string root = (tree.root / "server").string(), port = portFile.string();
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::execl("/usr/bin/python3", "python3", script.c_str(), root.c_str(), port.c_str(), nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 200 && !fs::exists(portFile); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int port = 0;
    std::ifstream(portFile) >> port;
    CurlFtpTransfer::Options options;
    options.endpoint.host = "127.0.0.1";
    options.endpoint.port = port;
    UpdateLog log("/dev/null");
    for (auto _ : state) {
        // A whole check as at start: connect, log in, list the four directories.
        CurlFtpTransfer ftp(options);
        ftp.Connect();
        const UpdatePlan plan = BuildUpdatePlan(ftp, {"upd", 2, tree.root / "program", "tarvik"}, log);
        if (plan.files.size() != kFiles / 2) state.SkipWithError("wrong plan");
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}
BENCHMARK(BM_UpdatePlanLoopback)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tarvik
