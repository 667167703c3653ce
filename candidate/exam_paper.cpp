#include "candidate/exam_paper.h"

#include "repository/profile_values.h"

#include <algorithm>

namespace exam::candidate {

int ExamPaper::presentedCount() const
{
    const int wanted = randomDraw != 0 ? drawCount : questionCount;
    return std::clamp(wanted, 0, questionCount);
}

ExamPaper readExamPaper(const exam::ProfileSnapshot &paperProfile)
{
    using exam::profileNumber;
    const exam::PaperSettings settings =
        exam::readPaperSettings(paperProfile, exam::PaperReader::Client);
    const exam::PaperData data = exam::loadPaper(paperProfile);

    ExamPaper paper;
    paper.testMinutes = profileNumber(settings.testTime);
    paper.questionCount = std::max(0, std::min<int>(data.questionCount, data.questions.size() - 1));
    paper.defaultMark = data.defaultMark;
    paper.practiceMode = profileNumber(settings.exerciseMode);
    paper.displayScore = profileNumber(settings.displayScore);
    paper.shuffleOrder = profileNumber(settings.changeQuestionSort);
    paper.randomDraw = profileNumber(settings.randomDraw);
    paper.drawCount = profileNumber(settings.randomDrawCount);
    paper.questions = data.questions.mid(1, paper.questionCount);
    return paper;
}

} // namespace exam::candidate
