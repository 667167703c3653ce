#pragma once

// Question by question: how many students answered correctly and how the answers spread over the
// options. Answers and standard answers are in digit form (13 = first and third option, 0 = none),
// held in 64 bits: five or more options ("23456", "1234567") do not fit in 16.

#include <QList>
#include <QtGlobal>

#include <array>

namespace exam {

// The decimal digits that occur in the decimal text of `value`, as a bit mask (bit d for digit d).
// 0 gives bit 0; the sign of a negative value is ignored.
int digitMask(qint64 value);
inline bool containsDigit(qint64 value, int digit)
{
    return (digitMask(value) >> digit) & 1;
}

inline constexpr int TableOptionCount = 5;  // options counted in the question table
inline constexpr int DistributionCells = 8; // cell 0 "未作答人数", cells 1 … 7 the options

struct QuestionRow
{
    int number = 0;            // question number, 1-based
    qint64 standardAnswer = 0; // 0 when the paper gives none
    int correct = 0;           // participants whose answer equals the standard answer
    int correctRate = 0;       // percent of the participants, rounded half to even
    std::array<int, TableOptionCount> optionCounts{}; // answers that contain option 1 … 5

    friend bool operator==(const QuestionRow &, const QuestionRow &) = default;
};

// The answers of the class, one list per student position (each as long as the question count,
// missing answers count as 0), and which positions have a score.
struct ClassAnswers
{
    QList<QList<qint64>> answers;
    QList<bool> hasScore;

    qint64 answer(int position, int question) const; // question 1-based; 0 when not stored
    qint64 participants() const;
};

// One row per question 1 … standardAnswers.size().
//
// Only participants count as correct: a student still in the exam has saved answers but no score,
// and counting him over a denominator of participants would give rates above 100 %. The option
// counts take every stored answer, so the teacher sees the class's choices while the exam runs.
QList<QuestionRow> analyseQuestions(const ClassAnswers &classAnswers,
                                    const QList<qint64> &standardAnswers);

struct AnswerDistribution
{
    std::array<int, DistributionCells>
        counts{}; // cell k: answers with option k; cell 0: empty answers of participants
    std::array<bool, DistributionCells> highlighted{}; // digits of the standard answer
};

// The spread of the answers to one question over the cells of the distribution panel.
AnswerDistribution answerDistribution(const ClassAnswers &classAnswers, int question,
                                      qint64 standardAnswer);

} // namespace exam
