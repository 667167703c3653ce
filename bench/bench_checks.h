#pragma once

// A step of a benchmark's setup or work that must succeed: a benchmark over a store that failed
// would time something other than the real work, so it stops with the step's name.

#include "repository/result.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

inline void require(bool succeeded, const char *step)
{
    if (!succeeded) {
        std::fprintf(stderr, "benchmark step failed: %s\n", step);
        std::abort();
    }
}

inline void require(const exam::Result &result, const char *step)
{
    if (!result) {
        std::fprintf(stderr, "benchmark step failed: %s: %s\n", step, qPrintable(result.message()));
        std::abort();
    }
}

} // namespace bench
