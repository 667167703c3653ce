#include "proctor/results/item_analysis.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <vector>

namespace exam {

namespace {

// How many students of a group ticked each option, left the question blank, answered correctly.
struct OptionCounts
{
    std::array<int, AnalysedOptions + 1> options{}; // index 1 … 7
    int blank = 0;
    int correct = 0;

    void add(qint64 answer, bool isCorrect)
    {
        correct += isCorrect ? 1 : 0;
        if (answer == 0) {
            ++blank;
            return;
        }
        const int mask = digitMask(answer);
        for (int option = 1; option <= AnalysedOptions; ++option)
            options[size_t(option)] += (mask >> option) & 1;
    }

    OptionShares shares(int groupSize) const
    {
        OptionShares result;
        for (int option = 1; option <= AnalysedOptions; ++option)
            result.options[size_t(option - 1)] = double(options[size_t(option)]) / groupSize;
        result.blank = double(blank) / groupSize;
        return result;
    }

    // An option outside the key that more of the group ticked than answered correctly.
    bool favoursWrongOption(qint64 standardAnswer) const
    {
        const int keyMask = standardAnswer > 0 ? digitMask(standardAnswer) : 0;
        for (int option = 1; option <= AnalysedOptions; ++option) {
            if (!((keyMask >> option) & 1) && options[size_t(option)] > correct)
                return true;
        }
        return false;
    }
};

double mean(const std::vector<double> &values)
{
    return std::accumulate(values.cbegin(), values.cend(), 0.0) / double(values.size());
}

// Sum of squared deviations from the mean.
double squaredDeviations(const std::vector<double> &values, double average)
{
    double sum = 0;
    for (const double v : values)
        sum += (v - average) * (v - average);
    return sum;
}

bool allEqual(const std::vector<double> &values)
{
    return std::adjacent_find(values.cbegin(), values.cend(), std::not_equal_to<>()) ==
           values.cend();
}

std::optional<double> pearson(const std::vector<double> &x, const std::vector<double> &y)
{
    if (allEqual(x) || allEqual(y))
        return std::nullopt;
    const double mx = mean(x);
    const double my = mean(y);
    double products = 0;
    for (size_t i = 0; i < x.size(); ++i)
        products += (x[i] - mx) * (y[i] - my);
    return products / std::sqrt(squaredDeviations(x, mx) * squaredDeviations(y, my));
}

// Positions of the students with a score, highest score first, equal scores by position (and so
// by examination number) ascending.
std::vector<int> rankedParticipants(const ResultsData &data)
{
    std::vector<int> ranked;
    for (int i = 0; i < int(data.students.size()); ++i) {
        if (data.students.at(i).hasScore)
            ranked.push_back(i);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) {
        return data.students.at(a).scoreValue > data.students.at(b).scoreValue;
    });
    return ranked;
}

PaperFigures paperFigures(const std::vector<double> &descendingScores)
{
    PaperFigures paper;
    const size_t n = descendingScores.size();
    paper.students = int(n);
    if (n == 0)
        return paper;
    paper.mean = mean(descendingScores);
    paper.standardDeviation =
        std::sqrt(squaredDeviations(descendingScores, paper.mean) / double(n));
    paper.highest = descendingScores.front();
    paper.lowest = descendingScores.back();
    paper.median = n % 2 ? descendingScores[n / 2]
                         : (descendingScores[n / 2 - 1] + descendingScores[n / 2]) / 2;
    return paper;
}

ScoreHistogram histogram(const std::vector<double> &scores, double fullMark, double highest,
                         const GradeThresholds &thresholds)
{
    ScoreHistogram result;
    result.gradeLimits = thresholds;
    result.top = fullMark > 0 ? fullMark : highest;
    for (const double score : scores) {
        // Multiplied before dividing, so a score on a bin limit lands in the bin it opens.
        const double bin = result.top > 0 ? std::floor(score * HistogramBins / result.top) : 0;
        result.counts[size_t(std::clamp(int(bin), 0, HistogramBins - 1))] += 1;
    }
    return result;
}

unsigned hintsOf(const OptionCounts &all, const OptionCounts &upper, const OptionCounts &lower,
                 int students, int groupSize, qint64 standardAnswer)
{
    // Decided in whole numbers: 0.6 − 0.4 in floating point is just below 0.2.
    unsigned hints = 0;
    if (5 * all.correct < students)
        hints |= HintTooHard;
    if (10 * all.correct > 9 * students)
        hints |= HintTooEasy;
    const int difference = upper.correct - lower.correct;
    if (5 * difference < groupSize)
        hints |= HintLowDiscrimination;
    if (difference < 0 || upper.favoursWrongOption(standardAnswer))
        hints |= HintKeyDoubtful;
    return hints;
}

} // namespace

