#pragma once

// The paper as the exam window works with it: the settings of MAIN read with the client's
// defaults, and the question table (1-based question numbers).

#include "repository/paper_profile.h"
#include "repository/profile_file.h"

#include <QList>

namespace exam::candidate {

struct ExamPaper
{
    int testMinutes = 0;                  // TESTtime
    int questionCount = 0;                // Question_conut
    int defaultMark = 0;                  // Mark
    int practiceMode = 0;                 // EXERCISEMODE
    int displayScore = 0;                 // DISPLAY_SCORE
    int shuffleOrder = 1;                 // CHANGE_QUESTION_SORT
    int randomDraw = 0;                   // rnd_test; any value but 0 draws
    int drawCount = 0;                    // rnd_test_No
    QList<exam::PaperQuestion> questions; // question k is questions[k - 1]

    // How many positions are presented: the draw count for a random draw, else every question.
    // Kept within 0 … questionCount, so every presented position holds a question even when the
    // profile was edited by hand.
    int presentedCount() const;
    // A paper without a usable exam time (TESTtime empty, 0, negative or not a number) has no
    // time limit; a clock counting down from nothing would hand it in after one second.
    bool hasTimeLimit() const { return testMinutes > 0; }
    // Questions are shuffled when the paper says so, and always for a random draw.
    bool shuffles() const { return randomDraw != 0 || shuffleOrder == 1; }
    const exam::PaperQuestion &question(int k) const { return questions.at(k - 1); }
    bool hasQuestion(int k) const { return k >= 1 && k <= questions.size(); }
};

// Reads the paper profile; a missing profile gives an empty paper that shuffles.
ExamPaper readExamPaper(const exam::ProfileSnapshot &paperProfile);

} // namespace exam::candidate
