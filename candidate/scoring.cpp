#include "candidate/scoring.h"

#include "repository/profile_values.h"

#include <algorithm>
#include <cmath>

double answerFromTicks(const OptionTicks &ticks)
{
    double answer = 0;
    for (int j = 1; j <= OptionCount; ++j) {
        if (ticks[j - 1])
            answer = answer * 10 + j;
    }
    return answer;
}

OptionTicks ticksFromAnswer(double answer)
{
    const QString digits = exam::shortestNumberText(answer);
    OptionTicks ticks{};
    for (int j = 1; j <= OptionCount; ++j)
        ticks[j - 1] = digits.contains(QChar(u'0' + j));
    return ticks;
}

double answerValue(const QString &text)
{
    return exam::leadingNumber(text);
}

bool isAnsweredCorrectly(const QString &standardAnswer, double answer)
{
    return answerValue(standardAnswer) == answer;
}

QString markText(const ExamQuestion &question, int defaultMark)
{
    const QString own = exam::trimBlanks(question.mark);
    return own.isEmpty() ? QString::number(defaultMark) : own;
}

double markValue(const ExamQuestion &question, int defaultMark)
{
    const QString own = exam::trimBlanks(question.mark);
    if (own.isEmpty())
        return defaultMark;
    return std::clamp(exam::leadingNumber(own), -32768.0, 32767.0);
}

qint64 roundHalfEven(double value)
{
    constexpr double limit = 9.0e15; // well inside qint64 and exact in a double
    value = std::clamp(value, -limit, limit);
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        rounded = lower + 1;
    return static_cast<qint64>(rounded);
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
        const ExamQuestion &question = paper.question(k);
        const double mark = markValue(question, paper.defaultMark);
        const double answer = k <= answers.size() ? answers.at(k - 1) : 0.0;
        if (isAnsweredCorrectly(question.standardAnswer, answer))
            result.score = roundHalfEven(static_cast<double>(result.score) + mark);
        result.total += mark;
    }
    return result;
}

QString handInMessage(bool displayScore, const ScoreResult &result)
{
    const QChar cr(13);
    if (displayScore) {
        return QStringLiteral("        本试卷总分为:") + exam::shortestNumberText(result.total) + cr +
               QStringLiteral("        您的成绩为:") + QString::number(result.score) + QStringLiteral("          ") + cr +
               QStringLiteral("            谢谢使用!");
    }
    return QStringLiteral("        您的考试成绩已经保存。          ") + cr + QStringLiteral("       谢谢使用! 再见!         ");
}
