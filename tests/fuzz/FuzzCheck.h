#pragma once

#include <cstdio>
#include <cstdlib>

namespace zentor::fuzz {

// Ends the process with `what` on standard error when a promise of the code under test does not
// hold. libFuzzer keeps the input as a crash; the regression test dies on it.
inline void fuzzCheck(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// Keeps the compiler from dropping reads whose only purpose is to touch decoded values.
inline void touch(unsigned long value)
{
    static volatile unsigned long sink;
    sink = sink + value;
}

} // namespace zentor::fuzz
