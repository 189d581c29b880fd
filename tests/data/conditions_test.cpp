#include <filesystem>
#include <fstream>

#include <unistd.h>

#include <gtest/gtest.h>

#include "data/conditions.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/text_lines.hpp"
#include "support/numeric_locale.hpp"

namespace tarvik {
namespace {

ConditionVariableList Vars() {
    ConditionVariable dn;
    dn.name = "dn";
    dn.value = 50;
    ConditionVariable pn;
    pn.name = "pn";
    pn.value = 1.6;
    ConditionVariable shadow;  // only the first of a name counts
    shadow.name = "dn";
    shadow.value = 999;
    return {dn, pn, shadow};
}

TEST(Conditions, ComparisonsAndTheirEdges) {
    const auto vars = Vars();
    struct Case {
        const char* condition;
        bool holds;
    };
    const Case cases[] = {
        {"", true},
        {"{dn<=50}", true},
        {"{dn<50}", false},
        {"{dn>50}", false},
        {"{dn>=50}", true},
        {"{dn=50}", true},
        {"{dn=50.0001}", false},
        {"{dn>=25}{dn<=80}", true},
        {"{dn>=25}{dn<=40}", false},
        {"{dn>=25} and {dn<=80}", true},  // text between the braces is ignored
        {"{dn=50,0}", true},              // decimal comma
        {"{pn=1.6}", true},
        {"{pn>1,5}", true},
        {"{dn <= 10}", true},             // blanks make the operator unknown: it holds
        {"{dn=<10}", true},               // unknown operator
        {"{dn<=10", true},                // unclosed
        {"{dn<=50}{dn<=10", true},
        {"{xx>1}", false},                // unknown variable is 0
        {"{xx=0}", true},
        {"{DN=50}", false},               // names are case-sensitive
        {"{dn<=abc}", false},             // not a number: 0
        {"{dn}", true},                   // no operator
        {"{}", true},
        {"}{dn<10}", false},
    };
    for (const auto& c : cases) EXPECT_EQ(EvalConditions(c.condition, vars), c.holds) << c.condition;
}

TEST(Conditions, DecimalCommaLocaleDoesNotChangeTheResult) {
    test::NumericLocale cz("cs_CZ.UTF-8");
    const auto vars = Vars();
    EXPECT_TRUE(EvalConditions("{pn=1.6}", vars));
    EXPECT_TRUE(EvalConditions("{pn=1,6}", vars));
    EXPECT_FALSE(EvalConditions("{pn<1.59}", vars));
}

TEST(Conditions, VariableLinesReadUntilTheFirstEmptyField) {
    auto v = ParseConditionVariable("dn;v;5;mm;l;");
    EXPECT_EQ(v.name, "dn");
    EXPECT_EQ(v.source, "v");
    EXPECT_EQ(v.index, 5);
    EXPECT_EQ(v.unit, "mm");
    EXPECT_EQ(v.kind, "l");
    EXPECT_EQ(v.value, 0.0);

    v = ParseConditionVariable("dn;;5;mm;l;");
    EXPECT_EQ(v.name, "dn");
    EXPECT_EQ(v.source, "");
    EXPECT_EQ(v.index, -1);
    EXPECT_EQ(v.unit, "");
    EXPECT_EQ(v.kind, "");

    v = ParseConditionVariable("p1;pa;3;bar;p");  // no final ";": no kind
    EXPECT_EQ(v.unit, "bar");
    EXPECT_EQ(v.kind, "");

    v = ParseConditionVariable("t;pi; 12x;C;t;extra;ignored");
    EXPECT_EQ(v.index, 12);
    EXPECT_EQ(v.kind, "t");

    v = ParseConditionVariable("big;v;99999999999999;;");
    EXPECT_EQ(v.index, 2147483647);
    v = ParseConditionVariable("neg;v;-99999999999999;;");
    EXPECT_EQ(v.index, -2147483648LL);

    v = ParseConditionVariable(";dn;v;");
    EXPECT_EQ(v.name, "");
    EXPECT_EQ(v.source, "");
}

class ConditionFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("tarvik_cond_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(ConditionFile, LoadsLinesOfEitherLineEnd) {
    std::ofstream(dir_ / "specpodm.tkd", std::ios::binary)
        << "//dn;v;5;mm;l;\r\n"
           "dn;v;5;mm;l;\r\n"
           "\r\n"
           "p\x9a;pa;3;bar;p;\n"   // code page 1250 in the file
           "\n"
           "x\r\n"
           "last;pi;2;C;t;";
    ConditionVariableList vars{ConditionVariable{}};
    ASSERT_TRUE(LoadConditionVariables(dir_ / "specpodm.tkd", vars));
    ASSERT_EQ(vars.size(), 4u);
    EXPECT_EQ(vars[0].name, "dn");
    EXPECT_EQ(vars[0].kind, "l");
    EXPECT_EQ(vars[1].name, "pš");
    EXPECT_EQ(vars[1].unit, "bar");
    EXPECT_EQ(vars[2].name, "");  // a line without any ";" still makes a variable
    EXPECT_EQ(vars[2].index, -1);
    EXPECT_EQ(vars[3].name, "last");
    EXPECT_EQ(vars[3].kind, "t");
}

TEST_F(ConditionFile, MissingFileShowsTheMessageAndLeavesTheListEmpty) {
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });
    ConditionVariableList vars = Vars();
    EXPECT_FALSE(LoadConditionVariables(dir_ / "specpodm.tkd", vars));
    EXPECT_TRUE(vars.empty());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, 63020);

    // The process-wide list comes from the program folder.
    const auto oldDir = ProgramDir();
    SetProgramDir(dir_);
    std::ofstream(dir_ / "specpodm.tkd") << "dn;v;5;mm;l;\n";
    EXPECT_TRUE(LoadConditionVariables());
    CurrentConditionVariables()[0].value = 65;
    EXPECT_EQ(GetVariableValue("dn"), 65);
    EXPECT_TRUE(EvalConditions("{dn>50}"));
    CurrentConditionVariables().clear();
    SetProgramDir(oldDir);
}

TEST(TextLines, CommentsEmptyLinesAndLineEnds) {
    EXPECT_EQ(SplitDataLines("a\r\n\r\n//c\nb\n \nc\r"),
              (std::vector<std::string>{"a", "b", " ", "c"}));
    EXPECT_EQ(SplitDataLines("a/\r/b\r\n"), (std::vector<std::string>{"a/\r/b"}));
    EXPECT_TRUE(SplitDataLines("").empty());
    EXPECT_FALSE(ReadDataLines("/nonexistent/specpodm.tkd").has_value());
}

}  // namespace
}  // namespace tarvik
