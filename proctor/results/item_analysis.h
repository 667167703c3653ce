#pragma once

// Quality of a paper after an exam: how the scores spread, how reliable the paper is, and for every
// question how hard it was, how well it separated strong from weak students, and which options the
// strong and the weak chose. Computed from one refresh of the results window, over the students
// with a score only.
//
// An item score is the question's mark when the answer equals the standard answer, else 0. A
// student's total is his score as stored (the figure the teacher sees and ranks by); the upper and
// lower groups are the first and last n students of the list ordered by total, highest first, equal
// totals by examination number ascending, with n = max(1, round(0.27 · N)).

#include "proctor/results/results_data.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace exam {

inline constexpr int AnalysedOptions = 7; // A … G
inline constexpr int HistogramBins = 10;  // equal bins from 0 to the full mark

// Hints for a question, as bits.
enum ItemHint : unsigned {
    HintTooHard = 1u << 0,           // "过难": P < 0.2
    HintTooEasy = 1u << 1,           // "过易": P > 0.9
    HintLowDiscrimination = 1u << 2, // "区分度低": D < 0.2
    HintKeyDoubtful = 1u << 3, // "答案可能有误": D < 0, or the upper group favours a wrong option
};

// The hint texts of `hints`, joined by "、"; empty without hints.
QString hintText(unsigned hints);

// A standard answer in digit form as letters: 13 gives "AC"; 0 gives "".
QString answerLetters(qint64 digitForm);

// Which share of a group ticked each option and which left the question blank.
struct OptionShares
{
    std::array<double, AnalysedOptions> options{};
    double blank = 0;
};

struct ItemFigures
{
    int number = 0; // question number, 1-based
    double mark = 0;
    qint64 standardAnswer = 0; // digit form; 0 when the paper gives none
    int answered = 0;          // students with a score who ticked anything
    int correct = 0;
    double facility = 0;       // P: share correct
    double discrimination = 0; // D = P(upper) − P(lower)
    std::optional<double>
        itemRest; // Pearson(item score, total − item score); none without variance
    OptionShares all;
    OptionShares upper;
    OptionShares lower;
    unsigned hints = 0; // ItemHint bits
};

struct PaperFigures
{
    int students = 0; // N
    double mean = 0;
    double standardDeviation = 0; // population
    double median = 0;
    double lowest = 0;
    double highest = 0;
    std::optional<double> alpha; // Cronbach's alpha; none with < 2 questions or no variance
    std::optional<double> measurementError; // SD · √(1 − α)
};

struct ScoreHistogram
{
    double top = 0; // the full mark; the highest score when the paper has no marks
    std::array<int, HistogramBins> counts{}; // bin k: [k·top/10, (k+1)·top/10), the last one closed
    GradeThresholds gradeLimits;
};

struct ItemAnalysis
{
    // Fewer than two students with a score: no figure means anything ("人数不足").
    bool enoughStudents = false;
    int groupSize = 0; // n of the upper and lower groups
    PaperFigures paper;
    ScoreHistogram histogram;
    QList<ItemFigures> items; // in question-number order; figures only when enoughStudents
};

// The number of students in each of the upper and lower groups of N students.
int extremeGroupSize(int students);

ItemAnalysis analyseItems(const ResultsData &data);

} // namespace exam
