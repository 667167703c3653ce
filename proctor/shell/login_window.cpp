#include "proctor/shell/login_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/classes/help_key.h"
#include "proctor/shell/console_password.h"
#include "repository/system_profile.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace exam {

LoginWindow::LoginWindow(QString systemProfilePath, platform::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), m_systemProfilePath(std::move(systemProfilePath)),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("考务登录"));
    setWindowTitle(QStringLiteral("登录"));

    auto *prompt = new QLabel(QStringLiteral("请输入口令:"), this);
    m_typed = new QLineEdit(this);
    m_typed->setObjectName(QStringLiteral("Text1"));
    m_typed->setEchoMode(QLineEdit::Password);
    prompt->setBuddy(m_typed);

    m_stored = new QLineEdit(this);
    m_stored->setObjectName(QStringLiteral("Text2"));
    m_stored->setVisible(false);

    auto *login = platform::makeButton(QStringLiteral("Command1"), QStringLiteral("登录"), this);
    login->setDefault(true);
    auto *cancel = platform::makeButton(QStringLiteral("Command2"), QStringLiteral("取消"), this);
    auto *help = platform::makeButton(QStringLiteral("Command3"), QStringLiteral("帮助"), this);

    auto *buttons = platform::makeRow({login, cancel, help});
    platform::makeColumn(this, {prompt, m_typed, buttons});

    connect(login, &QPushButton::clicked, this, &LoginWindow::logIn);
    connect(m_typed, &QLineEdit::returnPressed, this, &LoginWindow::logIn);
    connect(cancel, &QPushButton::clicked, this, &LoginWindow::cancelled);
    connect(help, &QPushButton::clicked, this, [this] { sendHelpKey(this); });

    // Read before the first activation too, so that no click can get in ahead of the stored
    // password.
    readStoredPassword();
}

bool LoginWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate) {
        readStoredPassword();
        if (!loginRequired(m_stored->text()))
            emit loggedIn();
    }
    return handled;
}

void LoginWindow::readStoredPassword()
{
    m_storedAtActivation = readAdminPassword(ProfileSnapshot::load(m_systemProfilePath));
    m_stored->setText(m_storedAtActivation);
}

void LoginWindow::logIn()
{
    m_stored->setText(m_storedAtActivation);
    if (passwordMatches(m_typed->text(), m_stored->text())) {
        emit loggedIn();
        return;
    }
    m_dialogs.message(this, WrongPasswordMessage, platform::Dialogs::Icon::Warning);
    m_typed->clear();
    m_typed->setFocus();
}

} // namespace exam
