// Installing from a small distribution folder into temporary folders and removing it again.
#include <gtest/gtest.h>

#include <fstream>

#include "setup/config_store.hpp"
#include "setup/desktop_entry.hpp"
#include "setup/installer.hpp"
#include "support/cli_run.hpp"

namespace tarvik::setup {
namespace {

using cli_test::ReadWhole;
namespace fs = std::filesystem;

const std::string kScript =
    "[Strings]\nVersion=\"2.7\"\n"
    "[DestinationDirs]\nDefaultDestDir=65600\nLang.files=65600,TarvikD0\nProduct.del.dbv.files=65600,dbv\n"
    "Product.ini=65600\n"
    "[ProductInstall]\nCopyFiles=Product.files,Lang.files\nUpdateInis=Product.ini\nAddReg=Product.reg\n"
    "[DefaultUninstall]\nDelFiles=Product.files,Lang.files,Product.del.dbv.files\nDelReg=Product.reg\n"
    "[Product.files]\ntarvik\ntarvik.inf\ntarvik.svg\ntarvik.ini\n"
    "[Lang.files]\n00-application.txt\n"
    "[Product.reg]\nHKLM,\"Software\\Nebsoft\\Tarvik\",Version,0,\"%Version%\"\n"
    "[Product.ini]\ntarvik.ini,Setup,,\"Lang=%Lang%\"\n"
    "[Product.del.dbv.files]\n";

void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = cli_test::TempDir("tarvik_setup_", ::testing::UnitTest::GetInstance()->current_test_info()->name());
        places_.home = root_ / "home";
        places_.dataHome = root_ / "home/.local/share";
        places_.configHome = root_ / "home/.config";
        dist_ = root_ / "dist";
        MakeDist(kScript);
    }
    void TearDown() override { fs::remove_all(root_); }

    void MakeDist(const std::string& script) {
        const fs::path t = dist_ / "Tarvik";
        Write(t / "tarvik.inf", script);
        Write(t / "tarvik", "program");
        Write(t / "tarvik.svg", "<svg/>");
        Write(t / "tarvik.ini", "[Setup]\r\nLang=2\r\n");
        Write(t / "TarvikD0/00-application.txt", "57344\tTarvik\n");
        Write(t / "dbv/A.dbv", "a");
        Write(t / "dbv/B.DBV", "b");
        Write(t / "dbv/notes.txt", "not a series");
    }
    InstallResult Run(const fs::path& dest) { return Install({dist_, dest, places_, "Valves", 0}); }

    fs::path root_, dist_;
    UserPlaces places_;
};

TEST_F(Installation, InstallsRecordsAndUninstallsKeepingUserFiles) {
    const fs::path dest = root_ / "apps/more/Tarvik";  // two levels below a missing parent
    const InstallResult r = Run(dest / "");
    ASSERT_EQ(r.status, InstallStatus::Installed) << r.detail;
    EXPECT_EQ(r.seriesFiles, (std::vector<std::string>{"A.dbv", "B.DBV"}));
    EXPECT_EQ(ReadWhole(dest / "tarvik"), "program");
    EXPECT_EQ(ReadWhole(dest / "TarvikD0/00-application.txt"), "57344\tTarvik\n");
    EXPECT_FALSE(fs::exists(dest / "dbv/notes.txt"));
    EXPECT_NE(ReadWhole(dest / "tarvik.ini").find("Lang=0"), std::string::npos);
    EXPECT_NE(ReadWhole(dest / "tarvik.inf").find("[Product.del.dbv.files]\nA.dbv\nB.DBV\n"), std::string::npos);
    EXPECT_EQ(InstalledVersion(places_), "2.7");
    EXPECT_EQ(RememberedDestination(places_), dest);
    const DesktopFiles desktop(places_.dataHome);
    EXPECT_NE(ReadWhole(desktop.entry).find("Exec=\"" + (dest / "tarvik").string() + "\" %f"), std::string::npos);
    EXPECT_NE(ReadWhole(desktop.mimeType).find("*.tkp"), std::string::npos);
    EXPECT_TRUE(fs::exists(desktop.icon));

    // A second installation is blocked by the recorded version, wherever it would go.
    const InstallResult again = Run(root_ / "other");
    EXPECT_EQ(again.status, InstallStatus::Blocked);
    EXPECT_EQ(again.version, "2.7");
    EXPECT_FALSE(fs::exists(root_ / "other"));

    Write(dest / "My project.tkp", "mine");
    Write(dest / "dbv/Own.dbv", "own series");
    const UninstallResult u = Uninstall(dest / "tarvik.inf", places_);
    EXPECT_TRUE(u.ok) << (u.problems.empty() ? "" : u.problems[0]);
    std::vector<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator(dest)) left.push_back(fs::relative(e.path(), dest).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"My project.tkp", "dbv", "dbv/Own.dbv"}));
    EXPECT_FALSE(fs::exists(desktop.entry));
    EXPECT_FALSE(fs::exists(desktop.mimeType));
    EXPECT_EQ(InstalledVersion(places_), "");
    EXPECT_EQ(RememberedDestination(places_), dest);  // offered again next time

    // Without user files the folder goes too.
    fs::remove_all(dest);
    ASSERT_EQ(Run(dest).status, InstallStatus::Installed);
    EXPECT_TRUE(Uninstall(dest / "tarvik.inf", places_).ok);
    EXPECT_FALSE(fs::exists(dest));
    EXPECT_TRUE(fs::exists(dest.parent_path()));
}

