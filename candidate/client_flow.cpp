#include "candidate/client_flow.h"

#include "candidate/instructions_window.h"
#include "candidate/login_rules.h"
#include "candidate/login_window.h"

#include "platform/desktop/single_instance.h"
#include "platform/dialogs/dialogs.h"

namespace exam::candidate {

ClientFlow::ClientFlow(const QString &repositoryRoot, CandidateState &state,
                       platform::Dialogs &dialogs, PasswordPrompt &prompt, QObject *parent)
    : QObject(parent), m_root(repositoryRoot), m_state(state), m_dialogs(dialogs), m_prompt(prompt)
{}

ClientFlow::~ClientFlow()
{
    delete m_login;
    delete m_instructions;
}

LoginWindow *ClientFlow::loginWindow() const
{
    return m_login;
}

InstructionsWindow *ClientFlow::instructionsWindow() const
{
    return m_instructions;
}

bool ClientFlow::start()
{
    m_login = new LoginWindow(m_root, m_state, m_dialogs, m_prompt);
    m_login->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_login, &LoginWindow::admitted, this, &ClientFlow::showInstructions);
    if (!m_login->start()) {
        delete m_login;
        return false;
    }
    m_login->show();
    return true;
}

void ClientFlow::showInstructions()
{
    m_instructions = new InstructionsWindow(m_root, m_state);
    m_instructions->setAttribute(Qt::WA_DeleteOnClose);
    m_instructions->setStartHook(m_launcher);
    m_instructions->show();
    m_login->close();
}

bool claimSingleInstance(platform::SingleInstanceGuard &guard, platform::Dialogs &dialogs)
{
    if (guard.tryAcquire())
        return true;
    dialogs.message(nullptr, LoginTexts::AlreadyRunning);
    return false;
}

} // namespace exam::candidate
