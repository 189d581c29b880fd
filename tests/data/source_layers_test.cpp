// The folders stand on each other in layers, and nothing but the GUI folders touches the GUI:
// data/ alone, units/ on data/, calc/ on units/ and data/, project/ on those, cli/ on top; the
// installer's core in setup/ on data/ (only its wizard files use the GUI). The
// calculation takes from data/ only what encodes numbers and texts: its words come from the caller,
// and it reads no catalogue, setting or language pack.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Include {
    std::string file;  // relative to the source folder
    std::string target;
};

// The target of a line "#include <x>" or "#include "x"" (blanks allowed around "#"); "" otherwise.
std::string IncludeTarget(const std::string& line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return {};
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return {};
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '<' && line[i] != '"')) return {};
    const std::size_t end = line.find(line[i] == '<' ? '>' : '"', i + 1);
    return end == std::string::npos ? std::string() : line.substr(i + 1, end - i - 1);
}

std::vector<Include> IncludesUnder(const fs::path& root, const std::string& folder) {
    std::vector<Include> out;
    for (const auto& e : fs::recursive_directory_iterator(root / folder)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".hpp" && ext != ".h" && ext != ".cc")) continue;
        std::ifstream in(e.path());
        std::string line;
        while (std::getline(in, line))
            if (std::string target = IncludeTarget(line); !target.empty())
                out.push_back({fs::relative(e.path(), root).string(), std::move(target)});
    }
    return out;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

TEST(SourceLayers, CoreFoldersIncludeNothingAboveTheirLayer) {
    const fs::path root = TARVIK_SOURCE_DIR;
    // setup/ holds the installer's core (its script interpreter) beside its wizard files.
    const std::vector<std::string> gui = {"app/", "wx/", "setup/setup_wizard", "uninstall/"};
    const auto isGuiFile = [](const std::string& file) {
        return file.find("_wizard.") != std::string::npos || file == "setup/setup_main.cpp";
    };
    struct Rule {
        std::string folder;
        std::vector<std::string> forbidden;  // include prefixes, besides the GUI's
    } rules[] = {
        {"data", {"units/", "calc/", "project/", "cli/"}},
        {"units", {"calc/", "project/", "cli/"}},
        {"calc",
         {"project/", "cli/", "data/language.hpp", "data/messages.hpp", "data/media", "data/pipes",
          "data/valve_series", "data/spec_", "data/type_designation", "data/condition", "data/settings",
          "data/ini_profile", "data/program_dir"}},
        {"project", {"cli/"}},
        {"cli", {}},
        {"setup", {"project/", "cli/"}},
        {"catalogue", {"cli/"}},
        {"bench", {"cli/"}},
        {"fuzz", {"cli/"}},
        {"tests/data", {"cli/"}},
        {"tests/units", {"cli/"}},
        {"tests/calc", {"project/", "cli/"}},
        {"tests/project", {"cli/"}},
        {"tests/cli", {}},
    };
    std::size_t scanned = 0;
    for (const auto& rule : rules) {
        if (!fs::exists(root / rule.folder)) continue;
        std::vector<std::string> forbidden = rule.forbidden;
        forbidden.insert(forbidden.end(), gui.begin(), gui.end());
        for (const Include& inc : IncludesUnder(root, rule.folder)) {
            if (isGuiFile(inc.file)) continue;
            ++scanned;
            for (const auto& prefix : forbidden)
                EXPECT_FALSE(StartsWith(inc.target, prefix)) << inc.file << " includes " << inc.target;
            EXPECT_FALSE(StartsWith(inc.target, "wx") && inc.target.find('/') == std::string::npos)
                << inc.file << " includes " << inc.target;
        }
    }
    EXPECT_GT(scanned, 100u);  // the tree was found
}

}  // namespace
