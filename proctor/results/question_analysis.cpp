#include "proctor/results/question_analysis.h"

#include "repository/profile_values.h"

#include <algorithm>

namespace exam {

int digitMask(qint64 value)
{
    // The magnitude as unsigned, so the most negative value has one too.
    quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    int mask = 0;
    do {
        mask |= 1 << (magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return mask;
}

qint64 ClassAnswers::answer(int position, int question) const
{
    const QList<qint64> &row = answers.at(position);
    return question >= 1 && question <= row.size() ? row.at(question - 1) : qint64(0);
}

qint64 ClassAnswers::participants() const
{
    return std::count(hasScore.cbegin(), hasScore.cend(), true);
}

QList<QuestionRow> analyseQuestions(const ClassAnswers &classAnswers,
                                    const QList<qint64> &standardAnswers)
{
    const qint64 participants = classAnswers.participants();
    QList<QuestionRow> rows;
    rows.reserve(standardAnswers.size());
    for (int q = 1; q <= standardAnswers.size(); ++q) {
        QuestionRow row;
        row.number = q;
        row.standardAnswer = standardAnswers.at(q - 1);
        for (int i = 0; i < classAnswers.answers.size(); ++i) {
            const qint64 a = classAnswers.answer(i, q);
            if (row.standardAnswer > 0 && a == row.standardAnswer && classAnswers.hasScore.value(i))
                ++row.correct;
            const int mask = digitMask(a);
            for (int k = 1; k <= TableOptionCount; ++k) {
                if ((mask >> k) & 1)
                    ++row.optionCounts[k - 1];
            }
        }
        if (participants > 0) {
            row.correctRate = static_cast<int>(
                roundHalfEven(row.correct * 100.0 / static_cast<double>(participants)));
        }
        rows.append(row);
    }
    return rows;
}

AnswerDistribution answerDistribution(const ClassAnswers &classAnswers, int question,
                                      qint64 standardAnswer)
{
    AnswerDistribution distribution;
    for (int i = 0; i < classAnswers.answers.size(); ++i) {
        const qint64 a = classAnswers.answer(i, question);
        const int mask = digitMask(a);
        for (int k = 1; k < DistributionCells; ++k) {
            if ((mask >> k) & 1)
                ++distribution.counts[k];
        }
        if (a == 0 && classAnswers.hasScore.value(i))
            ++distribution.counts[0];
    }
    const int standardMask = digitMask(standardAnswer);
    for (int k = 0; k < DistributionCells; ++k)
        distribution.highlighted[k] = (standardMask >> k) & 1;
    return distribution;
}

} // namespace exam
