// What a fuzz target does when an invariant breaks: says which, and aborts,
// so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define Check(ok) FuzzCheckAt(ok, #ok, __LINE__)

inline void FuzzCheckAt(bool ok, const char* what, int line) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken at line %d: %s\n", line, what);
    std::abort();
}