TEST_F(Installation, ScriptWithoutSeriesSectionIsInstalledUnchanged) {
    const std::string script = kScript.substr(0, kScript.find("[Product.del.dbv.files]"));
    MakeDist(script);
    const fs::path dest = root_ / "Tarvik";
    ASSERT_EQ(Run(dest).status, InstallStatus::Installed);
    EXPECT_EQ(ReadWhole(dest / "tarvik.inf"), script);
    EXPECT_TRUE(fs::exists(dest / "dbv/A.dbv"));
}

TEST_F(Installation, CopiesOnlyWhenNewerAndTakesBackAFailedInstallation) {
    const fs::path dest = root_ / "Tarvik";
    Write(dest / "tarvik", "newer program");
    fs::last_write_time(dest / "tarvik", fs::file_time_type::clock::now() + std::chrono::hours(1));
    ASSERT_EQ(Run(dest).status, InstallStatus::Installed);
    EXPECT_EQ(ReadWhole(dest / "tarvik"), "newer program");
    ASSERT_TRUE(Uninstall(dest / "tarvik.inf", places_).ok);

    // A source file missing half-way: what was copied goes again, the version stays unset.
    fs::remove(dist_ / "Tarvik/TarvikD0/00-application.txt");
    const fs::path fresh = root_ / "new/Tarvik";
    const InstallResult r = Run(fresh);
    EXPECT_EQ(r.status, InstallStatus::Failed);
    EXPECT_NE(r.detail.find("00-application.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(root_ / "new"));
    EXPECT_EQ(InstalledVersion(places_), "");
    EXPECT_FALSE(fs::exists(DesktopFiles(places_.dataHome).entry));
}

TEST_F(Installation, HostileScriptsTouchNothingOutsideTheFolder) {
    Write(root_ / "canary", "keep");
    const struct {
        std::string from, to;
    } hostile[] = {
        {"tarvik.svg\n", "../canary\n"},
        {"tarvik.svg\n", "/tmp/tarvik-hostile-canary\n"},
        {"Lang.files=65600,TarvikD0", "Lang.files=65600,../.."},
        {"Lang.files=65600,TarvikD0", "Lang.files=11"},
    };
    const fs::path dest = root_ / "d/Tarvik";
    for (const auto& h : hostile) {
        std::string script = kScript;
        script.replace(script.find(h.from), h.from.size(), h.to);
        // The copy list keeps its sane form, so the installation gets as far as the script allows.
        MakeDist(script);
        const InstallResult r = Run(dest);
        EXPECT_EQ(r.status, InstallStatus::Failed) << h.to;
        EXPECT_FALSE(fs::exists(root_ / "d")) << h.to;

        // The same names in an installed script's removal lists delete nothing outside.
        MakeDist(kScript);
        ASSERT_EQ(Run(dest).status, InstallStatus::Installed);
        std::string installed = ReadWhole(dest / "tarvik.inf");
        installed.replace(installed.find(h.from), h.from.size(), h.to);
        Write(dest / "tarvik.inf", installed);
        const UninstallResult u = Uninstall(dest / "tarvik.inf", places_);
        EXPECT_FALSE(u.ok) << h.to;
        EXPECT_EQ(ReadWhole(root_ / "canary"), "keep");
        fs::remove_all(root_ / "d");
        ConfigStore store(ConfigStore::DefaultFile(places_.configHome));
        store.Remove(kProductKey, "Version");
        store.Save();
    }
    EXPECT_EQ(Run("/").status, InstallStatus::Refused);
    EXPECT_EQ(Run(places_.home).status, InstallStatus::Refused);
    EXPECT_FALSE(Uninstall("/tarvik.inf", places_).ok);
}

}  // namespace
}  // namespace tarvik::setup
