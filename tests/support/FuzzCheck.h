#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise found by a fuzz target: say which, and stop so the input is kept.
#define FUZZ_CHECK(Condition)                                                                      \
    do {                                                                                           \
        if (!(Condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #Condition);                   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
