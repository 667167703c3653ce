#include "candidate/answer_feedback.h"

#include "repository/profile_values.h"

namespace exam::candidate {

std::optional<QColor> tintColor(Tint tint)
{
    switch (tint) {
    case Tint::ButtonFace: return std::nullopt;
    case Tint::Ticked: return QColor(255, 0, 0);
    case Tint::Unticked: return QColor(0, 192, 192);
    case Tint::StandardOption:
    case Tint::Answered:
    case Tint::ReviewRight: return QColor(0, 255, 0);
    case Tint::ReviewWrong: return QColor(192, 0, 0);
    }
    return std::nullopt;
}

QString tintText(Tint tint)
{
    switch (tint) {
    case Tint::ButtonFace: return QStringLiteral("未答");
    case Tint::Ticked:
    case Tint::Unticked: return {};
    case Tint::StandardOption: return QStringLiteral("标准答案");
    case Tint::Answered: return QStringLiteral("已答");
    case Tint::ReviewRight: return QStringLiteral("答对");
    case Tint::ReviewWrong: return QStringLiteral("答错");
    }
    return {};
}

OptionTints tintsFromTicks(const exam::OptionTicks &ticks)
{
    OptionTints tints{};
    for (int j = 0; j < exam::OptionCount; ++j)
        tints[j] = ticks[j] ? Tint::Ticked : Tint::Unticked;
    return tints;
}

AnswerFeedback answerFeedback(const QString &standardAnswer, double answer)
{
    AnswerFeedback feedback;
    const double standard = exam::answerValue(standardAnswer);
    if (standard == 0) {
        feedback.captionSuffix = QStringLiteral(" 本题标准答案尚未输入.");
        return feedback;
    }
    const QString text = exam::trimBlanks(standardAnswer);
    feedback.captionSuffix = QStringLiteral("  ") + QStringLiteral(" 标准答案: ") + text;
    OptionTints tints{};
    for (int j = 1; j <= exam::OptionCount; ++j)
        tints[j - 1] = text.contains(QChar(u'0' + j)) ? Tint::StandardOption : Tint::Unticked;
    feedback.options = tints;
    if (standard == answer)
        feedback.captionSuffix += QStringLiteral("  您答对了!");
    else if (answer != 0)
        feedback.captionSuffix += QStringLiteral("  您答错了!");
    else
        feedback.captionSuffix += QStringLiteral("  您尚未做题!");
    return feedback;
}

Tint reviewButtonTint(const QString &standardAnswer, double answer)
{
    return exam::isAnsweredCorrectly(standardAnswer, answer) ? Tint::ReviewRight
                                                             : Tint::ReviewWrong;
}

} // namespace exam::candidate
