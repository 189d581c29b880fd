#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "data/program_dir.hpp"
#include "data/settings.hpp"

namespace tarvik {
namespace {

std::filesystem::path TempDir(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("tarvik_test_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

TEST(IniProfile, ProfileSemantics) {
    auto dir = TempDir("ini");
    WriteFile(dir / "tarvik.ini",
              "[setup]\r\nLang= \t3\r\nAdmin=yes\r\nLangCount=2x\r\nIndex=ACME\r\n[FTP]\nServer=\n");
    auto ini = IniProfile::Load(dir / "tarvik.ini");
    EXPECT_EQ(ini.GetInt("Setup", "Lang", 0), 3);
    EXPECT_EQ(ini.GetInt("Setup", "Admin", 7), 0);      // present but not a number
    EXPECT_EQ(ini.GetInt("Setup", "LangCount", 4), 2);  // digits up to the first other character
    EXPECT_EQ(ini.GetInt("Setup", "Missing", 4), 4);
    EXPECT_EQ(ini.GetString("SETUP", "index"), "ACME");
    EXPECT_TRUE(ini.Has("FTP", "Server"));
    EXPECT_EQ(ini.GetString("FTP", "Dir", "def"), "def");

    Settings s = SettingsFromProfile(ini);
    EXPECT_EQ(s.lang, 3);
    EXPECT_FALSE(s.admin);
    EXPECT_EQ(s.langCount, 2);
    EXPECT_EQ(s.companyIndex, "ACME");

    Settings defaults = SettingsFromProfile(IniProfile::Load(dir / "absent.ini"));
    EXPECT_EQ(defaults.lang, 0);
    EXPECT_EQ(defaults.langCount, 4);
    EXPECT_FALSE(defaults.admin);
    std::filesystem::remove_all(dir);
}

TEST(IniProfile, SaveKeepsOtherKeysAndLongValuesAreCut) {
    auto dir = TempDir("ini_save");
    WriteFile(dir / "t.ini", "[Setup]\nLang=1\n[FTP]\nServer=ftp.example\n");
    auto ini = IniProfile::Load(dir / "t.ini");
    ini.SetString("Setup", "Index", std::string(300, 'x'));
    ASSERT_TRUE(ini.Save(dir / "t.ini"));
    auto again = IniProfile::Load(dir / "t.ini");
    EXPECT_EQ(again.GetInt("Setup", "Lang", 0), 1);
    EXPECT_EQ(again.GetString("FTP", "Server"), "ftp.example");
    EXPECT_EQ(again.GetString("Setup", "Index").size(), 255u);
    EXPECT_FALSE(std::filesystem::exists(dir / "t.ini.tmp"));
    // Saving into a folder that does not exist fails and reports it.
    EXPECT_FALSE(ini.Save(dir / "nowhere" / "t.ini"));
    std::filesystem::remove_all(dir);
}

// The calculation log of a program folder the user may not write to goes to the user's state
// folder (a missing folder stands in for a read-only one, as root may write anywhere).
TEST(ProgramDir, WorkingFilesOfAReadOnlyInstallationGoToTheUserStateFolder) {
    const auto dir = TempDir("working_file");
    EXPECT_EQ(WorkingFilePath(dir, "vypocet.txt"), dir / "vypocet.txt");
    const char* old = std::getenv("XDG_STATE_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    EXPECT_EQ(WorkingFilePath(dir / "not-there", "vypocet.txt"), dir / "state" / "tarvik" / "vypocet.txt");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "state" / "tarvik"));
    if (old) ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_STATE_HOME");
    std::filesystem::remove_all(dir);
}

TEST(LanguagePack, TextsByNumberAndMissingPack) {
    auto dir = TempDir("lang");
    std::filesystem::create_directories(dir / "TarvikD5");
    WriteFile(dir / "TarvikD5" / "a.txt", "# comment\n100\tFirst\\nline\r\n101\tPath %1 not found\n\nbad line\n");
    WriteFile(dir / "TarvikD5" / "b.txt", "100\tOverridden\n");
    std::string error;
    ASSERT_TRUE(LoadLanguage(dir, 5, error)) << error;
    EXPECT_EQ(GetText(100), "Overridden");
    EXPECT_EQ(CurrentLanguage().Duplicates(), std::vector<int>{100});
    EXPECT_EQ(FormatText(101, "/x/y"), "Path /x/y not found");
    EXPECT_EQ(GetText(999), "");
    EXPECT_FALSE(LoadLanguage(dir, 6, error));
    EXPECT_EQ(error.rfind("Can not find DLL !!", 0), 0u);
    EXPECT_NE(error.find("TarvikD6"), std::string::npos);
    // The pack loaded before stays in force.
    EXPECT_EQ(GetText(100), "Overridden");
    std::filesystem::remove_all(dir);
}

TEST(LanguagePack, ShippedPacksCarryTheTitle) {
    for (int lang = 0; lang < 4; ++lang) {
        std::string error;
        ASSERT_TRUE(LoadLanguage(std::string(TARVIK_SOURCE_DIR) + "/lang", lang, error)) << error;
        EXPECT_EQ(GetText(57344), "Tarvik");
    }
}

// A number defined twice shows only one of its wordings, and a number one pack lacks shows
// nothing in that language.
TEST(LanguagePack, ShippedPacksDefineEachNumberOnceAndTheSameNumbers) {
    std::vector<int> numbersOfPack0;
    for (int lang = 0; lang < 4; ++lang) {
        LanguagePack pack;
        ASSERT_TRUE(pack.Load(LanguagePackPath(std::string(TARVIK_SOURCE_DIR) + "/lang", lang))) << lang;
        EXPECT_EQ(pack.Duplicates(), std::vector<int>{}) << "TarvikD" << lang;
        std::vector<int> numbers;
        for (const auto& [number, text] : pack.Texts()) {
            numbers.push_back(number);
            EXPECT_FALSE(text.empty()) << "TarvikD" << lang << ": " << number;
        }
        if (lang == 0) numbersOfPack0 = numbers;
        EXPECT_EQ(numbers, numbersOfPack0) << "TarvikD" << lang;
    }
}

}  // namespace
}  // namespace tarvik
