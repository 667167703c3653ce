#include "candidate/scoring.h"

#include "repository/answer_digits.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"

#include <algorithm>

namespace exam::candidate {

QString markText(const exam::PaperQuestion &question, int defaultMark)
{
    const QString own = exam::trimBlanks(question.mark);
    return own.isEmpty() ? QString::number(defaultMark) : own;
}

double markValue(const exam::PaperQuestion &question, int defaultMark)
{
    return std::clamp(exam::questionMark(question.mark, exam::roundToInt16(defaultMark)), -32768.0,
                      32767.0);
}

ScoreResult scorePaper(const ExamPaper &paper, const QList<double> &answers,
                       const QList<int> &order, int presentedCount)
{
    ScoreResult result;
    const int positions = std::min<int>(presentedCount, order.size());
    for (int p = 1; p <= positions; ++p) {
        const int k = order.at(p - 1);
        if (!paper.hasQuestion(k))
            continue;
        const exam::PaperQuestion &question = paper.question(k);
        const double mark = markValue(question, paper.defaultMark);
        const double answer = k <= answers.size() ? answers.at(k - 1) : 0.0;
        if (exam::isAnsweredCorrectly(question.answer, answer))
            result.score = exam::roundHalfEven(static_cast<double>(result.score) + mark);
        result.total += mark;
    }
    return result;
}

QString handInMessage(bool displayScore, const ScoreResult &result)
{
    const QChar cr(13);
    if (displayScore) {
        return QStringLiteral("        本试卷总分为:") + exam::shortestNumberText(result.total) +
               cr + QStringLiteral("        您的成绩为:") + QString::number(result.score) +
               QStringLiteral("          ") + cr + QStringLiteral("            谢谢使用!");
    }
    return QStringLiteral("        您的考试成绩已经保存。          ") + cr +
           QStringLiteral("       谢谢使用! 再见!         ");
}

} // namespace exam::candidate
