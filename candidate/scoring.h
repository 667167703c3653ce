#pragma once

// The scoring of a handed-in paper: a question counts when its standard answer is met
// (isAnsweredCorrectly); there is no partial credit.

#include "candidate/exam_paper.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace exam::candidate {

// The mark text shown for a question: its own, or the default mark's decimal text when empty.
QString markText(const exam::PaperQuestion &question, int defaultMark);
// The mark counted for a question: the numeric value of its own mark (which may be 0.5), or the
// default mark when it has none. Held within the 16-bit range a mark can have.
double markValue(const exam::PaperQuestion &question, int defaultMark);

struct ScoreResult
{
    qint64 score = 0; // rounded after every correct answer
    double total = 0; // the exact sum of the presented questions' marks
};

// Scores positions 1 … presentedCount of `order`. answers[k - 1] is the answer to question k.
ScoreResult scorePaper(const ExamPaper &paper, const QList<double> &answers,
                       const QList<int> &order, int presentedCount);

// The message at hand-in: the total and the score when the paper shows scores, else the note
// that the result was saved.
QString handInMessage(bool displayScore, const ScoreResult &result);

} // namespace exam::candidate
