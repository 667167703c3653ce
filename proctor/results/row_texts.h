#pragma once

// The fixed-width text rows of the results window's list boxes. Fields are padded or cut with
// underscores and separated by "_|_"; these texts are what the teacher reads, so they are exact.

#include <QString>
#include <QtGlobal>

namespace exam {

// `text` followed by `fill` underscores, cut to its first `width` characters: a longer text is cut,
// a shorter one filled.
QString padField(const QString &text, int width, int fill);

// Left student list: number, name and former name.
QString studentNamesRow(const QString &number, const QString &name, const QString &formerName);

// Right student list: score, rank and remaining time. A student without a score text shows neither
// score nor rank.
QString studentScoreRow(const QString &score, const QString &rank, const QString &remainingTime);

// One row of the statistics panel: the text followed by 16 underscores.
QString statisticsRow(const QString &text);

// Question list: question number, correct rate and standard answer.
QString questionRow(int question, int correctRate, qint64 standardAnswer);

// The selected student's answer to one question.
QString answerRow(qint64 answer);

} // namespace exam
