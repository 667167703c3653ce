#pragma once

// The client's process-wide state: filled by the login window (paper, class, student, passwords,
// mode flags) and by the exam window's start (settings, clock, position); read by every window of
// the client. One record per program run, owned by main() and passed to the windows by reference.

#include <QString>

namespace exam::candidate {

struct CandidateState
{
    // --- Login and admission ------------------------------------------------------------------
    int paperOpen = 0;       // TestName/<paper>: 1 = open for taking
    int reviewAllowed = 0;   // LetViewTest/<paper>: 1 = finished papers may be reviewed
    bool reviewMode = false; // set only by "查看成绩": the finished paper is shown read-only
    QString retestPassword;  // paper profile MAIN/RETESTPASSWD, trimmed; empty = no retest
    QString reloginPassword; // paper profile MAIN/RELOGINPASSWD, trimmed; empty = no second login
    int firstNumber = 0;     // FirstNumber/<class>: lowest admitted examination number
    int lastNumber = 0;      // LastNumber/<class>: highest admitted examination number
    QString paperName;       // the chosen paper
    QString className;       // the chosen class, trimmed
    QString examNumber;      // normalised examination number: decimal digits, no leading zeros
    QString studentName;     // trimmed
    QString formerName;      // trimmed; may be empty
    QString enteredPassword; // the password dialog's trimmed entry; empty on cancel
    bool resumeMode = false; // re-login into an interrupted exam: resume the saved progress

    // --- Exam session (set when the exam window starts) -----------------------------------------
    QString localCacheFolder; // local copies of the paper's files when not run in place
    bool runsLocally = true;  // files are read in place from the repository
    int jumpStep = 5;         // questions skipped by a right-click on previous/next
    bool autoAdvance = false; // move on to the next question after an answer click
    bool answerShown = false; // practice/review: standard answer and explanation on display
    int testMinutes = 0;      // MAIN/TESTtime: exam time in minutes
    int questionCount = 0;    // MAIN/Question_conut: questions in the paper
    int defaultMark = 0;      // MAIN/Mark: mark of a question without a mark of its own
    int practiceMode = 0;     // MAIN/EXERCISEMODE: 1 = practice mode
    int currentPosition = 1;  // 1-based position in the presented order of the question on display
    int remainingTime = 0;    // seconds left (0 = time is up); unused when the paper has no limit
};

} // namespace exam::candidate
