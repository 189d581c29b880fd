// The distribution folder's programs, run as a user would run them unattended, with HOME and
// the XDG folders of the test.
#include <gtest/gtest.h>

#include "setup/desktop_entry.hpp"
#include "support/cli_run.hpp"

namespace tarvik::setup {
namespace {

using namespace cli_test;

struct Result {
    int exitCode;
    std::string out, err;
};

Result Shell(const std::string& command, const fs::path& dir) {
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const std::string env = "HOME=" + Q(dir / "home") + " XDG_DATA_HOME=" + Q(dir / "data") +
                            " XDG_CONFIG_HOME=" + Q(dir / "config") + " ";
    const int status = std::system((env + command + " >" + Q(out) + " 2>" + Q(err)).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(out), ReadWhole(err)};
}

TEST(SetupPrograms, InstallRunSecondInstallAndUninstall) {
    const fs::path dir = TempDir("tarvik_setup_programs_", "all");
    fs::create_directories(dir / "home");
    const fs::path dest = dir / "home/apps/Tarvik";
    const std::string setup = Q(fs::path(TARVIK_DIST_DIR) / "tarvik-setup");

    Result r = Shell(setup + " --unattended --lang 2 --dest " + Q(dest), dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Store folder " + dest.string() + " does not exist"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Installation completed"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(DesktopFiles(dir / "data").entry));

    // The installed program finds its catalogues and series.
    r = Shell(Q(dest / "tarvik-cli") + " calc " + Q(dest / "Demo.tkp") + " --program-dir " + Q(dest), dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;

    r = Shell(setup + " --unattended --lang 3 --dest " + Q(dir / "second"), dir);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Zuerst müssen Sie die Tarvik-Version 2.7 deinstallieren."), std::string::npos) << r.err;

    std::ofstream(dest / "Pump station.tkp") << "mine";
    r = Shell(Q(dest / "tarvik-uninstall") + " --unattended " + Q(dest / "tarvik.inf"), dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator(dest)) left.push_back(fs::relative(e.path(), dest).string());
    EXPECT_EQ(left, std::vector<std::string>{"Pump station.tkp"});
    EXPECT_FALSE(fs::exists(DesktopFiles(dir / "data").entry));

    r = Shell(setup + " --unattended --dest /", dir);
    EXPECT_EQ(r.exitCode, 3);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik::setup
