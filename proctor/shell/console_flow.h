#pragma once

#include "proctor/shell/login_window.h"
#include "proctor/shell/main_menu_window.h"
#include "proctor/shell/menu_openers.h"
#include "proctor/shell/splash_window.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {

// The console's way in: splash, then the login (skipped when no password is stored), then the
// main menu. Each window is shown before the one it follows is closed, so the program never runs
// out of windows on the way. The windows delete themselves when closed.
class ConsoleFlow : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        QString systemProfilePath;
        QString applicationVersion;
        int splashIntervalMs = 3000;
    };

    // `quit` ends the program (the menu's exit button and the login's "取消").
    ConsoleFlow(Settings settings, MenuOpeners openers, platform::Dialogs &dialogs,
                std::function<void()> quit, QObject *parent = nullptr);
    ~ConsoleFlow() override;

    void start();

    SplashWindow *splash() const { return m_splash; }
    LoginWindow *login() const { return m_login; }
    MainMenuWindow *menu() const { return m_menu; }

private:
    void leaveSplash();
    void showMenu();

    Settings m_settings;
    MenuOpeners m_openers;
    platform::Dialogs &m_dialogs;
    std::function<void()> m_quit;
    QPointer<SplashWindow> m_splash;
    QPointer<LoginWindow> m_login;
    QPointer<MainMenuWindow> m_menu;
};

} // namespace exam
