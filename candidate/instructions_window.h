#pragma once

// The instructions window "考试说明", shown between login and exam: the paper's description, full
// mark, time and question count, and the button that starts the exam (or the review).

#include "candidate/candidate_state.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace exam::candidate {

class InstructionsWindow : public QWidget
{
    Q_OBJECT

public:
    // Reads the paper profile of state.paperName below `repositoryRoot`.
    InstructionsWindow(const QString &repositoryRoot, const CandidateState &state,
                       QWidget *parent = nullptr);

    // What the start button opens (the exam window). The window closes right after; with nothing
    // opened in its place the program ends.
    void setStartHook(std::function<void()> hook) { m_startHook = std::move(hook); }

private:
    void startExam();

    QLabel *m_description;
    QLabel *m_fullMark;
    QLabel *m_minutes;
    QLabel *m_questionCount;
    QPushButton *m_start;
    std::function<void()> m_startHook;
};

} // namespace exam::candidate
