#pragma once

// What the instructions window "考试说明" shows for a paper, read from its profile's MAIN section.

#include <QString>

namespace exam {
class ProfileSnapshot;
}

namespace exam::candidate {

struct InstructionTexts
{
    QString startCaption;  // Command1
    QString description;   // Label1: two blanks and the paper's description
    QString fullMark;      // Lab总分; empty for a random draw, which has no fixed full mark
    QString minutes;       // Lab考试总时间
    QString questionCount; // LAB总题数
};

InstructionTexts instructionTexts(const exam::ProfileSnapshot &paperProfile, bool reviewMode);

} // namespace exam::candidate
