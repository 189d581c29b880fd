// The online update against a real FTP server on 127.0.0.1 (pyftpdlib): the libcurl transfer in
// its modes, failures of the server, a server that lies about sizes, and tarvik-cli update.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "data/language.hpp"
#include "net/ftp_transfer.hpp"
#include "project/online_update.hpp"
#include "support/cli_run.hpp"
#include "support/ftp_server.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using cli_test::Q;
using cli_test::ReadWhole;
using test::FtpServer;
using test::HaveFtpServer;
using test::WriteDated;

class NoUi : public UpdateUi {
public:
    void ShowProgress() override {}
    void HideProgress() override {}
    void Status(const std::string&) override {}
    void SetRange(std::uint64_t) override {}
    void SetPosition(std::uint64_t) override {}
    bool Confirm(const std::string&) override {
        if (before) before();
        return true;
    }
    void Tell(const std::string& m) override { told.push_back(m); }
    bool Cancelled() override { return false; }
    std::function<void()> before;  // runs when the question is asked: the server changes under us
    std::vector<std::string> told;
};

class UpdateServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveFtpServer()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
        test::UseLanguage(2);
        work = cli_test::TempDir("tarvik_ftp_", ::testing::UnitTest::GetInstance()->current_test_info()->name());
        root = work / "server";
        program = work / "program";
        fs::create_directories(root / "upd");
        fs::create_directories(program);
        old = std::time(nullptr) - 86400 * 3;
        fresh = std::time(nullptr) - 3600;
    }
    void TearDown() override {
        if (!work.empty()) fs::remove_all(work);
    }
    CurlFtpTransfer::Options Options(int port, bool tls = false) {
        CurlFtpTransfer::Options o;
        o.endpoint.host = "127.0.0.1";
        o.endpoint.port = port;
        o.endpoint.tls = tls;
        o.connectTimeoutSeconds = 5;
        o.stallSeconds = 5;
        return o;
    }
    // Everything under the work folder but the server and the log, with sizes.
    std::map<std::string, std::uintmax_t> Snapshot() {
        std::map<std::string, std::uintmax_t> out;
        for (const auto& e : fs::recursive_directory_iterator(work)) {
            const std::string rel = fs::relative(e.path(), work).string();
            if (rel.rfind("server", 0) == 0 || e.path().filename() == kUpdateLogName || rel == "port") continue;
            out[rel] = e.is_regular_file() ? e.file_size() : 0;
        }
        return out;
    }

    fs::path work, root, program;
    std::int64_t old = 0, fresh = 0;
};

TEST_F(UpdateServer, TransferModesPlanAndDownload) {
    WriteDated(root / "upd" / "a.tkd", "new data", fresh);
    WriteDated(root / "upd" / "2" / "dbv" / "s.dbv", std::string(100000, 's'), fresh);
    WriteDated(root / "upd" / "2" / "dir" / "x", "a directory is skipped", fresh);
    const std::string cert = (work / "cert.pem").string(), key = (work / "key.pem").string();
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                           "-addext subjectAltName=IP:127.0.0.1 -keyout '" + key + "' -out '" + cert + "' 2>/dev/null")
                              .c_str()),
              0);

    struct Case { const char* what; std::vector<std::string> serverArgs; bool passive, tls, expectList; };
    const Case cases[] = {
        {"active, MLSD", {}, false, false, false},
        {"passive", {}, true, false, false},
        {"LIST when MLSD is refused", {"--no-mlsd"}, false, false, true},
        {"explicit TLS", {"--tls", cert, key}, true, true, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(program);
        WriteDated(program / "a.tkd", "old", old);
        FtpServer server(root, work, c.serverArgs);
        ASSERT_NE(server.port(), 0) << c.what;
        auto options = Options(server.port(), c.tls);
        options.endpoint.passive = c.passive;
        if (c.tls) options.endpoint.caFile = cert;
        CurlFtpTransfer ftp(options);
        ftp.Connect();
        UpdateLog log(program / kUpdateLogName);
        const UpdatePlan plan = BuildUpdatePlan(ftp, {"upd", 2, program, "tarvik"}, log);
        EXPECT_EQ(ftp.usingList(), c.expectList) << c.what;
        ASSERT_EQ(plan.files.size(), 2u) << c.what;
        EXPECT_EQ(plan.files[1].remotePath, "/upd/2/dbv/s.dbv");
        EXPECT_EQ(plan.files[1].size, 100000u);
        EXPECT_EQ(plan.missingDirs, std::vector<std::string>{}) << c.what;
        for (const auto& f : plan.files) {
            std::string error;
            EXPECT_TRUE(DownloadPlannedFile(ftp, f, program, error)) << c.what << ": " << error;
        }
        EXPECT_EQ(ReadWhole(program / "a.tkd"), "new data") << c.what;
        EXPECT_EQ(fs::file_size(program / "dbv" / "s.dbv"), 100000u) << c.what;
        // The server's times come through to the second.
        WriteDated(program / "a.tkd", "new data", fresh);
        EXPECT_TRUE(BuildUpdatePlan(ftp, {"upd", 2, program, "tarvik"}, log).files.empty()) << c.what;
        WriteDated(program / "a.tkd", "new data", fresh - 1);
        EXPECT_EQ(BuildUpdatePlan(ftp, {"upd", 2, program, "tarvik"}, log).files.size(), 1u) << c.what;
    }
}

