#pragma once

// The road through the client's windows: login window → instructions window → exam window, with
// no way back. The exam window is opened by the exam launcher, which the program sets; without one
// the start button just ends the program.

#include "candidate/candidate_state.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace exam::platform {
class Dialogs;
class SingleInstanceGuard;
} // namespace exam::platform

namespace exam::candidate {

class InstructionsWindow;
class LoginWindow;
class PasswordPrompt;

// Opens the exam (or review) window on the filled CandidateState.
using ExamLauncher = std::function<void()>;

class ClientFlow : public QObject
{
    Q_OBJECT

public:
    // `state`, `dialogs` and `prompt` must outlive the flow.
    ClientFlow(const QString &repositoryRoot, CandidateState &state, platform::Dialogs &dialogs,
               PasswordPrompt &prompt, QObject *parent = nullptr);
    ~ClientFlow() override;

    void setExamLauncher(ExamLauncher launcher) { m_launcher = std::move(launcher); }

    // Shows the login window. False when the program is to end at once (a message has been shown).
    bool start();

    // The windows while they are open (null before and after).
    LoginWindow *loginWindow() const;
    InstructionsWindow *instructionsWindow() const;

private:
    void showInstructions();

    QString m_root;
    CandidateState &m_state;
    platform::Dialogs &m_dialogs;
    PasswordPrompt &m_prompt;
    ExamLauncher m_launcher;
    QPointer<LoginWindow> m_login;
    QPointer<InstructionsWindow> m_instructions;
};

// Takes the one-copy-per-PC lock. False when another copy runs: "程序已经运行!" has been shown and
// this copy is to end.
bool claimSingleInstance(platform::SingleInstanceGuard &guard, platform::Dialogs &dialogs);

} // namespace exam::candidate
