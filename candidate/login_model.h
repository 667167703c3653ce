#pragma once

// State and rules of the login window "考试登录", without widgets: the paper and class lists, which
// buttons are enabled, and what "登录" and "查看成绩" decide and write. The window shows this
// model and forwards the student's actions; every message and question goes through Dialogs and
// the password prompt (over the window the student works in), so each flow runs in tests without
// a display.

#include "candidate/admission.h"
#include "candidate/candidate_state.h"

#include "repository/repository_paths.h"

#include <QObject>
#include <QStringList>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam::candidate {

class PasswordPrompt;

class LoginModel : public QObject
{
    Q_OBJECT

public:
    // `state`, `dialogs` and `prompt` must outlive the model.
    LoginModel(const QString &repositoryRoot, CandidateState &state, platform::Dialogs &dialogs,
               PasswordPrompt &prompt, QObject *parent = nullptr);

    // Fills the paper list (selecting its first entry) and the class list for that paper. False
    // when there is nothing to sit: the message has been shown and the program is to end.
    bool start();

    // A paper was selected: its flags decide which of "登录" and "查看成绩" are enabled.
    void choosePaper(const QString &paper);
    // The focus left the paper list: the classes are listed again, now counting a class without an
    // admission entry as admitted.
    void leavePaperList(const QString &paper);

    // "登录": true when the student is let in (state filled, login written); false to stay.
    bool logIn(const LoginEntries &entries);
    // "查看成绩": true when the finished paper may be reviewed; nothing is written.
    bool viewResults(const LoginEntries &entries);

    const QStringList &papers() const { return m_papers; }
    const QStringList &classes() const { return m_classes; }
    bool loginEnabled() const { return m_state.paperOpen == 1; }
    bool reviewEnabled() const { return m_state.reviewAllowed == 1; }
    const exam::RepositoryPaths &paths() const { return m_paths; }

signals:
    void classesChanged();
    void buttonsChanged();
    // Step 3 of the admission check replaced the typed number by its normalised form.
    void numberNormalized(const QString &number);
    void numberFocusRequested();

private:
    bool admit(const LoginEntries &entries);
    bool passwordMatches(const QString &title, const QString &password);
    bool confirmRetest();
    bool confirmRelogin();

    exam::RepositoryPaths m_paths;
    CandidateState &m_state;
    platform::Dialogs &m_dialogs;
    PasswordPrompt &m_prompt;
    QStringList m_papers;
    QStringList m_classes;
};

} // namespace exam::candidate
