// The online update against a scripted server: what is planned, what the user sees, what reaches
// the program folder, and what a hostile or failing server cannot do.
#include <algorithm>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>

#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "project/ftp_listing.hpp"
#include "project/online_update.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// Noon on 8 December 2026 in the local zone, so that a second or a day either side stays a
// calendar second or day.
std::int64_t Noon(int day = 8) {
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = day;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

struct FakeFile {
    std::string content;
    std::uint64_t announced = 0;  // listed size
    std::int64_t modified = 0;
    std::size_t cutAfter = std::string::npos;  // the connection breaks after so many bytes
};

class FakeServer final : public FtpTransfer {
public:
    void Put(const std::string& path, const std::string& content, std::int64_t modified,
             std::optional<std::uint64_t> announced = std::nullopt) {
        files[path] = {content, announced.value_or(content.size()), modified};
        const auto slash = path.rfind('/');
        dirs[path.substr(0, slash == 0 ? 1 : slash)].push_back(path.substr(slash + 1));
    }
    void Connect() override {
        if (down) throw FtpError("connection refused");
    }
    std::optional<std::vector<RemoteEntry>> List(const std::string& dir) override {
        listed.push_back(dir);
        const auto it = dirs.find(dir);
        if (it == dirs.end()) return std::nullopt;
        std::vector<RemoteEntry> out;
        for (const auto& name : it->second) {
            const FakeFile& f = files.at(dir == "/" ? "/" + name : dir + "/" + name);
            out.push_back({name, false, f.announced, f.modified});
        }
        return out;
    }
    RemoteEntry Stat(const std::string&) override { return {}; }
    bool Download(const std::string& path, const Sink& sink, std::string& error) override {
        const FakeFile& f = files.at(path);
        const std::string sent = f.content.substr(0, f.cutAfter);
        for (std::size_t i = 0; i < sent.size(); i += 1000)
            if (!sink(sent.data() + i, std::min<std::size_t>(1000, sent.size() - i))) {
                error = "aborted";
                return false;
            }
        if (f.cutAfter != std::string::npos) error = "connection lost";
        return f.cutAfter == std::string::npos;
    }

    std::map<std::string, FakeFile> files;
    std::map<std::string, std::vector<std::string>> dirs;
    std::vector<std::string> listed;
    bool down = false;
};

class RecordingUi final : public UpdateUi {
public:
    void ShowProgress() override { events.push_back("show"); }
    void HideProgress() override { events.push_back("hide"); }
    void Status(const std::string& text) override { status.push_back(text); }
    void SetRange(std::uint64_t total) override { range = total; }
    void SetPosition(std::uint64_t done) override { position = done; }
    bool Confirm(const std::string& q) override {
        question = q;
        return answer;
    }
    void Tell(const std::string& m) override { told.push_back(m); }
    bool Cancelled() override { return cancel; }

    bool answer = true, cancel = false;
    std::vector<std::string> events, status, told;
    std::string question;
    std::uint64_t range = 0, position = 0;
};

class OnlineUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseLanguage(2);
        dir = fs::temp_directory_path() / ("tarvik_update_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "dbv");
    }
    void TearDown() override { fs::remove_all(dir); }

    void Local(const std::string& name, const std::string& content, std::int64_t modified) {
        std::ofstream(dir / name, std::ios::binary) << content;
        const timespec times[2] = {{static_cast<time_t>(modified), 0}, {static_cast<time_t>(modified), 0}};
        ::utimensat(AT_FDCWD, (dir / name).c_str(), times, 0);
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    UpdatePlan Plan(int lang = 0) {
        UpdateLog log(dir / kUpdateLogName);
        return BuildUpdatePlan(server, {"Dir", lang, dir, "tarvik"}, log);
    }
    UpdateSummary Run() {
        OnlineUpdateInputs in;
        in.settings.server = "ftp.example";
        in.settings.dir = "Dir";
        in.programDir = dir;
        in.monthKey = 202612;
        return RunOnlineUpdate(in, &server, ui);
    }
    // Everything in the program folder, names with sizes.
    std::map<std::string, std::uintmax_t> Listing() {
        std::map<std::string, std::uintmax_t> out;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            out[fs::relative(e.path(), dir).string()] = e.is_regular_file() ? e.file_size() : 0;
        return out;
    }

    fs::path dir;
    FakeServer server;
    RecordingUi ui;
};

TEST_F(OnlineUpdate, ComparisonRules) {
    struct Case {
        const char* what;
        bool program;
        std::string local;  // "" = no local file
        std::int64_t localTime;
        std::string remote;
        std::int64_t remoteTime;
        bool planned;
    };
    const std::int64_t t = Noon();
    const Case cases[] = {
        {"same size and time", false, "abc", t, "abc", t, false},
        {"local one second older", false, "abc", t - 1, "abc", t, true},
        {"one byte different", false, "abc", t, "abcd", t, true},
        {"local newer", false, "abc", t + 3600, "abc", t, false},
        {"no local file", false, "", 0, "abc", t, true},
        {"program: same day, later hour", true, "prog", t - 3600, "prog", t + 3600, false},
        {"program: a day newer", true, "prog", Noon(7), "prog", t, true},
        {"program: other size", true, "prog", t, "prog2", t, true},
        {"program: none installed", true, "", 0, "prog", t, false},
    };
    for (const Case& c : cases) {
        SetUp();
        server = FakeServer();
        const std::string local = c.program ? "tarvik" : "m.tkd";
        if (!c.local.empty()) Local(local, c.local, c.localTime);
        server.Put(c.program ? "/Dir/Tarvik.exe" : "/Dir/m.tkd", c.remote, c.remoteTime);
        const UpdatePlan plan = Plan();
        EXPECT_EQ(plan.files.size(), c.planned ? 1u : 0u) << c.what;
        EXPECT_EQ(plan.newProgram, c.program && c.planned) << c.what;
        if (c.planned) {
            EXPECT_EQ(plan.files[0].localName, c.program ? "Tarvik.new" : "m.tkd") << c.what;
        }
    }
}

TEST_F(OnlineUpdate, FiveFilesNumberedAndDownloadedThenMonthStoredWithTab) {
    const std::int64_t t = Noon();
    Local("tarvik", "old program", Noon(1));
    Local("a.tkd", "old", t);
    server.Put("/Dir/a.tkd", "new data", t);
    server.Put("/Dir/readme.txt", "not a data file", t);  // "*.tkd" only
    server.Put("/Dir/Tarvik.exe", "new program", t);
    server.Put("/Dir/0/dbv/s1.dbv", "series 1", t);
    server.Put("/Dir/0/dbv/s2.dbv", "series 2", t);
    server.Put("/Dir/0/70-texts.txt", "texts", t);

    const UpdateSummary s = Run();
    EXPECT_EQ(ui.question, GetText(kMsgUpdateQuestion) +
                               "\n\t 1. a.tkd\n\t 2. s1.dbv\n\t 3. s2.dbv\n\t 4. 70-texts.txt\n\t 5. Tarvik.exe\n");
    const std::vector<std::string> status{
        GetText(kMsgUpdateConnecting), GetText(kMsgUpdateConnected),
        "Downloading a.tkd (1./5)", "Downloading dbv/s1.dbv (2./5)", "Downloading dbv/s2.dbv (3./5)",
        "Downloading TarvikD0/70-texts.txt (4./5)", "Downloading Tarvik.exe(5./5)"};
    EXPECT_EQ(ui.status, status);
    EXPECT_EQ(ui.range, 8u + 8 + 8 + 5 + 11);
    EXPECT_EQ(ui.position, ui.range);
    EXPECT_EQ(ui.told, std::vector<std::string>{GetText(kMsgUpdateProgramDownloaded)});
    EXPECT_EQ(ui.events, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(s.startMayContinue);
    EXPECT_EQ(Read("a.tkd"), "new data");
    EXPECT_EQ(Read("dbv/s2.dbv"), "series 2");
    EXPECT_EQ(Read("Tarvik.new"), "new program");
    EXPECT_EQ(Read("tarvik"), "old program");  // the updater replaces it, not the update
    EXPECT_NE(fs::status(dir / "Tarvik.new").permissions() & fs::perms::owner_exec, fs::perms::none);

    // "UpdateData" is written with its leading tab and reads back as the month.
    EXPECT_NE(Read("tarvik.ini").find("UpdateData=\t202612"), std::string::npos);
    EXPECT_EQ(LoadUpdateSettings(dir / "tarvik.ini").updateData, 202612);
    EXPECT_NE(Read(kUpdateLogName).find("downloaded dbv/s1.dbv"), std::string::npos);
}

TEST_F(OnlineUpdate, ServerDirectoriesFollowDirAndLang) {
    server.Put("/D/3/dbv/x.dbv", "x", Noon());
    server.Put("/D/3/30-form.txt", "t", Noon());  // a text file of the German pack
    server.Put("/D/3/help.pdf", "h", Noon());
    UpdateLog log(dir / kUpdateLogName);
    const UpdatePlan plan = BuildUpdatePlan(server, {"/D/", 3, dir, "tarvik"}, log);
    EXPECT_EQ(server.listed, (std::vector<std::string>{"/D", "/D/3/dbv", "/D/3"}));
    ASSERT_EQ(plan.files.size(), 3u);
    EXPECT_EQ(plan.files[0].remotePath, "/D/3/dbv/x.dbv");
    EXPECT_EQ(plan.files[0].localName, "dbv/x.dbv");
    std::vector<std::string> langFiles{plan.files[1].localName, plan.files[2].localName};
    std::sort(langFiles.begin(), langFiles.end());
    EXPECT_EQ(langFiles, (std::vector<std::string>{"TarvikD3/30-form.txt", "help.pdf"}));
    // Missing directories skip their group only.
    EXPECT_EQ(plan.missingDirs, (std::vector<std::string>{"/D"}));
    EXPECT_EQ(UpdateServerDir("", 2, UpdateGroup::Series), "/2/dbv");
    EXPECT_EQ(UpdateServerDir("", 2, UpdateGroup::Data), "/");
}

TEST_F(OnlineUpdate, HostileNamesAreRefusedAndChangeNothingButTheLog) {
    const std::int64_t t = Noon();
    Local("tarvik.ini", "[FTP]\nServer=x\n", t);
    for (const char* name : {"../tarvik.ini", "dbv/../../x", "/etc/x", "tarvik.ini", "Tarvik.exe",
                             "tarvik", ".hidden", "a\nb", "..\\x.tkd"})
        server.dirs["/Dir/0"].push_back(name), server.files["/Dir/0/" + std::string(name)] = {"evil", 4, t};
    server.dirs["/Dir"].push_back("..\\up.tkd");
    server.files["/Dir/..\\up.tkd"] = {"evil", 4, t};
    server.Put("/Dir/0/dbv/big.dbv", "", t, 2'000'000'000ull);  // announced 2 GB: not trusted
    const auto before = Listing();

    const UpdatePlan plan = Plan();
    EXPECT_TRUE(plan.files.empty());
    EXPECT_EQ(plan.skipped.size(), 11u);
    for (const char* name : {"../tarvik.ini", "dbv/../../x", "/etc/x", "tarvik.ini", "Tarvik.exe", "..\\x.tkd"}) {
        std::string reason;
        EXPECT_FALSE(AcceptRemoteName(name, UpdateGroup::Language, reason)) << name;
    }
    std::string reason;
    EXPECT_TRUE(AcceptRemoteName("Tarvik.exe", UpdateGroup::Program, reason));
    EXPECT_TRUE(AcceptRemoteName("70-texts v2.txt", UpdateGroup::Language, reason));

    Run();
    ASSERT_EQ(ui.told.size(), 1u);  // one message naming every refused file, no question
    EXPECT_NE(ui.told[0].find("/Dir/0/../tarvik.ini"), std::string::npos);
    EXPECT_TRUE(ui.question.empty());
    auto after = Listing();
    after.erase(kUpdateLogName);
    after.erase("tarvik.ini");
    auto expected = before;
    expected.erase("tarvik.ini");
    EXPECT_EQ(after, expected);
}

TEST_F(OnlineUpdate, FailedDownloadsLeaveTheOldFileWhole) {
    struct Case { const char* what; std::uint64_t announced; std::size_t cutAfter; };
    const Case cases[] = {
        {"sends more than announced", 5000, std::string::npos},
        {"connection cut in the middle", 9000, 4000},
        {"sends less than announced", 12000, std::string::npos},
    };
    for (const Case& c : cases) {
        SetUp();
        server = FakeServer();
        ui = RecordingUi();
        Local("m.tkd", "old and whole", Noon(1));
        server.Put("/Dir/m.tkd", std::string(9000, 'n'), Noon(), c.announced);
        server.files["/Dir/m.tkd"].cutAfter = c.cutAfter;
        server.Put("/Dir/ok.tkd", "fine", Noon());
        const UpdateSummary s = Run();
        EXPECT_EQ(Read("m.tkd"), "old and whole") << c.what;
        EXPECT_EQ(s.failed, std::vector<std::string>{"m.tkd"}) << c.what;
        EXPECT_EQ(Read("ok.tkd"), "fine") << c.what;  // the others continue
        EXPECT_EQ(ui.told, (std::vector<std::string>{"The file m.tkd could not be downloaded.", GetText(kMsgUpdateDone)}))
            << c.what;
        EXPECT_FALSE(fs::exists(dir / ".m.tkd.download")) << c.what;
        EXPECT_TRUE(s.startMayContinue);
    }
}

TEST_F(OnlineUpdate, RunsThatEndEarlyStillRecordTheMonth) {
    Local("m.tkd", "old", Noon(1));
    server.Put("/Dir/m.tkd", "new", Noon());
    struct Case { const char* what; bool down, answer, noServer, cancel; };
    for (const Case c : {Case{"server down", true, true, false, false}, Case{"user says No", false, false, false, false},
                         Case{"no server", false, true, true, false}, Case{"cancelled", false, true, false, true}}) {
        fs::remove(dir / "tarvik.ini");
        server.down = c.down;
        ui = RecordingUi();
        ui.answer = c.answer;
        ui.cancel = c.cancel;
        OnlineUpdateInputs in;
        in.settings.server = c.noServer ? "" : "ftp.example";
        in.settings.dir = "Dir";
        in.programDir = dir;
        in.monthKey = 202612;
        const UpdateSummary s = RunOnlineUpdate(in, &server, ui);
        EXPECT_TRUE(s.startMayContinue) << c.what;
        EXPECT_EQ(s.serverFailed, c.down) << c.what;
        EXPECT_EQ(Read("m.tkd"), "old") << c.what;
        EXPECT_EQ(s.cancelled, c.cancel) << c.what;
        EXPECT_EQ(ui.told.empty(), !c.cancel) << c.what;  // a cancelled run still closes with its message
        EXPECT_EQ(LoadUpdateSettings(dir / "tarvik.ini").updateData, 202612) << c.what;
        if (!c.noServer) {
            EXPECT_EQ(ui.events, (std::vector<std::string>{"show", "hide"})) << c.what;
        }
    }
}

TEST(UpdateConfiguration, ServerTextAndCredentials) {
    struct Case { const char* server; bool tlsKey; bool ok; const char* host; int port; bool tls; };
    const Case cases[] = {
        {"ftp.example.com", false, true, "ftp.example.com", 21, false},
        {"ftp://127.0.0.1:2121", false, true, "127.0.0.1", 2121, false},
        {"ftps://host/", false, true, "host", 21, true},
        {"host:990", true, true, "host", 990, true},
        {"[::1]:21", false, true, "[::1]", 21, false},
        {"http://host", false, false, "", 0, false},
        {"host:99999", false, false, "", 0, false},
        {"user@host", false, false, "", 0, false},
        {"", false, false, "", 0, false},
    };
    for (const Case& c : cases) {
        FtpEndpoint e;
        std::string error;
        ASSERT_EQ(ParseFtpServer(c.server, c.tlsKey, e, error), c.ok) << c.server;
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(e.host, c.host);
        EXPECT_EQ(e.port, c.port) << c.server;
        EXPECT_EQ(e.tls, c.tls) << c.server;
    }

    const fs::path d = fs::temp_directory_path() / ("tarvik_cred_" + std::to_string(::getpid()));
    fs::create_directories(d);
    std::ofstream(d / "tarvik.ini") << "[FTP]\nServer=h\n";
    std::ofstream(d / "user.ini") << "[FTP]\nUser=u\nPassword=p\n";
    std::string note;
    ::chmod((d / "user.ini").c_str(), 0644);  // others may read it: not used
    EXPECT_TRUE(LoadUpdateCredentials(d / "tarvik.ini", d / "user.ini", note).user.empty());
    EXPECT_FALSE(note.empty());
    ::chmod((d / "user.ini").c_str(), 0600);
    const UpdateCredentials own = LoadUpdateCredentials(d / "tarvik.ini", d / "user.ini", note);
    EXPECT_EQ(own.user, "u");
    EXPECT_EQ(own.password, "p");
    std::ofstream(d / "tarvik.ini") << "[FTP]\nUser=admin\nPassword=secret\n";
    EXPECT_EQ(LoadUpdateCredentials(d / "tarvik.ini", d / "user.ini", note).user, "admin");
    EXPECT_TRUE(LoadUpdateCredentials(d / "none.ini", d / "none", note).user.empty());  // anonymous
    fs::remove_all(d);
}

TEST(FtpListing, MlsdAndListLines) {
    const auto mlsd = ParseMlsdListing(
        "type=cdir;modify=20261208120000; .\r\n"
        "type=file;Size=12;Modify=20261208120001.250;perm=r; name with blanks.tkd\r\n"
        "type=dir;modify=20261208120000; dbv\r\n"
        "type=OS.unix=symlink;size=3; link.tkd\r\n"
        "size=5; no type\r\n"
        "type=file;size=99999999999999999999;modify=2026; bad facts.tkd\r\n"
        "garbage\r\n");
    ASSERT_EQ(mlsd.size(), 4u);
    EXPECT_EQ(mlsd[0].name, "name with blanks.tkd");
    EXPECT_EQ(mlsd[0].size, 12u);
    EXPECT_EQ(mlsd[0].modified, 1796731201);  // 2026-12-08 12:00:01 UTC
    EXPECT_TRUE(mlsd[1].isDir);
    EXPECT_TRUE(mlsd[2].isDir);  // a link is never a file of the update
    EXPECT_FALSE(mlsd[3].size || mlsd[3].modified);

    const auto list = ParseListListing(
        "-rw-r--r--   1 ftp ftp      1234 Dec 08 12:00 a b.tkd\r\n"
        "drwxr-xr-x   2 ftp ftp      4096 Dec 08  2025 dbv\r\n"
        "lrwxrwxrwx   1 ftp ftp         9 Dec 08 12:00 l.tkd -> /etc/passwd\r\n"
        "12-08-26  12:00PM                 77 dos.tkd\r\n"
        "12-08-26  12:00PM       <DIR>          sub\r\n"
        "total 12\r\n");
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].name, "a b.tkd");
    EXPECT_EQ(list[0].size, 1234u);
    EXPECT_FALSE(list[0].modified);  // LIST times are too coarse: MDTM fills them in
    EXPECT_TRUE(list[1].isDir && list[2].isDir);
    EXPECT_EQ(list[2].name, "l.tkd");
    EXPECT_EQ(list[3].size, 77u);
    EXPECT_TRUE(list[4].isDir);
}

}  // namespace
}  // namespace tarvik
