#include "tools/scripted_client.h"

#include "candidate/candidate_state.h"
#include "candidate/exam_session.h"
#include "candidate/login_model.h"
#include "candidate/password_prompt.h"
#include "candidate/scoring.h"
#include "platform/dialogs/fake_dialogs.h"

#include <memory>

using namespace exam::candidate;
using namespace exam::platform;

namespace exam::demo {

namespace {

// The student types the password he was given; the dialog's "确定" is pressed.
class TypedPassword final : public PasswordPrompt
{
public:
    explicit TypedPassword(QString password) : m_password(std::move(password)) {}
    std::optional<QString> ask(const QString &) override { return m_password; }

private:
    QString m_password;
};

// The exam's timers never fire by themselves: a scripted student is faster than any clock.
class IdleTicker final : public ExamTicker
{
public:
    void start(int intervalMs) override
    {
        m_interval = intervalMs;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }

private:
    bool m_active = false;
    int m_interval = 0;
};

} // namespace

ClientOutcome sitPaper(const QString &repositoryRoot, const ClientRun &run, RandomSource &random,
                       const Clock &clock)
{
    ClientOutcome outcome;
    CandidateState state;
    FakeDialogs dialogs; // questions take their default button ("确定")
    TypedPassword prompt(run.password);

    LoginModel login(repositoryRoot, state, dialogs, prompt);
    if (!login.start()) {
        outcome.dialogTexts = dialogs.texts();
        return outcome;
    }
    login.choosePaper(run.paper);
    outcome.loggedIn = login.logIn({run.paper, run.className, run.number, run.name, QString()});
    outcome.resumed = state.resumeMode;
    if (!outcome.loggedIn) {
        outcome.dialogTexts = dialogs.texts();
        return outcome;
    }

    ExamEnvironment environment;
    environment.repositoryRoot = repositoryRoot;
    environment.runsLocally = run.runsLocally;
    environment.localCacheFolder = run.localCacheFolder;
    environment.random = &random;
    environment.clock = &clock;
    environment.makeTicker = [](const QString &) { return std::make_unique<IdleTicker>(); };
    ExamSession session(state, environment);
    session.start();

    // A resumed attempt opens where it stopped; the student goes through it from the start.
    while (session.navigation().position > 1 && session.navigation().previousEnabled)
        session.previous();
    const int presented = session.presentedCount();
    const int last = run.interruptAfter < 0 ? presented : qMin(run.interruptAfter, presented);
    for (int position = 1; position <= last; ++position) {
        const int question = session.currentQuestion();
        const double answer = question > 0 && run.answerFor ? run.answerFor(question) : -1;
        if (answer >= 0)
            session.recordAnswer(exam::ticksFromValue(answer));
        if (position < presented)
            session.next();
    }
    outcome.order = session.order().mid(0, presented);
    if (run.interruptAfter >= 0) {
        session.saveProgress(); // what the 60-second save has stored when the PC fails
        outcome.answers = session.answers();
        outcome.dialogTexts = dialogs.texts();
        return outcome;
    }
    const ExamSession::HandInOutcome handIn = session.handIn();
    outcome.handedIn = handIn.stored;
    outcome.handInMessage = handIn.message;
    outcome.answers = session.answers();
    outcome.dialogTexts = dialogs.texts();
    return outcome;
}

} // namespace exam::demo