TEST_F(UpdateServer, ServerFailuresEndTheRun) {
    FtpServer server(root, work, {"--user", "u", "--password", "right"});
    ASSERT_NE(server.port(), 0);
    auto options = Options(server.port());
    options.credentials = {"u", "wrong"};
    CurlFtpTransfer refused(options);
    EXPECT_THROW(refused.Connect(), FtpError);

    options.credentials = {"u", "right"};
    CurlFtpTransfer ok(options);
    ok.Connect();
    EXPECT_FALSE(ok.List("/no/such/dir").has_value());
    EXPECT_TRUE(ok.List("/upd").has_value());

    // A port nobody listens on: the run ends, records the month and lets the start continue.
    server.Stop();
    CurlFtpTransfer down(options);
    NoUi ui;
    OnlineUpdateInputs in;
    in.settings = {"127.0.0.1", "upd", 1, 0};
    in.programDir = program;
    in.monthKey = 202612;
    const UpdateSummary s = RunOnlineUpdate(in, &down, ui);
    EXPECT_TRUE(s.serverFailed);
    EXPECT_TRUE(s.startMayContinue);
    EXPECT_EQ(LoadUpdateSettings(program / "tarvik.ini").updateData, 202612);
}

TEST_F(UpdateServer, LyingServerChangesNothingButTheLog) {
    WriteDated(root / "upd" / "grows.tkd", std::string(5000, 'g'), fresh);
    WriteDated(root / "upd" / "shrinks.tkd", std::string(5000, 's'), fresh);
    // A 3 GB file that takes no disk: announced, never fetched.
    { std::ofstream(root / "upd" / "huge.tkd"); }
    fs::resize_file(root / "upd" / "huge.tkd", 3ull << 30);
    WriteDated(program / "grows.tkd", "old grows", old);
    WriteDated(program / "shrinks.tkd", "old shrinks", old);
    WriteDated(program / "tarvik.ini", "[FTP]\nServer=x\n");
    FtpServer server(root, work, {});
    ASSERT_NE(server.port(), 0);
    CurlFtpTransfer ftp(Options(server.port()));

    NoUi ui;
    ui.before = [&] {  // after the plan: one file grows, one is cut short
        std::ofstream(root / "upd" / "grows.tkd", std::ios::app) << std::string(100000, 'x');
        fs::resize_file(root / "upd" / "shrinks.tkd", 100);
    };
    const auto before = Snapshot();
    OnlineUpdateInputs in;
    in.settings = {"127.0.0.1", "upd", 1, 0};
    in.programDir = program;
    in.monthKey = 202612;
    const UpdateSummary s = RunOnlineUpdate(in, &ftp, ui);
    ASSERT_FALSE(s.serverFailed) << s.error;
    ASSERT_EQ(s.plan.skipped.size(), 1u);
    EXPECT_EQ(s.plan.skipped[0].remotePath, "/upd/huge.tkd");
    EXPECT_EQ(s.failed, (std::vector<std::string>{"grows.tkd", "shrinks.tkd"}));
    auto after = Snapshot();
    after.erase("program/tarvik.ini");
    auto expected = before;
    expected.erase("program/tarvik.ini");
    EXPECT_EQ(after, expected);
    EXPECT_EQ(ReadWhole(program / "grows.tkd"), "old grows");
    const std::string log = ReadWhole(program / kUpdateLogName);
    EXPECT_NE(log.find("more than the announced 5000"), std::string::npos) << log;
    EXPECT_NE(log.find("refused /upd/huge.tkd"), std::string::npos) << log;
}

TEST_F(UpdateServer, CommandLine) {
    fs::copy(fs::path(TARVIK_PROGRAM_DIR_FOR_TESTS) / "TarvikD2", program / "TarvikD2", fs::copy_options::recursive);
    WriteDated(root / "upd" / "extra.tkd", "newer data", fresh);
    WriteDated(root / "upd" / "Tarvik.exe", "new program", fresh);
    WriteDated(program / "extra.tkd", "old data", old);
    WriteDated(program / "tarvik", "old program", old);
    FtpServer server(root, work, {});
    ASSERT_NE(server.port(), 0);
    const std::string url = "ftp://127.0.0.1:" + std::to_string(server.port());
    auto cli = [&](const std::string& args) {
        return cli_test::Cli("update " + args + " --program-dir " + Q(program) + " --lang 2", work);
    };

    // No server configured: a configuration error.
    WriteDated(program / "tarvik.ini", "[Setup]\nLang=2\n");
    EXPECT_EQ(cli("--dry-run").exitCode, 2);
    WriteDated(program / "tarvik.ini", "[Setup]\nLang=2\n[FTP]\nServer=gopher://x\n");
    EXPECT_EQ(cli("--dry-run").exitCode, 2);

    WriteDated(program / "tarvik.ini", "[Setup]\nLang=2\n[FTP]\nServer=" + url + "\nDir=upd\n");
    const auto before = Snapshot();
    auto run = cli("--dry-run");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"local\": \"Tarvik.new\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"remote\": \"/upd/extra.tkd\""), std::string::npos) << run.out;
    auto afterDry = Snapshot();
    afterDry.erase("stdout.txt");
    afterDry.erase("stderr.txt");
    auto expected = before;
    expected.erase("stdout.txt");
    expected.erase("stderr.txt");
    EXPECT_EQ(afterDry, expected);

    run = cli("--yes");
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_EQ(ReadWhole(program / "extra.tkd"), "newer data");
    EXPECT_EQ(ReadWhole(program / "Tarvik.new"), "new program");
    EXPECT_NE(run.out.find("\"programDownloaded\": true"), std::string::npos) << run.out;
    EXPECT_EQ(LoadUpdateSettings(program / "tarvik.ini").updateData, CurrentMonthKey());

    // The server stopped: exit 1.
    server.Stop();
    EXPECT_EQ(cli("--yes").exitCode, 1);
}

}  // namespace
}  // namespace tarvik
