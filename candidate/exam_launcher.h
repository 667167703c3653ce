#pragma once

// Opens the exam window as the program runs it: the repository in the program folder, read in
// place unless that folder lies on a network file system (then through the client's local copy
// folder), the program's random source and clock. The window deletes itself when it closes, and
// the program ends with it.

#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {
class Clock;
class RandomSource;
} // namespace exam

namespace exam::candidate {

class ExamWindow;
struct CandidateState;

// `state`, `dialogs`, `random` and `clock` must outlive the window.
ExamWindow *openExamWindow(const QString &programFolder, CandidateState &state,
                           platform::Dialogs &dialogs, exam::RandomSource &random,
                           const exam::Clock &clock);

} // namespace exam::candidate
