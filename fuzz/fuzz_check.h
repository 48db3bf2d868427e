// What a fuzz target does when a result differs from its reference: it shows
// both and aborts, which libFuzzer reports as a finding with the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define WL_FUZZ_CHECK(condition, ...)                                               \
    do {                                                                            \
        if (!(condition)) {                                                         \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                               \
            std::fprintf(stderr, __VA_ARGS__);                                      \
            std::fputc('\n', stderr);                                               \
            std::abort();                                                           \
        }                                                                           \
    } while (0)
