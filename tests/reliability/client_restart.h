#pragma once

// A student client started again on a repository after a crash: it logs in through the login's
// own rules (answering every question with OK and every password prompt with the paper's
// password), then starts the exam, which resumes an interrupted attempt or starts a fresh one.

#include "attempt_pattern.h"

#include "candidate/exam_session.h"
#include "candidate/exam_test_support.h"
#include "candidate/login_model.h"
#include "candidate/password_prompt.h"
#include "platform/dialogs/fake_dialogs.h"

#include <QTemporaryDir>

using namespace exam::candidate;
using namespace exam::platform;

namespace reliability {

// The retest and re-login password of the reliability paper.
inline const QString PaperPassword = QStringLiteral("1");

struct ClientRestart
{
    bool loggedIn = false;
    bool resumed = false; // the login decided on the re-login path
    QList<double> answers;
    QList<int> order;
    int position = 0;
};

inline ClientRestart restartClient(const QString &root, int client)
{
    class PaperPasswordPrompt final : public PasswordPrompt
    {
    public:
        std::optional<QString> ask(const QString &) override { return PaperPassword; }
    };
    CandidateState state;
    FakeDialogs dialogs;
    for (int k = 0; k < 4; ++k)
        dialogs.answerQuestion(true);
    PaperPasswordPrompt prompt;
    LoginModel login(root, state, dialogs, prompt);
    ClientRestart restart;
    if (!login.start())
        return restart;
    restart.loggedIn = login.logIn(
        {Paper, ClassName, studentNumber(client), studentName(client), formerName(client)});
    if (!restart.loggedIn)
        return restart;
    restart.resumed = state.resumeMode;
    ScriptedRandom random;
    FixedClock clock;
    QTemporaryDir cache;
    ExamEnvironment environment{root,
                                true,
                                cache.path(),
                                &random,
                                &clock,
                                [](const QString &) {
                                    return std::unique_ptr<ExamTicker>(new ManualTicker); }};
    ExamSession session(state, environment);
    session.start();
    restart.answers = session.answers();
    restart.order = session.order();
    restart.position = session.state().currentPosition;
    return restart;
}

} // namespace reliability
