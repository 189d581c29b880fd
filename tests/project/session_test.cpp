#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "data/messages.hpp"
#include "project/session.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

SessionOptions DemoOptions() {
    SessionOptions o;
    o.programDir = TARVIK_PROGRAM_DIR_FOR_TESTS;
    o.lang = 2;
    o.clock = [] { return 1700000000u; };
    return o;
}

TEST(Session, HoldsTheCatalogueOfTheProgramFolderAndCleansUp) {
    std::vector<int> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m.number); });
    std::string error;
    std::vector<fs::path> extracted;
    {
        auto s = Session::Open(DemoOptions(), error);
        ASSERT_TRUE(s) << error;
        EXPECT_TRUE(shown.empty());
        EXPECT_FALSE(Session::Open(DemoOptions(), error));  // the unit lists are the process's

        EXPECT_EQ(s->NewProject().defaultPressureUnit, "bar");
        EXPECT_NE(FindUserUnit("mbar", kQuantityPressure), nullptr);
        EXPECT_FALSE(s->media().media.empty());
        EXPECT_FALSE(s->pipes().pipes.empty());
        EXPECT_TRUE(s->SeriesFile("TV 100", "0").has_value());
        EXPECT_FALSE(s->SeriesFile("TV", "0").has_value());
        EXPECT_EQ(s->LoadContext().now, 1700000000u);
        EXPECT_EQ(s->MakeFormContext().now(), 1700000000u);

        ASSERT_FALSE(s->drawings().empty());
        for (const auto& [name, path] : s->drawings()) {
            EXPECT_TRUE(fs::exists(path)) << name;
            EXPECT_TRUE(fs::exists(DrawingTemplatePath(path))) << name;
            EXPECT_NE(path.parent_path().string(), s->programDir().string());
            extracted.push_back(path);
        }
        // Loaded on first use.
        EXPECT_FALSE(s->specCatalogue().section1.empty());
        EXPECT_FALSE(s->conditionVariables().empty());
    }
    for (const auto& path : extracted) {
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(fs::exists(DrawingTemplatePath(path)));
    }
    EXPECT_TRUE(UserUnits().empty());
    EXPECT_TRUE(shown.empty());

    // No language pack ends the start; the next start works.
    SessionOptions o = DemoOptions();
    o.lang = 9;
    EXPECT_FALSE(Session::Open(o, error));
    EXPECT_NE(error.find("Can not find DLL"), std::string::npos) << error;
    EXPECT_TRUE(Session::Open(DemoOptions(), error)) << error;
}

}  // namespace
}  // namespace tarvik
