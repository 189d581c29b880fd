#include <gtest/gtest.h>

#include "setup/inf_script.hpp"
#include "setup/install_paths.hpp"
#include "setup/installer.hpp"

namespace tarvik::setup {
namespace {

TEST(InfScript, ReadsSectionsDirectivesAndFields) {
    InfScript inf = InfScript::Parse(
        "\xEF\xBB\xBF; leading comment\r\n"
        "[Strings]\nMaker = \"Neb; soft\"\n"
        "[ProductInstall]\r\nCopyFiles = A.files , B.files ; two lists\r\n"
        "[productinstall]\nAddReg=R\n"
        "[A.files]\n\"odd, name.txt\",src.txt,,0x10\n%Maker%\\x,%Unknown%,100%%\n");
    EXPECT_TRUE(inf.HasSection("PRODUCTINSTALL"));
    EXPECT_FALSE(inf.HasSection("Missing"));
    EXPECT_EQ(inf.Value("ProductInstall", "copyfiles"), "A.files , B.files");
    EXPECT_EQ(inf.Value("ProductInstall", "AddReg"), "R");  // a repeated section continues
    const auto lines = inf.Lines("A.files");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(inf.Fields(lines[0]), (std::vector<std::string>{"odd, name.txt", "src.txt", "", "0x10"}));
    EXPECT_EQ(inf.Fields(lines[1]), (std::vector<std::string>{"Neb; soft\\x", "%Unknown%", "100%"}));
    inf.Define("Unknown", "known");
    EXPECT_EQ(inf.Fields("%unknown%")[0], "known");
}

TEST(InfScript, RefusesTextThatIsNoScript) {
    for (const std::string& text : {std::string("Key=Value\n[S]\n"), std::string("[S\nx\n"),
                                   std::string("[S]\nx=\"open\n"), std::string("[S]\nx\0y", 7),
                                   std::string("[ ]\n")})
        EXPECT_THROW(InfScript::Parse(text), InfError) << text;
}

TEST(InstallPaths, NamesInsideTheFolderOnly) {
    for (const char* ok : {"tarvik", "TarvikD0/00-application.txt", "a b,c.txt"})
        EXPECT_TRUE(IsSafeRelative(ok)) << ok;
    for (const char* bad : {"", "/etc/passwd", "../x", "a/../../x", "a/./b", "a//b", "dir/", "a\\..\\b"})
        EXPECT_FALSE(IsSafeRelative(bad)) << bad;
}

TEST(InstallPaths, RefusesRootHomeAndSystemFolders) {
    UserPlaces places;
    places.home = "/home/engineer";
    places.dataHome = "/home/engineer/.local/share";
    places.configHome = "/home/engineer/.config";
    for (const char* bad : {"/", "/usr", "/usr/bin/tarvik", "/etc/tarvik", "/home", "/home/engineer",
                            "/home/engineer/", "/home/engineer/.local/share", "/opt", "/tmp", "relative/Tarvik",
                            "/opt/a\nb", "/usr/../"})
        EXPECT_NE(RefusedDestination(bad, places), "") << bad;
    for (const char* ok : {"/opt/Tarvik", "/home/engineer/.local/opt/Tarvik", "/srv/tools/Tarvik", "/tmp/x/Tarvik"})
        EXPECT_EQ(RefusedDestination(ok, places), "") << ok;
}

TEST(InstallScript, RecordsSeriesFilesAfterTheirSection) {
    const std::vector<std::string> names = {"A.dbv", "B.dbv"};
    EXPECT_EQ(RecordSeriesFiles("[X]\n[Product.del.dbv.files]\n[Y]\n", names),
              "[X]\n[Product.del.dbv.files]\nA.dbv\nB.dbv\n[Y]\n");
    EXPECT_EQ(RecordSeriesFiles("[Product.del.dbv.files]\r\nold\r\n", names),
              "[Product.del.dbv.files]\r\nA.dbv\r\nB.dbv\r\nold\r\n");
    // Without the line (or with it only as a part of another) the script stays as it is.
    for (const char* unchanged : {"[X]\na\n", "[Product.del.dbv.files] ; x\n", "[Product.del.dbv.files]"})
        EXPECT_EQ(RecordSeriesFiles(unchanged, names), unchanged);
}

}  // namespace
}  // namespace tarvik::setup
