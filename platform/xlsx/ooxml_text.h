#pragma once

#include <QByteArray>
#include <QString>

namespace xlsx {

// Spreadsheet text may hold characters that XML cannot carry (control characters, lone
// surrogates). The format writes them as _xHHHH_ and a literal "_xHHHH_" as "_x005F_xHHHH_";
// these two functions apply and undo that rule. The result of encodeCellText is UTF-8.
QByteArray encodeCellText(const QString &text);
QString decodeCellText(const char *utf8);

// Whether XML must be told to keep the text's blanks (leading or trailing white space).
bool needsPreservedSpace(const QString &text);

} // namespace xlsx
