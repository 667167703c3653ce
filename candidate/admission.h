#pragma once

// The admission check shared by "登录" and "查看成绩": is a paper and a class chosen, is the
// examination number within the class's range, and does the name match the one stored at the
// student's first login. It fills the login fields of CandidateState as it goes.

#include "candidate/candidate_state.h"

#include <QString>

namespace exam {
class RepositoryPaths;
}

namespace exam::candidate {

// The login window's entries as typed.
struct LoginEntries
{
    QString paper;      // Combo1
    QString className;  // Combo2
    QString number;     // Text1
    QString name;       // Text2
    QString formerName; // Text3
};

struct [[nodiscard]] AdmissionResult
{
    bool admitted = false;
    QString message;          // for the message box when not admitted
    bool focusNumber = false; // the number field should take the focus
    QString normalizedNumber; // the number field's new text (step 3), set once step 3 was reached
    bool numberNormalized = false;
};

AdmissionResult checkAdmission(const exam::RepositoryPaths &paths, const LoginEntries &entries,
                               CandidateState &state);

// The student's result profile as the chosen paper, class and number name it.
QString studentResultProfile(const exam::RepositoryPaths &paths, const CandidateState &state);

} // namespace exam::candidate
