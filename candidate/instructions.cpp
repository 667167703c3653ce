#include "candidate/instructions.h"

#include "repository/paper_profile.h"
#include "repository/profile_file.h"
#include "repository/profile_values.h"

namespace exam::candidate {

namespace {

QString mainValue(const exam::ProfileSnapshot &profile, const char *key)
{
    return profile.value(QLatin1String(exam::PaperKeys::MainSection), QLatin1String(key),
                         QStringLiteral("0"));
}

} // namespace

InstructionTexts instructionTexts(const exam::ProfileSnapshot &paperProfile, bool reviewMode)
{
    using namespace exam::PaperKeys;
    InstructionTexts texts;
    texts.startCaption =
        reviewMode ? QStringLiteral("单击开始查阅试卷") : QStringLiteral("单击开始考试");
    texts.description = QStringLiteral("  ") + mainValue(paperProfile, AboutTest);
    texts.fullMark = mainValue(paperProfile, FullMark);
    texts.minutes = mainValue(paperProfile, TestTime);
    texts.questionCount = mainValue(paperProfile, QuestionCount) + QStringLiteral("  ");
    // Only exactly 1 counts here, although the exam draws at random for any value but 0.
    if (exam::profileNumber(mainValue(paperProfile, RandomDraw)) == 1) {
        texts.questionCount =
            QString::number(exam::profileNumber(mainValue(paperProfile, RandomDrawCount)));
        texts.fullMark.clear();
    }
    return texts;
}

} // namespace exam::candidate
