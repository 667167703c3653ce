#pragma once

// How the texts stored in profile files are turned into numbers, flags and lists, and back.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace exam {

class ProfileBatch;
class ProfileSnapshot;

// Removes spaces and tabs at both ends (the blanks that profile files and typed names carry).
QString trimBlanks(const QString &text);

// The value of the text's leading number: blanks skipped, an optional sign, digits, an optional
// decimal part ("12abc" is 12, " -3.5" is -3.5, "abc" and "" are 0).
double leadingNumber(const QString &text);

// The rounding rule of both programs: to the nearest integer, halves to the even neighbour
// (0.5 → 0, 1.5 → 2, 2.5 → 2, -0.5 → 0). Wide, for answers in digit form and sums of scores, which
// outgrow 16 bits; what lies beyond 64 bits saturates, and NaN (no number) gives 0, as a text
// without a number does.
qint64 roundHalfEven(double value);
// The same rounding, clamped into the signed 16-bit range.
qint16 roundToInt16(double value);

// The number rule of the repository: roundToInt16(leadingNumber(text)).
qint16 profileNumber(const QString &text);

// A stored flag is set when its number is 1 ("1", " 1", "1.0").
bool profileFlag(const QString &text);

// The shortest decimal text of a number, with up to 15 significant digits: 13 gives "13",
// 0.5 gives "0.5", 1e20 gives "100000000000000000000". Never an exponent, never "-0".
QString shortestNumberText(double value);

// The form some paper-profile writers use: a blank where a plus sign would be (25 gives " 25",
// -3 gives "-3").
QString blankSignedNumberText(qint64 value);

// A numbered list: the count key and the keys "1" … count in one section. Keys above the count
// are ignored. Each entry is read with `defaultValue` and trimmed.
QStringList readNumberedList(const ProfileSnapshot &profile, const QString &section,
                             const QString &countKey,
                             const QString &defaultValue = QStringLiteral("0"));

// Adds the count and then the keys "1" … n to `batch`. Keys of a former, longer list stay.
void setNumberedList(ProfileBatch &batch, const QString &section, const QString &countKey,
                     const QStringList &items);

} // namespace exam
