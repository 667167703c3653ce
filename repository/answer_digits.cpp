#include "repository/answer_digits.h"

#include "repository/profile_values.h"

namespace exam {

QString answerFromTicks(const OptionTicks &ticks)
{
    QString answer;
    for (int k = 1; k <= OptionCount; ++k) {
        if (ticks[static_cast<size_t>(k - 1)])
            answer += QChar(u'0' + k);
    }
    return answer;
}

OptionTicks ticksFromAnswer(const QString &answer)
{
    OptionTicks ticks{};
    for (int k = 1; k <= OptionCount; ++k)
        ticks[static_cast<size_t>(k - 1)] = answer.contains(QChar(u'0' + k));
    return ticks;
}

double answerValue(const QString &text)
{
    return leadingNumber(text);
}

double answerValue(const OptionTicks &ticks)
{
    return leadingNumber(answerFromTicks(ticks));
}

OptionTicks ticksFromValue(double answer)
{
    return ticksFromAnswer(shortestNumberText(answer));
}

bool isAnsweredCorrectly(const QString &standardAnswer, double answer)
{
    return answerValue(standardAnswer) == answer;
}

} // namespace exam
