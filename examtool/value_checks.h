#pragma once

// Checks of single stored values, apart from where they are stored.

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace exam::tool {

enum class NumberRange {
    Int16, // counts, flags, marks, examination numbers: read as signed 16-bit numbers
    Any,   // answers in digit form, which outgrow 16 bits
};

// What is wrong with `value` where a number is expected, as a Chinese text naming `entry` (for
// example "[MAIN] TESTTIME"); nothing
// when it is empty or a plain decimal number (blanks around it, an optional sign and decimal part)
// within `range`. "12abc" reads as 12 and "abc" as 0, which is rarely what was meant.
std::optional<QString> numberProblem(const QString &entry, const QString &value, NumberRange range);

// The 1-based line of the first byte of 0x80 or above; 0 when all bytes are ASCII.
int firstNonAsciiLine(QByteArrayView bytes);

} // namespace exam::tool
