#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "data/archive.hpp"
#include "project/project_file.hpp"
#include "project/project_text_check.hpp"
#include "support/lang_fixture.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

ProjectDocument TwoPositions() {
    ProjectDocument doc;
    doc.customer = "Teplárna Žatec";
    for (const char* name : {"FV101", "PV-2 Žatec"}) {
        ValvePosition p;
        p.name = name;
        p.specItems = {SpecItem{74, "[0:Regulační ventil][2:Control valve]", "", "", "A", ""}};
        p.titleBlock.pairs = {{"kks", name}};
        doc.positions.push_back(p);
    }
    return doc;
}

TEST(ProjectTextCheck, ASaveThatWouldLoseACharacterIsRefusedAndTheFileKept) {
    test::UseLanguage(2);
    const fs::path path = fs::temp_directory_path() / ("tarvik_text_check_" + std::to_string(::getpid()) + ".tkp");
    SaveProject(TwoPositions(), path, 2);
    const std::string before = ReadWhole(path);

    struct Case {
        std::function<void(ProjectDocument&)> change;
        const char* named;
    };
    const Case cases[] = {
        {[](ProjectDocument& d) { d.customer = "Kesta ✓"; }, "customer: ✓ (U+2713)"},
        {[](ProjectDocument& d) { d.positions[1].note = "ν 3000 cSt"; }, "\"PV-2 Žatec\", note: ν (U+03BD)"},
        {[](ProjectDocument& d) { d.positions[0].name = "FV¹"; }, "#1, name: ¹ (U+00B9)"},
        {[](ProjectDocument& d) { d.positions[1].units[2] = "m³/h"; }, "\"PV-2 Žatec\", units[2]: ³ (U+00B3)"},
        {[](ProjectDocument& d) { d.positions[0].specItems[0].text = "[2:Valve ⌀50]"; },
         "\"FV101\", item 74: ⌀ (U+2300)"},
        {[](ProjectDocument& d) { d.positions[0].titleBlock.pairs[0].second = "FV–101 😀"; },
         "\"FV101\", titleBlock \"kks\": 😀 (U+1F600)"},
    };
    for (const auto& c : cases) {
        ProjectDocument doc = TwoPositions();
        c.change(doc);
        try {
            SaveProject(doc, path, 2);
            ADD_FAILURE() << "saved: " << c.named;
        } catch (const TextNotStorable& e) {
            EXPECT_EQ(DescribeTextProblem(e.problem()), c.named);
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadWhole(path), before) << c.named;
    }
    fs::remove(path);
}

}  // namespace
}  // namespace tarvik
