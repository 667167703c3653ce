#pragma once

// Answers in digit form, as both programs store and compare them.
//
// An answer is the number whose decimal digits are the ticked option numbers (1 … 7) in ascending
// order: ticking options 3 and 1 gives "13". A standard answer uses the same form and is right when
// the two are equal; no answer is "" in the paper profile and 0 in a result profile.

#include <QString>

#include <array>

namespace exam {

inline constexpr int OptionCount = 7;
using OptionTicks = std::array<bool, OptionCount>; // option k is ticks[k - 1]

// The digits of the ticked options, ascending: options 3 and 1 give "13"; none gives "".
QString answerFromTicks(const OptionTicks &ticks);
// Option k is ticked when the digit k occurs in the text ("13", " 13", "0" ticks nothing).
OptionTicks ticksFromAnswer(const QString &answer);

// The numeric value of a stored answer or standard answer ("124", " 13", "" → 0).
double answerValue(const QString &text);
// The answer the ticks give as a number: options 3 and 1 give 13; none gives 0.
double answerValue(const OptionTicks &ticks);
// The ticks of an answer held as a number: option k is ticked when its decimal text holds k.
OptionTicks ticksFromValue(double answer);

// A standard answer is met when its numeric value equals the answer. No partial credit.
bool isAnsweredCorrectly(const QString &standardAnswer, double answer);

} // namespace exam
