// libFuzzer program for the OOXML template reader and filler (see fuzz_entries.h).
#include "fuzz_entries.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (!fuzzing::checkWorkbookBytes(bytes))
        abort();
    return 0;
}
