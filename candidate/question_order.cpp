#include "candidate/question_order.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <utility>

namespace exam::candidate {

QList<int> paperOrder(int questionCount)
{
    QList<int> order;
    order.reserve(std::max(0, questionCount));
    for (int k = 1; k <= questionCount; ++k)
        order.append(k);
    return order;
}

QList<int> shuffledOrder(int questionCount, exam::RandomSource &random)
{
    QList<int> order = paperOrder(questionCount);
    const float n = static_cast<float>(questionCount);
    for (int k = 1; k <= questionCount; ++k) {
        const float u = static_cast<float>(random.uniform());
        const int r = std::clamp(static_cast<int>(std::floor(n * u + 1.0f)), 1, questionCount);
        std::swap(order[k - 1], order[r - 1]);
    }
    return order;
}

bool isUsableOrder(const QList<int> &order, int questionCount, int presentedCount)
{
    if (presentedCount > order.size())
        return false;
    QSet<int> seen;
    for (int p = 0; p < presentedCount; ++p) {
        const int k = order.at(p);
        if (k < 1 || k > questionCount || seen.contains(k))
            return false;
        seen.insert(k);
    }
    return true;
}

int answeredCount(const QList<double> &answers)
{
    return static_cast<int>(
        std::count_if(answers.begin(), answers.end(), [](double answer) { return answer != 0.0; }));
}

void presentAnswered(QList<int> &order, int presentedCount, const QList<double> &answers)
{
    const auto answered = [&answers](int k) {
        return k >= 1 && k <= answers.size() && answers.at(k - 1) != 0.0;
    };
    // `free` walks back over the presented positions, to the next one without an answer.
    int free = std::clamp(presentedCount, 0, static_cast<int>(order.size())) - 1;
    for (int p = free + 1; p < order.size(); ++p) {
        if (!answered(order.at(p)))
            continue;
        while (free >= 0 && answered(order.at(free)))
            --free;
        if (free < 0)
            return;
        std::swap(order[free--], order[p]);
    }
}

} // namespace exam::candidate
