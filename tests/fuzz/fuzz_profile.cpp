// libFuzzer program for the profile-file parser and writer (see fuzz_entries.h).
#include "fuzz_entries.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (!fuzzing::checkProfileBytes(bytes))
        abort();
    return 0;
}
