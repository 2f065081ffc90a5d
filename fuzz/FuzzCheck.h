#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when an invariant of the code under test does not hold, so
// libFuzzer keeps the input as a crash like any sanitizer finding.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