QString hintText(unsigned hints)
{
    static const std::array<std::pair<unsigned, const char16_t *>, 4> texts = {{
        {HintTooHard, u"过难"},
        {HintTooEasy, u"过易"},
        {HintLowDiscrimination, u"区分度低"},
        {HintKeyDoubtful, u"答案可能有误"},
    }};
    QStringList parts;
    for (const auto &[bit, text] : texts) {
        if (hints & bit)
            parts.append(QString::fromUtf16(text));
    }
    return parts.join(u'、');
}

QString answerLetters(qint64 digitForm)
{
    QString letters;
    if (digitForm <= 0)
        return letters;
    for (const QChar digit : QString::number(digitForm)) {
        const int option = digit.digitValue();
        if (option >= 1 && option <= AnalysedOptions)
            letters += QChar(u'A' + option - 1);
    }
    return letters;
}

int extremeGroupSize(int students)
{
    // round(0.27 · N), halves up, in whole numbers: 0.27 · 50 is not exactly 13.5 in binary.
    return std::max(1, (27 * students + 50) / 100);
}

ItemAnalysis analyseItems(const ResultsData &data)
{
    ItemAnalysis analysis;
    const std::vector<int> ranked = rankedParticipants(data);
    const int students = int(ranked.size());
    std::vector<double> totals(ranked.size());
    for (size_t r = 0; r < ranked.size(); ++r)
        totals[r] = data.students.at(ranked[r]).scoreValue;

    const int questions = data.questionCount();
    const auto markOf = [&](int q) {
        return q < data.questionMarks.size() ? data.questionMarks.at(q) : 0.0;
    };
    double fullMark = 0;
    for (int q = 0; q < questions; ++q)
        fullMark += markOf(q);

    analysis.enoughStudents = students >= 2;
    analysis.paper = paperFigures(totals);
    analysis.histogram = histogram(totals, fullMark, analysis.paper.highest, data.thresholds);
    analysis.groupSize = extremeGroupSize(students);
    const int n = analysis.groupSize;

    std::vector<double> itemScores(ranked.size());
    std::vector<double> rest(ranked.size());
    std::vector<double> summedItems(ranked.size(), 0.0);
    double itemVariances = 0;
    analysis.items.reserve(questions);
    for (int q = 0; q < questions; ++q) {
        ItemFigures item;
        item.number = q + 1;
        item.mark = markOf(q);
        item.standardAnswer = data.standardAnswers.at(q);
        if (!analysis.enoughStudents) {
            analysis.items.append(item);
            continue;
        }
        OptionCounts all;
        OptionCounts upper;
        OptionCounts lower;
        for (int r = 0; r < students; ++r) {
            const QList<qint64> &answers = data.students.at(ranked[size_t(r)]).answers;
            const qint64 answer = q < answers.size() ? answers.at(q) : 0;
            const bool correct = item.standardAnswer > 0 && answer == item.standardAnswer;
            itemScores[size_t(r)] = correct ? item.mark : 0.0;
            rest[size_t(r)] = totals[size_t(r)] - itemScores[size_t(r)];
            summedItems[size_t(r)] += itemScores[size_t(r)];
            all.add(answer, correct);
            if (r < n)
                upper.add(answer, correct);
            if (r >= students - n)
                lower.add(answer, correct);
        }
        item.answered = students - all.blank;
        item.correct = all.correct;
        item.facility = double(all.correct) / students;
        item.discrimination = double(upper.correct - lower.correct) / n;
        item.itemRest = pearson(itemScores, rest);
        item.all = all.shares(students);
        item.upper = upper.shares(n);
        item.lower = lower.shares(n);
        item.hints = hintsOf(all, upper, lower, students, n, item.standardAnswer);
        itemVariances += squaredDeviations(itemScores, mean(itemScores)) / students;
        analysis.items.append(item);
    }

    if (analysis.enoughStudents && questions >= 2 && !allEqual(summedItems)) {
        const double totalVariance = squaredDeviations(summedItems, mean(summedItems)) / students;
        const double alpha =
            double(questions) / (questions - 1) * (1 - itemVariances / totalVariance);
        analysis.paper.alpha = alpha;
        analysis.paper.measurementError =
            analysis.paper.standardDeviation * std::sqrt(std::max(0.0, 1 - alpha));
    }
    return analysis;
}

} // namespace exam
