#pragma once
// Invariant checks inside fuzz targets: a failed check is a bug and ends the run like a crash.
#include <cstdio>
#include <cstdlib>

#define TARVIK_FUZZ_CHECK(cond)                                                                  \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)
