#pragma once

// A step of a benchmark's setup or work that must succeed: a benchmark over a store that failed
// would time something other than the real work, so it stops with the step's name.

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

} // namespace bench
