#pragma once

// Which encoding the bytes of a profile file without a byte order mark are in.
//
// Profiles are GB18030 (the Windows programs' code page 936). Teachers also edit them with Linux
// editors, which write UTF-8 without a mark. Many GB18030 texts are valid UTF-8 byte for byte
// (the name 谢娅祎 is d0bb e6ab b574, which UTF-8 reads as "л櫵t"), so validity alone does not
// decide: both readings are weighed as Chinese text, and UTF-8 wins only when its reading is
// clearly the more plausible one. A file this system wrote in GB18030 therefore reads back as
// written.

#include "repository/profile_file.h"

#include <QByteArrayView>

namespace exam {

// GB18030 unless the bytes are valid UTF-8 with non-ASCII characters and their UTF-8 reading is
// more plausible Chinese text than their GB18030 reading.
ProfileEncoding detectEncoding(QByteArrayView bytes);

// True when the bytes (without a byte order mark) read both as GB18030 and as UTF-8, so that
// detectEncoding() had to weigh the two readings to decide.
bool isEncodingGuessed(QByteArrayView bytes);

} // namespace exam
