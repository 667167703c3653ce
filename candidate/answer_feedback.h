#pragma once

// What the exam window paints: the colours of option boxes and question buttons, and the feedback
// that practice mode and review add to the question frame's caption.

#include "candidate/scoring.h"
#include "repository/answer_digits.h"

#include <QColor>
#include <QString>

#include <array>
#include <optional>

namespace exam::candidate {

enum class Tint {
    ButtonFace,     // a question button not answered yet: the system's own colour
    Ticked,         // option box ticked: red
    Unticked,       // option box not ticked: teal
    StandardOption, // option of the standard answer: green
    Answered,       // question button of an answered question: green
    ReviewRight,    // review: question answered correctly: green
    ReviewWrong,    // review: any other question: dark red
};

// The colour of a tint; nothing for ButtonFace, which keeps the style's own colour.
std::optional<QColor> tintColor(Tint tint);
// What a tint says, for those who cannot see the colour (assistive technology reads it as the
// control's description); empty where the control's own state says it (a ticked box).
QString tintText(Tint tint);

using OptionTints = std::array<Tint, exam::OptionCount>;

OptionTints tintsFromTicks(const exam::OptionTicks &ticks);

struct AnswerFeedback
{
    QString captionSuffix;              // appended to the question frame's caption
    std::optional<OptionTints> options; // the standard answer's options in green; none when the
                                        // question has no standard answer
};

// "  标准答案: 13  您答对了!" and its option colours, or " 本题标准答案尚未输入." alone.
AnswerFeedback answerFeedback(const QString &standardAnswer, double answer);

// In review a question button is green when the question was answered correctly, else dark red.
Tint reviewButtonTint(const QString &standardAnswer, double answer);

} // namespace exam::candidate
