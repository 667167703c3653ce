#include "proctor/shell/console_flow.h"

#include "proctor/shell/console_password.h"
#include "proctor/shell/login_window.h"
#include "proctor/shell/main_menu_window.h"
#include "proctor/shell/splash_window.h"
#include "repository/system_profile.h"

namespace exam {

ConsoleFlow::ConsoleFlow(Settings settings, MenuOpeners openers, platform::Dialogs &dialogs,
                         std::function<void()> quit, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_openers(std::move(openers)),
      m_dialogs(dialogs), m_quit(std::move(quit))
{}

ConsoleFlow::~ConsoleFlow()
{
    delete m_splash;
    delete m_login;
    delete m_menu;
}

void ConsoleFlow::start()
{
    m_splash = new SplashWindow(m_settings.applicationVersion, m_settings.splashIntervalMs);
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_splash, &SplashWindow::finished, this, &ConsoleFlow::leaveSplash);
    m_splash->show();
}

void ConsoleFlow::leaveSplash()
{
    // Without a stored password the login window would only close itself again: skip it.
    const QString stored = readAdminPassword(ProfileSnapshot::load(m_settings.systemProfilePath));
    if (loginRequired(stored)) {
        m_login = new LoginWindow(m_settings.systemProfilePath, m_dialogs);
        m_login->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_login, &LoginWindow::loggedIn, this, &ConsoleFlow::showMenu);
        connect(m_login, &LoginWindow::cancelled, this, [this] { m_quit(); });
        m_login->show();
    } else {
        showMenu();
    }
    if (m_splash)
        m_splash->close();
}

void ConsoleFlow::showMenu()
{
    if (!m_menu) {
        m_menu = new MainMenuWindow(m_openers, m_dialogs);
        m_menu->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_menu, &MainMenuWindow::exitRequested, this, [this] { m_quit(); });
    }
    m_menu->show();
    if (m_login)
        m_login->close();
}

} // namespace exam
