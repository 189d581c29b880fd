// Test entry point: the tests run in the process locale (LC_ALL from the environment), so the
// suite can be run once under "C" and once under a locale with "," as decimal separator.
#include <clocale>

#include <gtest/gtest.h>

#include "data/language.hpp"
#include "data/program_dir.hpp"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    tarvik::SetProgramDir(TARVIK_PROGRAM_DIR_FOR_TESTS);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
