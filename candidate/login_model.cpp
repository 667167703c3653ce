#include "candidate/login_model.h"

#include "candidate/client_catalog.h"
#include "candidate/login_rules.h"
#include "candidate/password_prompt.h"

#include "platform/dialogs/dialogs.h"
#include "repository/profile_file.h"
#include "repository/profile_values.h"
#include "repository/result_profile.h"

namespace exam::candidate {

LoginModel::LoginModel(const QString &repositoryRoot, CandidateState &state,
                       platform::Dialogs &dialogs, PasswordPrompt &prompt, QObject *parent)
    : QObject(parent), m_paths(repositoryRoot), m_state(state), m_dialogs(dialogs), m_prompt(prompt)
{}

bool LoginModel::start()
{
    const auto system = exam::ProfileSnapshot::load(m_paths.systemProfile());
    m_papers = listedPapers(system);
    // A roster whose papers are all closed leaves nothing to choose, like an empty roster.
    if (m_papers.isEmpty()) {
        m_dialogs.message(nullptr, LoginTexts::NoPapers);
        return false;
    }
    choosePaper(m_papers.constFirst());

    if (classCount(system) == 0) {
        m_dialogs.message(nullptr, LoginTexts::NoClassesAtStartup);
        return false;
    }
    m_classes =
        admittedClasses(system, m_papers.constFirst(), exam::AdmissionReader::ClientAtStartup);
    emit classesChanged();
    return true;
}

void LoginModel::choosePaper(const QString &paper)
{
    const PaperFlags flags =
        paperFlags(exam::ProfileSnapshot::load(m_paths.systemProfile()), paper);
    m_state.paperOpen = flags.open;
    m_state.reviewAllowed = flags.review;
    emit buttonsChanged();
}

void LoginModel::leavePaperList(const QString &paper)
{
    const auto system = exam::ProfileSnapshot::load(m_paths.systemProfile());
    if (classCount(system) == 0) {
        m_classes.clear();
        emit classesChanged();
        m_dialogs.message(nullptr, LoginTexts::NoClassesOpen);
        return;
    }
    m_classes = admittedClasses(system, paper, exam::AdmissionReader::ClientPaperListLeft);
    emit classesChanged();
}

bool LoginModel::admit(const LoginEntries &entries)
{
    const AdmissionResult result = checkAdmission(m_paths, entries, m_state);
    if (result.numberNormalized)
        emit numberNormalized(result.normalizedNumber);
    if (result.admitted)
        return true;
    m_dialogs.message(nullptr, result.message);
    if (result.focusNumber)
        emit numberFocusRequested();
    return false;
}

bool LoginModel::passwordMatches(const QString &title, const QString &password)
{
    if (const std::optional<QString> entered = m_prompt.ask(title))
        m_state.enteredPassword = exam::trimBlanks(*entered);
    return exam::trimBlanks(m_state.enteredPassword) == exam::trimBlanks(password);
}

bool LoginModel::confirmRetest()
{
    if (m_state.retestPassword.isEmpty()) {
        m_dialogs.message(nullptr, LoginTexts::RetestRefused);
        return false;
    }
    if (!m_dialogs.okCancel(nullptr, LoginTexts::RetestQuestion))
        return false;
    return passwordMatches(LoginTexts::RetestPasswordTitle, m_state.retestPassword);
}

bool LoginModel::confirmRelogin()
{
    if (m_state.reloginPassword.isEmpty()) {
        m_dialogs.message(nullptr, LoginTexts::ReloginRefused);
        return false;
    }
    if (!m_dialogs.okCancel(nullptr, LoginTexts::ReloginQuestion))
        return false;
    return passwordMatches(LoginTexts::ReloginPasswordTitle, m_state.reloginPassword);
}

bool LoginModel::logIn(const LoginEntries &entries)
{
    if (!admit(entries))
        return false;

    const QString resultProfile = studentResultProfile(m_paths, m_state);
    const auto result = exam::ProfileSnapshot::load(resultProfile);
    const QString &section = m_state.className;
    const bool finished =
        !result.value(section, exam::ResultKeys::handInTime(m_state.examNumber)).isEmpty();
    if (finished && !confirmRetest())
        return false;

    const bool started =
        !result.value(section, exam::ResultKeys::startStamp(m_state.examNumber)).isEmpty();
    m_state.resumeMode = started && !finished;
    if (m_state.resumeMode && !confirmRelogin())
        return false;

    // The paper may have been deleted while the client ran: then its results folder is gone and
    // nothing can be stored, and the student must hear it rather than sit an exam that is lost.
    if (const exam::Result stored =
            exam::storeLogin(resultProfile, m_state.className, m_state.examNumber,
                             m_state.studentName, m_state.formerName);
        !stored) {
        QString text = LoginTexts::LoginNotStored;
        if (!stored.message().isEmpty())
            text += QLatin1Char('\n') + stored.message();
        m_dialogs.message(nullptr, text, platform::Dialogs::Icon::Warning);
        return false;
    }
    m_state.reviewMode = false;
    return true;
}

bool LoginModel::viewResults(const LoginEntries &entries)
{
    if (!admit(entries))
        return false;
    const QString handIn =
        readProfileString(m_state.className, exam::ResultKeys::handInTime(m_state.examNumber),
                          QString(), studentResultProfile(m_paths, m_state));
    if (handIn.isEmpty()) {
        m_dialogs.message(nullptr, LoginTexts::ReviewNotFinished);
        return false;
    }
    m_state.resumeMode = false;
    m_state.reviewMode = true;
    return true;
}

} // namespace exam::candidate
