#pragma once

// The text of a question file another program wrote: UTF-8 with or without a byte order mark,
// UTF-16 with one, or GB18030 (what Chinese Windows editors save), told apart as profile files are.

#include <QByteArray>
#include <QString>

namespace exam::interchange {

QString decodeSourceText(const QByteArray &bytes);

} // namespace exam::interchange
