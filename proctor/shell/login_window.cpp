#include "proctor/shell/login_window.h"

#include "platform/dialogs/dialogs.h"
#include "proctor/classes/help_key.h"
#include "proctor/shell/console_password.h"
#include "repository/system_profile.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

    auto *login = new QPushButton(QStringLiteral("登录"), this);
    login->setObjectName(QStringLiteral("Command1"));
    login->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto *help = new QPushButton(QStringLiteral("帮助"), this);
    help->setObjectName(QStringLiteral("Command3"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(login);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_typed);
    layout->addLayout(buttons);

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
