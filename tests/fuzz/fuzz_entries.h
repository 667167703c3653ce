#pragma once

// The functions the fuzz targets feed with arbitrary bytes. Each returns false when the code under
// test broke one of its own promises on that input (a crash or a sanitizer report ends the run
// anyway). The libFuzzer programs and the corpus test call the same functions.

#include <QByteArray>

namespace fuzzing {

// Profile files: the snapshot reader and the single-key reader agree on every name the input
// holds, and a value written into the parsed file reads back as it reads from a fresh file.
bool checkProfileBytes(const QByteArray &bytes);

// OOXML templates: opening never fails without a reason; an opened workbook can be read, filled
// and saved, and the saved workbook opens again with the filled cell.
bool checkWorkbookBytes(const QByteArray &bytes);

} // namespace fuzzing
