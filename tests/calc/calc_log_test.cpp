// The calculation log written to a file: the same bytes as the text held in memory, and a write
// that fails is reported by Close.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "calc/calc_log.hpp"

namespace tarvik {
namespace {

void WriteSome(CalcLog& log) {
    log.Write("Kv:\n");
    log.Line("p1 = ", 1.25, 4, " MPa");
    log.Line("T1 = ", 300.0);
}

TEST(CalcLogFile, HoldsTheBytesOfTheTextOverALongerOldFile) {
    CalcLog memory;
    WriteSome(memory);
    const auto path = std::filesystem::temp_directory_path() / "tarvik_calc_log_test.txt";
    std::ofstream(path, std::ios::binary) << std::string(5000, 'x');  // an older, longer log
    for (int run = 0; run < 2; ++run) {
        CalcLog log;
        ASSERT_TRUE(log.OpenFile(path));
        WriteSome(log);
        EXPECT_TRUE(log.Close());
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), memory.text());
    }
    std::filesystem::remove(path);
}

TEST(CalcLogFile, AWriteThatFailsIsReportedAtClose) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    {
        CalcLog log;
        ASSERT_TRUE(log.OpenFile("/dev/full"));
        WriteSome(log);
        EXPECT_FALSE(log.Close());
        EXPECT_TRUE(log.Close());  // nothing left to write
    }
    {
        CalcLog dropped;  // closed by its destructor: the failure goes unreported but harms nothing
        ASSERT_TRUE(dropped.OpenFile("/dev/full"));
        WriteSome(dropped);
    }
}

}  // namespace
}  // namespace tarvik
