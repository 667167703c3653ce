#pragma once

// The order in which the questions of a paper are presented: position p (1-based) shows question
// order[p - 1]. Paper order, a shuffle, a random draw (a shuffle of which only the first positions
// are presented), or the order saved in the result profile.

#include "repository/random_source.h"

#include <QList>

namespace exam::candidate {

// 1 … questionCount.
QList<int> paperOrder(int questionCount);

// For k = 1 … n: r := integer part of (n × u + 1) in single precision, then swap positions k and r.
// A draw of u so close to 1 that the single-precision product rounds up to n + 1 swaps with
// position n, so no position is ever left without a question.
QList<int> shuffledOrder(int questionCount, exam::RandomSource &random);

// An order read back from a result profile is used when its first `presentedCount` entries are
// distinct question numbers of the paper. Anything else (missing keys, a paper edited since the
// save) is replaced by a fresh order, built as at a fresh start, in which presentAnswered() keeps
// every question already answered.
bool isUsableOrder(const QList<int> &order, int questionCount, int presentedCount);

// How many questions hold an answer (answers[k - 1] not 0).
int answeredCount(const QList<double> &answers);

// Moves every answered question into the first `presentedCount` positions, each into the place of
// an unanswered one, so a fresh draw on a re-login loses no answer given before. Positions run out
// only when `presentedCount` is below answeredCount(); the rest then stay where they are.
void presentAnswered(QList<int> &order, int presentedCount, const QList<double> &answers);

} // namespace exam::candidate
