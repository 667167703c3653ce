#pragma once

// Answers in digit form and the scoring of a handed-in paper.
//
// An answer is the number whose decimal digits are the ticked option numbers (1 … 7) in ascending
// order, 0 for none; a standard answer uses the same form and is right when the two are equal.
// There is no partial credit.

#include "candidate/exam_paper.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

inline constexpr int OptionCount = 7;
using OptionTicks = std::array<bool, OptionCount>; // option j is ticks[j - 1]

// Ticking options 3 and 1 gives 13; nothing ticked gives 0.
double answerFromTicks(const OptionTicks &ticks);
// Option j is ticked when the answer's decimal text holds the digit j.
OptionTicks ticksFromAnswer(double answer);

// The numeric value of a stored answer or standard answer ("124", " 13", "" → 0).
double answerValue(const QString &text);
bool isAnsweredCorrectly(const QString &standardAnswer, double answer);

// The mark text shown for a question: its own, or the default mark's decimal text when empty.
QString markText(const ExamQuestion &question, int defaultMark);
// The mark counted for a question: the numeric value of its own mark (which may be 0.5), or the
// default mark when it has none. Held within the 16-bit range a mark can have.
double markValue(const ExamQuestion &question, int defaultMark);

// Rounds half to even ("banker's rounding"): 0.5 → 0, 1.5 → 2, 2.5 → 2, -0.5 → 0.
qint64 roundHalfEven(double value);

struct ScoreResult
{
    qint64 score = 0;  // rounded after every correct answer
    double total = 0;  // the exact sum of the presented questions' marks
};

// Scores positions 1 … presentedCount of `order`. answers[k - 1] is the answer to question k.
ScoreResult scorePaper(const ExamPaper &paper, const QList<double> &answers,
                       const QList<int> &order, int presentedCount);

// The message at hand-in: the total and the score when the paper shows scores, else the note
// that the result was saved.
QString handInMessage(bool displayScore, const ScoreResult &result);
